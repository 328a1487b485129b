#include "cli/FindingCountingWorkbook.h"

#include <utility>

namespace rzt {
namespace {

constexpr std::string_view kDiagnosisSheet = "診断";
constexpr std::string_view kLevelHeading = "区分";

}  // namespace

FindingCountingWorkbook::FindingCountingWorkbook(std::unique_ptr<IWorkbook> inner, int32_t* findings)
    : inner_(std::move(inner)), findings_(findings) {
  *findings_ = 0;
}

IWorkbook::Sheet FindingCountingWorkbook::addSheet(std::string_view name) {
  const Sheet sheet = inner_->addSheet(name);
  if (name == kDiagnosisSheet) diagnosisSheet_ = sheet;
  return sheet;
}

void FindingCountingWorkbook::setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) {
  inner_->setText(sheet, row, column, text);
  // Counted once the cell is written, so a refused cell is no finding.
  if (sheet != diagnosisSheet_) return;
  if (row == 1 && text == kLevelHeading) {
    levelColumn_ = column;
  } else if (row > 1 && column == levelColumn_ && !text.empty() && row != lastCounted_) {
    lastCounted_ = row;
    ++*findings_;
  }
}

void FindingCountingWorkbook::setNumber(Sheet sheet, int32_t row, int32_t column, double value) {
  inner_->setNumber(sheet, row, column, value);
}

void FindingCountingWorkbook::setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                                              std::string_view format) {
  inner_->setNumberFormat(sheet, row, column, format);
}

void FindingCountingWorkbook::freezeHeadingRow(Sheet sheet) { inner_->freezeHeadingRow(sheet); }
void FindingCountingWorkbook::centreHeadingRow(Sheet sheet) { inner_->centreHeadingRow(sheet); }
void FindingCountingWorkbook::setZoom(Sheet sheet, int32_t percent) { inner_->setZoom(sheet, percent); }
void FindingCountingWorkbook::fitColumns(Sheet sheet) { inner_->fitColumns(sheet); }
void FindingCountingWorkbook::showFirst(Sheet sheet) { inner_->showFirst(sheet); }
void FindingCountingWorkbook::close() { inner_->close(); }

}  // namespace rzt
