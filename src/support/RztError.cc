#include "support/RztError.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace rzt {

RztError::RztError(int32_t number, std::string source, std::string description, std::string message)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      message_(std::move(message)) {}

std::string RztError::fullDescription() const {
  if (message_.empty() || description_.find(message_) != std::string::npos) return description_;
  if (description_.empty()) return message_;
  return description_ + " " + message_;
}

void raiseOverflow() {
  throw RztError(kErrOverflow, "", kTextOverflow);
}

namespace {

// The system's text for an errno value, the same in every locale and thread.
std::string reasonOf(int errnum) {
  const char* text = ::strerrordesc_np(errnum);
  return text != nullptr ? text : "error " + std::to_string(errnum);
}

}  // namespace

RztError fileError(const std::string& source, const std::string& path, int errnum) {
  if (errnum == ENOENT || errnum == ENOTDIR) return RztError(kErrFileNotFound, source, kTextFileNotFound + path);
  return fileError(source, path, reasonOf(errnum));
}

RztError fileError(const std::string& source, const std::string& path, const std::string& reason) {
  return RztError(kErrFileNotFound, source, std::string(kTextFileUnreadable) + " (" + reason + "): " + path);
}

RztError folderError(const std::string& source, const std::string& path, int errnum) {
  if (errnum == ENOENT || errnum == ENOTDIR) return RztError(kErrPathNotFound, source, kTextPathNotFound + path);
  return RztError(kErrPathNotFound, source,
                  std::string(kTextFolderUnreadable) + " (" + reasonOf(errnum) + "): " + path);
}

void raiseOutOfMemory(const std::string& source) {
  throw RztError(kErrOutOfMemory, source, "メモリが不足しています");
}

void raiseFileTooLarge(const std::string& source, const std::string& path, size_t limitBytes) {
  throw RztError(kErrFileTooLarge, source,
                 "ファイルが大き過ぎます (上限 " + std::to_string(limitBytes / (1024 * 1024)) + " MB): " + path);
}

}  // namespace rzt
