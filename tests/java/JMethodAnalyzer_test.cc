#include "java/JMethodAnalyzer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "JavaTestSupport.h"

namespace rzt {
namespace {

using test::analyzeJava;
using test::JavaAnalysis;
using test::methodCounts;
using test::methodHead;

struct MethodCase {
  const char* text;        // a whole compilation unit
  const char* className;   // the method's class
  const char* methodName;  // the method looked at
  const char* head;        // methodHead of its record
  const char* counts;      // methodCounts of its record
};

void PrintTo(const MethodCase& c, std::ostream* os) { *os << c.text << " : " << c.methodName; }

class MethodRecordTest : public ::testing::TestWithParam<MethodCase> {};

TEST_P(MethodRecordTest, ReadsTheHeadAndBodyIntoTheRecord) {
  const MethodCase& c = GetParam();
  JavaAnalysis run = analyzeJava(c.text);
  ASSERT_EQ(run.errorNumber(), 0) << run.error->description();
  const MethodRecord& m = run.method(c.className, c.methodName);
  EXPECT_EQ(methodHead(m), c.head);
  EXPECT_EQ(methodCounts(m), c.counts);
  EXPECT_EQ(m.fileName, "Test.java");
}

const MethodCase kMethodCases[] = {
    {"class Shape { public static void main(String[] args) { } }", "Shape", "main",
     "name=main access=public static", "argumentCount=1"},
    {"class Shape { int size() { return 0; } }", "Shape", "size",
     "name=size access=package returns", "statementCount=1 returnStatementCount=1"},
    {"class Shape { public Shape(int w, int h) { } }", "Shape", "Shape",
     "name=Shape access=public constructor", "argumentCount=2"},
    {"class Shape { Shape copy() { return null; } }", "Shape", "copy",
     "name=copy access=package returns", "statementCount=1 returnStatementCount=1"},
    {"class Shape { protected java.lang.String name() throws java.io.IOException, Error { } }",
     "Shape", "name", "name=name access=protected returns", "throwsCount=2"},
    {"class Shape { int[] values()[] { } }", "Shape", "values",
     "name=values access=package returns", ""},
    {"abstract class Shape { public abstract void draw(); }", "Shape", "draw",
     "name=draw access=public abstract", ""},
    {"interface Shape { void draw(); }", "Shape", "draw", "name=draw access=public abstract", ""},
    {"interface Shape { protected int area(int scale); }", "Shape", "area",
     "name=area access=protected abstract returns", "argumentCount=1"},
    {"class Shape { native synchronized int peek(); }", "Shape", "peek",
     "name=peek access=package synchronized native returns", ""},
    {"class Shape { void set(final int v) { } }", "Shape", "set", "name=set access=package final",
     "argumentCount=1"},
    {"class Shape { void f(int a, int b, int c) { } }", "Shape", "f", "name=f access=package",
     "argumentCount=3"},
    {"class Shape { private final void g(java.util.Map m) { } }", "Shape", "g",
     "name=g access=private final", "argumentCount=1"},
    {"class Shape { int f() { if (a) b(); if (c) d(); return 1; } }", "Shape", "f",
     "name=f access=package returns",
     "statementCount=5 messagePassingCount=2 ifStatementCount=2 returnStatementCount=1"},
    {"class Shape { class Inner { Inner() { } Shape Shape() { return null; } } }", "Shape$Inner",
     "Inner", "name=Inner access=package constructor", ""},
    {"class Shape { class Inner { Inner() { } Shape Shape() { return null; } } }", "Shape$Inner",
     "Shape", "name=Shape access=package returns", "statementCount=1 returnStatementCount=1"},
};

INSTANTIATE_TEST_SUITE_P(EdgeCases, MethodRecordTest, ::testing::ValuesIn(kMethodCases));

TEST(MethodAnalyzerTest, TheClassAddsEachMethodsStatementsAndKind) {
  JavaAnalysis run = analyzeJava(
      "public class P {\n"
      "  P() { a(); }\n"
      "  public P make() { return new P(); }\n"
      "  public static P of(int x) { if (x) return null; return new P(); }\n"
      "  static void run() { }\n"
      "}\n");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.methodNames(), (std::vector<std::string>{"P.P", "P.make", "P.of", "P.run"}));
  EXPECT_EQ(methodHead(run.method("P", "P")), "name=P access=package constructor");
  EXPECT_EQ(methodHead(run.method("P", "make")), "name=make access=public returns");
  EXPECT_EQ(methodHead(run.method("P", "of")), "name=of access=public static returns");
  EXPECT_EQ(test::classCounts(run.cls("P")),
            "statementCount=5 instanceMethodCount=2 publicInstanceMethodCount=1 "
            "classMethodCount=2 publicClassMethodCount=1");
}

TEST(MethodAnalyzerTest, ARecordCarriesItsNamesAndIsFreshForEachMethod) {
  JavaAnalysis run = analyzeJava(
      "package a.b;\n"
      "class C { int f(int x) throws E { for (;;) g(); } void h() { } }\n");
  ASSERT_EQ(run.errorNumber(), 0);
  const MethodRecord& h = run.method("C", "h");
  EXPECT_EQ(h.packageName, "a.b");
  EXPECT_EQ(h.fileName, "Test.java");
  EXPECT_EQ(h.className, "C");
  // Nothing of f carries over into h.
  EXPECT_EQ(methodHead(h), "name=h access=package");
  EXPECT_EQ(methodCounts(h), "");
}

}  // namespace
}  // namespace rzt
