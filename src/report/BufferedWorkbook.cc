#include "report/BufferedWorkbook.h"

#include <algorithm>
#include <stdexcept>

#include "report/CellText.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// "1048576" as "1,048,576".
std::string groupedDigits(int32_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

}  // namespace

BufferedWorkbook::BufferedWorkbook(int32_t maxRows, bool keepsCells) : maxRows_(maxRows), keepsCells_(keepsCells) {}

void BufferedWorkbook::sheetAdded(Sheet, std::string_view) {}
void BufferedWorkbook::writeRow(Sheet, int32_t, std::span<Cell>) {}
void BufferedWorkbook::discardBook() {}
void BufferedWorkbook::usePartialNames() {}

BufferedWorkbook::SheetState& BufferedWorkbook::open(Sheet sheet) {
  if (closed_) throw std::logic_error("the workbook is closed");
  if (sheet < 0 || sheet >= sheetCount()) throw std::logic_error("no such sheet");
  return sheets_[static_cast<size_t>(sheet)];
}

IWorkbook::Sheet BufferedWorkbook::addSheet(std::string_view name) {
  if (closed_) throw std::logic_error("the workbook is closed");
  if (dataBegun_) throw std::logic_error("sheets are added before the first data row");
  for (const SheetState& s : sheets_) {
    if (s.name == name) throw std::logic_error("sheet name used twice: " + std::string(name));
  }
  const Sheet id = sheetCount();
  sheetAdded(id, name);
  sheets_.emplace_back();
  sheets_.back().name.assign(name);
  tabOrder_.insert(std::find(tabOrder_.begin(), tabOrder_.end(), active_), id);
  active_ = id;
  return id;
}

void BufferedWorkbook::checkRow(Sheet sheet, int32_t row) const {
  if (row <= maxRows_) return;
  const std::string& name = sheet >= 0 && sheet < sheetCount() ? sheetState(sheet).name : std::string();
  std::string description = "オーバーフローしました: シート「" + name + "」の行数が上限の" + groupedDigits(maxRows_) + "行を超えます";
  // Only the .xlsx format stops short of the 32-bit row counters.
  if (maxRows_ == kWorkbookMaxRows) description += " (.xlsxの上限です。JSONかCSVのレポート、例えば -o x.json ならもっと多くの行を書けます)";
  throw RztError(kErrOverflow, "", description);
}

BufferedWorkbook::Cell* BufferedWorkbook::cellAt(Sheet sheet, int32_t row, int32_t column) {
  SheetState& s = open(sheet);
  checkRow(sheet, row);
  if (row < 1 || column < 1 || column > kWorkbookMaxColumns) throw std::logic_error("cell outside the sheet");
  if (row != s.row) {
    if (row < s.row) throw std::logic_error("rows of a sheet are written in ascending order");
    finishRow(sheet);
    s.row = row;
    if (row >= 2) dataBegun_ = true;
  }
  if (!keepsCells_) return nullptr;
  for (size_t i = 0; i < s.used; ++i) {
    if (s.cells[i].column == column) return &s.cells[i];
  }
  if (s.used == s.cells.size()) s.cells.emplace_back();
  Cell& c = s.cells[s.used++];
  c.column = column;
  c.kind = CellKind::kNone;
  c.format = -1;
  c.text.clear();
  return &c;
}

void BufferedWorkbook::finishRow(Sheet sheet) {
  SheetState& s = sheets_[static_cast<size_t>(sheet)];
  if (s.used == 0) return;
  const size_t used = s.used;
  s.used = 0;
  writeRow(sheet, s.row, std::span<Cell>(s.cells.data(), used));
}

void BufferedWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) {
  Cell* c = cellAt(sheet, row, column);
  if (c == nullptr) return;
  c->text.clear();
  appendValidCellText(text, c->text);
  c->kind = c->text.empty() ? CellKind::kNone : CellKind::kText;
}

void BufferedWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double value) {
  Cell* c = cellAt(sheet, row, column);
  if (c == nullptr) return;
  c->text.clear();
  c->kind = CellKind::kNumber;
  c->number = value;
}

void BufferedWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view format) {
  Cell* c = cellAt(sheet, row, column);
  if (c == nullptr) return;
  c->format = format.empty() ? -1 : internFormat(format);
}

int32_t BufferedWorkbook::internFormat(std::string_view format) {
  for (size_t i = 0; i < formatNames_.size(); ++i) {
    if (formatNames_[i] == format) return static_cast<int32_t>(i);
  }
  formatNames_.emplace_back(format);
  return static_cast<int32_t>(formatNames_.size() - 1);
}

int32_t BufferedWorkbook::displayWidth(const Cell& cell) const {
  switch (cell.kind) {
    case CellKind::kText:
      return textDisplayWidth(cell.text);
    case CellKind::kNumber:
      return numberDisplayWidth(cell.number, cell.format < 0 ? std::string_view() : formatName(cell.format));
    case CellKind::kNone:
      break;
  }
  return 0;
}

void BufferedWorkbook::freezeHeadingRow(Sheet sheet) { open(sheet).frozen = true; }

void BufferedWorkbook::centreHeadingRow(Sheet sheet) {
  SheetState& s = open(sheet);
  if (s.row > 1) throw std::logic_error("the heading row is centred before it is finished");
  s.centred = true;
}

void BufferedWorkbook::setZoom(Sheet sheet, int32_t percent) { open(sheet).zoom = percent; }

void BufferedWorkbook::fitColumns(Sheet sheet) { open(sheet).fitted = true; }

void BufferedWorkbook::showFirst(Sheet sheet) {
  open(sheet);
  shown_ = sheet;
}

void BufferedWorkbook::setPartial() {
  if (closed_) throw std::logic_error("the workbook is closed");
  usePartialNames();
  partial_ = true;
}

void BufferedWorkbook::close() {
  if (closed_) throw std::logic_error("the workbook is closed");
  try {
    for (Sheet sheet = 0; sheet < sheetCount(); ++sheet) finishRow(sheet);
    closed_ = true;
    writeBook();
  } catch (...) {
    closed_ = true;
    discardBook();
    throw;
  }
}

}  // namespace rzt
