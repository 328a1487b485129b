#include "reading/LogicalReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ReadingTestHelpers.h"

namespace rzt::test {
namespace {

struct WordCase {
  const char* name;
  std::string text;
  std::string words;  // joined with "|"
};

const std::vector<WordCase> kWordCases = {
    // Names, keywords, numbers and white space (steps 3 and 6).
    {"package declaration", "package com.example.app;\n", "package|com|.|example|.|app|;"},
    {"word at the very end", "import x", "import|x"},
    {"runs of blanks", "a   \t\r\n\n  b\b\bc", "a|b|c"},
    {"decimal number", "1.5", "1|.|5"},
    {"ordinary characters", "~x @Override a\\b $v_1", "~x|@Override|a\\b|$v_1"},
    {"double-byte names", "表示 = 1;", "表示|=|1|;"},
    {"blank only", " \n\t\r\n", ""},
    {"nul is an ordinary character", std::string("a\0b c", 5), std::string("a\0b|c", 5)},
    // Symbols (step 5).
    {"greater or equal", "a>=b", "a|>|=|b"},
    {"compound assignment", "a+=1", "a|+|=|1"},
    {"increments", "i++ + ++j", "i|++|+|++|j"},
    {"three plus signs", "a+++b", "a|++|+|b"},
    {"unsigned shift", "a>>>b", "a|>>|>|b"},
    {"pairs", "x==y!=z&&p||q<<1--", "x|==|y|!=|z|&&|p||||q|<<|1|--"},
    {"no pair", "a=!b", "a|=|!|b"},
    {"call", "f(a,b);", "f|(|a|,|b|)|;"},
    {"closing comment mark outside a comment", "a */ b", "a|*/|b"},
    {"division", "a/b a / b", "a|/|b|a|/|b"},
    {"symbol after blank", "a ;", "a|;"},
    // Literals (steps 2 and 4).
    {"string with comment marks", "s = \"a //b /*\";", "s|=|\"a //b /*\"|;"},
    {"escaped apostrophe", "c = '\\'';", "c|=|'\\''|;"},
    {"escaped quote", "\"a\\\"b\"", "\"a\\\"b\""},
    {"other quote inside", "'\"' \"'\"", "'\"'|\"'\""},
    {"literals and a symbol", "\"a\"+\"b\"", "\"a\"|+|\"b\""},
    {"literal then a name", "\"a\"b", "\"a\"|b"},
    {"name then a literal", "x\"y\"", "x|\"y\""},
    {"literal in brackets", "(\"s\")", "(|\"s\"|)"},
    {"literal then a period", "\"a\".length", "\"a\"|.|length"},
    {"literal over a line end", "\"a\nb\" c", "\"a\nb\"|c"},
    {"unclosed literal at the end", "x = \"abc", "x|=|\"abc"},
    {"empty literal", "\"\"", "\"\""},
    // With the comment cleaner below.
    {"comment between names", "a/**/b", "ab"},
    {"line comment", "a // c\nb", "a|b"},
    {"japanese comment", "x /* 表示 */ y // ソ\n", "x|y"},
};

TEST(LogicalReaderTest, SplitsTextIntoWords) {
  for (const auto& c : kWordCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(joinWords(wordsOf(c.text)), c.words);
  }
}

// The word machine written plainly from its steps, over a string.
std::vector<std::string> referenceWords(const std::string& text, bool* ranPastEnd) {
  SymbolRuleMgr rules;
  auto blank = [](const std::string& s) {
    return s.empty() || s == " " || s == "\t" || s == "\r" || s == "\n" || s == "\b";
  };
  std::vector<std::string> words;
  size_t pos = 0;
  bool hasPeek = false;
  std::string peek, prev = " ", cur = " ", buffer = " ", quote;
  bool inLiteral = false;
  *ranPastEnd = false;
  auto more = [&] { return pos < text.size(); };
  auto read = [&] { return std::string(1, text[pos++]); };
  for (;;) {
    // hasMoreWords
    if (blank(buffer)) {
      if (!hasPeek) {
        std::string c = " ";
        while (blank(c) && more()) c = read();
        hasPeek = !blank(c);
        peek = c;
      }
      if (!hasPeek) return words;
    }
    // readWord
    for (;;) {
      if (hasPeek) {
        prev = cur;
        cur = peek;
        hasPeek = false;
      } else if (more()) {
        prev = cur;
        cur = read();
      } else {
        words.push_back(buffer);
        buffer = "";
        break;
      }
      if (inLiteral) {
        buffer += cur;
        if (rules.isLiteralMask(cur)) {
          prev = cur;
          if (!more()) {
            *ranPastEnd = true;
            return words;
          }
          cur = read();
          buffer += cur;
        } else if (cur == quote) {
          inLiteral = false;
        }
        continue;
      }
      std::string done;
      bool complete = false;
      if (blank(cur)) {
        if (blank(prev)) continue;
        done = buffer, buffer = " ", complete = true;
      } else if (rules.isLiteral(cur)) {
        inLiteral = true;
        quote = cur;
        if (blank(prev)) buffer = cur;
        else done = buffer, buffer = cur, complete = true;
      } else if (rules.isSymbol(cur)) {
        if (blank(prev)) buffer = cur;
        else if (rules.isLiteral(prev) || !rules.isSymbol(prev)) done = buffer, buffer = cur, complete = true;
        else if (rules.isSymbol(buffer + cur)) buffer += cur;
        else done = buffer, buffer = cur, complete = true;
      } else {
        if (blank(prev)) buffer = cur;
        else if (rules.isSymbol(prev)) done = buffer, buffer = cur, complete = true;
        else buffer += cur;
      }
      if (complete) {
        words.push_back(done);
        break;
      }
    }
  }
}

// Random texts through the cleaner's in-place path and through a plain
// character source must give the reference's words and errors.
TEST(LogicalReaderTest, MatchesTheWordMachineOnRandomTexts) {
  const std::string alphabet = "ab1 \t\n\r\b.;=+><!&|\"'\\~";
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int length = static_cast<int>(rng() % 30);
    for (int i = 0; i < length; ++i) text.push_back(alphabet[rng() % alphabet.size()]);
    SCOPED_TRACE(text);
    bool expectPastEnd = false;
    std::vector<std::string> expected = referenceWords(text, &expectPastEnd);
    for (int path = 0; path < 2; ++path) {
      // No comment marks in the alphabet: the cleaner passes the text unchanged.
      std::unique_ptr<ICharSource> cleaner = makeCleaner(std::make_unique<StringSource>(text));
      if (path == 1) cleaner = std::make_unique<OpaqueSource>(std::move(cleaner));
      auto reader = makeWordReader(std::move(cleaner));
      reader->openFile("d", "f");
      std::vector<std::string> words;
      bool pastEnd = false;
      try {
        while (reader->hasMoreWords()) words.push_back(reader->readWord());
      } catch (const RztError& e) {
        ASSERT_EQ(e.number(), 50010);
        pastEnd = true;
      }
      EXPECT_EQ(words, expected) << "path " << path;
      EXPECT_EQ(pastEnd, expectPastEnd) << "path " << path;
    }
  }
}

TEST(LogicalReaderTest, ReadingPastTheLastWordShowsMessageAndRaises500020) {
  TempDir dir;
  dir.write("A.java", "class A {\n");
  RecordingUserMessage messages;
  auto reader = makeWordReader(makeCleaner(std::make_unique<FileReader>()), &messages);
  reader->openFile(dir.str(), "A.java");
  EXPECT_EQ(joinWords(drainWords(*reader)), "class|A|{");
  EXPECT_TRUE(messages.shown.empty());
  try {
    reader->readWord();
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), 500020);
    EXPECT_EQ(e.source(), "LogicalReader.readWord");
    EXPECT_EQ(e.description(), "500020");
    EXPECT_EQ(e.message(), "解析の途中でEOFに到達しました");
    EXPECT_EQ(e.fullDescription(), "500020 解析の途中でEOFに到達しました");
  }
  EXPECT_EQ(messages.shown, std::vector<std::string>{"I:解析の途中でEOFに到達しました"});
}

TEST(LogicalReaderTest, EscapeAsLastCharacterRaises50010) {
  for (const std::string text : {"x = \"ab\\", "'\\"}) {
    SCOPED_TRACE(text);
    TempDir dir;
    dir.write("A.java", text);
    auto reader = makeWordReader(makeCleaner(std::make_unique<FileReader>()));
    reader->openFile(dir.str(), "A.java");
    try {
      while (reader->hasMoreWords()) reader->readWord();
      FAIL() << "no error";
    } catch (const RztError& e) {
      EXPECT_EQ(e.number(), 50010);
    }
  }
}

TEST(LogicalReaderTest, ReopenStartsAfresh) {
  TempDir dir;
  dir.write("A.java", "a \"open");
  dir.write("B.java", "b c");
  auto reader = makeWordReader(makeCleaner(std::make_unique<FileReader>()));
  reader->openFile(dir.str(), "A.java");
  EXPECT_EQ(joinWords(drainWords(*reader)), "a|\"open");
  reader->closeFile();
  reader->openFile(dir.str(), "B.java");
  EXPECT_EQ(joinWords(drainWords(*reader)), "b|c");
  reader->closeFile();
}

TEST(LogicalReaderTest, WorksDirectlyOnAFileReader) {
  TempDir dir;
  dir.write("A.java", "a /* b */ \"c\"");
  auto reader = makeWordReader(std::make_unique<FileReader>());
  reader->openFile(dir.str(), "A.java");
  EXPECT_EQ(joinWords(drainWords(*reader)), "a|/*|b|*/|\"c\"");
}

}  // namespace
}  // namespace rzt::test
