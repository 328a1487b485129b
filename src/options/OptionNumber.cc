#include "options/OptionNumber.h"

#include <charconv>
#include <cmath>
#include <string>

#include "support/RztError.h"

namespace rzt {
namespace {

constexpr int32_t kMinOption = -32768;
constexpr int32_t kMaxOption = 32767;

bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a "&H" or "&O" integer from the compacted text after its prefix.
double readRadixInteger(const std::string& s, size_t pos, int radix) {
  double value = 0;
  for (; pos < s.size(); ++pos) {
    int digit = radix == 16 ? hexValue(s[pos]) : (s[pos] >= '0' && s[pos] <= '7' ? s[pos] - '0' : -1);
    if (digit < 0) break;
    value = value * radix + digit;
    // Far outside the option range already: stop before the double gets inexact.
    if (value > 1e15) return value;
  }
  return value;
}

// The leading number of the compacted text as a real; 0 when there is none.
double leadingValue(const std::string& s) {
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return readRadixInteger(s, 2, 16);
    if (s[1] == 'O' || s[1] == 'o') return readRadixInteger(s, 2, 8);
    return 0;
  }
  size_t pos = 0;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
    negative = s[pos] == '-';
    ++pos;
  }
  // The number in the form from_chars reads: digits, point, digits, exponent.
  std::string number;
  size_t mantissaDigits = 0;
  while (pos < s.size() && isDigit(s[pos])) { number += s[pos++]; ++mantissaDigits; }
  if (pos < s.size() && s[pos] == '.') {
    number += s[pos++];
    while (pos < s.size() && isDigit(s[pos])) { number += s[pos++]; ++mantissaDigits; }
  }
  if (mantissaDigits == 0) return 0;
  if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e' || s[pos] == 'D' || s[pos] == 'd')) {
    size_t exp = pos + 1;
    std::string exponent = "e";
    if (exp < s.size() && (s[exp] == '+' || s[exp] == '-')) exponent += s[exp++];
    size_t digitsStart = exp;
    while (exp < s.size() && isDigit(s[exp])) exponent += s[exp++];
    // An exponent letter without digits ends the number before it.
    if (exp > digitsStart) number += exponent;
  }
  double value = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large for a real is far outside the range; too small is 0.
    bool huge = number.find("e-") == std::string::npos;
    if (huge) raiseOverflow();
    return 0;
  }
  return negative ? -value : value;
}

}  // namespace

int32_t readOptionNumber(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (char c : text) {
    if (!isIgnored(c)) compact += c;
  }
  double value = leadingValue(compact);
  // Nearest integer, halves to the even one, independent of the rounding mode.
  double rounded = std::floor(value);
  double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  if (!(rounded >= kMinOption && rounded <= kMaxOption)) raiseOverflow();
  return static_cast<int32_t>(rounded);
}

int32_t readZoomOption(std::string_view text) {
  int32_t zoom = readOptionNumber(text);
  return zoom < 25 || zoom > 400 ? 80 : zoom;
}

}  // namespace rzt
