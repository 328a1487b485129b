#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "GuiThreadUserMessage.h"
#include "MessageBoxUserMessage.h"
#include "ProgressRelay.h"
#include "StatusLabel.h"
#include "UserSettings.h"
#include "report/IReportWriter.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QThread;

namespace rzt {
class AnalyzerMain;
class IUserMessage;
class IWorkbook;
class OutputMgr;
class ReportComparer;
}  // namespace rzt

namespace rzt::ui {

class DirectoryList;
class DriveList;
class FileList;
class ReportPanel;
class frmAbout;
class frmOption;

// The main window: chooses a Java file, a folder or a folder tree, runs the
// analysis on a thread of its own while it shows the progress, says where
// the workbook went, and shuts the program down.
class frmWelcome final : public QMainWindow {
  Q_OBJECT
 public:
  // Where the window's effects go; a test replaces them so that nothing
  // blocks and nothing leaves its folder.
  struct Environment {
    // The message boxes; nullptr: real ones over this window.
    IUserMessage* userMessage = nullptr;
    // The folder of the workbooks; empty: the user's temporary folder.
    QString outputFolder;
    // Brings a written workbook up; empty: the desktop's application for it.
    // Answers false when it could not.
    std::function<bool(const QString& path)> openWorkbook;
    // Shows a folder; empty: the desktop's file manager. False when it could not.
    std::function<bool(const QString& folder)> openFolder;
    // Asks where to save a copy of the workbook; empty: a file dialog. An
    // empty answer is a cancel.
    std::function<QString(const QString& suggested)> askSavePath;
    // Asks a question with the answers yes (true) and no; empty: a box.
    std::function<bool(const QString& question)> askYesNo;
    // The settings kept between runs; empty: the program's own file in the
    // user's configuration folder.
    QString settingsFile;
    // The threads that analyse the files; 0: one for each processor.
    int32_t jobs = 0;
  };

  explicit frmWelcome(QWidget* parent = nullptr);
  explicit frmWelcome(Environment environment, QWidget* parent = nullptr);
  // An analysis still running is stopped and waited for.
  ~frmWelcome() override;

  // Shows a folder in the lists (the program's optional argument); when it
  // cannot be listed, says so on the status line and answers false.
  bool selectDirectory(const std::string& dir);
  // Makes a folder, or a Java file, the one analysed, as a path dropped on
  // the window or typed into the path field does; says on the status line
  // why not and answers false when it cannot.
  bool selectPath(const std::string& path);
  // The option dialog, created with its defaults on first use.
  frmOption& optionDialog();
  // The workbook written by the last analysis; empty before the first.
  const std::filesystem::path& lastWorkbook() const { return lastWorkbook_; }
  // The text the status line shows.
  std::string statusText() const;
  // An analysis runs on its thread.
  bool isAnalysing() const { return worker_ != nullptr; }

  // Controls, named as the window declares them.
  QPushButton* cmdOption;
  QGroupBox* Frame1;
  QRadioButton* optFile;
  QRadioButton* optDir;
  QRadioButton* optAllDir;
  QPushButton* cmdExit;
  FileList* filSelect;
  DirectoryList* dirSelect;
  DriveList* drvSelect;
  QPushButton* cmdOK;
  QLabel* lblMsg;
  QMenu* mnuFile;
  QAction* mnuExit;
  QMenu* mnuTool;
  QAction* mnuOption;
  QMenu* mnuHelp;
  QAction* mnuAbout;
  // The path that will be analysed, which a path typed here replaces.
  QLabel* lblPath;
  QLineEdit* txtPath;
  // What the last analysis wrote.
  ReportPanel* fraResult;
  // Files done of the files to do, during an analysis.
  QProgressBar* prgAnalysis;
  // Stops the analysis after the file at work.
  QPushButton* cmdStop;

 signals:
  // An analysis that ran on its thread has ended and its outcome is shown.
  void analysisEnded();

 public slots:
  void drvSelect_Change();
  void dirSelect_Change();
  void optFile_Click();
  void optDir_Click();
  void optAllDir_Click();
  void cmdOK_Click();
  void cmdOption_Click();
  void mnuOption_Click();
  void mnuAbout_Click();
  void cmdExit_Click();
  void mnuExit_Click();
  void cmdStop_Click();
  void txtPath_Change();

 protected:
  // Enter starts the analysis, Escape ends the program.
  void keyPressEvent(QKeyEvent* event) override;
  // Closing the window ends the program like the exit button; during an
  // analysis it first asks whether to stop it.
  void closeEvent(QCloseEvent* event) override;
  // A folder or a Java file dropped on the window is the one analysed.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // What an analysis is run on.
  struct Target {
    bool isFile = false;
    std::string dirName;
    std::string fileName;  // only for a file
    bool subDir = false;
  };
  // How the analysis on its thread ended.
  struct Outcome {
    enum class Kind { kFinished, kStopped, kFailed };
    Kind kind = Kind::kFinished;
    int32_t errorNumber = 0;
    std::string errorText;
    // Finished: the workbook was written, but its comparison with the
    // earlier report failed for this reason.
    std::string comparisonFailure;
  };

  void Form_Load();
  IUserMessage& messages();
  // The selection to analyse; false, after saying why, when there is none.
  bool chooseTarget(Target& target);
  void startAnalysis(const Target& target);
  // Reads the earlier report the option dialog names, if any, and hands it
  // to the report writer; raises when it cannot be read.
  void prepareComparison(const frmOption& options);
  void analyse(const Target& target);
  void analysisFinished();
  // Shows how the analysis ended; then closes the window when that was
  // asked for and closeIfRequested.
  void concludeAnalysis(bool closeIfRequested);
  void showFinished(const std::vector<GuiThreadUserMessage::Held>& held);
  void showStopped();
  void reportError(const std::string& description, int32_t number, bool duringAnalysis);
  // Writes what was measured into the workbook under its partial name;
  // false, adding why to failure, when it could not.
  bool writePartialWorkbook(std::string& failure);
  void presentWorkbook();
  std::string keepGoingSummary(const std::vector<GuiThreadUserMessage::Held>& held) const;
  void setBusy(bool busy);
  void updatePathField();
  std::unique_ptr<IWorkbook> makeWorkbook();
  std::filesystem::path newWorkbookPath() const;
  void unloadAll();

  Environment environment_;
  MessageBoxUserMessage boxes_;
  GuiThreadUserMessage analysisMessages_;
  StatusLabel statusLine_;
  std::unique_ptr<ProgressRelay> progress_;
  UserSettings settings_;
  QPointer<frmOption> option_;
  QPointer<frmAbout> about_;
  std::unique_ptr<AnalyzerMain> analyzer;
  std::unique_ptr<OutputMgr> outputMgr;
  // Compares each workbook with the earlier report the options name.
  std::unique_ptr<ReportComparer> comparer_;
  // The file the workbook being made will be written to.
  std::filesystem::path pendingWorkbook_;
  std::filesystem::path lastWorkbook_;

  // The analysis on its thread; what it ran with and how it ended.
  std::unique_ptr<QThread> worker_;
  Outcome outcome_;
  bool runModern_ = false;
  bool runKeepGoing_ = false;
  std::vector<SkippedFileRecord> skipped_;  // written by the analysis thread
  std::atomic<int32_t> filesDone_{0};
  // The window is to close once the analysis has stopped.
  bool closeRequested_ = false;
  // The question whether to stop and close is open; the analysis ended
  // meanwhile and waits for the answer.
  bool askingToClose_ = false;
  bool endPending_ = false;
  QPointer<QWidget> focusBeforeRun_;
};

}  // namespace rzt::ui
