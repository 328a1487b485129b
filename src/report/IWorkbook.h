#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rzt {

// Limits of a sheet in the .xlsx format; the plain-text formats take rows up
// to the 32-bit row counters (kTextReportMaxRows).
inline constexpr int32_t kWorkbookMaxRows = 1048576;
inline constexpr int32_t kTextReportMaxRows = 2147483647;
inline constexpr int32_t kWorkbookMaxColumns = 16384;
// Characters (UTF-16 units) a cell can hold; longer texts are cut.
inline constexpr int32_t kCellMaxChars = 32767;

// The workbook the report is written into: exactly the operations the report
// needs. Rows and columns count from 1. A row past the format's last row
// (maxRows) raises the overflow error; other failures raise RztError.
class IWorkbook {
 public:
  // A sheet, as addSheet returned it.
  using Sheet = int32_t;

  virtual ~IWorkbook() = default;
  // Adds a sheet before the active sheet and makes it the active one (the
  // first sheet is simply added).
  virtual Sheet addSheet(std::string_view name) = 0;
  // An empty text leaves the cell without value.
  virtual void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) = 0;
  virtual void setNumber(Sheet sheet, int32_t row, int32_t column, double value) = 0;
  // The display format of a cell, with or without a value, e.g. "#,##0_ ".
  virtual void setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                               std::string_view format) = 0;
  // Row 1 stays in view when the sheet is scrolled.
  virtual void freezeHeadingRow(Sheet sheet) = 0;
  // Row 1 is centred horizontally, its empty cells included.
  virtual void centreHeadingRow(Sheet sheet) = 0;
  virtual void setZoom(Sheet sheet, int32_t percent) = 0;
  // Each column of the sheet gets the width of its longest cell text.
  virtual void fitColumns(Sheet sheet) = 0;
  // The sheet shown when the workbook is opened.
  virtual void showFirst(Sheet sheet) = 0;
  // The report ends early: close writes it where a partial report goes
  // (partialReportPath of the file it would have replaced), so that it is
  // never taken for, nor written over, a complete one.
  virtual void setPartial() = 0;
  // Finishes the workbook; no other call may follow.
  virtual void close() = 0;
  // The last row a sheet of this format can have.
  virtual int32_t maxRows() const = 0;
  // Raises the overflow error, naming the sheet and the limit, when row is
  // past maxRows; a row within it passes.
  virtual void checkRow(Sheet sheet, int32_t row) const = 0;
};

// Where the partial report of path goes: "out/report.xlsx" gives
// "out/report-partial.xlsx". The stem of a name too long for "-partial" is
// shortened so that the name stays within 255 bytes.
std::filesystem::path partialReportPath(const std::filesystem::path& path);

}  // namespace rzt
