// rzt-cli's -j, --keep-going and --dry-run, end to end: the built program on
// generated Java trees.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedJavaTree.h"
#include "RunCli.h"
#include "TestSupport.h"
#include "XlsxCompare.h"
#include "XlsxReader.h"
#include "cli/CliArguments.h"
#include "options/OptionValues.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

constexpr int32_t kTreeFiles = 200;
constexpr int32_t kFailAt = 101;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    out.push_back(text.substr(start, end - start));
  }
  return out;
}

// One generated tree with a failing file in the middle, shared by the tests.
class FailingTree {
 public:
  static const FailingTree& get() {
    static const FailingTree tree;
    return tree;
  }
  fs::path root() const { return dir_.path() / "src"; }
  const test::GeneratedJavaTree& tree() const { return tree_; }

 private:
  FailingTree() : tree_(test::generateJavaTree(root(), kTreeFiles, 2024, kFailAt)) {}
  test::TempDir dir_;
  test::GeneratedJavaTree tree_;
};

struct JobsCase {
  const char* name;
  std::vector<std::string> options;
};

void PrintTo(const JobsCase& c, std::ostream* os) { *os << c.name; }

class RztCliJobs : public ::testing::TestWithParam<JobsCase> {};

TEST_P(RztCliJobs, EveryNumberOfThreadsWritesTheSameReport) {
  const JobsCase& c = GetParam();
  const FailingTree& tree = FailingTree::get();
  test::TempDir out;
  // Each run in a folder of its own, writing r.xlsx there, so that even the
  // messages naming the report are the same.
  auto run = [&](const std::string& jobs) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-r", "-j", jobs, "-o", "r.xlsx", tree.root().string()});
    fs::create_directories(out.path() / jobs);
    return runCli(args, out.path() / jobs);
  };
  const RunResult one = run("1");
  // The failing file ends the run, or is skipped: either way the status is 1.
  EXPECT_EQ(one.status, 1) << one.err;
  const test::XlsxBook oneBook = test::readXlsx(writtenReport(out.path() / "1" / "r.xlsx"));
  ASSERT_GT(test::cellCount(oneBook), 3000u);
  for (const std::string jobs : {"2", "4"}) {
    SCOPED_TRACE("-j " + jobs);
    const RunResult many = run(jobs);
    EXPECT_EQ(many.status, one.status);
    EXPECT_EQ(many.out, one.out);
    EXPECT_EQ(many.err, one.err);
    EXPECT_EQ(test::firstDifference(oneBook, test::readXlsx(writtenReport(out.path() / jobs / "r.xlsx"))), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, RztCliJobs,
                         ::testing::ValuesIn(std::vector<JobsCase>{
                             {"Diagnosis", {}},
                             {"NoDiagnosis", {"--no-diagnosis"}},
                             {"DiagnosisKeepGoing", {"--keep-going"}},
                             {"NoDiagnosisKeepGoing", {"--no-diagnosis", "--keep-going"}},
                         }),
                         [](const ::testing::TestParamInfo<JobsCase>& info) { return std::string(info.param.name); });

TEST(RztCliKeepGoing, SkippedFilesArePrintedInFileOrderAndTheExitStatusIsOne) {
  test::TempDir dir;
  const fs::path root = dir.path() / "src";
  const test::GeneratedJavaTree tree = test::generateJavaTree(root, 60, 7);
  // Three failing files, far apart in the enumeration.
  const std::vector<size_t> failing = {4, 30, 57};
  for (size_t place : failing) dir.write("src/" + tree.files[place], test::failingJavaFile().text);
  const RunResult run =
      runCli({"-r", "-j", "4", "--keep-going", "-o", (dir.path() / "r.xlsx").string(), root.string()}, dir.path());
  EXPECT_EQ(run.status, 1);
  std::vector<std::string> skipped;
  for (const std::string& line : lines(run.err)) {
    if (contains(line, "skipped")) skipped.push_back(line);
  }
  ASSERT_EQ(skipped.size(), failing.size() + 1) << run.err;
  for (size_t i = 0; i < failing.size(); ++i) {
    EXPECT_EQ(skipped[i], "rzt-cli: skipped " + (root / tree.files[failing[i]]).string() +
                              ": error 500020 (LogicalReader.readWord): 500020 解析の途中でEOFに到達しました");
  }
  EXPECT_EQ(skipped.back(), "rzt-cli: 3 files skipped, listed on the sheet \"エラー\"");
  // The report and the summary are still written, with the other files only.
  EXPECT_TRUE(contains(run.out, "ファイル数")) << run.out;
  const test::XlsxBook book = test::readXlsx(dir.path() / "r.xlsx");
  ASSERT_NE(book.sheet("エラー"), nullptr);
  EXPECT_EQ(book.sheet("エラー")->lastRow(), 4);
  EXPECT_EQ(book.sheet("Summ")->number(2, 2), 57);
}

struct StatusCase {
  const char* name;
  std::vector<std::string> options;
  bool failing;           // a tree with a failing file
  int status;             // the exit status
  bool reportWritten;     // r.xlsx exists afterwards
  bool summaryPrinted;    // the summary table is on standard output
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class RztCliRunStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(RztCliRunStatus, ExitStatusReportAndSummary) {
  const StatusCase& c = GetParam();
  test::TempDir dir;
  const fs::path root = dir.path() / "src";
  test::generateJavaTree(root, 30, 11, c.failing ? 12 : -1);
  std::vector<std::string> args = c.options;
  args.insert(args.end(), {"-r", "-o", (dir.path() / "r.xlsx").string(), root.string()});
  const RunResult run = runCli(args, dir.path());
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(fs::exists(writtenReport(dir.path() / "r.xlsx")), c.reportWritten);
  EXPECT_EQ(contains(run.out, "ファイル数"), c.summaryPrinted) << run.out;
  if (c.status == 2) {
    EXPECT_TRUE(contains(run.err, "Usage: rzt-cli")) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RztCliRunStatus,
    ::testing::ValuesIn(std::vector<StatusCase>{
        {"CleanKeepGoing", {"--keep-going"}, false, 0, true, true},
        {"FailingKeepGoing", {"--keep-going"}, true, 1, true, true},
        {"FailingStops", {}, true, 1, true, false},
        {"DryRun", {"--dry-run"}, false, 0, false, true},
        {"DryRunFailingKeepGoing", {"--dry-run", "--keep-going", "-j2"}, true, 1, false, true},
        {"DryRunFailingStops", {"--dry-run"}, true, 1, false, false},
        {"DryRunFindings", {"--dry-run", "--fail-on-findings"}, false, 3, false, true},
        {"OneJob", {"-j", "1"}, false, 0, true, true},
        {"JobsInline", {"--jobs=3"}, false, 0, true, true},
        {"NoJobs", {"-j", "0"}, false, 2, false, false},
        {"JobsNotANumber", {"-j", "many"}, false, 2, false, false},
        {"TooManyJobs", {"-j", "257"}, false, 2, false, false},
        {"JobsWithoutNumber", {"--jobs"}, false, 2, false, false},
        {"KeepGoingTakesNoValue", {"--keep-going=yes"}, false, 2, false, false},
    }),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

TEST(RztCliDryRun, PrintsTheSummaryOfTheRealRun) {
  const FailingTree& tree = FailingTree::get();
  test::TempDir dir;
  for (const char* option : {"--keep-going", "--no-diagnosis"}) {
    SCOPED_TRACE(option);
    const RunResult real =
        runCli({option, "-r", "-o", (dir.path() / "r.xlsx").string(), tree.root().string()}, dir.path());
    const RunResult dry = runCli({option, "--dry-run", "-r", "-o", "-", tree.root().string()}, dir.path());
    EXPECT_EQ(dry.status, real.status);
    EXPECT_EQ(dry.out, real.out) << "the summary, and nothing else, on standard output";
    EXPECT_FALSE(contains(dry.err, "written")) << dry.err;
  }
}

TEST(CliArgumentsThreads, JobsKeepGoingAndDryRun) {
  struct Case {
    std::vector<std::string> args;
    int32_t jobs;
    bool keepGoing;
    bool dryRun;
  };
  const std::vector<Case> cases = {
      {{"src"}, 0, false, false},
      {{"-j", "2", "src"}, 2, false, false},
      {{"-j8", "src"}, 8, false, false},
      {{"--jobs", "256", "src"}, 256, false, false},
      {{"--jobs=1", "--keep-going", "src"}, 1, true, false},
      {{"--dry-run", "src", "--keep-going"}, 0, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    const CliParseResult parsed = parseCliArguments(c.args);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ(parsed.arguments.jobs, c.jobs);
    EXPECT_EQ(parsed.arguments.keepGoing, c.keepGoing);
    EXPECT_EQ(parsed.arguments.dryRun, c.dryRun);
    OptionValues options;
    applyCliArguments(parsed.arguments, options);
    EXPECT_EQ(options.keepGoing, c.keepGoing);
  }
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"-j", "-1", "src"}, {"-j", "+2", "src"}, {"-j", "", "src"}, {"-j1x", "src"}, {"--dry-run=1", "src"}}) {
    SCOPED_TRACE(bad[0] + " " + bad[1]);
    EXPECT_FALSE(parseCliArguments(bad).ok());
  }
}

}  // namespace
}  // namespace rzt
