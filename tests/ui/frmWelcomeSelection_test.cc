// The main window shows the path it will analyse and takes it from a single
// click, a drop, a typed or pasted path, and from the last run.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileControls.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XlsxReader.h"
#include "frmOption.h"
#include "frmWelcome.h"

namespace rzt::ui {
namespace {

namespace fs = std::filesystem;
using test::kGoodJava;

class frmWelcomeSelection : public test::MainWindowTest {
 public:
  void SetUp() override {
    test::MainWindowTest::SetUp();
    sources.write("a/A.java", kGoodJava);
    sources.write("a/B.java", kGoodJava);
    sources.write("a/sub/C.java", kGoodJava);
    sources.write("a/notes.txt", "not Java");
  }

  std::string a() const { return (sources.path() / "a").string(); }
  std::string sub() const { return (sources.path() / "a" / "sub").string(); }
  std::string pathField() const { return window->txtPath->text().toStdString(); }

  // The files of the last workbook's File sheet.
  std::vector<std::string> analysed() const {
    return column(test::readXlsx(window->lastWorkbook()), "File", 1);
  }

  QListWidgetItem* folderItem(const std::string& name) const {
    for (int i = 0; i < window->dirSelect->count(); ++i) {
      if (window->dirSelect->item(i)->text().trimmed().toStdString() == name) return window->dirSelect->item(i);
    }
    return nullptr;
  }

  void drop(const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &dropped);
  }

  void type(const QString& text) {
    window->txtPath->setFocus();
    window->txtPath->selectAll();
    QTest::keyClicks(window->txtPath, text);
    QTest::keyClick(window->txtPath, Qt::Key_Return);
  }
};

TEST_F(frmWelcomeSelection, PathFieldShowsWhatEachChoiceAnalyses) {
  ASSERT_TRUE(window->selectDirectory(a()));
  EXPECT_EQ(pathField(), a());
  QTest::mouseClick(window->optFile, Qt::LeftButton);
  EXPECT_EQ(pathField(), a()) << "no file chosen yet";
  ASSERT_TRUE(window->filSelect->selectFile("B.java"));
  EXPECT_EQ(pathField(), a() + "/B.java");
  QTest::mouseClick(window->optAllDir, Qt::LeftButton);
  EXPECT_EQ(pathField(), a());
  QTest::mouseClick(window->optDir, Qt::LeftButton);
  EXPECT_EQ(pathField(), a());
}

TEST_F(frmWelcomeSelection, SingleClickOnAFolderMakesItTheOneAnalysed) {
  ASSERT_TRUE(window->selectDirectory(a()));
  const int listed = window->dirSelect->count();
  QListWidgetItem* item = folderItem("sub");
  ASSERT_NE(item, nullptr);
  QTest::mouseClick(window->dirSelect->viewport(), Qt::LeftButton, Qt::NoModifier,
                    window->dirSelect->visualItemRect(item).center());

  EXPECT_EQ(window->dirSelect->path(), sub());
  // The list itself stays where it was; a double click would enter the folder.
  EXPECT_EQ(window->dirSelect->listedPath(), a());
  EXPECT_EQ(window->dirSelect->count(), listed);
  EXPECT_EQ(pathField(), sub());
  ASSERT_EQ(window->filSelect->count(), 1);
  EXPECT_EQ(window->filSelect->item(0)->text().toStdString(), "C.java");
  start();
  EXPECT_EQ(analysed(), std::vector<std::string>{"C.java"});

  // A click on the folder above chooses it again.
  QListWidgetItem* parent = folderItem("a");
  ASSERT_NE(parent, nullptr);
  QTest::mouseClick(window->dirSelect->viewport(), Qt::LeftButton, Qt::NoModifier,
                    window->dirSelect->visualItemRect(parent).center());
  EXPECT_EQ(window->dirSelect->path(), a());
  start();
  EXPECT_EQ(analysed(), (std::vector<std::string>{"A.java", "B.java"}));
}

struct PathCase {
  const char* name;
  std::function<void(frmWelcomeSelection&, const std::string& a)> choose;
  std::string relative;  // what is chosen, below the sources; empty: nothing
  bool fileMode;
  std::vector<std::string> analysed;
};

class frmWelcomePathCases : public frmWelcomeSelection, public ::testing::WithParamInterface<size_t> {
 public:
  static const std::vector<PathCase>& cases() {
    static const std::vector<PathCase> all = {
        {"DropFolder", [](frmWelcomeSelection& t, const std::string& a) { t.drop(QString::fromStdString(a + "/sub")); },
         "a/sub", false, {"C.java"}},
        {"DropJavaFile",
         [](frmWelcomeSelection& t, const std::string& a) { t.drop(QString::fromStdString(a + "/B.java")); }, "a/B.java",
         true, {"B.java"}},
        {"TypeFolder", [](frmWelcomeSelection& t, const std::string& a) { t.type(QString::fromStdString(a + "/sub/")); },
         "a/sub", false, {"C.java"}},
        {"TypeJavaFile",
         [](frmWelcomeSelection& t, const std::string& a) { t.type(QString::fromStdString(a + "/A.java")); }, "a/A.java",
         true, {"A.java"}},
        {"TypeQuotedFolder",
         [](frmWelcomeSelection& t, const std::string& a) { t.type(QString::fromStdString(" \"" + a + "/sub\" ")); },
         "a/sub", false, {"C.java"}},
        {"TypeFileUrl",
         [](frmWelcomeSelection& t, const std::string& a) {
           t.type(QUrl::fromLocalFile(QString::fromStdString(a + "/sub")).toString());
         },
         "a/sub", false, {"C.java"}},
        {"PasteFolder",
         [](frmWelcomeSelection& t, const std::string& a) {
           QApplication::clipboard()->setText(QString::fromStdString(a + "/sub"));
           t.window->txtPath->setFocus();
           t.window->txtPath->selectAll();
           t.window->txtPath->paste();
           QTest::keyClick(t.window->txtPath, Qt::Key_Return);
         },
         "a/sub", false, {"C.java"}},
        {"TypeMissing", [](frmWelcomeSelection& t, const std::string& a) { t.type(QString::fromStdString(a + "/gone")); },
         "", false, {"A.java", "B.java"}},
        {"TypeOtherFile",
         [](frmWelcomeSelection& t, const std::string& a) { t.type(QString::fromStdString(a + "/notes.txt")); }, "",
         false, {"A.java", "B.java"}},
    };
    return all;
  }
};

TEST_P(frmWelcomePathCases, ChoosesTheFolderOrFileOrSaysWhyNot) {
  const PathCase& c = cases()[GetParam()];
  ASSERT_TRUE(window->selectDirectory(a()));
  c.choose(*this, a());
  // Enter in the path field chooses; it does not start an analysis.
  EXPECT_FALSE(window->isAnalysing());
  EXPECT_TRUE(workbooks().empty());

  if (c.relative.empty()) {
    EXPECT_EQ(window->dirSelect->path(), a());
    EXPECT_EQ(pathField(), a());
    EXPECT_FALSE(window->statusText().empty());
    EXPECT_NE(window->statusText().find(a()), std::string::npos) << window->statusText();
  } else {
    EXPECT_EQ(pathField(), (sources.path() / c.relative).string());
  }
  EXPECT_EQ(window->optFile->isChecked(), c.fileMode);
  EXPECT_EQ(window->filSelect->isEnabled(), c.fileMode);
  start();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(analysed(), c.analysed);
}

INSTANTIATE_TEST_SUITE_P(Ways, frmWelcomePathCases, ::testing::Range<size_t>(0, frmWelcomePathCases::cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           return std::string(frmWelcomePathCases::cases()[info.param].name);
                         });

TEST_F(frmWelcomeSelection, FolderChosenByPathLeavesTheFileChoice) {
  ASSERT_TRUE(window->selectDirectory(a()));
  QTest::mouseClick(window->optFile, Qt::LeftButton);
  drop(QString::fromStdString(sub()));
  EXPECT_TRUE(window->optDir->isChecked());
  EXPECT_FALSE(window->filSelect->isEnabled());
  QTest::mouseClick(window->optAllDir, Qt::LeftButton);
  drop(QString::fromStdString(a()));
  EXPECT_TRUE(window->optAllDir->isChecked()) << "a folder tree stays a folder tree";
  start();
  EXPECT_EQ(analysed(), (std::vector<std::string>{"A.java", "B.java", "C.java"}));
}

TEST_F(frmWelcomeSelection, LastFolderAnalysedIsTheStartFolderNextTimeButNotTheOptions) {
  const std::string home = fs::path(QDir::homePath().toStdString()).lexically_normal().string();
  ASSERT_EQ(window->dirSelect->path(), home);
  ASSERT_TRUE(window->selectDirectory(sub()));
  window->optionDialog().chkKeepGoing->setChecked(true);
  window->optionDialog().optExcelTaskBar->setChecked(true);
  window->optionDialog().txtMLoop->setText(QStringLiteral("3"));
  start();

  makeWindow();
  EXPECT_EQ(window->dirSelect->path(), sub());
  EXPECT_EQ(pathField(), sub());
  EXPECT_TRUE(window->optDir->isChecked());
  EXPECT_FALSE(window->optionDialog().chkKeepGoing->isChecked());
  EXPECT_TRUE(window->optionDialog().optExcelMax->isChecked());
  EXPECT_EQ(window->optionDialog().txtMLoop->text().toStdString(), "10");
  EXPECT_TRUE(fs::exists(settingsFile().toStdString()));

  // A single file's folder is kept too.
  ASSERT_TRUE(window->selectPath(a() + "/A.java"));
  start();
  makeWindow();
  EXPECT_EQ(window->dirSelect->path(), a());

  // A folder that is gone leaves the home folder.
  fs::remove_all(sources.path() / "a");
  makeWindow();
  EXPECT_EQ(window->dirSelect->path(), home);
}

}  // namespace
}  // namespace rzt::ui
