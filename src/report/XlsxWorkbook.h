#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/BufferedWorkbook.h"
#include "support/RztError.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace rzt {

class StagingFolder;

// A workbook written as an .xlsx file. Rows go to the file as they are
// finished, so memory stays small whatever the number of rows. The file is
// written inside a private folder beside its destination (StagingFolder)
// and renamed into place by close, so an existing file is replaced whole or
// not at all, and nothing is ever written where a link points.
class XlsxWorkbook final : public BufferedWorkbook {
 public:
  // Raises error 76 "パスが見つかりません: " + path when the folder does not
  // exist, error 75 "ファイルに書き込めません: " + path, with the system's
  // reason, when it cannot be written there.
  explicit XlsxWorkbook(std::filesystem::path path);
  // A workbook that was not closed is dropped without touching path.
  ~XlsxWorkbook() override;

  // The file close writes: the destination, or its partial name.
  const std::filesystem::path& path() const { return path_; }

 private:
  struct PendingRow {
    int32_t row;
    std::vector<Cell> cells;
  };

  void sheetAdded(Sheet sheet, std::string_view name) override;
  void writeRow(Sheet sheet, int32_t row, std::span<Cell> cells) override;
  void writeBook() override;
  void discardBook() override;
  void usePartialNames() override;

  void writeCells(Sheet sheet, int32_t row, std::span<const Cell> cells);
  void materialise();
  lxw_format* formatFor(int32_t format, bool centred);
  void check(int rc);
  [[noreturn]] void fail(const std::string& detail);

  std::filesystem::path path_;
  std::unique_ptr<StagingFolder> staging_;
  std::string stagedName_;  // the file's name inside the staging folder
  lxw_workbook* workbook_ = nullptr;
  std::vector<lxw_worksheet*> worksheets_;       // by Sheet, once materialised
  std::vector<std::vector<PendingRow>> pending_;  // by Sheet: rows finished before the sheets exist
  std::vector<std::vector<int32_t>> widths_;      // by Sheet: longest display width by column - 1
  bool materialised_ = false;
  // Made once each: [(format + 1) * 2 + centred].
  std::vector<lxw_format*> formats_;
  std::string escaped_;  // a text cell as the file holds it, reused
};

// The text a cell is written with in the .xlsx file: the file format reads
// "_x" + four hex digits + "_" as an escaped character, so the underscore of
// such literal text is itself escaped ("_x0041_" is written
// "_x005F_x0041_") and reads back as written. (libxlsxwriter escapes the
// control characters XML cannot hold the same way, and nothing else.) The
// result is cut, whole escapes kept, where it would pass kCellMaxChars.
// Returns text itself when nothing needs escaping, otherwise scratch.
std::string_view xlsxCellText(std::string_view text, std::string& scratch);

}  // namespace rzt
