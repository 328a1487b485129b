#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include "MessageBoxUserMessage.h"
#include "StatusLabel.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace rzt {
class AnalyzerMain;
class IUserMessage;
class IWorkbook;
class OutputMgr;
}  // namespace rzt

namespace rzt::ui {

class DirectoryList;
class DriveList;
class FileList;
class frmOption;

// The main window: chooses a Java file, a folder or a folder tree, runs the
// analysis inside its start button's handler, writes the workbook and shuts
// the program down.
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
  };

  explicit frmWelcome(QWidget* parent = nullptr);
  explicit frmWelcome(Environment environment, QWidget* parent = nullptr);
  ~frmWelcome() override;

  // Shows a folder in the lists (the program's optional argument); when it
  // cannot be listed, says so on the status line and answers false.
  bool selectDirectory(const std::string& dir);
  // The option dialog, created with its defaults on first use.
  frmOption& optionDialog();
  // The workbook written by the last analysis; empty before the first.
  const std::filesystem::path& lastWorkbook() const { return lastWorkbook_; }
  // The text of the status line.
  std::string statusText() const { return statusLine_.text(); }

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

 protected:
  // Enter starts the analysis, Escape ends the program.
  void keyPressEvent(QKeyEvent* event) override;
  // Closing the window ends the program like the exit button; refused while
  // an analysis runs.
  void closeEvent(QCloseEvent* event) override;

 private:
  void Form_Load();
  IUserMessage& messages();
  // Runs the chosen analysis; false when the selection stopped it.
  bool runAnalysis();
  void reportError(const std::string& description, bool duringAnalysis);
  void writePartialWorkbook();
  void presentWorkbook();
  std::unique_ptr<IWorkbook> makeWorkbook();
  std::filesystem::path newWorkbookPath() const;
  void unloadAll();

  Environment environment_;
  MessageBoxUserMessage boxes_;
  StatusLabel statusLine_;
  QPointer<frmOption> option_;
  std::unique_ptr<AnalyzerMain> analyzer;
  std::unique_ptr<OutputMgr> outputMgr;
  // The file the workbook being made will be written to.
  std::filesystem::path pendingWorkbook_;
  std::filesystem::path lastWorkbook_;
  bool busy_ = false;
};

}  // namespace rzt::ui
