#include "java/JStatementAnalyzer.h"

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

struct StatementCase {
  const char* statement;  // the only statement of the method body
  const char* counts;     // every counter of the method that is not 0
};

void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.statement; }

class StatementCountsTest : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementCountsTest, ReportsTheCountsOfOneStatementToItsMethod) {
  const StatementCase& c = GetParam();
  JavaAnalysis run = analyzeJava(std::string("class A { void m() { ") + c.statement + " } }");
  ASSERT_EQ(run.errorNumber(), 0) << run.error->description();
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(methodCounts(run.method("A", "m")), c.counts);
}

const StatementCase kStatementCases[] = {
    {"a: b: x();", "statementCount=1 messagePassingCount=1"},
    {";", ""},
    {"{ }", ""},
    {"{ ; ; { } }", ""},
    {"if (a()) b(); else if (c) d();", "statementCount=4 messagePassingCount=2 ifStatementCount=2"},
    {"if (a) { b(); c(); }", "statementCount=3 messagePassingCount=2 ifStatementCount=1"},
    {"for (int i = 0; i < n; i++) f(i);",
     "statementCount=2 messagePassingCount=1 forStatementCount=1"},
    {"switch (k) { case 1: case 2: a(); break; default: b(); }",
     "statementCount=4 messagePassingCount=2 switchStatementCount=1"},
    {"switch (k) { }", "statementCount=1 switchStatementCount=1"},
    {"try { a(); } catch (E e) { b(); } finally { c(); }",
     "statementCount=4 messagePassingCount=3 tryStatementCount=1"},
    {"try { a(); } catch (E e) { } catch (F f) { b(); }",
     "statementCount=3 messagePassingCount=2 tryStatementCount=1"},
    {"do x(); while (c);", "statementCount=2 messagePassingCount=1 doStatementCount=1"},
    {"do { x(); y(); } while (c(d));", "statementCount=3 messagePassingCount=2 doStatementCount=1"},
    {"while (it.hasNext()) { it.next(); }",
     "statementCount=2 messagePassingCount=1 whileStatementCount=1"},
    {"synchronized (lock()) { a(); }",
     "statementCount=2 messagePassingCount=1 synchronizedStatementCount=1"},
    {"outer: for (;;) { continue outer; }", "statementCount=2 forStatementCount=1"},
    {"while (true) break;", "statementCount=2 whileStatementCount=1"},
    {"int a, b = 0;", "statementCount=1 localVariables=1"},
    {"final int N = 10;", "statementCount=1 localConstants=1"},
    {"static final int N = 10;", "statementCount=1 localConstants=1"},
    {"int[] a = new int[10];", "statementCount=1 instanciationCount=1 localVariables=1"},
    {"int a[] = new int[10];", "statementCount=1 instanciationCount=1 localVariables=1"},
    {"int[][] a;", "statementCount=1 localVariables=1"},
    {"java.util.List l;", "statementCount=1"},
    {"a = b;", "statementCount=1"},
    {"x.foo(y.bar());", "statementCount=1 messagePassingCount=2"},
    {"Foo f = new Foo(x);",
     "statementCount=1 messagePassingCount=1 instanciationCount=1 localVariables=1"},
    {"throw new E(\"m\");",
     "statementCount=1 messagePassingCount=1 instanciationCount=1 throwStatementCount=1"},
    {"Runnable r = new Runnable() { public void run() { } };",
     "statementCount=1 localVariables=1 anonymousClassCount=1"},
    {"foo(new X() { });", "statementCount=2 messagePassingCount=1 anonymousClassCount=1"},
    {"i++;", "statementCount=1 localVariables=1"},
    {"i += 1;", "statementCount=1 localVariables=1"},
    {"class Local { void g() { a(); } }", ""},
    {"return;", "statementCount=1 returnStatementCount=1"},
    {"return a(b(), new C());",
     "statementCount=1 messagePassingCount=3 instanciationCount=1 returnStatementCount=1"},
    {"if (new Foo().ok()) a();", "statementCount=2 messagePassingCount=1 ifStatementCount=1"},
};

INSTANTIATE_TEST_SUITE_P(EdgeCases, StatementCountsTest, ::testing::ValuesIn(kStatementCases));

TEST(StatementAnalyzerTest, LocalAndAnonymousClassesOfABodyAreNamedAfterTheMethodsClass) {
  JavaAnalysis run = analyzeJava(
      "class A { void m() {\n"
      "  class Local { int x; void g() { a(); } }\n"
      "  Runnable r = new Runnable() { public void run() { b(); } };\n"
      "  foo(new java.awt.event.ActionListener() { });\n"
      "} }\n");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.classNames(),
            (std::vector<std::string>{"A$Local", "A$Runnable", "A$ActionListener", "A"}));
  EXPECT_EQ(test::classHead(run.cls("A$Local")),
            "class access=private name=A$Local simple=Local inner");
  EXPECT_EQ(test::classCounts(run.cls("A$Local")),
            "statementCount=2 instanceVariableCount=1 instanceMethodCount=1");
  EXPECT_EQ(methodCounts(run.method("A$Local", "g")), "statementCount=1 messagePassingCount=1");
  // The statements of the anonymous class count there, not in m.
  EXPECT_EQ(methodCounts(run.method("A$Runnable", "run")),
            "statementCount=1 messagePassingCount=1");
  EXPECT_EQ(methodCounts(run.method("A", "m")),
            "statementCount=3 messagePassingCount=1 localVariables=1 anonymousClassCount=2");
  EXPECT_EQ(run.cls("A$Local").packageName, "");
  EXPECT_EQ(run.cls("A$Local").fileName, "Test.java");
}

TEST(StatementAnalyzerTest, StatementsOfBlocksCountOnlyAsTheClassesStatements) {
  JavaAnalysis run = analyzeJava(
      "class A {\n"
      "  static { int a = b(); if (c) d(); new Thread() { public void run() { } }; }\n"
      "}\n");
  ASSERT_EQ(run.errorNumber(), 0);
  // int a = b(); if; d(); the anonymous class's statement; and the ";" after
  // its body is an empty statement.
  EXPECT_EQ(test::classCounts(run.cls("A")), "statementCount=4 staticBlockCount=1");
  EXPECT_EQ(test::classHead(run.cls("A$Thread")),
            "class access=private name=A$Thread simple= inner");
}

}  // namespace
}  // namespace rzt
