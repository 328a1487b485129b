#pragma once

#include <cstdint>
#include <string>

#include "reading/FileReader.h"

namespace rzt {

// Reads a file line by line (only a line feed ends a line) and tells for each
// line whether it holds statement text, comment text, both or neither.
class PhysicalReader final {
 public:
  void setEncoding(const std::string& encoding) { fileReader_.setEncoding(encoding); }
  void openFile(const std::string& dName, const std::string& fName);
  void closeFile();
  // Reads and classifies one line; false when the file had no more
  // characters (a line of carriage returns only still counts as a line).
  bool nextLine();
  bool isStatement() const { return statementFlag_; }
  bool isComment() const { return commentFlag_; }
  bool isBlank() const { return !(statementFlag_ || commentFlag_); }

 private:
  static bool isWhiteSpace(char c) { return c == '\t' || c == ' ' || c == '\r' || c == '\n'; }

  FileReader fileReader_;
  bool statementFlag_ = false;
  bool commentFlag_ = false;
  int32_t lineState_ = 0;  // 0 code, 1 after "/", 2 line comment, 3 block comment, 4 "*" in block
};

}  // namespace rzt
