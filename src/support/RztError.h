#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace rzt {

// Numbers of the errors the platform raises for us.
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrPathNotFound = 76;
// An earlier report given to compare with cannot be read or is no report of
// RZT: the text, the file's path and the reason in parentheses.
inline constexpr int32_t kErrBadEarlierReport = 50100;
inline constexpr std::string_view kErrBadEarlierReportText = "前回のレポートを読めません: ";

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

}  // namespace rzt
