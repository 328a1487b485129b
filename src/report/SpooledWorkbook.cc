#include "report/SpooledWorkbook.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "report/CellText.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr size_t kSpoolBuffer = 1 << 16;

}  // namespace

SpooledWorkbook::SpooledWorkbook(std::string source, std::string destination)
    : source_(std::move(source)), destination_(std::move(destination)) {}

SpooledWorkbook::~SpooledWorkbook() { discard(); }

void SpooledWorkbook::discard() {
  for (SheetSpool& s : sheets_) {
    if (s.spool != nullptr) {
      std::fclose(s.spool);
      s.spool = nullptr;
    }
    if (!s.spoolPath.empty()) {
      std::remove(s.spoolPath.c_str());
      s.spoolPath.clear();
    }
  }
}

void SpooledWorkbook::failWrite(const std::string& detail) const {
  throw RztError(kErrPathFileAccess, source_,
                 "ファイルに書き込めません: " + destination_ + (detail.empty() ? "" : " (" + detail + ")"));
}

void SpooledWorkbook::checkDestination(const fs::path& path) const {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    throw RztError(kErrPathNotFound, source_, "パスが見つかりません: " + path.string());
  }
  if (path.filename().empty() || fs::is_directory(path, ec)) {
    throw RztError(kErrPathFileAccess, source_, "ファイルに書き込めません: " + path.string());
  }
}

std::string SpooledWorkbook::makeTemporary(std::string pattern, std::FILE** stream) {
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) failWrite(std::strerror(errno));
  *stream = ::fdopen(fd, "w+b");
  if (*stream == nullptr) {
    const int error = errno;
    ::close(fd);
    std::remove(pattern.c_str());
    failWrite(std::strerror(error));
  }
  std::setvbuf(*stream, nullptr, _IOFBF, kSpoolBuffer);
  return pattern;
}

bool SpooledWorkbook::moveIntoPlace(const std::string& temporary, const fs::path& path) {
  // The new file gets the mode the old one had, or the usual mode of a new file
  // (mkstemp made it private).
  struct stat old {};
  mode_t mode;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::chmod(temporary.c_str(), mode);
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

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
  if (std::fwrite(bytes.data(), 1, bytes.size(), sheet.spool) != bytes.size()) {
    failWrite(std::strerror(errno));
  }
}

SpooledWorkbook::SheetSpool& SpooledWorkbook::state(Sheet sheet) {
  if (closed_) throw std::logic_error("the workbook is closed");
  if (sheet < 0 || static_cast<size_t>(sheet) >= sheets_.size()) {
    throw std::logic_error("no such sheet");
  }
  return sheets_[sheet];
}

IWorkbook::Sheet SpooledWorkbook::addSheet(std::string_view name) {
  if (closed_) throw std::logic_error("the workbook is closed");
  for (const SheetSpool& s : sheets_) {
    if (s.name == name) failWrite("sheet name used twice: " + std::string(name));
  }
  const Sheet id = static_cast<Sheet>(sheets_.size());
  SheetSpool added;
  added.id = id;
  added.name.assign(name);
  added.spoolPath = makeTemporary(spoolPattern(name), &added.spool);
  sheets_.push_back(std::move(added));
  tabOrder_.insert(std::find(tabOrder_.begin(), tabOrder_.end(), active_), id);
  active_ = id;
  return id;
}

SpooledWorkbook::Cell* SpooledWorkbook::cellAt(Sheet sheet, int32_t row, int32_t column) {
  SheetSpool& s = state(sheet);
  if (row > kWorkbookMaxRows) raiseOverflow();
  if (row < 1 || column < 1 || column > kWorkbookMaxColumns) {
    throw std::logic_error("cell outside the sheet");
  }
  if (row != s.row) {
    if (row < s.row) throw std::logic_error("rows of a sheet are written in ascending order");
    flushRow(s);
    s.row = row;
  }
  for (size_t i = 0; i < s.used; ++i) {
    if (s.cells[i].column == column) return &s.cells[i];
  }
  if (s.used == s.cells.size()) s.cells.emplace_back();
  Cell& c = s.cells[s.used++];
  c.column = column;
  c.isNumber = false;
  c.text.clear();
  return &c;
}

void SpooledWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) {
  Cell* c = cellAt(sheet, row, column);
  c->isNumber = false;
  c->text.clear();
  appendValidCellText(text, c->text);
}

void SpooledWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double value) {
  Cell* c = cellAt(sheet, row, column);
  c->text.clear();
  c->isNumber = true;
  c->number = value;
}

void SpooledWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view) {
  // Plain text shows a number in full; the cell still takes its place in the row.
  cellAt(sheet, row, column);
}

void SpooledWorkbook::freezeHeadingRow(Sheet sheet) { state(sheet); }
void SpooledWorkbook::centreHeadingRow(Sheet sheet) { state(sheet); }
void SpooledWorkbook::setZoom(Sheet sheet, int32_t) { state(sheet); }
void SpooledWorkbook::fitColumns(Sheet sheet) { state(sheet); }
void SpooledWorkbook::showFirst(Sheet sheet) { state(sheet); }

void SpooledWorkbook::setPartial() {
  if (closed_) throw std::logic_error("the workbook is closed");
  usePartialNames();
}

void SpooledWorkbook::flushRow(SheetSpool& s) {
  if (s.row == 0 || s.used == 0) {
    s.used = 0;
    return;
  }
  // Cells with a value first, in column order; swapping slots keeps their
  // storage, so a warm row allocates nothing.
  const auto begin = s.cells.begin();
  const auto end = begin + static_cast<std::ptrdiff_t>(s.used);
  std::sort(begin, end, [](const Cell& a, const Cell& b) {
    if (a.hasValue() != b.hasValue()) return a.hasValue();
    return a.column < b.column;
  });
  size_t values = 0;
  while (values < s.used && s.cells[values].hasValue()) ++values;
  s.used = 0;
  // A row without any value is left to the gap filling of the next row, so
  // that a sheet never ends in empty rows.
  if (values == 0) return;

  for (int32_t gap = s.lastWritten + 1; gap < s.row; ++gap) {
    writeRow(s, gap, {});
    ++s.rowsWritten;
  }
  if (s.row == 1) {
    s.headings.clear();
    for (size_t i = 0; i < values; ++i) {
      const Cell& c = s.cells[i];
      s.headings.resize(static_cast<size_t>(c.column));
      std::string& heading = s.headings[static_cast<size_t>(c.column) - 1];
      if (c.isNumber) {
        appendNumber(heading, c.number);
      } else {
        heading = c.text;
      }
    }
  }
  writeRow(s, s.row, std::span<const Cell>(s.cells.data(), values));
  s.lastWritten = s.row;
  ++s.rowsWritten;
}

void SpooledWorkbook::close() {
  if (closed_) throw std::logic_error("the workbook is closed");
  try {
    for (SheetSpool& s : sheets_) flushRow(s);
    std::vector<SheetSpool*> ordered;
    for (Sheet id : tabOrder_) {
      SheetSpool& s = sheets_[id];
      if (std::fflush(s.spool) != 0 || std::ferror(s.spool) != 0) failWrite(std::strerror(errno));
      std::rewind(s.spool);
      ordered.push_back(&s);
    }
    closed_ = true;
    finish(ordered);
  } catch (...) {
    closed_ = true;
    discard();
    throw;
  }
  discard();
}

}  // namespace rzt
