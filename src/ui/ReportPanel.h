#pragma once

#include <filesystem>
#include <functional>

#include <QGroupBox>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace rzt {
class IUserMessage;
}

namespace rzt::ui {

// The part of the main window that says what the last analysis wrote: the
// workbook's full path and how it ended, with buttons to open it, open its
// folder and save a copy elsewhere. A failure is said in the panel and, for
// a button the user pressed, in a box naming the path.
class ReportPanel final : public QGroupBox {
  Q_OBJECT
 public:
  // How the panel reaches the desktop; an empty one uses the desktop's own.
  struct Desktop {
    // Opens the workbook in the application for it; false when it could not.
    std::function<bool(const QString& path)> openWorkbook;
    // Shows the folder in the file manager; false when it could not.
    std::function<bool(const QString& folder)> openFolder;
    // Asks where to save a copy, starting at suggested; empty: cancelled.
    std::function<QString(const QString& suggested)> askSavePath;
  };

  ReportPanel(IUserMessage& messages, Desktop desktop, QWidget* parent = nullptr);

  // An analysis runs: no workbook to offer yet.
  void showBusy();
  // No workbook was written; state says why.
  void showNone(const QString& state);
  // The workbook at path was written; state says how the analysis ended.
  void showWorkbook(const std::filesystem::path& path, const QString& state);
  // The workbook shown; empty when none is.
  const QString& workbook() const { return workbook_; }
  // The text that says how the analysis ended and what became of the file.
  QString stateText() const;

  // Brings the workbook up; when it cannot, says so in the panel, and with
  // tellByBox in a box as well.
  bool openWorkbook(bool tellByBox);

  QLabel* lblResult;
  QLineEdit* txtWorkbook;
  QPushButton* cmdOpenWorkbook;
  QPushButton* cmdOpenFolder;
  QPushButton* cmdSaveAs;

 public slots:
  void cmdOpenWorkbook_Click();
  void cmdOpenFolder_Click();
  void cmdSaveAs_Click();

 private:
  void addNote(const QString& note);
  void enableButtons(bool enabled);

  IUserMessage& messages_;
  Desktop desktop_;
  QString workbook_;
};

// Copies the file from to the file to, through a temporary file beside it
// that is renamed into place, so that an existing file is never left
// half-written. Answers an empty text, or what went wrong.
QString copyWorkbook(const QString& from, const QString& to);

}  // namespace rzt::ui
