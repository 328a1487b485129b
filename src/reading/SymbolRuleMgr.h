#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace rzt {
namespace detail {

constexpr std::array<bool, 256> makeSymbolChars() {
  std::array<bool, 256> table{};
  for (char c : std::string_view(",.:;\"'{}()[]-+*/%^<>&|=!?")) {
    table[static_cast<unsigned char>(c)] = true;
  }
  return table;
}

inline constexpr std::array<bool, 256> kSymbolChars = makeSymbolChars();

}  // namespace detail

// The Java symbols that end words, the two quote characters and the escape
// character. Comparisons are exact and whole: "==" is a symbol, "==x" is not.
class SymbolRuleMgr final {
 public:
  // One of the 36 symbols of one or two characters.
  bool isSymbol(std::string_view s) const {
    if (s.size() == 1) return isSymbol(s[0]);
    if (s.size() == 2) return isSymbolPair(s[0], s[1]);
    return false;
  }
  // An apostrophe or a double quote.
  bool isLiteral(std::string_view s) const { return s.size() == 1 && isLiteral(s[0]); }
  // The backslash.
  bool isLiteralMask(std::string_view s) const { return s.size() == 1 && isLiteralMask(s[0]); }

  // The single-character forms, for the readers' per-character work.
  static constexpr bool isSymbol(char c) { return detail::kSymbolChars[static_cast<unsigned char>(c)]; }
  static constexpr bool isLiteral(char c) { return c == '"' || c == '\''; }
  static constexpr bool isLiteralMask(char c) { return c == '\\'; }
  // The two characters a then b form one of the two-character symbols.
  static constexpr bool isSymbolPair(char a, char b) {
    switch (a) {
      case '+': return b == '+';
      case '-': return b == '-';
      case '<': return b == '<';
      case '>': return b == '>';
      case '&': return b == '&';
      case '|': return b == '|';
      case '=': return b == '=';
      case '!': return b == '=';
      case '*': return b == '/';
      case '/': return b == '*' || b == '/';
      default: return false;
    }
  }
};

}  // namespace rzt
