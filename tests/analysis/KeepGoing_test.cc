// Keep-going: a file whose analysis fails is left out of the report whole,
// listed on the sheet "エラー", and the analysis goes on.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedJavaTree.h"
#include "TestSupport.h"
#include "WholeRun.h"
#include "XlsxCompare.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

using test::columnTexts;
using test::RunMode;
using test::RunOutcome;
using test::runWhole;
using test::XlsxBook;
using test::XlsxSheet;

constexpr int32_t kFiles = 40;
constexpr int32_t kFailAt = 17;
constexpr uint32_t kSeed = 99;

struct KeepGoingCase {
  const char* name;
  bool diagnosis;
  int32_t jobs;
};

void PrintTo(const KeepGoingCase& c, std::ostream* os) { *os << c.name; }

class KeepGoingDropsTheFailingFile : public ::testing::TestWithParam<KeepGoingCase> {};

TEST_P(KeepGoingDropsTheFailingFile, ReportEqualsTheOneWithoutTheFile) {
  const KeepGoingCase& c = GetParam();
  test::TempDir dirs;
  const fs::path withBad = dirs.path() / "with";
  const fs::path without = dirs.path() / "without";
  const test::GeneratedJavaTree tree = test::generateJavaTree(withBad, kFiles, kSeed, kFailAt);
  const test::GeneratedJavaTree same = test::generateJavaTree(without, kFiles, kSeed);
  fs::remove(without / same.files[kFailAt]);

  RunMode mode;
  mode.diagnosis = c.diagnosis;
  mode.keepGoing = true;
  mode.jobs = c.jobs;
  const RunOutcome skipped = runWhole(withBad, dirs.path() / "a.xlsx", mode);
  const RunOutcome reference = runWhole(without, dirs.path() / "b.xlsx", mode);
  ASSERT_EQ(skipped.error, 0);
  ASSERT_EQ(reference.error, 0);

  // Every sheet but the list of errors is that of the tree without the file:
  // no row, finding or total of it, and the other rows in their order.
  EXPECT_EQ(test::firstDifference(reference.book, skipped.book, {"エラー"}), "");
  const XlsxSheet* summary = skipped.book.sheet("Summ");
  ASSERT_NE(summary, nullptr);
  EXPECT_EQ(summary->text(2, 1), "ファイル数");
  EXPECT_EQ(summary->number(2, 2), kFiles - 1);
  EXPECT_EQ(columnTexts(skipped.book, "Method", 2).size(), columnTexts(reference.book, "Method", 2).size());
  for (const std::string& cls : columnTexts(skipped.book, "Class", 2)) EXPECT_NE(cls, "Broken");

  // The file is listed, and only it.
  const std::string path = (withBad / tree.failingFile).string();
  const XlsxSheet* errors = skipped.book.sheet("エラー");
  ASSERT_NE(errors, nullptr);
  EXPECT_EQ(errors->lastRow(), 2);
  EXPECT_EQ(joinPath(errors->text(2, 1), errors->text(2, 2)), path);
  EXPECT_EQ(errors->number(2, 3), 500020);
  EXPECT_EQ(errors->text(2, 4), "500020 解析の途中でEOFに到達しました") << "the message shown with the error stands beside its number";
  EXPECT_EQ(errors->number(2, 5), test::failingJavaFile().wordCount);
  EXPECT_EQ(reference.book.sheet("エラー")->lastRow(), 1) << "nothing failed there";
  EXPECT_EQ(skipped.skipped,
            std::vector<std::string>{path + ": 500020 500020 解析の途中でEOFに到達しました " + std::to_string(test::failingJavaFile().wordCount)});
  EXPECT_EQ(skipped.skippedCount, 1);
  EXPECT_EQ(reference.skippedCount, 0);
  // The reader's message about the early end is still shown.
  EXPECT_EQ(skipped.messages.size(), reference.messages.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, KeepGoingDropsTheFailingFile,
                         ::testing::ValuesIn(std::vector<KeepGoingCase>{
                             {"DiagnosisOneThread", true, 1},
                             {"NoDiagnosisOneThread", false, 1},
                             {"DiagnosisFourThreads", true, 4},
                             {"NoDiagnosisFourThreads", false, 4},
                         }),
                         [](const ::testing::TestParamInfo<KeepGoingCase>& info) { return std::string(info.param.name); });

TEST(KeepGoing, TheErrorSheetIsTheLastTabWithAFormattedHeadingRow) {
  test::TempDir dirs;
  test::generateJavaTree(dirs.path() / "t", 12, kSeed, 5);
  for (bool diagnosis : {true, false}) {
    SCOPED_TRACE(diagnosis);
    RunMode mode;
    mode.diagnosis = diagnosis;
    mode.keepGoing = true;
    const RunOutcome run = runWhole(dirs.path() / "t", dirs.path() / "r.xlsx", mode);
    std::vector<std::string> tabs = {"Summ", "File", "Class", "Method"};
    if (diagnosis) tabs.push_back("診断");
    tabs.push_back("エラー");
    EXPECT_EQ(run.book.sheetNames(), tabs);
    const XlsxSheet& errors = *run.book.sheet("エラー");
    const XlsxSheet& files = *run.book.sheet("File");
    const std::vector<std::string> headings = {"ﾃﾞｨﾚｸﾄﾘ", "ﾌｧｲﾙ名", "番号", "内容", "語数"};
    for (size_t i = 0; i < headings.size(); ++i) {
      const int32_t column = static_cast<int32_t>(i) + 1;
      EXPECT_EQ(errors.text(1, column), headings[i]);
      ASSERT_NE(errors.cell(1, column), nullptr);
      EXPECT_TRUE(errors.cell(1, column)->centred);
    }
    EXPECT_EQ(errors.frozenRows, files.frozenRows);
    EXPECT_EQ(errors.frozenRows, 1);
    EXPECT_EQ(errors.zoom, files.zoom);
    EXPECT_EQ(errors.rowCentred, files.rowCentred);
    EXPECT_FALSE(errors.widths.empty()) << "its columns are fitted";
    EXPECT_EQ(run.book.sheetNames()[static_cast<size_t>(run.book.activeTab)], "Summ");
  }
}

TEST(KeepGoing, OffTheFirstErrorEndsTheRunAsBefore) {
  test::TempDir dirs;
  const test::GeneratedJavaTree tree = test::generateJavaTree(dirs.path() / "t", kFiles, kSeed, kFailAt);
  for (int32_t jobs : {1, 4}) {
    SCOPED_TRACE(jobs);
    RunMode mode;
    mode.jobs = jobs;
    const RunOutcome run = runWhole(dirs.path() / "t", dirs.path() / "r.xlsx", mode);
    EXPECT_EQ(run.error, 500020);
    EXPECT_EQ(run.errorFile, (dirs.path() / "t" / tree.failingFile).string());
    EXPECT_EQ(run.book.sheet("エラー"), nullptr);
    EXPECT_EQ(run.book.sheet("Summ")->lastRow(), 2) << "no summary after an error, only the line saying so";
    // The files before the failing one, and the method the failing one finished.
    EXPECT_EQ(columnTexts(run.book, "File", 1).size(), static_cast<size_t>(kFailAt));
    EXPECT_EQ(columnTexts(run.book, "Method", 2).back(), "Broken");
    EXPECT_EQ(columnTexts(run.book, "Method", 3).back(), "ok");
  }
}

struct BadFileCase {
  const char* name;
  std::string text;
  int32_t number;
  std::string description;
};

void PrintTo(const BadFileCase& c, std::ostream* os) { *os << c.name; }

class KeepGoingPastBadFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(KeepGoingPastBadFiles, ListsTheErrorAndGoesOn) {
  const BadFileCase& c = GetParam();
  test::TempDir dirs;
  const fs::path root = dirs.path() / "t";
  dirs.write("t/A.java", "class A { void f() { g(); } }\n");
  dirs.write("t/B.java", c.text);
  dirs.write("t/C.java", "class C { int h() { return 1; } }\n");
  for (int32_t jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    RunMode mode;
    mode.keepGoing = true;
    mode.jobs = jobs;
    const RunOutcome run = runWhole(root, dirs.path() / "r.xlsx", mode);
    EXPECT_EQ(run.error, 0);
    EXPECT_EQ(columnTexts(run.book, "File", 1), (std::vector<std::string>{"A.java", "C.java"}));
    EXPECT_EQ(columnTexts(run.book, "Class", 2), (std::vector<std::string>{"A", "C"}));
    const XlsxSheet& errors = *run.book.sheet("エラー");
    ASSERT_EQ(errors.lastRow(), 2);
    EXPECT_EQ(errors.text(2, 1), root.string());
    EXPECT_EQ(errors.text(2, 2), "B.java");
    EXPECT_EQ(errors.number(2, 3), c.number);
    EXPECT_EQ(errors.text(2, 4), c.description);
    // The reader had gone into the file, but not past its end.
    const std::optional<double> words = errors.number(2, 5);
    ASSERT_TRUE(words);
    EXPECT_GT(*words, 0);
    EXPECT_LE(*words, static_cast<double>(c.text.size()));
  }
}

std::string repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, KeepGoingPastBadFiles,
    ::testing::ValuesIn(std::vector<BadFileCase>{
        {"EndOfFileInTheClassBody", test::failingJavaFile().text, 500020, "500020 解析の途中でEOFに到達しました"},
        {"NestingTooDeep", "class B { void f() { " + repeat("{", 3000), 50030, "ネストが深過ぎます"},
        {"WordPoolExceeded", "class B { " + repeat("x ", 5000) + "; }", 50000, "pushBackバッファオーバーフロー"},
    }),
    [](const ::testing::TestParamInfo<BadFileCase>& info) { return std::string(info.param.name); });

TEST(KeepGoing, AFileThatCannotBeOpenedHasReadNoWords) {
  test::TempDir dirs;
  dirs.write("t/A.java", "class A { void f() { g(); } }\n");
  test::RecordingStatusLine status;
  test::RecordingUserMessage messages;
  const fs::path out = dirs.path() / "r.xlsx";
  OutputMgr outputMgr([&out] { return std::make_unique<XlsxWorkbook>(out); });
  outputMgr.setKeepGoing(true);
  AnalyzerMain driver(status, messages);
  driver.setKeepGoing(true);
  OptionValues options;
  // The same driver read words of another file just before.
  driver.init(&outputMgr, options);
  driver.doAnalysisDir((dirs.path() / "t").string(), false);
  driver.init(&outputMgr, options);
  driver.doAnalysisFile((dirs.path() / "t").string(), "Gone.java");
  EXPECT_EQ(driver.skippedFileCount(), 1);
  const XlsxBook book = test::readXlsx(out);
  const XlsxSheet& errors = *book.sheet("エラー");
  EXPECT_EQ(errors.text(2, 2), "Gone.java");
  EXPECT_EQ(errors.number(2, 3), kErrFileNotFound);
  EXPECT_EQ(errors.number(2, 5), 0);
  // The run itself finished: its summary counts no file.
  EXPECT_EQ(book.sheet("Summ")->number(2, 2), 0);
}

}  // namespace
}  // namespace rzt
