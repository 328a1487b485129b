#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace rzt {

// Numbers of the errors the platform raises for us.
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrOutOfMemory = 7;  // "メモリが不足しています"
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrPathNotFound = 76;
// A file too large for the syntax-tree analysis: "ファイルが大き過ぎます
// (上限 N MB): " + path.
inline constexpr int32_t kErrFileTooLarge = 50050;

// The one error type of the system: a number, the operation that raised it
// (may be empty) and a description for the user. Errors pass up unchanged
// through every caller.
class RztError : public std::exception {
 public:
  // message: the text the user was shown when the error was raised, where
  // the description alone does not say what happened (error 500020's
  // description is its number).
  RztError(int32_t number, std::string source, std::string description, std::string message = {});

  int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }
  const std::string& message() const { return message_; }
  // The description with the message beside it: what a front end shows.
  std::string fullDescription() const;
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
  std::string message_;
};

// Error 6, "オーバーフローしました": a counter passed its range.
[[noreturn]] void raiseOverflow();
// Error 7, "メモリが不足しています".
[[noreturn]] void raiseOutOfMemory(const std::string& source);
// Error 50050 for path, whose text passes limitBytes.
[[noreturn]] void raiseFileTooLarge(const std::string& source, const std::string& path, size_t limitBytes);

}  // namespace rzt
