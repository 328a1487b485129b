#include "support/RztError.h"

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
  throw RztError(kErrOverflow, "", "オーバーフローしました");
}

void raiseOutOfMemory(const std::string& source) {
  throw RztError(kErrOutOfMemory, source, "メモリが不足しています");
}

void raiseFileTooLarge(const std::string& source, const std::string& path, size_t limitBytes) {
  throw RztError(kErrFileTooLarge, source,
                 "ファイルが大き過ぎます (上限 " + std::to_string(limitBytes / (1024 * 1024)) + " MB): " + path);
}

}  // namespace rzt
