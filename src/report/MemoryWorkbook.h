#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "report/BufferedWorkbook.h"

namespace rzt {

// A workbook kept in memory, for tests: what a written .xlsx workbook would
// hold, readable cell by cell. It keeps the rules of the written workbooks
// (rows in ascending order, the .xlsx format's limits); a row is readable
// once it is finished, and the display settings once the workbook is closed.
class MemoryWorkbook final : public BufferedWorkbook {
 public:
  struct Cell {
    bool hasText = false;
    bool hasNumber = false;
    std::string text;
    double number = 0;
    std::string format;  // empty: the general format
  };

  struct SheetData {
    std::string name;
    std::map<std::pair<int32_t, int32_t>, Cell> cells;  // (row, column)
    bool frozen = false;
    bool centred = false;
    int32_t zoom = 100;
    bool fitted = false;
    std::map<int32_t, double> widths;  // by column, of a fitted sheet
  };

  MemoryWorkbook() = default;

  // The sheet names in tab order.
  std::vector<std::string> sheetNames() const;
  // The sheet of that name, nullptr when there is none.
  const SheetData* sheet(std::string_view name) const;
  // The cell, nullptr when it was never written.
  const Cell* cell(std::string_view sheetName, int32_t row, int32_t column) const;
  // The name of the sheet shown first; empty when none was chosen.
  std::string shownSheet() const;
  bool closed() const { return isClosed(); }
  bool partial() const { return isPartial(); }

 private:
  void sheetAdded(Sheet sheet, std::string_view name) override;
  void writeRow(Sheet sheet, int32_t row, std::span<BufferedWorkbook::Cell> cells) override;
  void writeBook() override;

  std::vector<SheetData> data_;  // by Sheet
  std::vector<std::map<int32_t, int32_t>> longest_;  // display width by column, by Sheet
};

}  // namespace rzt
