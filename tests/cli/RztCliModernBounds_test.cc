// rzt-cli's syntax-tree analysis end to end on the files that used to break
// it: control characters in literals and comments are measured as javac
// reads them; a file too large or nested too deep is an error naming the
// file, which --keep-going lists and goes past.

#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "RunCli.h"
#include "TestSupport.h"
#include "XlsxReader.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string repeat(const std::string& part, size_t times) {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += part;
  return text;
}

// The row of a name in column 2 of a sheet, or 0.
int32_t rowOf(const test::XlsxSheet& sheet, const std::string& name) {
  for (int32_t row = 2; row <= sheet.lastRow(); ++row) {
    if (sheet.text(row, 2) == name) return row;
  }
  return 0;
}

TEST(RztCliModern, ControlCharactersInLiteralsAndCommentsAreText) {
  test::TempDir dir;
  using namespace std::string_literals;
  dir.write("src/Fuzz.java",
            "class Fuzz {\n"
            "  static final String SEED = \"\\u0000 kept as is: \0\x01\x7f\";\n"s
            "  char nul = '\0';\n"s
            "  // \0 in a comment\n"s
            "  /* and \0 in a block */\n"s
            "  String block = \"\"\"\n    \0 // \"quoted\" /* \\ */\n    \"\"\";\n"s
            "  int run() { return SEED.length(); }\n"
            "}\n");
  const RunResult run = runCli({"-q", "-r", "--syntax", "modern", "-o", "r.xlsx", "src"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const test::XlsxBook book = test::readXlsx(dir.path() / "r.xlsx");
  const test::XlsxSheet* files = book.sheet("File");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->lastRow(), 2);
  EXPECT_EQ(files->text(1, 9), "構文ｴﾗｰ");
  EXPECT_EQ(files->number(2, 9), 0.0);
  const test::XlsxSheet* methods = book.sheet("Method");
  ASSERT_NE(methods, nullptr);
  EXPECT_EQ(methods->lastRow(), 2);
  EXPECT_EQ(methods->text(2, 3), "run");
}

TEST(RztCliModern, FilesTooLargeOrTooDeepAreSkippedWithKeepGoing) {
  test::TempDir dir;
  dir.write("src/Good.java", "class Good { int twice(int x) { return x * 2; } }\n");
  dir.write("src/Deep.java", repeat("class C { ", 40000) + repeat("}", 40000));
  dir.write("src/Huge.java", "");
  ASSERT_EQ(::truncate((dir.path() / "src/Huge.java").c_str(), 500LL * 1024 * 1024), 0);

  const RunResult stop = runCli({"-q", "-r", "--syntax", "modern", "-o", "r.xlsx", "src"}, dir.path());
  EXPECT_EQ(stop.status, 1);
  EXPECT_TRUE(contains(stop.err, "rzt-cli: error 50030")) << stop.err;
  EXPECT_TRUE(contains(stop.err, "src/Deep.java")) << stop.err;

  const RunResult kept = runCli({"-q", "-r", "--syntax", "modern", "--keep-going", "-o", "k.xlsx", "src"}, dir.path());
  EXPECT_EQ(kept.status, 1) << kept.err;
  EXPECT_TRUE(contains(kept.err, "rzt-cli: skipped src/Deep.java: error 50030")) << kept.err;
  EXPECT_TRUE(contains(kept.err, "rzt-cli: skipped src/Huge.java: error 50050")) << kept.err;
  EXPECT_TRUE(contains(kept.err, "ファイルが大き過ぎます (上限 16 MB): src/Huge.java")) << kept.err;
  const test::XlsxBook book = test::readXlsx(dir.path() / "k.xlsx");
  const test::XlsxSheet* classes = book.sheet("Class");
  ASSERT_NE(classes, nullptr);
  EXPECT_GT(rowOf(*classes, "Good"), 0);
  EXPECT_EQ(classes->lastRow(), 2) << "a skipped file left rows behind";
  const test::XlsxSheet* errors = book.sheet("エラー");
  ASSERT_NE(errors, nullptr);
  EXPECT_EQ(errors->lastRow(), 3);
}

}  // namespace
}  // namespace rzt
