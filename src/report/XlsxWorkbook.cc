#include "report/XlsxWorkbook.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "report/CellText.h"
#include "support/RztError.h"

// The workbook's parts are deflated at the fastest level. libxlsxwriter asks
// minizip for the default level and offers no setting, and with a large
// report deflating the sheets at the close is most of the writing: level 1
// makes the whole job about a third faster for a file about a third larger.
// This definition takes the place of minizip's own for the program (the
// library's reference to it binds to the program first) and hands the call
// on with the level changed. The declaration is minizip's, with its handle
// and info structure as opaque pointers.
extern "C" int zipOpenNewFileInZip4_64(void* file, const char* filename, const void* zipfi,
                                       const void* extrafield_local, unsigned size_extrafield_local,
                                       const void* extrafield_global, unsigned size_extrafield_global,
                                       const char* comment, int method, int level, int raw, int windowBits,
                                       int memLevel, int strategy, const char* password,
                                       unsigned long crcForCrypting, unsigned long versionMadeBy,
                                       unsigned long flagBase, int zip64) {
  using Open = int (*)(void*, const char*, const void*, const void*, unsigned, const void*, unsigned, const char*,
                       int, int, int, int, int, int, const char*, unsigned long, unsigned long, unsigned long, int);
  static const Open minizipOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
  if (minizipOpen == nullptr) return -104;  // ZIP_INTERNALERROR: the write fails and says so
  constexpr int kFastestLevel = 1;
  if (level != 0) level = kFastestLevel;  // 0 stores, and stays so
  return minizipOpen(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
                     size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy, password,
                     crcForCrypting, versionMadeBy, flagBase, zip64);
}

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "XlsxWorkbook";

std::string cannotWrite(const fs::path& path) { return "ファイルに書き込めません: " + path.string(); }

}  // namespace

XlsxWorkbook::XlsxWorkbook(fs::path path) : path_(std::move(path)) {
  fs::path folder = path_.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    throw RztError(kErrPathNotFound, kSource, "パスが見つかりません: " + path_.string());
  }
  if (path_.filename().empty() || fs::is_directory(path_, ec)) {
    throw RztError(kErrPathFileAccess, kSource, cannotWrite(path_));
  }
  // The temporary file sits beside the destination so that rename is atomic.
  std::string pattern = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) throw RztError(kErrPathFileAccess, kSource, cannotWrite(path_));
  ::close(fd);
  tempPath_ = pattern;

  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  workbook_ = workbook_new_opt(tempPath_.c_str(), &options);
  if (workbook_ == nullptr) {
    std::remove(tempPath_.c_str());
    throw RztError(kErrPathFileAccess, kSource, cannotWrite(path_));
  }
}

XlsxWorkbook::~XlsxWorkbook() { discard(); }

void XlsxWorkbook::discard() {
  if (workbook_ != nullptr) {
    lxw_workbook_free(workbook_);
    workbook_ = nullptr;
  }
  if (!tempPath_.empty()) {
    std::remove(tempPath_.c_str());
    tempPath_.clear();
  }
}

void XlsxWorkbook::fail(const std::string& detail) {
  throw RztError(kErrPathFileAccess, kSource, cannotWrite(path_) + " (" + detail + ")");
}

void XlsxWorkbook::check(int rc) {
  if (rc != LXW_NO_ERROR) fail(lxw_strerror(static_cast<lxw_error>(rc)));
}

XlsxWorkbook::SheetState& XlsxWorkbook::state(Sheet sheet) {
  if (closed_) throw std::logic_error("the workbook is closed");
  if (sheet < 0 || static_cast<size_t>(sheet) >= sheets_.size()) {
    throw std::logic_error("no such sheet");
  }
  return sheets_[sheet];
}

IWorkbook::Sheet XlsxWorkbook::addSheet(std::string_view name) {
  if (closed_) throw std::logic_error("the workbook is closed");
  if (materialised_) throw std::logic_error("sheets are added before the first data row");
  std::string sheetName(name);
  for (const SheetState& s : sheets_) {
    if (s.name == sheetName) fail("sheet name used twice: " + sheetName);
  }
  check(workbook_validate_sheet_name(workbook_, sheetName.c_str()));
  Sheet id = static_cast<Sheet>(sheets_.size());
  sheets_.emplace_back();
  sheets_.back().name = std::move(sheetName);
  tabOrder_.insert(std::find(tabOrder_.begin(), tabOrder_.end(), active_), id);
  active_ = id;
  return id;
}

int32_t XlsxWorkbook::internFormat(std::string_view format) {
  for (size_t i = 0; i < formatNames_.size(); ++i) {
    if (formatNames_[i] == format) return static_cast<int32_t>(i);
  }
  formatNames_.emplace_back(format);
  return static_cast<int32_t>(formatNames_.size() - 1);
}

lxw_format* XlsxWorkbook::formatFor(int32_t format, bool centred) {
  if (format < 0 && !centred) return nullptr;
  size_t slot = static_cast<size_t>(format + 1) * 2 + (centred ? 1 : 0);
  if (slot >= formats_.size()) formats_.resize(slot + 1, nullptr);
  if (formats_[slot] == nullptr) {
    lxw_format* f = workbook_add_format(workbook_);
    if (f == nullptr) fail("format");
    if (format >= 0) format_set_num_format(f, formatNames_[format].c_str());
    if (centred) format_set_align(f, LXW_ALIGN_CENTER);
    formats_[slot] = f;
  }
  return formats_[slot];
}

XlsxWorkbook::BufferedCell& XlsxWorkbook::cellAt(Sheet sheet, int32_t row, int32_t column) {
  SheetState& s = state(sheet);
  if (row > kWorkbookMaxRows) raiseOverflow();
  if (row < 1 || column < 1 || column > kWorkbookMaxColumns) {
    throw std::logic_error("cell outside the sheet");
  }
  if (row != s.row) {
    if (row < s.row) throw std::logic_error("rows of a sheet are written in ascending order");
    flushRow(s);
    s.row = row;
    // Every sheet must exist in the file before the first data row goes to it.
    if (row >= 2 && !materialised_) materialise();
  }
  for (size_t i = 0; i < s.used; ++i) {
    if (s.cells[i].column == column) return s.cells[i];
  }
  if (s.used == s.cells.size()) s.cells.emplace_back();
  BufferedCell& c = s.cells[s.used++];
  c.column = column;
  c.kind = CellKind::kNone;
  c.format = -1;
  c.text.clear();
  return c;
}

void XlsxWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) {
  BufferedCell& c = cellAt(sheet, row, column);
  c.text.clear();
  appendValidCellText(text, c.text);
  c.kind = c.text.empty() ? CellKind::kNone : CellKind::kText;
}

void XlsxWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double value) {
  BufferedCell& c = cellAt(sheet, row, column);
  c.text.clear();
  c.kind = CellKind::kNumber;
  c.number = value;
}

void XlsxWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                                   std::string_view format) {
  BufferedCell& c = cellAt(sheet, row, column);
  c.format = format.empty() ? -1 : internFormat(format);
}

void XlsxWorkbook::flushRow(SheetState& s) {
  if (s.row == 0 || s.used == 0) {
    s.used = 0;
    return;
  }
  for (size_t i = 0; i < s.used; ++i) {
    const BufferedCell& c = s.cells[i];
    int32_t width = c.kind == CellKind::kText ? textDisplayWidth(c.text)
                    : c.kind == CellKind::kNumber
                        ? numberDisplayWidth(c.number, c.format < 0 ? std::string_view()
                                                                    : formatNames_[c.format])
                        : 0;
    if (static_cast<size_t>(c.column) > s.widths.size()) s.widths.resize(c.column, 0);
    s.widths[c.column - 1] = std::max(s.widths[c.column - 1], width);
  }
  if (materialised_) {
    writeRow(s, s.row, s.cells.data(), s.used);
  } else {
    s.pending.push_back(PendingRow{s.row, {s.cells.begin(), s.cells.begin() + s.used}});
  }
  s.used = 0;
}

void XlsxWorkbook::writeRow(SheetState& s, int32_t row, const BufferedCell* cells, size_t count) {
  bool centred = row == 1 && s.centred;
  lxw_row_t r = static_cast<lxw_row_t>(row - 1);
  if (row == 1) {
    // The row's own format centres the cells of the heading row left empty.
    if (centred) check(worksheet_set_row(s.worksheet, r, LXW_DEF_ROW_HEIGHT, formatFor(-1, true)));
    s.headingWritten = true;
  }
  for (size_t i = 0; i < count; ++i) {
    const BufferedCell& c = cells[i];
    lxw_col_t col = static_cast<lxw_col_t>(c.column - 1);
    lxw_format* format = formatFor(c.format, centred);
    switch (c.kind) {
      case CellKind::kText:
        check(worksheet_write_string(s.worksheet, r, col, c.text.c_str(), format));
        break;
      case CellKind::kNumber:
        check(worksheet_write_number(s.worksheet, r, col, c.number, format));
        break;
      case CellKind::kNone:
        if (format != nullptr) check(worksheet_write_blank(s.worksheet, r, col, format));
        break;
    }
  }
}

void XlsxWorkbook::materialise() {
  // The writer only appends sheets: add them in their final tab order.
  for (Sheet id : tabOrder_) {
    SheetState& s = sheets_[id];
    s.worksheet = workbook_add_worksheet(workbook_, s.name.c_str());
    if (s.worksheet == nullptr) fail("sheet " + s.name);
  }
  materialised_ = true;
  for (SheetState& s : sheets_) {
    for (const PendingRow& p : s.pending) writeRow(s, p.row, p.cells.data(), p.cells.size());
    s.pending.clear();
    s.pending.shrink_to_fit();
  }
}

void XlsxWorkbook::freezeHeadingRow(Sheet sheet) { state(sheet).frozen = true; }

void XlsxWorkbook::centreHeadingRow(Sheet sheet) {
  SheetState& s = state(sheet);
  if (s.headingWritten) throw std::logic_error("the heading row is centred before it is written");
  s.centred = true;
}

void XlsxWorkbook::setZoom(Sheet sheet, int32_t percent) {
  // The format knows 10 to 400 percent only.
  state(sheet).zoom = std::clamp(percent, 10, 400);
}

void XlsxWorkbook::fitColumns(Sheet sheet) { state(sheet).fit = true; }

void XlsxWorkbook::showFirst(Sheet sheet) {
  state(sheet);
  shown_ = sheet;
}

void XlsxWorkbook::setPartial() {
  if (closed_) throw std::logic_error("the workbook is closed");
  path_ = partialReportPath(path_);
}

void XlsxWorkbook::close() {
  if (closed_) throw std::logic_error("the workbook is closed");
  closed_ = true;
  try {
    for (SheetState& s : sheets_) flushRow(s);
    if (!materialised_) materialise();
    for (SheetState& s : sheets_) {
      if (s.frozen) worksheet_freeze_panes(s.worksheet, 1, 0);
      if (s.zoom != 0) worksheet_set_zoom(s.worksheet, static_cast<uint16_t>(s.zoom));
      if (!s.fit) continue;
      // Columns are fitted from every row written, so the fit is done last.
      for (size_t col = 0; col < s.widths.size(); ++col) {
        if (s.widths[col] == 0) continue;
        check(worksheet_set_column(s.worksheet, static_cast<lxw_col_t>(col),
                                   static_cast<lxw_col_t>(col),
                                   fittedColumnWidth(s.widths[col]), nullptr));
      }
    }
    if (shown_ >= 0) worksheet_activate(sheets_[shown_].worksheet);
  } catch (...) {
    discard();
    throw;
  }
  lxw_error rc = workbook_close(workbook_);
  workbook_ = nullptr;  // closing frees it, whatever the outcome
  if (rc != LXW_NO_ERROR) {
    std::string detail = lxw_strerror(rc);
    discard();
    fail(detail);
  }
  // The new file gets the mode the old one had, or the usual mode of a new file.
  struct stat old {};
  mode_t mode;
  if (::stat(path_.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::chmod(tempPath_.c_str(), mode);
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    discard();
    throw RztError(kErrPathFileAccess, kSource, cannotWrite(path_));
  }
  tempPath_.clear();
}

}  // namespace rzt
