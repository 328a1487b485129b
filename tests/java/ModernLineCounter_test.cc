#include "java/ModernLineCounter.h"

#include <gtest/gtest.h>

#include "java/ModernParseInput.h"

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

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

// What the parser reads in place of the text: the bytes the grammar's lexer
// would misread, replaced at the same offsets.
struct ParseTextCase {
  const char* name;
  std::string text;
  std::string parsed;
};

void PrintTo(const ParseTextCase& c, std::ostream* os) { *os << c.name; }

class ModernParseTextTest : public ::testing::TestWithParam<ParseTextCase> {};

// Reads the input as the parser does, chunk by chunk from every offset.
std::string readAll(ModernParseInput& input, uint32_t from) {
  TSInput in = input.input();
  std::string out;
  uint32_t at = from;
  for (;;) {
    uint32_t n = 0;
    const char* chunk = in.read(in.payload, at, TSPoint{0, 0}, &n);
    if (n == 0) break;
    out.append(chunk, n);
    at += n;
  }
  return out;
}

TEST_P(ModernParseTextTest, ReplacesWhatTheLexerWouldMisread) {
  const ParseTextCase& c = GetParam();
  ASSERT_EQ(c.text.size(), c.parsed.size());
  ModernParseInput input;
  input.reset(c.text);
  ModernLineCounts withInput = countModernLines(c.text, &input);
  EXPECT_EQ(input.parsedText(), c.parsed);
  for (uint32_t from = 0; from <= c.text.size(); ++from) {
    ASSERT_EQ(readAll(input, from), c.parsed.substr(from)) << "from offset " << from;
  }
  // Noting replacements changes no count.
  ModernLineCounts plain = countModernLines(c.text);
  EXPECT_EQ(withInput.allLoc.value(), plain.allLoc.value());
  EXPECT_EQ(withInput.loc.value(), plain.loc.value());
  EXPECT_EQ(withInput.commentLoc.value(), plain.commentLoc.value());
  EXPECT_EQ(withInput.blankLoc.value(), plain.blankLoc.value());
}

using namespace std::string_literals;

const ParseTextCase kParseTextCases[] = {
    {"plain text is read as it is", "class A { int x; } // c\n", "class A { int x; } // c\n"},
    {"lone CRs become LFs, CR LF stays", "a\rb\r\nc\r", "a\nb\r\nc\n"},
    {"NUL in a string", "s = \"a\0\0b\";"s, "s = \"a  b\";"},
    {"NUL in a character literal", "c = '\0';"s, "c = ' ';"},
    {"NUL in comments", "// a\0\n/* \0 */"s, "// a \n/*   */"},
    {"NUL in a text block", "t = \"\"\"\n\0\"\"\";"s, "t = \"\"\"\n \"\"\";"},
    {"NUL outside stays", "int\0x;"s, "int\0x;"s},
    {"comment openers in a text block", "t = \"\"\"\n // \"a\" /* b\n\"\"\"; // c",
     "t = \"\"\"\n  / \"a\"  * b\n\"\"\"; // c"},
    {"three slashes in a text block", "\"\"\"\n///*\n\"\"\"", "\"\"\"\n   *\n\"\"\""},
    {"slashes in a string stay", "s = \"// a /* b\";", "s = \"// a /* b\";"},
    {"vertical tab outside is an illegal character", "int\vx; // \v", "int\0x; // \v"s},
    {"SUB at the very end is white space", "class A {}\n\x1A", "class A {}\n "},
    {"SUB before the end stays", "class A {\x1A}", "class A {\x1A}"},
    {"other control characters are read as they are", "s = \"\x01\x1F\"; \x02", "s = \"\x01\x1F\"; \x02"},
};

INSTANTIATE_TEST_SUITE_P(ParseText, ModernParseTextTest, ::testing::ValuesIn(kParseTextCases));

// Counts and replacements of a text, with and without the table's skipping.
std::string linesAndParsedText(std::string_view text, bool byteByByte) {
  ModernParseInput input;
  input.reset(text);
  ModernLineCounts c = byteByByte ? countModernLinesByteByByte(text, &input) : countModernLines(text, &input);
  ModernLineCounts plain = byteByByte ? countModernLinesByteByByte(text) : countModernLines(text);
  auto line = [](const ModernLineCounts& k) {
    return std::to_string(k.allLoc.value()) + "/" + std::to_string(k.loc.value()) + "/" +
           std::to_string(k.commentLoc.value()) + "/" + std::to_string(k.blankLoc.value());
  };
  return line(c) + " " + line(plain) + " " + input.parsedText();
}

// Each piece at every offset of the 16-byte chunks, after plain code, white
// space or comment text, and followed by more: the bytes passed over by the
// table must count as the bytes looked at one by one.
TEST(ModernLineCounterTableTest, AgreesWithTheByteByByteCountAcrossChunkEdges) {
  using namespace std::string_literals;
  const std::vector<std::string> pieces = {
      "\n", "\r", "\r\n", "\n\r", "\r\r\n", "\0"s, "\v", "\x1A", "\x01", "\t \f",
      "\xE3\x80\x80", "\xC2\xA0", "\xFF\xFE", "//", "/*", "*/", "/**/", "\"", "\"\"\"", "'", "\\",
      "\\\n", "\\\r", "\"a\\\"b\"", "'\\''", "\"\"\"\n//x\n\"\"\"", "/* \0 \r */", "// \r x",
  };
  const std::vector<std::string> before = {"", "int abcdefghijklmnopqrstuvwxyz = 1;", "            \t\t   ",
                                           "/* block comment text that runs on */", "// line comment text ",
                                           "\"a string that goes on and on ", "\"\"\"\ntext block body "};
  const std::vector<std::string> after = {"", "x", "  tail of the line;\nnext line of code", "  \r  */ done \"\n"};
  for (const std::string& piece : pieces) {
    for (const std::string& head : before) {
      for (const std::string& rest : after) {
        for (size_t pad = 0; pad < 34; ++pad) {
          for (const char filler : {' ', 'q'}) {
            const std::string text = std::string(pad, filler) + head + piece + rest + piece;
            ASSERT_EQ(linesAndParsedText(text, false), linesAndParsedText(text, true))
                << "piece " << testing::PrintToString(piece) << " pad " << pad << " text "
                << testing::PrintToString(text);
          }
        }
      }
    }
  }
}

// Texts of random hostile bytes: whatever the bytes, both ways agree.
TEST(ModernLineCounterTableTest, AgreesWithTheByteByByteCountOnRandomBytes) {
  const std::string alphabet = std::string("ab \t\f\n\r/*\"'\\\v\x1A\x01\xE3\x80\xFF") + '\0';
  std::mt19937 random(20240607);
  for (int round = 0; round < 20000; ++round) {
    const size_t length = random() % 80;
    std::string text;
    for (size_t i = 0; i < length; ++i) {
      // Long plain runs, so that whole chunks are passed over too.
      if (random() % 4 == 0) {
        text.append(random() % 40, random() % 2 ? ' ' : 'z');
      } else {
        text.push_back(alphabet[random() % alphabet.size()]);
      }
    }
    ASSERT_EQ(linesAndParsedText(text, false), linesAndParsedText(text, true)) << testing::PrintToString(text);
  }
}

}  // namespace
}  // namespace rzt
