#pragma once

#include <set>
#include <string>

#include "XlsxReader.h"

namespace rzt::test {

// The first difference between two workbooks read back, compared sheet by
// sheet and cell by cell (type, value, number format, alignment) with the
// tab order, the sheet shown first, frozen rows, zoom, column widths and
// row formats; empty when they are the same. Sheets named in skipSheets are
// left out on both sides.
std::string firstDifference(const XlsxBook& expected, const XlsxBook& actual,
                            const std::set<std::string>& skipSheets = {});

// The number of cells of every sheet together.
size_t cellCount(const XlsxBook& book);

}  // namespace rzt::test
