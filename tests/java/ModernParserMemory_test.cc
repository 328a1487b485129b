#include "java/ModernParserMemory.h"

#include <gtest/gtest.h>
#include <tree_sitter/api.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "JavaTestSupport.h"
#include "TestSupport.h"
#include "java/ModernFileAnalyzer.h"

// The runtime's allocator entry points, as it calls them.
extern "C" {
extern void* (*ts_current_malloc)(size_t size);
extern void* (*ts_current_calloc)(size_t count, size_t size);
extern void* (*ts_current_realloc)(void* ptr, size_t size);
extern void (*ts_current_free)(void* ptr);
}

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

// What a freed small block gives the next request, in steps on one arena:
// each step allocates (malloc, calloc or realloc of an earlier block) or
// frees, and says whether the result is an earlier block's memory.
TEST(ParserArenaPoolTest, FreedSmallBlocksServeTheNextRequestOfTheirSizeClass) {
  enum Op { kMalloc, kCalloc, kRealloc, kFree };
  struct Step {
    Op op;
    int slot;         // the block the step makes or frees (0..3)
    size_t size;
    int sameAs;       // the slot whose memory the result must be; -1: a new block
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const size_t big = ParserArena::kMaxPooledSize + 1;
  const std::vector<Case> cases = {
      {"a size of the same class", {{kMalloc, 0, 24, -1}, {kFree, 0, 0, -1}, {kMalloc, 1, 17, 0}}},
      {"the smallest class takes 0 too", {{kMalloc, 0, 0, -1}, {kFree, 0, 0, -1}, {kMalloc, 1, 16, 0}}},
      {"no other class", {{kMalloc, 0, 16, -1}, {kFree, 0, 0, -1}, {kMalloc, 1, 17, -1}}},
      {"calloc from the pool", {{kMalloc, 0, 64, -1}, {kFree, 0, 0, -1}, {kCalloc, 1, 64, 0}}},
      {"the largest pooled size", {{kMalloc, 0, ParserArena::kMaxPooledSize, -1}, {kFree, 0, 0, -1},
                                   {kMalloc, 1, ParserArena::kMaxPooledSize, 0}}},
      {"larger blocks are not pooled", {{kMalloc, 0, big, -1}, {kFree, 0, 0, -1}, {kMalloc, 1, 8, -1}}},
      {"last freed, first reused",
       {{kMalloc, 0, 40, -1}, {kMalloc, 1, 40, -1}, {kFree, 0, 0, -1}, {kFree, 1, 0, -1}, {kMalloc, 2, 40, 1},
        {kMalloc, 3, 40, 0}}},
      {"realloc within the class stays", {{kMalloc, 0, 33, -1}, {kRealloc, 0, 48, 0}}},
      {"realloc to another class and back",
       {{kMalloc, 0, 20, -1}, {kRealloc, 0, 300, -1}, {kRealloc, 0, 1000, -1}, {kRealloc, 0, 10, -1},
        {kFree, 0, 0, -1}, {kMalloc, 1, 12, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParserArena arena;
    ParserArena::Scope scope(arena);
    void* slots[4] = {};
    size_t sizes[4] = {};
    void* freed[4] = {};  // what each slot held when it was freed
    for (const Step& step : c.steps) {
      void* before = slots[step.slot];
      void* p = nullptr;
      switch (step.op) {
        case kMalloc: p = ts_current_malloc(step.size); break;
        case kCalloc: p = ts_current_calloc(1, step.size); break;
        case kRealloc: p = ts_current_realloc(slots[step.slot], step.size); break;
        case kFree:
          freed[step.slot] = slots[step.slot];
          ts_current_free(slots[step.slot]);
          slots[step.slot] = nullptr;
          continue;
      }
      ASSERT_NE(p, nullptr);
      if (step.sameAs >= 0) {
        EXPECT_EQ(p, step.op == kRealloc ? before : freed[step.sameAs]) << "step of slot " << step.slot;
      } else if (step.op != kRealloc) {
        for (void* f : freed) EXPECT_NE(p, f);
      }
      if (step.op == kCalloc) {
        const auto* bytes = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < step.size; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
      }
      if (step.op == kRealloc) {
        // What the block held survives up to the smaller size.
        const auto* bytes = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < std::min(sizes[step.slot], step.size); ++i) ASSERT_EQ(bytes[i], 0x5A) << i;
      }
      std::memset(p, 0x5A, step.size);  // the whole size is usable
      slots[step.slot] = p;
      sizes[step.slot] = step.size;
    }
    size_t live = 0;
    for (void* p : slots) live += p != nullptr ? 1 : 0;
    EXPECT_EQ(arena.blockCount(), live);
    for (void*& p : slots) {
      ts_current_free(p);
      p = nullptr;
    }
    EXPECT_EQ(arena.blockCount(), 0u);
    EXPECT_EQ(arena.byteCount(), 0u);
    arena.releaseAll();
    EXPECT_EQ(arena.pooledBlockCount(), 0u);
    EXPECT_EQ(arena.pooledByteCount(), 0u);
  }
}

TEST(ParserArenaPoolTest, ThePoolKeepsNoMoreThanItsBoundAndOnlyForItsArena) {
  ParserArena arena;
  std::vector<void*> blocks;
  {
    ParserArena::Scope scope(arena);
    const size_t n = ParserArena::kMaxPooledBytes / ParserArena::kMaxPooledSize + 100;
    for (size_t i = 0; i < n; ++i) blocks.push_back(ts_current_malloc(ParserArena::kMaxPooledSize));
    for (void* p : blocks) ts_current_free(p);
  }
  EXPECT_LE(arena.pooledByteCount(), ParserArena::kMaxPooledBytes);
  EXPECT_GT(arena.pooledByteCount(), ParserArena::kMaxPooledBytes - ParserArena::kMaxPooledSize);
  EXPECT_EQ(arena.blockCount(), 0u);
  // A block made outside every arena is never pooled, and no arena's pool
  // serves it.
  void* loose = ts_current_malloc(32);
  ts_current_free(loose);
  {
    ParserArena other;
    ParserArena::Scope scope(other);
    void* p = ts_current_malloc(32);
    EXPECT_EQ(other.pooledBlockCount(), 0u);
    ts_current_free(p);
    EXPECT_EQ(other.pooledBlockCount(), 1u);
  }
}

// The analyzer's parses reuse what the last file's tree freed, and measure
// every file as the first time.
TEST_F(ParserMemoryTest, TheNextFileIsParsedFromTheBlocksTheLastOneFreed) {
  test::EventLog log;
  test::RecordingReportWriter writer(log);
  ModernFileAnalyzer analyzer;
  analyzer.init(nullptr, &writer);
  std::vector<std::string> first;
  for (int round = 0; round < 3; ++round) {
    writer.methods.clear();
    for (const char* name : {"A.java", "N.java"}) measure(analyzer, name);
    std::vector<std::string> seen;
    for (const MethodRecord& m : writer.methods) seen.push_back(test::methodHead(m) + " " + test::methodCounts(m));
    if (round == 0) {
      first = seen;
    } else {
      EXPECT_EQ(seen, first) << "round " << round;
    }
  }
  EXPECT_GE(first.size(), 4u);
}

}  // namespace
}  // namespace rzt
