#include "analysis/ParallelAnalysis.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedJavaTree.h"
#include "TestSupport.h"
#include "WholeRun.h"
#include "XlsxCompare.h"
#include "analysis/AnalysisMonitor.h"
#include "java/IFileAnalyzer.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

constexpr int32_t kTreeFiles = 300;
constexpr int32_t kFailingPlace = 137;

// Two trees from one seed: as generated, and with the file at kFailingPlace
// replaced by one whose class body never closes.
class GeneratedTrees {
 public:
  static GeneratedTrees& get() {
    static GeneratedTrees trees;
    return trees;
  }
  fs::path clean() const { return root_.path() / "clean"; }
  fs::path failing() const { return root_.path() / "failing"; }
  const test::GeneratedJavaTree& failingTree() const { return failingTree_; }
  const test::GeneratedJavaTree& cleanTree() const { return cleanTree_; }

 private:
  GeneratedTrees()
      : cleanTree_(test::generateJavaTree(clean(), kTreeFiles, 4711)),
        failingTree_(test::generateJavaTree(failing(), kTreeFiles, 4711, kFailingPlace)) {}
  test::TempDir root_;
  test::GeneratedJavaTree cleanTree_;
  test::GeneratedJavaTree failingTree_;
};

struct ModeCase {
  const char* name;
  bool diagnosis;
  bool keepGoing;
  bool failing;
  bool modern = false;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class ParallelSameAsOneThread : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ParallelSameAsOneThread, WorkbookMessagesAndProgressAreThoseOfOneThread) {
  const ModeCase& c = GetParam();
  GeneratedTrees& trees = GeneratedTrees::get();
  const fs::path root = c.failing ? trees.failing() : trees.clean();
  test::TempDir out;

  test::RunMode mode;
  mode.diagnosis = c.diagnosis;
  mode.keepGoing = c.keepGoing;
  mode.modern = c.modern;
  mode.jobs = 1;
  const test::RunOutcome one = test::runWhole(root, out.path() / "j1.xlsx", mode);

  // The run must be worth comparing: many rows, and the failure where it belongs.
  ASSERT_GT(test::cellCount(one.book), 5000u);
  const std::string failingPath = (root / trees.failingTree().failingFile).string();
  if (c.failing && !c.keepGoing && !c.modern) {
    EXPECT_EQ(one.error, 500020);
    EXPECT_EQ(one.errorFile, failingPath);
  } else {
    EXPECT_EQ(one.error, 0);
  }
  if (c.failing && c.keepGoing && !c.modern) {
    EXPECT_EQ(one.skipped.size(), 1u);
  } else {
    EXPECT_TRUE(one.skipped.empty());
  }
  if (!c.modern) {
    EXPECT_FALSE(one.messages.empty()) << "the tree should make the reader complain now and then";
  }

  for (int32_t jobs : {2, 4}) {
    SCOPED_TRACE("jobs " + std::to_string(jobs));
    mode.jobs = jobs;
    const test::RunOutcome many = test::runWhole(root, out.path() / ("j" + std::to_string(jobs) + ".xlsx"), mode);
    EXPECT_EQ(test::firstDifference(one.book, many.book), "");
    EXPECT_EQ(one.error, many.error);
    EXPECT_EQ(one.errorFile, many.errorFile);
    EXPECT_EQ(one.skipped, many.skipped);
    EXPECT_EQ(one.skippedCount, many.skippedCount);
    EXPECT_EQ(one.messages, many.messages);
    EXPECT_EQ(one.status, many.status);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ParallelSameAsOneThread,
                         ::testing::ValuesIn(std::vector<ModeCase>{
                             {"DiagnosisClean", true, false, false},
                             {"NoDiagnosisClean", false, false, false},
                             {"DiagnosisKeepGoingClean", true, true, false},
                             {"NoDiagnosisKeepGoingClean", false, true, false},
                             {"DiagnosisFailing", true, false, true},
                             {"NoDiagnosisFailing", false, false, true},
                             {"DiagnosisKeepGoingFailing", true, true, true},
                             {"NoDiagnosisKeepGoingFailing", false, true, true},
                             {"ModernDiagnosisKeepGoing", true, true, true, true},
                         }),
                         [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST(ParallelAnalysisOrder, ProgressPrefixIsEachFilesOrdinal) {
  GeneratedTrees& trees = GeneratedTrees::get();
  test::TempDir out;
  test::RunMode mode;
  mode.jobs = 4;
  const test::RunOutcome run = test::runWhole(trees.clean(), out.path() / "r.xlsx", mode);
  // The file texts, in the order shown, name the files of the tree in
  // enumeration order, each with its own ordinal.
  std::vector<std::string> fileTexts;
  for (const std::string& text : run.status) {
    if (text.find("ファイルを解析しています") != std::string::npos) fileTexts.push_back(text);
  }
  ASSERT_EQ(fileTexts.size(), trees.cleanTree().files.size());
  for (size_t i = 0; i < fileTexts.size(); ++i) {
    const std::string name = fs::path(trees.cleanTree().files[i]).filename().string();
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "[ %zu/ %d] ", i + 1, kTreeFiles);
    EXPECT_EQ(fileTexts[i], prefix + name + "ファイルを解析しています");
  }
}

TEST(ParallelAnalysisOrder, MessagesComeInFileOrder) {
  // Every file makes the reader complain, naming the file.
  test::TempDir root;
  std::vector<std::string> names;
  for (int i = 0; i < 80; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "M%03d.java", i);
    names.push_back(name);
    // Longer files now and then, so that the threads finish out of turn.
    std::string text;
    for (int k = 0; k < (i % 7) * 40; ++k) text += "class P" + std::to_string(k) + " { void f() { a(); } }\n";
    text += "class A { void f() { switch (k) x case 1: a(); } } }\n";
    root.write(name, text);
  }
  test::TempDir out;
  test::RunMode mode;
  mode.jobs = 4;
  const test::RunOutcome run = test::runWhole(root.path(), out.path() / "r.xlsx", mode);
  ASSERT_EQ(run.messages.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_NE(run.messages[i].find("ファイル名：" + names[i] + " "), std::string::npos) << run.messages[i];
  }
}

// A file analyzer that takes a while of its own choosing over each file and
// finishes one record naming the file; "fail.java" raises error 53.
class SlowAnalyzer : public IFileAnalyzer {
 public:
  SlowAnalyzer(std::atomic<int32_t>& started, uint32_t seed) : started_(started), random_(seed) {}
  void setEncoding(const std::string&) override {}
  void setUserMessage(IUserMessage* messages) override { messages_ = messages; }
  void init(IAnalysisMonitor* monitor, IReportWriter* report) override {
    monitor_ = monitor;
    report_ = report;
  }
  void doAnalysis(const std::string& dName, const std::string& fName) override {
    ++started_;
    FileRecord record;
    record.dirName = dName;
    record.fileName = fName;
    monitor_->notifyFileAnalysis(record);
    std::this_thread::sleep_for(std::chrono::microseconds(random_() % 400));
    messages_->showMessage(fName);
    if (fName == "fail.java") throw RztError(kErrFileNotFound, "", "ファイルが見つかりません: " + fName);
    report_->finishedFileAnalysis(record);
  }

 private:
  std::atomic<int32_t>& started_;
  std::mt19937 random_;
  IAnalysisMonitor* monitor_ = nullptr;
  IReportWriter* report_ = nullptr;
  IUserMessage* messages_ = nullptr;
};

TEST(ParallelAnalysisRunner, HandsOnInFileOrderWithABoundedWindow) {
  for (int32_t jobs : {1, 2, 3, 8}) {
    SCOPED_TRACE("jobs " + std::to_string(jobs));
    std::atomic<int32_t> started{0};
    uint32_t seed = 1;
    constexpr int32_t kFiles = 200;
    std::vector<std::string> consumed;
    int32_t widest = 0;
    {
      ParallelAnalysis parallel(
          jobs, [&] { return std::make_unique<SlowAnalyzer>(started, seed++); }, "auto", kFiles,
          [&](const FileBatch& batch) {
            widest = std::max(widest, started.load() - static_cast<int32_t>(consumed.size()));
            test::RecordingStatusLine status;
            test::RecordingUserMessage messages;
            batch.replay(nullptr, &status, &messages);
            ASSERT_EQ(status.texts.size(), 1u);
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0], "I:" + batch.fileName());
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "[ %d/ %d] ", batch.ordinal(), kFiles);
            EXPECT_EQ(status.texts[0], prefix + batch.fileName() + "ファイルを解析しています");
            consumed.push_back(batch.fileName());
          });
      for (int32_t i = 0; i < kFiles; ++i) parallel.submit("d", "f" + std::to_string(i) + ".java");
      parallel.finish();
    }
    ASSERT_EQ(consumed.size(), static_cast<size_t>(kFiles));
    for (int32_t i = 0; i < kFiles; ++i) EXPECT_EQ(consumed[static_cast<size_t>(i)], "f" + std::to_string(i) + ".java");
    EXPECT_LE(widest, ParallelAnalysis::windowFor(jobs));
    EXPECT_EQ(started.load(), kFiles);
  }
}

TEST(ParallelAnalysisRunner, AnErrorOfTheConsumerStopsTheRun) {
  std::atomic<int32_t> started{0};
  uint32_t seed = 9;
  int32_t consumed = 0;
  try {
    ParallelAnalysis parallel(
        2, [&] { return std::make_unique<SlowAnalyzer>(started, seed++); }, "auto", 500,
        [&](const FileBatch& batch) {
          ++consumed;
          if (batch.failed()) batch.rethrow();
        });
    for (int32_t i = 0; i < 500; ++i) parallel.submit("d", i == 20 ? "fail.java" : "f" + std::to_string(i) + ".java");
    parallel.finish();
    FAIL() << "the error was swallowed";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrFileNotFound);
  }
  EXPECT_EQ(consumed, 21);
  // Nothing beyond the window after the failing file was started.
  EXPECT_LE(started.load(), 21 + ParallelAnalysis::windowFor(2));
}

TEST(ParallelAnalysisRunner, AFailedFileLeavesItsPartOfTheBatch) {
  std::atomic<int32_t> started{0};
  std::vector<std::string> failures;
  ParallelAnalysis parallel(
      3, [&] { return std::make_unique<SlowAnalyzer>(started, 3); }, "auto", 5,
      [&](const FileBatch& batch) {
        test::RecordingUserMessage messages;
        batch.replay(nullptr, nullptr, &messages);
        EXPECT_EQ(messages.shown, std::vector<std::string>{"I:" + batch.fileName()});
        if (batch.failed()) {
          ASSERT_TRUE(batch.error());
          failures.push_back(batch.fileName() + " " + std::to_string(batch.error()->number()));
          EXPECT_EQ(batch.recordCount(), 0u);
        } else {
          EXPECT_EQ(batch.recordCount(), 1u);
        }
      });
  for (const char* name : {"a.java", "fail.java", "b.java", "fail.java", "c.java"}) parallel.submit("d", name);
  parallel.finish();
  EXPECT_EQ(failures, (std::vector<std::string>{"fail.java 53", "fail.java 53"}));
}

}  // namespace
}  // namespace rzt
