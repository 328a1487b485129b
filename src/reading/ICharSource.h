#pragma once

#include <string>

namespace rzt {

// A source of the characters of one file, read front to back. Characters are
// the bytes of the file's UTF-8 text: every character a reader tests is ASCII
// and never occurs inside a multi-byte character, which so passes whole.
class ICharSource {
 public:
  virtual ~ICharSource() = default;
  // Opens dName joined with the bare file name fName.
  virtual void openFile(const std::string& dName, const std::string& fName) = 0;
  virtual void closeFile() = 0;
  virtual bool hasMoreChars() = 0;
  // The next character; past the end it raises the source's error.
  virtual char readChar() = 0;
};

}  // namespace rzt
