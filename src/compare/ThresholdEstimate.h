#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compare/ReportModel.h"

namespace rzt {

// The diagnosis rules as a report shows them: which findings a rule writes
// and which count of which row it compares. A report does not keep its
// thresholds, but its rows and findings bound them: a rule writes a finding
// for exactly the rows whose count reaches the threshold, so with f findings
// the threshold lies above the (f+1)-th largest count and at or below the
// f-th.
struct ThresholdRule {
  std::string_view option;  // the option's name, as --threshold takes it
  std::string_view label;   // the option dialog's label
  std::string_view level;   // "[File]", "[Class]", "[Method]"
  ReportSheetKind sheet;
  // The findings of the rule; for the public attributes, "公開属性があります"
  // is written with a threshold of 1 or less, the other text above.
  std::string_view message;
  std::string_view otherMessage;  // empty when there is one text only
  // The count: the sum of these columns, times scale, divided by the sum of
  // the divisor columns (when there are any: rows whose divisor is 0 or less
  // are not diagnosed).
  std::array<std::string_view, 3> terms;
  double scale;
  std::array<std::string_view, 2> divisor;
  // The comment ratio is a lower limit: a finding is a count at or below it,
  // and a smaller value is the worse.
  bool lowerLimit;
};

inline constexpr int kThresholdRuleCount = 12;
// In the order of the option's getters (getFMaxClass ... getMMaxLoop).
const std::array<ThresholdRule, kThresholdRuleCount>& thresholdRules();

// The rule that writes findings of that level and text; nullptr for none.
const ThresholdRule* thresholdRuleOf(std::string_view level, std::string_view message);

// The whole numbers a threshold may be, from low to high (both included);
// the option fields take -32768..32767.
struct ThresholdRange {
  static constexpr int32_t kMin = -32768;
  static constexpr int32_t kMax = 32767;
  int32_t low = kMin;
  int32_t high = kMax;

  static ThresholdRange exactly(int32_t value) { return {value, value}; }
  bool known() const { return low != kMin || high != kMax; }
  bool overlaps(const ThresholdRange& other) const { return low <= other.high && other.low <= high; }
  // "40", "40以下", "41以上", "41〜50", "不明".
  std::string text() const;
};

using ThresholdRanges = std::array<ThresholdRange, kThresholdRuleCount>;

// What the rows and the findings of a report tell of each threshold; all
// unknown for a report without the sheet "診断". A rule whose findings do not
// fit its counts (a report edited by hand) is unknown.
ThresholdRanges estimateThresholds(const ReportModel& report);

}  // namespace rzt
