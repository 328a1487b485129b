#include "java/ModernLineCounter.h"

#include <cstddef>

namespace rzt {
namespace {

enum class LexState { Code, LineComment, BlockComment, String, Character, TextBlock };

inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
inline bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\f'; }

}  // namespace

ModernLineCounts countModernLines(std::string_view text) {
  ModernLineCounts counts;
  LexState state = LexState::Code;
  bool code = false;
  bool comment = false;
  bool nonEmpty = false;
  const size_t n = text.size();
  auto at = [&](size_t i) { return i < n ? text[i] : '\0'; };
  auto endLine = [&]() {
    ++counts.allLoc;
    if (code) ++counts.loc;
    if (comment) ++counts.commentLoc;
    if (!code && !comment) ++counts.blankLoc;
    code = comment = nonEmpty = false;
  };

  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (isLineEnd(c)) {
      if (c == '\r' && at(i + 1) == '\n') ++i;
      endLine();
      // Line comments and unterminated literals end with their line; block
      // comments and text blocks go on.
      if (state == LexState::LineComment || state == LexState::String || state == LexState::Character) {
        state = LexState::Code;
      }
      continue;
    }
    nonEmpty = true;
    if (isWhite(c)) continue;
    switch (state) {
      case LexState::Code:
        if (c == '/' && at(i + 1) == '/') {
          comment = true;
          state = LexState::LineComment;
          ++i;
        } else if (c == '/' && at(i + 1) == '*') {
          comment = true;
          state = LexState::BlockComment;
          ++i;
        } else {
          code = true;
          if (c == '"' && at(i + 1) == '"' && at(i + 2) == '"') {
            state = LexState::TextBlock;
            i += 2;
          } else if (c == '"') {
            state = LexState::String;
          } else if (c == '\'') {
            state = LexState::Character;
          }
        }
        break;
      case LexState::LineComment:
        comment = true;
        break;
      case LexState::BlockComment:
        comment = true;
        if (c == '*' && at(i + 1) == '/') {
          ++i;
          state = LexState::Code;
        }
        break;
      case LexState::String:
      case LexState::Character:
        code = true;
        if (c == '\\') {
          // An escape takes the next character, unless that ends the line.
          if (i + 1 < n && !isLineEnd(text[i + 1])) ++i;
        } else if (c == (state == LexState::String ? '"' : '\'')) {
          state = LexState::Code;
        }
        break;
      case LexState::TextBlock:
        code = true;
        if (c == '\\') {
          if (i + 1 < n && !isLineEnd(text[i + 1])) ++i;
        } else if (c == '"' && at(i + 1) == '"' && at(i + 2) == '"') {
          i += 2;
          state = LexState::Code;
        }
        break;
    }
  }
  if (nonEmpty) endLine();
  return counts;
}

}  // namespace rzt
