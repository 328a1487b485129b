// Every record knows its file's path relative to the folder the analysis
// was started on, however the files are analysed.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "JavaTestSupport.h"
#include "TestSupport.h"
#include "analysis/AnalyzerMain.h"
#include "java/ModernFileAnalyzer.h"
#include "options/OptionValues.h"

namespace rzt::test {
namespace {

struct PathMode {
  int32_t jobs;
  bool keepGoing;
  bool modern;
  bool trailingSlash;  // the folder given as "root/"
};

void PrintTo(const PathMode& m, std::ostream* out) {
  *out << "jobs=" << m.jobs << (m.keepGoing ? " keep-going" : "") << (m.modern ? " modern" : "")
       << (m.trailingSlash ? " slash" : "");
}

const std::vector<std::string> kFiles = {"A.java", "sub/B.java", "sub/deep/C.java", "with space/D\xE6\x97\xA5.java"};

std::string classText(size_t i) { return "class K" + std::to_string(i) + " { void m() { } }\n"; }

struct Recorded {
  EventLog log;
  std::unique_ptr<RecordingReportWriter> writer = std::make_unique<RecordingReportWriter>(log);
};

void analyse(Recorded& out, const PathMode& mode, const std::string& dir, const std::string& file = "") {
  RecordingStatusLine status;
  RecordingUserMessage messages;
  AnalyzerMain driver(status, messages);
  if (mode.modern) driver.setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
  driver.setJobs(mode.jobs);
  driver.setKeepGoing(mode.keepGoing);
  OptionValues options;
  driver.init(out.writer.get(), options);
  if (file.empty()) {
    driver.doAnalysisDir(dir, true);
  } else {
    driver.doAnalysisFile(dir, file);
  }
}

class FilePathsTest : public ::testing::TestWithParam<PathMode> {};

TEST_P(FilePathsTest, AreRelativeToTheAnalysedFolder) {
  const PathMode& mode = GetParam();
  TempDir root;
  for (size_t i = 0; i < kFiles.size(); ++i) root.write(kFiles[i], classText(i));
  Recorded run;
  analyse(run, mode, root.str() + (mode.trailingSlash ? "/" : ""));
  const RecordingReportWriter& w = *run.writer;
  ASSERT_EQ(kFiles.size(), w.files.size());
  ASSERT_EQ(kFiles.size(), w.classes.size());
  ASSERT_EQ(kFiles.size(), w.methods.size());
  for (size_t i = 0; i < kFiles.size(); ++i) {
    EXPECT_EQ(kFiles[i], w.files[i].filePath);
    // One class and one method a file, in file order.
    EXPECT_EQ("K" + std::to_string(i), w.classes[i].className);
    EXPECT_EQ(kFiles[i], w.classes[i].filePath);
    EXPECT_EQ(kFiles[i], w.methods[i].filePath);
    EXPECT_EQ(1, w.classes[i].line);
    EXPECT_EQ(1, w.methods[i].line);
  }
}

TEST_P(FilePathsTest, IsTheBareNameForOneFile) {
  const PathMode& mode = GetParam();
  TempDir root;
  root.write("sub/B.java", classText(1));
  Recorded run;
  analyse(run, mode, (root.path() / "sub").string() + (mode.trailingSlash ? "/" : ""), "B.java");
  const RecordingReportWriter& w = *run.writer;
  ASSERT_EQ(1u, w.files.size());
  EXPECT_EQ("B.java", w.files[0].filePath);
  ASSERT_EQ(1u, w.methods.size());
  EXPECT_EQ("B.java", w.methods[0].filePath);
}

INSTANTIATE_TEST_SUITE_P(Modes, FilePathsTest,
                         ::testing::ValuesIn(std::vector<PathMode>{
                             {1, false, false, false},
                             {1, true, false, true},
                             {2, false, false, true},
                             {2, true, false, false},
                             {1, false, true, false},
                             {2, true, true, true},
                         }));

}  // namespace
}  // namespace rzt::test
