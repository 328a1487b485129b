#include "reading/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

[[noreturn]] void raiseNotFound(const std::string& path) {
  throw RztError(kErrFileNotFound, "FileReader.openFile", "ファイルが見つかりません: " + path);
}

}  // namespace

FileReader::FileReader() = default;
FileReader::~FileReader() = default;

std::string FileReader::joinPath(const std::string& dName, const std::string& fName) {
  if (!dName.empty() && dName.back() == '/') return dName + fName;
  return dName + "/" + fName;
}

void FileReader::openFile(const std::string& dName, const std::string& fName) {
  text_ = {};
  pos_ = 0;
  std::string path = joinPath(dName, fName);
  readWholeFile(path);
  text_ = decoder_.decode(std::string_view(raw_.data(), rawSize_), decoded_);
}

void FileReader::readWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) raiseNotFound(path);
  FdGuard guard(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) raiseNotFound(path);
  // The size is a hint only: the file is read until its end, whatever it holds.
  size_t want = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) + 1 : 65536;
  if (raw_.size() < want) raw_.resize(want);
  rawSize_ = 0;
  for (;;) {
    if (rawSize_ == raw_.size()) raw_.resize(raw_.size() * 2);
    ssize_t n = ::read(fd, raw_.data() + rawSize_, raw_.size() - rawSize_);
    if (n < 0) {
      if (errno == EINTR) continue;
      rawSize_ = 0;
      raiseNotFound(path);
    }
    if (n == 0) break;
    rawSize_ += static_cast<size_t>(n);
  }
}

void FileReader::closeFile() {
  text_ = {};
  pos_ = 0;
}

void FileReader::raisePastEnd() {
  // The platform's "input past end of file".
  throw RztError(62, "FileReader.readChar", "ファイルの終わりを越えて読み込もうとしました");
}

}  // namespace rzt
