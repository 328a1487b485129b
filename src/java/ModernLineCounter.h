#pragma once

#include <string_view>

#include "support/Counter.h"

namespace rzt {

class ModernParseInput;

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
//
// With input (reset to text), the same pass notes the bytes the grammar's
// lexer would read otherwise than Java does, and what the parser reads
// instead:
// - a lone CR ends a line comment in Java, the lexer's only at an LF: LF;
// - NUL is the lexer's end of input, so no literal or comment may hold it;
//   inside string and character literals, text blocks and comments: space;
// - "//" and "/*" inside a text block, where the lexer would begin a comment
//   (up to a quote or a backslash on that line): the slash becomes a space;
// - a vertical tab outside literals and comments is white space to the
//   lexer, an illegal character to Java: NUL, a syntax error;
// - a SUB (Ctrl-Z) as the last character, outside literals and comments,
//   ends the file for Java: space.
ModernLineCounts countModernLines(std::string_view text, ModernParseInput* input = nullptr);
// The same pass looking at every byte in turn, where countModernLines passes
// over runs of plain bytes 16 at a time: the two must agree.
ModernLineCounts countModernLinesByteByByte(std::string_view text, ModernParseInput* input = nullptr);

}  // namespace rzt
