#include "java/ModernLineCounter.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "java/ModernParseInput.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// The significant bytes and the white bytes among the 16 at p, one bit each.
inline void classifyChunk(const unsigned char* p, uint8_t significant, uint32_t& marked, uint32_t& white) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  auto is = [&](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
  const __m128i lineEnd = _mm_or_si128(is('\n'), is('\r'));
  const __m128i blank = _mm_or_si128(_mm_or_si128(is(' '), is('\t')), is('\f'));
  __m128i m = lineEnd;
  if (significant & kControlByte) {
    const __m128i below20 = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x1F)), v);
    m = _mm_or_si128(m, _mm_andnot_si128(blank, below20));
  }
  if (significant & kSlashByte) m = _mm_or_si128(m, is('/'));
  if (significant & kQuoteByte) m = _mm_or_si128(m, is('"'));
  if (significant & kApostropheByte) m = _mm_or_si128(m, is('\''));
  if (significant & kBackslashByte) m = _mm_or_si128(m, is('\\'));
  if (significant & kStarByte) m = _mm_or_si128(m, is('*'));
  marked = static_cast<uint32_t>(_mm_movemask_epi8(m));
  white = static_cast<uint32_t>(_mm_movemask_epi8(blank));
}
#else
// The same from the table, a byte at a time.
inline void classifyChunk(const unsigned char* p, uint8_t significant, uint32_t& marked, uint32_t& white) {
  marked = white = 0;
  for (uint32_t k = 0; k < 16; ++k) {
    const uint8_t c = kByteClasses[p[k]];
    if (c & significant) marked |= 1u << k;
    if (c & kWhiteByte) white |= 1u << k;
  }
}
#endif

// From i, passes over the bytes that are not significant, 16 at a time while
// there are 16 left; returns where the first significant byte stands (or the
// end). content: whether a byte passed over is not white.
inline size_t skipPlainBytes(const unsigned char* p, size_t i, size_t n, uint8_t significant, bool& content) {
  constexpr size_t kChunk = 16;
  while (n - i >= kChunk) {
    uint32_t marked = 0;
    uint32_t white = 0;
    classifyChunk(p + i, significant, marked, white);
    if (marked != 0) {
      const int first = __builtin_ctz(marked);
      const uint32_t before = (1u << first) - 1;
      if ((~white & before) != 0) content = true;
      return i + static_cast<size_t>(first);
    }
    if (white != 0xFFFF) content = true;
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
