#pragma once

#include <string>

#include <QComboBox>
#include <QListWidget>

namespace rzt::ui {

// Paths are kept as the bytes the file system gave (names need not be
// UTF-8); the lists show them decoded, with U+FFFD for invalid bytes.
QString displayPath(const std::string& bytes);

// The drive list: the mounted file systems and the home folder, each
// entry's root folder being what it chooses.
class DriveList final : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The root folder of the chosen entry.
  std::string drive() const;
  // Chooses the entry whose root folder is dir, adding one if none is;
  // emits no change.
  void selectDrive(const std::string& dir);
  // Shows the entry whose root folder holds dir (the deepest such root);
  // emits no change.
  void followPath(const std::string& dir);
  // Goes back to the entry chosen before the last change, emitting nothing.
  void revert();

 signals:
  // The user chose another entry.
  void changed();

 private:
  void addEntry(const QString& label, const std::string& root);

  int confirmedIndex_ = -1;  // the entry in force
  int previousIndex_ = 0;    // the entry in force before the last change
};

// The directory list: the folders from the root down to the listed one,
// then the listed folder's subdirectories. Highlighting an entry (a single
// click or the arrow keys) makes it the chosen folder; activating it
// (double click or Enter) also lists it.
class DirectoryList final : public QListWidget {
  Q_OBJECT
 public:
  explicit DirectoryList(QWidget* parent = nullptr);

  // The chosen folder; empty before the first setPath.
  const std::string& path() const { return path_; }
  // The folder whose subdirectories are listed.
  const std::string& listedPath() const { return listedPath_; }
  // Chooses dir and lists it; answers false, changing nothing, when it
  // cannot be listed. Emits changed on success.
  bool setPath(const std::string& dir);

 signals:
  // The chosen folder changed.
  void changed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void enter(QListWidgetItem* item);
  void choose(QListWidgetItem* item);

  std::string path_;
  std::string listedPath_;
  bool listing_ = false;  // the entries are being replaced
};

// The file list: the Java source files (names ending in ".java" in any
// letter case) of one folder.
class FileList final : public QListWidget {
  Q_OBJECT
 public:
  explicit FileList(QWidget* parent = nullptr);

  const std::string& path() const { return path_; }
  // Lists dir; an unreadable folder shows an empty list.
  void setPath(const std::string& dir);
  // The bare name of the highlighted file, empty when none is.
  std::string fileName() const;
  // Highlights the file of that bare name; false when it is not listed.
  bool selectFile(const std::string& name);

 private:
  std::string path_;
};

}  // namespace rzt::ui
