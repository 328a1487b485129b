#include "compare/SheetTableBuilder.h"

#include <cstdio>
#include <stdexcept>

namespace rzt {

std::string spreadsheetColumnLetters(int32_t column) {
  std::string letters;
  for (int32_t n = column; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters;
}

PositionalSheetBuilder::PositionalSheetBuilder(SheetTable& table) : table_(table) {
  table_.setHeadingRowKnown(true);
}

void PositionalSheetBuilder::moveTo(int32_t row) {
  if (finished_) throw std::logic_error("PositionalSheetBuilder: a cell after finish");
  if (row < 1) throw std::logic_error("PositionalSheetBuilder: no such row");
  if (row == row_) return;
  if (row < row_) throw std::logic_error("PositionalSheetBuilder: rows must ascend");
  if (row_ > 1) table_.endRow();
  if (!headingsDone_ && row > 1) finishHeadings();
  row_ = row;
  if (row_ > 1) table_.beginRow();
}

void PositionalSheetBuilder::finishHeadings() {
  headingsDone_ = true;
  for (size_t c = 0; c < headings_.size(); ++c) columnOf(static_cast<int32_t>(c) + 1);
  headings_.clear();
}

int32_t PositionalSheetBuilder::columnOf(int32_t column) {
  // Columns are made left to right, so that a key used twice keeps its
  // plain text on its leftmost column.
  while (table_.columnCount() < column) {
    const int32_t c = table_.columnCount() + 1;
    const std::string letters = spreadsheetColumnLetters(c);
    std::string key = static_cast<size_t>(c) <= headings_.size() ? headings_[static_cast<size_t>(c) - 1] : std::string();
    if (key.empty()) key = letters;
    while (table_.findColumn(key) >= 0) key += " (" + letters + ")";
    table_.addColumn(std::move(key));
  }
  return column - 1;
}

void PositionalSheetBuilder::setText(int32_t row, int32_t column, std::string_view text) {
  moveTo(row);
  if (column < 1) throw std::logic_error("PositionalSheetBuilder: no such column");
  if (row == 1) {
    if (headings_.size() < static_cast<size_t>(column)) headings_.resize(static_cast<size_t>(column));
    headings_[static_cast<size_t>(column) - 1] = text;
    return;
  }
  table_.setText(columnOf(column), text);
}

void PositionalSheetBuilder::setNumber(int32_t row, int32_t column, double value) {
  moveTo(row);
  if (column < 1) throw std::logic_error("PositionalSheetBuilder: no such column");
  if (row == 1) {
    // A number as a heading keys its column by the number's text.
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%.15g", value);
    setText(row, column, std::string_view(text, n > 0 ? static_cast<size_t>(n) : 0));
    return;
  }
  table_.setNumber(columnOf(column), value);
}

void PositionalSheetBuilder::finish() {
  if (finished_) return;
  if (row_ > 1) table_.endRow();
  if (!headingsDone_) finishHeadings();
  finished_ = true;
}

KeyedSheetBuilder::KeyedSheetBuilder(SheetTable& table) : table_(table) { table_.setHeadingRowKnown(false); }

void KeyedSheetBuilder::beginRow() {
  thisRow_.clear();
  table_.beginRow();
}

int32_t KeyedSheetBuilder::column(std::string_view key) {
  // Rows of one sheet mostly have the keys of the row before, in the same
  // order: try that first.
  const size_t at = thisRow_.size();
  int32_t c = -1;
  if (at < lastRow_.size() && table_.heading(lastRow_[at]) == key) {
    c = lastRow_[at];
  } else {
    c = table_.findColumn(key);
    if (c < 0) c = table_.addColumn(std::string(key), thisRow_.empty() ? -1 : thisRow_.back());
  }
  if (seen_.size() < static_cast<size_t>(table_.columnCount())) seen_.resize(static_cast<size_t>(table_.columnCount()));
  if (seen_[static_cast<size_t>(c)] != 0) {
    throw ReportFormatError("行に同じ見出し \"" + std::string(key) + "\" が二度あります");
  }
  seen_[static_cast<size_t>(c)] = 1;
  thisRow_.push_back(c);
  return c;
}

void KeyedSheetBuilder::endRow() {
  table_.endRow();
  for (int32_t c : thisRow_) seen_[static_cast<size_t>(c)] = 0;
  lastRow_.swap(thisRow_);
}

}  // namespace rzt
