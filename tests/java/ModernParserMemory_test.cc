#include "java/ModernParserMemory.h"

#include <gtest/gtest.h>
#include <tree_sitter/api.h>

#include <string>

#include "JavaTestSupport.h"
#include "TestSupport.h"
#include "java/ModernFileAnalyzer.h"

namespace rzt {
namespace {

// A text with syntax errors, so that the parser's error recovery allocates
// too, and one the analyzer must measure right afterwards.
const char* const kBroken =
    "package p;\nimport a.B;\nclass A {\n  int x = ;\n  void f() { if (a) { g(); } else h( }\n"
    "  class I { void k() { new Runnable() { public void run() { r(); } }; } }\n}\n";
const char* const kGood = "class N { int a; void f(int k) { for (int i = 0; i < k; ++i) { g(i); } } }";

class ParserMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.write("A.java", kBroken);
    dir_.write("N.java", kGood);
  }
  void TearDown() override { ParserArena::failAllocationAfter(0); }
  // Measures one of the two files with the analyzer.
  void measure(ModernFileAnalyzer& analyzer, const char* name) { analyzer.doAnalysis(dir_.path().string(), name); }

  test::TempDir dir_;
};

// Fails the runtime's allocations one after the other, at every place a
// parse and a walk of kBroken allocate: each failure raises error 7 and
// leaves the analyzer able to measure the next file right. Under the
// sanitizers this also shows that nothing is used after it is freed and
// nothing is lost.
TEST_F(ParserMemoryTest, EveryFailedAllocationRaisesError7AndTheNextFileIsMeasured) {
  test::EventLog log;
  test::RecordingReportWriter writer(log);
  ModernFileAnalyzer analyzer;
  analyzer.init(nullptr, &writer);
  // What the files measure when nothing fails.
  measure(analyzer, "A.java");
  const size_t brokenMethods = writer.methods.size();
  writer.methods.clear();
  writer.classes.clear();
  measure(analyzer, "N.java");
  ASSERT_EQ(writer.methods.size(), 1u);
  const std::string good = test::methodHead(writer.methods[0]) + " " + test::methodCounts(writer.methods[0]);
  int failures = 0;
  for (uint64_t nth = 1; nth < 100000; ++nth) {
    ParserArena::failAllocationAfter(nth);
    bool failed = false;
    try {
      measure(analyzer, "A.java");
    } catch (const RztError& e) {
      ASSERT_EQ(e.number(), kErrOutOfMemory) << e.description();
      EXPECT_EQ(e.source(), "ModernFileAnalyzer");
      EXPECT_EQ(e.description(), "メモリが不足しています");
      failed = true;
      ++failures;
    }
    ParserArena::failAllocationAfter(0);
    writer.methods.clear();
    writer.classes.clear();
    measure(analyzer, "N.java");
    ASSERT_EQ(writer.classes.size(), 1u) << "after failing allocation " << nth;
    ASSERT_EQ(writer.methods.size(), 1u);
    ASSERT_EQ(test::methodHead(writer.methods[0]) + " " + test::methodCounts(writer.methods[0]), good)
        << "after failing allocation " << nth;
    if (!failed) break;  // every allocation of the file has failed once
  }
  EXPECT_GT(failures, 10);
  EXPECT_GE(brokenMethods, 3u);
}

TEST_F(ParserMemoryTest, AFailureWhileMakingTheParserRaisesError7) {
  ParserArena::failAllocationAfter(1);
  try {
    ModernFileAnalyzer analyzer;
    ADD_FAILURE() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrOutOfMemory);
  }
  ParserArena::failAllocationAfter(0);
  ModernFileAnalyzer analyzer;
  test::EventLog log;
  test::RecordingReportWriter writer(log);
  analyzer.init(nullptr, &writer);
  measure(analyzer, "N.java");
  EXPECT_EQ(writer.classes.size(), 1u);
}

TEST_F(ParserMemoryTest, TheArenaOwnsWhatTheRuntimeAllocatesInItsScope) {
  ParserArena arena;
  TSParser* parser = nullptr;
  {
    ParserArena::Scope scope(arena);
    parser = ts_parser_new();
    EXPECT_GT(arena.blockCount(), 0u);
    // An analyzer's own arena takes what it allocates, inside this scope too.
    const size_t before = arena.blockCount();
    ModernFileAnalyzer inner;
    EXPECT_EQ(arena.blockCount(), before);
  }
  // Freed outside the scope, the blocks still leave their arena.
  ts_parser_delete(parser);
  EXPECT_EQ(arena.blockCount(), 0u);
  EXPECT_EQ(arena.byteCount(), 0u);
  EXPECT_FALSE(arena.failed());
}

}  // namespace
}  // namespace rzt
