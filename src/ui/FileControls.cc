#include "FileControls.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "analysis/FileEnumeration.h"
#include "support/JoinPath.h"
#include "support/RztError.h"

namespace rzt::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

QByteArray bytesOf(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

std::string stdBytes(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }

std::string pathOf(const QVariant& data) { return stdBytes(data.toByteArray()); }

// "/a/b/" and "/a/./b" both name "/a/b"; the root stays "/"; a relative
// folder is taken from the working folder.
std::string normalDir(const std::string& dir) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(dir, ec);
  if (ec) absolute = dir;
  std::string s = absolute.lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

}  // namespace

QString displayPath(const std::string& bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// ---------------------------------------------------------------- DriveList

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  const std::string home = normalDir(stdBytes(QFile::encodeName(QDir::homePath())));
  addEntry(displayPath(home), home);

  std::vector<std::pair<std::string, QString>> volumes;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const std::string root = normalDir(stdBytes(QFile::encodeName(volume.rootPath())));
    QString label = displayPath(root);
    if (!volume.name().isEmpty()) label += QStringLiteral(" [%1]").arg(volume.name());
    volumes.emplace_back(root, label);
  }
  std::sort(volumes.begin(), volumes.end());
  for (const auto& [root, label] : volumes) {
    if (findData(bytesOf(root), kPathRole) < 0) addEntry(label, root);
  }
  confirmedIndex_ = 0;
  setCurrentIndex(0);

  connect(this, &QComboBox::activated, this, [this](int index) {
    if (index == confirmedIndex_) return;
    // The handler may call revert(), which needs the entry chosen before.
    previousIndex_ = confirmedIndex_;
    confirmedIndex_ = index;
    emit changed();
  });
}

void DriveList::addEntry(const QString& label, const std::string& root) {
  addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), label, bytesOf(root));
}

std::string DriveList::drive() const { return pathOf(currentData(kPathRole)); }

void DriveList::selectDrive(const std::string& dir) {
  const std::string root = normalDir(dir);
  int index = findData(bytesOf(root), kPathRole);
  if (index < 0) {
    addEntry(displayPath(root), root);
    index = count() - 1;
  }
  QSignalBlocker block(this);
  setCurrentIndex(index);
  confirmedIndex_ = index;
}

void DriveList::followPath(const std::string& dir) {
  const std::string target = normalDir(dir);
  int best = -1;
  size_t bestLength = 0;
  for (int i = 0; i < count(); ++i) {
    const std::string root = pathOf(itemData(i, kPathRole));
    const bool holds = target == root || root == "/" ||
                       (target.size() > root.size() && target.compare(0, root.size(), root) == 0 &&
                        target[root.size()] == '/');
    if (holds && (best < 0 || root.size() > bestLength)) {
      best = i;
      bestLength = root.size();
    }
  }
  if (best < 0) return;
  QSignalBlocker block(this);
  setCurrentIndex(best);
  confirmedIndex_ = best;
}

void DriveList::revert() {
  QSignalBlocker block(this);
  setCurrentIndex(previousIndex_);
  confirmedIndex_ = previousIndex_;
}

// ------------------------------------------------------------ DirectoryList

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
  setIconSize(QSize(16, 16));
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this, &DirectoryList::enter);
  connect(this, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* current) {
    if (!listing_) choose(current);
  });
}

bool DirectoryList::setPath(const std::string& dir) {
  const std::string target = normalDir(dir);
  FileEnumeration::Listing listing;
  try {
    listing = FileEnumeration::listDirectory(target);
  } catch (const RztError&) {
    return false;
  }
  path_ = target;
  listedPath_ = target;

  listing_ = true;
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
  const QString indentUnit = QStringLiteral("   ");

  // The chain of folders from the root down to the chosen one.
  std::vector<std::string> chain;
  for (std::filesystem::path p(target);; p = p.parent_path()) {
    chain.push_back(p.string());
    if (p == p.parent_path() || p.parent_path().empty()) break;
  }
  std::reverse(chain.begin(), chain.end());
  int depth = 0;
  QListWidgetItem* current = nullptr;
  for (const std::string& folder : chain) {
    const std::string name = folder == "/" ? folder : std::filesystem::path(folder).filename().string();
    auto* item = new QListWidgetItem(openIcon, indentUnit.repeated(depth) + displayPath(name), this);
    item->setData(kPathRole, bytesOf(folder));
    current = item;
    ++depth;
  }
  for (const std::string& sub : listing.subDirs) {
    auto* item = new QListWidgetItem(closedIcon, indentUnit.repeated(depth) + displayPath(sub), this);
    item->setData(kPathRole, bytesOf(joinPath(target, sub)));
  }
  setCurrentItem(current);
  listing_ = false;
  emit changed();
  return true;
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
  // Enter opens the highlighted folder here instead of reaching the
  // window's start button.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
    enter(currentItem());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

void DirectoryList::enter(QListWidgetItem* item) {
  if (item == nullptr) return;
  const std::string target = pathOf(item->data(kPathRole));
  if (target != listedPath_) setPath(target);
}

void DirectoryList::choose(QListWidgetItem* item) {
  if (item == nullptr) return;
  const std::string target = pathOf(item->data(kPathRole));
  if (target == path_) return;
  path_ = target;
  emit changed();
}

// ----------------------------------------------------------------- FileList

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileList::setPath(const std::string& dir) {
  path_ = dir;
  clear();
  FileEnumeration::Listing listing;
  try {
    listing = FileEnumeration::listDirectory(dir);
  } catch (const RztError&) {
    return;
  }
  for (const std::string& name : listing.files) {
    auto* item = new QListWidgetItem(displayPath(name), this);
    item->setData(kPathRole, bytesOf(name));
  }
}

std::string FileList::fileName() const {
  const QList<QListWidgetItem*> chosen = selectedItems();
  if (chosen.isEmpty()) return {};
  return pathOf(chosen.front()->data(kPathRole));
}

bool FileList::selectFile(const std::string& name) {
  for (int i = 0; i < count(); ++i) {
    if (pathOf(item(i)->data(kPathRole)) == name) {
      setCurrentRow(i);
      item(i)->setSelected(true);
      return true;
    }
  }
  return false;
}

}  // namespace rzt::ui
