#include "cli/TerminalText.h"

namespace rzt {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the character at text[pos]: its code point, or kInvalid for a
// byte that does not begin a well-formed sequence; length is set to the
// bytes taken (1 for an invalid byte).
char32_t decodeAt(std::string_view text, size_t pos, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  length = 1;
  if (lead < 0x80) return lead;
  size_t need;
  char32_t cp;
  char32_t min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1, cp = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2, cp = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    return kInvalid;
  }
  if (pos + need >= text.size()) return kInvalid;  // cut short by the end
  for (size_t i = 1; i <= need; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return kInvalid;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kInvalid;
  length = need + 1;
  return cp;
}

int32_t codePointWidth(char32_t cp) {
  if (cp == kInvalid) return 1;
  if (cp >= 0x0300 && cp <= 0x036F) return 0;  // combining marks join the character before
  const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) ||
                    (cp >= 0x3041 && cp <= 0x33FF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
                    (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
                    (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                    (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                    (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
                    (cp >= 0x20000 && cp <= 0x3FFFD);
  return wide ? 2 : 1;
}

}  // namespace

std::string terminalSafe(std::string_view text, bool keepLineFeeds) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    size_t length;
    const char32_t cp = decodeAt(text, pos, length);
    if (cp == kInvalid) {
      out += "\xEF\xBF\xBD";
    } else if (cp == '\n' && keepLineFeeds) {
      out += '\n';
    } else if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
      out += '?';
    } else {
      out.append(text.substr(pos, length));
    }
    pos += length;
  }
  return out;
}

int32_t terminalWidth(std::string_view text) {
  int32_t width = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t length;
    width += codePointWidth(decodeAt(text, pos, length));
    pos += length;
  }
  return width;
}

std::string_view fitToColumns(std::string_view text, int32_t columns) {
  int32_t width = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t length;
    const int32_t w = codePointWidth(decodeAt(text, pos, length));
    if (width + w > columns) return text.substr(0, pos);
    width += w;
    pos += length;
  }
  return text;
}

}  // namespace rzt
