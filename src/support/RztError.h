#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace rzt {

// Numbers of the errors the platform raises for us.
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrPathNotFound = 76;

// The one error type of the system: a number, the operation that raised it
// (may be empty) and a description for the user. Errors pass up unchanged
// through every caller.
class RztError : public std::exception {
 public:
  RztError(int32_t number, std::string source, std::string description);

  int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

// Error 6, "オーバーフローしました": a counter passed its range.
[[noreturn]] void raiseOverflow();

}  // namespace rzt
