#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "report/IWorkbook.h"

namespace rzt {

// A workbook kept in memory, for tests: what a written workbook would hold,
// readable cell by cell.
class MemoryWorkbook : public IWorkbook {
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
    std::map<int32_t, double> widths;  // by column, set by fitColumns
  };

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
  void close() override;

  // The sheet names in tab order.
  std::vector<std::string> sheetNames() const;
  // The sheet of that name, nullptr when there is none.
  const SheetData* sheet(std::string_view name) const;
  // The cell, nullptr when it was never written.
  const Cell* cell(std::string_view sheetName, int32_t row, int32_t column) const;
  // The name of the sheet shown first; empty when none was chosen.
  std::string shownSheet() const;
  bool closed() const { return closed_; }
  bool partial() const { return partial_; }

 private:
  Cell& cellAt(Sheet sheet, int32_t row, int32_t column);
  SheetData& data(Sheet sheet);

  std::vector<SheetData> sheets_;  // by Sheet
  std::vector<Sheet> tabOrder_;
  Sheet active_ = -1;
  Sheet shown_ = -1;
  bool closed_ = false;
  bool partial_ = false;
};

}  // namespace rzt
