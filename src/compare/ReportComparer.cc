#include "compare/ReportComparer.h"

#include <array>
#include <span>
#include <utility>

#include "compare/CapturingWorkbook.h"
#include "compare/ComparisonSheet.h"

namespace rzt {

ReportComparer::ReportComparer(OutputMgr& outputMgr) : outputMgr_(outputMgr) {}

ReportComparer::~ReportComparer() {
  if (earlier_) outputMgr_.setExtraSheet(nullptr);
}

void ReportComparer::compareWith(std::shared_ptr<const ReportModel> earlier, ReportModel::SyntaxMode currentSyntax) {
  drop();
  earlier_ = std::move(earlier);
  currentSyntax_ = currentSyntax;
  outputMgr_.setExtraSheet(earlier_ ? this : nullptr);
}

void ReportComparer::drop() {
  // The comparison refers to the captured cells: it goes first.
  comparison_.reset();
  captured_.reset();
  failure_ = nullptr;
  sheet_ = -1;
}

std::string_view ReportComparer::sheetName() const { return kComparisonSheetName; }

std::unique_ptr<IWorkbook> ReportComparer::begin(std::unique_ptr<IWorkbook> workbook) {
  drop();
  captured_ = std::make_unique<ReportModel>();
  return std::make_unique<CapturingWorkbook>(std::move(workbook), *captured_,
                                             [this](CapturingWorkbook& w) { writeComparison(w); });
}

void ReportComparer::writeComparison(IWorkbook& workbook) {
  // Whatever fails here must not cost the report its other sheets: the
  // failure is kept and raised once the workbook is written.
  try {
    ComparisonOptions options;
    options.currentSyntax = currentSyntax_;
    const std::span<const DiagnosisRule> rules = outputMgr_.diagnosisRules();
    std::array<int32_t, kThresholdRuleCount> thresholds{};
    if (outputMgr_.diagnosisOn() && rules.size() == thresholds.size()) {
      for (size_t i = 0; i < rules.size(); ++i) thresholds[i] = rules[i].threshold;
      options.currentThresholds = thresholds;
    }
    comparison_ = std::make_unique<Comparison>(compareReports(*earlier_, *captured_, options));
  } catch (...) {
    failure_ = std::current_exception();
    comparison_.reset();
  }
  try {
    if (comparison_) {
      writeComparisonSheet(workbook, sheet_, *comparison_);
    } else {
      for (size_t c = 0; c < kComparisonHeadings.size(); ++c) {
        workbook.setText(sheet_, 1, static_cast<int32_t>(c) + 1, kComparisonHeadings[c]);
      }
    }
  } catch (...) {
    // Rows past the sheet's last one, say: those that fit stay.
    if (!failure_) failure_ = std::current_exception();
  }
  workbook.fitColumns(sheet_);
}

void ReportComparer::finished(bool partial) {
  if (!failure_) return;
  const std::exception_ptr failure = std::exchange(failure_, nullptr);
  // The error that ended a partial report is the one to tell.
  if (partial) return;
  comparison_.reset();
  std::rethrow_exception(failure);
}

}  // namespace rzt
