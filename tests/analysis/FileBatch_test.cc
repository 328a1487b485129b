#include "analysis/FileBatch.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "JavaTestSupport.h"
#include "TestSupport.h"

namespace rzt {
namespace {

// Records one small file's events, as an analysis of it would raise them.
void recordFile(FileBatch& batch, const std::string& name) {
  MethodRecord method;
  method.className = name;
  method.methodName = "m";
  ClassRecord cls;
  cls.className = name;
  FileRecord file;
  file.fileName = name + ".java";
  batch.setText("file " + name);
  batch.setText("class " + name);
  batch.finishedMethodAnalysis(method);
  batch.showCritical("odd " + name);
  batch.finishedClassAnalysis(cls);
  batch.showMessage("note " + name);
  batch.finishedFileAnalysis(file);
}

// Replays into one log of every target, so that the order across targets shows.
struct Replayed {
  test::EventLog log;
  test::RecordingReportWriter report{log};
  test::LoggingStatusLine status{log};
  struct Messages : IUserMessage {
    explicit Messages(test::EventLog& log) : log_(log) {}
    void showMessage(const std::string& text) override { log_.push_back("I:" + text); }
    void showCritical(const std::string& text) override { log_.push_back("C:" + text); }
    test::EventLog& log_;
  } messages{log};
};

TEST(FileBatch, ReplaysEveryEventInItsOrderToTheTargetsGiven) {
  FileBatch batch;
  batch.begin(3, "d", "A.java");
  recordFile(batch, "A");
  EXPECT_EQ(batch.recordCount(), 3u);

  struct Case {
    const char* name;
    bool report, status, messages;
    test::EventLog expected;
  };
  const std::vector<Case> cases = {
      {"All", true, true, true,
       {"S:file A", "S:class A", "M:A.m", "C:odd A", "C:A", "I:note A", "F:A.java"}},
      {"ReportOnly", true, false, false, {"M:A.m", "C:A", "F:A.java"}},
      {"ProgressAndMessagesOnly", false, true, true, {"S:file A", "S:class A", "C:odd A", "I:note A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Replayed to;
    batch.replay(c.report ? &to.report : nullptr, c.status ? &to.status : nullptr,
                 c.messages ? &to.messages : nullptr);
    EXPECT_EQ(to.log, c.expected);
  }
  // A replay leaves the batch as it was.
  Replayed again;
  batch.replay(&again.report, nullptr, nullptr);
  EXPECT_EQ(again.report.files.size(), 1u);
}

TEST(FileBatch, BeginDropsTheLastFileAndReusesItsSlots) {
  FileBatch batch;
  batch.begin(1, "d", "A.java");
  recordFile(batch, "A");
  recordFile(batch, "A2");
  batch.fail(RztError(500020, "LogicalReader.readWord", "500020"), 7);
  batch.begin(2, "e", "B.java");
  EXPECT_FALSE(batch.failed());
  EXPECT_FALSE(batch.error());
  EXPECT_EQ(batch.recordCount(), 0u);
  recordFile(batch, "B");
  Replayed to;
  batch.replay(&to.report, &to.status, &to.messages);
  EXPECT_EQ(to.log, (test::EventLog{"S:file B", "S:class B", "M:B.m", "C:odd B", "C:B", "I:note B", "F:B.java"}));
  EXPECT_EQ(to.report.methods.at(0).className, "B") << "a reused slot holds the new record whole";
  EXPECT_EQ(batch.ordinal(), 2);
  EXPECT_EQ(batch.dirName(), "e");
}

TEST(FileBatch, KeepsTheErrorThatEndedTheFile) {
  FileBatch batch;
  batch.begin(1, "dir", "Bad.java");
  recordFile(batch, "Bad");
  batch.fail(RztError(50030, "JStatementAnalyzer", "ネストが深過ぎます"), 4242);
  ASSERT_TRUE(batch.failed());
  ASSERT_TRUE(batch.error());
  const SkippedFileRecord skipped = batch.skippedFile();
  EXPECT_EQ(skipped.dirName, "dir");
  EXPECT_EQ(skipped.fileName, "Bad.java");
  EXPECT_EQ(skipped.number, 50030);
  EXPECT_EQ(skipped.source, "JStatementAnalyzer");
  EXPECT_EQ(skipped.description, "ネストが深過ぎます");
  EXPECT_EQ(skipped.wordCount, 4242);
  try {
    batch.rethrow();
    FAIL() << "nothing raised";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), 50030);
  }
  // The records finished before the error are still there to replay.
  EXPECT_EQ(batch.recordCount(), 3u);

  batch.fail(std::make_exception_ptr(std::length_error("too long")));
  EXPECT_TRUE(batch.failed());
  EXPECT_FALSE(batch.error());
  EXPECT_THROW(batch.rethrow(), std::length_error);
}

TEST(FileBatch, SwapExchangesContents) {
  FileBatch a;
  FileBatch b;
  a.begin(1, "d", "A.java");
  recordFile(a, "A");
  b.begin(2, "d", "B.java");
  b.fail(RztError(53, "", "gone"), 0);
  a.swap(b);
  EXPECT_EQ(a.fileName(), "B.java");
  EXPECT_TRUE(a.failed());
  EXPECT_EQ(a.recordCount(), 0u);
  EXPECT_EQ(b.fileName(), "A.java");
  EXPECT_FALSE(b.failed());
  EXPECT_EQ(b.recordCount(), 3u);
}

TEST(FileBatch, RunEventsAreMistakes) {
  FileBatch batch;
  EXPECT_THROW(batch.finishedAllAnalysis(), std::logic_error);
  EXPECT_THROW(batch.skippedFileAnalysis(SkippedFileRecord{}), std::logic_error);
  batch.begin(1, "d", "A.java");
  EXPECT_THROW(batch.rethrow(), std::logic_error) << "a finished file has nothing to raise";
}

}  // namespace
}  // namespace rzt
