// The workbook decorator that keeps this run's cells: what it keeps is what
// the written workbook holds, and every call still reaches the workbook.

#include "compare/CapturingWorkbook.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "CompareTestSupport.h"
#include "XlsxReader.h"
#include "report/MemoryWorkbook.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

// Every value of the sheet as read back from the file, in row order, empty
// rows left out, against the captured table: same headings, same cells.
void expectSameCells(const test::XlsxSheet& written, const SheetTable& captured) {
  SCOPED_TRACE(written.name);
  int32_t lastColumn = 0;
  for (const auto& [at, cell] : written.cells) lastColumn = std::max(lastColumn, at.second);
  for (int32_t c = 1; c <= lastColumn; ++c) {
    if (written.isEmpty(1, c)) continue;
    EXPECT_EQ(written.text(1, c), captured.heading(c - 1)) << "column " << c;
  }
  int32_t modelRow = 0;
  for (int32_t row = 2; row <= written.lastRow(); ++row) {
    bool any = false;
    for (int32_t c = 1; c <= lastColumn; ++c) any = any || !written.isEmpty(row, c);
    if (!any) continue;
    ASSERT_LT(modelRow, captured.rowCount()) << "row " << row;
    for (int32_t c = 1; c <= std::max(lastColumn, captured.columnCount()); ++c) {
      const ReportCell kept = captured.cell(modelRow, c - 1);
      if (const std::optional<double> n = written.number(row, c)) {
        ASSERT_EQ(ReportCell::Kind::kNumber, kept.kind) << "row " << row << " column " << c;
        EXPECT_NEAR(*n, kept.number, 1e-14 * std::max(1.0, std::fabs(*n))) << "row " << row << " column " << c;
      } else if (!written.isEmpty(row, c)) {
        EXPECT_EQ(written.text(row, c), kept.text) << "row " << row << " column " << c;
      } else {
        EXPECT_TRUE(kept.empty()) << "row " << row << " column " << c;
      }
    }
    ++modelRow;
  }
  EXPECT_EQ(modelRow, captured.rowCount());
}

class CaptureOfAWholeRun : public testing::TestWithParam<bool> {};

TEST_P(CaptureOfAWholeRun, KeepsExactlyTheCellsTheWorkbookHolds) {
  const bool modern = GetParam();
  test::TempDir dir;
  dir.write("src/p/Big.java",
            "package p;\n/** doc */\npublic class Big {\n  public int a; public int b;\n"
            "  public void run(int x) { if (x > 0) { x++; } for (int i = 0; i < x; i++) { x--; } }\n"
            "  static class Inner { void go() { } }\n}\n");
  dir.write("src/p/Small.java", "package p;\ninterface Small { void f(); }\n");
  // A name that is not UTF-8 and one with a control character: the workbook
  // holds them made valid, and so must the capture.
  dir.write(std::string("src/q/Odd\xFF\x01.java"), "package q;\nclass Odd { }\n");
  dir.write("src/Top.java", "class Top { int f() { return 1; } }\n");
  OptionValues options;
  options.txtMStatement = "1";
  options.txtCPubAttr = "1";
  ReportModel captured("今回");
  const fs::path out = dir.path() / "out.xlsx";
  ASSERT_EQ(0, test::analyzeCapturing(dir.path() / "src", out, options, modern, captured).error);

  const test::XlsxBook book = test::readXlsx(out);
  EXPECT_EQ("今回", captured.origin());
  for (const std::string name : {"Summ", "File", "Class", "Method", "診断"}) {
    const test::XlsxSheet* written = book.sheet(name);
    ASSERT_NE(nullptr, written) << name;
    const SheetTable* kept = captured.sheet(*reportSheetKind(name));
    ASSERT_NE(nullptr, kept) << name;
    expectSameCells(*written, *kept);
  }
  EXPECT_EQ(modern ? ReportModel::SyntaxMode::kModern : ReportModel::SyntaxMode::kClassic, captured.syntaxMode());
  EXPECT_FALSE(captured.partial());
  EXPECT_GT(captured.sheet(ReportSheetKind::kDiagnosis)->rowCount(), 0);
  const SheetTable& files = *captured.sheet(ReportSheetKind::kFile);
  bool oddName = false;
  for (int32_t r = 0; r < files.rowCount(); ++r) {
    oddName = oddName || files.cell(r, files.findColumn("ﾌｧｲﾙ名")).text == "Odd\xEF\xBF\xBD\x01.java";
  }
  EXPECT_TRUE(oddName);
}

INSTANTIATE_TEST_SUITE_P(BothAnalyses, CaptureOfAWholeRun, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Modern" : "Classic"; });

TEST(CapturingWorkbook, HandsEveryCallOnAndKeepsOnlyTheSheetsOfTheComparison) {
  ReportModel model;
  auto inner = std::make_unique<MemoryWorkbook>();
  MemoryWorkbook& memory = *inner;
  CapturingWorkbook workbook(std::move(inner), model);
  const auto errors = workbook.addSheet("エラー");
  const auto file = workbook.addSheet("File");
  const auto second = workbook.addSheet("Other");  // passed on, not kept
  workbook.freezeHeadingRow(file);
  workbook.centreHeadingRow(file);
  workbook.setText(errors, 1, 1, "ﾃﾞｨﾚｸﾄﾘ");
  workbook.setText(errors, 2, 1, "/x");
  workbook.setText(file, 1, 1, "ﾌｧｲﾙ名");
  workbook.setNumberFormat(file, 2, 2, "#,##0_ ");
  workbook.setText(file, 2, 1, "A.java");
  workbook.setText(second, 1, 1, "other");
  workbook.setText(second, 2, 1, "B.java");
  workbook.setZoom(file, 90);
  workbook.fitColumns(file);
  workbook.showFirst(file);
  workbook.setPartial();
  workbook.close();

  EXPECT_TRUE(memory.closed());
  EXPECT_TRUE(memory.partial());
  EXPECT_EQ("File", memory.shownSheet());
  const MemoryWorkbook::SheetData* shown = memory.sheet("File");
  ASSERT_NE(nullptr, shown);
  EXPECT_EQ(90, shown->zoom);
  EXPECT_TRUE(shown->frozen && shown->centred && shown->fitted);
  EXPECT_EQ((std::vector<std::string>{"Other", "File", "エラー"}), memory.sheetNames());
  EXPECT_EQ("B.java", memory.cell("Other", 2, 1)->text);
  EXPECT_EQ("#,##0_ ", memory.cell("File", 2, 2)->format);
  EXPECT_EQ("/x", memory.cell("エラー", 2, 1)->text);
  EXPECT_EQ(file, workbook.sheetNamed("File"));
  EXPECT_EQ(-1, workbook.sheetNamed("比較"));

  EXPECT_TRUE(model.partial());
  const SheetTable* files = model.sheet(ReportSheetKind::kFile);
  ASSERT_NE(nullptr, files);
  ASSERT_EQ(1, files->rowCount());
  EXPECT_EQ("ﾌｧｲﾙ名", files->heading(0));
  EXPECT_EQ("A.java", files->cell(0, 0).text);
  EXPECT_EQ(nullptr, model.sheet(ReportSheetKind::kSumm));
}

TEST(CapturingWorkbook, BeforeCloseSeesEveryRowAndWritesBeforeTheWorkbookCloses) {
  ReportModel model;
  auto inner = std::make_unique<MemoryWorkbook>();
  MemoryWorkbook& memory = *inner;
  int calls = 0;
  IWorkbook::Sheet comparison = -1;
  CapturingWorkbook workbook(std::move(inner), model, [&](CapturingWorkbook& w) {
    ++calls;
    EXPECT_FALSE(memory.closed());
    // The last row of the sheet is finished before the hook runs.
    ASSERT_NE(nullptr, model.sheet(ReportSheetKind::kMethod));
    EXPECT_EQ(2, model.sheet(ReportSheetKind::kMethod)->rowCount());
    w.setText(comparison, 1, 1, "区分");
  });
  comparison = workbook.addSheet("比較");
  const auto methods = workbook.addSheet("Method");
  workbook.setText(methods, 1, 1, "ﾒｿｯﾄﾞ名");
  workbook.setText(methods, 2, 1, "a");
  workbook.setText(methods, 3, 1, "b");
  workbook.close();
  EXPECT_EQ(1, calls);
  EXPECT_TRUE(memory.closed());
  EXPECT_EQ("区分", memory.cell("比較", 1, 1)->text);
}

TEST(CapturingWorkbook, AFailingHookLeavesTheWorkbookUnclosed) {
  ReportModel model;
  auto inner = std::make_unique<MemoryWorkbook>();
  MemoryWorkbook& memory = *inner;
  CapturingWorkbook workbook(std::move(inner), model,
                             [](CapturingWorkbook&) { throw RztError(kErrOverflow, "", "オーバーフローしました"); });
  workbook.addSheet("Summ");
  EXPECT_THROW(workbook.close(), RztError);
  EXPECT_FALSE(memory.closed());
}

}  // namespace
}  // namespace rzt
