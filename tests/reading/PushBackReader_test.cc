#include "reading/PushBackReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ReadingTestHelpers.h"
#include "reading/ReaderStack.h"

namespace rzt::test {
namespace {

// A file of n words "w1" ... "wn" and a stream opened on it.
class PushBackFixture : public ::testing::Test {
 protected:
  void open(int n, const std::string& name = "Words.java") {
    std::string text;
    for (int i = 1; i <= n; ++i) text += "w" + std::to_string(i) + (i % 10 == 0 ? "\n" : " ");
    openText(text, name);
  }
  void openText(const std::string& text, const std::string& name = "Words.java") {
    dir_.write(name, text);
    stream_->openFile(dir_.str(), name);
  }
  std::vector<std::string> read(int n) {
    std::vector<std::string> words;
    for (int i = 0; i < n; ++i) words.push_back(stream_->readWord());
    return words;
  }
  static std::string w(int i) { return "w" + std::to_string(i); }
  static void expectError(const std::function<void()>& action, int number, const std::string& source,
                          const std::string& description = "") {
    try {
      action();
      ADD_FAILURE() << "no error " << number;
    } catch (const RztError& e) {
      EXPECT_EQ(e.number(), number);
      EXPECT_EQ(e.source(), source);
      if (!description.empty()) {
        EXPECT_EQ(e.description(), description);
      }
    }
  }

  TempDir dir_;
  RecordingUserMessage messages_;
  std::unique_ptr<PushBackReader> stream_ = makeStream(&messages_);
};

TEST_F(PushBackFixture, PushedBackWordsComeAgainAndAreNotCounted) {
  open(10);
  EXPECT_EQ(read(3), (std::vector<std::string>{w(1), w(2), w(3)}));
  stream_->pushBack(2);
  EXPECT_EQ(read(3), (std::vector<std::string>{w(2), w(3), w(4)}));
  EXPECT_EQ(stream_->getWordCount(), 4);
}

TEST_F(PushBackFixture, PreReadWordDoesNotConsume) {
  open(3);
  EXPECT_EQ(stream_->preReadWord(), w(1));
  EXPECT_EQ(stream_->preReadWord(), w(1));
  EXPECT_EQ(stream_->readWord(), w(1));
  EXPECT_EQ(stream_->preReadWord(), w(2));
  EXPECT_EQ(stream_->getWordCount(), 2);
}

TEST_F(PushBackFixture, PushBackLimits) {
  struct LimitCase {
    const char* name;
    std::vector<int> counts;  // pushed back one after another
    int failingIndex;         // -1: all succeed
  };
  const std::vector<LimitCase> cases = {
      {"4999 at once", {4999}, -1},
      {"5000 at once", {5000}, 0},
      {"4999 in two steps", {4000, 999}, -1},
      {"5000 in two steps", {4000, 1000}, 1},
      {"huge count", {2147483647}, 0},
      {"zero", {0}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    open(5002);
    read(5000);
    int waiting = 0;
    for (size_t i = 0; i < c.counts.size(); ++i) {
      if (static_cast<int>(i) == c.failingIndex) {
        expectError([&] { stream_->pushBack(c.counts[i]); }, 50000, "PushBackReader.pushBackToPool",
                    "pushBackバッファオーバーフロー");
      } else {
        stream_->pushBack(c.counts[i]);
        waiting += c.counts[i];
      }
    }
    // The indices are where the successful calls left them.
    for (int i = 5001 - waiting; i <= 5000; ++i) ASSERT_EQ(stream_->readWord(), w(i));
    EXPECT_EQ(stream_->readWord(), w(5001));
    EXPECT_EQ(stream_->getWordCount(), 5001);
    stream_->closeFile();
  }
}

TEST_F(PushBackFixture, NegativePushBackChangesNothing) {
  open(5);
  read(2);
  stream_->pushBack(-3);
  EXPECT_EQ(stream_->readWord(), w(3));
  stream_->pushBack(1);
  stream_->pushBack(-1);
  EXPECT_EQ(stream_->readWord(), w(3));
  EXPECT_EQ(stream_->getWordCount(), 3);
}

// Random reads and push-backs across the ring's wrap against a plain list.
TEST_F(PushBackFixture, RandomPushBacksFollowTheWordList) {
  const int n = 16000;
  open(n);
  std::mt19937 rng(3);
  int next = 1;      // the next word a plain list would deliver
  int fresh = 0;     // words taken from the file so far
  int farBacks = 0;
  for (int step = 1; next <= n; ++step) {
    // Mostly short look-aheads, a few times as far back as allowed.
    bool far = step % 6000 == 0 && farBacks++ < 3;
    if (far || rng() % 8 == 0) {
      int maxBack = std::min(next - 1, 4999 - (fresh - (next - 1)));
      if (!far) maxBack = std::min(maxBack, 4);
      if (maxBack > 0) {
        int count = far ? maxBack : static_cast<int>(rng() % static_cast<unsigned>(maxBack)) + 1;
        stream_->pushBack(count);
        next -= count;
      }
    }
    ASSERT_TRUE(stream_->hasMoreWords());
    ASSERT_EQ(stream_->readWord(), w(next));
    fresh = std::max(fresh, next);
    ++next;
    ASSERT_EQ(stream_->getWordCount(), fresh);
  }
  EXPECT_FALSE(stream_->hasMoreWords());
}

TEST_F(PushBackFixture, ReadWordWithPeriodJoinsDottedNames) {
  struct PeriodCase {
    std::string text;
    std::string name;
    std::string next;
  };
  const std::vector<PeriodCase> cases = {
      {"java.util.List;", "java.util.List", ";"},
      {"java.util.*;", "java.util.*", ";"},
      {"a . b . c ;", "a.b.c", ";"},
      {"Simple {", "Simple", "{"},
      {"a..b;", "a.b", ";"},
      {"a.b c", "a.b", "c"},
      {". a;", "a", ";"},
  };
  int file = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    openText(c.text + " end", "P" + std::to_string(++file) + ".java");
    EXPECT_EQ(stream_->readWordWithPeriod(), c.name);
    EXPECT_EQ(stream_->readWord(), c.next);
    stream_->closeFile();
  }
}

TEST_F(PushBackFixture, SkipWordReportsAMismatchAndGoesOn) {
  openText("public clas Foo {", "Foo.java");
  stream_->skipWord("public");
  EXPECT_TRUE(messages_.shown.empty());
  stream_->skipWord("class");
  EXPECT_EQ(messages_.shown,
            std::vector<std::string>{"C:解析エラー！ ファイル名：Foo.java  語数：2  単語：class"});
  EXPECT_EQ(stream_->readWord(), "Foo");
}

TEST_F(PushBackFixture, ReadPastTheEndShowsMessageAndRaises500020) {
  openText("class A {");
  read(3);
  EXPECT_FALSE(stream_->hasMoreWords());
  expectError([&] { stream_->readWord(); }, 500020, "LogicalReader.readWord", "500020");
  EXPECT_EQ(messages_.shown, std::vector<std::string>{"I:解析の途中でEOFに到達しました"});
}

TEST_F(PushBackFixture, UserMessageSetBeforeInitReachesTheWordReader) {
  RecordingUserMessage messages;
  PushBackReader stream;
  stream.setUserMessage(&messages);
  stream.init(makeWordReader(makeCleaner(std::make_unique<FileReader>())));
  dir_.write("E.java", "");
  stream.openFile(dir_.str(), "E.java");
  EXPECT_THROW(stream.readWord(), RztError);
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(PushBackFixture, StaleSlotBeforeTheFirstWordRaises40000) {
  open(3);
  // Two words back at the start reach slots that hold no word of this file.
  stream_->pushBack(2);
  expectError([&] { stream_->readWord(); }, 40000, "PushBackReader.storeWordToPool");
}

TEST_F(PushBackFixture, OpenFileResetsCountAndIndices) {
  open(7000, "A.java");
  read(7000);
  stream_->pushBack(3);
  stream_->closeFile();
  dir_.write("B.java", "x y");
  stream_->openFile(dir_.str(), "B.java");
  EXPECT_EQ(stream_->getWordCount(), 0);
  EXPECT_EQ(read(2), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(stream_->getWordCount(), 2);
  EXPECT_FALSE(stream_->hasMoreWords());
}

}  // namespace
}  // namespace rzt::test
