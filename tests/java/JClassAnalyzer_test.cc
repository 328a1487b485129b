#include "java/JClassAnalyzer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "JavaTestSupport.h"

namespace rzt {
namespace {

using test::analyzeJava;
using test::classCounts;
using test::classHead;
using test::JavaAnalysis;

struct ClassCase {
  const char* text;       // a whole compilation unit
  const char* className;  // the record looked at
  const char* head;       // classHead of the record
  const char* counts;     // classCounts of the record
};

void PrintTo(const ClassCase& c, std::ostream* os) { *os << c.text << " : " << c.className; }

class ClassRecordTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassRecordTest, ReadsTheDeclarationIntoTheRecord) {
  const ClassCase& c = GetParam();
  JavaAnalysis run = analyzeJava(c.text);
  ASSERT_EQ(run.errorNumber(), 0) << run.error->description();
  EXPECT_TRUE(run.messages.empty());
  const ClassRecord& cls = run.cls(c.className);
  EXPECT_EQ(classHead(cls), c.head);
  EXPECT_EQ(classCounts(cls), c.counts);
}

const ClassCase kClassCases[] = {
    {"public abstract class Shape extends Base implements X, y.Z { }", "Shape",
     "class access=public name=Shape simple=Shape abstract", "extendsCount=1 implementsCount=2"},
    {"interface I extends J, K { }", "I", "interface access=package name=I simple=I",
     "extendsCount=2"},
    {"final class F extends java.lang.Object implements java.io.Serializable { }", "F",
     "class access=package name=F simple=F final", "extendsCount=1 implementsCount=1"},
    {"class { }", "???", "class access=package name=??? simple=", ""},
    {"private protected class Last { }", "Last", "class access=protected name=Last simple=Last",
     ""},
    {"class A { public static class Node { } }", "A$Node",
     "class access=public name=A$Node simple=Node inner", ""},
    {"class A { public static class Node { } }", "A", "class access=package name=A simple=A",
     "innerClassCount=1"},
    {"class A { class Node { } }", "A$Node", "class access=private name=A$Node simple=Node inner",
     ""},
    {"class A { interface Node { } }", "A$Node",
     "interface access=private name=A$Node simple=Node inner", ""},
    {"class A { private int a, b = 2; }", "A", "class access=package name=A simple=A",
     "statementCount=1 instanceVariableCount=1"},
    {"class A { public int c; }", "A", "class access=package name=A simple=A",
     "statementCount=1 instanceVariableCount=1 publicInstanceVariableCount=1"},
    {"class A { public static final int MAX = 10; }", "A", "class access=package name=A simple=A",
     "statementCount=1 constantCount=1"},
    {"class A { static int count; }", "A", "class access=package name=A simple=A",
     "statementCount=1 classVariableCount=1"},
    {"class A { public static int count; }", "A", "class access=package name=A simple=A",
     "statementCount=1 classVariableCount=1 publicClassVariableCount=1"},
    {"interface A { int MAX = 10; }", "A", "interface access=package name=A simple=A",
     "statementCount=1 constantCount=1"},
    {"class A { int[] v = { 1, 2 }; }", "A", "class access=package name=A simple=A",
     "statementCount=1 instanceVariableCount=1"},
    {"class A { public static void main(String[] args) { } }", "A",
     "class access=package name=A simple=A", "classMethodCount=1 publicClassMethodCount=1"},
    {"class A { public A() { } }", "A", "class access=package name=A simple=A",
     "instanceMethodCount=1 publicInstanceMethodCount=1"},
    {"interface A { void draw(); }", "A", "interface access=package name=A simple=A",
     "instanceMethodCount=1 publicInstanceMethodCount=1"},
    {"class A { static { init(); } }", "A", "class access=package name=A simple=A",
     "statementCount=1 staticBlockCount=1"},
    {"class A { class B { { x = 1; } } }", "A$B", "class access=private name=A$B simple=B inner",
     "statementCount=1 staticBlockCount=1"},
    {"class A { Object o = new Object() { { x = 1; } }; }", "A$Object",
     "class access=private name=A$Object simple= inner", "statementCount=1 staticBlockCount=1"},
    // In a top-level class the "=" makes the block's words one field; its
    // "}" then ends the class.
    {"class A { { x = 1; }", "A", "class access=package name=A simple=A",
     "statementCount=1 instanceVariableCount=1"},
    {"class A { int a; int b; void f() { a(); b(); c(); } void g() { a(); b(); c(); d(); } }", "A",
     "class access=package name=A simple=A",
     "statementCount=9 instanceVariableCount=2 instanceMethodCount=2"},
    {"class A { int a; ; void f() { } }", "A", "class access=package name=A simple=A",
     "statementCount=2 instanceVariableCount=2 instanceMethodCount=1"},
    {"interface A { ; }", "A", "interface access=package name=A simple=A",
     "statementCount=1 constantCount=1"},
    {"class A { Runnable r = new Runnable() { public void run() { } }; }", "A",
     "class access=package name=A simple=A", "statementCount=1 instanceVariableCount=1"},
    {"class A { Runnable r = new Runnable() { public void run() { } }; }", "A$Runnable",
     "class access=private name=A$Runnable simple= inner",
     "instanceMethodCount=1 publicInstanceMethodCount=1"},
    {"class A { Thread t = new Thread(r) { }; }", "A$Thread",
     "class access=private name=A$Thread simple= inner", ""},
    {"class A { Object l = new a.b.Listener() { int x; }; }", "A$Listener",
     "class access=private name=A$Listener simple= inner",
     "statementCount=1 instanceVariableCount=1"},
    {"class A { class B { Object o = new X() { }; } }", "A$B$X",
     "class access=private name=A$B$X simple= inner", ""},
};

INSTANTIATE_TEST_SUITE_P(EdgeCases, ClassRecordTest, ::testing::ValuesIn(kClassCases));

struct AnonymousCase {
  const char* field;                    // one field declaration of class A
  std::vector<std::string> classNames;  // the class records, in order
};

void PrintTo(const AnonymousCase& c, std::ostream* os) { *os << c.field; }

class AnonymousDetectionTest : public ::testing::TestWithParam<AnonymousCase> {};

TEST_P(AnonymousDetectionTest, OnlyNewNameArgumentsBodyIsAnAnonymousClass) {
  const AnonymousCase& c = GetParam();
  JavaAnalysis run = analyzeJava(std::string("class A { ") + c.field + " int after; }");
  ASSERT_EQ(run.errorNumber(), 0) << run.error->description();
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(run.classNames(), c.classNames);
  // Whatever the answer, the words after the field are read as the next
  // member: two declarations in all.
  EXPECT_EQ(run.cls("A").instanceVariableCount.value(), 2);
}

const AnonymousCase kAnonymousCases[] = {
    {"Thread t = new Thread(r) { };", {"A$Thread", "A"}},
    {"Object l = new a.b.Listener() { };", {"A$Listener", "A"}},
    {"Object l = new Listener(new Foo(), (x)) { };", {"A$Listener", "A"}},
    {"Vector v = new Vector(10);", {"A"}},
    {"int[] a = new int[10];", {"A"}},
    {"Object[] o = new Object[] { a, b };", {"A"}},
    {"Object o = new Object().x;", {"A"}},
    {"java.util.List l = new java.util.ArrayList<String>() { };", {"A"}},
    {"Object o = new;", {"A"}},
    {"Object p = new Object(), q = new Object() { };", {"A$Object", "A"}},
};

INSTANTIATE_TEST_SUITE_P(EdgeCases, AnonymousDetectionTest, ::testing::ValuesIn(kAnonymousCases));

TEST(ClassAnalyzerTest, TwoAnonymousClassesOfOneTypeGetTwoRowsOfTheSameName) {
  JavaAnalysis run = analyzeJava(
      "class A {\n"
      "  Runnable r1 = new Runnable() { public void run() { a(); } };\n"
      "  void m() { Runnable r2 = new Runnable() { public void run() { b(); c(); } }; }\n"
      "}\n");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.classNames(), (std::vector<std::string>{"A$Runnable", "A$Runnable", "A"}));
  EXPECT_EQ(run.cls("A$Runnable", 0).statementCount.value(), 1);
  EXPECT_EQ(run.cls("A$Runnable", 1).statementCount.value(), 2);
  EXPECT_EQ(run.methodNames(),
            (std::vector<std::string>{"A$Runnable.run", "A$Runnable.run", "A.m"}));
}

TEST(ClassAnalyzerTest, NestedMemberClassesJoinTheirNamesAndFinishInnermostFirst) {
  JavaAnalysis run = analyzeJava(
      "package p.q;\n"
      "public class A {\n"
      "  class B { static class C { void f() { } } int x; }\n"
      "  void g() { }\n"
      "  interface D { }\n"
      "}\n");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.classNames(), (std::vector<std::string>{"A$B$C", "A$B", "A$D", "A"}));
  EXPECT_EQ(classCounts(run.cls("A")), "instanceMethodCount=1 innerClassCount=2");
  EXPECT_EQ(classCounts(run.cls("A$B")),
            "statementCount=1 instanceVariableCount=1 innerClassCount=1");
  EXPECT_EQ(run.method("A$B$C", "f").packageName, "p.q");
  for (const ClassRecord& c : run.classes) {
    EXPECT_EQ(c.packageName, "p.q");
    EXPECT_EQ(c.fileName, "Test.java");
  }
}

TEST(ClassAnalyzerTest, InterfaceMembersArePublicAbstractMethodsAndConstants) {
  JavaAnalysis run = analyzeJava(
      "public interface Shape extends Comparable {\n"
      "  int SIDES = 4;\n"
      "  String NAME = \"shape\";\n"
      "  double area();\n"
      "  private void helper(int a, int b);\n"
      "  static Shape unit() { return null; }\n"
      "}\n");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(classHead(run.cls("Shape")), "interface access=public name=Shape simple=Shape");
  EXPECT_EQ(classCounts(run.cls("Shape")),
            "extendsCount=1 statementCount=3 constantCount=2 instanceMethodCount=2 "
            "publicInstanceMethodCount=1 classMethodCount=1 publicClassMethodCount=1");
  EXPECT_EQ(test::methodHead(run.method("Shape", "area")),
            "name=area access=public abstract returns");
  EXPECT_EQ(test::methodHead(run.method("Shape", "helper")), "name=helper access=private abstract");
}

}  // namespace
}  // namespace rzt
