#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "JavaTestSupport.h"
#include "java/NestingGuard.h"

namespace rzt {
namespace {

using test::analyzeJava;
using test::JavaAnalysis;

std::string repeat(const std::string& piece, int times) {
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

struct BadCase {
  const char* name;
  std::string text;
  int32_t errorNumber;  // 0: the analysis ends normally
  const char* errorSource = nullptr;  // checked when given: the analyzer that raised it
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class JavaBadInputTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(JavaBadInputTest, EndsNormallyOrWithTheSystemsError) {
  const BadCase& c = GetParam();
  JavaAnalysis run = analyzeJava(c.text);
  EXPECT_EQ(run.errorNumber(), c.errorNumber)
      << (run.error ? run.error->source() + ": " + run.error->description() : "no error");
  if (c.errorSource != nullptr && run.error) {
    EXPECT_EQ(run.error->source(), c.errorSource);
  }
  if (c.errorNumber == 500020) {
    EXPECT_EQ(run.messages, (std::vector<std::string>{"I:解析の途中でEOFに到達しました"}));
  }
  if (c.errorNumber != 0) {
    EXPECT_TRUE(run.files.empty()) << "a file cut short was finished";
  }
  EXPECT_EQ(NestingGuard::depth(), 0);
}

std::vector<BadCase> badCases() {
  return {
      {"ClassBodyNeverCloses", "class A { void f() { } int x;", 500020},
      {"MethodBodyNeverCloses", "class A { void f() { if (x) { a(); }", 500020},
      {"UnbalancedCondition", "class A { void f() { if ((a) b(); } }", 500020},
      {"UnbalancedArguments", "class A { void f() { a(b(; } }", 0},
      {"ExtraClosingBraces", "class A { } } }", 500020},
      {"PackageWithoutSemicolon", "package a.b", 500020},
      {"OnlyOpeningBracesAtTopLevel", repeat("{", 1000000), 500020},
      {"OnlyOpeningParentheses", "class A { void f() { x" + repeat("(", 100000), 500020},
      {"BlocksInAMethodTooDeep", "class A { void f() { " + repeat("{", 1000000), 50030, "JStatementAnalyzer"},
      {"BlocksInAMemberClassTooDeep", "class A { class B { " + repeat("{", 1000000), 50030, "JStatementAnalyzer"},
      {"IfChainTooDeep", "class A { void f() { " + repeat("if (a) ", 5000) + "x(); } }", 50030, "JStatementAnalyzer"},
      {"MemberClassesTooDeep", repeat("class A { ", 3000) + repeat("}", 3000), 50030, "JClassAnalyzer"},
      {"LocalClassesTooDeep", repeat("class A { void f() { class B { ", 1500), 50030, "JClassAnalyzer"},
      {"AnonymousClassesTooDeep",
       "class A { void f() { " + repeat("new Runnable() { public void run() { ", 1500), 50030, "JClassAnalyzer"},
      // Statement levels 2 to 2000 under the class level: just allowed.
      {"BlocksAtTheLimit", "class A { void f() { " + repeat("{", 1999) + repeat("}", 1999) + " } }",
       0},
      {"BlocksOneBeyondTheLimit",
       "class A { void f() { " + repeat("{", 2000) + repeat("}", 2000) + " } }", 50030, "JStatementAnalyzer"},
      {"MemberClassesAtTheLimit", repeat("class A { ", 2000) + repeat("}", 2000), 0},
      {"MemberClassesOneBeyondTheLimit", repeat("class A { ", 2001) + repeat("}", 2001), 50030, "JClassAnalyzer"},
      {"MemberLookAheadBeyondThePool", "class A { " + repeat("x ", 5000) + "; }", 50000},
      {"AnonymousArgumentsBeyondThePool", "class A { Object o = new X(" + repeat("a ", 5000) + ");",
       50000},
  };
}

INSTANTIATE_TEST_SUITE_P(Cases, JavaBadInputTest, ::testing::ValuesIn(badCases()),
                         [](const ::testing::TestParamInfo<BadCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(JavaBadInputTest, TheNestingErrorNamesItsSourceAndLeavesTheOuterRecordsUnfinished) {
  JavaAnalysis run = analyzeJava("class A { void g() { } void f() { " + repeat("{", 3000));
  ASSERT_TRUE(run.error);
  EXPECT_EQ(run.error->number(), 50030);
  EXPECT_EQ(run.error->source(), "JStatementAnalyzer");
  EXPECT_EQ(run.error->description(), "ネストが深過ぎます");
  EXPECT_EQ(run.methodNames(), (std::vector<std::string>{"A.g"}));
  EXPECT_TRUE(run.classes.empty());
}

TEST(JavaBadInputTest, ASkipWordMismatchShowsItsMessageAndTheAnalysisGoesOn) {
  JavaAnalysis run = analyzeJava("class A { void f() { switch (k) x case 1: a(); } } }");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.messages,
            (std::vector<std::string>{"C:解析エラー！ ファイル名：Test.java  語数：13  単語：{"}));
  EXPECT_EQ(test::methodCounts(run.method("A", "f")),
            "statementCount=2 messagePassingCount=1 switchStatementCount=1");
  EXPECT_EQ(run.files.size(), 1u);
}

// Errors a damaged file may end with: end of file inside a declaration, the
// word pool exceeded, nesting too deep, a counter overflow, and an escape
// character as the very last character of the file.
bool isExpectedEnding(int32_t number) {
  static const int32_t kEndings[] = {0, 500020, 50000, 50030, 6, 50010};
  return std::find(std::begin(kEndings), std::end(kEndings), number) != std::end(kEndings);
}

TEST(JavaBadInputTest, RandomBytesEndNormallyOrWithASystemError) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 60; ++round) {
    std::string text(1 + random() % 4000, '\0');
    for (char& ch : text) ch = static_cast<char>(random() % 256);
    SCOPED_TRACE("round " + std::to_string(round));
    JavaAnalysis run = analyzeJava(text);
    EXPECT_TRUE(isExpectedEnding(run.errorNumber())) << run.error->description();
    EXPECT_EQ(NestingGuard::depth(), 0);
  }
}

TEST(JavaBadInputTest, RandomJavaWordsEndNormallyOrWithASystemError) {
  static const char* const kWords[] = {
      "class",   "interface",  "static", "{",        "}",       "(",
      ")",       "[",          "]",      ";",        "=",       ",",
      ".",       ":",          "new",    "if",       "else",    "for",
      "while",   "do",         "switch", "case",     "default", "try",
      "catch",   "finally",    "return", "throw",    "break",   "synchronized",
      "void",    "final",      "public", "x",        "Foo",     "\"s\"",
      "'c'",     "1",          "+",      "++",       "package", "import",
      "extends", "implements", "throws", "abstract", "<",       ">"};
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int words = 1 + static_cast<int>(random() % 600);
    for (int i = 0; i < words; ++i) {
      text += kWords[random() % std::size(kWords)];
      text += random() % 8 == 0 ? "\n" : " ";
    }
    SCOPED_TRACE(text);
    JavaAnalysis run = analyzeJava(text);
    EXPECT_TRUE(isExpectedEnding(run.errorNumber())) << run.error->description();
    EXPECT_EQ(NestingGuard::depth(), 0);
  }
}

}  // namespace
}  // namespace rzt
