// Once warm, reading a file allocates nothing per character or word.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "ReadingTestHelpers.h"
#include "reading/ReaderStack.h"

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

std::string javaText() {
  std::string text = "package a.b;\n/** 表示 */\nclass A {\n";
  for (int i = 0; i < 3000; ++i) {
    text += "  int field" + std::to_string(i) + " = " + std::to_string(i) +
            " >> 2; // 注釈 " + std::to_string(i) + "\n  String s" + std::to_string(i) +
            " = \"a long string literal that does not fit a short buffer \\\" /* */\";\n";
  }
  return text + "}\n";
}

TEST(AllocationTest, WarmWordStreamAndLinePassAllocateNothing) {
  TempDir dir;
  dir.write("A.java", javaText());
  auto stream = makeReaderStack("auto", nullptr);
  PhysicalReader lines;
  long wordLoop = -1;
  long lineLoop = -1;
  long coldWordLoop = -1;
  for (int round = 0; round < 2; ++round) {
    stream->openFile(dir.str(), "A.java");
    long before = allocations.load();
    int words = 0;
    while (stream->hasMoreWords()) {
      const std::string& word = stream->readWord();
      words += word.empty() ? 0 : 1;
      if (words % 7 == 0) {
        stream->pushBack(3);
        stream->readWord();
        stream->preReadWord();
      }
    }
    wordLoop = allocations.load() - before;
    if (round == 0) coldWordLoop = wordLoop;
    stream->closeFile();
    EXPECT_GT(words, 20000);

    lines.openFile(dir.str(), "A.java");
    before = allocations.load();
    int count = 0;
    while (lines.nextLine()) ++count;
    lineLoop = allocations.load() - before;
    lines.closeFile();
    EXPECT_EQ(count, 6004);
  }
  // The first round fills the buffers (the count is live); the second reuses them.
  EXPECT_GT(coldWordLoop, 0);
  EXPECT_EQ(wordLoop, 0);
  EXPECT_EQ(lineLoop, 0);
}

}  // namespace
}  // namespace rzt::test
