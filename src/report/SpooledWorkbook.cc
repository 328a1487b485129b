#include "report/SpooledWorkbook.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "support/RztError.h"

namespace rzt {
namespace {

constexpr size_t kSpoolBuffer = 1 << 16;

}  // namespace

SpooledWorkbook::SpooledWorkbook(std::string source, std::string destination)
    : BufferedWorkbook(kTextReportMaxRows), source_(std::move(source)), destination_(std::move(destination)) {}

SpooledWorkbook::~SpooledWorkbook() { SpooledWorkbook::discardBook(); }

void SpooledWorkbook::discardBook() {
  for (SheetSpool& s : spools_) {
    if (s.spool != nullptr) {
      std::fclose(s.spool);
      s.spool = nullptr;
    }
  }
}

void SpooledWorkbook::failWrite(const std::string& detail) const {
  throw RztError(kErrPathFileAccess, source_,
                 "ファイルに書き込めません: " + destination_ + (detail.empty() ? "" : " (" + detail + ")"));
}

void SpooledWorkbook::useLargeBuffer(std::FILE* stream) { std::setvbuf(stream, nullptr, _IOFBF, kSpoolBuffer); }

bool SpooledWorkbook::copySpool(std::FILE* spool, std::FILE* out) {
  char buffer[kSpoolBuffer];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, spool)) > 0) {
    if (std::fwrite(buffer, 1, n, out) != n) return false;
  }
  return std::ferror(spool) == 0;
}

bool SpooledWorkbook::appendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) return false;
  char digits[32];
  // Without a precision, to_chars writes the shortest text that reads back
  // as the same double.
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
  return true;
}

void SpooledWorkbook::appendSpool(SheetSpool& sheet, std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), sheet.spool) != bytes.size()) failWrite(std::strerror(errno));
}

void SpooledWorkbook::sheetAdded(Sheet sheet, std::string_view name) {
  SheetSpool added;
  added.id = sheet;
  added.name.assign(name);
  added.spool = openSpool(name);
  useLargeBuffer(added.spool);
  spools_.push_back(std::move(added));
}

void SpooledWorkbook::writeRow(Sheet sheet, int32_t row, std::span<Cell> cells) {
  SheetSpool& s = spools_[static_cast<size_t>(sheet)];
  // Cells with a value first, in column order; swapping slots keeps their
  // storage, so a warm row allocates nothing.
  std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
    if (a.hasValue() != b.hasValue()) return a.hasValue();
    return a.column < b.column;
  });
  size_t values = 0;
  while (values < cells.size() && cells[values].hasValue()) ++values;
  // A row without any value is left to the gap filling of the next row, so
  // that a sheet never ends in empty rows.
  if (values == 0) return;

  for (int32_t gap = s.lastWritten + 1; gap < row; ++gap) {
    writeRecord(s, gap, {});
    ++s.rowsWritten;
  }
  if (row == 1) {
    s.headings.clear();
    for (size_t i = 0; i < values; ++i) {
      const Cell& c = cells[i];
      s.headings.resize(static_cast<size_t>(c.column));
      std::string& heading = s.headings[static_cast<size_t>(c.column) - 1];
      if (c.kind == CellKind::kNumber) {
        appendNumber(heading, c.number);
      } else {
        heading = c.text;
      }
    }
  }
  writeRecord(s, row, cells.first(values));
  s.lastWritten = row;
  ++s.rowsWritten;
}

void SpooledWorkbook::writeBook() {
  std::vector<SheetSpool*> ordered;
  for (Sheet id : tabOrder()) {
    SheetSpool& s = spools_[static_cast<size_t>(id)];
    if (std::fflush(s.spool) != 0 || std::ferror(s.spool) != 0) failWrite(std::strerror(errno));
    std::rewind(s.spool);
    ordered.push_back(&s);
  }
  finish(ordered);
  discardBook();
}

}  // namespace rzt
