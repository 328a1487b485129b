// The main window honours the run options of the option dialog: "エラーのファイルを飛ばして続行" and the syntax.

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XlsxReader.h"
#include "frmOption.h"
#include "frmWelcome.h"

namespace rzt::ui {
namespace {

const char* const kGood = "package p;\npublic class Good {\n  public int twice(int x) { return x * 2; }\n}\n";
// Ends inside the class body after one finished method.
const char* const kTruncated = "class Broken {\n  void ok() { }\n  int x;\n";

class frmWelcomeRunOptions : public ::testing::Test {
 protected:
  frmWelcomeRunOptions() {
    frmWelcome::Environment environment;
    environment.userMessage = &messages;
    environment.outputFolder = QString::fromStdString(output.str());
    environment.openWorkbook = [](const QString&) { return true; };
    environment.settingsFile = QString::fromStdString((configuration.path() / "rzt.ini").string());
    window = std::make_unique<frmWelcome>(environment);
    window->show();
    sources.write("A.java", kGood);
    sources.write("B.java", kTruncated);
    sources.write("C.java", kGood);
  }
  ~frmWelcomeRunOptions() override { window->close(); }

  void start() { ASSERT_TRUE(test::runAnalysis(*window)); }

  static std::vector<std::string> column(const test::XlsxBook& book, const std::string& sheet, int32_t col) {
    std::vector<std::string> texts;
    const test::XlsxSheet* s = book.sheet(sheet);
    if (s == nullptr) return texts;
    for (int32_t row = 2; row <= s->lastRow(); ++row) texts.push_back(s->text(row, col));
    return texts;
  }

  test::TempDir configuration;
  test::TempDir sources;
  test::TempDir output;
  test::RecordingUserMessage messages;
  std::unique_ptr<frmWelcome> window;
};

TEST_F(frmWelcomeRunOptions, OnTheFailingFileIsListedAndTheRunFinishes) {
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  window->optionDialog().chkKeepGoing->setChecked(true);
  start();
  // No box for the file; one summary at the end, and no error box.
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown.front().rfind("I:解析できなかった 1 個のファイルを飛ばしました。", 0), 0u)
      << messages.shown.front();
  EXPECT_EQ(window->statusText().rfind("解析が終了しました"), 0u) << window->statusText();
  const test::XlsxBook book = test::readXlsx(window->lastWorkbook());
  EXPECT_EQ(book.sheetNames().back(), "エラー");
  EXPECT_EQ(column(book, "File", 1), (std::vector<std::string>{"A.java", "C.java"}));
  EXPECT_EQ(column(book, "Method", 2), (std::vector<std::string>{"Good", "Good"})) << "Broken.ok is dropped";
  EXPECT_EQ(column(book, "エラー", 2), std::vector<std::string>{"B.java"});
  EXPECT_EQ(book.sheet("Summ")->number(2, 2), 2);

  // Off again: the first error ends the run as before, and no sheet "エラー".
  window->optionDialog().chkKeepGoing->setChecked(false);
  messages.shown.clear();
  start();
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown.back().substr(0, 2), "C:");
  const test::XlsxBook partial = test::readXlsx(window->lastWorkbook());
  EXPECT_EQ(partial.sheet("エラー"), nullptr);
  EXPECT_EQ(column(partial, "File", 1), std::vector<std::string>{"A.java"});
}

TEST_F(frmWelcomeRunOptions, TheChosenSyntaxDecidesWhichAnalysisRuns) {
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  // The syntax tree recovers from the missing "}": every file is measured.
  window->optionDialog().optSyntaxModern->click();
  start();
  EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
  const test::XlsxBook modern = test::readXlsx(window->lastWorkbook());
  EXPECT_EQ(column(modern, "File", 1), (std::vector<std::string>{"A.java", "B.java", "C.java"}));
  EXPECT_EQ(column(modern, "Method", 2), (std::vector<std::string>{"Good", "Broken", "Good"}));

  // Back to the word-level analysis: the truncated file ends the run again.
  window->optionDialog().optSyntaxClassic->click();
  start();
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown.back().substr(0, 2), "C:");
  EXPECT_EQ(column(test::readXlsx(window->lastWorkbook()), "File", 1), std::vector<std::string>{"A.java"});
}

// "前回のレポートと比較": the earlier workbook is read before the run, the new
// one gets the sheet "比較", and the status line says what changed.
TEST_F(frmWelcomeRunOptions, ComparesWithTheEarlierReportChosenInTheDialog) {
  test::TempDir tree;
  tree.write("A.java", kGood);
  ASSERT_TRUE(window->selectDirectory(tree.str()));
  start();
  ASSERT_TRUE(messages.shown.empty()) << messages.shown.front();
  const std::filesystem::path first = window->lastWorkbook();
  EXPECT_EQ(test::readXlsx(first).sheet("比較"), nullptr) << "no comparison unless asked for";

  tree.write("D.java", "package p;\nclass Added {\n  void f() { g(); }\n}\n");
  window->optionDialog().chooseCompareFile(QString::fromStdString(first.string()));
  start();
  ASSERT_TRUE(messages.shown.empty()) << messages.shown.front();
  const test::XlsxBook book = test::readXlsx(window->lastWorkbook());
  const std::vector<std::string> names = book.sheetNames();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "診断");
  EXPECT_EQ(names.back(), "比較");
  // The added file, class and method, each one row "追加".
  const std::vector<std::string> sections = column(book, "比較", 1);
  const std::vector<std::string> states = column(book, "比較", 6);
  std::vector<std::string> added;
  for (size_t i = 0; i < states.size(); ++i) {
    if (states[i] == "追加") added.push_back(sections[i] + " " + book.sheet("比較")->text(static_cast<int32_t>(i) + 2, 3));
  }
  EXPECT_EQ(added, (std::vector<std::string>{"File D.java", "Class Added", "Method Added"}));
  EXPECT_EQ(window->statusText().rfind("比較: 追加 3, 削除 0, 変更 0; 新規の指摘 ", 0), 0u) << window->statusText();

  // Unchecked, the next report has no comparison again.
  window->optionDialog().chkCompare->click();
  start();
  EXPECT_EQ(test::readXlsx(window->lastWorkbook()).sheet("比較"), nullptr);
}

// An earlier report that cannot be read stops the run before it starts: one
// box naming the file, and no workbook.
TEST_F(frmWelcomeRunOptions, AnUnreadableEarlierReportStopsBeforeTheAnalysis) {
  test::TempDir tree;
  tree.write("A.java", kGood);
  const std::string notAReport = tree.write("notes.json", "{\"hello\": 1}").string();
  ASSERT_TRUE(window->selectDirectory(tree.str()));
  for (const std::string& earlier : {notAReport, (tree.path() / "missing.xlsx").string()}) {
    SCOPED_TRACE(earlier);
    messages.shown.clear();
    window->optionDialog().chooseCompareFile(QString::fromStdString(earlier));
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(window->isAnalysing());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown.front().rfind("C:前回のレポートを読めません: " + earlier, 0), 0u) << messages.shown.front();
    EXPECT_TRUE(std::filesystem::is_empty(output.path())) << "no workbook is written";
    EXPECT_EQ(window->statusText().find("前回のレポートを読んでいます"), std::string::npos) << window->statusText();
  }
}

}  // namespace
}  // namespace rzt::ui
