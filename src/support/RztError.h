#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace rzt {

// The errors of the system: their numbers and texts, in one place.

// Numbers of the errors the platform raises for us.
inline constexpr int32_t kErrOverflow = 6;           // a counter passed its range
inline constexpr int32_t kErrOutOfMemory = 7;        // the parser's memory ran out
inline constexpr int32_t kErrFileNotFound = 53;      // a file cannot be opened or read
inline constexpr int32_t kErrPastEnd = 62;           // input past the end of a file
inline constexpr int32_t kErrPathFileAccess = 75;    // a report file cannot be written
inline constexpr int32_t kErrPathNotFound = 76;      // a folder cannot be listed

// The system's own errors.
inline constexpr int32_t kErrPoolRead = 40000;        // PushBackReader.storeWordToPool
inline constexpr int32_t kErrPushBackOverflow = 50000;
inline constexpr int32_t kErrReadAfterEof = 50010;    // CommentCleaner.readChar
inline constexpr int32_t kErrNesting = 50030;         // nesting deeper than the bound
inline constexpr int32_t kErrGrammar = 50040;         // the Java grammar cannot be loaded
// A file too large for the syntax-tree analysis: "ファイルが大き過ぎます
// (上限 N MB): " + path.
inline constexpr int32_t kErrFileTooLarge = 50050;
// An earlier report given to compare with cannot be read or is no report of
// RZT: the text, the file's path and the reason in parentheses.
inline constexpr int32_t kErrBadEarlierReport = 50100;
inline constexpr int32_t kErrUnexpectedEof = 500020;  // LogicalReader.readWord

inline constexpr const char* kTextOverflow = "オーバーフローしました";
inline constexpr const char* kTextFileNotFound = "ファイルが見つかりません: ";
inline constexpr const char* kTextFileUnreadable = "ファイルを読み取れません";
inline constexpr const char* kTextPathNotFound = "パスが見つかりません: ";
inline constexpr const char* kTextFolderUnreadable = "フォルダを読み取れません";
inline constexpr const char* kTextPastEnd = "ファイルの終わりを越えて読み込もうとしました";
inline constexpr const char* kTextPoolRead = "pushBackバッファの読み出し位置が不正です";
inline constexpr const char* kTextPushBackOverflow = "pushBackバッファオーバーフロー";
inline constexpr const char* kTextReadAfterEof = "EOF後のreadChar(CommentCleaner)";
inline constexpr const char* kTextNesting = "ネストが深過ぎます";
inline constexpr const char* kTextGrammar = "Java文法を読み込めません";
// The message shown before error 500020, whose description is its number.
inline constexpr const char* kTextUnexpectedEof = "解析の途中でEOFに到達しました";
inline constexpr const char* kTextBadEarlierReport = "前回のレポートを読めません: ";

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

// Error 53 for a file that cannot be read, errnum saying why: for a file
// that is not there, "ファイルが見つかりません: " + path; otherwise
// "ファイルを読み取れません (reason): " + path.
RztError fileError(const std::string& source, const std::string& path, int errnum);
// The same for a file that can be opened but is no regular file, or holds
// more than a source may; reason is said in Japanese.
RztError fileError(const std::string& source, const std::string& path, const std::string& reason);
// Error 76 for a folder that cannot be listed: "パスが見つかりません: " + path
// when it is not there (or no folder), else "フォルダを読み取れません
// (reason): " + path.
RztError folderError(const std::string& source, const std::string& path, int errnum);

}  // namespace rzt
