// Reading an earlier report: the reports rzt-cli writes, a workbook saved
// again by LibreOffice, the forms of a workbook other applications write,
// and broken or foreign files, which must end in a clear error naming them.

#include "compare/ReportReader.h"

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CompareTestSupport.h"
#include "XlsxReader.h"
#include "compare/XlsxReportReader.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;
using test::TestSheet;

const fs::path kData = fs::path(RZT_SOURCE_DIR) / "tests/compare/data";

// A small tree with something on every sheet, the findings included.
void writeTree(const test::TempDir& dir) {
  dir.write("src/p/Shop.java",
            "package p;\n/** A shop. */\npublic class Shop {\n  public int open;\n"
            "  public Shop(int a, int b) { open = a + b; }\n"
            "  public int sell(int n) { if (n > 0) { return n; } return 0; }\n"
            "  public int sell(String s) { return s.length(); }\n}\n");
  dir.write("src/p/q/Tool.java", "package p.q;\nclass Tool { void use() { for (;;) { break; } } }\n");
  dir.write("src/Plain.java", "class Plain { }\n");
}

size_t comparisonRowCount(const ReportModel& a, const ReportModel& b) {
  const Comparison comparison = compareReports(a, b);
  const std::vector<std::string> lines = test::comparisonLines(comparison);
  for (const std::string& line : lines) ADD_FAILURE() << "unexpected row: " << line;
  return lines.size();
}

class ReportsOfRztCli : public testing::TestWithParam<bool> {};

// The JSON and the .xlsx of a tree read back as the same report, which is
// also the report an analysis of the same tree captures.
TEST_P(ReportsOfRztCli, ReadBackAsTheReportTheRunCaptures) {
  const bool modern = GetParam();
  test::TempDir dir;
  writeTree(dir);
  std::vector<std::string> args = {"-r", "-q", "--threshold", "MMaxStatement=1"};
  if (modern) args.insert(args.end(), {"--syntax", "modern"});
  for (const char* name : {"r.json", "r.xlsx"}) {
    std::vector<std::string> a = args;
    a.insert(a.end(), {"-o", name, "src"});
    ASSERT_EQ(0, test::runRztCli(a, dir.path())) << name;
  }
  const ReportModel json = readReport(dir.path() / "r.json");
  const ReportModel xlsx = readReport(dir.path() / "r.xlsx");
  EXPECT_EQ((dir.path() / "r.json").string(), json.origin());
  OptionValues options;
  options.txtMStatement = "1";
  ReportModel captured;
  ASSERT_EQ(0, test::analyzeCapturing(dir.path() / "src", dir.path() / "c.xlsx", options, modern, captured).error);

  for (const ReportModel* m : {&json, &xlsx}) {
    SCOPED_TRACE(m->origin());
    EXPECT_FALSE(m->partial());
    EXPECT_EQ(modern ? ReportModel::SyntaxMode::kModern : ReportModel::SyntaxMode::kClassic, m->syntaxMode());
    for (int k = 0; k < kReportSheetKindCount; ++k) {
      const auto kind = static_cast<ReportSheetKind>(k);
      ASSERT_NE(nullptr, m->sheet(kind)) << reportSheetName(kind);
      EXPECT_EQ(captured.sheet(kind)->rowCount(), m->sheet(kind)->rowCount()) << reportSheetName(kind);
    }
    EXPECT_EQ(0u, comparisonRowCount(*m, captured));
    EXPECT_EQ(0u, comparisonRowCount(captured, *m));
  }
  EXPECT_GT(json.sheet(ReportSheetKind::kDiagnosis)->rowCount(), 0);
  EXPECT_EQ(0u, comparisonRowCount(json, xlsx));
}

INSTANTIATE_TEST_SUITE_P(BothAnalyses, ReportsOfRztCli, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Modern" : "Classic"; });

TEST(ReportReader, PartialReportIsToldAsSuch) {
  test::TempDir dir;
  dir.write("src/A.java", "class A { void f() { } }\n");
  dir.write("src/B.java", "class B { void f() { \"\n");  // ends the classic analysis
  ASSERT_EQ(1, test::runRztCli({"-r", "-q", "-o", "r.json", "src"}, dir.path()));
  const ReportModel partial = readReport(dir.path() / "r-partial.json");
  EXPECT_TRUE(partial.partial());
}

TEST(ReportReader, WorkbookSavedAgainByLibreOfficeIsTheSameReport) {
  const fs::path original = kData / "example-report.xlsx";
  const fs::path resaved = kData / "example-report-libreoffice.xlsx";
  // The file really is in the application's own form.
  const auto entries = test::readZipEntries(resaved);
  ASSERT_EQ(1u, entries.count("xl/sharedStrings.xml"));
  EXPECT_NE(std::string::npos, entries.at("xl/worksheets/sheet1.xml").find("t=\"s\""));
  EXPECT_EQ(0u, test::readZipEntries(original).count("xl/sharedStrings.xml"));

  const ReportModel a = readReport(original);
  const ReportModel b = readReport(resaved);
  for (int k = 0; k < kReportSheetKindCount; ++k) {
    const auto kind = static_cast<ReportSheetKind>(k);
    ASSERT_NE(nullptr, b.sheet(kind));
    EXPECT_EQ(a.sheet(kind)->rowCount(), b.sheet(kind)->rowCount());
    EXPECT_GT(b.sheet(kind)->rowCount(), 0);
  }
  EXPECT_EQ(0u, comparisonRowCount(a, b));
  EXPECT_EQ(0u, comparisonRowCount(b, a));
  // LibreOffice keeps 15 digits of the averages; they still match.
  const SheetTable& summary = *b.sheet(ReportSheetKind::kSumm);
  bool averageSeen = false;
  for (int32_t r = 0; r < summary.rowCount(); ++r) {
    const ReportCell value = summary.cell(r, summary.findColumn("値"));
    averageSeen = averageSeen || (value.kind == ReportCell::Kind::kNumber && value.number != std::floor(value.number));
  }
  EXPECT_TRUE(averageSeen);
}

// --- Workbooks in the forms other writers use: each is the same report.

const ReportModel& referenceReport() {
  static const ReportModel model = test::modelOf({
      {ReportSheetKind::kFile, {"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行"}, {{std::string("Foo.java"), std::string("p"), 10.0}}},
      {ReportSheetKind::kClass,
       {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ｱｸｾｽ", "ｽﾃｰﾄﾒﾝﾄ"},
       {{std::string("p"), std::string("Foo_Bar"), std::string("a\rb"), 3.0}}},
      {ReportSheetKind::kMethod,
       {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "引数", "ｽﾃｰﾄﾒﾝﾄ"},
       {{std::string("p"), std::string("Foo_Bar"), std::string("run"), 0.0, 3.0},
        {std::string("p"), std::string("Foo_Bar"), std::string("run"), 1.0, 0.5}}},
  });
  return model;
}

std::string inlineCell(const std::string& ref, const std::string& text) {
  return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}
std::string numberCell(const std::string& ref, const std::string& v) { return "<c r=\"" + ref + "\"><v>" + v + "</v></c>"; }

// The reference report as RZT writes it: inline strings, in tab order.
std::vector<std::pair<std::string, std::string>> rztSheets() {
  return {
      {"File", test::worksheetXml(test::headingRowXml({"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行"}) + "<row r=\"2\">" +
                                   inlineCell("A2", "Foo.java") + inlineCell("B2", "p") + numberCell("C2", "10") +
                                   "</row>")},
      {"Class", test::worksheetXml(test::headingRowXml({"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ｱｸｾｽ", "ｽﾃｰﾄﾒﾝﾄ"}) + "<row r=\"2\">" +
                                    inlineCell("A2", "p") + inlineCell("B2", "Foo_x005F_Bar") +
                                    inlineCell("C2", "a_x000D_b") + numberCell("D2", "3") + "</row>")},
      {"Method", test::worksheetXml(test::headingRowXml({"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "引数", "ｽﾃｰﾄﾒﾝﾄ"}) +
                                     "<row r=\"2\">" + inlineCell("A2", "p") + inlineCell("B2", "Foo_Bar") +
                                     inlineCell("C2", "run") + numberCell("D2", "0") + numberCell("E2", "3") +
                                     "</row><row r=\"3\">" + inlineCell("A3", "p") + inlineCell("B3", "Foo_Bar") +
                                     inlineCell("C3", "run") + numberCell("D3", "1") + numberCell("E3", "5E-1") +
                                     "</row>")},
  };
}

struct WorkbookForm {
  const char* name;
  std::function<std::vector<std::pair<std::string, std::string>>()> parts;
  bool sharedStrings = false;
};

std::string sharedStrings() {
  // Rich-text runs make one text; phonetic runs are no part of it.
  return R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
         R"(<si><t>ﾌｧｲﾙ名</t></si><si><t>ﾊﾟｯｹｰｼﾞ名</t></si><si><t>全行</t></si><si><t>Foo.java</t></si>)"
         R"(<si><t xml:space="preserve">p</t></si><si><t>ｸﾗｽ名</t></si><si><t>ｱｸｾｽ</t></si><si><t>ｽﾃｰﾄﾒﾝﾄ</t></si>)"
         R"(<si><r><t>Foo</t></r><r><rPr><b/></rPr><t>_x005F_Bar</t></r><rPh sb="0" eb="1"><t>ふー</t></rPh></si>)"
         R"(<si><t>a_x000D_b</t></si><si><t>ﾒｿｯﾄﾞ名</t></si><si><t>引数</t></si><si><t>run</t></si>)"
         R"(<si><t>3</t></si><si><t>0</t></si><phoneticPr fontId="1"/></sst>)";
}

std::string sharedCell(const std::string& ref, int index, const std::string& style = "") {
  return "<c r=\"" + ref + "\"" + style + " t=\"s\"><v>" + std::to_string(index) + "</v></c>";
}

const std::vector<WorkbookForm> kForms = {
    {"AsRztWritesIt", rztSheets},
    {"SharedStringsRichTextAndCountsKeptAsText",
     [] {
       // As a spreadsheet application saves it, some counts kept as text,
       // cells with styles and empty formatted cells.
       return std::vector<std::pair<std::string, std::string>>{
           {"File", test::worksheetXml("<row r=\"1\" spans=\"1:3\">" + sharedCell("A1", 0, " s=\"1\"") + sharedCell("B1", 1) +
                                       sharedCell("C1", 2) + "<c r=\"D1\" s=\"3\"/></row><row r=\"2\">" +
                                       sharedCell("A2", 3) + sharedCell("B2", 4) + "<c r=\"C2\" s=\"2\" t=\"n\"><v>10</v></c>" +
                                       "</row>")},
           {"Class", test::worksheetXml("<row r=\"1\">" + sharedCell("A1", 1) + sharedCell("B1", 5) + sharedCell("C1", 6) +
                                        sharedCell("D1", 7) + "</row><row r=\"2\">" + sharedCell("A2", 4) +
                                        sharedCell("B2", 8) + sharedCell("C2", 9) + sharedCell("D2", 13) + "</row>")},
           {"Method", test::worksheetXml("<row r=\"1\">" + sharedCell("A1", 1) + sharedCell("B1", 5) + sharedCell("C1", 10) +
                                         sharedCell("D1", 11) + sharedCell("E1", 7) + "</row><row r=\"2\">" +
                                         sharedCell("A2", 4) + sharedCell("B2", 8) + sharedCell("C2", 12) +
                                         sharedCell("D2", 14) + sharedCell("E2", 13) + "</row><row r=\"3\">" +
                                         sharedCell("A3", 4) + sharedCell("B3", 8) + sharedCell("C3", 12) +
                                         numberCell("D3", "1") + numberCell("E3", "0.5") + "</row>")},
       };
     },
     true},
    {"OtherSheetOrderAndExtraSheets",
     [] {
       auto sheets = rztSheets();
       std::swap(sheets[0], sheets[2]);
       sheets.insert(sheets.begin() + 1, {"メモ", test::worksheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")});
       sheets.push_back({"比較", test::worksheetXml(test::headingRowXml({"区分"}))});
       return sheets;
     }},
    {"PrefixedNamesAndCellsWithoutReferences",
     [] {
       auto sheets = rztSheets();
       for (auto& [name, xml] : sheets) {
         // Every element with the prefix x:, rows and cells without r.
         std::string out;
         for (size_t i = 0; i < xml.size(); ++i) {
           if (xml[i] == '<' && i + 1 < xml.size() && xml[i + 1] != '?') {
             out += xml[i + 1] == '/' ? "</x:" : "<x:";
             i += xml[i + 1] == '/' ? 1 : 0;
             continue;
           }
           out += xml[i];
         }
         size_t at;
         while ((at = out.find(" r=\"")) != std::string::npos) out.erase(at, out.find('"', at + 4) + 1 - at);
         at = out.find(" xmlns=");
         out.replace(at, 7, " xmlns:x=");
         xml = out;
       }
       return sheets;
     }},
};

void PrintTo(const WorkbookForm& c, std::ostream* out) { *out << c.name; }

class WorkbookForms : public testing::TestWithParam<WorkbookForm> {};

TEST_P(WorkbookForms, ReadAsTheSameReport) {
  test::TempDir dir;
  const fs::path path = dir.path() / "r.xlsx";
  const WorkbookForm& form = GetParam();
  const auto sheets = form.parts();
  test::writeZip(path, test::workbookParts(sheets, form.sharedStrings ? sharedStrings() : std::string()));
  const ReportModel read = readReport(path);
  EXPECT_EQ(0u, comparisonRowCount(referenceReport(), read));
  const SheetTable& classes = *read.sheet(ReportSheetKind::kClass);
  EXPECT_EQ("Foo_Bar", classes.cell(0, classes.findColumn("ｸﾗｽ名")).text);
  EXPECT_EQ("a\rb", classes.cell(0, classes.findColumn("ｱｸｾｽ")).text);
  EXPECT_EQ(nullptr, read.sheet(ReportSheetKind::kSumm));
}

INSTANTIATE_TEST_SUITE_P(Forms, WorkbookForms, testing::ValuesIn(kForms),
                         [](const testing::TestParamInfo<WorkbookForm>& info) { return std::string(info.param.name); });

struct EscapeCase {
  std::string written;
  std::string read;
};

void PrintTo(const EscapeCase& c, std::ostream* out) { *out << c.written; }

class XlsxEscapes : public testing::TestWithParam<EscapeCase> {};

TEST_P(XlsxEscapes, AreUndone) {
  std::string text = GetParam().written;
  decodeXlsxEscapes(text);
  EXPECT_EQ(GetParam().read, text);
}

INSTANTIATE_TEST_SUITE_P(Texts, XlsxEscapes,
                         testing::ValuesIn(std::vector<EscapeCase>{
                             {"plain", "plain"},
                             {"_x0041_", "A"},
                             {"_x005F_x0041_", "_x0041_"},
                             {"a_x000D__x000A_b", "a\r\nb"},
                             {"_x3042_", "あ"},
                             {"_xD83D__xDE00_", "\xF0\x9F\x98\x80"},
                             {"_xD83D_", "\xEF\xBF\xBD"},
                             {"_xDE00_x", "\xEF\xBF\xBDx"},
                             {"_x00G1_", "_x00G1_"},
                             {"_x0041", "_x0041"},
                             {"__x0041__", "_A_"},
                         }));

// --- Files that are no report: a clear error naming the file, never a
// crash or a hang.

struct BadFile {
  const char* name;
  std::string fileName;
  std::function<void(const fs::path&)> make;  // makes the file at the path
  std::vector<std::string> reasons;           // one of them is in the description
  ReportLimits limits = {};
};

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

auto bytes(std::string b) {
  return [b](const fs::path& path) { writeBytes(path, b); };
}

auto zipOf(std::vector<std::pair<std::string, std::string>> sheets, std::string strings = {}) {
  return [sheets, strings](const fs::path& path) { test::writeZip(path, test::workbookParts(sheets, strings)); };
}

// rztSheets with the text of one part replaced.
auto changedSheet(size_t index, std::string from, std::string to) {
  auto sheets = rztSheets();
  std::string& xml = sheets[index].second;
  const size_t at = xml.find(from);
  if (at == std::string::npos) throw std::logic_error("no " + from);
  xml.replace(at, from.size(), to);
  return zipOf(sheets);
}

std::string exampleJson() {
  static const std::string json = [] {
    test::TempDir dir;
    writeTree(dir);
    if (test::runRztCli({"-r", "-q", "-o", "r.json", "src"}, dir.path()) != 0) return std::string();
    return test::readFile(dir.path() / "r.json");
  }();
  return json;
}

auto truncatedJson(double part) {
  return [part](const fs::path& path) {
    const std::string json = exampleJson();
    writeBytes(path, json.substr(0, std::max<size_t>(1, static_cast<size_t>(json.size() * part))));
  };
}

auto truncatedXlsx(double part) {
  return [part](const fs::path& path) {
    const std::string xlsx = test::readFile(kData / "example-report.xlsx");
    writeBytes(path, xlsx.substr(0, static_cast<size_t>(xlsx.size() * part)));
  };
}

const char* const kNoReport = "RZT のレポートではありません";

std::vector<BadFile> badFiles() {
  std::vector<BadFile> cases = {
      {"Missing", "none.xlsx", [](const fs::path&) {}, {"開けません: No such file or directory"}},
      {"Directory", "dir.xlsx", [](const fs::path& p) { fs::create_directory(p); }, {"ディレクトリです"}},
      {"Fifo", "fifo.json", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, {"通常のファイルではありません"}},
      {"Empty", "empty.xlsx", bytes(""), {"空のファイルです"}},
      {"Text", "notes.txt", bytes("hello\n"), {kNoReport}},
      {"Csv", "r-File.csv", bytes("ﾌｧｲﾙ名,ﾊﾟｯｹｰｼﾞ名\r\n"), {"CSV のレポートとは比較できません"}},
      {"XlsxThatIsNoZip", "r.xlsx", bytes("<html>not a workbook</html>"), {"zip 形式のファイルとして読めません"}},
      {"ZipWithoutWorkbook", "r.xlsx", [](const fs::path& p) { test::writeZip(p, {{"readme.txt", "hi"}}); },
       {"ブックの部品 (xl/workbook.xml) がありません"}},
      {"EmptyZip", "r.xlsx", bytes(std::string("PK\x05\x06", 4) + std::string(18, '\0')),
       {"zip 形式のファイルとして読めません"}},
      {"WorkbookWithoutSheets", "r.xlsx", zipOf({}), {kNoReport + std::string(": シート \"File\" がありません")}},
      {"WorkbookWithoutMethodSheet", "r.xlsx", zipOf({rztSheets()[0], rztSheets()[1]}),
       {"シート \"Method\" がありません"}},
      {"SheetWithoutKeyHeading", "r.xlsx", changedSheet(0, "ﾌｧｲﾙ名", "名前"),
       {"シート \"File\" に見出し \"ﾌｧｲﾙ名\" がありません"}},
      {"SheetPartMissing", "r.xlsx",
       [](const fs::path& p) {
         auto parts = test::workbookParts(rztSheets());
         parts.erase(parts.begin());  // xl/worksheets/sheet1.xml
         test::writeZip(p, parts);
       },
       {"シート \"File\" の部品がありません"}},
      {"MalformedXml", "r.xlsx", changedSheet(1, "</row>", "</rowx>"), {"XML として正しくありません"}},
      {"DocumentTypeWithEntities", "r.xlsx",
       changedSheet(2, "<worksheet",
                    "<!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><worksheet"),
       {"文書型宣言は使えません"}},
      {"SharedStringOutOfRange", "r.xlsx", changedSheet(0, "<c r=\"B2\" t=\"inlineStr\"><is><t>p</t></is></c>",
                                                        "<c r=\"B2\" t=\"s\"><v>7</v></c>"),
       {"共有文字列の番号が正しくありません"}},
      {"RowsOutOfOrder", "r.xlsx", changedSheet(2, "<row r=\"3\">", "<row r=\"2\">"), {"行番号が正しくありません"}},
      {"CellOutsideTheSheet", "r.xlsx", changedSheet(2, "r=\"E3\"", "r=\"XFE3\""), {"セルの位置が正しくありません"}},
      {"NumberThatIsNone", "r.xlsx", changedSheet(2, "<v>5E-1</v>", "<v>five</v>"), {"数値が正しくありません"}},
      {"XlsxCutShort", "r.xlsx", truncatedXlsx(0.6), {"zip 形式のファイルとして読めません"}},
      {"XlsxDamaged", "r.xlsx",
       [](const fs::path& p) {
         std::string x = test::readFile(kData / "example-report.xlsx");
         // Bytes in the middle of the deflated sheets.
         for (size_t i = x.size() / 3; i < x.size() / 3 + 40; ++i) x[i] = static_cast<char>(~x[i]);
         writeBytes(p, x);
       },
       {"が壊れています", "XML として正しくありません"}},
      {"ZipBomb", "r.xlsx", changedSheet(2, "<sheetData>", "<sheetData>" + std::string(3 << 20, ' ')),
       {"展開すると大き過ぎます"}, ReportLimits{64, 1 << 20, 1 << 20, 1 << 16, 1 << 20}},
      {"TooManyCells", "r.xlsx",
       [](const fs::path& p) {
         auto sheets = rztSheets();
         std::string rows;
         for (int r = 4; r < 2000; ++r) rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>1</v></c></row>";
         sheets[2].second.insert(sheets[2].second.find("</sheetData>"), rows);
         test::writeZip(p, test::workbookParts(sheets));
       },
       {"セルが多過ぎます"}, ReportLimits{64, 5000, 1 << 20, 1 << 16, int64_t{1} << 30}},
      {"TooManyColumns", "r.xlsx", changedSheet(0, "<row r=\"2\">", "<row r=\"2\"><c r=\"BZ2\"><v>1</v></c>"),
       {"シート \"File\" の列が多過ぎます"}},
      {"JsonArray", "r.json", bytes("[]"), {kNoReport + std::string(": 全体がオブジェクトではありません")}},
      {"JsonOfSomethingElse", "r.json", bytes(R"({"name": "rzt", "version": 1})"),
       {"シート \"name\" が行の並びではありません"}},
      {"JsonWithoutSheets", "r.json", bytes("{}"), {"シート \"File\" がありません"}},
      {"JsonNestedValue", "r.json", bytes(R"({"File": [{"ﾌｧｲﾙ名": ["a"]}], "Class": [], "Method": []})"),
       {"セルの値が文字列でも数値でもありません"}},
      {"JsonBoolean", "r.json", bytes(R"({"File": [{"ﾌｧｲﾙ名": true}]})"), {"セルに真偽値があります"}},
      {"JsonSheetTwice", "r.json", bytes(R"({"File": [], "File": []})"), {"シート \"File\" が二度あります"}},
      {"JsonKeyTwiceInARow", "r.json", bytes(R"({"File": [{"ﾌｧｲﾙ名": "a", "ﾌｧｲﾙ名": "b"}]})"),
       {"行に同じ見出し \"ﾌｧｲﾙ名\" が二度あります"}},
      {"JsonRowsWithoutArguments", "r.json",
       bytes(R"({"File": [], "Class": [], "Method": [{"ｸﾗｽ名": "A", "ﾒｿｯﾄﾞ名": "f"}]})"),
       {"シート \"Method\" に見出し \"引数\" がありません"}},
      {"JsonDeeplyNested", "r.json", bytes(R"({"File": )" + std::string(100000, '[')), {"行がオブジェクトではありません"}},
      {"JsonDeeplyNestedAtTop", "r.json", bytes(std::string(100000, '[')), {"全体がオブジェクトではありません"}},
      {"JsonTrailingText", "r.json", bytes(R"({"File": [], "Class": [], "Method": []} x)"),
       {"JSON として正しくありません (41 バイト目)"}},
      {"JsonTrailingComma", "r.json", bytes(R"({"File": [{"ﾌｧｲﾙ名": "a",}]})"), {"JSON として正しくありません"}},
      {"JsonBadEscape", "r.json", bytes(R"({"File": [{"ﾌｧｲﾙ名": "a\q"}]})"), {"JSON として正しくありません"}},
      {"JsonLoneSurrogate", "r.json", bytes(R"({"File": [{"ﾌｧｲﾙ名": "\ud800"}]})"), {"JSON として正しくありません"}},
      {"JsonControlCharacter", "r.json", bytes("{\"File\": [{\"a\": \"x\ty\"}]}"), {"JSON として正しくありません"}},
      {"JsonNotUtf8", "r.json", bytes("{\"File\": [{\"a\": \"\xC3\x28\"}]}"), {"UTF-8 として正しくない文字列があります"}},
      {"JsonBadNumber", "r.json", bytes(R"({"File": [{"a": 01}]})"), {"JSON として正しくありません"}},
      {"JsonNumberOutOfRange", "r.json", bytes(R"({"File": [{"a": 1e999}]})"), {"JSON として正しくありません"}},
      {"JsonLongText", "r.json", bytes(R"({"File": [{"a": ")" + std::string(5000, 'x') + "\"}]}"), {"文字列が長過ぎます"},
       ReportLimits{64, 1 << 20, 1 << 20, 4096, 1 << 20}},
      {"JsonCutAtTheStart", "r.json", truncatedJson(0.0), {"ファイルが途中で終わっています"}},
      {"JsonCutInTheMiddle", "r.json", truncatedJson(0.5), {"ファイルが途中で終わっています"}},
      {"JsonCutBeforeTheEnd", "r.json", truncatedJson(0.999), {"ファイルが途中で終わっています"}},
  };
  return cases;
}

void PrintTo(const BadFile& c, std::ostream* out) { *out << c.name; }

class BadEarlierReports : public testing::TestWithParam<BadFile> {};

TEST_P(BadEarlierReports, EndInAClearErrorNamingTheFile) {
  const BadFile& c = GetParam();
  test::TempDir dir;
  const fs::path path = dir.path() / c.fileName;
  c.make(path);
  try {
    readReport(path, c.limits);
    FAIL() << "read without error";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrBadEarlierReport, e.number());
    const std::string prefix = "前回のレポートを読めません: " + path.string() + " (";
    EXPECT_EQ(prefix, e.description().substr(0, prefix.size()));
    bool found = false;
    for (const std::string& reason : c.reasons) found = found || e.description().find(reason) != std::string::npos;
    EXPECT_TRUE(found) << e.description();
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BadEarlierReports, testing::ValuesIn(badFiles()),
                         [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST(ReportReader, ExampleJsonUsedByTheTruncationCasesIsAReport) {
  ASSERT_FALSE(exampleJson().empty());
  test::TempDir dir;
  const fs::path path = dir.write("r.json", exampleJson());
  EXPECT_GT(readReport(path).sheet(ReportSheetKind::kMethod)->rowCount(), 0);
}

}  // namespace
}  // namespace rzt
