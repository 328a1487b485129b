#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compare/ReportModel.h"

namespace rzt {

// Fills a SheetTable from cells given by row and column, as a workbook
// receives them (a captured workbook, an .xlsx sheet): row 1 gives the
// headings, every later row a data row. Rows come in ascending order; the
// cells of a row in any order. Column keys follow the JSON report's rule: a
// column without heading is keyed by its letters ("I"), a heading that a
// column further left already has gets " (" + letters + ")" appended.
class PositionalSheetBuilder {
 public:
  explicit PositionalSheetBuilder(SheetTable& table);

  // row and column count from 1. A row below the current one is a
  // programming mistake (std::logic_error).
  void setText(int32_t row, int32_t column, std::string_view text);
  void setNumber(int32_t row, int32_t column, double value);
  // Ends the last row; the builder takes no cell afterwards.
  void finish();

  int32_t currentRow() const { return row_; }

 private:
  void moveTo(int32_t row);
  void finishHeadings();
  int32_t columnOf(int32_t column);

  SheetTable& table_;
  int32_t row_ = 0;  // the row being filled; 0 before the first
  bool headingsDone_ = false;
  bool finished_ = false;
  std::vector<std::string> headings_;  // texts of row 1 by column - 1
};

// Fills a SheetTable from rows whose cells are keyed by heading (JSON): a key
// not seen before becomes a column, placed right of the key before it in
// its row.
class KeyedSheetBuilder {
 public:
  explicit KeyedSheetBuilder(SheetTable& table);

  void beginRow();
  // The column of the next key of the row; ReportFormatError when the row
  // has it already.
  int32_t column(std::string_view key);
  void endRow();
  SheetTable& table() { return table_; }

 private:
  SheetTable& table_;
  std::vector<int32_t> lastRow_;  // columns of the previous row's keys, in order
  std::vector<int32_t> thisRow_;
  std::vector<uint8_t> seen_;     // by column: used in this row
};

// The letters of a column as a spreadsheet names it: 1 "A", 27 "AA".
std::string spreadsheetColumnLetters(int32_t column);

}  // namespace rzt
