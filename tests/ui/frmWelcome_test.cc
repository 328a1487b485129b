#include "frmWelcome.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileControls.h"
#include "ReportPanel.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XlsxReader.h"
#include "frmAbout.h"
#include "frmOption.h"

namespace rzt::ui {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFinished = "解析が終了しました";

const char* const kGoodJava =
    "package p;\n"
    "public class Good {\n"
    "  private int n;\n"
    "  public int twice(int x) {\n"
    "    if (x > 0) { return x * 2; }\n"
    "    return 0;\n"
    "  }\n"
    "}\n";

// Ends inside the class body: the word reader reaches the end of the file.
const char* const kTruncatedJava = "class Broken {\n  void f() {\n";

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A main window whose message boxes, workbooks and spreadsheet application
// are the test's own.
class frmWelcomeTest : public ::testing::Test {
 protected:
  frmWelcomeTest() {
    frmWelcome::Environment environment;
    environment.userMessage = &messages;
    environment.outputFolder = QString::fromStdString(output.str());
    environment.settingsFile = QString::fromStdString((configuration.path() / "rzt.ini").string());
    environment.openWorkbook = [this](const QString& path) {
      opened.push_back(path.toStdString());
      return true;
    };
    window = std::make_unique<frmWelcome>(environment);
    window->show();
  }

  ~frmWelcomeTest() override {
    window->close();
    window.reset();
  }

  // The workbooks in the output folder, by name.
  std::vector<fs::path> workbooks() const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(output.path())) {
      if (entry.path().extension() == ".xlsx") found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  void start() { ASSERT_TRUE(test::runAnalysis(*window)); }

  // The texts of the File sheet's name column, wherever the heading puts it.
  static std::vector<std::string> fileNames(const fs::path& workbook) {
    const test::XlsxBook book = test::readXlsx(workbook);
    const test::XlsxSheet* sheet = book.sheet("File");
    EXPECT_NE(sheet, nullptr);
    std::vector<std::string> names;
    if (sheet == nullptr) return names;
    for (int32_t row = 2; row <= sheet->lastRow(); ++row) {
      for (int32_t column = 1; column <= 9; ++column) {
        if (endsWith(sheet->text(row, column), ".java")) names.push_back(sheet->text(row, column));
      }
    }
    return names;
  }

  test::TempDir configuration;
  test::TempDir sources;
  test::TempDir output;
  test::HookedUserMessage messages;
  std::vector<std::string> opened;
  std::unique_ptr<frmWelcome> window;
};

TEST_F(frmWelcomeTest, StartsInTheHomeFolderWithDirectoryModeChosen) {
  const std::string home = QDir::homePath().toStdString();
  EXPECT_EQ(window->dirSelect->path(), fs::path(home).lexically_normal().string());
  EXPECT_EQ(window->drvSelect->drive(), window->dirSelect->path());
  EXPECT_EQ(window->filSelect->path(), window->dirSelect->path());
  EXPECT_TRUE(window->optDir->isChecked());
  EXPECT_FALSE(window->filSelect->isEnabled());
  EXPECT_TRUE(window->statusText().empty());
  EXPECT_EQ(window->windowTitle().left(6).toStdString(), "RZT - ");
  EXPECT_GT(window->windowTitle().size(), 6);
}

TEST_F(frmWelcomeTest, ControlsCarryTheirCaptionsAndMenusTheirAccelerators) {
  const std::pair<QAbstractButton*, const char*> buttons[] = {
      {window->cmdOption, "オプション"}, {window->optFile, "指定のファイル"},
      {window->optDir, "指定のディレクトリ"}, {window->optAllDir, "配下の全ディレクトリ"},
      {window->cmdExit, "終了"}, {window->cmdOK, "解析実行"},
  };
  for (const auto& [button, caption] : buttons) EXPECT_EQ(button->text().toStdString(), caption);
  EXPECT_EQ(window->Frame1->title().toStdString(), "解析対象");

  const std::pair<QMenu*, const char*> menus[] = {
      {window->mnuFile, "ﾌｧｲﾙ(&F)"}, {window->mnuTool, "ﾂｰﾙ(&T)"}, {window->mnuHelp, "ﾍﾙﾌﾟ(&H)"}};
  for (const auto& [menu, caption] : menus) EXPECT_EQ(menu->title().toStdString(), caption);
  const std::tuple<QMenu*, QAction*, const char*> items[] = {
      {window->mnuFile, window->mnuExit, "終了(&X)"},
      {window->mnuTool, window->mnuOption, "ｵﾌﾟｼｮﾝ(&O)"},
      {window->mnuHelp, window->mnuAbout, "ﾊﾞｰｼﾞｮﾝ情報(&A)"},
  };
  for (const auto& [menu, action, caption] : items) {
    EXPECT_EQ(action->text().toStdString(), caption);
    EXPECT_TRUE(menu->actions().contains(action));
  }
}

TEST_F(frmWelcomeTest, OptionButtonsEnableAndDisableTheFileList) {
  const std::pair<QRadioButton*, bool> steps[] = {
      {window->optFile, true}, {window->optDir, false}, {window->optFile, true},
      {window->optAllDir, false}, {window->optAllDir, false}, {window->optFile, true},
  };
  for (const auto& [button, enabled] : steps) {
    SCOPED_TRACE(button->objectName().toStdString());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(window->filSelect->isEnabled(), enabled);
  }
}

TEST_F(frmWelcomeTest, ListsShowTheChosenFolder) {
  sources.write("b/B.java", kGoodJava);
  sources.write("a/A.JAVA", kGoodJava);
  sources.write("a/z.java", kGoodJava);
  sources.write("a/notes.txt", "x");
  sources.write("a/.hidden.java", kGoodJava);
  sources.write("a/sub/C.java", kGoodJava);
  sources.write("a/.git/D.java", kGoodJava);
  const std::string a = (sources.path() / "a").string();
  ASSERT_TRUE(window->selectDirectory(a));

  EXPECT_EQ(window->dirSelect->path(), a);
  EXPECT_EQ(window->filSelect->path(), a);
  std::vector<std::string> files;
  for (int i = 0; i < window->filSelect->count(); ++i) files.push_back(window->filSelect->item(i)->text().toStdString());
  EXPECT_EQ(files, (std::vector<std::string>{"A.JAVA", "z.java"}));
  // The folder chain ends in "a", followed by its one visible subfolder.
  ASSERT_GE(window->dirSelect->count(), 2);
  EXPECT_EQ(window->dirSelect->item(window->dirSelect->count() - 1)->text().trimmed().toStdString(), "sub");
  EXPECT_EQ(window->dirSelect->item(window->dirSelect->count() - 2)->text().trimmed().toStdString(), "a");
  EXPECT_EQ(window->dirSelect->item(0)->text().trimmed().toStdString(), "/");

  // Activating the subfolder enters it, and the file list follows.
  emit window->dirSelect->itemActivated(window->dirSelect->item(window->dirSelect->count() - 1));
  EXPECT_EQ(window->dirSelect->path(), (sources.path() / "a" / "sub").string());
  ASSERT_EQ(window->filSelect->count(), 1);
  EXPECT_EQ(window->filSelect->item(0)->text().toStdString(), "C.java");
}

TEST_F(frmWelcomeTest, UnknownStartFolderKeepsTheHomeFolderAndSaysSo) {
  const std::string before = window->dirSelect->path();
  const std::string missing = (sources.path() / "missing").string();
  EXPECT_FALSE(window->selectDirectory(missing));
  EXPECT_EQ(window->dirSelect->path(), before);
  EXPECT_EQ(window->statusText(), "パスが見つかりません: " + missing);
}

TEST_F(frmWelcomeTest, DriveThatCannotBeEnteredLeavesTheListsAlone) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  const std::string homeDrive = window->drvSelect->drive();
  // A drive entry whose root is gone, as an unmounted medium would be.
  const std::string gone = (sources.path() / "gone").string();
  window->drvSelect->selectDrive(gone);
  window->drvSelect->selectDrive(homeDrive);
  const int goneIndex = window->drvSelect->findText(QString::fromStdString(gone));
  ASSERT_GE(goneIndex, 0);

  window->drvSelect->setCurrentIndex(goneIndex);
  emit window->drvSelect->activated(goneIndex);

  EXPECT_EQ(messages.shown, (std::vector<std::string>{"I:ドライブが準備されていません"}));
  EXPECT_EQ(window->dirSelect->path(), sources.str());
  EXPECT_EQ(window->filSelect->count(), 1);
  EXPECT_EQ(window->drvSelect->drive(), homeDrive);
}

TEST_F(frmWelcomeTest, FileModeWithoutAFileShowsTheMessageAndAnalysesNothing) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  QTest::mouseClick(window->optFile, Qt::LeftButton);
  start();
  EXPECT_EQ(messages.shown, (std::vector<std::string>{"I:ファイルを選択してください"}));
  EXPECT_TRUE(window->statusText().empty());
  EXPECT_TRUE(workbooks().empty());
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(frmWelcomeTest, EachModeAnalysesItsSelectionIntoAWorkbook) {
  sources.write("A.java", kGoodJava);
  sources.write("B.java", kGoodJava);
  sources.write("sub/C.java", kGoodJava);
  struct Mode {
    QRadioButton* frmWelcome::*button;
    const char* file;  // chosen in the file list; nullptr for none
    std::vector<std::string> analysed;
  };
  const Mode modes[] = {
      {&frmWelcome::optFile, "B.java", {"B.java"}},
      {&frmWelcome::optDir, nullptr, {"A.java", "B.java"}},
      {&frmWelcome::optAllDir, nullptr, {"A.java", "B.java", "C.java"}},
  };
  size_t expectedBooks = 0;
  for (const Mode& mode : modes) {
    SCOPED_TRACE(mode.analysed.size());
    ASSERT_TRUE(window->selectDirectory(sources.str()));
    QTest::mouseClick((*window).*mode.button, Qt::LeftButton);
    if (mode.file != nullptr) {
      ASSERT_TRUE(window->filSelect->selectFile(mode.file));
    }
    start();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(endsWith(window->statusText(), kFinished)) << window->statusText();
    const std::vector<fs::path> books = workbooks();
    ASSERT_EQ(books.size(), ++expectedBooks);
    EXPECT_EQ(window->lastWorkbook().parent_path(), output.path());
    EXPECT_EQ(window->lastWorkbook().filename().string().substr(0, 4), "RZT-");
    ASSERT_TRUE(fs::exists(window->lastWorkbook()));
    EXPECT_EQ(fileNames(window->lastWorkbook()), mode.analysed);
    // "最大": the new workbook is brought up in the spreadsheet application.
    ASSERT_EQ(opened.size(), expectedBooks);
    EXPECT_EQ(opened.back(), window->lastWorkbook().string());
  }
}

TEST_F(frmWelcomeTest, FolderWithoutJavaFilesSaysSoAndStillEndsWithAWorkbook) {
  sources.write("readme.txt", "no Java here");
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  for (const bool taskBar : {false, true}) {
    SCOPED_TRACE(taskBar);
    window->optionDialog().optExcelTaskBar->setChecked(taskBar);
    window->optionDialog().optExcelMax->setChecked(!taskBar);
    start();
    EXPECT_TRUE(messages.shown.empty());
    // Neither the finished text nor the workbook's path hides it.
    EXPECT_EQ(window->statusText(), "解析対象のファイルが存在しません");
    EXPECT_TRUE(fileNames(window->lastWorkbook()).empty());
    EXPECT_EQ(window->fraResult->workbook().toStdString(), window->lastWorkbook().string());
    EXPECT_TRUE(window->fraResult->stateText().startsWith(QStringLiteral("解析対象のファイルが存在しません")));
  }
  EXPECT_EQ(workbooks().size(), 2u);
}

TEST_F(frmWelcomeTest, TwoAnalysesInARowWriteTwoWorkbooks) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  start();
  const fs::path first = window->lastWorkbook();
  start();
  const fs::path second = window->lastWorkbook();
  EXPECT_NE(first, second);
  EXPECT_EQ(workbooks(), (std::vector<fs::path>{std::min(first, second), std::max(first, second)}));
  EXPECT_EQ(fileNames(first), fileNames(second));
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(frmWelcomeTest, ErrorInAFileIsShownAndThePartialWorkbookKept) {
  sources.write("A.java", kGoodJava);
  sources.write("B.java", kTruncatedJava);
  sources.write("C.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  start();

  ASSERT_FALSE(messages.shown.empty());
  const std::string& last = messages.shown.back();
  EXPECT_EQ(last.substr(0, 2), "C:");
  EXPECT_NE(last.find((sources.path() / "B.java").string()), std::string::npos) << last;
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(endsWith(window->statusText(), kFinished));
  // The file measured before the error is in the workbook; those after it are not.
  ASSERT_EQ(workbooks().size(), 1u);
  EXPECT_EQ(fileNames(workbooks().front()), (std::vector<std::string>{"A.java"}));
  EXPECT_EQ(opened.size(), 1u);

  // The window goes on working.
  fs::remove(sources.path() / "B.java");
  messages.shown.clear();
  start();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(endsWith(window->statusText(), kFinished));
  EXPECT_EQ(fileNames(window->lastWorkbook()), (std::vector<std::string>{"A.java", "C.java"}));
}

TEST_F(frmWelcomeTest, SettingsOfTheOptionDialogTakeEffectAtTheNextStart) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  frmOption& options = window->optionDialog();
  options.optDiagOff->click();
  options.optExcelTaskBar->click();
  options.txtExcelZoom->setText(QStringLiteral("150"));
  options.cmdCancel_Click();
  start();

  // "ﾀｽｸﾊﾞｰ": the workbook is not brought up; its path is on the status line.
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(window->statusText(), window->lastWorkbook().string());
  const test::XlsxBook book = test::readXlsx(window->lastWorkbook());
  EXPECT_EQ(book.sheet("診断"), nullptr);
  ASSERT_NE(book.sheet("File"), nullptr);
  EXPECT_EQ(book.sheet("File")->zoom, 150);
}



TEST_F(frmWelcomeTest, OptionCommandsOpenTheOneModalDialog) {
  struct Way {
    const char* name;
    std::function<void(frmWelcome&)> open;
  };
  const Way ways[] = {
      {"button", [](frmWelcome& w) { QTest::mouseClick(w.cmdOption, Qt::LeftButton); }},
      {"menu", [](frmWelcome& w) { w.mnuOption->trigger(); }},
  };
  std::vector<frmOption*> dialogs;
  int typed = 10;
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    ++typed;
    bool answered = false;
    // Types into the open dialog and leaves it with Escape, from inside its loop.
    QTimer::singleShot(0, window.get(), [&] {
      auto* dialog = qobject_cast<frmOption*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      answered = true;
      dialogs.push_back(dialog);
      dialog->txtMLoop->setText(QString::number(typed));
      QTest::keyClick(dialog->txtMLoop, Qt::Key_Escape);
    });
    way.open(*window);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(window->optionDialog().isVisible());
    EXPECT_EQ(window->optionDialog().getMMaxLoop(), typed);
  }
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0], dialogs[1]);
  EXPECT_EQ(dialogs[0], &window->optionDialog());
}

TEST_F(frmWelcomeTest, FieldOutOfRangeEndsTheStartWithItsError) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  window->optionDialog().txtMLoop->setText(QStringLiteral("40000"));
  start();
  EXPECT_EQ(messages.shown, (std::vector<std::string>{"C:オーバーフローしました"}));
  EXPECT_TRUE(workbooks().empty());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(frmWelcomeTest, PushBackFieldChangesNothingInTheWorkbook) {
  sources.write("A.java", kGoodJava);
  sources.write("B.java",
                "class B extends java.util.ArrayList implements Runnable {\n"
                "  public void run() { for (int i = 0; i < size(); i++) { get(i).toString(); } }\n"
                "}\n");
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  auto cells = [](const fs::path& workbook) {
    std::vector<std::string> all;
    for (const test::XlsxSheet& sheet : test::readXlsx(workbook).sheets) {
      for (const auto& [at, cell] : sheet.cells) {
        all.push_back(sheet.name + "!" + std::to_string(at.first) + "," + std::to_string(at.second) + "=" +
                      cell.text + "/" + std::to_string(cell.number));
      }
    }
    return all;
  };
  start();
  const std::vector<std::string> reference = cells(window->lastWorkbook());
  ASSERT_FALSE(reference.empty());
  for (const char* text : {"1", "0", "abc", "99999"}) {
    SCOPED_TRACE(text);
    window->optionDialog().txtSPushBackBuff->setText(QString::fromLatin1(text));
    start();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(cells(window->lastWorkbook()), reference);
  }
}

TEST_F(frmWelcomeTest, EnterStartsTheAnalysisAndEscapeEndsTheProgram) {
  sources.write("A.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  QTest::keyClick(window.get(), Qt::Key_Return);
  ASSERT_TRUE(test::waitForAnalysis(*window));
  EXPECT_TRUE(endsWith(window->statusText(), kFinished));
  EXPECT_EQ(workbooks().size(), 1u);

  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(frmWelcomeTest, ExitClosesEveryWindowOfTheProgram) {
  struct Way {
    const char* name;
    std::function<void(frmWelcome&)> exit;
  };
  const Way ways[] = {
      {"button", [](frmWelcome& w) { QTest::mouseClick(w.cmdExit, Qt::LeftButton); }},
      {"menu", [](frmWelcome& w) { w.mnuExit->trigger(); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    window->show();
    window->mnuAbout->trigger();
    QPointer<frmAbout> about;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* a = qobject_cast<frmAbout*>(w); a != nullptr && a->isVisible()) about = a;
    }
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isModal());
    QPointer<frmOption> options = &window->optionDialog();

    way.exit(*window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(about.isNull());
    EXPECT_TRUE(options.isNull());
  }
}

}  // namespace
}  // namespace rzt::ui
