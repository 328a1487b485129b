#pragma once

#include <cstdint>
#include <string_view>

namespace rzt {

// Reads the number an option field's text begins with: blanks, tabs and line
// feeds are ignored anywhere, "." is the decimal point, an exponent may be
// written with "E" or "D", "&H" and "&O" begin a hexadecimal or octal
// integer, and a text without a leading number reads as 0. The value is
// rounded to the nearest integer (halves to the even one); outside
// -32768..32767 it raises the overflow error.
int32_t readOptionNumber(std::string_view text);

// The zoom percentage of a field text: readOptionNumber, with results below
// 25 or above 400 replaced by 80.
int32_t readZoomOption(std::string_view text);

}  // namespace rzt
