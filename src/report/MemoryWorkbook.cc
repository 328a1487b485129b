#include "report/MemoryWorkbook.h"

#include <algorithm>
#include <stdexcept>

#include "report/CellText.h"
#include "support/RztError.h"

namespace rzt {

MemoryWorkbook::SheetData& MemoryWorkbook::data(Sheet sheet) {
  if (closed_) throw std::logic_error("the workbook is closed");
  if (sheet < 0 || static_cast<size_t>(sheet) >= sheets_.size()) {
    throw std::logic_error("no such sheet");
  }
  return sheets_[sheet];
}

MemoryWorkbook::Cell& MemoryWorkbook::cellAt(Sheet sheet, int32_t row, int32_t column) {
  SheetData& d = data(sheet);
  if (row > kWorkbookMaxRows) raiseOverflow();
  if (row < 1 || column < 1 || column > kWorkbookMaxColumns) {
    throw std::logic_error("cell outside the sheet");
  }
  return d.cells[{row, column}];
}

IWorkbook::Sheet MemoryWorkbook::addSheet(std::string_view name) {
  if (closed_) throw std::logic_error("the workbook is closed");
  Sheet id = static_cast<Sheet>(sheets_.size());
  sheets_.push_back(SheetData{std::string(name), {}, false, false, 100, false, {}});
  auto at = std::find(tabOrder_.begin(), tabOrder_.end(), active_);
  tabOrder_.insert(at, id);
  active_ = id;
  return id;
}

void MemoryWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) {
  Cell& c = cellAt(sheet, row, column);
  c.hasNumber = false;
  c.hasText = !text.empty();
  c.text.assign(text);
}

void MemoryWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double value) {
  Cell& c = cellAt(sheet, row, column);
  c.hasText = false;
  c.text.clear();
  c.hasNumber = true;
  c.number = value;
}

void MemoryWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                                     std::string_view format) {
  cellAt(sheet, row, column).format.assign(format);
}

void MemoryWorkbook::freezeHeadingRow(Sheet sheet) { data(sheet).frozen = true; }
void MemoryWorkbook::centreHeadingRow(Sheet sheet) { data(sheet).centred = true; }
void MemoryWorkbook::setZoom(Sheet sheet, int32_t percent) { data(sheet).zoom = percent; }

void MemoryWorkbook::fitColumns(Sheet sheet) {
  SheetData& d = data(sheet);
  std::map<int32_t, int32_t> longest;
  for (const auto& [at, c] : d.cells) {
    int32_t width = c.hasText ? textDisplayWidth(c.text)
                    : c.hasNumber ? numberDisplayWidth(c.number, c.format)
                                  : 0;
    int32_t& w = longest[at.second];
    w = std::max(w, width);
  }
  d.widths.clear();
  for (const auto& [column, width] : longest) d.widths[column] = fittedColumnWidth(width);
  d.fitted = true;
}

void MemoryWorkbook::showFirst(Sheet sheet) {
  data(sheet);
  shown_ = sheet;
}

void MemoryWorkbook::setPartial() {
  if (closed_) throw std::logic_error("the workbook is closed");
  partial_ = true;
}

void MemoryWorkbook::close() {
  if (closed_) throw std::logic_error("the workbook is closed");
  closed_ = true;
}

std::vector<std::string> MemoryWorkbook::sheetNames() const {
  std::vector<std::string> names;
  for (Sheet id : tabOrder_) names.push_back(sheets_[id].name);
  return names;
}

const MemoryWorkbook::SheetData* MemoryWorkbook::sheet(std::string_view name) const {
  for (const SheetData& d : sheets_) {
    if (d.name == name) return &d;
  }
  return nullptr;
}

const MemoryWorkbook::Cell* MemoryWorkbook::cell(std::string_view sheetName, int32_t row,
                                                 int32_t column) const {
  const SheetData* d = sheet(sheetName);
  if (d == nullptr) return nullptr;
  auto it = d->cells.find({row, column});
  return it == d->cells.end() ? nullptr : &it->second;
}

std::string MemoryWorkbook::shownSheet() const {
  return shown_ < 0 ? std::string() : sheets_[shown_].name;
}

}  // namespace rzt
