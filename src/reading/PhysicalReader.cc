#include "reading/PhysicalReader.h"

namespace rzt {

void PhysicalReader::openFile(const std::string& dName, const std::string& fName) {
  fileReader_.openFile(dName, fName);
  lineState_ = 0;
}

void PhysicalReader::closeFile() { fileReader_.closeFile(); }

bool PhysicalReader::nextLine() {
  statementFlag_ = false;
  commentFlag_ = false;
  bool result = false;
  // Walks the reader's text directly: the same characters hasMoreChars and
  // readChar would give, without a call per character.
  std::string_view text = fileReader_.getText();
  size_t pos = fileReader_.getPosition();
  const size_t end = text.size();
  int32_t state = lineState_;
  bool statement = false;
  bool comment = false;
  char c = ' ';
  while (c != '\n' && pos < end) {
    c = text[pos++];
    if (c == '\r') continue;
    result = true;
    switch (state) {
      case 0:
        if (c == '/') {
          state = 1;
        } else if (!isWhiteSpace(c)) {
          statement = true;
        }
        break;
      case 1:
        if (c == '/') {
          comment = true;
          state = 2;
        } else if (c == '*') {
          comment = true;
          state = 3;
        } else {
          if (!isWhiteSpace(c)) statement = true;
          state = 0;
        }
        break;
      case 2:
        if (c == '\n') state = 0;
        break;
      case 3:
        if (c == '*') {
          comment = true;
          state = 4;
        } else if (!isWhiteSpace(c)) {
          comment = true;
        }
        break;
      case 4:
        if (c == '/') {
          comment = true;
          state = 0;
        } else if (c == '*') {
          comment = true;
        } else {
          if (!isWhiteSpace(c)) comment = true;
          state = 3;
        }
        break;
    }
  }
  fileReader_.setPosition(pos);
  lineState_ = state;
  statementFlag_ = statement;
  commentFlag_ = comment;
  return result;
}

}  // namespace rzt
