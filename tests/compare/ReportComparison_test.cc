// Matching the rows of two reports and the rows of "比較" they give.

#include "compare/ReportComparison.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompareTestSupport.h"
#include "compare/ComparisonSheet.h"
#include "report/MemoryWorkbook.h"

namespace rzt {
namespace {

using test::kNone;
using test::TestCell;
using test::TestSheet;
using Lines = std::vector<std::string>;

TestCell s(const char* text) { return std::string(text); }
TestCell n(double value) { return value; }

const std::vector<std::string> kFileHeadings = {"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行", "命令行"};
const std::vector<std::string> kClassHeadings = {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾀｲﾌﾟ", "ｱｸｾｽ", "ｽﾃｰﾄﾒﾝﾄ"};
const std::vector<std::string> kMethodHeadings = {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "ﾀｲﾌﾟ", "引数", "ｽﾃｰﾄﾒﾝﾄ"};
const std::vector<std::string> kFindingHeadings = {"ﾊﾟｯｹｰｼﾞ名", "ﾌｧｲﾙ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "区分", "診断", "値"};
const std::vector<std::string> kSummHeadings = {"メトリクス", "値"};

TestSheet files(std::vector<std::vector<TestCell>> rows) { return {ReportSheetKind::kFile, kFileHeadings, rows}; }
TestSheet classes(std::vector<std::vector<TestCell>> rows) { return {ReportSheetKind::kClass, kClassHeadings, rows}; }
TestSheet methods(std::vector<std::vector<TestCell>> rows) { return {ReportSheetKind::kMethod, kMethodHeadings, rows}; }
TestSheet findings(std::vector<std::vector<TestCell>> rows) {
  return {ReportSheetKind::kDiagnosis, kFindingHeadings, rows};
}
TestSheet summary(std::vector<std::vector<TestCell>> rows) { return {ReportSheetKind::kSumm, kSummHeadings, rows}; }

// A report with the sheets given and empty File, Class and Method sheets
// where none is given.
ReportModel report(std::vector<TestSheet> sheets, bool partial = false) {
  for (const TestSheet& base : {files({}), classes({}), methods({})}) {
    bool given = false;
    for (const TestSheet& t : sheets) given = given || t.kind == base.kind;
    if (!given) sheets.push_back(base);
  }
  return test::modelOf(sheets, partial);
}

Lines linesOf(const ReportModel& earlier, const ReportModel& current, const ComparisonOptions& options = {}) {
  return test::comparisonLines(compareReports(earlier, current, options));
}

TEST(Comparison, SameReportGivesNoRow) {
  const ReportModel r = report({files({{s("A.java"), s("p"), n(10), n(5)}}),
                                methods({{s("p"), s("A"), s("f"), kNone, n(0), n(1)}}),
                                findings({{s("p"), s("A.java"), s("A"), s("f"), s("[Method]"), s("x"), n(9)}}),
                                summary({{s("ファイル数"), n(1)}, {}, {s("平均"), n(1.5)}})});
  const Comparison c = compareReports(r, r);
  EXPECT_TRUE(c.rows().empty());
  EXPECT_EQ("比較: 追加 0, 削除 0, 変更 0; 新規の指摘 0, 解消 0, 悪化 0", comparisonSummaryLine(c.counts()));
  EXPECT_TRUE(c.gateFindings().empty());
  EXPECT_EQ((std::vector<int32_t>{0}), c.findingMatches());
}

TEST(Comparison, RowsOfOneKeyMatchInTheirOrder) {
  // Three methods share a key (same name, same number of arguments): the
  // n-th of this report is the n-th of the earlier one, whatever their values.
  const ReportModel earlier = report({methods({{s("p"), s("A"), s("run"), kNone, n(1), n(1)},
                                               {s("p"), s("A"), s("run"), kNone, n(1), n(2)},
                                               {s("p"), s("A"), s("stop"), kNone, n(0), n(4)},
                                               {s("p"), s("A"), s("run"), kNone, n(1), n(3)}})});
  const ReportModel current = report({methods({{s("p"), s("A"), s("run"), kNone, n(1), n(1)},
                                               {s("p"), s("A"), s("run"), kNone, n(2), n(9)},
                                               {s("p"), s("A"), s("run"), kNone, n(1), n(5)}})});
  EXPECT_EQ((Lines{
                "Method|p|A|run|2|追加||||",
                "Method|p|A|run|1|変更|ｽﾃｰﾄﾒﾝﾄ|2|5|3",
                "Method|p|A|stop|0|削除||||",
                "Method|p|A|run|1|削除||||",
            }),
            linesOf(earlier, current));
}

TEST(Comparison, AddedRemovedAndChangedRowsInTheirOrder) {
  const ReportModel earlier = report({
      files({{s("A.java"), s("p"), n(10), n(5)}, {s("B.java"), s("p"), n(3), n(2)}, {s("C.java"), s("q"), n(1), n(1)}}),
      classes({{s("p"), s("A"), s("class"), s("public"), n(5)}, {s("p"), s("Gone"), s("class"), s("public"), n(1)}}),
      methods({{kNone, s("Top"), s("f"), s("static"), n(0), n(1)}, {s("p"), s("A"), s("g"), kNone, n(1), n(2)}}),
  });
  const ReportModel current = report({
      // The same file in another package is another file.
      files({{s("B.java"), s("p"), n(4), n(2)}, {s("A.java"), s("q"), n(10), n(5)}, {s("A.java"), s("p"), n(10), n(5)}}),
      classes({{s("p"), s("A"), s("interface"), s("private"), n(7)}}),
      methods({{s("p"), s("A"), s("g"), kNone, n(1), n(2)}, {kNone, s("Top"), s("f"), kNone, n(0), n(3)}}),
  });
  const Comparison c = compareReports(earlier, current);
  EXPECT_EQ((Lines{
                "File|p|B.java|||変更|全行|3|4|1",
                "File|q|A.java|||追加||||",
                "File|q|C.java|||削除||||",
                // Texts that changed have no increase.
                "Class|p|A|||変更|ﾀｲﾌﾟ|class|interface|",
                "Class|p|A|||変更|ｱｸｾｽ|public|private|",
                "Class|p|A|||変更|ｽﾃｰﾄﾒﾝﾄ|5|7|2",
                "Class|p|Gone|||削除||||",
                // The default package has no name; "static" became no text.
                "Method||Top|f|0|変更|ﾀｲﾌﾟ|static||",
                "Method||Top|f|0|変更|ｽﾃｰﾄﾒﾝﾄ|1|3|2",
            }),
            test::comparisonLines(c));
  const ComparisonCounts& k = c.counts();
  EXPECT_EQ(1, k.added);
  EXPECT_EQ(2, k.removed);
  EXPECT_EQ(3, k.changed);  // rows, not columns
  EXPECT_EQ(6, k.changedColumns);
  EXPECT_EQ("比較: 追加 1, 削除 2, 変更 3; 新規の指摘 0, 解消 0, 悪化 0", comparisonSummaryLine(k));
}

TEST(Comparison, ColumnsOfOneReportOnlyAreNotCompared) {
  // The modern mode's File sheet has "構文ｴﾗｰ"; the classic one's not.
  const ReportModel classic = report({files({{s("A.java"), s("p"), n(10), n(5)}})});
  const ReportModel modern = test::modelOf({{ReportSheetKind::kFile,
                                             {"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行", "命令行", "構文ｴﾗｰ"},
                                             {{s("A.java"), s("p"), n(11), n(5), n(0)}}},
                                            classes({}),
                                            methods({})});
  EXPECT_EQ((Lines{"Summ||構文|||変更|設定|従来|Java 5以降|", "File|p|A.java|||変更|全行|10|11|1"}),
            linesOf(classic, modern));
}

TEST(Comparison, CountsKeptAsTextMatchAndCompareAsNumbers) {
  const ReportModel earlier = report({methods({{s("p"), s("A"), s("f"), kNone, n(2), n(3)}})});
  const ReportModel current = report({methods({{s("p"), s("A"), s("f"), kNone, s("2"), s("3")}})});
  EXPECT_TRUE(linesOf(earlier, current).empty());
}

TEST(Comparison, SummaryRowsByMetric) {
  const ReportModel earlier = report({summary({{s("ファイル数"), n(3)},
                                               {},
                                               {s("行数"), n(10)},
                                               {s("１クラス当たり平均メソッド数")},
                                               {s("平均コメント比率"), n(0.10789766407119021)},
                                               {s("古い指標"), n(5)},
                                               {s("値のない指標")}})});
  const ReportModel current = report({summary({{s("ファイル数"), n(4)},
                                               {s("行数"), n(10)},
                                               {s("１クラス当たり平均メソッド数"), n(2)},
                                               {},
                                               {s("平均コメント比率"), n(0.1078976640711902)},
                                               {s("新しい指標"), n(7)}})});
  EXPECT_EQ((Lines{
                "Summ||ファイル数|||変更||3|4|1",
                "Summ||１クラス当たり平均メソッド数|||変更|||2|",
                "Summ||新しい指標|||変更|||7|",
                "Summ||古い指標|||変更||5||",
            }),
            linesOf(earlier, current));
  EXPECT_EQ(4, compareReports(earlier, current).counts().summaryChanges);
}

TEST(Comparison, EveryStateOfAFinding) {
  const ReportModel earlier = report({findings({
      {s("p"), s("A.java"), s("A"), s("run"), s("[Method]"), s("ステートメントが多過ぎます"), n(60)},
      {s("p"), s("A.java"), s("A"), s("stop"), s("[Method]"), s("ステートメントが多過ぎます"), n(55)},
      {s("p"), s("A.java"), kNone, kNone, s("[File]"), s("コメントが少な過ぎます"), n(5)},
      {s("p"), s("B.java"), kNone, kNone, s("[File]"), s("コメントが少な過ぎます"), n(8)},
      {s("p"), s("A.java"), s("A"), kNone, s("[Class]"), s("公開属性があります"), n(2)},
  })});
  const ReportModel current = report({findings({
      {s("p"), s("A.java"), s("A"), s("run"), s("[Method]"), s("ステートメントが多過ぎます"), n(70)},
      {s("p"), s("A.java"), s("A"), s("walk"), s("[Method]"), s("ステートメントが多過ぎます"), n(50)},
      // The comment ratio is a lower limit: less is worse.
      {s("p"), s("A.java"), kNone, kNone, s("[File]"), s("コメントが少な過ぎます"), n(3)},
      {s("p"), s("B.java"), kNone, kNone, s("[File]"), s("コメントが少な過ぎます"), n(9)},
      {s("p"), s("A.java"), s("A"), kNone, s("[Class]"), s("公開属性があります"), n(2)},
      {s("p"), s("A.java"), s("A"), s("run"), s("[Method]"), s("ローカル変数が多過ぎます"), n(1)},
  })});
  const Comparison c = compareReports(earlier, current);
  EXPECT_EQ((Lines{
                "診断|p|A.java|run||悪化|ステートメントが多過ぎます|60|70|10",
                "診断|p|A.java|walk||新規|ステートメントが多過ぎます||50|",
                "診断|p|A.java|||悪化|コメントが少な過ぎます|5|3|-2",
                "診断|p|B.java|||改善|コメントが少な過ぎます|8|9|1",
                "診断|p|A.java|run||新規|ローカル変数が多過ぎます||1|",
                "診断|p|A.java|stop||解消|ステートメントが多過ぎます|55||",
            }),
            test::comparisonLines(c));
  const ComparisonCounts& k = c.counts();
  EXPECT_EQ(2, k.newFindings);
  EXPECT_EQ(1, k.resolved);
  EXPECT_EQ(2, k.worsened);
  EXPECT_EQ(1, k.improved);
  EXPECT_EQ("比較: 追加 0, 削除 0, 変更 0; 新規の指摘 2, 解消 1, 悪化 2", comparisonSummaryLine(k));
  EXPECT_EQ((std::vector<int32_t>{0, -1, 2, 3, 4, -1}), c.findingMatches());
  EXPECT_TRUE(c.findingsCompared());
  EXPECT_EQ((Lines{
                "悪化: [Method] p A.java A.run: ステートメントが多過ぎます (60 → 70)",
                "新規: [Method] p A.java A.walk: ステートメントが多過ぎます (50)",
                "悪化: [File] p A.java: コメントが少な過ぎます (5 → 3)",
                "新規: [Method] p A.java A.run: ローカル変数が多過ぎます (1)",
            }),
            gateFindingLines(c));
}

TEST(Comparison, FindingsOfOneKeyMatchInTheirOrder) {
  auto finding = [](double value) {
    return std::vector<TestCell>{s("p"), s("A.java"), s("A"), s("f"), s("[Method]"), s("ステートメントが多過ぎます"),
                                 n(value)};
  };
  const ReportModel earlier = report({findings({finding(10), finding(20)})});
  const ReportModel current = report({findings({finding(20), finding(20), finding(5)})});
  EXPECT_EQ((Lines{
                "診断|p|A.java|f||悪化|ステートメントが多過ぎます|10|20|10",
                "診断|p|A.java|f||新規|ステートメントが多過ぎます||5|",
            }),
            linesOf(earlier, current));
}

TEST(Comparison, TheNoteThatNothingWasFoundIsNoFinding) {
  const ReportModel earlier =
      report({findings({{s("p"), s("A.java"), kNone, kNone, s("[File]"), s("クラス数が多過ぎます"), n(5)}})});
  const ReportModel current = report({findings({{s("特に問題はありませんでした")}})});
  const Comparison c = compareReports(earlier, current);
  EXPECT_EQ((Lines{"診断|p|A.java|||解消|クラス数が多過ぎます|5||"}), test::comparisonLines(c));
  EXPECT_EQ((std::vector<int32_t>{-1}), c.findingMatches());
  EXPECT_EQ((Lines{}), linesOf(current, current));
  // And the other way round: nothing new.
  EXPECT_EQ((Lines{"診断|p|A.java|||新規|クラス数が多過ぎます||5|"}), linesOf(current, earlier));
}

TEST(Comparison, EarlierReportWithoutDiagnosisHasNoFindings) {
  const ReportModel earlier = report({});
  const ReportModel current =
      report({findings({{s("p"), s("A.java"), kNone, kNone, s("[File]"), s("クラス数が多過ぎます"), n(5)}})});
  const Comparison c = compareReports(earlier, current);
  EXPECT_EQ((Lines{"Summ||診断|||変更|設定|しない|する|", "診断|p|A.java|||新規|クラス数が多過ぎます||5|"}),
            test::comparisonLines(c));
  EXPECT_EQ(1u, c.gateFindings().size());
}

TEST(Comparison, ThisReportWithoutDiagnosisSaysNothingOfFindings) {
  const ReportModel earlier =
      report({findings({{s("p"), s("A.java"), kNone, kNone, s("[File]"), s("クラス数が多過ぎます"), n(5)}})});
  const ReportModel current = report({});
  const Comparison c = compareReports(earlier, current);
  EXPECT_EQ((Lines{"Summ||診断|||変更|設定|する|しない|"}), test::comparisonLines(c));
  EXPECT_FALSE(c.findingsCompared());
  EXPECT_EQ(0, c.counts().resolved);
}

TEST(Comparison, SettingsThatDifferComeFirst) {
  // Method statements 10, 20, 30: a finding for 30 only bounds the threshold
  // to 21..30; findings for 20 and 30 to 11..20.
  auto run = [](std::vector<double> found, bool modern, bool partial) {
    std::vector<std::vector<TestCell>> rows;
    for (double v : found) rows.push_back({s("p"), s("A.java"), s("A"), s("f"), s("[Method]"), s("ステートメントが多過ぎます"), n(v)});
    std::vector<TestSheet> sheets = {
        methods({{s("p"), s("A"), s("f"), kNone, n(0), n(30)},
                 {s("p"), s("A"), s("g"), kNone, n(0), n(20)},
                 {s("p"), s("A"), s("h"), kNone, n(0), n(10)}}),
        findings(rows)};
    std::vector<std::string> fileHeadings = kFileHeadings;
    std::vector<TestCell> file = {s("A.java"), s("p"), n(1), n(1)};
    if (modern) {
      fileHeadings.push_back("構文ｴﾗｰ");
      file.push_back(n(0));
    }
    sheets.push_back({ReportSheetKind::kFile, fileHeadings, {file}});
    return report(sheets, partial);
  };
  // Values of findings differ too, but that is the point of the rows after.
  const ReportModel earlier = run({30}, false, true);
  const ReportModel current = run({30, 20}, true, false);
  const Lines lines = linesOf(earlier, current);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ((Lines{"Summ||構文|||変更|設定|従来|Java 5以降|", "Summ||解析|||変更|設定|途中で終了|完了|",
                   "Summ||しきい値 [Method] ｽﾃｰﾄﾒﾝﾄ数|||変更|設定|21〜30|11〜20|"}),
            Lines(lines.begin(), lines.begin() + 3));
  EXPECT_EQ("診断|p|A.java|f||新規|ステートメントが多過ぎます||20|", lines[3]);

  // What this run says of its own thresholds counts over what its findings show.
  ComparisonOptions options;
  options.currentThresholds = std::array<int32_t, kThresholdRuleCount>{4, 500, 10, 300, 50, 25, 1, 25, 30, 20, 15, 10};
  const Comparison c = compareReports(earlier, current, options);
  EXPECT_EQ("25", c.currentThresholds()[7].text());
  EXPECT_EQ("21〜30", c.earlierThresholds()[7].text());
  EXPECT_EQ(2u, c.settings().size());  // 25 lies in 21..30
  // A threshold told that the findings contradict (they show 11..20) is one that differs.
  const Comparison told = compareReports(current, current, options);
  ASSERT_EQ(1u, told.settings().size());
  EXPECT_EQ("11〜20", told.settings()[0].earlier);
  EXPECT_TRUE(compareReports(current, current).settings().empty());
  // The syntax this run was told wins over what its File sheet shows.
  ComparisonOptions classic;
  classic.currentSyntax = ReportModel::SyntaxMode::kClassic;
  EXPECT_EQ(ReportModel::SyntaxMode::kClassic, compareReports(earlier, current, classic).currentSyntax());
}

TEST(ComparisonSheet, WritesTheHeadingsAndEveryRowWithNumbersAsNumbers) {
  const ReportModel earlier = report({methods({{s("p"), s("A"), s("f"), s("static"), n(1), n(3)}})});
  const ReportModel current = report({methods({{s("p"), s("A"), s("f"), kNone, n(1), n(4.5)}})});
  const Comparison c = compareReports(earlier, current);
  MemoryWorkbook workbook;
  const IWorkbook::Sheet sheet = workbook.addSheet(kComparisonSheetName);
  EXPECT_EQ(3, writeComparisonSheet(workbook, sheet, c));
  workbook.close();  // rows reach the memory as they are finished
  const std::vector<std::string> headings = {"区分", "ﾊﾟｯｹｰｼﾞ名", "名前", "ﾒｿｯﾄﾞ名", "引数",
                                             "状態", "項目", "前回", "今回", "増減"};
  for (size_t i = 0; i < headings.size(); ++i) {
    const MemoryWorkbook::Cell* heading = workbook.cell("比較", 1, static_cast<int32_t>(i) + 1);
    ASSERT_NE(nullptr, heading);
    EXPECT_EQ(headings[i], heading->text);
  }
  auto cell = [&](int32_t row, int32_t column) { return workbook.cell("比較", row, column); };
  EXPECT_EQ("Method", cell(2, 1)->text);
  EXPECT_TRUE(cell(2, 5)->hasNumber);
  EXPECT_EQ(1, cell(2, 5)->number);
  EXPECT_EQ("static", cell(2, 8)->text);
  EXPECT_EQ(nullptr, cell(2, 9));   // no value: not written
  EXPECT_EQ(nullptr, cell(2, 10));
  EXPECT_TRUE(cell(3, 8)->hasNumber && cell(3, 9)->hasNumber && cell(3, 10)->hasNumber);
  EXPECT_EQ(1.5, cell(3, 10)->number);
  EXPECT_EQ(nullptr, cell(4, 1));
}

}  // namespace
}  // namespace rzt
