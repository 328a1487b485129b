#include "report/StagingFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "support/RztError.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

// Six characters from getrandom: names nobody can guess beforehand.
std::string randomName(std::string_view prefix) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[6] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's randomness the name is only unlikely; O_EXCL and
    // mkdirat still refuse an existing one.
    const auto mix = static_cast<unsigned long>(::getpid()) * 2654435761UL ^ reinterpret_cast<uintptr_t>(&bytes);
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(mix >> (i * 5));
  }
  std::string name(prefix);
  for (unsigned char b : bytes) name += kLetters[b % (sizeof kLetters - 1)];
  return name;
}

// The process's umask without changing it (as umask(2) must), from
// /proc/self/status; read once.
mode_t processUmask() {
  static const mode_t mask = [] {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
    }
    const mode_t old = ::umask(022);
    ::umask(old);
    return old;
  }();
  return mask;
}

// An unnamed file in the folder of dirFd, or -1 with errno set.
int unnamedAt(int dirFd) {
  int fd = ::openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
  // A file system without O_TMPFILE: a file removed as soon as it is made.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = randomName(".rzt-");
    fd = ::openat(dirFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::unlinkat(dirFd, name.c_str(), 0);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

std::FILE* streamOf(int fd) {
  if (fd < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd, "w+b");
  if (stream == nullptr) {
    const int error = errno;
    ::close(fd);
    errno = error;
  }
  return stream;
}

}  // namespace

StagingFolder::StagingFolder(const fs::path& target, std::string source, bool targetIsWritten)
    : source_(std::move(source)), target_(target), targetFolder_(target.parent_path()) {
  const std::string reportName = target.filename().string();
  const fs::path folder = targetFolder_.empty() ? fs::path(".") : targetFolder_;
  targetFolderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (targetFolderFd_ < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      throw RztError(kErrPathNotFound, source_, "パスが見つかりません: " + target.string());
    }
    fail(target.string(), errno);
  }
  try {
    struct stat st {};
    if (reportName.empty() || reportName == "." || reportName == "..") fail(target.string(), EISDIR);
    if (targetIsWritten && ::fstatat(targetFolderFd_, reportName.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode)) {
      fail(target.string(), EISDIR);
    }
    for (int attempt = 0;; ++attempt) {
      name_ = randomName(".rzt-");
      if (::mkdirat(targetFolderFd_, name_.c_str(), 0700) == 0) break;
      if (errno != EEXIST || attempt == 100) fail(target.string(), errno);
    }
    path_ = (folder / name_).string();
    cleanupFolder_ = CleanupPath(path_, true);
    fd_ = ::openat(targetFolderFd_, name_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // The folder must be the one just made: ours, and open to nobody else.
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_uid != ::geteuid() || ::fchmod(fd_, 0700) != 0) {
      const int error = fd_ < 0 ? errno : EPERM;
      ::unlinkat(targetFolderFd_, name_.c_str(), AT_REMOVEDIR);
      fail(target.string(), error);
    }
    libraryFolder_ = "/proc/self/fd/" + std::to_string(fd_);
    struct stat seen {};
    if (::stat(libraryFolder_.c_str(), &seen) != 0 || seen.st_dev != st.st_dev || seen.st_ino != st.st_ino) {
      libraryFolder_ = path_;  // no /proc: the folder's name, private all the same
    }
  } catch (...) {
    if (fd_ >= 0) ::close(fd_);
    ::close(targetFolderFd_);
    throw;
  }
}

StagingFolder::~StagingFolder() {
  removeInside();
  ::unlinkat(targetFolderFd_, name_.c_str(), AT_REMOVEDIR);
  ::close(fd_);
  ::close(targetFolderFd_);
}

void StagingFolder::removeInside() {
  const int listing = ::dup(fd_);
  if (listing < 0) return;
  DIR* dir = ::fdopendir(listing);
  if (dir == nullptr) {
    ::close(listing);
    return;
  }
  ::rewinddir(dir);
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  for (const std::string& name : names) ::unlinkat(fd_, name.c_str(), 0);
}

void StagingFolder::fail(const std::string& target, int error) const {
  throw RztError(kErrPathFileAccess, source_, "ファイルに書き込めません: " + target + " (" + std::strerror(error) + ")");
}

std::FILE* StagingFolder::createFile(const std::string& name) {
  cleanupFiles_.emplace_back(path_ + "/" + name, false);
  std::FILE* stream =
      streamOf(::openat(fd_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (stream == nullptr) fail(target_.string(), errno);
  return stream;
}

std::FILE* StagingFolder::createUnnamedFile() {
  std::FILE* stream = streamOf(unnamedAt(fd_));
  if (stream == nullptr) fail(target_.string(), errno);
  return stream;
}

std::FILE* StagingFolder::openUnnamedFile(const std::string& folder) {
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return nullptr;
  const int fd = unnamedAt(dirFd);
  const int error = errno;
  ::close(dirFd);
  errno = error;
  return streamOf(fd);
}

std::string StagingFolder::pathForLibrary(const std::string& name) {
  cleanupFiles_.emplace_back(path_ + "/" + name, false);
  return libraryFolder_ + "/" + name;
}

mode_t StagingFolder::reportMode(int folderFd, const std::string& name) {
  struct stat old {};
  if (::fstatat(folderFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode)) {
    return old.st_mode & 0777;
  }
  return 0666 & ~processUmask();
}

void StagingFolder::moveIntoPlace(const std::vector<std::pair<std::string, std::string>>& files) {
  auto reportPath = [this](const std::string& report) { return (targetFolder_ / report).string(); };
  // From here a signal waits until the set is in place or put back.
  SignalDeferral deferral;
  for (const auto& [inside, report] : files) {
    const int fd = ::openat(fd_, inside.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) fail(reportPath(report), errno);
    const int changed = ::fchmod(fd, reportMode(targetFolderFd_, report));
    const int error = errno;
    ::close(fd);
    if (changed != 0) fail(reportPath(report), error);
  }
  // With more than one file, each previous file is first linked into the
  // folder (or, where it cannot be linked, moved there), so that it can be
  // put back.
  struct Previous {
    std::string kept;  // its name inside; empty when there was none
    bool movedAside = false;
  };
  std::vector<Previous> previous(files.size());
  // Undoes the first `replaced` renames (a new file where there was none is
  // removed again) and puts back every previous file moved aside.
  auto putBack = [&](size_t replaced) {
    for (size_t j = 0; j < files.size(); ++j) {
      const char* report = files[j].second.c_str();
      if (j < replaced && previous[j].kept.empty()) {
        ::unlinkat(targetFolderFd_, report, 0);
      } else if (!previous[j].kept.empty() && (j < replaced || previous[j].movedAside)) {
        ::renameat(fd_, previous[j].kept.c_str(), targetFolderFd_, report);
      }
    }
  };
  if (files.size() > 1) {
    for (size_t i = 0; i < files.size(); ++i) {
      const std::string& report = files[i].second;
      struct stat st {};
      if (::fstatat(targetFolderFd_, report.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) continue;
        const int error = errno;
        putBack(0);
        fail(reportPath(report), error);
      }
      const int error = S_ISDIR(st.st_mode) ? EISDIR : 0;
      const std::string kept = "previous-" + std::to_string(i);
      cleanupFiles_.emplace_back(path_ + "/" + kept, false);
      if (error == 0 && ::linkat(targetFolderFd_, report.c_str(), fd_, kept.c_str(), 0) == 0) {
        previous[i].kept = kept;
      } else if (error == 0 && ::renameat(targetFolderFd_, report.c_str(), fd_, kept.c_str()) == 0) {
        previous[i] = {kept, true};
      } else {
        const int reason = error != 0 ? error : errno;
        putBack(0);
        fail(reportPath(report), reason);
      }
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (::renameat(fd_, files[i].first.c_str(), targetFolderFd_, files[i].second.c_str()) == 0) continue;
    const int error = errno;
    putBack(i);
    fail(reportPath(files[i].second), error);
  }
}

}  // namespace rzt
