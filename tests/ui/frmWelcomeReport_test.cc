// The main window says where the report went: the panel with the
// workbook's path, how the analysis ended, and the buttons that open the
// file, open its folder and save a copy.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ReportPanel.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XlsxReader.h"
#include "frmOption.h"
#include "frmWelcome.h"

namespace rzt::ui {
namespace {

namespace fs = std::filesystem;
using test::contains;
using test::kGoodJava;
using test::kTruncatedJava;

class frmWelcomeReport : public test::MainWindowTest {
 protected:
  void chooseTaskBar() {
    window->optionDialog().optExcelTaskBar->setChecked(true);
    window->optionDialog().optExcelMax->setChecked(false);
  }
  std::string panelPath() const { return window->fraResult->txtWorkbook->text().toStdString(); }
  std::string panelState() const { return window->fraResult->stateText().toStdString(); }
  bool buttonsEnabled() const {
    return window->fraResult->cmdOpenWorkbook->isEnabled() && window->fraResult->cmdOpenFolder->isEnabled() &&
           window->fraResult->cmdSaveAs->isEnabled();
  }
};

TEST_F(frmWelcomeReport, BeforeTheFirstAnalysisThereIsNothingToOpen) {
  EXPECT_TRUE(window->fraResult->workbook().isEmpty());
  EXPECT_FALSE(window->fraResult->cmdOpenWorkbook->isEnabled());
  EXPECT_FALSE(window->fraResult->cmdOpenFolder->isEnabled());
  EXPECT_FALSE(window->fraResult->cmdSaveAs->isEnabled());
  EXPECT_EQ(window->fraResult->cmdSaveAs->text().toStdString(), "名前を付けて保存…");
}

struct DisplayCase {
  const char* name;
  bool maximised;     // "最大"
  bool opens;         // the desktop's application starts
  bool expectOpened;  // the window asked the desktop to open it
};

std::ostream& operator<<(std::ostream& out, const DisplayCase& c) { return out << c.name; }

class frmWelcomeReportDisplay : public frmWelcomeReport, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(frmWelcomeReportDisplay, PanelShowsTheFullPathAndSaysWhenTheFileCouldNotBeOpened) {
  const DisplayCase& c = GetParam();
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  if (!c.maximised) chooseTaskBar();
  workbookOpens = c.opens;
  start();

  const std::string path = window->lastWorkbook().string();
  ASSERT_TRUE(fs::exists(path));
  EXPECT_TRUE(fs::path(path).is_absolute());
  EXPECT_EQ(panelPath(), path);
  EXPECT_EQ(window->fraResult->workbook().toStdString(), path);
  EXPECT_TRUE(buttonsEnabled());
  EXPECT_EQ(panelState().rfind("レポートを書き出しました", 0), 0u) << panelState();
  EXPECT_FALSE(contains(panelState(), "途中まで"));
  EXPECT_EQ(opened, c.expectOpened ? std::vector<std::string>{path} : std::vector<std::string>{});
  // A failure to open is said in the window, naming the path; no box.
  EXPECT_EQ(contains(panelState(), "レポートを開けませんでした: " + path), c.expectOpened && !c.opens)
      << panelState();
  EXPECT_TRUE(messages.shown.empty());
  if (c.expectOpened && c.opens) {
    EXPECT_EQ(window->statusText(), "解析が終了しました");
  } else {
    EXPECT_EQ(window->statusText(), path);
  }
}

INSTANTIATE_TEST_SUITE_P(Display, frmWelcomeReportDisplay,
                         ::testing::Values(DisplayCase{"MaximisedOpens", true, true, true},
                                           DisplayCase{"MaximisedCannotOpen", true, false, true},
                                           DisplayCase{"TaskBar", false, true, false}),
                         [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

struct ButtonCase {
  const char* name;
  bool folder;  // the folder button, else the file button
  bool succeeds;
};

std::ostream& operator<<(std::ostream& out, const ButtonCase& c) { return out << c.name; }

class frmWelcomeReportButtons : public frmWelcomeReport, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(frmWelcomeReportButtons, OpenTheFileOrItsFolderAndSayInABoxWhenTheyCannot) {
  const ButtonCase& c = GetParam();
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  chooseTaskBar();
  start();
  ASSERT_TRUE(opened.empty());
  const std::string path = window->lastWorkbook().string();
  workbookOpens = c.succeeds;
  folderOpens = c.succeeds;

  QTest::mouseClick(c.folder ? window->fraResult->cmdOpenFolder : window->fraResult->cmdOpenWorkbook,
                    Qt::LeftButton);

  const std::string target = c.folder ? output.str() : path;
  EXPECT_EQ(c.folder ? foldersOpened : opened, std::vector<std::string>{target});
  if (c.succeeds) {
    EXPECT_TRUE(messages.shown.empty());
  } else {
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string expected =
        std::string(c.folder ? "C:フォルダを開けませんでした: " : "C:レポートを開けませんでした: ") + target;
    EXPECT_EQ(messages.shown.front().rfind(expected, 0), 0u) << messages.shown.front();
  }
}

INSTANTIATE_TEST_SUITE_P(Buttons, frmWelcomeReportButtons,
                         ::testing::Values(ButtonCase{"FileOpens", false, true}, ButtonCase{"FileFails", false, false},
                                           ButtonCase{"FolderOpens", true, true},
                                           ButtonCase{"FolderFails", true, false}),
                         [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.name); });

TEST_F(frmWelcomeReport, SaveAsWritesACopyWhereTheUserChoseOrSaysWhyNot) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  chooseTaskBar();
  start();
  const fs::path workbook = window->lastWorkbook();
  const std::string bytes = test::readFile(workbook);
  ASSERT_FALSE(bytes.empty());
  test::TempDir elsewhere;
  elsewhere.write("old.xlsx", "an older file");

  struct Step {
    std::string answer;  // the path the user chose; empty: cancelled
    bool written;
    std::string box;  // the start of the box shown; empty: none
  };
  const Step steps[] = {
      {(elsewhere.path() / "copy.xlsx").string(), true, ""},
      {(elsewhere.path() / "old.xlsx").string(), true, ""},
      {"", false, ""},
      {(elsewhere.path() / "missing" / "copy.xlsx").string(), false,
       "C:保存できませんでした: " + (elsewhere.path() / "missing" / "copy.xlsx").string()},
      {workbook.string(), true, ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.answer);
    messages.shown.clear();
    suggestedSavePaths.clear();
    saveAnswer = step.answer;
    QTest::mouseClick(window->fraResult->cmdSaveAs, Qt::LeftButton);

    ASSERT_EQ(suggestedSavePaths.size(), 1u);
    EXPECT_EQ(fs::path(suggestedSavePaths.front()).filename(), workbook.filename());
    if (step.box.empty()) {
      EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
    } else {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown.front().rfind(step.box, 0), 0u) << messages.shown.front();
    }
    if (step.written) {
      EXPECT_EQ(test::readFile(step.answer), bytes);
      EXPECT_TRUE(contains(panelState(), "コピーを保存しました: " + step.answer));
    } else if (!step.answer.empty()) {
      EXPECT_FALSE(fs::exists(step.answer));
    }
    // The panel still offers the workbook itself.
    EXPECT_EQ(panelPath(), workbook.string());
  }
  EXPECT_EQ(test::readFile(workbook), bytes);
  // Nothing but the two copies was left in the folder.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(elsewhere.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"copy.xlsx", "old.xlsx"}));
}

TEST_F(frmWelcomeReport, WorkbookWrittenAfterAnErrorIsNamedAndMarkedPartial) {
  sources.write("A.java", kGoodJava);
  sources.write("B.java", kTruncatedJava);
  sources.write("C.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  start();

  const fs::path workbook = window->lastWorkbook();
  EXPECT_EQ(workbook.parent_path(), output.path());
  const std::string name = workbook.filename().string();
  EXPECT_EQ(name.rfind("RZT-", 0), 0u) << name;
  EXPECT_EQ(name.substr(name.size() - std::string("-partial.xlsx").size()), "-partial.xlsx") << name;
  EXPECT_EQ(workbooks(), std::vector<fs::path>{workbook});
  const test::XlsxBook book = test::readXlsx(workbook);
  ASSERT_NE(book.sheet("Summ"), nullptr);
  EXPECT_EQ(book.sheet("Summ")->text(2, 1), test::kEndedEarly);
  EXPECT_EQ(column(book, "File", 1), std::vector<std::string>{"A.java"});

  // The window says it is partial, and where it is.
  EXPECT_EQ(panelPath(), workbook.string());
  EXPECT_TRUE(contains(panelState(), "途中までのレポートです")) << panelState();
  EXPECT_TRUE(buttonsEnabled());
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_TRUE(contains(messages.shown.back(), "それまでの結果を書き出しました: " + workbook.string()));
  EXPECT_EQ(opened, std::vector<std::string>{workbook.string()});

  // A complete workbook after it says it is complete.
  fs::remove(sources.path() / "B.java");
  start();
  EXPECT_EQ(window->lastWorkbook().filename().string().find("partial"), std::string::npos);
  EXPECT_FALSE(contains(panelState(), "途中まで"));
  EXPECT_TRUE(test::readXlsx(window->lastWorkbook()).sheet("Summ")->text(2, 1) != test::kEndedEarly);
}

TEST_F(frmWelcomeReport, PartialWorkbooksOfRunsInTheSameSecondAreAllKept) {
  sources.write("A.java", kGoodJava);
  sources.write("B.java", kTruncatedJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  std::vector<fs::path> written;
  for (int run = 0; run < 3; ++run) {
    start();
    written.push_back(window->lastWorkbook());
  }
  std::sort(written.begin(), written.end());
  EXPECT_EQ(std::unique(written.begin(), written.end()), written.end());
  EXPECT_EQ(workbooks(), written);
}

struct CopyCase {
  const char* name;
  bool sourceExists;
  bool targetFolderExists;
  bool sameFile;
  bool succeeds;
};

std::ostream& operator<<(std::ostream& out, const CopyCase& c) { return out << c.name; }

class CopyWorkbook : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyWorkbook, CopiesThroughAFileBesideTheTarget) {
  const CopyCase& c = GetParam();
  test::TempDir folder;
  const std::string bytes = std::string("PK\x03\x04", 4) + std::string(3 << 20, 'x');
  const fs::path from = c.sourceExists ? folder.write("from.xlsx", bytes) : folder.path() / "from.xlsx";
  const fs::path to = c.sameFile ? from : folder.path() / (c.targetFolderExists ? "" : "missing") / "to.xlsx";
  const QString failure = copyWorkbook(QString::fromStdString(from.string()), QString::fromStdString(to.string()));
  EXPECT_EQ(failure.isEmpty(), c.succeeds) << failure.toStdString();
  if (c.succeeds) {
    EXPECT_EQ(test::readFile(to), bytes);
  } else {
    EXPECT_FALSE(fs::exists(to));
  }
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, static_cast<size_t>(c.sourceExists) + static_cast<size_t>(c.succeeds && !c.sameFile));
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyWorkbook,
                         ::testing::Values(CopyCase{"Copies", true, true, false, true},
                                           CopyCase{"NoSource", false, true, false, false},
                                           CopyCase{"NoTargetFolder", true, false, false, false},
                                           CopyCase{"OntoItself", true, true, true, true}),
                         [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rzt::ui
