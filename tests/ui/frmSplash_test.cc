#include "frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "AppInfo.h"
#include "FileControls.h"
#include "MessageBoxUserMessage.h"
#include "TestSupport.h"
#include "frmAbout.h"
#include "frmWelcome.h"

namespace rzt::ui {
namespace {

// The main windows the splash window has brought up, visible ones only.
std::vector<frmWelcome*> openMainWindows() {
  std::vector<frmWelcome*> found;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* welcome = qobject_cast<frmWelcome*>(w); welcome != nullptr && welcome->isVisible()) {
      found.push_back(welcome);
    }
  }
  return found;
}

TEST(frmSplashTest, ShowsTitleAndVersionThenHandsOverToTheMainWindow) {
  QPointer<frmSplash> splash = new frmSplash;
  splash->show();
  EXPECT_EQ(splash->lblProductName->text().toStdString(), "RZT");
  EXPECT_EQ(splash->lblVersion->text().toStdString(), "ﾊﾞｰｼﾞｮﾝ 1.0.1");
  EXPECT_TRUE(splash->lblWarning->text().isEmpty());
  EXPECT_FALSE(splash->lblCompanyProduct->text().isEmpty());
  EXPECT_FALSE(splash->lblCompany->text().isEmpty());
  EXPECT_TRUE(splash->Label1->text().startsWith(QStringLiteral("- ")));
  EXPECT_TRUE(splash->Label1->text().endsWith(QStringLiteral(" -")));
  EXPECT_TRUE(splash->Timer1->isActive());
  EXPECT_TRUE(splash->Timer1->isSingleShot());
  EXPECT_EQ(splash->Timer1->interval(), 1000);
  ASSERT_TRUE(openMainWindows().empty());

  // What the timer does when it fires.
  splash->Timer1_Timer();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_TRUE(splash.isNull());
  const std::vector<frmWelcome*> windows = openMainWindows();
  ASSERT_EQ(windows.size(), 1u);
  windows.front()->close();  // deletes itself, as the program's main window does
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(openMainWindows().empty());
}

TEST(frmSplashTest, StartFolderReachesTheMainWindow) {
  test::TempDir folder;
  folder.write("Only.java", "class Only {}\n");
  auto* splash = new frmSplash(folder.str());
  splash->Timer1_Timer();
  const std::vector<frmWelcome*> windows = openMainWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows.front()->dirSelect->path(), folder.str());
  EXPECT_EQ(windows.front()->filSelect->count(), 1);
  windows.front()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(frmAboutTest, ShowsTheVersionAndClosesWithOK) {
  QPointer<frmAbout> about = new frmAbout;
  about->show();
  EXPECT_EQ(about->windowTitle().toStdString(), "RZTのﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(about->lblTitle->text().toStdString(), "RZT");
  EXPECT_EQ(about->lblVersion->text().toStdString(), "ﾊﾞｰｼﾞｮﾝ 1.0.1");
  EXPECT_FALSE(about->lblDescription->text().isEmpty());
  EXPECT_FALSE(about->lblDisclaimer->text().isEmpty());
  EXPECT_FALSE(about->picIcon->pixmap().isNull());
  EXPECT_FALSE(about->isModal());
  QTest::mouseClick(about->cmdOK, Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
}

TEST(MessageBoxUserMessageTest, BoxesHaveOnlyOKAndNoTitleOfTheirOwn) {
  struct Row {
    const char* name;
    std::function<void(IUserMessage&, const std::string&)> show;
    QMessageBox::Icon icon;
  };
  const Row rows[] = {
      {"message", [](IUserMessage& m, const std::string& t) { m.showMessage(t); }, QMessageBox::NoIcon},
      {"critical", [](IUserMessage& m, const std::string& t) { m.showCritical(t); }, QMessageBox::Critical},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MessageBoxUserMessage boxes;
    bool seen = false;
    // Answers the box from inside its own event loop, as a user would.
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen = true;
      EXPECT_TRUE(box->windowTitle().isEmpty());
      EXPECT_EQ(box->text().toStdString(), "ファイルを選択してください");
      EXPECT_EQ(box->icon(), row.icon);
      EXPECT_EQ(box->buttons().size(), 1);
      EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
      QTest::keyClick(box, Qt::Key_Return);
    });
    row.show(boxes, "ファイルを選択してください");
    EXPECT_TRUE(seen);
  }
}

}  // namespace
}  // namespace rzt::ui
