// Once warm, analysing a file allocates nothing per character or word: what
// a file costs in allocations does not grow with its size.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "ReadingTestHelpers.h"
#include "java/JFileAnalyzer.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace rzt::test {
namespace {

// A class of fields, comments, long literals and methods with statements of
// every kind the word pass reads.
std::string javaText(int members) {
  std::string text = "package a.b;\n/** 表示 */\nclass A {\n";
  for (int i = 0; i < members; ++i) {
    const std::string n = std::to_string(i);
    text += "  int field" + n + " = " + n + " >> 2; // 注釈 " + n + "\n";
    text += "  String s" + n + " = \"a long string literal that does not fit a short buffer \\\" /* */\";\n";
    text += "  /* block\n     comment */ int m" + n + "(int x, long y) {\n";
    text += "    if (x > y) { f(x); } else while (x < 3) x++;\n";
    text += "    for (int k = 0; k < x; k++) { g(k, new int[3]); }\n";
    text += "    try { h(); } catch (E e) { throw e; }\n    return x;\n  }\n";
  }
  return text + "}\n";
}

// The allocations of one warm analysis of the file.
long allocationsOf(JFileAnalyzer& analyzer, const TempDir& dir, const std::string& name) {
  const long before = allocations.load();
  analyzer.doAnalysis(dir.str(), name);
  return allocations.load() - before;
}

TEST(AllocationTest, WarmFileAnalysisAllocatesNothingPerCharacterOrWord) {
  TempDir dir;
  dir.write("Big.java", javaText(3000));
  dir.write("Small.java", javaText(3));
  // The analyzer as a run uses it: its own reader stack, both passes.
  JFileAnalyzer analyzer;
  analyzer.init(nullptr, nullptr);
  const long cold = allocationsOf(analyzer, dir, "Big.java");
  const long big = allocationsOf(analyzer, dir, "Big.java");
  EXPECT_GT(analyzer.getWordCount(), 200000);
  EXPECT_EQ(analyzer.getAllLoc(), 3000 * 9 + 4);
  // The "/* */" in the literal makes its line a comment line too.
  EXPECT_EQ(analyzer.getCommentLoc(), 3000 * 4 + 1);
  const long small = allocationsOf(analyzer, dir, "Small.java");
  // The first round fills the buffers (the count is live); then a file of a
  // thousand times the words costs what a small one costs.
  EXPECT_GT(cold, big);
  EXPECT_EQ(big, small);
  EXPECT_LT(big, 20);
}

}  // namespace
}  // namespace rzt::test
