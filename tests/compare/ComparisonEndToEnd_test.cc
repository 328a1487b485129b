// Two versions of the example project: the earlier one's report written by
// rzt-cli (.xlsx and .json), the later one analysed with its cells captured,
// and the sheet "比較" of the written workbook read back row by row.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompareTestSupport.h"
#include "XlsxReader.h"
#include "compare/ReportReader.h"

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

struct EndToEnd {
  std::vector<std::string> rows;  // of the sheet 比較, below its heading
  std::vector<std::string> headings;
  std::vector<std::string> tabs;
  int32_t frozenRows = 0;
  std::string summaryLine;
  std::vector<std::string> gateLines;
};

EndToEnd compareVersions(const std::string& earlierName) {
  EndToEnd result;
  test::TempDir dir;
  const fs::path before = dir.path() / "before";
  const fs::path after = dir.path() / "after";
  fs::copy(fs::path(RZT_SOURCE_DIR) / "examples/src", before, fs::copy_options::recursive);
  fs::copy(before, after, fs::copy_options::recursive);
  changeTree(after);
  if (testing::Test::HasFatalFailure()) return result;

  EXPECT_EQ(0, test::runRztCli({"-r", "-q", "--threshold", "MMaxStatement=11", "-o", earlierName, "before"}, dir.path()));
  const ReportModel earlier = readReport(dir.path() / earlierName);

  OptionValues options;
  options.txtMStatement = "11";
  ReportModel current;
  const fs::path out = dir.path() / "after.xlsx";
  const test::CapturedRun run =
      test::analyzeCapturing(after, out, options, false, current, [&](CapturingWorkbook& w, IWorkbook::Sheet sheet) {
        const Comparison comparison = compareReports(earlier, current);
        writeComparisonSheet(w, sheet, comparison);
        w.fitColumns(sheet);
        result.summaryLine = comparisonSummaryLine(comparison.counts());
        result.gateLines = gateFindingLines(comparison);
      });
  EXPECT_EQ(0, run.error);

  const test::XlsxBook book = test::readXlsx(out);
  result.tabs = book.sheetNames();
  const test::XlsxSheet* sheet = book.sheet("比較");
  if (sheet == nullptr) return result;
  result.frozenRows = sheet->frozenRows;
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
  EXPECT_EQ("比較: 追加 3, 削除 4, 変更 7; 新規の指摘 1, 解消 1, 悪化 1", e.summaryLine);
  EXPECT_EQ((std::vector<std::string>{
                "新規: [File] jp.example.shop.util Clock.java: コメントが少な過ぎます (0)",
                "悪化: [Method] jp.example.shop.util Money.java Money.format: ステートメントが多過ぎます (11 → 12)",
            }),
            e.gateLines);
}

INSTANTIATE_TEST_SUITE_P(EarlierReports, ComparisonOfTwoVersions, testing::Values("before.xlsx", "before.json"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(std::string(info.param).find('.') + 1);
                         });

}  // namespace
}  // namespace rzt
