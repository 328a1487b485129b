#pragma once

#include <string>
#include <string_view>

namespace rzt {

// Case folding of the ASCII letters alone: file name extensions, package
// names and encoding names compare this way, whatever the locale, and bytes
// of other characters are never changed.
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline void lowerAsciiInPlace(std::string& text) {
  for (char& c : text) c = lowerAscii(c);
}

// Whether text ends with lowerSuffix (given in lower case), ASCII letters
// compared without regard to case.
inline bool endsWithFoldedAscii(std::string_view text, std::string_view lowerSuffix) {
  if (text.size() < lowerSuffix.size()) return false;
  const size_t offset = text.size() - lowerSuffix.size();
  for (size_t i = 0; i < lowerSuffix.size(); ++i) {
    if (lowerAscii(text[offset + i]) != lowerSuffix[i]) return false;
  }
  return true;
}

}  // namespace rzt
