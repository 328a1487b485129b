// Control characters in every place of a Java text, in both analyses: inside
// string and character literals, text blocks and comments they are text like
// any other, so the file measures exactly as it does with a letter there;
// outside them, the syntax-tree analysis counts a syntax error unless Java
// takes the character for white space.

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "JavaTestSupport.h"
#include "TestSupport.h"
#include "analysis/AnalysisMonitor.h"
#include "java/ModernFileAnalyzer.h"

namespace rzt {
namespace {

using test::JavaAnalysis;

enum class Place { String, Character, TextBlock, LineComment, BlockComment, Outside };

const char* placeName(Place p) {
  switch (p) {
    case Place::String: return "String";
    case Place::Character: return "Character";
    case Place::TextBlock: return "TextBlock";
    case Place::LineComment: return "LineComment";
    case Place::BlockComment: return "BlockComment";
    case Place::Outside: return "Outside";
  }
  return "?";
}

// A class with a field, the character c in the given place, and a method
// after it that the analyses must still find.
std::string javaWith(Place place, const std::string& c) {
  std::string head = "package p;\nclass P {\n  int a = 1;\n";
  std::string tail = "  void m(int k) { if (k > 0) { g(k); } }\n}\n";
  switch (place) {
    case Place::String: return head + "  String s = \"a" + c + "b\";\n" + tail;
    case Place::Character: return head + "  char c = '" + c + "';\n" + tail;
    case Place::TextBlock: return head + "  String t = \"\"\"\n    a" + c + "b\n    \"\"\";\n" + tail;
    case Place::LineComment: return head + "  // a" + c + "b\n" + tail;
    case Place::BlockComment: return head + "  /* a" + c + "b */\n" + tail;
    case Place::Outside: return head + "  int y =" + c + "2;\n" + tail;
  }
  return {};
}

struct ControlCase {
  char c;
  Place place;
};

std::string caseName(const ControlCase& k) {
  char code[8];
  std::snprintf(code, sizeof code, "%02X", static_cast<unsigned char>(k.c));
  return std::string(placeName(k.place)) + "_" + code;
}

void PrintTo(const ControlCase& k, std::ostream* os) { *os << caseName(k); }

// Every C0 control character but the line ends, and DEL, in every place.
std::vector<ControlCase> controlCases() {
  std::vector<ControlCase> cases;
  for (Place place : {Place::String, Place::Character, Place::TextBlock, Place::LineComment, Place::BlockComment,
                      Place::Outside}) {
    for (int c = 0; c <= 0x7F; ++c) {
      if ((c >= 0x20 && c < 0x7F) || c == '\n' || c == '\r') continue;
      cases.push_back({static_cast<char>(c), place});
    }
  }
  return cases;
}

JavaAnalysis analyzeModern(const std::string& text) {
  test::TempDir dir;
  dir.write("P.java", text);
  JavaAnalysis result;
  test::RecordingReportWriter writer(result.events);
  ModernFileAnalyzer analyzer;
  analyzer.init(nullptr, &writer);
  try {
    analyzer.doAnalysis(dir.str(), "P.java");
  } catch (const RztError& e) {
    result.error = e;
  }
  result.files = std::move(writer.files);
  result.classes = std::move(writer.classes);
  result.methods = std::move(writer.methods);
  return result;
}

// Everything measured, as one text to compare.
std::string measured(const JavaAnalysis& run) {
  std::string out = "error=" + std::to_string(run.errorNumber());
  for (const FileRecord& f : run.files) {
    out += " | file " + f.packageName + " lines=" + std::to_string(f.allLoc.value()) + "/" +
           std::to_string(f.loc.value()) + "/" + std::to_string(f.commentLoc.value()) + "/" +
           std::to_string(f.blankLoc.value()) + " classes=" + std::to_string(f.classCount.value());
  }
  for (const ClassRecord& c : run.classes) out += " | " + test::classHead(c) + " " + test::classCounts(c);
  for (const MethodRecord& m : run.methods) out += " | " + test::methodHead(m) + " " + test::methodCounts(m);
  return out;
}

bool isJavaWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\f'; }

class ControlCharacterTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlCharacterTest, ModernAnalysisReadsThemAsJavaDoes) {
  const ControlCase& k = GetParam();
  const std::string text = javaWith(k.place, std::string(1, k.c));
  JavaAnalysis run = analyzeModern(text);
  ASSERT_EQ(run.errorNumber(), 0);
  ASSERT_EQ(run.files.size(), 1u);
  if (k.place == Place::Outside && !isJavaWhiteSpace(k.c)) {
    EXPECT_GT(run.files[0].syntaxErrorCount, 0);
    return;
  }
  EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  // As with an ordinary character in its place: a letter in literals and
  // comments, a space where Java reads white space.
  const std::string plain = javaWith(k.place, k.place == Place::Outside ? " " : "x");
  EXPECT_EQ(measured(run), measured(analyzeModern(plain)));
}

TEST_P(ControlCharacterTest, WordLevelAnalysisStillReadsThemAsText) {
  const ControlCase& k = GetParam();
  // The word-level analysis knows no text blocks, and does not check syntax.
  if (k.place == Place::TextBlock) GTEST_SKIP();
  JavaAnalysis run = test::analyzeJava(javaWith(k.place, std::string(1, k.c)));
  EXPECT_EQ(measured(run), measured(test::analyzeJava(javaWith(k.place, "x"))));
  EXPECT_EQ(run.errorNumber(), 0);
}

INSTANTIATE_TEST_SUITE_P(Places, ControlCharacterTest, ::testing::ValuesIn(controlCases()),
                         [](const ::testing::TestParamInfo<ControlCase>& info) { return caseName(info.param); });

}  // namespace
}  // namespace rzt
