#include "java/ModernLineCounter.h"

#include <cstddef>

#include "java/ModernParseInput.h"

namespace rzt {
namespace {

enum class LexState { Code, LineComment, BlockComment, String, Character, TextBlock };

inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
inline bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\f'; }

}  // namespace

ModernLineCounts countModernLines(std::string_view text, ModernParseInput* input) {
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
      if (c == '\r') {
        if (at(i + 1) == '\n') {
          ++i;
        } else if (input) {
          input->replace(i, '\n');
        }
      }
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
    if (input && static_cast<unsigned char>(c) < 0x20) {
      if (state != LexState::Code) {
        if (c == '\0') input->replace(i, ' ');
      } else if (c == '\v') {
        input->replace(i, '\0');
      } else if (c == '\x1A' && i + 1 == n) {
        input->replace(i, ' ');
      }
    }
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
        if (c == '/' && input && (at(i + 1) == '/' || at(i + 1) == '*')) {
          input->replace(i, ' ');
        } else if (c == '\\') {
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
