// Odd and hostile files through both reading paths: each ends normally or
// with the reader's own error, never with a crash.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ReadingTestHelpers.h"
#include "reading/ReaderStack.h"

namespace rzt::test {
namespace {

struct BadInputCase {
  const char* name;
  std::string bytes;
  int lines;          // physical lines
  int words;          // words before the end or the error; -1: not checked
  int error;          // error of the word stream, 0: none
};

std::string randomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

std::vector<BadInputCase> badInputs() {
  std::string longLine;
  while (longLine.size() < 10 * 1000 * 1000) longLine += "a = b + \"c\" /* d */ ; ";
  return {
      {"empty file", "", 0, 0, 0},
      {"no final line feed", "class A {}", 1, 4, 0},
      {"carriage-return line ends", "class A\r{\r}\r", 1, 4, 0},
      {"nul bytes", std::string("int\0a;\0\n\0", 9), 2, 4, 0},
      {"only nul bytes", std::string(1000, '\0'), 1, 1, 0},
      {"binary", randomBytes(200000, 5), -1, -1, -1},
      {"binary without line feeds", std::string(5000, '\x80'), 1, 1, 0},
      {"ten megabyte line", longLine, 1, -1, 0},
      {"unterminated block comment", "int a; /* x\n y", 2, 3, 0},
      {"unterminated line comment", "int a; // x", 1, 3, 0},
      {"unterminated string", "s = \"abc\n", 1, 3, 0},
      {"unterminated char literal", "c = 'x", 1, 3, 0},
      {"escape as last byte", "s = \"a\\", 1, 2, 50010},
      {"escape after a quote at the end", "'\\", 1, 0, 50010},
      {"lone slash at the end", "a /", 1, 1, 0},
      {"only comments", "/* a */ // b\n/** c */", 2, 0, 0},
  };
}

TEST(BadInputTest, EveryFileEndsNormallyOrWithItsError) {
  TempDir dir;
  RecordingUserMessage messages;
  auto stream = std::make_unique<PushBackReader>();
  FileReader& file = buildReaderStack(*stream, "auto", &messages);
  PhysicalReader lines;
  for (const auto& c : badInputs()) {
    SCOPED_TRACE(c.name);
    dir.write("Bad.java", c.bytes);

    // As the file analyzer does: one read of the file for both passes.
    stream->openFile(dir.str(), "Bad.java");
    lines.openText(file.getText());
    int lineCount = 0;
    while (lines.nextLine()) ++lineCount;
    lines.closeFile();
    if (c.lines >= 0) {
      EXPECT_EQ(lineCount, c.lines);
    }

    int words = 0;
    int error = 0;
    try {
      while (stream->hasMoreWords()) {
        const std::string& word = stream->readWord();
        EXPECT_FALSE(word.empty());
        ++words;
      }
    } catch (const RztError& e) {
      error = e.number();
    }
    stream->closeFile();
    if (c.error >= 0) {
      EXPECT_EQ(error, c.error);
    } else {
      EXPECT_TRUE(error == 0 || error == 50010) << error;
    }
    if (c.words >= 0) {
      EXPECT_EQ(words, c.words);
    }
    EXPECT_EQ(stream->getWordCount(), words);
  }
  // Only reading past the last word shows a message; none did.
  EXPECT_TRUE(messages.shown.empty());
}

TEST(BadInputTest, TenMegabyteLineGivesEveryWord) {
  std::string text;
  int expected = 0;
  while (text.size() < 10 * 1000 * 1000) {
    text += "x" + std::to_string(expected) + " ";
    ++expected;
  }
  std::vector<std::string> words = wordsOf(text);
  ASSERT_EQ(static_cast<int>(words.size()), expected);
  EXPECT_EQ(words.front(), "x0");
  EXPECT_EQ(words.back(), "x" + std::to_string(expected - 1));
  // One literal of ten megabytes is one word.
  std::string literal = "\"" + std::string(10 * 1000 * 1000, 'a') + "\"";
  words = wordsOf("s = " + literal + ";");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(words[2], literal);
}

}  // namespace
}  // namespace rzt::test
