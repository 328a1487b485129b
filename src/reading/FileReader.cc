#include "reading/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "support/JoinPath.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// Closes a descriptor on every way out.
class FdGuard {
 public:
  explicit FdGuard(int fd) : fd_(fd) {}
  ~FdGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;

 private:
  int fd_;
};

constexpr const char* kSource = "FileReader.openFile";

}  // namespace

FileReader::FileReader() = default;
FileReader::~FileReader() = default;

void FileReader::openFile(const std::string& dName, const std::string& fName) {
  text_ = {};
  pos_ = 0;
  rawSize_ = 0;
  std::string path = joinPath(dName, fName);
  readWholeFile(path);
  text_ = decoder_.decode(std::string_view(raw_.data(), rawSize_), decoded_);
}

void FileReader::readWholeFile(const std::string& path) {
  // The name was listed as a regular file, but it may have been replaced
  // since: opening never waits (a pipe without a writer, a terminal), and
  // what was opened is checked, not the name.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw fileError(kSource, path, errno);
  FdGuard guard(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw fileError(kSource, path, errno);
  // A folder is no file to be found, as it always was.
  if (S_ISDIR(st.st_mode)) throw fileError(kSource, path, ENOENT);
  if (!S_ISREG(st.st_mode)) throw fileError(kSource, path, "通常のファイルではありません");
  if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) raiseTooLarge(path);
  // The size is a hint only: the file is read until its end, however much it
  // has grown since, up to the bound.
  size_t want = static_cast<size_t>(st.st_size) + 1;
  if (raw_.size() < want) raw_.resize(want);
  for (;;) {
    if (rawSize_ == raw_.size()) {
      if (rawSize_ > kMaxFileBytes) {
        rawSize_ = 0;
        raiseTooLarge(path);
      }
      raw_.resize(std::min(raw_.size() * 2, kMaxFileBytes + 1));
    }
    ssize_t n = ::read(fd, raw_.data() + rawSize_, raw_.size() - rawSize_);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      rawSize_ = 0;
      throw fileError(kSource, path, error);
    }
    if (n == 0) break;
    rawSize_ += static_cast<size_t>(n);
  }
  if (rawSize_ > kMaxFileBytes) {
    rawSize_ = 0;
    raiseTooLarge(path);
  }
}

void FileReader::raiseTooLarge(const std::string& path) {
  throw fileError(kSource, path, std::to_string(kMaxFileBytes) + " バイトを超えています");
}

void FileReader::closeFile() {
  text_ = {};
  pos_ = 0;
}

void FileReader::raisePastEnd() {
  // The platform's "input past end of file".
  throw RztError(kErrPastEnd, "FileReader.readChar", kTextPastEnd);
}

}  // namespace rzt
