#include "analysis/FileEnumeration.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>

#include "support/AsciiCase.h"
#include "support/JoinPath.h"
#include "support/RztError.h"

namespace rzt {

int32_t FileEnumeration::prepare(const std::string& dirName, bool subDir) {
  cursor_ = 0;
  // A failed walk leaves no list from an earlier one behind.
  dirNames_.clear();
  fileNames_.clear();
  unreadable_.clear();
  try {
    collectFiles(dirName, subDir, true);
  } catch (...) {
    dirNames_.clear();
    fileNames_.clear();
    unreadable_.clear();
    throw;
  }
  return static_cast<int32_t>(fileNames_.size());
}

bool FileEnumeration::hasMoreFiles() {
  if (cursor_ >= fileNames_.size()) return false;
  ++cursor_;
  return true;
}

const std::string& FileEnumeration::nextDirName() const {
  if (cursor_ == 0) throw std::logic_error("FileEnumeration: no file at the cursor");
  return dirNames_[cursor_ - 1];
}

const std::string& FileEnumeration::nextFileName() const {
  if (cursor_ == 0) throw std::logic_error("FileEnumeration: no file at the cursor");
  return fileNames_[cursor_ - 1];
}

void FileEnumeration::collectFiles(const std::string& dirName, bool subDir, bool start) {
  // One walk: each directory is listed once, when it is visited, and what
  // it holds is taken at once, so the list is what the walk found.
  Listing listing;
  try {
    listing = listDirectory(dirName);
  } catch (const RztError& error) {
    if (start || !skipUnreadable_) throw;
    unreadable_.push_back(UnreadableDirectory{fileNames_.size(), dirName, error});
    return;
  }
  if (fileNames_.size() + listing.files.size() > static_cast<size_t>(INT32_MAX)) raiseOverflow();
  for (std::string& file : listing.files) {
    dirNames_.push_back(dirName);
    fileNames_.push_back(std::move(file));
  }
  if (!subDir) return;
  for (const std::string& sub : listing.subDirs) collectFiles(joinPath(dirName, sub), true, false);
}

namespace {

// Closes a directory stream when the listing ends, however it ends.
struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

FileEnumeration::Listing FileEnumeration::listDirectory(const std::string& dirName) {
  Listing listing;
  // readdir itself: the entries' types come with the listing on most file
  // systems, so a walk costs no stat per entry, only per link (and per entry
  // where the file system does not tell), relative to the directory.
  std::unique_ptr<DIR, DirCloser> dir(::opendir(dirName.c_str()));
  if (!dir) throw folderError("", dirName, errno);
  const int fd = ::dirfd(dir.get());
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) throw folderError("", dirName, errno);
      break;
    }
    const char* name = entry->d_name;
    if (name[0] == '\0' || name[0] == '.') continue;
    unsigned char type = entry->d_type;
    struct stat st;
    if (type == DT_UNKNOWN) {
      if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_LNK) {
      // A link to a directory is not followed, so a link back up cannot loop;
      // a link to a regular file is read like the file.
      if (isJavaFileName(name) && ::fstatat(fd, name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
        listing.files.emplace_back(name);
      }
    } else if (type == DT_DIR) {
      listing.subDirs.emplace_back(name);
    } else if (type == DT_REG && isJavaFileName(name)) {
      // Pipes, sockets and devices are never opened, whatever their name.
      listing.files.emplace_back(name);
    }
  }
  // std::string compares as unsigned bytes, so this is byte order.
  std::sort(listing.files.begin(), listing.files.end());
  std::sort(listing.subDirs.begin(), listing.subDirs.end());
  return listing;
}

bool FileEnumeration::isJavaFileName(const std::string& name) { return endsWithFoldedAscii(name, ".java"); }

}  // namespace rzt
