#include "compare/CapturingWorkbook.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace rzt {

CapturingWorkbook::CapturingWorkbook(std::unique_ptr<IWorkbook> inner, ReportModel& into, BeforeClose beforeClose)
    : inner_(std::move(inner)), model_(into), beforeClose_(std::move(beforeClose)) {
  if (!inner_) throw std::logic_error("CapturingWorkbook: no workbook to wrap");
  model_ = ReportModel(into.origin());
}

IWorkbook::Sheet CapturingWorkbook::addSheet(std::string_view name) {
  const Sheet sheet = inner_->addSheet(name);
  names_.emplace_back(std::string(name), sheet);
  if (sheet < 0) return sheet;
  if (builders_.size() <= static_cast<size_t>(sheet)) builders_.resize(static_cast<size_t>(sheet) + 1);
  const std::optional<ReportSheetKind> kind = reportSheetKind(name);
  // A second sheet of a name already kept is handed on only.
  if (kind && model_.sheet(*kind) == nullptr) {
    builders_[static_cast<size_t>(sheet)] = std::make_unique<PositionalSheetBuilder>(model_.addSheet(*kind));
  }
  return sheet;
}

IWorkbook::Sheet CapturingWorkbook::sheetNamed(std::string_view name) const {
  for (const auto& [n, sheet] : names_) {
    if (n == name) return sheet;
  }
  return -1;
}

PositionalSheetBuilder* CapturingWorkbook::builder(Sheet sheet) {
  if (captureDone_ || sheet < 0 || static_cast<size_t>(sheet) >= builders_.size()) return nullptr;
  return builders_[static_cast<size_t>(sheet)].get();
}

void CapturingWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) {
  inner_->setText(sheet, row, column, text);
  if (PositionalSheetBuilder* b = builder(sheet)) b->setText(row, column, text);
}

void CapturingWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double value) {
  inner_->setNumber(sheet, row, column, value);
  if (PositionalSheetBuilder* b = builder(sheet)) b->setNumber(row, column, value);
}

void CapturingWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view format) {
  inner_->setNumberFormat(sheet, row, column, format);
}

void CapturingWorkbook::freezeHeadingRow(Sheet sheet) { inner_->freezeHeadingRow(sheet); }

void CapturingWorkbook::centreHeadingRow(Sheet sheet) { inner_->centreHeadingRow(sheet); }

void CapturingWorkbook::setZoom(Sheet sheet, int32_t percent) { inner_->setZoom(sheet, percent); }

void CapturingWorkbook::fitColumns(Sheet sheet) { inner_->fitColumns(sheet); }

void CapturingWorkbook::showFirst(Sheet sheet) { inner_->showFirst(sheet); }

void CapturingWorkbook::setPartial() {
  inner_->setPartial();
  model_.setPartial(true);
}

void CapturingWorkbook::close() {
  if (!captureDone_) {
    for (auto& b : builders_) {
      if (b) b->finish();
    }
    captureDone_ = true;
  }
  if (beforeClose_) {
    // Once only, even when the close is tried again after a failure.
    BeforeClose hook = std::move(beforeClose_);
    beforeClose_ = nullptr;
    hook(*this);
  }
  inner_->close();
}

}  // namespace rzt
