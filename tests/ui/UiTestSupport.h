#pragma once

// Helpers of the widget tests of the main window.

#include <QCoreApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QString>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "XlsxReader.h"
#include "frmWelcome.h"

namespace rzt::test {

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

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

// A main window whose message boxes, workbooks, settings, desktop and
// questions are the test's own, recording what it was asked to do.
class MainWindowTest : public ::testing::Test {
 public:
  void SetUp() override { makeWindow(); }
  void TearDown() override {
    if (window) window->close();
    window.reset();
  }

  // A new window in place of the old one; jobs as for the environment.
  void makeWindow(int32_t jobs = 0) {
    window.reset();
    ui::frmWelcome::Environment environment;
    environment.userMessage = &messages;
    environment.outputFolder = QString::fromStdString(output.str());
    environment.settingsFile = settingsFile();
    environment.openWorkbook = [this](const QString& path) {
      opened.push_back(path.toStdString());
      return workbookOpens;
    };
    environment.openFolder = [this](const QString& folder) {
      foldersOpened.push_back(folder.toStdString());
      return folderOpens;
    };
    environment.askSavePath = [this](const QString& suggested) {
      suggestedSavePaths.push_back(suggested.toStdString());
      return QString::fromStdString(saveAnswer);
    };
    environment.askYesNo = [this](const QString& question) {
      questions.push_back(question.toStdString());
      if (askHook) askHook();
      return answerYes;
    };
    environment.jobs = jobs;
    window = std::make_unique<ui::frmWelcome>(environment);
    window->show();
  }

  QString settingsFile() const { return QString::fromStdString((configuration.path() / "rzt.ini").string()); }

  void start() { ASSERT_TRUE(runAnalysis(*window)); }

  // The workbooks in the output folder, by name.
  std::vector<std::filesystem::path> workbooks() const {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(output.path())) {
      if (entry.path().extension() == ".xlsx") found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  // The texts of one column of a sheet below its heading.
  static std::vector<std::string> column(const XlsxBook& book, const std::string& sheet, int32_t col) {
    std::vector<std::string> texts;
    const XlsxSheet* s = book.sheet(sheet);
    if (s == nullptr) return texts;
    for (int32_t row = 2; row <= s->lastRow(); ++row) texts.push_back(s->text(row, col));
    return texts;
  }

  TempDir configuration;
  TempDir sources;
  TempDir output;
  HookedUserMessage messages;
  std::vector<std::string> opened;
  bool workbookOpens = true;
  std::vector<std::string> foldersOpened;
  bool folderOpens = true;
  std::vector<std::string> suggestedSavePaths;
  std::string saveAnswer;
  std::vector<std::string> questions;
  // Runs while a question is open, before it is answered.
  std::function<void()> askHook;
  bool answerYes = true;
  std::unique_ptr<ui::frmWelcome> window;
};

// Java texts of the widget tests.
inline const char* const kGoodJava =
    "package p;\n"
    "public class Good {\n"
    "  public int twice(int x) { if (x > 0) { return x * 2; } return 0; }\n"
    "}\n";
// Ends inside the class body after one finished method: error 500020.
inline const char* const kTruncatedJava = "class Broken {\n  void ok() { }\n  int x;\n";
// Makes the word reader show its mismatch box (critical), and goes on.
inline const char* const kMismatchJava = "class Odd { void f() { switch (k) x case 1: a(); } } }\n";

// The partial report's line on its sheet Summ.
inline constexpr const char* kEndedEarly = "解析は途中で終了しました。このレポートは途中までの結果です。";

}  // namespace rzt::test
