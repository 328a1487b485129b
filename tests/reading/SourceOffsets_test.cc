// Where words come from: the offsets the comment cleaner maps back to the
// file's text, the offsets of words, and the lines of offsets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReadingTestHelpers.h"
#include "reading/SourceLines.h"

namespace rzt::test {
namespace {

struct LineCase {
  const char* name;
  std::string text;
  // The line of each character of text, in order.
  std::vector<int32_t> lines;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class SourceLinesTest : public ::testing::TestWithParam<LineCase> {};

// The line feeds as the line pass adds them: every one, in order.
void addLineFeeds(SourceLines& lines, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') lines.addLineFeed(i);
  }
}

TEST_P(SourceLinesTest, CountsEveryKindOfLineEnd) {
  const LineCase& c = GetParam();
  ASSERT_EQ(c.text.size(), c.lines.size());
  SourceLines lines;
  lines.reset("stale\r\rtext\r");  // nothing of an earlier text may stay
  lines.addLineFeed(0);
  lines.reset(c.text);
  addLineFeeds(lines, c.text);
  uint32_t lineFeeds = 0;
  for (size_t i = 0; i < c.text.size(); ++i) {
    EXPECT_EQ(c.lines[i], lines.lineOf(i)) << "offset " << i;
    // A syntax tree's row counts the line feeds before the character.
    EXPECT_EQ(c.lines[i], lines.lineOf(i, lineFeeds)) << "offset " << i << " from its row";
    if (c.text[i] == '\n') ++lineFeeds;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SourceLinesTest,
    ::testing::ValuesIn(std::vector<LineCase>{
        {"LineFeeds", "a\nbc\n\nd", {1, 1, 2, 2, 2, 3, 4}},
        {"CarriageReturnLineFeeds", "a\r\nb\r\n\r\nc", {1, 1, 1, 2, 2, 2, 3, 3, 4}},
        {"LoneCarriageReturns", "a\rb\r\rc", {1, 1, 2, 2, 3, 4}},
        {"MixedLineEnds", "a\r\nb\rc\nd\r", {1, 1, 1, 2, 2, 3, 3, 4, 4}},
        {"CarriageReturnAtTheEnd", "ab\r", {1, 1, 1}},
        {"NoLineEnd", "abc", {1, 1, 1}},
        {"OnlyLineEnds", "\n\r\r\n\n", {1, 2, 3, 3, 4}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SourceLinesTest, AnOffsetPastTheTextIsOnItsLastLine) {
  SourceLines lines;
  const std::string text = "a\nb\rc";
  lines.reset(text);
  addLineFeeds(lines, text);
  EXPECT_EQ(3, lines.lineOf(text.size()));
  EXPECT_EQ(3, lines.lineOf(size_t{1} << 40));
}

// Texts whose comments, held slashes and literals move the clean text
// against the file's.
const std::vector<std::string> kShiftedTexts = {
    "class A { }",
    "/* head */ class A { }",
    "a/*x*/b c",
    "a // line\nb // more\r\nc",
    "x = a / b / c;\ny = a/ b;",
    "/* a */ /* b */ c /**/ d /*\n\n*/ e",
    "s = \"// not /* a comment\"; // but this\nt",
    "c = '\\''; /* q */ d = \"\\\"\" /**/;",
    "x/*a*//y",
    "a/'b'/\"c\"",
    "/* \xE6\x97\xA5\xE6\x9C\xAC */ int \xE5\x90\x8D = 1; // \xE8\xAA\xAC\n",
    "unterminated /* comment",
};

// Every character of the clean text stands at its mapped offset in the
// file's text, and the mapped offsets keep their order.
void expectEveryCharacterMapsBack(CommentCleaner& cleaner, const std::string& text) {
  const std::string clean(cleaner.getCleanText());
  size_t previous = 0;
  for (size_t i = 0; i < clean.size(); ++i) {
    const size_t at = cleaner.getSourceOffset(i);
    ASSERT_LT(at, text.size()) << "clean offset " << i;
    EXPECT_EQ(clean[i], text[at]) << "clean offset " << i;
    if (i > 0) {
      EXPECT_LT(previous, at) << "clean offset " << i;
    }
    previous = at;
  }
}

TEST(CommentCleanerOffsetTest, MapsEveryCleanCharacterBackToTheFile) {
  for (const std::string& text : kShiftedTexts) {
    SCOPED_TRACE(text);
    TempDir dir;
    dir.write("T.java", text);
    auto cleaner = makeCleaner(std::make_unique<FileReader>());
    cleaner->openFile(dir.str(), "T.java");
    expectEveryCharacterMapsBack(*cleaner, text);
    cleaner->closeFile();
  }
}

TEST(CommentCleanerOffsetTest, MapsBackAlsoFromASourceReadOneCharacterAtATime) {
  for (const std::string& text : kShiftedTexts) {
    SCOPED_TRACE(text);
    auto cleaner = makeCleaner(std::make_unique<OpaqueSource>(std::make_unique<StringSource>(text)));
    cleaner->openFile("", "T.java");
    expectEveryCharacterMapsBack(*cleaner, text);
  }
}

TEST(CommentCleanerOffsetTest, ANewFileForgetsTheShiftsOfTheLast) {
  TempDir dir;
  dir.write("A.java", "/* a long comment before */ x");
  dir.write("B.java", "y z");
  auto cleaner = makeCleaner(std::make_unique<FileReader>());
  cleaner->openFile(dir.str(), "A.java");
  EXPECT_EQ(28u, cleaner->getSourceOffset(1));
  cleaner->closeFile();
  cleaner->openFile(dir.str(), "B.java");
  EXPECT_EQ(2u, cleaner->getSourceOffset(2));
}

// The words of texts without a comment inside a word: each stands in the
// file's text where its offset says.
TEST(WordOffsetTest, EachWordStandsAtItsOffset) {
  const std::vector<std::string> texts = {
      "package a.b;\nimport c.*;\npublic class A extends B { int x = 1 >= 2 ? 3 : 4; }",
      "/* x */ class /* y */ A { // z\n void f() { s = \"a b // c\"; t = 'q'; } }",
      "a / b /c/ d;\r\nx++ + ++y;\rz = a.b.c();",
      "\t \b w1\n\n  w2 \"lit\"w3'c'(w4)",
      "int \xE5\x90\x8D = \"\xE6\x97\xA5\"; /* \xE6\x9C\xAC */ end",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    TempDir dir;
    dir.write("T.java", text);
    auto stream = makeStream();
    stream->openFile(dir.str(), "T.java");
    LogicalReader& words = *stream->getWordReader();
    int32_t count = 0;
    while (stream->hasMoreWords()) {
      const std::string word = stream->readWord();
      const size_t at = words.getSourceOffset(words.getWordOffset());
      EXPECT_EQ(word, text.substr(at, word.size())) << "word " << count;
      ++count;
    }
    EXPECT_GT(count, 3);
    stream->closeFile();
  }
}

TEST(WordOffsetTest, WordsOfAnyCharacterSourceHaveTheirOffsets) {
  const std::string text = "  alpha beta\n\"g h\" ;delta";
  auto reader = makeWordReader(std::make_unique<StringSource>(text));
  reader->openFile("", "T.java");
  std::vector<size_t> offsets;
  while (reader->hasMoreWords()) {
    reader->readWord();
    offsets.push_back(reader->getSourceOffset(reader->getWordOffset()));
  }
  EXPECT_EQ((std::vector<size_t>{2, 8, 13, 19, 20}), offsets);
}

// The line of the word read last follows the ring through push-backs.
TEST(WordLineTest, FollowsTheWordsGivenBack) {
  TempDir dir;
  const std::string text = "one\r\ntwo /* three\n */ four\rfive\nsix";
  dir.write("T.java", text);
  auto stream = makeStream();
  SourceLines lines;
  stream->setSourceLines(&lines);
  stream->openFile(dir.str(), "T.java");
  lines.reset(text);
  addLineFeeds(lines, text);
  std::vector<std::string> seen;
  auto read = [&]() {
    const std::string w = stream->readWord();
    seen.push_back(w + "@" + std::to_string(stream->getWordLine()));
  };
  read();
  read();
  read();
  stream->pushBack(2);
  EXPECT_EQ(1, stream->getWordLine());  // "one" is the word before the next one
  read();
  read();
  read();
  read();
  EXPECT_EQ((std::vector<std::string>{"one@1", "two@2", "four@3", "two@2", "four@3", "five@4", "six@5"}), seen);
  stream->closeFile();
}

TEST(WordLineTest, IsZeroWithoutTheLinesOfTheFile) {
  TempDir dir;
  dir.write("T.java", "a\nb");
  auto stream = makeStream();
  stream->openFile(dir.str(), "T.java");
  stream->readWord();
  stream->readWord();
  EXPECT_EQ(0, stream->getWordLine());
  stream->closeFile();
}

}  // namespace
}  // namespace rzt::test
