// End-to-end runs of rzt-cli writing JSON and CSV, the findings gate and the
// exit statuses.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RunCli.h"
#include "TestSupport.h"
#include "TextReportReader.h"
#include "XlsxReader.h"
#include "report/CsvWorkbook.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

using test::JsonValue;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The .xlsx writer keeps 16 significant digits; JSON and CSV keep every one.
void expectSameNumber(double fromXlsx, double written, const std::string& where) {
  EXPECT_NEAR(fromXlsx, written, 1e-14 * std::max(1.0, std::fabs(fromXlsx))) << where;
}

// The last row and column holding a value.
std::pair<int32_t, int32_t> extent(const test::XlsxSheet& sheet) {
  int32_t rows = 0, columns = 0;
  for (const auto& [at, cell] : sheet.cells) {
    if (cell.type == test::XlsxCell::Type::kEmpty) continue;
    rows = std::max(rows, at.first);
    columns = std::max(columns, at.second);
  }
  return {rows, columns};
}

void expectJsonIsTheWorkbook(const test::XlsxBook& book, const JsonValue& document) {
  ASSERT_EQ(JsonValue::Type::kObject, document.type);
  std::vector<std::string> names;
  for (const auto& member : document.members) names.push_back(member.first);
  ASSERT_EQ(book.sheetNames(), names);
  for (const test::XlsxSheet& sheet : book.sheets) {
    SCOPED_TRACE(sheet.name);
    const JsonValue& rows = *document.member(sheet.name);
    const int32_t lastRow = extent(sheet).first;
    ASSERT_EQ(static_cast<size_t>(std::max(0, lastRow - 1)), rows.items.size());
    for (int32_t row = 2; row <= lastRow; ++row) {
      const JsonValue& object = rows.items[static_cast<size_t>(row - 2)];
      size_t cells = 0;
      for (const auto& [at, cell] : sheet.cells) {
        if (at.first != row || cell.type == test::XlsxCell::Type::kEmpty) continue;
        ++cells;
        const std::string key = sheet.text(1, at.second);
        const std::string where = "row " + std::to_string(row) + " " + key;
        const JsonValue* value = object.member(key);
        ASSERT_NE(nullptr, value) << where;
        if (cell.type == test::XlsxCell::Type::kNumber) {
          ASSERT_EQ(JsonValue::Type::kNumber, value->type) << where;
          expectSameNumber(cell.number, value->number, where);
        } else {
          ASSERT_EQ(JsonValue::Type::kString, value->type) << where;
          EXPECT_EQ(cell.text, value->text) << where;
        }
      }
      EXPECT_EQ(cells, object.members.size()) << "row " << row;
    }
  }
}

void expectCsvIsTheWorkbook(const test::XlsxBook& book, const fs::path& report) {
  for (const test::XlsxSheet& sheet : book.sheets) {
    SCOPED_TRACE(sheet.name);
    const auto records = test::parseCsv(test::readFile(CsvWorkbook::sheetPath(report, sheet.name)));
    const auto [lastRow, lastColumn] = extent(sheet);
    ASSERT_EQ(static_cast<size_t>(lastRow), records.size());
    for (int32_t row = 1; row <= lastRow; ++row) {
      const std::vector<std::string>& record = records[static_cast<size_t>(row - 1)];
      ASSERT_EQ(static_cast<size_t>(lastColumn), record.size()) << "row " << row;
      for (int32_t column = 1; column <= lastColumn; ++column) {
        const std::string& field = record[static_cast<size_t>(column - 1)];
        const std::string where = "row " + std::to_string(row) + " column " + std::to_string(column);
        const test::XlsxCell* cell = sheet.cell(row, column);
        if (cell == nullptr || cell->type == test::XlsxCell::Type::kEmpty) {
          EXPECT_EQ("", field) << where;
        } else if (cell->type == test::XlsxCell::Type::kNumber) {
          char* end = nullptr;
          expectSameNumber(cell->number, std::strtod(field.c_str(), &end), where);
          EXPECT_EQ('\0', *end) << where << ": " << field;
        } else {
          const bool formulaLike = std::string("=+-@").find(cell->text[0]) != std::string::npos;
          EXPECT_EQ(formulaLike ? "'" + cell->text : cell->text, field) << where;
        }
      }
    }
  }
}

// With --compare, the sheet "比較" goes into every format like the others:
// here against an earlier report made with another threshold, so that the
// sheet has a row of what differs and findings new to it.
class RztCliFormatsOfAReport : public testing::TestWithParam<bool> {};

TEST_P(RztCliFormatsOfAReport, TheExampleInEveryFormatHoldsTheSameCells) {
  const bool compare = GetParam();
  test::TempDir out;
  fs::create_directories(out.path() / "json");
  fs::create_directories(out.path() / "csv");
  const fs::path xlsx = out.path() / "report.xlsx";
  const fs::path json = out.path() / "json" / "report.JSON";
  const fs::path csv = out.path() / "csv" / "report.csv";
  const fs::path earlier = out.path() / "earlier.json";
  std::vector<std::string> extra;
  if (compare) {
    ASSERT_EQ(0, runCli({"-r", "-q", "--threshold", "MMaxStatement=11", "examples", "-o", earlier.string()},
                        RZT_SOURCE_DIR).status);
    extra = {"--compare", earlier.string()};
  }
  std::vector<RunResult> runs;
  for (const fs::path& report : {xlsx, json, csv}) {
    SCOPED_TRACE(report.string());
    std::vector<std::string> args = {"-r", "examples", "-o", report.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    runs.push_back(runCli(args, RZT_SOURCE_DIR));
    ASSERT_EQ(0, runs.back().status) << runs.back().err;
    EXPECT_EQ("", runs.back().err);
  }
  EXPECT_EQ(runs[0].out, runs[1].out) << "the same summary whatever the format";
  EXPECT_EQ(runs[0].out, runs[2].out);

  const test::XlsxBook book = test::readXlsx(xlsx);
  ASSERT_EQ(compare ? 6u : 5u, book.sheets.size());
  if (compare) {
    ASSERT_EQ("比較", book.sheets.back().name);
    EXPECT_GT(book.sheets.back().lastRow(), 3);
  }
  expectJsonIsTheWorkbook(book, test::parseJson(test::readFile(json)));
  expectCsvIsTheWorkbook(book, csv);
  // One file per sheet and nothing else, none with the report's own name.
  EXPECT_EQ(book.sheets.size(),
            static_cast<size_t>(std::distance(fs::directory_iterator(csv.parent_path()), fs::directory_iterator())));
  EXPECT_FALSE(fs::exists(csv));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(json.parent_path()), fs::directory_iterator()));
}

INSTANTIATE_TEST_SUITE_P(Comparison, RztCliFormatsOfAReport, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "WithCompare" : "Alone");
                         });

// Findings of the diagnosis sheet, read back from a report of any format.
int32_t findingsIn(const fs::path& report) {
  const std::string extension = report.extension().string();
  if (extension == ".json") {
    int32_t n = 0;
    const JsonValue document = test::parseJson(test::readFile(report));
    const JsonValue* diagnosis = document.member("診断");
    if (diagnosis == nullptr) return -1;
    for (const JsonValue& row : diagnosis->items) {
      if (row.member("区分") != nullptr) ++n;
    }
    return n;
  }
  if (extension == ".csv") {
    const auto records = test::parseCsv(test::readFile(CsvWorkbook::sheetPath(report, "診断")));
    int32_t n = 0;
    for (size_t i = 1; i < records.size(); ++i) n += records[i].at(4).empty() ? 0 : 1;
    return n;
  }
  const test::XlsxBook book = test::readXlsx(report);
  const test::XlsxSheet* sheet = book.sheet("診断");
  int32_t n = 0;
  for (int32_t row = 2; row <= sheet->lastRow(); ++row) n += sheet->text(row, 5).empty() ? 0 : 1;
  return n;
}

struct StatusCase {
  const char* name;
  std::vector<std::string> args;  // "@x" stands for the report out/report.x
  int status;
  std::vector<std::string> errParts;
  std::string exactOut = "?";  // "?": anything
};

std::vector<StatusCase> statusCases() {
  const std::vector<std::string> lenient = {
      "--threshold", "FMaxClass=32767",  "--threshold", "FMaxLoc=32767",        "--threshold", "FMinCommentRate=-1",
      "--threshold", "CMaxStatement=32767", "--threshold", "CMaxPubMethod=32767", "--threshold",
      "CMaxAveStatement=32767", "--threshold", "CMaxPubAttr=32767", "--threshold", "MMaxStatement=32767",
      "--threshold", "MMaxMsgSend=32767", "--threshold", "MMaxVariable=32767", "--threshold",
      "MMaxBranch=32767", "--threshold", "MMaxLoop=32767"};
  std::vector<std::string> noFindings = {"--fail-on-findings", "-o", "@json", "src"};
  noFindings.insert(noFindings.begin(), lenient.begin(), lenient.end());
  return {
      {"FindingsWithoutGate", {"-o", "@xlsx", "src"}, 0, {}},
      {"FindingsXlsx", {"--fail-on-findings", "-o", "@xlsx", "src"}, 3, {"on the \"診断\" sheet"}},
      {"FindingsJson", {"--fail-on-findings", "-o", "@json", "src"}, 3, {"on the \"診断\" sheet"}},
      {"FindingsCsv", {"-o", "@csv", "--fail-on-findings", "src"}, 3, {"on the \"診断\" sheet"}},
      {"OneFinding", {"--fail-on-findings", "--threshold", "FMinCommentRate=-1", "-o", "@json", "src"}, 3,
       {"rzt-cli: 1 finding on"}},
      {"NoFindings", noFindings, 0, {}},
      {"ErrorBeforeFindings", {"--fail-on-findings", "-r", "broken", "-o", "@json"}, 1, {"error 500020"}},
      {"MissingPath", {"--fail-on-findings", "nowhere", "-o", "@json"}, 1, {"パスが見つかりません"}},
      {"BadExtension", {"-o", "out/report.txt", "src"}, 2, {"must end in .xlsx, .json, .csv or .sarif", "Usage:"}},
      {"GateWithoutDiagnosis", {"--fail-on-findings", "--no-diagnosis", "src"}, 2, {"needs the diagnosis"}},
      {"UnknownOption", {"--fail-on", "src"}, 2, {"unknown option"}},
      {"Version", {"--version"}, 0, {}, "rzt-cli " RZT_VERSION "\n"},
  };
}

void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.name; }

class RztCliStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(RztCliStatus, ExitStatusAndReport) {
  const StatusCase& c = GetParam();
  test::TempDir root;
  // One finding per rule reached: no comment at all, and a public field.
  root.write("src/A.java", "package p;\npublic class A {\n  public int f;\n  void m() { a(); }\n}\n");
  root.write("src/B.java", "package p;\n// 部品\n// 部品\nclass B {\n  void n() { }\n}\n");
  root.write("broken/a.java", "class Good { }\n");
  root.write("broken/b.java", "class Bad {\n  void m() {\n");
  fs::create_directories(root.path() / "out");
  std::vector<std::string> args = c.args;
  fs::path report;
  for (std::string& a : args) {
    if (a[0] == '@') {
      report = root.path() / "out" / ("report." + a.substr(1));
      a = report.string();
    }
  }
  const RunResult run = runCli(args, root.path());
  EXPECT_EQ(c.status, run.status) << run.err;
  for (const std::string& part : c.errParts) EXPECT_TRUE(contains(run.err, part)) << part << "\n" << run.err;
  if (c.exactOut != "?") {
    EXPECT_EQ(c.exactOut, run.out);
  }
  if (report.empty() || c.status == 2 || contains(c.name, "MissingPath")) {
    EXPECT_TRUE(fs::is_empty(root.path() / "out")) << "no report";
    return;
  }
  if (c.status == 1) report = partialReportPath(report);
  ASSERT_TRUE(fs::exists(report.extension() == ".csv" ? CsvWorkbook::sheetPath(report, "Summ") : report));
  if (c.status == 1) return;  // the partial report: see RztCli_test
  const int32_t findings = findingsIn(report);
  if (c.status == 3) {
    ASSERT_GT(findings, 0);
    // The count printed is the count on the sheet.
    EXPECT_TRUE(contains(run.err, "rzt-cli: " + std::to_string(findings) + (findings == 1 ? " finding " : " findings ")))
        << findings << " on the sheet; " << run.err;
    EXPECT_TRUE(contains(run.out, "ファイル数")) << "the summary is printed before the gate closes";
  } else if (c.status == 0 && contains(c.name, "NoFindings")) {
    EXPECT_EQ(0, findings);
    EXPECT_EQ("", run.err);
  } else if (c.status == 0) {
    EXPECT_GT(findings, 0) << "findings without the gate still end well";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RztCliStatus, ::testing::ValuesIn(statusCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RztCliFormats, JsonOnStandardOutput) {
  test::TempDir root;
  test::TempDir spool;  // the system's temporary folder of the child
  root.write("src/A.java", "package p;\nclass A {\n  void m() { if (x) y(); }\n}\n");
  root.write("src/B.java", "package p;\nclass B { }\n");
  root.write("broken/a.java", "class Good { }\n");
  root.write("broken/b.java", "class Bad {\n  void m() {\n");
  const fs::path file = root.path() / "r.json";
  const std::vector<std::string> environment = {"TMPDIR=" + spool.str()};

  const RunResult toFile = runCli({"-o", file.string(), "src"}, root.path(), false, environment);
  ASSERT_EQ(0, toFile.status) << toFile.err;
  const RunResult toStdout = runCli({"src", "-o", "-"}, root.path(), false, environment);
  ASSERT_EQ(0, toStdout.status) << toStdout.err;
  EXPECT_EQ(test::readFile(file), toStdout.out) << "standard output holds the document and nothing else";
  EXPECT_EQ("", toStdout.err);
  EXPECT_TRUE(fs::is_empty(spool.path())) << "the spools are gone";

  // After an error the rows so far still make one valid document.
  const RunResult failed = runCli({"-r", "broken", "-o", "-"}, root.path(), false, environment);
  EXPECT_EQ(1, failed.status);
  EXPECT_TRUE(contains(failed.err, "written to standard output")) << failed.err;
  const JsonValue document = test::parseJson(failed.out);
  ASSERT_NE(nullptr, document.member("Class"));
  ASSERT_EQ(1u, document.member("Class")->items.size());
  EXPECT_EQ("Good", document.member("Class")->items[0].member("ｸﾗｽ名")->text);
  ASSERT_EQ(1u, document.member("Summ")->items.size()) << "no summary after an error";
  EXPECT_EQ("解析は途中で終了しました。このレポートは途中までの結果です。",
            document.member("Summ")->items[0].member("メトリクス")->text);
  EXPECT_TRUE(fs::is_empty(spool.path()));
}

TEST(RztCliFormats, QuietAndTerminalProgress) {
  test::TempDir root;
  root.write("src/A.java", "class A { void m() { } }\n");
  root.write("src/B.java", "class B { }\n");
  struct Case {
    const char* name;
    std::vector<std::string> args;
    bool progress;
  };
  for (const Case& c : {Case{"Progress", {"-o", "r.csv", "src"}, true}, Case{"Quiet", {"-q", "-o", "r.csv", "src"}, false},
                        Case{"QuietLong", {"src", "--quiet", "-o", "r.csv"}, false}}) {
    SCOPED_TRACE(c.name);
    const RunResult run = runCli(c.args, root.path(), true);
    ASSERT_EQ(0, run.status) << run.err;
    // The first text is drawn at once; later ones may be skipped as too quick.
    EXPECT_EQ(c.progress, contains(run.err, "\r[ 1/ 2] A.javaファイルを解析しています")) << run.err;
    EXPECT_EQ(c.progress, contains(run.err, "解析が終了しました")) << run.err;
    EXPECT_TRUE(contains(run.out, "ファイル数"));
    EXPECT_TRUE(fs::exists(root.path() / "r-Summ.csv"));
  }
}

}  // namespace
}  // namespace rzt
