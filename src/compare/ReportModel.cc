#include "compare/ReportModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "report/CellText.h"

namespace rzt {
namespace {

constexpr std::string_view kSheetNames[kReportSheetKindCount] = {"Summ", "File", "Class", "Method", "診断"};

// "-12", "3.5": digits with an optional minus sign and decimal part, as a
// spreadsheet shows a number kept as text.
bool isDecimalText(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  const size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits) return false;
  if (i < text.size() && text[i] == '.') {
    const size_t fraction = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == fraction) return false;
  }
  return i == text.size();
}

}  // namespace

std::string_view reportSheetName(ReportSheetKind kind) { return kSheetNames[static_cast<size_t>(kind)]; }

std::optional<ReportSheetKind> reportSheetKind(std::string_view sheetName) {
  for (int i = 0; i < kReportSheetKindCount; ++i) {
    if (kSheetNames[i] == sheetName) return static_cast<ReportSheetKind>(i);
  }
  return std::nullopt;
}

std::optional<double> ReportCell::numeric() const {
  if (kind == Kind::kNumber) return number;
  if (kind != Kind::kText || text.size() > 64 || !isDecimalText(text)) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool sameValue(const ReportCell& a, const ReportCell& b) {
  if (a.kind == ReportCell::Kind::kNumber && b.kind == ReportCell::Kind::kNumber && a.number == b.number) return true;
  if (a.kind == ReportCell::Kind::kText && b.kind == ReportCell::Kind::kText) return a.text == b.text;
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  const std::optional<double> x = a.numeric();
  const std::optional<double> y = b.numeric();
  if (!x || !y) return false;
  if (*x == *y) return true;
  return std::fabs(*x - *y) <= 1e-14 * std::max(std::fabs(*x), std::fabs(*y));
}

SheetTable::SheetTable(ReportSheetKind kind, ReportBudget* budget) : kind_(kind), budget_(budget) {}

int32_t SheetTable::findColumn(std::string_view heading) const {
  for (size_t c = 0; c < headings_.size(); ++c) {
    if (headings_[c] == heading) return static_cast<int32_t>(c);
  }
  return -1;
}

int32_t SheetTable::addColumn(std::string heading, int32_t after) {
  if (budget_ != nullptr && columnCount() >= budget_->limits.maxColumns) {
    throw ReportFormatError("シート \"" + std::string(reportSheetName(kind_)) + "\" の列が多過ぎます");
  }
  const auto column = static_cast<int32_t>(headings_.size());
  headings_.push_back(std::move(heading));
  if (after == kRightmost) {
    order_.push_back(column);
  } else {
    auto at = order_.begin();
    if (after >= 0) at = std::find(order_.begin(), order_.end(), after) + 1;
    order_.insert(at, column);
  }
  return column;
}

void SheetTable::chargeCells(int64_t cells) {
  if (budget_ == nullptr) return;
  if (budget_->cells.fetch_add(cells) + cells > budget_->limits.maxCells) throw ReportFormatError("セルが多過ぎます");
}

void SheetTable::widen(int32_t width) {
  // Rows are laid out anew with the wider stride; a sheet gains its columns
  // in its first rows, so this is rare.
  const int32_t rows = rows_ + (open_ ? 1 : 0);
  chargeCells(int64_t{rows} * (width - width_));
  std::vector<Slot> wider(static_cast<size_t>(rows) * static_cast<size_t>(width));
  for (int32_t r = 0; r < rows; ++r) {
    std::copy_n(slots_.begin() + static_cast<ptrdiff_t>(r) * width_, width_,
                wider.begin() + static_cast<ptrdiff_t>(r) * width);
  }
  slots_ = std::move(wider);
  width_ = width;
}

SheetTable::Slot& SheetTable::slot(int32_t column) {
  if (!open_) throw std::logic_error("SheetTable: a cell outside a row");
  if (column < 0 || column >= columnCount()) throw std::logic_error("SheetTable: no such column");
  if (column >= width_) widen(columnCount());
  return slots_[static_cast<size_t>(rows_) * static_cast<size_t>(width_) + static_cast<size_t>(column)];
}

void SheetTable::beginRow() {
  if (open_) throw std::logic_error("SheetTable: a row inside a row");
  if (width_ < columnCount()) widen(columnCount());
  chargeCells(width_);
  slots_.resize(slots_.size() + static_cast<size_t>(width_));
  open_ = true;
  openHasValue_ = false;
}

void SheetTable::endRow() {
  if (!open_) throw std::logic_error("SheetTable: no row to end");
  open_ = false;
  if (openHasValue_) {
    ++rows_;
  } else {
    slots_.resize(static_cast<size_t>(rows_) * static_cast<size_t>(width_));
    chargeCells(-width_);
  }
}

void SheetTable::setNumber(int32_t column, double value) {
  Slot& s = slot(column);
  if (!std::isfinite(value)) {
    s = Slot();
    return;
  }
  openHasValue_ = true;
  if (value == std::trunc(value) && value >= std::numeric_limits<int32_t>::min() &&
      value <= std::numeric_limits<int32_t>::max() && !(value == 0 && std::signbit(value))) {
    s.kind = kSlotInteger;
    s.payload = static_cast<uint32_t>(static_cast<int32_t>(value));
    return;
  }
  s.kind = kSlotReal;
  s.payload = static_cast<uint32_t>(reals_.size());
  reals_.push_back(value);
}

void SheetTable::setText(int32_t column, std::string_view text) {
  Slot& s = slot(column);
  if (text.empty()) {
    s = Slot();
    return;
  }
  // The same text as a written workbook holds, whoever hands it in.
  if (!isValidCellText(text)) {
    scratch_.clear();
    appendValidCellText(text, scratch_);
    text = scratch_;
  }
  if (budget_ != nullptr && text.size() > static_cast<size_t>(budget_->limits.maxCellTextBytes)) {
    throw ReportFormatError("セルの文字列が長過ぎます");
  }
  const uint32_t offset = storeText(text);
  openHasValue_ = true;
  s.kind = kSlotText;
  s.length[0] = static_cast<uint8_t>(text.size());
  s.length[1] = static_cast<uint8_t>(text.size() >> 8);
  s.length[2] = static_cast<uint8_t>(text.size() >> 16);
  s.payload = offset;
}

uint32_t SheetTable::storeText(std::string_view text) {
  // Texts of valid cells are far shorter than a chunk; a longer one is
  // refused rather than stored in a way the 24-bit length could not say.
  if (text.size() > kChunkBytes) throw ReportFormatError("セルの文字列が長過ぎます");
  if (budget_ != nullptr) {
    const auto bytes = static_cast<int64_t>(text.size());
    if (budget_->textBytes.fetch_add(bytes) + bytes > budget_->limits.maxTextBytes) throw ReportFormatError("文字列が多過ぎます");
  }
  if (chunks_.empty() || kChunkBytes - chunks_.back().size() < text.size()) {
    if (chunks_.size() >= (uint64_t{1} << 32) / kChunkBytes) throw ReportFormatError("文字列が多過ぎます");
    // The first chunk grows as it fills (most sheets hold far less than a
    // chunk of text); the others are taken whole.
    chunks_.emplace_back();
    chunks_.back().reserve(chunks_.size() == 1 ? size_t{4096} : kChunkBytes);
  }
  std::vector<char>& chunk = chunks_.back();
  if (chunk.capacity() - chunk.size() < text.size()) {
    chunk.reserve(std::min<size_t>(kChunkBytes, std::max(chunk.capacity() * 2, chunk.size() + text.size())));
  }
  const auto offset = static_cast<uint32_t>((chunks_.size() - 1) * kChunkBytes + chunk.size());
  chunk.insert(chunk.end(), text.begin(), text.end());
  return offset;
}

std::string_view SheetTable::textAt(const Slot& s) const {
  const size_t length = s.length[0] | (size_t{s.length[1]} << 8) | (size_t{s.length[2]} << 16);
  return {chunks_[s.payload / kChunkBytes].data() + s.payload % kChunkBytes, length};
}

ReportCell SheetTable::cell(int32_t row, int32_t column) const {
  ReportCell c;
  if (row < 0 || row >= rows_ || column < 0 || column >= width_) return c;
  const Slot& s = slots_[static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(column)];
  switch (s.kind) {
    case kSlotInteger:
      c.kind = ReportCell::Kind::kNumber;
      c.number = static_cast<int32_t>(s.payload);
      break;
    case kSlotReal:
      c.kind = ReportCell::Kind::kNumber;
      c.number = reals_[s.payload];
      break;
    case kSlotText:
      c.kind = ReportCell::Kind::kText;
      c.text = textAt(s);
      break;
    default:
      break;
  }
  return c;
}

size_t SheetTable::memoryBytes() const {
  size_t bytes = slots_.capacity() * sizeof(Slot) + reals_.capacity() * sizeof(double);
  for (const std::vector<char>& chunk : chunks_) bytes += chunk.capacity();
  for (const std::string& h : headings_) bytes += h.capacity();
  return bytes;
}

ReportModel::ReportModel(std::string origin, std::optional<ReportLimits> limits) : origin_(std::move(origin)) {
  if (limits) {
    budget_ = std::make_unique<ReportBudget>();
    budget_->limits = *limits;
  }
}

SheetTable& ReportModel::addSheet(ReportSheetKind kind) {
  auto& table = sheets_[static_cast<size_t>(kind)];
  table = std::make_unique<SheetTable>(kind, budget_.get());
  return *table;
}

ReportModel::SyntaxMode ReportModel::syntaxMode() const {
  const SheetTable* files = sheet(ReportSheetKind::kFile);
  if (files == nullptr || files->rowCount() == 0) return SyntaxMode::kUnknown;
  const int32_t column = files->findColumn(heading::kSyntaxErrors);
  if (column < 0) return SyntaxMode::kClassic;
  // JSON leaves an empty column out, so a column that is there has a value.
  return SyntaxMode::kModern;
}

size_t ReportModel::memoryBytes() const {
  size_t bytes = 0;
  for (const auto& table : sheets_) {
    if (table) bytes += table->memoryBytes();
  }
  return bytes;
}

}  // namespace rzt
