#include "reading/CommentCleaner.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ReadingTestHelpers.h"

namespace rzt::test {
namespace {

struct CleanCase {
  const char* name;
  std::string text;
  std::string clean;
};

const std::vector<CleanCase> kCleanCases = {
    // State 0: code.
    {"plain code", "int a = 1;\n", "int a = 1;\n"},
    {"string opens a literal", "s = \"x\";", "s = \"x\";"},
    // State 1: after "/".
    {"block comment joins names", "a/*x*/b", "ab"},
    {"line comment leaves its line feed", "a// c\nb", "a\nb"},
    {"line comment leaves its carriage return", "a// c\r\nb", "a\r\nb"},
    {"division", "a/b", "a/b"},
    {"space after a division is lost", "a / b", "a /b"},
    {"tab after a division is kept", "a/\tb", "a/\tb"},
    {"division by a character literal", "a/'/*'b", "a/'/*'b"},
    {"division by a string literal", "a/\"//\"+b", "a/\"//\"+b"},
    {"division at a line end", "a/\nb", "a/\nb"},
    {"lone slash at the end is lost", "a/", "a"},
    // State 2: line comment.
    {"line comment at the end", "a//c", "a"},
    {"carriage return ends a line comment", "a//\rb", "a\rb"},
    {"block mark in a line comment", "a// /* \nb */", "a\nb *"},
    // States 3 and 4: block comment.
    {"stars in a block comment", "/* ** */x", "x"},
    {"three stars", "/***/x", "x"},
    {"star then other", "/* *x */y", "y"},
    {"slash inside a block comment", "a/*/b*/c", "ac"},
    {"line ends inside vanish", "a/*\n\n*/b\n", "ab\n"},
    {"slash right after a block comment", "x/*a*//y", "x/y"},
    {"unterminated block comment", "a /* b\nc", "a "},
    // States 8 and 9: literals.
    {"comment marks in a string", "\"//x/*y\" z", "\"//x/*y\" z"},
    {"escaped apostrophe", "c = '\\''; /*x*/", "c = '\\''; "},
    {"escaped quote", "\"a\\\"b\"/*c*/d", "\"a\\\"b\"d"},
    {"the other quote does not close", "\"it's\"/*c*/x", "\"it's\"x"},
    {"escaped backslash", "\"\\\\\"/**/x", "\"\\\\\"x"},
    {"unterminated string", "\"abc /* d", "\"abc /* d"},
    {"escape as the last character", "'\\", "'\\"},
    {"literal over a line end", "\"a\n//b\"c", "\"a\n//b\"c"},
    {"empty file", "", ""},
};

TEST(CommentCleanerTest, DeliversTextWithoutComments) {
  for (const auto& c : kCleanCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cleanedText(c.text), c.clean);
  }
}

// The cleaner one character at a time, exactly as its table says: a pending
// character made by hasMoreChars, a held character with space as "nothing".
class ReferenceCleaner {
 public:
  explicit ReferenceCleaner(std::string text) : text_(std::move(text)) {}
  bool hasMoreChars() {
    if (hasPending_) return true;
    try {
      pending_ = next();
      hasPending_ = true;
      return true;
    } catch (const RztError&) {
      return false;
    }
  }
  char readChar() {
    if (hasPending_) {
      hasPending_ = false;
      return pending_;
    }
    return next();
  }

 private:
  char next() {
    if (held_ != ' ') {
      char c = held_;
      held_ = ' ';
      return c;
    }
    for (;;) {
      if (pos_ >= text_.size()) throw RztError(50010, "", "");
      char c = text_[pos_++];
      bool quote = c == '"' || c == '\'';
      switch (state_) {
        case 0:
          if (c == '/') { state_ = 1; break; }
          if (quote) { quote_ = c; state_ = 8; }
          return c;
        case 1:
          if (c == '/') { state_ = 2; break; }
          if (c == '*') { state_ = 3; break; }
          if (quote) { quote_ = c; held_ = c; state_ = 8; return '/'; }
          held_ = c;
          state_ = 0;
          return '/';
        case 2:
          if (c == '\n' || c == '\r') { state_ = 0; return c; }
          break;
        case 3:
          if (c == '*') state_ = 4;
          break;
        case 4:
          state_ = c == '/' ? 0 : c == '*' ? 4 : 3;
          break;
        case 8:
          if (c == quote_) state_ = 0;
          else if (c == '\\') state_ = 9;
          return c;
        case 9:
          state_ = 8;
          return c;
      }
    }
  }

  std::string text_;
  size_t pos_ = 0;
  int state_ = 0;
  char quote_ = ' ';
  char held_ = ' ';
  bool hasPending_ = false;
  char pending_ = ' ';
};

// Random texts over the characters the machine decides on, read with random
// mixes of hasMoreChars and readChar, through both the file path and a plain
// character source; every read must match the reference, errors included.
TEST(CommentCleanerTest, MatchesTheCharacterMachineOnRandomTexts) {
  const std::string alphabet = "ab /*\"'\\\n\r\t";
  std::mt19937 rng(7);
  TempDir dir;
  for (int round = 0; round < 1500; ++round) {
    std::string text;
    int length = static_cast<int>(rng() % 40);
    for (int i = 0; i < length; ++i) text.push_back(alphabet[rng() % alphabet.size()]);
    SCOPED_TRACE(text);
    dir.write("R.java", text);
    for (int path = 0; path < 2; ++path) {
      std::unique_ptr<ICharSource> source;
      if (path == 0) source = std::make_unique<FileReader>();
      else source = std::make_unique<StringSource>(text);
      auto cleaner = makeCleaner(std::move(source));
      cleaner->openFile(dir.str(), "R.java");
      ReferenceCleaner reference(text);
      for (int step = 0; step < 60; ++step) {
        if (rng() % 3 == 0) {
          ASSERT_EQ(cleaner->hasMoreChars(), reference.hasMoreChars());
          continue;
        }
        int expectedError = 0;
        char expected = 0;
        try {
          expected = reference.readChar();
        } catch (const RztError& e) {
          expectedError = e.number();
        }
        try {
          char got = cleaner->readChar();
          ASSERT_EQ(expectedError, 0);
          ASSERT_EQ(got, expected);
        } catch (const RztError& e) {
          ASSERT_EQ(e.number(), expectedError);
        }
      }
    }
  }
}

TEST(CommentCleanerTest, ReadPastTheEndRaises50010) {
  TempDir dir;
  dir.write("A.java", "a/*x");
  auto cleaner = makeCleaner(std::make_unique<FileReader>());
  cleaner->openFile(dir.str(), "A.java");
  ASSERT_TRUE(cleaner->hasMoreChars());
  EXPECT_EQ(cleaner->readChar(), 'a');
  EXPECT_FALSE(cleaner->hasMoreChars());
  EXPECT_FALSE(cleaner->hasMoreChars());
  for (int i = 0; i < 2; ++i) {
    try {
      cleaner->readChar();
      FAIL() << "no error";
    } catch (const RztError& e) {
      EXPECT_EQ(e.number(), 50010);
      EXPECT_EQ(e.source(), "CommentCleaner.readChar");
      EXPECT_EQ(e.description(), "EOF後のreadChar(CommentCleaner)");
    }
  }
}

TEST(CommentCleanerTest, StateIsResetForEachFile) {
  TempDir dir;
  dir.write("A.java", "x /* open \"");
  dir.write("B.java", "y */ z");
  auto cleaner = makeCleaner(std::make_unique<FileReader>());
  cleaner->openFile(dir.str(), "A.java");
  EXPECT_EQ(drain(*cleaner), "x ");
  cleaner->closeFile();
  cleaner->openFile(dir.str(), "B.java");
  EXPECT_EQ(drain(*cleaner), "y */z");
  cleaner->closeFile();
}

TEST(CommentCleanerTest, SourceErrorEndsTheStreamAndIsRaisedAgain) {
  auto cleaner = makeCleaner(std::make_unique<StringSource>("ab/*c*/de", 8));
  cleaner->openFile("d", "f");
  EXPECT_EQ(drain(*cleaner), "abd");
  try {
    cleaner->readChar();
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), 999);
  }
}

}  // namespace
}  // namespace rzt::test
