#include "report/MemoryWorkbook.h"

#include <algorithm>

#include "report/CellText.h"

namespace rzt {

void MemoryWorkbook::sheetAdded(Sheet, std::string_view name) {
  data_.emplace_back();
  data_.back().name.assign(name);
  longest_.emplace_back();
}

void MemoryWorkbook::writeRow(Sheet sheet, int32_t row, std::span<BufferedWorkbook::Cell> cells) {
  SheetData& d = data_[static_cast<size_t>(sheet)];
  for (const BufferedWorkbook::Cell& c : cells) {
    Cell& kept = d.cells[{row, c.column}];
    kept.hasText = c.kind == CellKind::kText;
    kept.hasNumber = c.kind == CellKind::kNumber;
    kept.text = c.text;
    kept.number = c.number;
    kept.format = c.format < 0 ? std::string() : formatName(c.format);
    int32_t& width = longest_[static_cast<size_t>(sheet)][c.column];
    width = std::max(width, displayWidth(c));
  }
}

void MemoryWorkbook::writeBook() {
  for (Sheet sheet = 0; sheet < sheetCount(); ++sheet) {
    const SheetState& s = sheetState(sheet);
    SheetData& d = data_[static_cast<size_t>(sheet)];
    d.frozen = s.frozen;
    d.centred = s.centred;
    d.zoom = s.zoom != 0 ? s.zoom : 100;
    d.fitted = s.fitted;
    if (!s.fitted) continue;
    // Columns are fitted from every row written, as the .xlsx writer does.
    for (const auto& [column, width] : longest_[static_cast<size_t>(sheet)]) d.widths[column] = fittedColumnWidth(width);
  }
}

std::vector<std::string> MemoryWorkbook::sheetNames() const {
  std::vector<std::string> names;
  for (Sheet id : tabOrder()) names.push_back(data_[static_cast<size_t>(id)].name);
  return names;
}

const MemoryWorkbook::SheetData* MemoryWorkbook::sheet(std::string_view name) const {
  for (const SheetData& d : data_) {
    if (d.name == name) return &d;
  }
  return nullptr;
}

const MemoryWorkbook::Cell* MemoryWorkbook::cell(std::string_view sheetName, int32_t row, int32_t column) const {
  const SheetData* d = sheet(sheetName);
  if (d == nullptr) return nullptr;
  auto it = d->cells.find({row, column});
  return it == d->cells.end() ? nullptr : &it->second;
}

std::string MemoryWorkbook::shownSheet() const {
  const Sheet shown = BufferedWorkbook::shownSheet();
  return shown < 0 ? std::string() : data_[static_cast<size_t>(shown)].name;
}

}  // namespace rzt
