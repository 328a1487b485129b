#include "reading/PhysicalReader.h"

#include <cstring>

#include "reading/SourceLines.h"

namespace rzt {

void PhysicalReader::openText(std::string_view text, SourceLines* lines) {
  text_ = text;
  lines_ = lines;
  pos_ = 0;
  lineState_ = 0;
}

void PhysicalReader::closeFile() {
  text_ = {};
  lines_ = nullptr;
  pos_ = 0;
}

bool PhysicalReader::nextLine() {
  // Walks the text directly, without a call per character. Once a line's flag
  // is set, the characters that could change nothing more are skipped in
  // runs: in code, all up to the next "/"; in a block comment, all up to
  // the next "*"; in a line comment, the rest of the line.
  const char* const begin = text_.data();
  const char* p = begin + pos_;
  const char* const end = begin + text_.size();
  const char* const newline = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
  const char* const lineEnd = newline != nullptr ? newline : end;
  int32_t state = lineState_;
  bool statement = false;
  bool comment = false;
  bool result = false;
  auto skipTo = [&](char stop) {
    const void* q = std::memchr(p, stop, static_cast<size_t>(lineEnd - p));
    p = q != nullptr ? static_cast<const char*>(q) : lineEnd;
  };
  while (p < lineEnd) {
    const char c = *p++;
    if (c == '\r') continue;
    result = true;
    switch (state) {
      case 0:
        if (c == '/') {
          state = 1;
        } else if (!isWhiteSpace(c)) {
          statement = true;
          skipTo('/');
        }
        break;
      case 1:
        if (c == '/') {
          comment = true;
          state = 2;
          p = lineEnd;
        } else if (c == '*') {
          comment = true;
          state = 3;
        } else {
          if (!isWhiteSpace(c)) statement = true;
          state = 0;
        }
        break;
      case 2:
        p = lineEnd;
        break;
      case 3:
        if (c == '*') {
          comment = true;
          state = 4;
        } else if (!isWhiteSpace(c)) {
          comment = true;
          skipTo('*');
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
  if (newline != nullptr) {
    // The line feed itself: white space that ends a line comment.
    result = true;
    if (lines_ != nullptr) lines_->addLineFeed(static_cast<size_t>(newline - begin));
    p = newline + 1;
    if (state == 1 || state == 2) {
      state = 0;
    } else if (state == 4) {
      state = 3;
    }
  }
  pos_ = static_cast<size_t>(p - begin);
  lineState_ = state;
  statementFlag_ = statement;
  commentFlag_ = comment;
  return result;
}

}  // namespace rzt
