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

}  // namespace
}  // namespace rzt::ui
