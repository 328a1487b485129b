// The line of every kind of declaration, in both analyses: each class and
// method record knows the line of its name (of its "new" for an anonymous
// class, of the constant's name for an enum constant's body), counted as
// editors count lines whatever the file's line ends and encoding.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "JavaTestSupport.h"

namespace rzt::test {
namespace {

struct LineCase {
  const char* name;
  std::string text;
  // "name@line" of each class record, then of each method record
  // ("class.method@line"), in the order they were finished.
  std::vector<std::string> classes;
  std::vector<std::string> methods;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

std::vector<std::string> classLines(const JavaAnalysis& a) {
  std::vector<std::string> lines;
  for (const ClassRecord& c : a.classes) lines.push_back(c.className + "@" + std::to_string(c.line));
  return lines;
}

std::vector<std::string> methodLines(const JavaAnalysis& a) {
  std::vector<std::string> lines;
  for (const MethodRecord& m : a.methods) lines.push_back(m.className + "." + m.methodName + "@" + std::to_string(m.line));
  return lines;
}

std::string withLineEnds(std::string text, const std::string& lineEnd) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += lineEnd;
    } else {
      out += c;
    }
  }
  return out;
}

const std::string kMembers =
    "class A {\n"
    "  int x;\n"
    "  void f() { }\n"
    "  A() { }\n"
    "  class B {\n"
    "    void g() { }\n"
    "  }\n"
    "}\n";
const std::vector<std::string> kMemberClasses = {"A$B@5", "A@1"};
const std::vector<std::string> kMemberMethods = {"A.f@3", "A.A@4", "A$B.g@6"};

// Both analyses agree on these.
std::vector<LineCase> bothCases() {
  return {
      {"MembersAndNestedClasses", kMembers, kMemberClasses, kMemberMethods},
      {"CarriageReturnLineFeeds", withLineEnds(kMembers, "\r\n"), kMemberClasses, kMemberMethods},
      {"LoneCarriageReturns", withLineEnds(kMembers, "\r"), kMemberClasses, kMemberMethods},
      {"DeclarationsSplitOverLines",
       "public\n"
       "class\n"
       "  A\n"
       "{\n"
       "  public static\n"
       "  void\n"
       "  main(\n"
       "    String[] a) { }\n"
       "  int\n"
       "  size\n"
       "  () { return 0; }\n"
       "  A\n"
       "  (int x)\n"
       "  { }\n"
       "}\n",
       {"A@3"},
       {"A.main@7", "A.size@10", "A.A@12"}},
      {"CommentsBeforeTheNames",
       "/* header\n"
       " * comment */\n"
       "class /* a\n"
       " b */ A {\n"
       "  // line\n"
       "  void /* c */\n"
       "  /* d\n"
       "   */ f() { }\n"
       "}\n",
       {"A@4"},
       {"A.f@8"}},
      {"AnonymousClassesAtTheirNew",
       "class A {\n"
       "  Runnable r = new\n"
       "    Runnable() {\n"
       "      public void run() { }\n"
       "    };\n"
       "  void f() {\n"
       "    Object o =\n"
       "      new Object() {\n"
       "      };\n"
       "  }\n"
       "}\n",
       {"A$Runnable@2", "A$Object@8", "A@1"},
       {"A$Runnable.run@4", "A.f@6"}},
      {"LocalClasses",
       "class A {\n"
       "  void f() {\n"
       "    class L {\n"
       "      void g() { }\n"
       "    }\n"
       "  }\n"
       "}\n",
       {"A$L@3", "A@1"},
       {"A$L.g@4", "A.f@2"}},
      {"InterfacesAndBlocks",
       "interface I {\n"
       "  void a();\n"
       "  int\n"
       "    b(int x);\n"
       "}\n"
       "class C {\n"
       "  static {\n"
       "    x = 1;\n"
       "  }\n"
       "  static class N { }\n"
       "  void m() { }\n"
       "}\n",
       {"I@1", "C$N@10", "C@6"},
       {"I.a@2", "I.b@4", "C.m@11"}},
      {"DivisionsAndLiteralsBefore",
       "class A {\n"
       "  int x = a / b / c;\n"
       "  String s = \"// /* not a comment\";\n"
       "  char q = '/';\n"
       "  void f() { y = s.length() / 2; }\n"
       "  void g() { }\n"
       "}\n",
       {"A@1"},
       {"A.f@5", "A.g@6"}},
      // Not UTF-8, so read as Shift_JIS: a comment, half-width katakana and a
      // string before the declarations.
      {"ShiftJisTextBefore",
       "// \x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x52\x83\x81\x83\x93\x83\x67\n"
       "class A {\n"
       "  /* \xb1\xb2\xb3 */ String s = \"\x93\xfa\x96\x7b\x8c\xea\";\n"
       "  void f() { }\n"
       "}\n",
       {"A@2"},
       {"A.f@4"}},
  };
}

class BothDeclarationLinesTest : public ::testing::TestWithParam<std::tuple<LineCase, Syntax>> {};

TEST_P(BothDeclarationLinesTest, KnowsTheLineOfEachDeclaration) {
  const auto& [c, syntax] = GetParam();
  const JavaAnalysis a = analyzeJava(c.text, syntax);
  ASSERT_EQ(0, a.errorNumber());
  EXPECT_EQ(c.classes, classLines(a));
  EXPECT_EQ(c.methods, methodLines(a));
  // A file analysed by itself: its path is its name, in every record.
  ASSERT_EQ(1u, a.files.size());
  EXPECT_EQ("Test.java", a.files[0].filePath);
  for (const ClassRecord& cls : a.classes) EXPECT_EQ("Test.java", cls.filePath) << cls.className;
  for (const MethodRecord& m : a.methods) EXPECT_EQ("Test.java", m.filePath) << m.methodName;
}

INSTANTIATE_TEST_SUITE_P(Texts, BothDeclarationLinesTest,
                         ::testing::Combine(::testing::ValuesIn(bothCases()),
                                            ::testing::Values(Syntax::kClassic, Syntax::kModern)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == Syntax::kModern ? "_Modern" : "_Classic");
                         });

// Java the word-level analysis does not read.
std::vector<LineCase> modernCases() {
  return {
      {"EnumConstantBodies",
       "enum E {\n"
       "  A {\n"
       "    void f() { }\n"
       "  },\n"
       "  B,\n"
       "  C\n"
       "  { };\n"
       "}\n",
       {"E$A@2", "E$C@6", "E@1"},
       {"E$A.f@3"}},
      {"RecordsAndTheirConstructors",
       "record R(int x) {\n"
       "  R {\n"
       "  }\n"
       "  R(int x, int y) { this(x); }\n"
       "  int y() { return x; }\n"
       "}\n",
       {"R@1"},
       {"R.R@2", "R.R@4", "R.y@5"}},
      {"AnnotationsOnTheLineBefore",
       "@Deprecated\n"
       "public class A {\n"
       "  @Override\n"
       "  public String toString() { return \"\"; }\n"
       "  @SuppressWarnings(\"x\")\n"
       "  <T> T\n"
       "    id(T t) { return t; }\n"
       "}\n",
       {"A@2"},
       {"A.toString@4", "A.id@7"}},
      {"AnnotationTypes",
       "@interface Ann {\n"
       "  int value() default 1;\n"
       "}\n",
       {"Ann@1"},
       {"Ann.value@2"}},
      {"QualifiedCreationAtItsNew",
       "class A {\n"
       "  void f(A a) {\n"
       "    Object o = a.\n"
       "      new B() { };\n"
       "  }\n"
       "  class B { }\n"
       "}\n",
       {"A$B@4", "A$B@6", "A@1"},
       {"A.f@2"}},
      {"GenericsAndLambdasBefore",
       "class A<T extends Comparable<T>> {\n"
       "  Runnable r = () -> {\n"
       "    int x = 1;\n"
       "  };\n"
       "  java.util.List<T>\n"
       "    items() { return null; }\n"
       "}\n",
       {"A@1"},
       {"A.items@6"}},
  };
}

class ModernDeclarationLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ModernDeclarationLinesTest, KnowsTheLineOfEachDeclaration) {
  const LineCase& c = GetParam();
  for (const std::string lineEnd : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(lineEnd == "\n" ? "LF" : lineEnd == "\r" ? "CR" : "CRLF");
    const JavaAnalysis a = analyzeJava(withLineEnds(c.text, lineEnd), Syntax::kModern);
    ASSERT_EQ(0, a.errorNumber());
    ASSERT_EQ(1u, a.files.size());
    EXPECT_EQ(0, a.files[0].syntaxErrorCount);
    EXPECT_EQ(c.classes, classLines(a));
    EXPECT_EQ(c.methods, methodLines(a));
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ModernDeclarationLinesTest, ::testing::ValuesIn(modernCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rzt::test
