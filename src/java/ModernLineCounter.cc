#include "java/ModernLineCounter.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "java/ModernParseInput.h"

namespace rzt {
namespace {

enum class LexState { Code, LineComment, BlockComment, String, Character, TextBlock };

inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
inline bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\f'; }

// What a byte may mean to the lexical pass.
enum ByteClass : uint8_t {
  kLineEndByte = 1u << 0,
  kWhiteByte = 1u << 1,
  kControlByte = 1u << 2,  // below 0x20 and neither white nor a line end
  kSlashByte = 1u << 3,
  kQuoteByte = 1u << 4,
  kApostropheByte = 1u << 5,
  kBackslashByte = 1u << 6,
  kStarByte = 1u << 7,
};

constexpr std::array<uint8_t, 256> makeByteClasses() {
  std::array<uint8_t, 256> classes{};
  for (int b = 0; b < 0x20; ++b) classes[b] = kControlByte;
  classes['\n'] = classes['\r'] = kLineEndByte;
  classes[' '] = classes['\t'] = classes['\f'] = kWhiteByte;
  classes['/'] = kSlashByte;
  classes['"'] = kQuoteByte;
  classes['\''] = kApostropheByte;
  classes['\\'] = kBackslashByte;
  classes['*'] = kStarByte;
  return classes;
}

constexpr std::array<uint8_t, 256> kByteClasses = makeByteClasses();

// The bytes each state must look at one by one; every other byte is only
// content or white space there. Control characters matter only when the
// replacements for the parser are noted.
uint8_t significantBytes(LexState state, bool noting) {
  uint8_t bytes = kLineEndByte | (noting ? kControlByte : 0);
  switch (state) {
    case LexState::Code: return bytes | kSlashByte | kQuoteByte | kApostropheByte;
    case LexState::LineComment: return bytes;
    case LexState::BlockComment: return bytes | kStarByte;
    case LexState::String: return bytes | kQuoteByte | kBackslashByte;
    case LexState::Character: return bytes | kApostropheByte | kBackslashByte;
    case LexState::TextBlock: return bytes | kQuoteByte | kBackslashByte | kSlashByte;
  }
  return 0xFF;
}

// From i, passes over the bytes that are not significant, 16 at a time while
// there are 16 left; returns where the first significant byte stands (or the
// end). content: whether a byte passed over is not white.
inline size_t skipPlainBytes(const unsigned char* p, size_t i, size_t n, uint8_t significant, bool& content) {
  constexpr size_t kChunk = 16;
  while (n - i >= kChunk) {
    uint8_t any = 0;
    uint8_t all = 0xFF;
    for (size_t k = 0; k < kChunk; ++k) {
      const uint8_t c = kByteClasses[p[i + k]];
      any |= c;
      all &= c;
    }
    if (any & significant) break;
    if (!(all & kWhiteByte)) content = true;
    i += kChunk;
  }
  for (; i < n; ++i) {
    const uint8_t c = kByteClasses[p[i]];
    if (c & significant) break;
    if (!(c & kWhiteByte)) content = true;
  }
  return i;
}

ModernLineCounts countLines(std::string_view text, ModernParseInput* input, bool skipPlain) {
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

  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = 0; i < n; ++i) {
    if (skipPlain) {
      bool content = false;
      const size_t next = skipPlainBytes(bytes, i, n, significantBytes(state, input != nullptr), content);
      if (next != i) {
        // None of them is a line end: the line is not empty; content counts
        // as the state's kind of character.
        nonEmpty = true;
        if (content) {
          if (state == LexState::LineComment || state == LexState::BlockComment) {
            comment = true;
          } else {
            code = true;
          }
        }
        i = next;
        if (i == n) break;
      }
    }
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

}  // namespace

ModernLineCounts countModernLines(std::string_view text, ModernParseInput* input) {
  return countLines(text, input, true);
}

ModernLineCounts countModernLinesByteByByte(std::string_view text, ModernParseInput* input) {
  return countLines(text, input, false);
}

}  // namespace rzt
