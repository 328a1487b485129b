#include "report/XlsxWorkbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "report/CellText.h"
#include "report/StagingFolder.h"
#include "support/RztError.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "XlsxWorkbook";

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Whether text[at] begins "_x" + four hex digits + "_".
bool isEscapeAt(std::string_view text, size_t at) {
  if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') return false;
  return isHexDigit(text[at + 2]) && isHexDigit(text[at + 3]) && isHexDigit(text[at + 4]) && isHexDigit(text[at + 5]);
}

}  // namespace

std::string_view xlsxCellText(std::string_view text, std::string& scratch) {
  size_t at = text.find("_x");
  while (at != std::string_view::npos && !isEscapeAt(text, at)) at = text.find("_x", at + 1);
  if (at == std::string_view::npos) return text;
  constexpr std::string_view kEscapedUnderscore = "_x005F";
  scratch.clear();
  int32_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool escape = isEscapeAt(text, i);
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool startsCharacter = (byte & 0xC0) != 0x80;
    const int32_t adds = (escape ? static_cast<int32_t>(kEscapedUnderscore.size()) : 0) + (startsCharacter ? 1 : 0);
    // Only a character's first byte counts, so the cut falls between characters.
    if (characters + adds > kCellMaxChars) break;
    characters += adds;
    if (escape) scratch += kEscapedUnderscore;
    scratch += text[i];
  }
  return scratch;
}

XlsxWorkbook::XlsxWorkbook(fs::path path) : path_(std::move(path)) {
  staging_ = std::make_unique<StagingFolder>(path_, kSource);
  stagedName_ = path_.filename().string();
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  errno = 0;
  workbook_ = workbook_new_opt(staging_->pathForLibrary(stagedName_).c_str(), &options);
  if (workbook_ == nullptr) {
    const int error = errno != 0 ? errno : ENOMEM;
    staging_.reset();
    throw RztError(kErrPathFileAccess, kSource, "ファイルに書き込めません: " + path_.string() + " (" + std::strerror(error) + ")");
  }
}

XlsxWorkbook::~XlsxWorkbook() { discardBook(); }

void XlsxWorkbook::discardBook() {
  if (workbook_ != nullptr) {
    lxw_workbook_free(workbook_);
    workbook_ = nullptr;
  }
  staging_.reset();
}

void XlsxWorkbook::usePartialNames() { path_ = partialReportPath(path_); }

void XlsxWorkbook::fail(const std::string& detail) {
  throw RztError(kErrPathFileAccess, kSource, "ファイルに書き込めません: " + path_.string() + " (" + detail + ")");
}

void XlsxWorkbook::check(int rc) {
  if (rc != LXW_NO_ERROR) fail(lxw_strerror(static_cast<lxw_error>(rc)));
}

void XlsxWorkbook::sheetAdded(Sheet, std::string_view name) {
  check(workbook_validate_sheet_name(workbook_, std::string(name).c_str()));
  pending_.emplace_back();
  widths_.emplace_back();
}

lxw_format* XlsxWorkbook::formatFor(int32_t format, bool centred) {
  if (format < 0 && !centred) return nullptr;
  const size_t slot = static_cast<size_t>(format + 1) * 2 + (centred ? 1 : 0);
  if (slot >= formats_.size()) formats_.resize(slot + 1, nullptr);
  if (formats_[slot] == nullptr) {
    lxw_format* f = workbook_add_format(workbook_);
    if (f == nullptr) fail("format");
    if (format >= 0) format_set_num_format(f, formatName(format).c_str());
    if (centred) format_set_align(f, LXW_ALIGN_CENTER);
    formats_[slot] = f;
  }
  return formats_[slot];
}

void XlsxWorkbook::writeRow(Sheet sheet, int32_t row, std::span<Cell> cells) {
  std::vector<int32_t>& widths = widths_[static_cast<size_t>(sheet)];
  for (const Cell& c : cells) {
    if (static_cast<size_t>(c.column) > widths.size()) widths.resize(static_cast<size_t>(c.column), 0);
    widths[static_cast<size_t>(c.column) - 1] = std::max(widths[static_cast<size_t>(c.column) - 1], displayWidth(c));
  }
  // Every sheet must exist in the file before the first data row goes to it.
  if (row >= 2 && !materialised_) materialise();
  if (materialised_) {
    writeCells(sheet, row, cells);
  } else {
    pending_[static_cast<size_t>(sheet)].push_back(PendingRow{row, {cells.begin(), cells.end()}});
  }
}

void XlsxWorkbook::writeCells(Sheet sheet, int32_t row, std::span<const Cell> cells) {
  lxw_worksheet* worksheet = worksheets_[static_cast<size_t>(sheet)];
  const bool centred = row == 1 && sheetState(sheet).centred;
  const auto r = static_cast<lxw_row_t>(row - 1);
  // The row's own format centres the cells of the heading row left empty.
  if (centred) check(worksheet_set_row(worksheet, r, LXW_DEF_ROW_HEIGHT, formatFor(-1, true)));
  for (const Cell& c : cells) {
    const auto col = static_cast<lxw_col_t>(c.column - 1);
    lxw_format* format = formatFor(c.format, centred);
    switch (c.kind) {
      case CellKind::kText: {
        const std::string_view text = xlsxCellText(c.text, escaped_);
        check(worksheet_write_string(worksheet, r, col, text.data() == c.text.data() ? c.text.c_str() : escaped_.c_str(),
                                     format));
        break;
      }
      case CellKind::kNumber:
        check(worksheet_write_number(worksheet, r, col, c.number, format));
        break;
      case CellKind::kNone:
        if (format != nullptr) check(worksheet_write_blank(worksheet, r, col, format));
        break;
    }
  }
}

void XlsxWorkbook::materialise() {
  // The writer only appends sheets: add them in their final tab order.
  worksheets_.assign(static_cast<size_t>(sheetCount()), nullptr);
  for (Sheet id : tabOrder()) {
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook_, sheetState(id).name.c_str());
    if (worksheet == nullptr) fail("sheet " + sheetState(id).name);
    worksheets_[static_cast<size_t>(id)] = worksheet;
  }
  materialised_ = true;
  for (Sheet id = 0; id < sheetCount(); ++id) {
    std::vector<PendingRow> rows = std::move(pending_[static_cast<size_t>(id)]);
    for (const PendingRow& p : rows) writeCells(id, p.row, p.cells);
  }
}

void XlsxWorkbook::writeBook() {
  if (!materialised_) materialise();
  for (Sheet id = 0; id < sheetCount(); ++id) {
    const SheetState& s = sheetState(id);
    lxw_worksheet* worksheet = worksheets_[static_cast<size_t>(id)];
    if (s.frozen) worksheet_freeze_panes(worksheet, 1, 0);
    // The format knows 10 to 400 percent only.
    if (s.zoom != 0) worksheet_set_zoom(worksheet, static_cast<uint16_t>(std::clamp(s.zoom, 10, 400)));
    if (!s.fitted) continue;
    // Columns are fitted from every row written, so the fit is done last.
    const std::vector<int32_t>& widths = widths_[static_cast<size_t>(id)];
    for (size_t col = 0; col < widths.size(); ++col) {
      if (widths[col] == 0) continue;
      check(worksheet_set_column(worksheet, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col),
                                 fittedColumnWidth(widths[col]), nullptr));
    }
  }
  if (shownSheet() >= 0) worksheet_activate(worksheets_[static_cast<size_t>(shownSheet())]);
  errno = 0;
  const lxw_error rc = workbook_close(workbook_);
  const int error = errno;
  workbook_ = nullptr;  // closing frees it, whatever the outcome
  if (rc != LXW_NO_ERROR) {
    std::string detail = lxw_strerror(rc);
    if (error != 0) detail += std::string(": ") + std::strerror(error);
    fail(detail);
  }
  staging_->moveIntoPlace({{stagedName_, path_.filename().string()}});
  staging_.reset();
}

}  // namespace rzt
