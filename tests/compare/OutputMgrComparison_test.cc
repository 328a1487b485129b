// The report writer with a comparison asked for: where the sheet "比較" goes
// and how it looks, what a failing comparison leaves, a report that ends
// early, and the sheets exactly as without when none is asked for.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompareTestSupport.h"
#include "ReportTestSupport.h"
#include "compare/ReportComparer.h"
#include "compare/ReportReader.h"
#include "report/JsonWorkbook.h"
#include "report/MemoryWorkbook.h"

namespace rzt::test {
namespace {

// The report of an earlier run over one file, p/A.java, and its class, as
// rzt-cli writes it in JSON and reads it back.
std::shared_ptr<const ReportModel> earlierReport() {
  TempDir dir;
  const std::filesystem::path path = dir.path() / "earlier.json";
  OutputMgr mgr([&] { return std::make_unique<JsonWorkbook>(path); });
  RecordingOption options;
  mgr.prepare(options);
  mgr.finishedFileAnalysis(fileRecord("A.java", "p", 10, 6, 3, 1));
  mgr.finishedClassAnalysis(classRecord("A"));
  mgr.finishedAllAnalysis();
  return std::make_shared<const ReportModel>(readReport(path));
}

// Files A.java (as before, 10 lines), B.java and C.java, each with its class.
void writeRows(OutputMgr& mgr) {
  for (const char* name : {"A", "B", "C"}) {
    mgr.finishedFileAnalysis(fileRecord(std::string(name) + ".java", "p", 10, 6, 3, 1));
    mgr.finishedClassAnalysis(classRecord(name));
  }
}

// The texts of a row of a sheet, "|" between its ten cells.
std::string rowLine(const MemoryWorkbook& book, const std::string& sheet, int32_t row) {
  std::string line;
  for (int32_t c = 1; c <= 10; ++c) {
    const MemoryWorkbook::Cell* cell = book.cell(sheet, row, c);
    if (c > 1) line += "|";
    if (cell != nullptr && cell->hasText) line += cell->text;
    if (cell != nullptr && cell->hasNumber) line += numberText(cell->number);
  }
  return line;
}

struct TabsCase {
  bool keepGoing, diagnosis, compare;
  std::vector<std::string> tabs;
};

class ComparisonSheetPlace : public testing::TestWithParam<TabsCase> {};

TEST_P(ComparisonSheetPlace, AfterTheDiagnosisBeforeTheErrors) {
  const TabsCase& c = GetParam();
  MemoryReport report;
  ReportComparer comparer(report.mgr);
  report.mgr.setKeepGoing(c.keepGoing);
  if (c.compare) comparer.compareWith(earlierReport());
  RecordingOption options;
  options.diag = c.diagnosis;
  options.zoom = 120;
  report.mgr.prepare(options);
  writeRows(report.mgr);
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& book = report.book();
  EXPECT_EQ(c.tabs, book.sheetNames());
  EXPECT_EQ(c.compare, comparer.lastComparison() != nullptr);
  if (!c.compare) return;
  const MemoryWorkbook::SheetData* sheet = book.sheet("比較");
  ASSERT_NE(nullptr, sheet);
  EXPECT_TRUE(sheet->frozen);
  EXPECT_TRUE(sheet->centred);
  EXPECT_EQ(120, sheet->zoom);
  EXPECT_TRUE(sheet->fitted);
  EXPECT_EQ("区分|ﾊﾟｯｹｰｼﾞ名|名前|ﾒｿｯﾄﾞ名|引数|状態|項目|前回|今回|増減", rowLine(book, "比較", 1));
  std::vector<std::string> rows;
  for (int32_t row = 2; row <= 20; ++row) rows.push_back(rowLine(book, "比較", row));
  // The earlier report had the diagnosis on.
  EXPECT_EQ(c.diagnosis ? "Summ||ファイル数|||変更||1|3|2" : "Summ||診断|||変更|設定|する|しない|", rows[0]);
  EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "File|p|B.java|||追加||||"));
  EXPECT_EQ("比較: 追加 4, 削除 0, 変更 0; 新規の指摘 0, 解消 0, 悪化 0",
            comparisonSummaryLine(comparer.lastComparison()->counts()));
  EXPECT_EQ("Summ", book.shownSheet());
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, ComparisonSheetPlace,
    testing::Values(TabsCase{false, true, false, {"Summ", "File", "Class", "Method", "診断"}},
                    TabsCase{false, true, true, {"Summ", "File", "Class", "Method", "診断", "比較"}},
                    TabsCase{true, true, true, {"Summ", "File", "Class", "Method", "診断", "比較", "エラー"}},
                    TabsCase{true, false, true, {"Summ", "File", "Class", "Method", "比較", "エラー"}},
                    TabsCase{true, true, false, {"Summ", "File", "Class", "Method", "診断", "エラー"}}));

// Without a comparison every sheet holds exactly what it holds with one.
TEST(OutputMgrComparison, OtherSheetsAreTheSameWithAndWithout) {
  MemoryReport report;
  ReportComparer comparer(report.mgr);
  RecordingOption options;
  report.mgr.prepare(options);
  writeRows(report.mgr);
  report.mgr.finishedAllAnalysis();
  comparer.compareWith(earlierReport());
  report.mgr.prepare(options);
  writeRows(report.mgr);
  report.mgr.finishedAllAnalysis();
  // And once the comparison is dropped, there is none.
  comparer.compareWith(nullptr);
  report.mgr.prepare(options);
  writeRows(report.mgr);
  report.mgr.finishedAllAnalysis();
  EXPECT_EQ(nullptr, comparer.lastComparison());
  ASSERT_EQ(3u, report.books.size());
  EXPECT_EQ(report.books[0]->sheetNames(), report.books[2]->sheetNames());
  for (const std::string& name : report.books[0]->sheetNames()) {
    SCOPED_TRACE(name);
    for (size_t b : {1u, 2u}) {
      const MemoryWorkbook::SheetData* with = report.books[b]->sheet(name);
      ASSERT_NE(nullptr, with);
      const MemoryWorkbook::SheetData* without = report.books[0]->sheet(name);
      ASSERT_EQ(without->cells.size(), with->cells.size());
      for (const auto& [at, cell] : without->cells) {
        const MemoryWorkbook::Cell& other = with->cells.at(at);
        EXPECT_EQ(cell.text, other.text);
        EXPECT_EQ(cell.hasNumber, other.hasNumber);
        EXPECT_EQ(cell.number, other.number);
        EXPECT_EQ(cell.format, other.format);
      }
      EXPECT_EQ(without->widths, with->widths);
    }
  }
}

// A memory workbook whose sheet "比較" ends after its second row.
class ShortComparisonSheet : public SharedWorkbook {
 public:
  using SharedWorkbook::SharedWorkbook;
  Sheet addSheet(std::string_view name) override {
    const Sheet sheet = SharedWorkbook::addSheet(name);
    if (name == kComparisonSheetName) short_ = sheet;
    return sheet;
  }
  void setText(Sheet s, int32_t r, int32_t c, std::string_view t) override {
    if (s == short_ && r > 2) raiseOverflow();
    SharedWorkbook::setText(s, r, c, t);
  }

 private:
  Sheet short_ = -1;
};

TEST(OutputMgrComparison, AComparisonThatFailsCostsNotTheReport) {
  auto book = std::make_shared<MemoryWorkbook>();
  OutputMgr mgr([book] { return std::make_unique<ShortComparisonSheet>(book); });
  ReportComparer comparer(mgr);
  comparer.compareWith(earlierReport());
  RecordingOption options;
  mgr.prepare(options);
  writeRows(mgr);
  try {
    mgr.finishedAllAnalysis();
    FAIL() << "the overflow of the sheet was not told";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrOverflow, e.number());
  }
  // Written all the same, every row of the other sheets in it.
  EXPECT_TRUE(book->closed());
  EXPECT_FALSE(book->partial());
  EXPECT_EQ("C.java", book->cell("File", 4, 1)->text);
  EXPECT_EQ("Summ||ファイル数|||変更||1|3|2", rowLine(*book, "比較", 2));
  EXPECT_EQ("|||||||||", rowLine(*book, "比較", 3));
  EXPECT_EQ(nullptr, comparer.lastComparison());
}

// A report that ends early is compared as far as it got, and says so first.
TEST(OutputMgrComparison, APartialReportSaysTheAnalysisEndedEarly) {
  MemoryReport report;
  ReportComparer comparer(report.mgr);
  comparer.compareWith(earlierReport());
  RecordingOption options;
  report.mgr.prepare(options);
  report.mgr.finishedFileAnalysis(fileRecord("A.java", "p", 12, 8, 3, 1));
  report.mgr.finishedWithError();
  const MemoryWorkbook& book = report.book();
  EXPECT_TRUE(book.closed());
  EXPECT_TRUE(book.partial());
  EXPECT_EQ("Summ||解析|||変更|設定|完了|途中で終了|", rowLine(book, "比較", 2));
  // The summary it never reached is listed as changed; the rows it reached
  // are compared as always.
  std::vector<std::string> rows;
  for (int32_t row = 3; row <= 40; ++row) rows.push_back(rowLine(book, "比較", row));
  EXPECT_EQ("Summ||ファイル数|||変更||1||", rows[0]);
  EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "File|p|A.java|||変更|全行|10|12|2"));
  EXPECT_NE(rows.end(), std::find(rows.begin(), rows.end(), "Class|p|A|||削除||||"));
}

}  // namespace
}  // namespace rzt::test
