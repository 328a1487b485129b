// What an analysis thread hands to the window's thread: message boxes that
// it waits for, status texts and progress that it does not.

#include <QCoreApplication>
#include <QLabel>
#include <QObject>
#include <QProgressBar>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "GuiThreadUserMessage.h"
#include "ProgressRelay.h"
#include "StatusLabel.h"
#include "TestSupport.h"

namespace rzt::ui {
namespace {

// Keeps the boxes with the thread each was shown on.
class ThreadRecordingUserMessage : public rzt::test::RecordingUserMessage {
 public:
  void showMessage(const std::string& text) override {
    threads.push_back(QThread::currentThread());
    RecordingUserMessage::showMessage(text);
  }
  void showCritical(const std::string& text) override {
    threads.push_back(QThread::currentThread());
    RecordingUserMessage::showCritical(text);
  }
  std::vector<QThread*> threads;
};

// Lets the window's thread run until done is set, or a long while passes.
bool processUntil(const std::atomic<bool>& done) {
  for (int i = 0; i < 30000 && !done.load(); ++i) QTest::qWait(10);
  return done.load();
}

TEST(GuiThreadUserMessage, BoxFromAnotherThreadIsShownOnTheWindowThreadAndWaitedFor) {
  QObject context;
  ThreadRecordingUserMessage target;
  GuiThreadUserMessage messages(context, target);
  std::atomic<bool> done{false};
  std::vector<size_t> seenAfterEachCall;
  std::thread analysis([&] {
    messages.showMessage("one");
    seenAfterEachCall.push_back(target.shown.size());
    messages.showCritical("two");
    seenAfterEachCall.push_back(target.shown.size());
    done = true;
  });
  // Nothing is shown while the window's thread does not run its events.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(target.shown.empty());
  EXPECT_FALSE(done.load());
  ASSERT_TRUE(processUntil(done));
  analysis.join();

  EXPECT_EQ(target.shown, (std::vector<std::string>{"I:one", "C:two"}));
  EXPECT_EQ(target.threads, (std::vector<QThread*>{QThread::currentThread(), QThread::currentThread()}));
  // Each call returned only after its box had been shown.
  EXPECT_EQ(seenAfterEachCall, (std::vector<size_t>{1, 2}));
  // On the window's own thread a box is shown at once.
  messages.showMessage("three");
  EXPECT_EQ(target.shown.back(), "I:three");
}

TEST(GuiThreadUserMessage, HeldBackBoxesAreKeptInOrderAndNotShown) {
  QObject context;
  ThreadRecordingUserMessage target;
  GuiThreadUserMessage messages(context, target);
  messages.setHoldBack(true);
  std::thread analysis([&] {
    messages.showMessage("eof");
    messages.showCritical("mismatch");
  });
  analysis.join();  // returns without the window's thread answering
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.shown.empty());
  const std::vector<GuiThreadUserMessage::Held> held = messages.takeHeld();
  ASSERT_EQ(held.size(), 2u);
  EXPECT_FALSE(held[0].critical);
  EXPECT_EQ(held[0].text, "eof");
  EXPECT_TRUE(held[1].critical);
  EXPECT_EQ(held[1].text, "mismatch");
  EXPECT_TRUE(messages.takeHeld().empty());

  messages.setHoldBack(false);
  messages.showMessage("shown");
  EXPECT_EQ(target.shown, std::vector<std::string>{"I:shown"});
}

TEST(GuiThreadUserMessage, AbandonReleasesTheThreadThatWaits) {
  ThreadRecordingUserMessage target;
  auto context = std::make_unique<QObject>();
  GuiThreadUserMessage messages(*context, target);
  std::atomic<bool> returned{false};
  std::thread analysis([&] {
    messages.showMessage("never answered");
    messages.showMessage("asked after");
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  messages.abandon();
  analysis.join();
  EXPECT_TRUE(returned.load());
  // The box's request goes with its window.
  context.reset();
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.shown.empty());
}

TEST(StatusLabel, TextsFromAnotherThreadReachTheLabelOnItsThreadTheLastOneWinning) {
  QLabel label;
  StatusLabel status(label);
  std::thread analysis([&] {
    for (int i = 1; i <= 5000; ++i) status.setText("text " + std::to_string(i));
  });
  analysis.join();
  // The label is touched only on its own thread.
  EXPECT_TRUE(label.text().isEmpty());
  EXPECT_EQ(status.text(), "text 5000");
  QCoreApplication::processEvents();
  EXPECT_EQ(label.text().toStdString(), "text 5000");
  status.setText("here");
  EXPECT_EQ(label.text().toStdString(), "here");
}

TEST(ProgressRelay, CountFromAnotherThreadReachesTheBar) {
  QProgressBar bar;
  ProgressRelay progress(bar);
  progress.start();
  EXPECT_EQ(bar.maximum(), 0) << "busy until the files are counted";
  std::thread analysis([&] {
    for (int32_t done = 0; done <= 700; ++done) progress.setProgress(done, 700);
  });
  analysis.join();
  EXPECT_EQ(bar.maximum(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(bar.maximum(), 700);
  EXPECT_EQ(bar.value(), 700);
}

}  // namespace
}  // namespace rzt::ui
