#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rzt {

// Appends text to out as valid cell text: each byte that is not part of
// well-formed UTF-8 (and NUL, U+FFFE, U+FFFF) becomes U+FFFD, and the text
// ends, on a character boundary, after kCellMaxChars UTF-16 units. Other
// control characters are left for the writer to escape.
void appendValidCellText(std::string_view text, std::string& out);

// True when appendValidCellText would copy text unchanged.
bool isValidCellText(std::string_view text);

// Width of a text in half-width character cells: East Asian wide and
// full-width characters count two, everything else one.
int32_t textDisplayWidth(std::string_view text);

// Width of a number as the format shows it ("#,##0_ ", "0.0_ ", "0.0%", or
// the general format for an empty format).
int32_t numberDisplayWidth(double value, std::string_view format);

// The column width for a longest cell of `displayWidth` half-width cells,
// with a margin, bounded by a minimum and a maximum.
double fittedColumnWidth(int32_t displayWidth);

}  // namespace rzt
