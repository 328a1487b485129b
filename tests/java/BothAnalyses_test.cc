// Constructs on which the word-level rules and the syntax-tree definitions
// agree: each Java text runs through both analyzers, and both must give the
// very records listed.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "JavaTestSupport.h"

namespace rzt::test {
namespace {

struct BothCase {
  const char* name;
  std::string text;
  // Every class record in the order finished: "head | counts".
  std::vector<std::string> classes;
  // Every method record in the order finished: "class: head | counts".
  std::vector<std::string> methods;
};

void PrintTo(const BothCase& c, std::ostream* out) { *out << c.name; }

std::string body(const std::string& statements) { return "class A {\n  void m() {\n    " + statements + "\n  }\n}\n"; }

// The record of A when its one method m holds that many statements.
std::string oneMethodClass(int statements) {
  std::string counts = statements > 0 ? "statementCount=" + std::to_string(statements) + " " : "";
  return "class access=package name=A simple=A | " + counts + "instanceMethodCount=1";
}
std::string methodM(const std::string& counts) { return "A: name=m access=package | " + counts; }

std::vector<BothCase> bothCases() {
  return {
      {"FieldsByModifier",
       "class A {\n  int a;\n  public int b;\n  static int c, d;\n  public static int e;\n  final int f = 1;\n"
       "  public static final int G = 2;\n}\n",
       {"class access=package name=A simple=A | statementCount=6 instanceVariableCount=2 "
        "publicInstanceVariableCount=1 classVariableCount=2 publicClassVariableCount=1 constantCount=2"},
       {}},
      {"InterfaceFieldsAreConstants",
       "public interface I {\n  int A = 1;\n  String B = \"b\";\n}\n",
       {"interface access=public name=I simple=I | statementCount=2 constantCount=2"},
       {}},
      {"MethodsByModifier",
       "public class A {\n  public void f() { }\n  int g() { return 1; }\n  public static void h() { }\n"
       "  static int k() { return 2; }\n  A() { }\n}\n",
       {"class access=public name=A simple=A | statementCount=2 instanceMethodCount=3 "
        "publicInstanceMethodCount=1 classMethodCount=2 publicClassMethodCount=1"},
       {"A: name=f access=public |", "A: name=g access=package returns | statementCount=1 returnStatementCount=1",
        "A: name=h access=public static |", "A: name=k access=package static returns | statementCount=1 "
        "returnStatementCount=1",
        "A: name=A access=package constructor |"}},
      {"MethodHeads",
       "abstract class A {\n  public static final synchronized native int f(int a, String b) throws E, F;\n"
       "  protected abstract void g();\n  private A(int x) throws E { this.x = x; }\n}\n",
       {"class access=package name=A simple=A abstract | statementCount=1 instanceMethodCount=2 classMethodCount=1 "
        "publicClassMethodCount=1"},
       {"A: name=f access=public static final synchronized native returns | argumentCount=2 throwsCount=2",
        "A: name=g access=protected abstract |",
        "A: name=A access=private constructor | argumentCount=1 throwsCount=1 statementCount=1"}},
      {"InterfaceMethodsArePublicAndAbstract",
       "interface I {\n  void f();\n  int g(int a);\n}\n",
       {"interface access=package name=I simple=I | instanceMethodCount=2 publicInstanceMethodCount=2"},
       {"I: name=f access=public abstract |", "I: name=g access=public abstract returns | argumentCount=1"}},
      {"HeadLists",
       "public final class A extends B implements C, D { }\ninterface I extends J, K { }\n",
       {"class access=public name=A simple=A final | extendsCount=1 implementsCount=2",
        "interface access=package name=I simple=I | extendsCount=2"},
       {}},
      {"MemberTypes",
       "class A {\n  class B { int x; }\n  interface C { }\n  public static class D { }\n}\n",
       {"class access=private name=A$B simple=B inner | statementCount=1 instanceVariableCount=1",
        "interface access=private name=A$C simple=C inner |", "class access=public name=A$D simple=D inner |",
        "class access=package name=A simple=A | innerClassCount=3"},
       {}},
      {"StaticBlockStatementsCountForTheClass",
       "class A {\n  static int n;\n  static {\n    n = 1;\n    f();\n    if (n) g();\n  }\n}\n",
       {"class access=package name=A simple=A | statementCount=5 classVariableCount=1 staticBlockCount=1"},
       {}},
      {"IfElse", body("if (x) y = 1; else y = 2;"), {oneMethodClass(3)},
       {methodM("statementCount=3 ifStatementCount=1")}},
      {"ForWithItsHeader", body("for (int i = 0; i < n; i++) f(i);"), {oneMethodClass(2)},
       {methodM("statementCount=2 messagePassingCount=1 forStatementCount=1")}},
      {"WhileAndDo", body("while (x) f();\n    do { g(); } while (x);"), {oneMethodClass(4)},
       {methodM("statementCount=4 messagePassingCount=2 whileStatementCount=1 doStatementCount=1")}},
      {"Switch", body("switch (k) { case 1: case 2: a(); break; default: b(); }"), {oneMethodClass(4)},
       {methodM("statementCount=4 messagePassingCount=2 switchStatementCount=1")}},
      {"TryCatchFinally", body("try { a(); } catch (E e) { b(); } finally { c(); }"), {oneMethodClass(4)},
       {methodM("statementCount=4 messagePassingCount=3 tryStatementCount=1")}},
      {"SynchronizedBlock", body("synchronized (this) { f(); }"), {oneMethodClass(2)},
       {methodM("statementCount=2 messagePassingCount=1 synchronizedStatementCount=1")}},
      {"JumpsAndLabels", body("a: while (x) { if (y) break a; continue; }"), {oneMethodClass(4)},
       {methodM("statementCount=4 ifStatementCount=1 whileStatementCount=1")}},
      {"ReturnAndThrow", body("if (x) return;\n    throw new E(\"m\");"), {oneMethodClass(3)},
       {methodM("statementCount=3 messagePassingCount=1 instanciationCount=1 ifStatementCount=1 "
                "returnStatementCount=1 throwStatementCount=1")}},
      {"LocalVariablesAndConstants", body("int a = 0;\n    int b, c;\n    final int N = 10;\n    int[] d = new int[N];"),
       {oneMethodClass(4)},
       {methodM("statementCount=4 instanciationCount=1 localVariables=3 localConstants=1")}},
      {"MessagePassings", body("x.foo(y.bar());\n    Object o = new Object();"), {oneMethodClass(2)},
       {methodM("statementCount=2 messagePassingCount=3 instanciationCount=1 localVariables=1")}},
      {"AnonymousClass", body("Runnable r = new Runnable() {\n      public void run() { go(); }\n    };"),
       {"class access=private name=A$Runnable simple= inner | statementCount=1 instanceMethodCount=1 "
        "publicInstanceMethodCount=1",
        oneMethodClass(1)},
       {"A$Runnable: name=run access=public | statementCount=1 messagePassingCount=1",
        methodM("statementCount=1 localVariables=1 anonymousClassCount=1")}},
      {"LocalClassCountsForItselfOnly", body("class L { int a; void n() { f(); } }\n    g();"),
       {"class access=private name=A$L simple=L inner | statementCount=2 instanceVariableCount=1 "
        "instanceMethodCount=1",
        oneMethodClass(1)},
       {"A$L: name=n access=package | statementCount=1 messagePassingCount=1",
        methodM("statementCount=1 messagePassingCount=1")}},
  };
}

class BothAnalyses : public ::testing::TestWithParam<std::tuple<BothCase, Syntax>> {};

TEST_P(BothAnalyses, GiveTheSameRecords) {
  const auto& [c, syntax] = GetParam();
  const JavaAnalysis run = analyzeJava(c.text, syntax);
  ASSERT_EQ(run.errorNumber(), 0) << run.error->fullDescription();
  std::vector<std::string> classes;
  for (const ClassRecord& cls : run.classes) {
    std::string counts = classCounts(cls);
    classes.push_back(classHead(cls) + " |" + (counts.empty() ? "" : " " + counts));
  }
  EXPECT_EQ(classes, c.classes);
  std::vector<std::string> methods;
  for (const MethodRecord& m : run.methods) {
    std::string counts = methodCounts(m);
    methods.push_back(m.className + ": " + methodHead(m) + " |" + (counts.empty() ? "" : " " + counts));
  }
  EXPECT_EQ(methods, c.methods);
  for (const ClassRecord& cls : run.classes) {
    EXPECT_EQ(cls.fileName, "Test.java");
    EXPECT_EQ(cls.packageName, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Constructs, BothAnalyses,
                         ::testing::Combine(::testing::ValuesIn(bothCases()),
                                            ::testing::Values(Syntax::kClassic, Syntax::kModern)),
                         [](const ::testing::TestParamInfo<std::tuple<BothCase, Syntax>>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == Syntax::kClassic ? "_Classic" : "_Modern");
                         });

// The file record: package, imports, top-level types and lines.
TEST(BothAnalysesFile, GiveTheSameFileRecord) {
  const std::string text =
      "package a.b;\nimport x.Y;\nimport z.*;\n// note\nclass A { } // end\n\n/* two\n   lines */\ninterface B { }\n";
  for (Syntax syntax : {Syntax::kClassic, Syntax::kModern}) {
    SCOPED_TRACE(syntax == Syntax::kClassic ? "classic" : "modern");
    const JavaAnalysis run = analyzeJava(text, syntax);
    ASSERT_EQ(run.files.size(), 1u);
    const FileRecord& f = run.files[0];
    EXPECT_EQ(f.packageName, "a.b");
    EXPECT_EQ(f.importCount.value(), 2);
    EXPECT_EQ(f.classCount.value(), 2);
    EXPECT_EQ(f.allLoc.value(), 9);
    EXPECT_EQ(f.loc.value(), 5);
    EXPECT_EQ(f.commentLoc.value(), 4);
    EXPECT_EQ(f.blankLoc.value(), 1);
    for (const ClassRecord& cls : run.classes) EXPECT_EQ(cls.packageName, "a.b");
  }
}

}  // namespace
}  // namespace rzt::test
