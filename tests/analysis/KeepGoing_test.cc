// Keep-going: a file whose analysis fails is left out of the report whole,
// listed on the sheet "エラー", and the analysis goes on.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
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

// Directories that cannot be listed, below the analysed one: with
// keep-going each is listed on "エラー" at its place among the files, with
// its path, no file name, error 76 and why, and the run goes on.
class KeepGoingPastLockedDirectories : public ::testing::TestWithParam<RunMode> {};

TEST_P(KeepGoingPastLockedDirectories, ListsEachAtItsPlaceAndGoesOn) {
  test::TempDir dirs;
  for (const char* file : {"src/A.java", "src/b/B.java", "src/b/locked/X.java", "src/c/C.java", "src/locked/W.java"}) {
    dirs.write(file, "class " + fs::path(file).stem().string() + " { int f; }\n");
  }
  fs::create_directory(dirs.path() / "out");
  dirs.openToEveryone();
  fs::permissions(dirs.path() / "out", fs::perms::all);
  fs::permissions(dirs.path() / "src" / "b" / "locked", fs::perms::none);
  fs::permissions(dirs.path() / "src" / "locked", fs::perms::none);
  const std::string src = (dirs.path() / "src").string();
  const RunMode mode = GetParam();
  // As the user nobody: the superuser lists every directory.
  EXPECT_EXIT(
      {
        if (!test::becomeUnprivileged()) std::exit(3);
        const RunOutcome run = runWhole(src, dirs.path() / "out" / "r.xlsx", mode);
        std::string seen = "error " + std::to_string(run.error) + "; files";
        for (const std::string& name : columnTexts(run.book, "File", 1)) seen += " " + name;
        seen += "; errors";
        const XlsxSheet* errors = run.book.sheet("エラー");
        for (int32_t row = 2; errors != nullptr && row <= errors->lastRow(); ++row) {
          seen += " [" + errors->text(row, 1) + "|" + errors->text(row, 2) + "|" +
                  std::to_string(static_cast<int>(errors->number(row, 3).value_or(-1))) + "|" + errors->text(row, 4) + "]";
        }
        seen += "; skipped";
        for (const std::string& line : run.skipped) seen += " [" + line + "]";
        const std::string reason = "76|フォルダを読み取れません (Permission denied): ";
        const std::string expected = "error 0; files A.java B.java C.java; errors [" + src + "/b/locked||" + reason +
                                     src + "/b/locked] [" + src + "/locked||" + reason + src +
                                     "/locked]; skipped [" + src + "/b/locked: 76 フォルダを読み取れません "
                                     "(Permission denied): " + src + "/b/locked 0] [" + src +
                                     "/locked: 76 フォルダを読み取れません (Permission denied): " + src + "/locked 0]";
        if (seen != expected) {
          std::cerr << "seen:     " << seen << "\nexpected: " << expected;
          std::exit(1);
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, KeepGoingPastLockedDirectories,
                         ::testing::Values(RunMode{true, true, 1, false}, RunMode{true, true, 2, false},
                                           RunMode{true, true, 1, true}, RunMode{true, true, 2, true}),
                         [](const ::testing::TestParamInfo<RunMode>& info) {
                           return std::string(info.param.modern ? "Modern" : "Classic") + "Jobs" +
                                  std::to_string(info.param.jobs);
                         });

// A file replaced after the listing by a pipe or a link to an endless
// device is skipped like any other bad file, by either analysis, and never
// blocks the run or eats the memory.
class KeepGoingPastHostileFiles : public ::testing::TestWithParam<RunMode> {};

TEST_P(KeepGoingPastHostileFiles, SkipsThemAsBadFiles) {
  test::TempDir dirs;
  dirs.write("src/A.java", "class A { }\n");
  ASSERT_EQ(::mkfifo((dirs.path() / "src" / "P.java").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dirs.path() / "src" / "Z.java");
  const std::string src = (dirs.path() / "src").string();
  const RunMode mode = GetParam();
  EXPECT_EXIT(
      {
        ::alarm(60);
        std::string seen;
        for (const char* name : {"P.java", "Z.java", "A.java"}) {
          const RunOutcome run = runWhole(src, dirs.path() / "r.xlsx", mode, name);
          const XlsxSheet* errors = run.book.sheet("エラー");
          seen += std::string(name) + ": " + std::to_string(run.error) + " " + std::to_string(run.skippedCount);
          if (errors != nullptr && errors->lastRow() == 2) {
            seen += " " + errors->text(2, 2) + " " + std::to_string(static_cast<int>(errors->number(2, 3).value_or(-1))) +
                    " " + errors->text(2, 4);
          }
          seen += "\n";
        }
        const std::string why = "ファイルを読み取れません (通常のファイルではありません): " + src;
        const std::string expected = "P.java: 0 1 P.java 53 " + why + "/P.java\nZ.java: 0 1 Z.java 53 " + why +
                                     "/Z.java\nA.java: 0 0\n";
        if (seen != expected) {
          std::cerr << "seen:\n" << seen << "expected:\n" << expected;
          std::exit(1);
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, KeepGoingPastHostileFiles,
                         ::testing::Values(RunMode{true, true, 1, false}, RunMode{true, true, 1, true}),
                         [](const ::testing::TestParamInfo<RunMode>& info) {
                           return std::string(info.param.modern ? "Modern" : "Classic");
                         });

}  // namespace
}  // namespace rzt
