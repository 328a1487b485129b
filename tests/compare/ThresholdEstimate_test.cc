// What a report's rows and findings tell of the thresholds it was made with.

#include "compare/ThresholdEstimate.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompareTestSupport.h"
#include "compare/ReportReader.h"

namespace rzt {
namespace {

using test::kNone;
using test::TestCell;
using test::TestSheet;

TestCell s(const char* text) { return std::string(text); }
TestCell n(double value) { return value; }

struct EstimateCase {
  const char* name;
  std::string option;          // the rule looked at
  TestSheet rows;              // the sheet the rule reads
  std::vector<TestCell> found;  // (区分, 診断, 値) of each finding, three cells each
  std::string range;           // the rule's range as text
};

int ruleIndex(const std::string& option) {
  for (size_t i = 0; i < thresholdRules().size(); ++i) {
    if (thresholdRules()[i].option == option) return static_cast<int>(i);
  }
  return -1;
}

TestSheet methodRows(std::vector<double> statements) {
  TestSheet t{ReportSheetKind::kMethod, {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "引数", "ｽﾃｰﾄﾒﾝﾄ", "if", "switch"}, {}};
  for (double v : statements) t.rows.push_back({s("p"), s("A"), s("f"), n(0), n(v), n(v), n(1)});
  return t;
}

std::vector<TestCell> statementFindings(int count) {
  std::vector<TestCell> cells;
  for (int i = 0; i < count; ++i) {
    for (const TestCell& c : {s("[Method]"), s("ステートメントが多過ぎます"), n(0)}) cells.push_back(c);
  }
  return cells;
}

void PrintTo(const EstimateCase& c, std::ostream* out) { *out << c.name; }

class Estimates : public testing::TestWithParam<EstimateCase> {};

TEST_P(Estimates, BoundTheThresholdByTheCountsOfTheRowsFound) {
  const EstimateCase& c = GetParam();
  TestSheet findings{ReportSheetKind::kDiagnosis, {"ﾊﾟｯｹｰｼﾞ名", "ﾌｧｲﾙ名", "区分", "診断", "値"}, {}};
  for (size_t i = 0; i + 2 < c.found.size(); i += 3) {
    findings.rows.push_back({s("p"), s("A.java"), c.found[i], c.found[i + 1], c.found[i + 2]});
  }
  const ReportModel model = test::modelOf({c.rows, findings});
  const int rule = ruleIndex(c.option);
  ASSERT_GE(rule, 0);
  EXPECT_EQ(c.range, estimateThresholds(model)[static_cast<size_t>(rule)].text());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Estimates,
    testing::ValuesIn(std::vector<EstimateCase>{
        // Statements 3, 7, 7, 12 with three findings: the threshold is above 3 and at most 7.
        {"ThreeOfFourFound", "MMaxStatement", methodRows({7, 3, 12, 7}), statementFindings(3), "4〜7"},
        {"NoneFound", "MMaxStatement", methodRows({7, 3, 12, 7}), statementFindings(0), "13以上"},
        {"AllFound", "MMaxStatement", methodRows({7, 3, 12, 7}), statementFindings(4), "3以下"},
        {"EqualCountsSplitByTheFindings", "MMaxStatement", methodRows({7, 7}), statementFindings(1), "不明"},
        {"MoreFindingsThanRows", "MMaxStatement", methodRows({7}), statementFindings(2), "不明"},
        {"NoRows", "MMaxStatement", methodRows({}), statementFindings(0), "不明"},
        {"SumOfTwoColumns", "MMaxBranch", methodRows({2, 5, 9}),
         {s("[Method]"), s("分岐ステートメント(if/swtch)が多過ぎます"), n(10)}, "7〜10"},
        {"OtherRulesTellNothingOfThisOne", "MMaxStatement", methodRows({2, 5, 9}),
         {s("[Class]"), s("ステートメントが多過ぎます"), n(10)}, "10以上"},
        // Averages 3.5 and 2.5, a class without methods left out: the threshold is 3.
        {"AverageOverMethods", "CMaxAveStatement",
         {ReportSheetKind::kClass,
          {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ｽﾃｰﾄﾒﾝﾄ", "全ﾒｿｯﾄﾞ", "全ｸﾗｽﾒｿｯﾄﾞ"},
          {{s("p"), s("A"), n(7), n(1), n(1)}, {s("p"), s("B"), n(5), n(2), n(0)}, {s("p"), s("C"), n(90), n(0), n(0)}}},
         {s("[Class]"), s("メソッド当りの平均ステートメントが多過ぎます"), n(3)},
         "3"},
        // A lower limit: ratios 10 %, 10 % and 30 %, the two lowest found.
        {"CommentRatioIsALowerLimit", "FMinCommentRate",
         {ReportSheetKind::kFile,
          {"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行", "ｺﾒﾝﾄ行"},
          {{s("A.java"), s("p"), n(10), n(1)},
           {s("B.java"), s("p"), n(10), n(3)},
           {s("C.java"), s("p"), n(20), n(2)},
           {s("D.java"), s("p"), n(0), n(0)}}},
         {s("[File]"), s("コメントが少な過ぎます"), n(10), s("[File]"), s("コメントが少な過ぎます"), n(10)},
         "10〜29"},
        {"PublicAttributesWithTheTextOfOneOrLess", "CMaxPubAttr",
         {ReportSheetKind::kClass,
          {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "公開属性", "公開ｸﾗｽ属性"},
          {{s("p"), s("A"), n(0), n(0)}, {s("p"), s("B"), n(1), n(0)}, {s("p"), s("C"), n(1), n(1)}}},
         {s("[Class]"), s("公開属性があります"), n(1), s("[Class]"), s("公開属性があります"), n(2)},
         "1"},
        {"PublicAttributesWithTheTextOfMore", "CMaxPubAttr",
         {ReportSheetKind::kClass,
          {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "公開属性", "公開ｸﾗｽ属性"},
          {{s("p"), s("A"), n(0), n(0)}, {s("p"), s("B"), n(1), n(0)}, {s("p"), s("C"), n(5), n(1)}}},
         {s("[Class]"), s("公開属性が多過ぎます"), n(6)},
         "2〜6"},
    }),
    [](const testing::TestParamInfo<EstimateCase>& info) { return std::string(info.param.name); });

TEST(ThresholdEstimate, ReportWithoutDiagnosisTellsNothing) {
  const ReportModel model = test::modelOf({methodRows({1, 2, 3})});
  for (const ThresholdRange& r : estimateThresholds(model)) EXPECT_FALSE(r.known());
}

TEST(ThresholdEstimate, RangeTexts) {
  EXPECT_EQ("不明", ThresholdRange{}.text());
  EXPECT_EQ("40", ThresholdRange::exactly(40).text());
  EXPECT_EQ("-3以下", (ThresholdRange{ThresholdRange::kMin, -3}.text()));
  EXPECT_EQ("41以上", (ThresholdRange{41, ThresholdRange::kMax}.text()));
  EXPECT_EQ("41〜50", (ThresholdRange{41, 50}.text()));
  EXPECT_TRUE((ThresholdRange{1, 5}.overlaps(ThresholdRange{5, 9})));
  EXPECT_FALSE((ThresholdRange{1, 4}.overlaps(ThresholdRange{5, 9})));
}

TEST(ThresholdEstimate, RulesAreTheOptionsInTheirOrder) {
  const std::vector<std::string> options = {"FMaxClass",        "FMaxLoc",     "FMinCommentRate", "CMaxStatement",
                                            "CMaxPubMethod",    "CMaxAveStatement", "CMaxPubAttr", "MMaxStatement",
                                            "MMaxMsgSend",      "MMaxVariable", "MMaxBranch",      "MMaxLoop"};
  ASSERT_EQ(options.size(), thresholdRules().size());
  for (size_t i = 0; i < options.size(); ++i) EXPECT_EQ(options[i], thresholdRules()[i].option);
  EXPECT_EQ(&thresholdRules()[6], thresholdRuleOf("[Class]", "公開属性があります"));
  EXPECT_EQ(&thresholdRules()[3], thresholdRuleOf("[Class]", "ステートメントが多過ぎます"));
  EXPECT_EQ(&thresholdRules()[7], thresholdRuleOf("[Method]", "ステートメントが多過ぎます"));
  EXPECT_EQ(nullptr, thresholdRuleOf("[File]", "ステートメントが多過ぎます"));
}

// Over a real report, each threshold it was made with lies in its range.
TEST(ThresholdEstimate, RangesOfARealReportHoldItsThresholds) {
  test::TempDir dir;
  dir.write("src/p/A.java",
            "package p;\npublic class A {\n  public int x; public static int y;\n"
            "  public void f(int a) { int b = a; int c = b; if (a > 0) { b++; } while (c > 0) { c--; } g(); g(); }\n"
            "  public void g() { }\n  static int h() { return 1; }\n}\n");
  dir.write("src/p/B.java", "package p;\n// note\nclass B { void k() { for (;;) { } } }\nclass C { }\n");
  const std::vector<std::pair<std::string, int32_t>> thresholds = {
      {"FMaxClass", 2}, {"FMaxLoc", 4}, {"FMinCommentRate", 20}, {"CMaxStatement", 5}, {"CMaxPubMethod", 2},
      {"CMaxAveStatement", 3}, {"CMaxPubAttr", 2}, {"MMaxStatement", 4}, {"MMaxMsgSend", 2}, {"MMaxVariable", 2},
      {"MMaxBranch", 1}, {"MMaxLoop", 1}};
  std::vector<std::string> args = {"-r", "-q", "-o", "r.json"};
  for (const auto& [name, value] : thresholds) {
    args.push_back("--threshold");
    args.push_back(name + "=" + std::to_string(value));
  }
  args.push_back("src");
  ASSERT_EQ(0, test::runRztCli(args, dir.path()));
  const ThresholdRanges ranges = estimateThresholds(readReport(dir.path() / "r.json"));
  int known = 0;
  for (size_t i = 0; i < thresholds.size(); ++i) {
    SCOPED_TRACE(thresholds[i].first);
    EXPECT_LE(ranges[i].low, thresholds[i].second);
    EXPECT_GE(ranges[i].high, thresholds[i].second);
    known += ranges[i].known() ? 1 : 0;
  }
  EXPECT_EQ(12, known);
}

}  // namespace
}  // namespace rzt
