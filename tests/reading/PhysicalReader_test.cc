#include "reading/PhysicalReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReadingTestHelpers.h"

namespace rzt::test {
namespace {

struct LineCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

const std::vector<LineCase> kLineCases = {
    // Ends of lines and files.
    {"empty file", "", {}},
    {"last line without line feed", "int a;", {"S"}},
    {"line feed at the end adds no line", "int a;\n", {"S"}},
    {"empty line", "int a;\n\n", {"S", "B"}},
    {"carriage return and line feed only", "\r\n", {"B"}},
    {"a carriage return alone is no line", "\r", {}},
    {"carriage returns never end a line", "a\rb\rc\r", {"S"}},
    {"carriage returns are skipped", "a\r\r\n\r\n", {"S", "B"}},
    // State 0: code.
    {"white space", " \t \n", {"B"}},
    {"form feed is not white", "\f\n", {"S"}},
    {"double-byte space is not white", "\xE3\x80\x80\n", {"S"}},
    {"division with letters", "x = a / b;\n", {"S"}},
    // State 1: after "/".
    {"a lone slash", "/\n", {"B"}},
    {"slash then white", "/ \t\n", {"B"}},
    {"slash at the end of the file", "/", {"B"}},
    {"slash then code", "/x\n", {"S"}},
    {"slash at the end of a code line", "a /\n/\n", {"S", "B"}},
    {"line comment", "//\n", {"C"}},
    {"block comment opening", "/*\n", {"C"}},
    // State 2: line comment.
    {"code and line comment", "int a; // note\n", {"SC"}},
    {"line comment ends at the line feed", "// x\nint b;\n", {"C", "S"}},
    {"block mark inside a line comment", "// /* x\nint b;\n", {"C", "S"}},
    // State 3: block comment.
    {"block comment over lines", "int a; /* x\n y\n\n \t\n z */ b;\n", {"SC", "C", "B", "B", "SC"}},
    {"slash inside a block comment", "/* / \n/\n*/\n", {"C", "C", "C"}},
    // State 4: after "*" in a block comment.
    {"empty block comment", "/**/\n", {"C"}},
    {"stars before the close", "/* ** */ a\n", {"SC"}},
    {"star then other", "/* *x */\n", {"C"}},
    {"star at the end of a line", "/*\n*\n \n*/\n", {"C", "C", "B", "C"}},
    {"star then white", "/* * \n*/\n", {"C", "C"}},
    {"javadoc", "/**\n * Text.\n */\nclass A {}\n", {"C", "C", "C", "S"}},
    // Literals are not recognised.
    {"comment marks in a literal", "s = \"/*\";\nint a;\n*/ b\n", {"SC", "C", "SC"}},
    {"line mark in a literal", "s = \"//\"; x\ny\n", {"SC", "S"}},
};

TEST(PhysicalReaderTest, ClassifiesEveryLine) {
  for (const auto& c : kLineCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(linesOf(c.text), c.lines);
  }
}

TEST(PhysicalReaderTest, BlockCommentStateCarriesButOpenTextResets) {
  PhysicalReader reader;
  reader.openText("/* open\n");
  ASSERT_TRUE(reader.nextLine());
  EXPECT_TRUE(reader.isComment());
  EXPECT_FALSE(reader.nextLine());
  reader.closeFile();
  // A new file starts in code, whatever the last one ended in.
  reader.openText("x\n");
  ASSERT_TRUE(reader.nextLine());
  EXPECT_TRUE(reader.isStatement());
  EXPECT_FALSE(reader.isComment());
  EXPECT_FALSE(reader.nextLine());
  EXPECT_FALSE(reader.nextLine());
  reader.closeFile();
}

}  // namespace
}  // namespace rzt::test
