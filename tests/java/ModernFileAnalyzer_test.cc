#include "java/ModernFileAnalyzer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "JavaTestSupport.h"
#include "TestSupport.h"
#include "analysis/AnalysisMonitor.h"

namespace rzt {
namespace {

using test::classCounts;
using test::classHead;
using test::JavaAnalysis;
using test::methodCounts;
using test::methodHead;

JavaAnalysis analyzeModernFiles(const std::vector<std::pair<std::string, std::string>>& files,
                                const std::string& encoding = "auto") {
  return test::analyzeJavaFiles(files, test::Syntax::kModern, encoding);
}

JavaAnalysis analyzeModern(const std::string& text) { return analyzeModernFiles({{"Test.java", text}}); }

// The "ﾀｲﾌﾟ" cell of a class row.
std::string typeCell(const ClassRecord& c) {
  if (c.innerClass) return "inner";
  if (!c.kindText.empty()) return c.kindText;
  return c.classType ? "class" : "interface";
}

// ---------------------------------------------------------------- file record

struct FileCase {
  const char* name;
  const char* fileName;
  const char* text;
  const char* packageName;
  int32_t importCount;
  int32_t classCount;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class ModernFileRecordTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(ModernFileRecordTest, RecordsPackageImportsAndTopLevelTypes) {
  const FileCase& c = GetParam();
  JavaAnalysis run = analyzeModernFiles({{c.fileName, c.text}});
  ASSERT_EQ(run.errorNumber(), 0);
  ASSERT_EQ(run.files.size(), 1u);
  const FileRecord& f = run.files[0];
  EXPECT_EQ(f.fileName, c.fileName);
  EXPECT_EQ(f.packageName, c.packageName);
  EXPECT_EQ(f.importCount.value(), c.importCount);
  EXPECT_EQ(f.classCount.value(), c.classCount);
  EXPECT_EQ(f.syntaxErrorCount, 0);
}

const FileCase kFileCases[] = {
    {"every kind of top-level type", "Test.java",
     "package a.b.c;\nimport x.Y;\nimport static x.Z.*;\nclass A {}\ninterface B {}\nenum C {}\n"
     "record D() {}\n@interface E {}\n",
     "a.b.c", 2, 5},
    {"no package", "Test.java", "class A { class B {} }", "", 0, 1},
    {"comments inside the package name", "Test.java", "package a /* c */ . b;", "a.b", 0, 0},
    {"annotated package", "package-info.java", "@Deprecated\npackage p.q;\n", "p.q", 0, 0},
    {"module declaration has no type", "module-info.java",
     "import java.util.List;\nmodule m { requires java.base; exports p; }\n", "", 1, 0},
    {"stray semicolons are no type", "Test.java", "package p; ; class A {} ; ;", "p", 0, 1},
    {"empty file", "Test.java", "", "", 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Files, ModernFileRecordTest, ::testing::ValuesIn(kFileCases));

TEST(ModernFileAnalyzerTest, CountsLinesOfTheFile) {
  JavaAnalysis run = analyzeModern("// head\nclass A {\n\n  int x; // x\n  /*\n\n  */\n}");
  ASSERT_EQ(run.files.size(), 1u);
  const FileRecord& f = run.files[0];
  EXPECT_EQ(f.allLoc.value(), 8);
  EXPECT_EQ(f.loc.value(), 3);
  EXPECT_EQ(f.commentLoc.value(), 4);
  EXPECT_EQ(f.blankLoc.value(), 2);
}

TEST(ModernFileAnalyzerTest, RecordsCarryPackageAndFileName) {
  JavaAnalysis run = analyzeModern("package p.q;\nclass A { void m() {} }\n");
  ASSERT_EQ(run.classes.size(), 1u);
  EXPECT_EQ(run.classes[0].packageName, "p.q");
  EXPECT_EQ(run.classes[0].fileName, "Test.java");
  ASSERT_EQ(run.methods.size(), 1u);
  EXPECT_EQ(run.methods[0].packageName, "p.q");
  EXPECT_EQ(run.methods[0].fileName, "Test.java");
  EXPECT_EQ(run.methods[0].className, "A");
}

TEST(ModernFileAnalyzerTest, EventsNestLikeTheWordLevelAnalysis) {
  JavaAnalysis run = analyzeModern(
      "class A {\n"
      "  void m() { new Runnable() { public void run() {} }; }\n"
      "  class B { void n() {} }\n"
      "}\n");
  const std::vector<std::string> expected = {
      "S:[ 1/ 1] Test.javaファイルを解析しています",
      "S:[ 1/ 1] Aクラスを解析しています",
      "S:[ 1/ 1] A - mメソッドを解析しています",
      "S:[ 1/ 1] A$Runnableクラスを解析しています",
      "S:[ 1/ 1] A$Runnable - runメソッドを解析しています",
      "M:A$Runnable.run",
      "C:A$Runnable",
      "M:A.m",
      "S:[ 1/ 1] A$Bクラスを解析しています",
      "S:[ 1/ 1] A$B - nメソッドを解析しています",
      "M:A$B.n",
      "C:A$B",
      "C:A",
      "F:Test.java",
  };
  EXPECT_EQ(run.events, expected);
}

TEST(ModernFileAnalyzerTest, SyntaxErrorsAreShownOnTheStatusLineBeforeTheFileRow) {
  JavaAnalysis run = analyzeModern("class A { void m( { }\n");
  ASSERT_EQ(run.files.size(), 1u);
  const int32_t errors = run.files[0].syntaxErrorCount;
  ASSERT_GT(errors, 0);
  ASSERT_GE(run.events.size(), 2u);
  EXPECT_EQ(run.events[run.events.size() - 2],
            "S:[ 1/ 1] Test.javaファイルに構文ｴﾗｰがあります: " + std::to_string(errors));
  EXPECT_EQ(run.events.back(), "F:Test.java");

  JavaAnalysis clean = analyzeModern("class A { }\n");
  for (const auto& e : clean.events) EXPECT_EQ(e.find("構文ｴﾗｰ"), std::string::npos) << e;
}

TEST(ModernFileAnalyzerTest, MissingFileRaisesError53AfterTheFileEvent) {
  test::TempDir dir;
  test::EventLog events;
  test::LoggingStatusLine status(events);
  test::RecordingReportWriter writer(events);
  AnalysisMonitor monitor(status);
  ModernFileAnalyzer analyzer;
  analyzer.init(&monitor, &writer);
  monitor.notifyStartAnalysis(1);
  try {
    analyzer.doAnalysis(dir.str(), "Missing.java");
    FAIL() << "no error raised";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrFileNotFound);
    EXPECT_EQ(e.description(), "ファイルが見つかりません: " + dir.str() + "/Missing.java");
  }
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0], "S:[ 1/ 1] Missing.javaファイルを解析しています");
}

TEST(ModernFileAnalyzerTest, CountersDoNotCarryOverToTheNextFile) {
  JavaAnalysis run = analyzeModernFiles({{"A.java", "package p;\nimport q.R;\nclass A {}\n"},
                                         {"B.java", "class B { void f() { g( } }"},
                                         {"C.java", "class C {}"}});
  ASSERT_EQ(run.files.size(), 3u);
  EXPECT_EQ(run.files[0].importCount.value(), 1);
  EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  EXPECT_GT(run.files[1].syntaxErrorCount, 0);
  EXPECT_EQ(run.files[2].packageName, "");
  EXPECT_EQ(run.files[2].importCount.value(), 0);
  EXPECT_EQ(run.files[2].allLoc.value(), 1);
  EXPECT_EQ(run.files[2].syntaxErrorCount, 0);
}

TEST(ModernFileAnalyzerTest, DecodesLikeTheWordLevelReaders) {
  // "日" in CP932, and a UTF-8 byte order mark before a class.
  JavaAnalysis run = analyzeModernFiles({{"S.java", "class \x93\xfa { \x93\xfa() {} }\n"},
                                         {"B.java", "\xEF\xBB\xBF" "class B {}\n"}});
  ASSERT_EQ(run.errorNumber(), 0);
  ASSERT_EQ(run.classes.size(), 2u);
  EXPECT_EQ(run.classes[0].className, "\xE6\x97\xA5");
  EXPECT_EQ(run.methods[0].methodName, "\xE6\x97\xA5");
  EXPECT_TRUE(run.methods[0].constructorMethod);
  EXPECT_EQ(run.classes[1].className, "B");
  EXPECT_EQ(run.files[1].syntaxErrorCount, 0);
}

TEST(ModernFileAnalyzerTest, LoneCarriageReturnsEndLineComments) {
  // Were the comment read to the next LF, the method would be lost.
  JavaAnalysis run = analyzeModern("class A {\r  // note\r  void f() { g(); }\r}\r");
  ASSERT_EQ(run.files.size(), 1u);
  EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  EXPECT_EQ(run.files[0].allLoc.value(), 4);
  EXPECT_EQ(run.files[0].commentLoc.value(), 1);
  EXPECT_EQ(methodCounts(run.method("A", "f")), "statementCount=1 messagePassingCount=1");
}

// ------------------------------------------------------------- syntax errors

struct ErrorCase {
  const char* name;
  const char* text;
  bool hasErrors;
  const char* method;       // "" when none is expected
  const char* methodCounts; // of that method
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ModernSyntaxErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ModernSyntaxErrorTest, CountsErrorsAndMeasuresTheRest) {
  const ErrorCase& c = GetParam();
  JavaAnalysis run = analyzeModern(c.text);
  ASSERT_EQ(run.errorNumber(), 0);
  ASSERT_EQ(run.files.size(), 1u);
  if (c.hasErrors) {
    EXPECT_GT(run.files[0].syntaxErrorCount, 0);
  } else {
    EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  }
  if (*c.method) {
    EXPECT_EQ(methodCounts(run.method("A", c.method)), c.methodCounts);
  }
}

const ErrorCase kErrorCases[] = {
    {"valid text has none", "class A { void f() { g(); } }", false, "f", "statementCount=1 messagePassingCount=1"},
    {"missing semicolon", "class A { void f() { g() } void h() { k(); } }", true, "h",
     "statementCount=1 messagePassingCount=1"},
    {"garbage in a body", "class A { void f() { int x = ; } void h() { return; } }", true, "h",
     "statementCount=1 returnStatementCount=1"},
    {"unclosed class", "class A { void h() { k(); }", true, "h", "statementCount=1 messagePassingCount=1"},
    {"text that is no Java", "}}} ))) <<<", true, "", ""},
    {"word-level stoppers are fine", "class A { void h() { try (var r = open()) { r.x(); } } }", false, "h",
     "statementCount=2 messagePassingCount=2 tryStatementCount=1"},
};

INSTANTIATE_TEST_SUITE_P(Errors, ModernSyntaxErrorTest, ::testing::ValuesIn(kErrorCases));

// ------------------------------------------------------------------- classes

struct ClassCase {
  const char* name;
  const char* text;
  const char* className;
  const char* head;   // classHead
  const char* type;   // the "ﾀｲﾌﾟ" cell
  const char* counts; // classCounts
};

void PrintTo(const ClassCase& c, std::ostream* os) { *os << c.name; }

class ModernClassTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ModernClassTest, MeasuresTheType) {
  const ClassCase& c = GetParam();
  JavaAnalysis run = analyzeModern(c.text);
  ASSERT_EQ(run.errorNumber(), 0);
  ASSERT_EQ(run.files.size(), 1u);
  EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  const ClassRecord& cls = run.cls(c.className);
  EXPECT_EQ(classHead(cls), c.head);
  EXPECT_EQ(typeCell(cls), c.type);
  EXPECT_EQ(classCounts(cls), c.counts);
}

const ClassCase kClassCases[] = {
    // Heads.
    {"class head", "public abstract class Shape extends Base implements X, y.Z {}", "Shape",
     "class access=public name=Shape simple=Shape abstract", "class", "extendsCount=1 implementsCount=2"},
    {"type arguments are not counted",
     "final class G<T extends Comparable<T>> extends java.util.ArrayList<T> implements java.util.List<T>, Cloneable {}",
     "G", "class access=package name=G simple=G final", "class", "extendsCount=1 implementsCount=2"},
    {"interface extends", "interface I extends J, K<String> {}", "I", "interface access=package name=I simple=I",
     "interface", "extendsCount=2"},
    {"permits is not counted", "sealed interface S permits A, B {}", "S", "interface access=package name=S simple=S",
     "interface", ""},
    {"several access modifiers", "private protected public class P {}", "P", "class access=public name=P simple=P",
     "class", ""},
    // Enums, records, annotation types.
    {"enum constants are constants", "enum E implements Runnable { A, B, C; public void run() {} }", "E",
     "class access=package name=E simple=E", "enum",
     "implementsCount=1 statementCount=3 constantCount=3 instanceMethodCount=1 publicInstanceMethodCount=1"},
    {"record components are constants",
     "public record P(int x, int y) implements Comparable<P> { static int n; public int compareTo(P o) { return 0; } }",
     "P", "class access=public name=P simple=P", "record",
     "implementsCount=1 statementCount=4 classVariableCount=1 constantCount=2 instanceMethodCount=1 "
     "publicInstanceMethodCount=1"},
    {"varargs record component", "record V(String... parts) {}", "V", "class access=package name=V simple=V",
     "record", "statementCount=1 constantCount=1"},
    {"annotation type", "@interface Ann { int value() default 1; String[] names(); int C = 3; }", "Ann",
     "interface access=package name=Ann simple=Ann", "annotation",
     "statementCount=1 constantCount=1 instanceMethodCount=2 publicInstanceMethodCount=2"},
    // Members.
    {"interface members are public, fields constant",
     "interface I { int A = 1, B = 2; void f(); default void g() { h(); } static void s() {} "
     "private void p() {} class N {} }",
     "I", "interface access=package name=I simple=I", "interface",
     "statementCount=2 constantCount=1 instanceMethodCount=3 publicInstanceMethodCount=2 classMethodCount=1 "
     "publicClassMethodCount=1 innerClassCount=1"},
    {"fields", "class A { private int a, b = 2; public int c; public static final int MAX = 10; static int count; "
               "public static String s; final String f = \"\"; int[] v = {1, 2}; }",
     "A", "class access=package name=A simple=A", "class",
     "statementCount=7 instanceVariableCount=3 publicInstanceVariableCount=1 classVariableCount=2 "
     "publicClassVariableCount=1 constantCount=2"},
    {"initializer blocks", "class A { static { init(); } { x = 1; } int x; }", "A",
     "class access=package name=A simple=A", "class", "statementCount=3 instanceVariableCount=1 staticBlockCount=2"},
    {"statements of lambdas in field initializers count for the class",
     "class A { Runnable r = () -> { a(); b(); }; java.util.function.IntSupplier s = () -> 1; }", "A",
     "class access=package name=A simple=A", "class", "statementCount=4 instanceVariableCount=2"},
    {"switch-expression blocks in field initializers",
     "class A { int k; int z = switch (k) { case 1 -> { yield 3; } default -> 4; }; }", "A",
     "class access=package name=A simple=A", "class", "statementCount=3 instanceVariableCount=2"},
    {"lambdas in enum constant arguments", "enum E { A(() -> { go(); }); E(Runnable r) {} }", "E",
     "class access=package name=E simple=E", "enum", "statementCount=2 constantCount=1 instanceMethodCount=1"},
    {"methods and constructors", "class M { M() { a(); } public M(int x) {} static void s() { b(); c(); } "
                                  "public static void main(String[] a) {} abstract void f(); }",
     "M", "class access=package name=M simple=M", "class",
     "statementCount=3 instanceMethodCount=3 publicInstanceMethodCount=1 classMethodCount=2 publicClassMethodCount=1"},
    {"statements of anonymous classes are their own",
     "class A { void m() { Runnable r = new Runnable() { public void run() { a(); b(); } }; } }", "A",
     "class access=package name=A simple=A", "class", "statementCount=1 instanceMethodCount=1"},
    // Member, local and anonymous types.
    {"member class is private by default", "public class A { class B {} }", "A$B",
     "class access=private name=A$B simple=B inner", "inner", ""},
    {"public static member class", "class A { public static class C {} }", "A$C",
     "class access=public name=A$C simple=C inner", "inner", ""},
    {"protected member interface", "class A { protected interface D extends Runnable {} }", "A$D",
     "interface access=protected name=A$D simple=D inner", "inner", "extendsCount=1"},
    {"member enum and record are inner", "class A { enum F { X } record R(int a) {} }", "A$R",
     "class access=private name=A$R simple=R inner", "inner", "statementCount=1 constantCount=1"},
    {"member types count as inner classes", "class A { class B {} interface C {} enum D {} record E() {} @interface F {} }",
     "A", "class access=package name=A simple=A", "class", "innerClassCount=5"},
    {"member of an interface is public", "interface I { class N {} }", "I$N",
     "class access=public name=I$N simple=N inner", "inner", ""},
    {"member of an annotation type is public", "@interface Ann { enum Level { LOW } }", "Ann$Level",
     "class access=public name=Ann$Level simple=Level inner", "inner", "statementCount=1 constantCount=1"},
    {"nested member names", "class A { class B { class C {} } }", "A$B$C",
     "class access=private name=A$B$C simple=C inner", "inner", ""},
    {"local class", "class A { void m() { class L { void n() { x(); } } } }", "A$L",
     "class access=private name=A$L simple=L inner", "inner", "statementCount=1 instanceMethodCount=1"},
    {"local types are no inner classes of the class", "class A { void m() { record R(int a) {} enum E { X } } }",
     "A", "class access=package name=A simple=A", "class", "instanceMethodCount=1"},
    {"local class in an interface is private", "interface I { default void m() { class L {} } }", "I$L",
     "class access=private name=I$L simple=L inner", "inner", ""},
    {"anonymous class", "class A { void m() { new Runnable() { public void run() {} }; } }", "A$Runnable",
     "class access=private name=A$Runnable simple= inner", "inner", "instanceMethodCount=1 publicInstanceMethodCount=1"},
    {"anonymous class of a generic qualified type",
     "class A { void m() { new java.util.ArrayList<String>(4) { int n; }; } }", "A$ArrayList",
     "class access=private name=A$ArrayList simple= inner", "inner", "statementCount=1 instanceVariableCount=1"},
    {"anonymous class in an interface is private", "interface I { Runnable R = new Runnable() { public void run() {} }; }",
     "I$Runnable", "class access=private name=I$Runnable simple= inner", "inner",
     "instanceMethodCount=1 publicInstanceMethodCount=1"},
    {"qualified anonymous creation", "class A { Object o = outer.new Inner() {}; }", "A$Inner",
     "class access=private name=A$Inner simple= inner", "inner", ""},
    {"anonymous class inside an anonymous class", "class A { Object o = new B() { Object p = new C() {}; }; }",
     "A$B$C", "class access=private name=A$B$C simple= inner", "inner", ""},
    {"enum constant body is named after the constant",
     "enum Op { PLUS { int apply() { return 1; } }, MINUS; abstract int apply(); }", "Op$PLUS",
     "class access=private name=Op$PLUS simple= inner", "inner", "statementCount=1 instanceMethodCount=1"},
    {"enum with constant bodies", "enum Op { PLUS { int apply() { return 1; } }, MINUS; abstract int apply(); }",
     "Op", "class access=package name=Op simple=Op", "enum", "statementCount=2 constantCount=2 instanceMethodCount=1"},
};

INSTANTIATE_TEST_SUITE_P(Classes, ModernClassTest, ::testing::ValuesIn(kClassCases));

TEST(ModernClassOrderTest, NestedTypesFinishBeforeTheirEnclosingType) {
  JavaAnalysis run = analyzeModern(
      "public class A { class B {} public static class C {} protected interface D {} private enum F { X } "
      "void m() { class L {} new Runnable() { public void run() {} }; new java.util.ArrayList<String>() {}; } }");
  const std::vector<std::string> expected = {"A$B", "A$C", "A$D", "A$F", "A$L", "A$Runnable", "A$ArrayList", "A"};
  EXPECT_EQ(run.classNames(), expected);
  EXPECT_EQ(run.cls("A").innerClassCount.value(), 4);
}

// ------------------------------------------------------------- method heads

struct HeadCase {
  const char* name;
  const char* text;
  const char* className;
  const char* methodName;
  const char* head;    // methodHead
  const char* counts;  // methodCounts
};

void PrintTo(const HeadCase& c, std::ostream* os) { *os << c.name; }

class ModernMethodHeadTest : public ::testing::TestWithParam<HeadCase> {};

TEST_P(ModernMethodHeadTest, ReadsTheHead) {
  const HeadCase& c = GetParam();
  JavaAnalysis run = analyzeModern(c.text);
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  const MethodRecord& m = run.method(c.className, c.methodName);
  EXPECT_EQ(methodHead(m), c.head);
  EXPECT_EQ(methodCounts(m), c.counts);
}

const HeadCase kHeadCases[] = {
    {"main", "class S { public static void main(String[] args) {} }", "S", "main", "name=main access=public static",
     "argumentCount=1"},
    {"returns a value", "class S { int size() { return 0; } }", "S", "size", "name=size access=package returns",
     "statementCount=1 returnStatementCount=1"},
    {"constructor", "class Shape { public Shape(int w, int h) {} }", "Shape", "Shape",
     "name=Shape access=public constructor", "argumentCount=2"},
    {"throws list", "class S { protected java.lang.String name() throws java.io.IOException, Error { return null; } }",
     "S", "name", "name=name access=protected returns", "throwsCount=2 statementCount=1 returnStatementCount=1"},
    {"annotated thrown type", "class S { void m() throws @A E {} }", "S", "m", "name=m access=package",
     "throwsCount=1"},
    {"array brackets after the name", "class S { int[] values()[] { return null; } }", "S", "values",
     "name=values access=package returns", "statementCount=1 returnStatementCount=1"},
    {"abstract method", "abstract class S { public abstract void draw(); }", "S", "draw",
     "name=draw access=public abstract", ""},
    {"interface method without body", "interface I { void draw(); }", "I", "draw",
     "name=draw access=public abstract", ""},
    {"default method", "interface I { default void d() {} }", "I", "d", "name=d access=public", ""},
    {"private static interface method", "interface I { private static int p() { return 1; } }", "I", "p",
     "name=p access=private static returns", "statementCount=1 returnStatementCount=1"},
    {"native synchronized", "class S { native synchronized int peek(); }", "S", "peek",
     "name=peek access=package synchronized native returns", ""},
    {"final parameter is no final method", "class S { void set(final int v) {} }", "S", "set",
     "name=set access=package", "argumentCount=1"},
    {"final method with varargs", "class S { final void f(int a, String... rest) {} }", "S", "f",
     "name=f access=package final", "argumentCount=2"},
    {"receiver parameter does not count", "class S { void f(S this, int a) {} }", "S", "f", "name=f access=package",
     "argumentCount=1"},
    {"generic method", "class S { public <T extends Comparable<T>> T max(java.util.List<T> l, T d) { return d; } }", "S",
     "max", "name=max access=public returns", "argumentCount=2 statementCount=1 returnStatementCount=1"},
    {"annotations on the method", "class S { @Override @SuppressWarnings(\"x\") public String toString() { return \"\"; } }",
     "S", "toString", "name=toString access=public returns", "statementCount=1 returnStatementCount=1"},
    {"several access modifiers", "class S { private protected void x() {} }", "S", "x", "name=x access=protected", ""},
    {"enum constructor is package", "enum E { A; E() {} }", "E", "E", "name=E access=package constructor", ""},
    {"compact constructor has the components", "record R(int a, int b) { R { if (a > b) throw new E(); } }", "R", "R",
     "name=R access=package constructor",
     "argumentCount=2 statementCount=2 messagePassingCount=1 instanciationCount=1 ifStatementCount=1 "
     "throwStatementCount=1"},
    {"canonical constructor of a record", "record R(int a) { public R(int a) { this.a = a; } }", "R", "R",
     "name=R access=public constructor", "argumentCount=1 statementCount=1"},
    {"annotation element", "@interface Ann { String value() default \"\"; }", "Ann", "value",
     "name=value access=public abstract returns", ""},
    {"static method of an enum constant body", "enum E { A { void f() {} }; }", "E$A", "f", "name=f access=package",
     ""},
    {"explicit constructor invocations", "class T { T() { this(1); } }", "T", "T", "name=T access=package constructor",
     "statementCount=1 messagePassingCount=1"},
};

INSTANTIATE_TEST_SUITE_P(Heads, ModernMethodHeadTest, ::testing::ValuesIn(kHeadCases));

// -------------------------------------------------------------- method bodies

struct BodyCase {
  const char* body;    // the body of T.m()
  const char* counts;  // methodCounts
};

void PrintTo(const BodyCase& c, std::ostream* os) { *os << c.body; }

class ModernMethodBodyTest : public ::testing::TestWithParam<BodyCase> {};

TEST_P(ModernMethodBodyTest, CountsTheBody) {
  const BodyCase& c = GetParam();
  JavaAnalysis run = analyzeModern(std::string("class T { void m() {\n") + c.body + "\n} }");
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(run.files[0].syntaxErrorCount, 0);
  EXPECT_EQ(methodCounts(run.method("T", "m")), c.counts);
}

const BodyCase kBodyCases[] = {
    {"a: b: x();", "statementCount=1 messagePassingCount=1"},
    {";", ""},
    {"{ { } }", ""},
    {"if (a()) b(); else if (c) d();", "statementCount=4 messagePassingCount=3 ifStatementCount=2"},
    {"for (int i = 0; i < n(); i++) f(i);", "statementCount=2 messagePassingCount=2 forStatementCount=1"},
    {"for (i = 0, j = 1; i < j; i++, j--) ;", "statementCount=1 forStatementCount=1"},
    {"for (String s : list()) { g(s); }", "statementCount=2 messagePassingCount=2 forStatementCount=1"},
    {"for (;;) { continue; }", "statementCount=2 forStatementCount=1"},
    {"while (true) { break; }", "statementCount=2 whileStatementCount=1"},
    {"do x(); while (c());", "statementCount=2 messagePassingCount=2 doStatementCount=1"},
    {"switch (k) { case 1: case 2: a(); break; default: b(); }",
     "statementCount=4 messagePassingCount=2 switchStatementCount=1"},
    {"switch (k) { case 1 -> a(); case 2 -> { b(); c(); } default -> throw new E(); }",
     "statementCount=4 messagePassingCount=4 instanciationCount=1 switchStatementCount=1 throwStatementCount=1"},
    {"int v = switch (k) { case 1 -> 2; default -> { yield f(); } };",
     "statementCount=2 messagePassingCount=1 localVariables=1 switchStatementCount=1"},
    {"int v = switch (a) { default -> switch (b) { default -> 1; }; };",
     "statementCount=1 localVariables=1 switchStatementCount=2"},
    {"l: switch (k) { default: break l; }", "statementCount=2 switchStatementCount=1"},
    {"try { a(); } catch (E e) { b(); } finally { c(); }",
     "statementCount=4 messagePassingCount=3 tryStatementCount=1"},
    {"try (var in = open(); Closeable out = open()) { in.read(); }",
     "statementCount=2 messagePassingCount=3 tryStatementCount=1"},
    {"synchronized (lock) { a(); }", "statementCount=2 messagePassingCount=1 synchronizedStatementCount=1"},
    {"assert x > 0 : msg();", "statementCount=1 messagePassingCount=1"},
    {"return;", "statementCount=1 returnStatementCount=1"},
    {"throw new E(\"m\");", "statementCount=1 messagePassingCount=1 instanciationCount=1 throwStatementCount=1"},
    {"int a, b = 0;", "statementCount=1 localVariables=1"},
    {"final int N = 10;", "statementCount=1 localConstants=1"},
    {"final var a = 1; int b; @SuppressWarnings(\"x\") final int c = 2;", "statementCount=3 localVariables=1 localConstants=2"},
    {"i++; this.x = 1;", "statementCount=2"},
    {"var list = new java.util.ArrayList<String>();",
     "statementCount=1 messagePassingCount=1 instanciationCount=1 localVariables=1"},
    {"int[] a = new int[10];", "statementCount=1 instanciationCount=1 localVariables=1"},
    {"int[] a = {1, 2};", "statementCount=1 localVariables=1"},
    {"int[][] m = new int[2][3];", "statementCount=1 instanciationCount=1 localVariables=1"},
    {"Object[] o = new Object[] { new Object() };",
     "statementCount=1 messagePassingCount=1 instanciationCount=2 localVariables=1"},
    {"new int[] {1}.clone();", "statementCount=1 messagePassingCount=1 instanciationCount=1"},
    {"x.foo(y.bar());", "statementCount=1 messagePassingCount=2"},
    {"Runnable r = new Runnable() { public void run() { a(); } };",
     "statementCount=1 localVariables=1 anonymousClassCount=1"},
    {"foo(new X(bar()) { });", "statementCount=1 messagePassingCount=2 anonymousClassCount=1"},
    {"Runnable r = () -> { a(); b(); };", "statementCount=3 messagePassingCount=2 localVariables=1"},
    {"Runnable r = () -> a();", "statementCount=1 messagePassingCount=1 localVariables=1"},
    {"Runnable r = () -> { new Thread() { }; };", "statementCount=2 localVariables=1 anonymousClassCount=1"},
    {"java.util.function.Supplier<Object> s = Object::new;", "statementCount=1 localVariables=1"},
    {"java.util.function.Supplier<String> s = foo()::toString;",
     "statementCount=1 messagePassingCount=1 localVariables=1"},
    {"class L { void n() { a(); } } new L().n();", "statementCount=1 messagePassingCount=2 instanciationCount=1"},
    {"class L {} interface Q {} record R() {} enum En { A }", ""},
    {"Object o = new Object() { Object p = new Object() { }; };",
     "statementCount=1 localVariables=1 anonymousClassCount=1"},
    {"if (o instanceof String s && s.isEmpty()) { use(s); }",
     "statementCount=2 messagePassingCount=2 ifStatementCount=1"},
    {"label: for (int i = 0, j = 0; i < j; i++) { break label; }", "statementCount=2 forStatementCount=1"},
    {"String t = \"\"\"\n  a \"quoted\" text\n  \"\"\";", "statementCount=1 localVariables=1"},
    {"if (a) { return; } else { throw e; }", "statementCount=3 ifStatementCount=1 returnStatementCount=1 throwStatementCount=1"},
};

INSTANTIATE_TEST_SUITE_P(Bodies, ModernMethodBodyTest, ::testing::ValuesIn(kBodyCases));

// ----------------------------------------------------------------- deep nesting

std::string repeated(const std::string& piece, int times) {
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Nesting is bounded as in the word-level analysis: blocks and statements in
// statements, classes in classes and in statements, one level each; level
// 2001 raises error 50030. The class is level 1, a method's body level 2.
struct NestingCase {
  const char* name;
  std::string text;
  bool tooDeep;
};

void PrintTo(const NestingCase& c, std::ostream* os) { *os << c.name; }

class ModernNestingTest : public ::testing::TestWithParam<NestingCase> {};

TEST_P(ModernNestingTest, DeepNestingIsMeasuredUpToTheBound) {
  const NestingCase& c = GetParam();
  JavaAnalysis run = analyzeModernFiles({{"Deep.java", c.text}, {"Next.java", "class N { void f() { g(); } }"}});
  if (!c.tooDeep) {
    ASSERT_EQ(run.errorNumber(), 0) << run.error->description();
    EXPECT_EQ(run.files.size(), 2u);
    return;
  }
  ASSERT_EQ(run.errorNumber(), 50030);
  EXPECT_EQ(run.error->source(), "ModernTreeWalker");
  EXPECT_EQ(run.error->description(), "ネストが深過ぎます");
  EXPECT_TRUE(run.files.empty()) << "a file cut short was finished";
}

std::vector<NestingCase> nestingCases() {
  return {
      {"blocks at the bound", "class D { void m() { " + repeated("{", 1997) + "x();" + repeated("}", 1997) + " } }",
       false},
      {"blocks beyond the bound",
       "class D { void m() { " + repeated("{", 1998) + "x();" + repeated("}", 1998) + " } }", true},
      // Error recovery makes no nested blocks of braces never closed.
      {"a million open braces", "class D { void m() " + repeated("{", 1000000), false},
      {"if chain at the bound", "class D { void m() { " + repeated("if (a) ", 1997) + "x(); } }", false},
      {"if chain beyond the bound", "class D { void m() { " + repeated("if (a) ", 1998) + "x(); } }", true},
      {"member classes at the bound", repeated("class C { ", 2000) + repeated("}", 2000), false},
      {"member classes beyond the bound", repeated("class C { ", 2001) + repeated("}", 2001), true},
      {"forty thousand member classes", repeated("class C { ", 40000) + repeated("}", 40000), true},
      {"local classes beyond the bound",
       repeated("class C { void f() { class L { ", 700) + repeated("} } } ", 700), true},
      {"anonymous classes beyond the bound",
       "class A { void f() { " + repeated("new Runnable() { public void run() { ", 700) + repeated("} }; ", 700) +
           "} }",
       true},
      {"lambdas beyond the bound", "class A { void f() { " + repeated("r(() -> { ", 1000) + repeated("}); ", 1000) + "} }",
       true},
      // Expressions are no levels: they are walked without a bound.
      {"deep parentheses", "class D { int x = " + repeated("(", 50000) + "1" + repeated(")", 50000) + "; }", false},
  };
}

INSTANTIATE_TEST_SUITE_P(Nesting, ModernNestingTest, ::testing::ValuesIn(nestingCases()));

TEST(ModernNestingTest, TheFileAfterATooDeepOneIsMeasured) {
  test::TempDir dir;
  dir.write("Deep.java", repeated("class C { ", 3000) + repeated("}", 3000));
  dir.write("Next.java", "class N { void f() { if (a) { g(); } } }");
  JavaAnalysis run;
  test::RecordingReportWriter writer(run.events);
  ModernFileAnalyzer analyzer;
  analyzer.init(nullptr, &writer);
  try {
    analyzer.doAnalysis(dir.str(), "Deep.java");
    ADD_FAILURE() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), 50030);
  }
  writer.classes.clear();
  analyzer.doAnalysis(dir.str(), "Next.java");
  ASSERT_EQ(writer.classes.size(), 1u);
  EXPECT_EQ(writer.classes[0].className, "N");
  ASSERT_EQ(writer.methods.size(), 1u);
  EXPECT_EQ(methodCounts(writer.methods[0]), "statementCount=2 messagePassingCount=1 ifStatementCount=1");
}

// ------------------------------------------------------------ size of a file

TEST(ModernFileSizeTest, TextsUpToTheBoundAreMeasuredLargerOnesRaise50050) {
  // One comment is one node: large, but cheap to parse.
  std::string text = "class A { void f() { g(); } }\n/*";
  text += std::string(ModernFileAnalyzer::kMaxTextBytes - text.size() - 3, 'x');
  text += "*/\n";
  ASSERT_EQ(text.size(), ModernFileAnalyzer::kMaxTextBytes);
  JavaAnalysis atBound = analyzeModernFiles({{"Big.java", text}});
  ASSERT_EQ(atBound.errorNumber(), 0);
  EXPECT_EQ(atBound.files[0].syntaxErrorCount, 0);
  EXPECT_EQ(methodCounts(atBound.method("A", "f")), "statementCount=1 messagePassingCount=1");

  text.insert(text.size() - 3, "x");
  JavaAnalysis beyond = analyzeModernFiles({{"Big.java", text}});
  ASSERT_EQ(beyond.errorNumber(), kErrFileTooLarge);
  EXPECT_EQ(beyond.error->source(), "ModernFileAnalyzer");
  const std::string& d = beyond.error->description();
  EXPECT_EQ(d.rfind("ファイルが大き過ぎます (上限 16 MB): ", 0), 0u) << d;
  EXPECT_NE(d.find("/Big.java"), std::string::npos) << d;
  EXPECT_TRUE(beyond.files.empty());
}

TEST(ModernFileSizeTest, AHugeFileIsRefusedWithoutBeingRead) {
  // 500 MB of nothing but a hole: reading it would take the memory the
  // bound is there to save.
  test::TempDir dir;
  dir.write("Huge.java", "");
  ASSERT_EQ(::truncate((dir.path() / "Huge.java").c_str(), 500LL * 1024 * 1024), 0);
  dir.write("Next.java", "class N { }");
  JavaAnalysis run;
  test::RecordingReportWriter writer(run.events);
  ModernFileAnalyzer analyzer;
  analyzer.init(nullptr, &writer);
  try {
    analyzer.doAnalysis(dir.str(), "Huge.java");
    ADD_FAILURE() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrFileTooLarge);
    EXPECT_NE(e.description().find("Huge.java"), std::string::npos) << e.description();
  }
  analyzer.doAnalysis(dir.str(), "Next.java");
  ASSERT_EQ(writer.classes.size(), 1u);
  EXPECT_EQ(writer.classes[0].className, "N");
}

}  // namespace
}  // namespace rzt
