// The windows beside the main window: one version window in front of it,
// the option dialog where it was last, and what the display choices say.

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <vector>

#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "frmAbout.h"
#include "frmOption.h"
#include "frmWelcome.h"

namespace rzt::ui {
namespace {

std::vector<frmAbout*> visibleAboutWindows() {
  std::vector<frmAbout*> found;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* about = qobject_cast<frmAbout*>(w); about != nullptr && about->isVisible()) found.push_back(about);
  }
  return found;
}

class frmWelcomeWindows : public test::MainWindowTest {};

TEST_F(frmWelcomeWindows, AboutOpensOnceInFrontOfTheMainWindow) {
  window->mnuAbout->trigger();
  window->mnuAbout->trigger();
  std::vector<frmAbout*> open = visibleAboutWindows();
  ASSERT_EQ(open.size(), 1u);
  QPointer<frmAbout> first = open.front();
  // A window of the main window's stays in front of it.
  EXPECT_EQ(first->parentWidget(), window.get());
  EXPECT_FALSE(first->isModal());
  EXPECT_TRUE(window->cmdOK->isEnabled());

  // Once closed with OK, the menu brings up a new one.
  QTest::mouseClick(first->cmdOK, Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  EXPECT_TRUE(visibleAboutWindows().empty());
  window->mnuAbout->trigger();
  EXPECT_EQ(visibleAboutWindows().size(), 1u);
}

TEST_F(frmWelcomeWindows, OptionDialogOpensWhereItWasLast) {
  const QPoint moved(137, 91);
  std::vector<QPoint> seen;
  QPoint left;  // where the dialog was when it was left
  for (int open = 0; open < 3; ++open) {
    QTimer::singleShot(0, window.get(), [&] {
      auto* dialog = qobject_cast<frmOption*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      seen.push_back(dialog->pos());
      // Moved as the window manager moves it, not through the widget.
      if (seen.size() == 1) {
        dialog->windowHandle()->setPosition(moved);
        QCoreApplication::processEvents();
        left = dialog->pos();
      }
      dialog->cmdOK->click();
    });
    window->mnuOption->trigger();
  }
  ASSERT_EQ(seen.size(), 3u);
  ASSERT_NE(seen[0], left);
  EXPECT_EQ(seen[1], left);
  EXPECT_EQ(seen[2], left);
}

TEST_F(frmWelcomeWindows, DisplayChoicesSayWhatTheyDoHere) {
  frmOption& options = window->optionDialog();
  for (QRadioButton* choice : {options.optExcelMax, options.optExcelTaskBar}) {
    SCOPED_TRACE(choice->objectName().toStdString());
    EXPECT_TRUE(choice->toolTip().contains(QStringLiteral(".xlsx"))) << choice->toolTip().toStdString();
  }
  EXPECT_NE(options.optExcelMax->toolTip(), options.optExcelTaskBar->toolTip());
  // The captions stay as they are.
  EXPECT_EQ(options.optExcelMax->text().toStdString(), "最大");
  EXPECT_EQ(options.optExcelTaskBar->text().toStdString(), "ﾀｽｸﾊﾞｰ");
}

}  // namespace
}  // namespace rzt::ui
