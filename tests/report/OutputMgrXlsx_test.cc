// The report written as a real .xlsx file and read back.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "XlsxReader.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace rzt::test {
namespace {

namespace fs = std::filesystem;

OutputMgr::WorkbookFactory writerTo(fs::path path) {
  return [path] { return std::unique_ptr<IWorkbook>(std::make_unique<XlsxWorkbook>(path)); };
}

std::vector<std::string> rowTexts(const XlsxSheet& s, int row, int columns) {
  std::vector<std::string> out;
  for (int c = 1; c <= columns; ++c) out.push_back(s.text(row, c));
  return out;
}

// A small project: package org.Demo with a class of two methods and an
// interface, and a file without package.
void reportProject(OutputMgr& mgr) {
  MethodRecord ctor = methodRecord("Shop", "Shop", "org.Demo");
  ctor.constructorMethod = true;
  ctor.argumentCount = Counter(2);
  ctor.statementCount = Counter(3);
  mgr.finishedMethodAnalysis(ctor);
  MethodRecord buy = methodRecord("buy", "Shop", "org.Demo", "private");
  buy.returnsValue = true;
  buy.finalMethod = true;
  buy.statementCount = Counter(4);
  buy.ifStatementCount = Counter(2);
  mgr.finishedMethodAnalysis(buy);
  ClassRecord shop = classRecord("Shop", "org.Demo");
  shop.statementCount = Counter(7);
  shop.instanceMethodCount = Counter(2);
  shop.publicInstanceMethodCount = Counter(1);
  shop.implementsCount = Counter(1);
  mgr.finishedClassAnalysis(shop);
  ClassRecord api = classRecord("Api", "org.Demo");
  api.classType = false;
  mgr.finishedClassAnalysis(api);
  mgr.finishedFileAnalysis(fileRecord("Shop.java", "org.Demo", 40, 20, 12, 8, 2, 3));
  mgr.finishedFileAnalysis(fileRecord("Main.java", "", 10, 9, 0, 1, 0, 0));
}

TEST(OutputMgrXlsxTest, WholeReportWithDiagnosis) {
  TempDir dir;
  fs::path file = dir.path() / "report.xlsx";
  OutputMgr mgr(writerTo(file));
  RecordingOption options;
  options.zoom = 90;
  options.cMaxAveStatement = 3;  // 7 statements over 2 methods: a finding of 3
  options.mMaxBranch = 2;        // equal to the count: a finding
  options.mMaxStatement = 5;     // one above the largest count: none
  options.fMinCommentRate = 10;  // Main.java has no comments
  mgr.prepare(options);
  reportProject(mgr);
  mgr.finishedAllAnalysis();
  ASSERT_FALSE(mgr.hasWorkbook());

  XlsxBook book = readXlsx(file);
  EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"Summ", "File", "Class", "Method", "診断"}));
  EXPECT_EQ(book.activeTab, 0);
  for (const XlsxSheet& s : book.sheets) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(s.frozenRows, 1);
    EXPECT_EQ(s.zoom, 90);
    EXPECT_TRUE(s.rowCentred.at(1));
    EXPECT_TRUE(s.cell(1, 1)->centred);
    EXPECT_FALSE(s.widths.empty());
    EXPECT_GE(s.widths.at(1), 6.0);
  }

  const XlsxSheet& files = *book.sheet("File");
  EXPECT_EQ(rowTexts(files, 1, 8), (std::vector<std::string>{"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行", "命令行",
                                                              "ｺﾒﾝﾄ行", "ﾌﾞﾗﾝｸ行", "ｸﾗｽ", "import"}));
  EXPECT_TRUE(files.isEmpty(1, 9));
  EXPECT_EQ(files.text(2, 1), "Shop.java");
  EXPECT_EQ(files.text(2, 2), "org.Demo");
  const double shopNumbers[] = {40, 20, 12, 8, 2, 3};
  for (int c = 3; c <= 8; ++c) EXPECT_EQ(files.number(2, c), shopNumbers[c - 3]) << c;
  EXPECT_TRUE(files.isEmpty(3, 2));  // the default package
  EXPECT_EQ(files.lastRow(), 3);

  const XlsxSheet& classes = *book.sheet("Class");
  EXPECT_EQ(classes.text(1, 17), "extends");
  EXPECT_EQ(classes.text(1, 18), "implements");
  EXPECT_EQ(rowTexts(classes, 2, 4), (std::vector<std::string>{"org.Demo", "Shop", "class", "public"}));
  EXPECT_EQ(classes.number(2, 5), 7);
  EXPECT_EQ(classes.number(2, 18), 1);
  EXPECT_EQ(classes.text(3, 3), "interface");

  const XlsxSheet& methods = *book.sheet("Method");
  EXPECT_EQ(methods.text(1, 23), "final");
  EXPECT_EQ(methods.text(1, 24), "native");
  EXPECT_EQ(rowTexts(methods, 2, 7),
            (std::vector<std::string>{"org.Demo", "Shop", "Shop", "", "ｺﾝｽﾄﾗｸﾀ", "public", "なし"}));
  EXPECT_EQ(methods.number(2, 8), 2);
  for (int c : {4, 23, 24}) EXPECT_TRUE(methods.isEmpty(2, c)) << c;
  EXPECT_TRUE(methods.isEmpty(3, 5));  // neither constructor nor static
  EXPECT_EQ(methods.text(3, 7), "あり");
  EXPECT_EQ(methods.text(3, 23), "yes");
  EXPECT_TRUE(methods.isEmpty(3, 24));
  EXPECT_EQ(methods.number(3, 14), 2);
  EXPECT_EQ(methods.number(3, 17), 0);

  const XlsxSheet& diag = *book.sheet("診断");
  EXPECT_EQ(rowTexts(diag, 2, 6), (std::vector<std::string>{"org.Demo", "Shop.java", "Shop", "buy", "[Method]",
                                                             "分岐ステートメント(if/swtch)が多過ぎます"}));
  EXPECT_EQ(diag.number(2, 7), 2);
  EXPECT_EQ(rowTexts(diag, 3, 6), (std::vector<std::string>{"org.Demo", "Shop.java", "Shop", "", "[Class]",
                                                             "メソッド当りの平均ステートメントが多過ぎます"}));
  EXPECT_EQ(diag.number(3, 7), 3);
  EXPECT_TRUE(diag.isEmpty(3, 4));
  EXPECT_EQ(rowTexts(diag, 4, 6),
            (std::vector<std::string>{"", "Main.java", "", "", "[File]", "コメントが少な過ぎます"}));
  EXPECT_EQ(diag.number(4, 7), 0);
  EXPECT_EQ(diag.lastRow(), 4);

  const XlsxSheet& summ = *book.sheet("Summ");
  EXPECT_EQ(rowTexts(summ, 1, 2), (std::vector<std::string>{"メトリクス", "値"}));
  struct Row {
    int row;
    std::string label;
    double value;
    std::string format;
  };
  const Row rows[] = {
      {2, "ファイル数", 2, "General"},
      {3, "パッケージ数", 2, "General"},
      {4, "全クラス数", 2, "General"},
      {5, "公開クラス数", 1, "General"},
      {6, "インタフェース数", 1, "General"},
      {7, "全メソッド数", 2, "General"},
      {8, "公開メソッド数", 1, "General"},
      {10, "行数", 50, "#,##0_ "},
      {11, "命令行数", 29, "#,##0_ "},
      {12, "コメント行数", 12, "#,##0_ "},
      {13, "ステートメント数", 7, "#,##0_ "},
      {15, "１パッケージ当たり平均クラス数", 1.0, "0.0_ "},
      {16, "１クラス当たり平均メソッド数", 1.0, "0.0_ "},
      {17, "１メソッド当たり平均ステートメント数", 3.5, "0.0_ "},
      {19, "１ファイル当たり平均行数", 25.0, "0.0_ "},
      {20, "１ファイル当たり平均命令行数", 14.5, "0.0_ "},
      {21, "平均コメント比率", 0.24, "0.0%"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(summ.text(r.row, 1), r.label);
    EXPECT_EQ(summ.number(r.row, 2), r.value);
    EXPECT_EQ(summ.cell(r.row, 2)->numberFormat, r.format);
  }
  for (int row : {9, 14, 18}) {
    EXPECT_TRUE(summ.isEmpty(row, 1));
    EXPECT_TRUE(summ.isEmpty(row, 2));
  }
  EXPECT_EQ(summ.lastRow(), 21);
}

TEST(OutputMgrXlsxTest, ZeroFilesWithoutDiagnosis) {
  TempDir dir;
  fs::path file = dir.path() / "empty.xlsx";
  OutputMgr mgr(writerTo(file));
  RecordingOption options;
  options.diag = false;
  mgr.prepare(options);
  mgr.finishedAllAnalysis();
  XlsxBook book = readXlsx(file);
  EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"Summ", "File", "Class", "Method"}));
  const XlsxSheet& summ = *book.sheet("Summ");
  for (int row = 2; row <= 13; ++row) {
    if (row == 9) continue;
    EXPECT_EQ(summ.number(row, 2), 0) << row;
  }
  for (int row : {15, 16, 17, 19, 20, 21}) {
    SCOPED_TRACE(row);
    EXPECT_FALSE(summ.text(row, 1).empty());
    ASSERT_NE(summ.cell(row, 2), nullptr);
    EXPECT_TRUE(summ.isEmpty(row, 2));
    EXPECT_EQ(summ.cell(row, 2)->numberFormat, row == 21 ? "0.0%" : "0.0_ ");
  }
  for (const char* name : {"File", "Class", "Method"}) EXPECT_EQ(book.sheet(name)->lastRow(), 1) << name;
}

TEST(OutputMgrXlsxTest, NoFindingSaysSo) {
  TempDir dir;
  fs::path file = dir.path() / "fine.xlsx";
  OutputMgr mgr(writerTo(file));
  RecordingOption options;
  mgr.prepare(options);
  mgr.finishedMethodAnalysis(methodRecord("m"));
  mgr.finishedAllAnalysis();
  XlsxBook book = readXlsx(file);
  EXPECT_EQ(book.sheet("診断")->text(2, 1), "特に問題はありませんでした");
  EXPECT_EQ(book.sheet("診断")->lastRow(), 2);
}

TEST(OutputMgrXlsxTest, PackageNamesDifferingInCaseCountOnce) {
  TempDir dir;
  fs::path file = dir.path() / "case.xlsx";
  OutputMgr mgr(writerTo(file));
  RecordingOption options;
  mgr.prepare(options);
  for (const char* p : {"com.Acme", "COM.ACME", "com.acme.util"}) {
    mgr.finishedFileAnalysis(fileRecord("X.java", p, 10, 5, 5, 0));
  }
  mgr.finishedAllAnalysis();
  XlsxBook book = readXlsx(file);
  EXPECT_EQ(book.sheet("Summ")->number(3, 2), 2);
  EXPECT_EQ(book.sheet("File")->text(3, 2), "COM.ACME");
}

TEST(OutputMgrXlsxTest, SyntaxErrorColumn) {
  TempDir dir;
  fs::path file = dir.path() / "syntax.xlsx";
  OutputMgr mgr(writerTo(file));
  RecordingOption options;
  mgr.prepare(options);
  FileRecord f = fileRecord("X.java", "p", 10, 5, 5, 0);
  f.syntaxErrorCount = 2;
  mgr.finishedFileAnalysis(f);
  mgr.finishedAllAnalysis();
  XlsxBook book = readXlsx(file);
  const XlsxSheet& files = *book.sheet("File");
  EXPECT_EQ(files.text(1, 9), "構文ｴﾗｰ");
  EXPECT_TRUE(files.cell(1, 9)->centred);
  EXPECT_EQ(files.number(2, 9), 2);
}

TEST(OutputMgrXlsxTest, UnwritableOutputLeavesTheExistingFileAlone) {
  TempDir dir;
  fs::path existing = dir.write("report.xlsx", "precious");
  // The folder of the output does not exist.
  OutputMgr missing(writerTo(dir.path() / "nowhere" / "report.xlsx"));
  RecordingOption options;
  try {
    missing.prepare(options);
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrPathNotFound);
    EXPECT_NE(e.description().find("nowhere"), std::string::npos);
  }
  EXPECT_FALSE(missing.hasWorkbook());
  missing.finishedWithError();

  // The output turns out unwritable only at the end.
  OutputMgr late(writerTo(existing));
  late.prepare(options);
  late.finishedFileAnalysis(fileRecord("X.java", "p", 10, 5, 5, 0));
  fs::rename(existing, dir.path() / "moved.xlsx");
  fs::create_directory(existing);
  EXPECT_THROW(late.finishedAllAnalysis(), RztError);
  EXPECT_TRUE(fs::is_directory(existing));
  EXPECT_EQ(readFile(dir.path() / "moved.xlsx"), "precious");
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"moved.xlsx", "report.xlsx"}));
}

TEST(OutputMgrXlsxTest, PartialWorkbookAfterAnError) {
  TempDir dir;
  fs::path file = dir.path() / "partial.xlsx";
  OutputMgr mgr(writerTo(file));
  RecordingOption options;
  mgr.prepare(options);
  mgr.finishedMethodAnalysis(methodRecord("first"));
  ClassRecord big = classRecord("Big");
  big.statementCount = Counter(INT32_MAX);
  mgr.finishedClassAnalysis(big);
  EXPECT_THROW(mgr.finishedClassAnalysis(big), RztError);  // the statement total overflows
  mgr.finishedWithError();
  EXPECT_FALSE(fs::exists(file)) << "a partial workbook has a name of its own";
  XlsxBook book = readXlsx(dir.path() / "partial-partial.xlsx");
  EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"Summ", "File", "Class", "Method", "診断"}));
  EXPECT_EQ(book.sheet("Method")->text(2, 3), "first");
  EXPECT_EQ(book.sheet("Class")->lastRow(), 3);
  EXPECT_EQ(book.sheet("Summ")->lastRow(), 2);
  EXPECT_EQ(book.sheet("Summ")->text(2, 1), "解析は途中で終了しました。このレポートは途中までの結果です。");
  EXPECT_EQ(book.sheet("診断")->text(2, 6), "ステートメントが多過ぎます");
  EXPECT_EQ(book.activeTab, 0);
}

}  // namespace
}  // namespace rzt::test
