#include "report/CellText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "report/IWorkbook.h"

namespace rzt {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Decodes the well-formed UTF-8 character at text[pos]; kInvalid (length 1)
// for a byte that does not begin one.
char32_t decodeAt(std::string_view text, size_t pos, size_t& length) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char b0 = byte(pos);
  length = 1;
  if (b0 < 0x80) return b0;
  size_t need;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return kInvalid;
  }
  if (pos + need >= text.size()) return kInvalid;  // cut short
  for (size_t i = 1; i <= need; ++i) {
    unsigned char b = byte(pos + i);
    unsigned char min = i == 1 ? lo : 0x80, max = i == 1 ? hi : 0xBF;
    if (b < min || b > max) return kInvalid;
    cp = (cp << 6) | (b & 0x3F);
  }
  length = need + 1;
  return cp;
}

bool isReplaced(char32_t cp) { return cp == kInvalid || cp == 0 || cp == 0xFFFE || cp == 0xFFFF; }

int32_t utf16Units(char32_t cp) { return cp >= 0x10000 && cp != kInvalid ? 2 : 1; }

bool isWide(char32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) ||
         (cp >= 0x3041 && cp <= 0x33FF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
         (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
         (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
         (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
         (cp >= 0x1F900 && cp <= 0x1F9FF) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

// Digits of the whole part of a non-negative value, without separators.
int32_t wholeDigits(double value) {
  int32_t digits = 1;
  while (value >= 10 && digits < 400) {
    value /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

bool isValidCellText(std::string_view text) {
  int32_t units = 0;
  for (size_t pos = 0; pos < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[pos]);
    if (b != 0 && b < 0x80) {
      ++pos;
      ++units;
    } else {
      size_t length;
      char32_t cp = decodeAt(text, pos, length);
      if (isReplaced(cp)) return false;
      pos += length;
      units += utf16Units(cp);
    }
    if (units > kCellMaxChars) return false;
  }
  return true;
}

void appendValidCellText(std::string_view text, std::string& out) {
  if (isValidCellText(text)) {
    out.append(text);
    return;
  }
  int32_t units = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t length;
    char32_t cp = decodeAt(text, pos, length);
    int32_t add = utf16Units(cp);
    if (units + add > kCellMaxChars) break;
    units += add;
    if (isReplaced(cp)) {
      out.append(kReplacement);
    } else {
      out.append(text.substr(pos, length));
    }
    pos += length;
  }
}

int32_t textDisplayWidth(std::string_view text) {
  int32_t width = 0;
  for (size_t pos = 0; pos < text.size();) {
    // Names are mostly ASCII: one cell a byte.
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++width;
      ++pos;
      continue;
    }
    size_t length;
    char32_t cp = decodeAt(text, pos, length);
    width += cp != kInvalid && isWide(cp) ? 2 : 1;
    pos += length;
  }
  return width;
}

int32_t numberDisplayWidth(double value, std::string_view format) {
  int32_t sign = value < 0 ? 1 : 0;
  double magnitude = value < 0 ? -value : value;
  // A trailing "_ " leaves the room of one blank after the number.
  int32_t pad = format.size() >= 2 && format.substr(format.size() - 2) == "_ " ? 1 : 0;
  if (format.find('%') != std::string_view::npos) {
    return sign + wholeDigits(magnitude * 100) + 2 + 1 + pad;
  }
  if (format.find("0.0") != std::string_view::npos) {
    return sign + wholeDigits(magnitude) + 2 + pad;
  }
  if (format.find("#,##0") != std::string_view::npos) {
    int32_t digits = wholeDigits(magnitude);
    return sign + digits + (digits - 1) / 3 + pad;
  }
  // The general format: at most about eleven characters. A whole number
  // below 1e10 shows as its digits; this is most cells, and printing them
  // would cost more than the rest of the row.
  if (magnitude < 1e10 && magnitude == static_cast<double>(static_cast<int64_t>(magnitude))) {
    int32_t digits = 1;
    for (auto whole = static_cast<int64_t>(magnitude); whole >= 10; whole /= 10) ++digits;
    return (std::signbit(value) ? 1 : 0) + digits;
  }
  char buffer[32];
  int n = std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return std::clamp(n, 1, 11);
}

double fittedColumnWidth(int32_t displayWidth) {
  constexpr double kMinWidth = 6.0, kMaxWidth = 80.0;
  return std::clamp(displayWidth + 2.0, kMinWidth, kMaxWidth);
}

}  // namespace rzt
