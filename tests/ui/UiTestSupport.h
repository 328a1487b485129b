#pragma once

// Helpers of the widget tests of the main window.

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <string>

#include "TestSupport.h"
#include "frmWelcome.h"

namespace rzt::test {

// Waits, the events flowing, until the window's analysis has ended; false
// when it has not ended in a long while (a hang, not slowness).
inline bool waitForAnalysis(ui::frmWelcome& window) {
  if (!window.isAnalysing()) return true;
  QSignalSpy ended(&window, &ui::frmWelcome::analysisEnded);
  constexpr int kHangMs = 300000;
  return ended.wait(kHangMs) || !window.isAnalysing();
}

// Presses "解析実行" and waits until the analysis has ended.
inline bool runAnalysis(ui::frmWelcome& window) {
  QTest::mouseClick(window.cmdOK, Qt::LeftButton);
  return waitForAnalysis(window);
}

// Keeps every message box like RecordingUserMessage, and runs a hook for
// each critical one while the box would be open.
class HookedUserMessage : public RecordingUserMessage {
 public:
  void showCritical(const std::string& text) override {
    RecordingUserMessage::showCritical(text);
    if (onCritical) onCritical(text);
  }
  std::function<void(const std::string&)> onCritical;
};

}  // namespace rzt::test
