#include "compare/ThresholdEstimate.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace rzt {
namespace {

constexpr std::string_view kFile = "[File]";
constexpr std::string_view kClass = "[Class]";
constexpr std::string_view kMethod = "[Method]";

const std::array<ThresholdRule, kThresholdRuleCount> kRules = {{
    {"FMaxClass", "ｸﾗｽ数", kFile, ReportSheetKind::kFile, "クラス数が多過ぎます", {}, {"ｸﾗｽ"}, 1, {}, false},
    {"FMaxLoc", "命令行数", kFile, ReportSheetKind::kFile, "命令行が多過ぎます", {}, {"命令行"}, 1, {}, false},
    {"FMinCommentRate", "ｺﾒﾝﾄ比率（%以下）", kFile, ReportSheetKind::kFile, "コメントが少な過ぎます", {},
     {"ｺﾒﾝﾄ行"}, 100, {"全行"}, true},
    {"CMaxStatement", "全ｽﾃｰﾄﾒﾝﾄ数", kClass, ReportSheetKind::kClass, "ステートメントが多過ぎます", {},
     {"ｽﾃｰﾄﾒﾝﾄ"}, 1, {}, false},
    {"CMaxPubMethod", "公開ｲﾝｽﾀﾝｽﾒｿｯﾄﾞ数", kClass, ReportSheetKind::kClass, "公開インスタンスメソッドが多過ぎます",
     {}, {"公開ﾒｿｯﾄﾞ"}, 1, {}, false},
    {"CMaxAveStatement", "ﾒｿｯﾄﾞ当り平均ｽﾃｰﾄﾒﾝﾄ数", kClass, ReportSheetKind::kClass,
     "メソッド当りの平均ステートメントが多過ぎます", {}, {"ｽﾃｰﾄﾒﾝﾄ"}, 1, {"全ﾒｿｯﾄﾞ", "全ｸﾗｽﾒｿｯﾄﾞ"}, false},
    {"CMaxPubAttr", "公開属性数", kClass, ReportSheetKind::kClass, "公開属性が多過ぎます", "公開属性があります",
     {"公開属性", "公開ｸﾗｽ属性"}, 1, {}, false},
    {"MMaxStatement", "ｽﾃｰﾄﾒﾝﾄ数", kMethod, ReportSheetKind::kMethod, "ステートメントが多過ぎます", {},
     {"ｽﾃｰﾄﾒﾝﾄ"}, 1, {}, false},
    {"MMaxMsgSend", "ﾒｯｾｰｼﾞ送信数", kMethod, ReportSheetKind::kMethod, "メッセージ送信が多過ぎます", {},
     {"MSG送信"}, 1, {}, false},
    {"MMaxVariable", "ﾛｰｶﾙ変数", kMethod, ReportSheetKind::kMethod, "ローカル変数が多過ぎます", {}, {"変数"}, 1, {},
     false},
    {"MMaxBranch", "分岐 (if/switch)", kMethod, ReportSheetKind::kMethod, "分岐ステートメント(if/swtch)が多過ぎます",
     {}, {"if", "switch"}, 1, {}, false},
    {"MMaxLoop", "繰返し(for/do/while)", kMethod, ReportSheetKind::kMethod,
     "繰返しステートメント(for/do/while)が多過ぎます", {}, {"for", "while", "do"}, 1, {}, false},
}};

int32_t clampToOption(double value) {
  if (value <= ThresholdRange::kMin) return ThresholdRange::kMin;
  if (value >= ThresholdRange::kMax) return ThresholdRange::kMax;
  return static_cast<int32_t>(value);
}

// The sum of the columns of a row; nullopt when a column is missing from
// the sheet or holds no number (JSON leaves no column out that has a count).
std::optional<double> columnSum(const SheetTable& table, int32_t row, const std::vector<int32_t>& columns) {
  double sum = 0;
  for (int32_t c : columns) {
    const std::optional<double> v = table.cell(row, c).numeric();
    if (!v) return std::nullopt;
    sum += *v;
  }
  return sum;
}

bool columnsOf(const SheetTable& table, const auto& headings, std::vector<int32_t>& columns) {
  columns.clear();
  for (std::string_view h : headings) {
    if (h.empty()) continue;
    const int32_t c = table.findColumn(h);
    if (c < 0) return false;
    columns.push_back(c);
  }
  return true;
}

ThresholdRange estimate(const ThresholdRule& rule, const SheetTable& table, int64_t findings,
                        std::optional<bool> lowMessage) {
  std::vector<int32_t> terms, divisor;
  if (!columnsOf(table, rule.terms, terms) || !columnsOf(table, rule.divisor, divisor)) return {};
  std::vector<double> counts;
  counts.reserve(static_cast<size_t>(table.rowCount()));
  for (int32_t row = 0; row < table.rowCount(); ++row) {
    const std::optional<double> sum = columnSum(table, row, terms);
    if (!sum) return {};
    double count = *sum * rule.scale;
    if (!divisor.empty()) {
      const std::optional<double> d = columnSum(table, row, divisor);
      if (!d) return {};
      if (*d <= 0) continue;
      count /= *d;
    }
    counts.push_back(count);
  }
  const auto n = static_cast<int64_t>(counts.size());
  if (n == 0 || findings > n) return {};
  const auto f = static_cast<size_t>(findings);
  ThresholdRange range;
  // The f-th and the (f+1)-th count in the order of the rule (largest
  // first for an upper limit): the last finding and the first row without.
  auto nth = [&](size_t i) {
    if (rule.lowerLimit) {
      std::nth_element(counts.begin(), counts.begin() + static_cast<ptrdiff_t>(i), counts.end());
    } else {
      std::nth_element(counts.begin(), counts.begin() + static_cast<ptrdiff_t>(i), counts.end(), std::greater<>());
    }
    return counts[i];
  };
  if (!rule.lowerLimit) {
    // Findings are the rows whose count c has c >= T, that is T <= floor(c).
    if (f > 0) range.high = clampToOption(std::floor(nth(f - 1)));
    if (static_cast<int64_t>(f) < n) range.low = clampToOption(std::floor(nth(f)) + 1);
  } else {
    // Findings are the rows whose count c has c <= T, that is T >= ceil(c).
    if (f > 0) range.low = clampToOption(std::ceil(nth(f - 1)));
    if (static_cast<int64_t>(f) < n) range.high = clampToOption(std::ceil(nth(f)) - 1);
  }
  if (lowMessage) {
    // "公開属性があります" is written with a threshold of 1 or less.
    if (*lowMessage) {
      range.high = std::min(range.high, 1);
    } else {
      range.low = std::max(range.low, 2);
    }
  }
  if (range.low > range.high) return {};
  return range;
}

}  // namespace

const std::array<ThresholdRule, kThresholdRuleCount>& thresholdRules() { return kRules; }

const ThresholdRule* thresholdRuleOf(std::string_view level, std::string_view message) {
  for (const ThresholdRule& rule : kRules) {
    if (rule.level == level && (rule.message == message || (!rule.otherMessage.empty() && rule.otherMessage == message))) {
      return &rule;
    }
  }
  return nullptr;
}

std::string ThresholdRange::text() const {
  if (!known()) return "不明";
  if (low == high) return std::to_string(low);
  if (low == kMin) return std::to_string(high) + "以下";
  if (high == kMax) return std::to_string(low) + "以上";
  return std::to_string(low) + "〜" + std::to_string(high);
}

ThresholdRanges estimateThresholds(const ReportModel& report) {
  ThresholdRanges ranges{};
  const SheetTable* diagnosis = report.sheet(ReportSheetKind::kDiagnosis);
  if (diagnosis == nullptr) return ranges;
  const int32_t levelColumn = diagnosis->findColumn(heading::kLevel);
  const int32_t messageColumn = diagnosis->findColumn(heading::kDiagnosis);
  std::array<int64_t, kThresholdRuleCount> findings{};
  // Which of the two texts of a rule appeared: 1 the first, 2 the other, 3 both.
  std::array<int, kThresholdRuleCount> texts{};
  for (int32_t row = 0; row < diagnosis->rowCount(); ++row) {
    const ReportCell level = diagnosis->cell(row, levelColumn);
    const ReportCell message = diagnosis->cell(row, messageColumn);
    if (level.kind != ReportCell::Kind::kText || message.kind != ReportCell::Kind::kText) continue;
    const ThresholdRule* rule = thresholdRuleOf(level.text, message.text);
    if (rule == nullptr) continue;
    const auto i = static_cast<size_t>(rule - kRules.data());
    ++findings[i];
    texts[i] |= message.text == rule->message ? 1 : 2;
  }
  for (size_t i = 0; i < kRules.size(); ++i) {
    const ThresholdRule& rule = kRules[i];
    const SheetTable* table = report.sheet(rule.sheet);
    if (table == nullptr || texts[i] == 3) continue;
    std::optional<bool> lowMessage;
    if (!rule.otherMessage.empty() && texts[i] != 0) lowMessage = texts[i] == 2;
    ranges[i] = estimate(rule, *table, findings[i], lowMessage);
  }
  return ranges;
}

}  // namespace rzt
