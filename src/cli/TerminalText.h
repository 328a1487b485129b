#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rzt {

// Text made safe to print on a terminal: control characters (but line feeds
// when keepLineFeeds) become "?", so names from the file system cannot move
// the cursor or change the terminal; bytes that are not UTF-8 become U+FFFD.
std::string terminalSafe(std::string_view text, bool keepLineFeeds = true);

// Columns a text takes on a terminal: East Asian wide and full-width
// characters two, half-width katakana and everything else one.
int32_t terminalWidth(std::string_view text);

// The longest beginning of text that fits in the columns, cut on a
// character boundary.
std::string_view fitToColumns(std::string_view text, int32_t columns);

}  // namespace rzt
