// The driver's stop request and progress handler, on one thread and on
// several.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "analysis/AnalyzerMain.h"
#include "options/OptionValues.h"
#include "report/IReportWriter.h"

namespace rzt {
namespace {

const char* const kGood = "class G { void f() { if (a) { b(); } } }\n";
// Ends inside the class body: error 500020.
const char* const kTruncated = "class T {\n  void f() {\n";

// Keeps the names of the files reported and skipped, and whether the report
// was finished.
class FileNameReport : public IReportWriter {
 public:
  void prepare(const IOption&) override {}
  void finishedFileAnalysis(const FileRecord& file) override { files.push_back(file.fileName); }
  void finishedClassAnalysis(const ClassRecord&) override {}
  void finishedMethodAnalysis(const MethodRecord&) override {}
  void skippedFileAnalysis(const SkippedFileRecord& file) override { files.push_back("skipped " + file.fileName); }
  void finishedAllAnalysis() override { finished = true; }
  std::vector<std::string> files;
  bool finished = false;
};

struct StopCase {
  const char* name;
  int32_t jobs;
  bool keepGoing;
};

std::ostream& operator<<(std::ostream& out, const StopCase& c) { return out << c.name; }

class AnalyzerStop : public ::testing::TestWithParam<StopCase> {
 protected:
  AnalyzerStop() : driver(status, messages) {
    // With keep-going F3 fails: it is skipped and counts as done.
    for (int i = 1; i <= 8; ++i) {
      sources.write("F" + std::to_string(i) + ".java", i == 3 && GetParam().keepGoing ? kTruncated : kGood);
    }
    driver.setJobs(GetParam().jobs);
    driver.setKeepGoing(GetParam().keepGoing);
  }

  test::TempDir sources;
  test::RecordingStatusLine status;
  test::RecordingUserMessage messages;
  AnalyzerMain driver;
  FileNameReport report;
  OptionValues options;
};

TEST_P(AnalyzerStop, StopsBeforeTheNextFileAndReportsThoseBefore) {
  std::vector<std::pair<int32_t, int32_t>> progress;
  driver.setProgressHandler([&](int32_t done, int32_t total) {
    progress.emplace_back(done, total);
    if (done == 4) driver.requestStop();
  });
  driver.init(&report, options);
  EXPECT_THROW(driver.doAnalysisDir(sources.str(), false), AnalysisStopped);

  const std::string third = GetParam().keepGoing ? "skipped F3.java" : "F3.java";
  EXPECT_EQ(report.files, (std::vector<std::string>{"F1.java", "F2.java", third, "F4.java"}));
  EXPECT_FALSE(report.finished);
  EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{0, 8}, {1, 8}, {2, 8}, {3, 8}, {4, 8}}));
  EXPECT_TRUE(driver.currentFile().empty());
  EXPECT_EQ(driver.fileTotal(), 8);
}

TEST_P(AnalyzerStop, ProgressCountsEveryFileInOrderAndInitClearsAnOldRequest) {
  driver.requestStop();
  std::vector<std::pair<int32_t, int32_t>> progress;
  driver.setProgressHandler([&](int32_t done, int32_t total) { progress.emplace_back(done, total); });
  driver.init(&report, options);
  driver.doAnalysisDir(sources.str(), false);

  EXPECT_TRUE(report.finished);
  EXPECT_EQ(report.files.size(), 8u);
  ASSERT_EQ(progress.size(), 9u);
  for (int32_t i = 0; i <= 8; ++i) EXPECT_EQ(progress[static_cast<size_t>(i)], std::make_pair(i, 8));
}

TEST_P(AnalyzerStop, StopRequestedBeforeTheStartAnalysesNothing) {
  std::vector<std::pair<int32_t, int32_t>> progress;
  driver.setProgressHandler([&](int32_t done, int32_t total) { progress.emplace_back(done, total); });
  driver.init(&report, options);
  driver.requestStop();
  EXPECT_THROW(driver.doAnalysisDir(sources.str(), false), AnalysisStopped);
  EXPECT_TRUE(report.files.empty());
  EXPECT_FALSE(report.finished);

  driver.init(&report, options);
  driver.requestStop();
  EXPECT_THROW(driver.doAnalysisFile(sources.str(), "F1.java"), AnalysisStopped);
  EXPECT_TRUE(report.files.empty());
  EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{0, 8}, {0, 1}}));
}

INSTANTIATE_TEST_SUITE_P(Threads, AnalyzerStop,
                         ::testing::Values(StopCase{"OneThread", 1, false}, StopCase{"OneThreadKeepGoing", 1, true},
                                           StopCase{"TwoThreads", 2, false},
                                           StopCase{"TwoThreadsKeepGoing", 2, true},
                                           StopCase{"FourThreadsKeepGoing", 4, true}),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST(AnalyzerProgress, SingleFileCountsOneAndAnEmptyFolderNone) {
  test::TempDir sources;
  sources.write("A.java", kGood);
  sources.write("empty/readme.txt", "x");
  test::RecordingStatusLine status;
  test::RecordingUserMessage messages;
  AnalyzerMain driver(status, messages);
  FileNameReport report;
  OptionValues options;
  std::vector<std::pair<int32_t, int32_t>> progress;
  driver.setProgressHandler([&](int32_t done, int32_t total) { progress.emplace_back(done, total); });

  driver.init(&report, options);
  driver.doAnalysisFile(sources.str(), "A.java");
  EXPECT_EQ(progress, (std::vector<std::pair<int32_t, int32_t>>{{0, 1}, {1, 1}}));
  EXPECT_EQ(driver.fileTotal(), 1);

  progress.clear();
  driver.init(&report, options);
  driver.doAnalysisDir((sources.path() / "empty").string(), false);
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(driver.fileTotal(), 0);
  EXPECT_TRUE(report.finished);
}

}  // namespace
}  // namespace rzt
