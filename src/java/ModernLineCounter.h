#pragma once

#include <string_view>

#include "support/Counter.h"

namespace rzt {

// The physical lines of a Java text as the syntax-tree analysis counts them.
struct ModernLineCounts {
  Counter allLoc;
  Counter loc;         // lines with a non-white character outside comments
  Counter commentLoc;  // lines with a non-white character inside a comment
  Counter blankLoc;    // lines with neither
};

// Classifies the lines of text (UTF-8, without byte order mark). A line ends
// at LF, CR LF or a lone CR; a last line without a line end counts when it
// is not empty. White space is space, tab and form feed only. String and
// character literals and text blocks are code, an unterminated string or
// character literal ends at its line, and unicode escapes are not translated.
ModernLineCounts countModernLines(std::string_view text);

}  // namespace rzt
