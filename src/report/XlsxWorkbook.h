#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "report/IWorkbook.h"
#include "support/RztError.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace rzt {

// A workbook written as an .xlsx file. Rows go to the file as they are
// finished, so memory stays small whatever the number of rows: each sheet
// keeps only its current row, and the rows of a sheet must be written in
// ascending order. The file is first written beside its destination under a
// temporary name and renamed into place by close, so an existing file is
// replaced whole or not at all.
class XlsxWorkbook final : public IWorkbook {
 public:
  // Raises error 76 "パスが見つかりません: " + path when the folder does not
  // exist, error 75 "ファイルに書き込めません: " + path when it cannot be written
  // there.
  explicit XlsxWorkbook(std::filesystem::path path);
  // A workbook that was not closed is dropped without touching path.
  ~XlsxWorkbook() override;
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

  Sheet addSheet(std::string_view name) override;
  void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) override;
  void setNumber(Sheet sheet, int32_t row, int32_t column, double value) override;
  void setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                       std::string_view format) override;
  void freezeHeadingRow(Sheet sheet) override;
  void centreHeadingRow(Sheet sheet) override;
  void setZoom(Sheet sheet, int32_t percent) override;
  void fitColumns(Sheet sheet) override;
  void showFirst(Sheet sheet) override;
  void setPartial() override;
  // Writes the file; raises error 75 when it cannot, leaving path untouched.
  void close() override;

  // The file close writes: the destination, or its partial name.
  const std::filesystem::path& path() const { return path_; }

 private:
  enum class CellKind : uint8_t { kNone, kText, kNumber };

  struct BufferedCell {
    int32_t column = 0;
    CellKind kind = CellKind::kNone;
    int32_t format = -1;  // index into formatNames_, -1 for none
    double number = 0;
    std::string text;
  };

  struct PendingRow {
    int32_t row;
    std::vector<BufferedCell> cells;
  };

  struct SheetState {
    std::string name;
    lxw_worksheet* worksheet = nullptr;
    bool frozen = false;
    bool centred = false;
    bool fit = false;
    int32_t zoom = 0;  // 0: not set
    int32_t row = 0;   // the buffered row; 0 before the first
    std::vector<BufferedCell> cells;  // slots of the buffered row, reused
    size_t used = 0;                  // slots in use
    bool headingWritten = false;      // row 1 has gone to the writer
    std::vector<PendingRow> pending;  // rows finished before the sheets exist
    std::vector<int32_t> widths;      // longest display width by column - 1
  };

  SheetState& state(Sheet sheet);
  BufferedCell& cellAt(Sheet sheet, int32_t row, int32_t column);
  void flushRow(SheetState& s);
  void writeRow(SheetState& s, int32_t row, const BufferedCell* cells, size_t count);
  void materialise();
  lxw_format* formatFor(int32_t format, bool centred);
  int32_t internFormat(std::string_view format);
  void check(int rc);
  [[noreturn]] void fail(const std::string& detail);
  void discard();

  std::filesystem::path path_;
  std::string tempPath_;
  lxw_workbook* workbook_ = nullptr;
  std::vector<SheetState> sheets_;  // by Sheet
  std::vector<Sheet> tabOrder_;
  Sheet active_ = -1;
  Sheet shown_ = -1;
  bool materialised_ = false;
  bool closed_ = false;
  std::vector<std::string> formatNames_;
  // Made once each: [(format + 1) * 2 + centred].
  std::vector<lxw_format*> formats_;
};

}  // namespace rzt
