#include "analysis/FileEnumeration.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "support/Counter.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace rzt {

int32_t FileEnumeration::prepare(const std::string& dirName, bool subDir) {
  cursor_ = 0;
  // A failed walk leaves no list from an earlier one behind.
  dirNames_.clear();
  fileNames_.clear();
  const int32_t n = countFiles(dirName, subDir);
  if (n < 1) return 0;
  dirNames_.resize(static_cast<size_t>(n));
  fileNames_.resize(static_cast<size_t>(n));
  const size_t collected = collectFiles(dirName, subDir, 0);
  // Files removed between the two walks leave the tail of the lists empty;
  // only what was found is offered, so no empty name reaches the readers and
  // hasMoreFiles answers true exactly as many times as this returns.
  dirNames_.resize(collected);
  fileNames_.resize(collected);
  return static_cast<int32_t>(collected);
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

int32_t FileEnumeration::countFiles(const std::string& dirName, bool subDir) {
  const Listing listing = listDirectory(dirName);
  if (listing.files.size() > static_cast<size_t>(INT32_MAX)) raiseOverflow();
  Counter count(static_cast<int32_t>(listing.files.size()));
  if (subDir) {
    for (const std::string& sub : listing.subDirs) count += countFiles(joinPath(dirName, sub), true);
  }
  return count;
}

size_t FileEnumeration::collectFiles(const std::string& dirName, bool subDir, size_t start) {
  const size_t capacity = fileNames_.size();
  if (start >= capacity) return start;  // the lists are full: files added since the count are left out
  const Listing listing = listDirectory(dirName);
  size_t next = start;
  for (const std::string& file : listing.files) {
    if (next >= capacity) return next;
    dirNames_[next] = dirName;
    fileNames_[next] = file;
    ++next;
  }
  if (subDir) {
    for (const std::string& sub : listing.subDirs) {
      next = collectFiles(joinPath(dirName, sub), true, next);
      if (next >= capacity) break;
    }
  }
  return next;
}

FileEnumeration::Listing FileEnumeration::listDirectory(const std::string& dirName) {
  Listing listing;
  std::error_code ec;
  fs::directory_iterator it(fs::path(dirName), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code statEc;
    const fs::file_status own = it->symlink_status(statEc);
    if (statEc) continue;
    if (fs::is_symlink(own)) {
      // A link to a directory is not followed, so a link back up cannot loop;
      // a link to a regular file is read like the file.
      const fs::file_status target = it->status(statEc);
      if (!statEc && fs::is_regular_file(target) && isJavaFileName(name)) listing.files.push_back(std::move(name));
    } else if (fs::is_directory(own)) {
      listing.subDirs.push_back(std::move(name));
    } else if (fs::is_regular_file(own) && isJavaFileName(name)) {
      // Pipes, sockets and devices are never opened, whatever their name.
      listing.files.push_back(std::move(name));
    }
  }
  if (ec) throw RztError(kErrPathNotFound, "", "パスが見つかりません: " + dirName);
  // std::string compares as unsigned bytes, so this is byte order.
  std::sort(listing.files.begin(), listing.files.end());
  std::sort(listing.subDirs.begin(), listing.subDirs.end());
  return listing;
}

bool FileEnumeration::isJavaFileName(const std::string& name) {
  static constexpr char kExtension[] = ".java";
  constexpr size_t kLength = sizeof(kExtension) - 1;
  if (name.size() < kLength) return false;
  const size_t offset = name.size() - kLength;
  for (size_t i = 0; i < kLength; ++i) {
    char c = name[offset + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kExtension[i]) return false;
  }
  return true;
}

std::string FileEnumeration::joinPath(const std::string& dirName, const std::string& name) {
  if (!dirName.empty() && dirName.back() == '/') return dirName + name;
  return dirName + "/" + name;
}

}  // namespace rzt
