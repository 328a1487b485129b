// End-to-end runs of the built rzt-cli program on small Java trees and on
// the bundled example project.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RunCli.h"
#include "TestSupport.h"
#include "XlsxReader.h"
#include "cli/SummaryPrinter.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The printed summary must be the workbook's sheet "Summ": each label row
// of the sheet appears as one line, label first and the value as the
// sheet's format shows it last.
void expectSummaryPrinted(const test::XlsxBook& book, const std::string& printed) {
  const test::XlsxSheet* summ = book.sheet("Summ");
  ASSERT_NE(nullptr, summ);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = printed.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(printed.substr(start, end - start));
  }
  ASSERT_EQ(static_cast<size_t>(summ->lastRow()), lines.size()) << printed;
  for (int32_t row = 1; row <= summ->lastRow(); ++row) {
    SCOPED_TRACE(row);
    const std::string& line = lines[static_cast<size_t>(row - 1)];
    const std::string label = summ->text(row, 1);
    if (label.empty()) {
      EXPECT_EQ("", line);
      continue;
    }
    EXPECT_EQ(0u, line.find(label)) << line;
    std::string value = "-";
    if (row == 1) {
      value = summ->text(1, 2);
    } else if (const auto number = summ->number(row, 2)) {
      const std::string format = summ->cell(row, 2)->numberFormat;
      value = formatSummaryNumber(*number, format == "General" ? "" : format);
    }
    ASSERT_GE(line.size(), value.size());
    EXPECT_EQ(value, line.substr(line.size() - value.size())) << line;
  }
}

// File names of the File sheet, in row order.
std::vector<std::string> fileRows(const test::XlsxBook& book) {
  std::vector<std::string> names;
  const test::XlsxSheet* files = book.sheet("File");
  if (files == nullptr) return names;
  for (int32_t row = 2; row <= files->lastRow(); ++row) names.push_back(files->text(row, 1));
  return names;
}

TEST(RztCli, ExampleProject) {
  test::TempDir out;
  const fs::path report = out.path() / "example.xlsx";
  const RunResult run = runCli({"-r", "examples", "-o", report.string()}, RZT_SOURCE_DIR);
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err) << "no progress and no message when standard error is no terminal";

  const test::XlsxBook book = test::readXlsx(report);
  EXPECT_EQ((std::vector<std::string>{"Summ", "File", "Class", "Method", "診断"}), book.sheetNames());
  const std::vector<std::string> files = fileRows(book);
  EXPECT_GE(files.size(), 8u);
  EXPECT_LE(files.size(), 15u);
  const std::set<std::string> fileSet(files.begin(), files.end());
  EXPECT_TRUE(fileSet.count("TextTable.JAVA")) << "the capitalised extension is analysed";
  EXPECT_TRUE(fileSet.count("Messages.java")) << "the Shift_JIS file is analysed";
  ASSERT_NE(nullptr, book.sheet("Summ"));
  EXPECT_EQ(static_cast<double>(files.size()), book.sheet("Summ")->number(2, 2).value_or(-1));

  // The example holds member, anonymous and interface types.
  std::set<std::string> classes;
  const test::XlsxSheet* classSheet = book.sheet("Class");
  ASSERT_NE(nullptr, classSheet);
  for (int32_t row = 2; row <= classSheet->lastRow(); ++row) classes.insert(classSheet->text(row, 2));
  for (const char* name : {"Priced", "Item", "Food$Nutrition", "Order$Line", "Order$Comparator",
                           "ShopApp$Runnable", "Discount$Discount", "Messages", "TextTable"}) {
    EXPECT_TRUE(classes.count(name)) << name;
  }

  expectSummaryPrinted(book, run.out);
}

struct RunCase {
  const char* name;
  std::vector<std::string> args;  // "@" stands for the workbook path
  int status;
  int files;                      // File sheet rows; -1: no workbook is written
  std::vector<std::string> errParts;  // texts standard error holds
  std::vector<std::string> outParts;  // texts standard output holds
};

std::vector<RunCase> runCases() {
  return {
      {"Tree", {"-r", "src", "-o", "@"}, 0, 3, {}, {"ファイル数"}},
      {"TopDirectoryOnly", {"src", "-o", "@"}, 0, 1, {}, {"ファイル数"}},
      {"OneFile", {"src/sub/B.java", "-o", "@"}, 0, 1, {}, {"ファイル数"}},
      {"OneFileInTheWorkingDirectory", {"Top.java", "-o", "@"}, 0, 1, {}, {"ファイル数"}},
      {"NoJavaFiles", {"-r", "empty", "-o", "@"}, 0, 0, {}, {"ファイル数"}},
      {"ModernSyntax", {"--syntax", "modern", "modern", "-o", "@"}, 0, 1, {}, {"ファイル数"}},
      {"BadFileEndsWithErrorAndPartialWorkbook",
       {"-r", "broken", "-o", "@"},
       1,
       1,
       {"rzt-cli: error 500020 (LogicalReader.readWord): 500020 解析の途中でEOFに到達しました",
        "while analysing broken/b.java", "report-partial.xlsx, without summary"},
       {}},
      {"MissingPath", {"nowhere", "-o", "@"}, 1, -1, {"パスが見つかりません: nowhere"}, {}},
      {"MissingOutputFolder",
       {"src", "-o", "no/such/folder/r.xlsx"},
       1,
       -1,
       {"rzt-cli: error 76", "パスが見つかりません"},
       {}},
      {"NotAJavaFile", {"src/readme.txt", "-o", "@"}, 2, -1, {"must be a .java file", "Usage:"}, {}},
      {"NoArguments", {}, 2, -1, {"no PATH given", "Usage:", "--help"}, {}},
      {"UnknownOption", {"--bogus", "src", "-o", "@"}, 2, -1, {"unknown option '--bogus'"}, {}},
      {"BadThreshold", {"--threshold", "Nope=3", "src", "-o", "@"}, 2, -1, {"unknown threshold 'Nope'"}, {}},
      {"ThresholdNotANumber",
       {"--threshold", "MMaxStatement=abc", "src", "-o", "@"},
       2,
       -1,
       {"--threshold MMaxStatement: 'abc' is not a whole number", "Usage:"},
       {}},
      {"ZoomNotANumber", {"--zoom", "1e3", "src", "-o", "@"}, 2, -1, {"--zoom: '1e3' is not a whole number"}, {}},
      {"Help", {"--help"}, 0, -1, {}, {"Usage:", "--threshold NAME=VALUE", "Exit status"}},
  };
}

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

class RztCliRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(RztCliRun, ExitStatusOutputAndWorkbook) {
  const RunCase& c = GetParam();
  test::TempDir root;
  root.write("src/A.java", "package p;\n// 部品\nclass A {\n  void m() { if (x) y(); }\n}\n");
  root.write("src/readme.txt", "not Java\n");
  root.write("src/sub/B.java", "package p.sub;\npublic class B {\n  int f;\n}\n");
  root.write("src/sub/deeper/C.java", "package p.sub;\ninterface C {\n  void g();\n}\n");
  root.write("Top.java", "class Top { }\n");
  root.write("modern/L.java",
             "import java.util.List;\n@Deprecated\nclass L<T> {\n  void m(List<T> xs) {\n"
             "    xs.forEach(x -> { System.out.println(x); });\n  }\n}\n");
  fs::create_directories(root.path() / "empty" / "inner");
  root.write("broken/a.java", "class Good { }\n");
  root.write("broken/b.java", "class Bad {\n  void m() {\n");
  root.write("broken/c.java", "class Never { }\n");

  const fs::path report = root.path() / "out" / "report.xlsx";
  fs::create_directories(report.parent_path());
  std::vector<std::string> args = c.args;
  for (std::string& a : args) {
    if (a == "@") a = report.string();
  }
  const RunResult run = runCli(args, root.path());
  EXPECT_EQ(c.status, run.status) << run.err;
  for (const std::string& part : c.errParts) EXPECT_TRUE(contains(run.err, part)) << part << "\n" << run.err;
  for (const std::string& part : c.outParts) EXPECT_TRUE(contains(run.out, part)) << part << "\n" << run.out;
  if (c.status != 0) {
    EXPECT_EQ("", run.out) << "no summary after a failure";
  }

  const fs::path partial = report.parent_path() / "report-partial.xlsx";
  if (c.files < 0) {
    EXPECT_FALSE(fs::exists(report));
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_FALSE(fs::exists(root.path() / "rzt-report.xlsx"));
    return;
  }
  // A report that ends early has a name of its own.
  const fs::path written = c.status == 0 ? report : partial;
  EXPECT_FALSE(fs::exists(c.status == 0 ? partial : report));
  ASSERT_TRUE(fs::exists(written));
  const test::XlsxBook book = test::readXlsx(written);
  EXPECT_EQ(static_cast<size_t>(c.files), fileRows(book).size());
  // Nothing but the workbook is left in its folder (no temporary file).
  EXPECT_EQ(1, std::distance(fs::directory_iterator(report.parent_path()), fs::directory_iterator()));
  if (c.status == 0) {
    expectSummaryPrinted(book, run.out);
  } else {
    ASSERT_NE(nullptr, book.sheet("Summ"));
    EXPECT_EQ(2, book.sheet("Summ")->lastRow()) << "the summary is left out after an error";
    EXPECT_EQ("解析は途中で終了しました。このレポートは途中までの結果です。", book.sheet("Summ")->text(2, 1));
    EXPECT_EQ("Good", book.sheet("Class")->text(2, 2));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RztCliRun, ::testing::ValuesIn(runCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RztCli, OptionsReachTheWorkbook) {
  test::TempDir root;
  root.write("src/A.java",
             "class A {\n  void m() {\n    a(); b(); c();\n  }\n  void n() { }\n}\n");
  struct Case {
    const char* name;
    std::vector<std::string> options;
    std::vector<std::string> sheets;
    int32_t zoom;
    int32_t findings;  // rows of the diagnosis sheet below its heading
  };
  const std::vector<Case> cases = {
      {"Defaults", {}, {"Summ", "File", "Class", "Method", "診断"}, 80, 1},
      {"NoDiagnosis", {"--no-diagnosis"}, {"Summ", "File", "Class", "Method"}, 80, -1},
      {"Zoom", {"--zoom", "150"}, {"Summ", "File", "Class", "Method", "診断"}, 150, 1},
      {"ZoomOutOfRange", {"--zoom=500"}, {"Summ", "File", "Class", "Method", "診断"}, 80, 1},
      {"MethodThreshold", {"--threshold", "MMaxStatement=3"}, {"Summ", "File", "Class", "Method", "診断"}, 80, 2},
      {"FieldName", {"--threshold=txtMMsgSend=3"}, {"Summ", "File", "Class", "Method", "診断"}, 80, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path report = root.path() / (std::string(c.name) + ".xlsx");
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-o", report.string(), "src"});
    const RunResult run = runCli(args, root.path());
    ASSERT_EQ(0, run.status) << run.err;
    const test::XlsxBook book = test::readXlsx(report);
    EXPECT_EQ(c.sheets, book.sheetNames());
    for (const test::XlsxSheet& sheet : book.sheets) EXPECT_EQ(c.zoom, sheet.zoom) << sheet.name;
    if (c.findings >= 0) {
      ASSERT_NE(nullptr, book.sheet("診断"));
      EXPECT_EQ(c.findings + 1, book.sheet("診断")->lastRow());
    }
  }
}

TEST(RztCli, DefaultWorkbookNameInTheWorkingDirectory) {
  test::TempDir root;
  root.write("A.java", "class A { }\n");
  const RunResult run = runCli({"."}, root.path());
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(1u, fileRows(test::readXlsx(root.path() / "rzt-report.xlsx")).size());
}

TEST(RztCli, ProgressOnATerminal) {
  test::TempDir root;
  root.write("src/A.java", "class A { void m() { } }\n");
  root.write("src/B.java", "class B { }\n");
  const fs::path report = root.path() / "r.xlsx";
  const RunResult run = runCli({"-o", report.string(), "src"}, root.path(), true);
  ASSERT_EQ(0, run.status) << run.err;
  // The first text is drawn at once, the last one ends the line; each
  // drawing begins with a carriage return and clears the rest of the line.
  EXPECT_TRUE(contains(run.err, "\r[ 1/ 2] A.javaファイルを解析しています\x1b[K")) << run.err;
  EXPECT_TRUE(contains(run.err, "\r解析が終了しました\x1b[K\r\n")) << run.err;
  EXPECT_TRUE(contains(run.out, "ファイル数"));
  EXPECT_FALSE(contains(run.out, "解析")) << "progress never goes to standard output";
}

}  // namespace
}  // namespace rzt
