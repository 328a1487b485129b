#include "compare/SarifBaseline.h"

#include <string>

#include "compare/ThresholdEstimate.h"

namespace rzt {
namespace {

ReportCell cellOf(const SheetTable& table, int32_t row, std::string_view heading) {
  const int32_t column = table.findColumn(heading);
  return column < 0 ? ReportCell{} : table.cell(row, column);
}

const DiagnosisRule* ruleOf(std::span<const DiagnosisRule> rules, std::string_view level, std::string_view message) {
  const ThresholdRule* known = thresholdRuleOf(level, message);
  if (known == nullptr) return nullptr;
  for (const DiagnosisRule& rule : rules) {
    if (rule.id == known->option) return &rule;
  }
  return nullptr;
}

}  // namespace

void writeBaselineStates(SarifLog& log, const Comparison& comparison, std::span<const DiagnosisRule> rules) {
  const SheetTable* current = comparison.current().sheet(ReportSheetKind::kDiagnosis);
  const SheetTable* earlier = comparison.earlier().sheet(ReportSheetKind::kDiagnosis);
  const std::vector<int32_t>& matches = comparison.findingMatches();
  for (size_t i = 0; i < log.resultCount(); ++i) {
    BaselineState state = BaselineState::kNew;
    if (current != nullptr && earlier != nullptr && i < matches.size() && matches[i] >= 0) {
      const ReportCell now = cellOf(*current, static_cast<int32_t>(i), heading::kValue);
      const ReportCell before = cellOf(*earlier, matches[i], heading::kValue);
      state = sameValue(now, before) ? BaselineState::kUnchanged : BaselineState::kUpdated;
    }
    log.setBaselineState(i, state);
  }
  if (earlier == nullptr) return;

  std::string className, methodName;
  for (const ComparisonRow& row : comparison.rows()) {
    if (row.section != CompareSection::kDiagnosis || row.state != CompareState::kResolved || row.earlierRow < 0) {
      continue;
    }
    auto text = [&](std::string_view heading) { return cellOf(*earlier, row.earlierRow, heading).text; };
    Finding finding;
    finding.packageName = text(heading::kPackageName);
    finding.fileName = text(heading::kFileName);
    className.assign(text(heading::kClassName));
    methodName.assign(text(heading::kMethodName));
    if (!className.empty()) finding.className = &className;
    if (!methodName.empty()) finding.methodName = &methodName;
    finding.level = text(heading::kLevel);
    finding.message = text(heading::kDiagnosis);
    finding.value = cellOf(*earlier, row.earlierRow, heading::kValue).numeric().value_or(0);
    finding.rule = ruleOf(rules, finding.level, finding.message);
    log.writeResult(finding, BaselineState::kAbsent);
  }
}

}  // namespace rzt
