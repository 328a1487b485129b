#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/SpooledWorkbook.h"

namespace rzt {

class StagingFolder;

// A workbook written as one UTF-8 CSV file per sheet (RFC 4180: fields
// separated by commas, records ended by CR LF, a field holding a comma, a
// quote, CR or LF is quoted with its quotes doubled). Record n is row n of
// the sheet; every record has as many fields as the heading row (a row
// reaching further has its own last field). Numbers are written in their shortest exact form and
// never altered; a text that begins with "=", "+", "-", "@", a tab or CR gets
// an apostrophe in front, so that a spreadsheet does not take it for a
// formula.
class CsvWorkbook final : public SpooledWorkbook {
 public:
  // The files are named after path: "out/report.csv" gives
  // "out/report-Summ.csv", "out/report-File.csv", ... Each is written inside
  // a private folder beside them (StagingFolder), and close renames the set
  // into place as one unit once every sheet is complete. Raises error 76
  // when the folder does not exist.
  explicit CsvWorkbook(std::filesystem::path path);
  ~CsvWorkbook() override;

  // The file of a sheet for the report path.
  static std::filesystem::path sheetPath(const std::filesystem::path& path, std::string_view sheetName);

 private:
  std::FILE* openSpool(std::string_view sheetName) override;
  void usePartialNames() override { path_ = partialReportPath(path_); }
  void writeRecord(SheetSpool& sheet, int32_t row, std::span<const Cell> cells) override;
  void finish(const std::vector<SheetSpool*>& tabOrder) override;

  std::filesystem::path path_;
  std::filesystem::path stagedPath_;  // the report's first name, which names the files inside
  std::unique_ptr<StagingFolder> staging_;
  std::string line_;  // the record being written, reused
};

// Appends a text cell as one CSV field: neutralised when it would read as a
// formula, quoted when it must be.
void appendCsvTextField(std::string& out, std::string_view text);

}  // namespace rzt
