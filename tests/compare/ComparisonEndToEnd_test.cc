// Two versions of the example project: the earlier one's report written by
// rzt-cli (.xlsx and .json), the later one analysed by rzt-cli --compare, and
// the sheet "比較" of the written report read back row by row.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../cli/RunCli.h"
#include "TextReportReader.h"
#include "CompareTestSupport.h"
#include "XlsxReader.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

void replaceIn(const fs::path& file, const std::string& from, const std::string& to) {
  std::string text = test::readFile(file);
  const size_t at = text.find(from);
  ASSERT_NE(std::string::npos, at) << file << ": " << from;
  text.replace(at, from.size(), to);
  std::ofstream(file, std::ios::binary) << text;
}

// The example project changed: a file removed, one added; in Money a method
// that gains a variable, one that grows past the threshold further, one that
// shrinks and is no longer public; comment lines that lift one file above
// the comment threshold and another one nearer to it.
void changeTree(const fs::path& src) {
  const fs::path shop = src / "jp/example/shop";
  fs::remove(shop / "order/OrderException.java");
  std::ofstream(shop / "util/Clock.java", std::ios::binary)
      << "package jp.example.shop.util;\n\npublic class Clock {\n    public long now() {\n"
         "        return System.currentTimeMillis();\n    }\n}\n";
  const fs::path money = shop / "util/Money.java";
  replaceIn(money, "        return amount + amount * percent / 100;\n",
            "        long tax = amount * percent / 100;\n        return amount + tax;\n");
  replaceIn(money, "        out.append(digits.substring(0, lead));\n",
            "        out.ensureCapacity(digits.length() + 4);\n        out.append(digits.substring(0, lead));\n");
  replaceIn(money, "            if (c == ',') {\n                continue;\n            }\n", "");
  replaceIn(money, "    public static long parse(String text) {", "    static long parse(String text) {");
  std::string notes;
  for (int i = 0; i < 8; ++i) notes += "// 表の書式についての覚え書き " + std::to_string(i) + "\n";
  replaceIn(shop / "util/TextTable.JAVA", "package jp.example.shop.util;\n", "package jp.example.shop.util;\n" + notes);
  replaceIn(shop / "order/Order.java", "package jp.example.shop.order;\n",
            "package jp.example.shop.order;\n// 注文\n// 明細\n");
}

std::string cellText(const test::XlsxSheet& sheet, int32_t row, int32_t column) {
  if (const std::optional<double> v = sheet.number(row, column)) return numberText(*v);
  return sheet.text(row, column);
}

// Two versions of the example project in a temporary folder: "before" with
// its reports (before.xlsx, before.json) written by rzt-cli, and "after",
// changed by changeTree.
struct TwoVersions {
  explicit TwoVersions(const std::function<void(const fs::path&)>& change = changeTree) {
    fs::copy(fs::path(RZT_SOURCE_DIR) / "examples/src", dir.path() / "before", fs::copy_options::recursive);
    fs::copy(dir.path() / "before", dir.path() / "after", fs::copy_options::recursive);
    change(dir.path() / "after");
    for (const char* name : {"before.xlsx", "before.json"}) {
      EXPECT_EQ(0, runCli({"-r", "-q", "--threshold", "MMaxStatement=11", "-o", name, "before"}, dir.path()).status);
    }
  }
  // rzt-cli over "after" with the thresholds of "before" and these arguments.
  RunResult runAfter(std::vector<std::string> args) const {
    std::vector<std::string> all = {"-r", "-q", "--threshold", "MMaxStatement=11"};
    all.insert(all.end(), args.begin(), args.end());
    all.push_back("after");
    return runCli(all, dir.path());
  }
  test::TempDir dir;
};

// The lines of a text, without their ends.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

struct EndToEnd {
  RunResult run;
  std::vector<std::string> rows;  // of the sheet 比較, below its heading
  std::vector<std::string> headings;
  std::vector<std::string> tabs;
  int32_t frozenRows = 0;
  bool headingCentred = false;
  bool fitted = false;
};

EndToEnd compareVersions(const std::string& earlierName) {
  EndToEnd result;
  const TwoVersions versions;
  if (testing::Test::HasFailure()) return result;
  result.run = versions.runAfter({"--compare", earlierName, "--fail-on-findings", "-o", "after.xlsx"});

  const test::XlsxBook book = test::readXlsx(versions.dir.path() / "after.xlsx");
  result.tabs = book.sheetNames();
  const test::XlsxSheet* sheet = book.sheet("比較");
  if (sheet == nullptr) return result;
  result.frozenRows = sheet->frozenRows;
  result.headingCentred = sheet->rowCentred.count(1) > 0 && sheet->rowCentred.at(1);
  result.fitted = sheet->widths.size() == 10;
  for (int32_t c = 1; c <= 10; ++c) result.headings.push_back(cellText(*sheet, 1, c));
  for (int32_t row = 2; row <= sheet->lastRow(); ++row) {
    std::string line;
    for (int32_t c = 1; c <= 10; ++c) line += (c > 1 ? "|" : "") + cellText(*sheet, row, c);
    result.rows.push_back(line);
  }
  return result;
}

class ComparisonOfTwoVersions : public testing::TestWithParam<const char*> {};

TEST_P(ComparisonOfTwoVersions, SheetListsWhatChangedRowByRow) {
  const EndToEnd e = compareVersions(GetParam());
  EXPECT_EQ((std::vector<std::string>{"Summ", "File", "Class", "Method", "診断", "比較"}), e.tabs);
  EXPECT_EQ(1, e.frozenRows);
  EXPECT_TRUE(e.headingCentred);
  EXPECT_TRUE(e.fitted);
  EXPECT_EQ((std::vector<std::string>{"区分", "ﾊﾟｯｹｰｼﾞ名", "名前", "ﾒｿｯﾄﾞ名", "引数", "状態", "項目", "前回", "今回", "増減"}),
            e.headings);
  // What changeTree did, row by row: the metrics of Summ it moved (one
  // method fewer, parse no longer public, lines and comments), Clock added
  // and OrderException removed on every sheet, Money's methods, and the
  // findings: Order.java's comment ratio up (better), Clock.java's new,
  // format past the threshold further (worse), parse smaller (better),
  // TextTable.JAVA's gone.
  const std::vector<std::string> expected = {
      "Summ||全メソッド数|||変更||86|85|-1",
      "Summ||公開メソッド数|||変更||73|71|-2",
      "Summ||行数|||変更||899|893|-6",
      "Summ||命令行数|||変更||677|669|-8",
      "Summ||コメント行数|||変更||97|102|5",
      "Summ||ステートメント数|||変更||337|332|-5",
      "Summ||１クラス当たり平均メソッド数|||変更||4.3|4.25|-0.05",
      "Summ||１メソッド当たり平均ステートメント数|||変更||3.918604651162791|3.905882352941176|-0.01272229822161",
      "Summ||１ファイル当たり平均行数|||変更||64.21428571428571|63.78571428571428|-0.4285714285714",
      "Summ||１ファイル当たり平均命令行数|||変更||48.35714285714285|47.78571428571428|-0.5714285714286",
      "Summ||平均コメント比率|||変更||0.1078976640711902|0.1142217245240762|0.006324060452886",
      "File|jp.example.shop.order|Order.java|||変更|全行|151|153|2",
      "File|jp.example.shop.order|Order.java|||変更|ｺﾒﾝﾄ行|11|13|2",
      "File|jp.example.shop.util|Clock.java|||追加||||",
      "File|jp.example.shop.util|Money.java|||変更|全行|57|56|-1",
      "File|jp.example.shop.util|Money.java|||変更|命令行|45|44|-1",
      "File|jp.example.shop.util|TextTable.JAVA|||変更|全行|65|73|8",
      "File|jp.example.shop.util|TextTable.JAVA|||変更|ｺﾒﾝﾄ行|4|12|8",
      "File|jp.example.shop.order|OrderException.java|||削除||||",
      "Class|jp.example.shop.util|Clock|||追加||||",
      "Class|jp.example.shop.util|Money|||変更|公開ｸﾗｽﾒｿｯﾄﾞ|3|2|-1",
      "Class|jp.example.shop.order|OrderException|||削除||||",
      "Method|jp.example.shop.util|Clock|now|0|追加||||",
      "Method|jp.example.shop.util|Money|addTax|2|変更|ｽﾃｰﾄﾒﾝﾄ|1|2|1",
      "Method|jp.example.shop.util|Money|addTax|2|変更|変数|0|1|1",
      "Method|jp.example.shop.util|Money|format|1|変更|ｽﾃｰﾄﾒﾝﾄ|11|12|1",
      "Method|jp.example.shop.util|Money|format|1|変更|MSG送信|9|11|2",
      "Method|jp.example.shop.util|Money|parse|1|変更|ｱｸｾｽ|public|package|",
      "Method|jp.example.shop.util|Money|parse|1|変更|ｽﾃｰﾄﾒﾝﾄ|14|12|-2",
      "Method|jp.example.shop.util|Money|parse|1|変更|if|4|3|-1",
      "Method|jp.example.shop.order|OrderException|OrderException|2|削除||||",
      "Method|jp.example.shop.order|OrderException|getReason|0|削除||||",
      "診断|jp.example.shop.order|Order.java|||改善|コメントが少な過ぎます|7|8|1",
      "診断|jp.example.shop.util|Clock.java|||新規|コメントが少な過ぎます||0|",
      "診断|jp.example.shop.util|Money.java|format||悪化|ステートメントが多過ぎます|11|12|1",
      "診断|jp.example.shop.util|Money.java|parse||改善|ステートメントが多過ぎます|14|12|-2",
      "診断|jp.example.shop.util|TextTable.JAVA|||解消|コメントが少な過ぎます|6||"
  };
  EXPECT_EQ(expected, e.rows);
  // The summary line follows the summary; the gate fails on the new and the
  // worse finding and lists them.
  const std::vector<std::string> out = linesOf(e.run.out);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ("比較: 追加 3, 削除 4, 変更 7; 新規の指摘 1, 解消 1, 悪化 1", out.back());
  EXPECT_EQ(3, e.run.status) << e.run.err;
  EXPECT_EQ((std::vector<std::string>{
                "rzt-cli: 新規: [File] jp.example.shop.util Clock.java: コメントが少な過ぎます (0)",
                "rzt-cli: 悪化: [Method] jp.example.shop.util Money.java Money.format: ステートメントが多過ぎます (11 → 12)",
                "rzt-cli: 2 findings new or worse than in " + std::string(GetParam()) +
                    ", listed on the sheet \"比較\"",
            }),
            linesOf(e.run.err));
}

INSTANTIATE_TEST_SUITE_P(EarlierReports, ComparisonOfTwoVersions, testing::Values("before.xlsx", "before.json"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(std::string(info.param).find('.') + 1);
                         });

// The gate against an earlier report: only findings that are new or worse
// fail it, each listed on standard error.
struct GateCase {
  const char* name;
  std::function<void(const fs::path&)> change;
  bool gate;             // --fail-on-findings
  int status;
  const char* firstLine;  // of standard error; empty: nothing said
  const char* summary;    // the last line of standard output
};

class ComparisonGate : public testing::TestWithParam<GateCase> {};

TEST_P(ComparisonGate, FailsOnNewAndWorseFindingsOnly) {
  const GateCase& c = GetParam();
  const TwoVersions versions(c.change);
  ASSERT_FALSE(testing::Test::HasFailure());
  std::vector<std::string> args = {"--compare", "before.json", "-o", "after.json"};
  if (c.gate) args.push_back("--fail-on-findings");
  const RunResult run = versions.runAfter(args);
  EXPECT_EQ(c.status, run.status) << run.err;
  const std::vector<std::string> err = linesOf(run.err);
  if (*c.firstLine == '\0') {
    EXPECT_EQ("", run.err);
  } else {
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(c.firstLine, err.front());
  }
  const std::vector<std::string> out = linesOf(run.out);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(c.summary, out.back());
  // Either way the report holds the comparison and the findings of this run.
  const test::JsonValue report = test::parseJson(test::readFile(versions.dir.path() / "after.json"));
  ASSERT_NE(nullptr, report.member("比較"));
  ASSERT_NE(nullptr, report.member("診断"));
  EXPECT_FALSE(report.member("診断")->items.empty());
}

void addClock(const fs::path& src) {
  std::ofstream(src / "jp/example/shop/util/Clock.java", std::ios::binary)
      << "package jp.example.shop.util;\n\npublic class Clock {\n    public long now() {\n"
         "        return System.currentTimeMillis();\n    }\n}\n";
}
void growFormat(const fs::path& src) {
  replaceIn(src / "jp/example/shop/util/Money.java", "        out.append(digits.substring(0, lead));\n",
            "        out.ensureCapacity(digits.length() + 4);\n        out.append(digits.substring(0, lead));\n");
}
void shrinkParse(const fs::path& src) {
  replaceIn(src / "jp/example/shop/util/Money.java", "            if (c == ',') {\n                continue;\n            }\n", "");
}
void commentTextTable(const fs::path& src) {
  std::string notes;
  for (int i = 0; i < 8; ++i) notes += "// 覚え書き " + std::to_string(i) + "\n";
  replaceIn(src / "jp/example/shop/util/TextTable.JAVA", "package jp.example.shop.util;\n",
            "package jp.example.shop.util;\n" + notes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComparisonGate,
    testing::Values(
        GateCase{"ItselfWithFindings", [](const fs::path&) {}, true, 0, "", "比較: 追加 0, 削除 0, 変更 0; 新規の指摘 0, 解消 0, 悪化 0"},
        GateCase{"NewFinding", addClock, true, 3,
                 "rzt-cli: 新規: [File] jp.example.shop.util Clock.java: コメントが少な過ぎます (0)", "比較: 追加 3, 削除 0, 変更 0; 新規の指摘 1, 解消 0, 悪化 0"},
        GateCase{"WorseFinding", growFormat, true, 3,
                 "rzt-cli: 悪化: [Method] jp.example.shop.util Money.java Money.format: ステートメントが多過ぎます (11 → 12)", "比較: 追加 0, 削除 0, 変更 3; 新規の指摘 0, 解消 0, 悪化 1"},
        GateCase{"ImprovedOnly", shrinkParse, true, 0, "", "比較: 追加 0, 削除 0, 変更 3; 新規の指摘 0, 解消 0, 悪化 0"},
        GateCase{"ResolvedOnly", commentTextTable, true, 0, "", "比較: 追加 0, 削除 0, 変更 1; 新規の指摘 0, 解消 1, 悪化 0"},
        GateCase{"ImprovedAndResolved",
                 [](const fs::path& src) {
                   shrinkParse(src);
                   commentTextTable(src);
                 },
                 true, 0, "", "比較: 追加 0, 削除 0, 変更 4; 新規の指摘 0, 解消 1, 悪化 0"},
        GateCase{"NewFindingWithoutTheGate", addClock, false, 0, "", "比較: 追加 3, 削除 0, 変更 0; 新規の指摘 1, 解消 0, 悪化 0"}),
    [](const testing::TestParamInfo<GateCase>& info) { return std::string(info.param.name); });

// An earlier report that cannot be compared with stops rzt-cli before the
// analysis: exit status 2, the file named, nothing written in any format.
struct BadEarlier {
  const char* name;
  std::function<void(const fs::path&)> make;  // makes the file "earlier" at the path
  const char* output;
};

class BadEarlierReport : public testing::TestWithParam<BadEarlier> {};

TEST_P(BadEarlierReport, EndsTheRunBeforeAnythingIsWritten) {
  const BadEarlier& c = GetParam();
  test::TempDir dir;
  fs::copy(fs::path(RZT_SOURCE_DIR) / "examples/src", dir.path() / "src", fs::copy_options::recursive);
  c.make(dir.path() / "earlier");
  const RunResult run =
      runCli({"-r", "--compare", "earlier", "--fail-on-findings", "-o", c.output, "src"}, dir.path());
  EXPECT_EQ(2, run.status);
  EXPECT_EQ("", run.out);
  const std::string prefix = "rzt-cli: 前回のレポートを読めません: earlier (";
  EXPECT_EQ(prefix, run.err.substr(0, prefix.size())) << run.err;
  EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = {"src"};
  if (fs::exists(dir.path() / "earlier")) expected.insert(expected.begin(), "earlier");
  EXPECT_EQ(expected, names);
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

INSTANTIATE_TEST_SUITE_P(
    Files, BadEarlierReport,
    testing::Values(
        BadEarlier{"MissingXlsx", [](const fs::path&) {}, "r.xlsx"},
        BadEarlier{"FolderSarif", [](const fs::path& p) { fs::create_directory(p); }, "r.sarif"},
        BadEarlier{"ForeignJsonCsv", [](const fs::path& p) { writeText(p, R"({"Sheet1":[{"a":1}]})"); }, "r.csv"},
        BadEarlier{"TruncatedXlsxJson",
                   [](const fs::path& p) {
                     const std::string x =
                         test::readFile(fs::path(RZT_SOURCE_DIR) / "tests/compare/data/example-report.xlsx");
                     writeText(p, x.substr(0, x.size() / 2));
                   },
                   "r.json"},
        BadEarlier{"EmptyToStandardOutput", [](const fs::path& p) { writeText(p, ""); }, "-"}),
    [](const testing::TestParamInfo<BadEarlier>& info) { return std::string(info.param.name); });

// The SARIF log of a run with --compare: each result has its state against
// the earlier report, the findings gone are results "absent", and the log
// is valid by the SARIF 2.1.0 schema.
TEST(ComparisonSarif, ResultsCarryTheirBaselineStates) {
  const TwoVersions versions;
  ASSERT_FALSE(testing::Test::HasFailure());
  const RunResult run = versions.runAfter({"--compare", "before.json", "-o", "after.sarif"});
  ASSERT_EQ(0, run.status) << run.err;
  ASSERT_EQ(0, versions.runAfter({"-o", "after.json"}).status);
  const fs::path log = versions.dir.path() / "after.sarif";

  const std::string command = std::string("'") + RZT_NODE_PATH + "' '" + RZT_SARIF_VALIDATE_JS + "' '" + log.string() +
                              "' >/dev/null 2>&1";
  EXPECT_EQ(0, std::system(command.c_str())) << "the log is not valid by the schema";

  const test::JsonValue document = test::parseJson(test::readFile(log));
  const std::vector<test::JsonValue>& results = document.member("runs")->items.at(0).member("results")->items;
  const size_t findings = test::parseJson(test::readFile(versions.dir.path() / "after.json")).member("診断")->items.size();
  ASSERT_EQ(findings + 1, results.size());
  std::map<std::string, std::vector<std::string>> byState;  // state: messages of results not unchanged
  for (size_t i = 0; i < results.size(); ++i) {
    const test::JsonValue* state = results[i].member("baselineState");
    ASSERT_NE(nullptr, state) << "result " << i;
    // This run's results first, in the order of "診断", the absent one last.
    EXPECT_EQ(i == findings, state->text == "absent") << "result " << i;
    if (state->text == "unchanged") continue;
    std::string where;
    const test::JsonValue& location = results[i].member("locations")->items.at(0);
    if (const test::JsonValue* logical = location.member("logicalLocations")) {
      where = logical->items.at(0).member("fullyQualifiedName")->text;
    }
    if (const test::JsonValue* physical = location.member("physicalLocation")) {
      where = physical->member("artifactLocation")->member("uri")->text;
    }
    byState[state->text].push_back(where + ": " + results[i].member("message")->member("text")->text);
  }
  EXPECT_EQ((std::map<std::string, std::vector<std::string>>{
                {"new", {"jp/example/shop/util/Clock.java: コメントが少な過ぎます (0 ≤ 10)"}},
                {"updated",
                 {"jp/example/shop/order/Order.java: コメントが少な過ぎます (8 ≤ 10)",
                  "jp/example/shop/util/Money.java: ステートメントが多過ぎます (12 ≥ 11)",
                  "jp/example/shop/util/Money.java: ステートメントが多過ぎます (12 ≥ 11)"}},
                {"absent", {"jp.example.shop.util/TextTable.JAVA: コメントが少な過ぎます (6)"}},
            }),
            byState);
  EXPECT_EQ("FMinCommentRate", results.back().member("ruleId")->text);
}

// Both analyses compare: the modern one with itself finds nothing changed,
// and with a report of the classic one says first that the mode differs.
TEST(ComparisonOfModes, ModernWithItselfAndWithClassic) {
  const TwoVersions versions([](const fs::path&) {});
  ASSERT_FALSE(testing::Test::HasFailure());
  ASSERT_EQ(0, versions.runAfter({"--syntax", "modern", "-o", "modern.json"}).status);
  const RunResult itself =
      versions.runAfter({"--syntax", "modern", "--compare", "modern.json", "--fail-on-findings", "-o", "again.xlsx"});
  EXPECT_EQ(0, itself.status) << itself.err;
  EXPECT_EQ("比較: 追加 0, 削除 0, 変更 0; 新規の指摘 0, 解消 0, 悪化 0", linesOf(itself.out).back());
  const test::XlsxBook again = test::readXlsx(versions.dir.path() / "again.xlsx");
  ASSERT_NE(nullptr, again.sheet("比較"));
  EXPECT_EQ(1, again.sheet("比較")->lastRow());

  const RunResult other = versions.runAfter({"--syntax", "modern", "--compare", "before.json", "-o", "other.xlsx"});
  EXPECT_EQ(0, other.status) << other.err;
  const test::XlsxBook book = test::readXlsx(versions.dir.path() / "other.xlsx");
  const test::XlsxSheet* sheet = book.sheet("比較");
  ASSERT_NE(nullptr, sheet);
  std::string first;
  for (int32_t c = 1; c <= 10; ++c) first += (c > 1 ? "|" : "") + cellText(*sheet, 2, c);
  EXPECT_EQ("Summ||構文|||変更|設定|従来|Java 5以降|", first);
}

}  // namespace
}  // namespace rzt
