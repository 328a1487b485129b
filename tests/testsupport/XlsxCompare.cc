#include "XlsxCompare.h"

#include <sstream>
#include <vector>

namespace rzt::test {
namespace {

std::string describe(const XlsxCell& cell) {
  std::ostringstream out;
  switch (cell.type) {
    case XlsxCell::Type::kEmpty: out << "empty"; break;
    case XlsxCell::Type::kText: out << "text '" << cell.text << "'"; break;
    case XlsxCell::Type::kNumber: out << "number " << cell.number; break;
  }
  out << " format '" << cell.numberFormat << "'" << (cell.centred ? " centred" : "");
  return out.str();
}

bool sameCell(const XlsxCell& a, const XlsxCell& b) {
  return a.type == b.type && a.text == b.text && a.number == b.number && a.numberFormat == b.numberFormat &&
         a.centred == b.centred;
}

std::string where(const XlsxSheet& sheet, const std::pair<int32_t, int32_t>& at) {
  return "sheet '" + sheet.name + "' row " + std::to_string(at.first) + " column " + std::to_string(at.second);
}

std::string compareSheets(const XlsxSheet& a, const XlsxSheet& b) {
  if (a.frozenRows != b.frozenRows) return "sheet '" + a.name + "': frozen rows differ";
  if (a.zoom != b.zoom) return "sheet '" + a.name + "': zoom differs";
  if (a.widths != b.widths) return "sheet '" + a.name + "': column widths differ";
  if (a.rowCentred != b.rowCentred) return "sheet '" + a.name + "': row formats differ";
  auto ia = a.cells.begin();
  auto ib = b.cells.begin();
  for (; ia != a.cells.end() && ib != b.cells.end(); ++ia, ++ib) {
    if (ia->first != ib->first) {
      const auto& first = ia->first < ib->first ? *ia : *ib;
      return where(a, first.first) + ": only in the " + (ia->first < ib->first ? "expected" : "actual") +
             " workbook: " + describe(first.second);
    }
    if (!sameCell(ia->second, ib->second)) {
      return where(a, ia->first) + ": expected " + describe(ia->second) + ", actual " + describe(ib->second);
    }
  }
  if (ia != a.cells.end()) return where(a, ia->first) + ": missing: " + describe(ia->second);
  if (ib != b.cells.end()) return where(b, ib->first) + ": extra: " + describe(ib->second);
  return {};
}

std::vector<const XlsxSheet*> keptSheets(const XlsxBook& book, const std::set<std::string>& skip) {
  std::vector<const XlsxSheet*> kept;
  for (const XlsxSheet& sheet : book.sheets) {
    if (skip.count(sheet.name) == 0) kept.push_back(&sheet);
  }
  return kept;
}

}  // namespace

std::string firstDifference(const XlsxBook& expected, const XlsxBook& actual, const std::set<std::string>& skipSheets) {
  const std::vector<const XlsxSheet*> a = keptSheets(expected, skipSheets);
  const std::vector<const XlsxSheet*> b = keptSheets(actual, skipSheets);
  if (a.size() != b.size()) return "the number of sheets differs";
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i]->name != b[i]->name) return "tab " + std::to_string(i) + ": '" + a[i]->name + "' vs '" + b[i]->name + "'";
  }
  const auto shown = [](const XlsxBook& book) {
    const auto tab = static_cast<size_t>(book.activeTab);
    return tab < book.sheets.size() ? book.sheets[tab].name : std::string();
  };
  if (shown(expected) != shown(actual)) return "the sheet shown first differs";
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::string difference = compareSheets(*a[i], *b[i]); !difference.empty()) return difference;
  }
  return {};
}

size_t cellCount(const XlsxBook& book) {
  size_t count = 0;
  for (const XlsxSheet& sheet : book.sheets) count += sheet.cells.size();
  return count;
}

}  // namespace rzt::test
