#include "java/ModernLineCounter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace rzt {
namespace {

struct LineCase {
  const char* name;
  std::string text;
  int32_t allLoc;
  int32_t loc;
  int32_t commentLoc;
  int32_t blankLoc;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class ModernLineCounterTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ModernLineCounterTest, ClassifiesEveryPhysicalLine) {
  const LineCase& c = GetParam();
  ModernLineCounts counts = countModernLines(c.text);
  EXPECT_EQ(counts.allLoc.value(), c.allLoc);
  EXPECT_EQ(counts.loc.value(), c.loc);
  EXPECT_EQ(counts.commentLoc.value(), c.commentLoc);
  EXPECT_EQ(counts.blankLoc.value(), c.blankLoc);
}

const LineCase kLineCases[] = {
    {"empty text has no line", "", 0, 0, 0, 0},
    {"one line with LF", "int x;\n", 1, 1, 0, 0},
    {"last line without line end counts", "int x;", 1, 1, 0, 0},
    {"empty line after the last LF is no line", "a\n\n", 2, 1, 0, 1},
    {"trailing white space is a blank last line", "a\n   ", 2, 1, 0, 1},
    {"CR LF ends a line once", "a\r\nb\r\n", 2, 2, 0, 0},
    {"CR-only line ends", "a\rb\rc", 3, 3, 0, 0},
    {"lone CR between CR LF and text", "a\r\n\rb", 3, 2, 0, 1},
    {"line comment ends at a lone CR", "// c\rint x;\r", 2, 1, 1, 0},
    {"code with trailing comment is both", "int x; // c\n", 1, 1, 1, 0},
    {"empty lines in a block comment are blank", "/*\n\n*/\n", 3, 0, 2, 1},
    {"white-only lines in a block comment are blank", "/*\n \t \n *\n*/", 4, 0, 3, 1},
    {"comment between code on one line", "/* a */ int x; /* b\n c */\n", 2, 1, 2, 0},
    {"slashes in a string are code", "String s = \"// not\";\n", 1, 1, 0, 0},
    {"comment opener in a string opens nothing", "String s = \"/* not\";\nint y;\n", 2, 2, 0, 0},
    {"escaped quote keeps the string open", "s = \"a\\\"//b\";\n", 1, 1, 0, 0},
    {"comment after a string with escapes", "s = \"a\\\"//b\"; // c\n", 1, 1, 1, 0},
    {"quote in a character literal", "char c = '\"'; // q\n", 1, 1, 1, 0},
    {"unterminated string ends at its line", "String s = \"abc\n// c\n", 2, 1, 1, 0},
    {"unterminated character literal ends at its line", "char c = 'x\n/* c */\n", 2, 1, 1, 0},
    {"text block lines are code, its empty lines blank",
     "String t = \"\"\"\n  a\n\n  /* x */ // y\n  \"\"\";\n", 5, 4, 0, 1},
    {"escaped quotes inside a text block", "t = \"\"\"\n\\\"\"\" //\n\"\"\"; // c\n", 3, 3, 1, 0},
    {"form feed is white", "\f\n", 1, 0, 0, 1},
    {"ideographic space is content", "\xE3\x80\x80\n", 1, 1, 0, 0},
    {"no-break space is content", "\xC2\xA0\n", 1, 1, 0, 0},
    {"unicode escape is not a line end", "// \\u000a int x;\n", 1, 0, 1, 0},
    {"lone slash is code", "a = b\n/ c;\n", 2, 2, 0, 0},
    {"comment inside a line comment", "// a /* b\nint x;\n", 2, 1, 1, 0},
};

INSTANTIATE_TEST_SUITE_P(Lines, ModernLineCounterTest, ::testing::ValuesIn(kLineCases));

}  // namespace
}  // namespace rzt
