#include "cli/NullWorkbook.h"

#include <stdexcept>

#include "support/RztError.h"

namespace rzt {

IWorkbook::Sheet NullWorkbook::addSheet(std::string_view) {
  checkOpen();
  return sheets_++;
}

void NullWorkbook::checkOpen() const {
  if (closed_) throw std::logic_error("NullWorkbook: used after close");
}

void NullWorkbook::check(Sheet sheet, int32_t row, int32_t column) const {
  checkOpen();
  if (sheet < 0 || sheet >= sheets_) throw std::logic_error("NullWorkbook: no such sheet");
  // The same limits as a written workbook, so that a dry run fails where a
  // real one would.
  if (row > kWorkbookMaxRows) raiseOverflow();
  if (row < 1 || column < 1 || column > kWorkbookMaxColumns) throw std::out_of_range("NullWorkbook: no such cell");
}

void NullWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view) { check(sheet, row, column); }

void NullWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double) { check(sheet, row, column); }

void NullWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view) {
  check(sheet, row, column);
}

void NullWorkbook::freezeHeadingRow(Sheet sheet) { check(sheet, 1, 1); }

void NullWorkbook::centreHeadingRow(Sheet sheet) { check(sheet, 1, 1); }

void NullWorkbook::setZoom(Sheet sheet, int32_t) { check(sheet, 1, 1); }

void NullWorkbook::fitColumns(Sheet sheet) { check(sheet, 1, 1); }

void NullWorkbook::showFirst(Sheet sheet) { check(sheet, 1, 1); }

void NullWorkbook::setPartial() { checkOpen(); }

void NullWorkbook::close() {
  checkOpen();
  closed_ = true;
}

}  // namespace rzt
