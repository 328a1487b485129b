#include "java/JFileAnalyzer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "JavaTestSupport.h"
#include "TestSupport.h"
#include "analysis/AnalysisMonitor.h"

namespace rzt {
namespace {

using test::analyzeJava;
using test::analyzeJavaFiles;
using test::JavaAnalysis;

struct UnitCase {
  const char* text;
  const char* packageName;
  int32_t importCount;
  int32_t classCount;
  std::vector<std::string> classNames;
};

void PrintTo(const UnitCase& c, std::ostream* os) { *os << (*c.text ? c.text : "(empty file)"); }

class CompilationUnitTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(CompilationUnitTest, RecordsPackageImportsAndTopLevelTypes) {
  const UnitCase& c = GetParam();
  JavaAnalysis run = analyzeJava(c.text);
  ASSERT_EQ(run.errorNumber(), 0) << run.error->description();
  ASSERT_EQ(run.files.size(), 1u);
  const FileRecord& f = run.files[0];
  EXPECT_EQ(f.fileName, "Test.java");
  EXPECT_EQ(f.packageName, c.packageName);
  EXPECT_EQ(f.importCount.value(), c.importCount);
  EXPECT_EQ(f.classCount.value(), c.classCount);
  EXPECT_EQ(run.classNames(), c.classNames);
}

const UnitCase kUnitCases[] = {
    {"package com.example.app;\nimport java.util.List;\nimport java.io.*;\n"
     "class A { }\npublic class B { }\n",
     "com.example.app",
     2,
     2,
     {"A", "B"}},
    {"class A { }", "", 0, 1, {"A"}},
    {"; class A { } ; ; interface B { } ;", "", 0, 2, {"A", "B"}},
    {"", "", 0, 0, {}},
    {"// only a comment\n/* and another\n */\n", "", 0, 0, {}},
    {"import java.util.*;", "", 1, 0, {}},
    {"import static java.lang.Math.max;", "", 1, 0, {}},
    {"package a;\nclass A { }\npackage b.c;\nimport x.Y;\n", "b.c", 1, 1, {"A"}},
    {"package p . q ;", "p.q", 0, 0, {}},
};

INSTANTIATE_TEST_SUITE_P(EdgeCases, CompilationUnitTest, ::testing::ValuesIn(kUnitCases));

TEST(FileAnalyzerTest, CountsPhysicalLines) {
  JavaAnalysis run = analyzeJava("class A { int x; } // note\n\n/* comment */\n");
  ASSERT_EQ(run.files.size(), 1u);
  const FileRecord& f = run.files[0];
  EXPECT_EQ(f.allLoc.value(), 3);
  EXPECT_EQ(f.loc.value(), 1);
  EXPECT_EQ(f.commentLoc.value(), 2);
  EXPECT_EQ(f.blankLoc.value(), 1);
}

TEST(FileAnalyzerTest, CountersDoNotCarryOverToTheNextFile) {
  JavaAnalysis run = analyzeJavaFiles({
      {"One.java", "package one;\nimport a.B;\nclass One { }\n\n// end\n"},
      {"Two.java", "class Two { }"},
  });
  ASSERT_EQ(run.errorNumber(), 0);
  ASSERT_EQ(run.files.size(), 2u);
  const FileRecord& two = run.files[1];
  EXPECT_EQ(two.fileName, "Two.java");
  EXPECT_EQ(two.packageName, "");
  EXPECT_EQ(two.importCount.value(), 0);
  EXPECT_EQ(two.classCount.value(), 1);
  EXPECT_EQ(two.allLoc.value(), 1);
  EXPECT_EQ(two.commentLoc.value(), 0);
  EXPECT_EQ(two.blankLoc.value(), 0);
  EXPECT_EQ(run.cls("Two").packageName, "");
  EXPECT_EQ(run.cls("Two").fileName, "Two.java");
  EXPECT_EQ(run.cls("One").packageName, "one");
}

TEST(FileAnalyzerTest, ANamelessClassDoesNotTakeThePreviousClassesSimpleName) {
  // The top-level class analyzer is reused: a head without a name must not
  // make "Foo" a constructor of the nameless class.
  JavaAnalysis run =
      analyzeJavaFiles({{"A.java", "class Foo { }"}, {"B.java", "class { Foo() { } }"}});
  ASSERT_EQ(run.errorNumber(), 0);
  EXPECT_EQ(test::classHead(run.cls("???")), "class access=package name=??? simple=");
  ASSERT_EQ(run.methods.size(), 1u);
  EXPECT_FALSE(run.methods[0].constructorMethod);
}

TEST(FileAnalyzerTest, RaisesTheEventsInTheirOrder) {
  JavaAnalysis run = analyzeJava(
      "class A {\n"
      "  void f() { Runnable r = new Runnable() { public void run() { } }; }\n"
      "  class B { }\n"
      "}\n"
      "interface I { void g(); }\n");
  ASSERT_EQ(run.errorNumber(), 0);
  std::vector<std::string> events;
  for (const std::string& e : run.events) {
    // The monitor's texts without the progress prefix "[ 1/ 1] ".
    auto prefixEnd = e.find("] ");
    events.push_back(e.rfind("S:", 0) == 0 && prefixEnd != std::string::npos
                         ? "S:" + e.substr(prefixEnd + 2)
                         : e);
  }
  EXPECT_EQ(events, (std::vector<std::string>{
                        "S:Test.javaファイルを解析しています",
                        "S:Aクラスを解析しています",
                        "S:A - fメソッドを解析しています",
                        "S:A$Runnableクラスを解析しています",
                        "S:A$Runnable - runメソッドを解析しています",
                        "M:A$Runnable.run",
                        "C:A$Runnable",
                        "M:A.f",
                        "S:A$Bクラスを解析しています",
                        "C:A$B",
                        "C:A",
                        "S:Iクラスを解析しています",
                        "S:I - gメソッドを解析しています",
                        "M:I.g",
                        "C:I",
                        "F:Test.java",
                    }));
}

TEST(FileAnalyzerTest, AFreshInitReportsToTheNewWriterOnly) {
  test::TempDir dir;
  dir.write("A.java", "class A { void f() { } }");
  test::RecordingStatusLine status;
  AnalysisMonitor monitor(status);
  JFileAnalyzer analyzer;
  {
    test::EventLog firstLog;
    test::RecordingReportWriter first(firstLog);
    analyzer.init(&monitor, &first);
    analyzer.doAnalysis(dir.str(), "A.java");
    EXPECT_EQ(first.methods.size(), 1u);
  }
  test::EventLog secondLog;
  test::RecordingReportWriter second(secondLog);
  analyzer.init(&monitor, &second);
  analyzer.doAnalysis(dir.str(), "A.java");
  EXPECT_EQ(secondLog, (std::vector<std::string>{"M:A.f", "C:A", "F:A.java"}));
}

TEST(FileAnalyzerTest, AnEncodingSetAfterInitIsUsedByBothPasses) {
  test::TempDir dir;
  // Valid Shift_JIS ("Aあ"), which the automatic choice would take it for.
  dir.write("L.java", "class A\x82\xa0 { }\n");
  test::RecordingStatusLine status;
  AnalysisMonitor monitor(status);
  test::EventLog log;
  test::RecordingReportWriter writer(log);
  JFileAnalyzer analyzer;
  analyzer.init(&monitor, &writer);
  analyzer.setEncoding("ISO-8859-1");
  analyzer.doAnalysis(dir.str(), "L.java");
  EXPECT_EQ(log, (std::vector<std::string>{"C:A\u0082\u00a0", "F:L.java"}));
  ASSERT_EQ(writer.files.size(), 1u);
  EXPECT_EQ(writer.files[0].loc.value(), 1);
}

TEST(FileAnalyzerTest, AMissingFileRaisesTheFileErrorBeforeAnyRecord) {
  test::TempDir dir;
  test::RecordingStatusLine status;
  AnalysisMonitor monitor(status);
  test::EventLog log;
  test::RecordingReportWriter writer(log);
  JFileAnalyzer analyzer;
  analyzer.init(&monitor, &writer);
  try {
    analyzer.doAnalysis(dir.str(), "Missing.java");
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrFileNotFound);
  }
  EXPECT_TRUE(log.empty());
  // The analyzer still serves the next file.
  dir.write("B.java", "class B { }");
  analyzer.doAnalysis(dir.str(), "B.java");
  EXPECT_EQ(log, (std::vector<std::string>{"C:B", "F:B.java"}));
}

TEST(FileAnalyzerTest, AnEndToEndFileIsMeasuredWhole) {
  JavaAnalysis run = analyzeJava(
      "package shop;\n"
      "\n"
      "import java.util.*;\n"
      "\n"
      "/** A cart. */\n"
      "public class Cart implements Iterable {\n"
      "  private static final int LIMIT = 10;  // items\n"
      "  private List items = new ArrayList();\n"
      "  static int carts;\n"
      "\n"
      "  public Cart() { carts++; }\n"
      "\n"
      "  public int total(int[] prices, int discount) throws Exception {\n"
      "    int sum = 0;\n"
      "    loop: for (int i = 0; i < prices.length; i++) {\n"
      "      switch (prices[i]) {\n"
      "        case 0: continue loop;\n"
      "        default: sum += prices[i];\n"
      "      }\n"
      "    }\n"
      "    do { sum--; } while (sum > LIMIT);\n"
      "    try { check(sum); } catch (IllegalStateException e) { throw new Exception(e); }\n"
      "    finally { log(\"done\"); }\n"
      "    return sum - discount;\n"
      "  }\n"
      "}\n");
  ASSERT_EQ(run.errorNumber(), 0);
  const FileRecord& f = run.files.at(0);
  EXPECT_EQ(f.packageName, "shop");
  EXPECT_EQ(f.importCount.value(), 1);
  EXPECT_EQ(f.classCount.value(), 1);
  EXPECT_EQ(f.allLoc.value(), 26);
  EXPECT_EQ(f.commentLoc.value(), 2);
  EXPECT_EQ(f.blankLoc.value(), 4);
  EXPECT_EQ(f.loc.value(), 21);

  EXPECT_EQ(test::methodHead(run.method("Cart", "Cart")), "name=Cart access=public constructor");
  // carts++ reads as a declaration (its third word is ";").
  EXPECT_EQ(test::methodCounts(run.method("Cart", "Cart")), "statementCount=1 localVariables=1");
  EXPECT_EQ(test::methodHead(run.method("Cart", "total")), "name=total access=public returns");
  // int sum; for; switch; continue; sum += ...; do; sum--; try; check();
  // throw; log(); return.
  EXPECT_EQ(test::methodCounts(run.method("Cart", "total")),
            "argumentCount=2 throwsCount=1 statementCount=12 messagePassingCount=3 "
            "instanciationCount=1 localVariables=3 forStatementCount=1 doStatementCount=1 "
            "switchStatementCount=1 returnStatementCount=1 tryStatementCount=1 "
            "throwStatementCount=1");
  EXPECT_EQ(test::classHead(run.cls("Cart")), "class access=public name=Cart simple=Cart");
  EXPECT_EQ(test::classCounts(run.cls("Cart")),
            "implementsCount=1 statementCount=16 instanceVariableCount=1 classVariableCount=1 "
            "constantCount=1 instanceMethodCount=2 publicInstanceMethodCount=2");
}

}  // namespace
}  // namespace rzt
