#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rzt {

class SourceLines;

// Reads a file's text line by line (only a line feed ends a line) and tells
// for each line whether it holds statement text, comment text, both or
// neither. It walks the text the file's reader has already read and decoded
// for the word pass, so each file is read once, and hands the line feeds it
// meets to the declarations' line numbers.
class PhysicalReader final {
 public:
  // Starts at the beginning of text, which must stay valid until closeFile;
  // each line feed read is added to lines, when given (reset for the text
  // by the caller).
  void openText(std::string_view text, SourceLines* lines = nullptr);
  void closeFile();
  // Reads and classifies one line; false when the file had no more
  // characters (a line of carriage returns only still counts as a line).
  bool nextLine();
  bool isStatement() const { return statementFlag_; }
  bool isComment() const { return commentFlag_; }
  bool isBlank() const { return !(statementFlag_ || commentFlag_); }

 private:
  static bool isWhiteSpace(char c) { return c == '\t' || c == ' ' || c == '\r' || c == '\n'; }

  std::string_view text_;
  SourceLines* lines_ = nullptr;
  size_t pos_ = 0;
  bool statementFlag_ = false;
  bool commentFlag_ = false;
  int32_t lineState_ = 0;  // 0 code, 1 after "/", 2 line comment, 3 block comment, 4 "*" in block
};

}  // namespace rzt
