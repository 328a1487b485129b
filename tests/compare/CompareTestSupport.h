#pragma once

// Helpers of the comparison tests: reports made from small tables, the rows
// of a comparison as lines of text, zips made by hand, rzt-cli run as a
// child, and one whole analysis whose cells are captured.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "analysis/AnalyzerMain.h"
#include "compare/CapturingWorkbook.h"
#include "compare/ComparisonSheet.h"
#include "compare/ReportComparison.h"
#include "compare/SheetTableBuilder.h"
#include "java/ModernFileAnalyzer.h"
#include "options/OptionValues.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

extern char** environ;

namespace rzt::test {

// A cell of a table written in a test: nothing, a number or a text.
using TestCell = std::variant<std::monostate, double, std::string>;
inline const TestCell kNone{};

struct TestSheet {
  ReportSheetKind kind;
  std::vector<std::string> headings;          // row 1
  std::vector<std::vector<TestCell>> rows;    // rows 2, 3, ...
};

// A report holding these sheets, built as a workbook's cells would be.
inline ReportModel modelOf(const std::vector<TestSheet>& sheets, bool partial = false) {
  ReportModel model;
  for (const TestSheet& s : sheets) {
    PositionalSheetBuilder builder(model.addSheet(s.kind));
    for (size_t c = 0; c < s.headings.size(); ++c) {
      builder.setText(1, static_cast<int32_t>(c) + 1, s.headings[c]);
    }
    for (size_t r = 0; r < s.rows.size(); ++r) {
      for (size_t c = 0; c < s.rows[r].size(); ++c) {
        const auto row = static_cast<int32_t>(r) + 2;
        const auto column = static_cast<int32_t>(c) + 1;
        if (const auto* n = std::get_if<double>(&s.rows[r][c])) builder.setNumber(row, column, *n);
        if (const auto* t = std::get_if<std::string>(&s.rows[r][c])) builder.setText(row, column, *t);
      }
    }
    builder.finish();
  }
  model.setPartial(partial);
  return model;
}

inline std::string cellText(const ReportCell& cell) {
  if (cell.kind == ReportCell::Kind::kNumber) return numberText(cell.number);
  return std::string(cell.text);
}

// The rows of a comparison as the sheet shows them, one line each, the ten
// cells joined by "|": "Method|p|A|run|0|変更|ｽﾃｰﾄﾒﾝﾄ|3|5|2".
inline std::vector<std::string> comparisonLines(const Comparison& comparison) {
  std::vector<std::string> lines;
  for (const ComparisonRow& row : comparison.rows()) {
    const ComparisonCells c = comparison.cells(row);
    std::string line;
    for (const ReportCell* cell : {&c.section, &c.packageName, &c.name, &c.methodName, &c.arguments, &c.state,
                                   &c.item, &c.before, &c.after}) {
      line += cellText(*cell) + "|";
    }
    if (c.delta) line += numberText(*c.delta);
    lines.push_back(line);
  }
  return lines;
}

// Writes a zip of these (name, bytes) entries, deflated.
inline void writeZip(const std::filesystem::path& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) throw std::runtime_error("cannot make " + path.string());
  for (const auto& [name, bytes] : entries) {
    zip_fileinfo info{};
    if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 0) != ZIP_OK ||
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) != ZIP_OK ||
        zipCloseFileInZip(zip) != ZIP_OK) {
      zipClose(zip, nullptr);
      throw std::runtime_error("cannot write " + name + " into " + path.string());
    }
  }
  zipClose(zip, nullptr);
}

// The parts of a workbook around its sheets: sheets are (name, XML of the
// part), in tab order, stored as xl/worksheets/sheetN.xml; sharedStrings,
// when not empty, as xl/sharedStrings.xml.
inline std::vector<std::pair<std::string, std::string>> workbookParts(
    const std::vector<std::pair<std::string, std::string>>& sheets, const std::string& sharedStrings = {}) {
  std::string workbook =
      R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)";
  std::string rels =
      R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
  std::vector<std::pair<std::string, std::string>> parts;
  for (size_t i = 0; i < sheets.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    workbook += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
    rels += "<Relationship Id=\"rId" + n +
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
            "Target=\"worksheets/sheet" + n + ".xml\"/>";
    parts.emplace_back("xl/worksheets/sheet" + n + ".xml", sheets[i].second);
  }
  if (!sharedStrings.empty()) {
    rels += R"(<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)";
    parts.emplace_back("xl/sharedStrings.xml", sharedStrings);
  }
  workbook += "</sheets></workbook>";
  rels += "</Relationships>";
  parts.emplace_back("xl/workbook.xml", workbook);
  parts.emplace_back("xl/_rels/workbook.xml.rels", rels);
  parts.emplace_back(
      "_rels/.rels",
      R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)");
  return parts;
}

// A worksheet part whose sheetData is rows.
inline std::string worksheetXml(const std::string& rows) {
  return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheetData>)" +
         rows + "</sheetData></worksheet>";
}

// A row of inline-string headings: <row r="1"><c r="A1" t="inlineStr">...
inline std::string headingRowXml(const std::vector<std::string>& headings) {
  std::string row = "<row r=\"1\">";
  for (size_t i = 0; i < headings.size(); ++i) {
    row += "<c r=\"" + spreadsheetColumnLetters(static_cast<int32_t>(i) + 1) + "1\" t=\"inlineStr\"><is><t>" +
           headings[i] + "</t></is></c>";
  }
  return row + "</row>";
}

// Runs the built rzt-cli with these arguments in dir; its exit status (-1
// when it did not exit normally). Standard output and error are dropped.
inline int runRztCli(const std::vector<std::string>& args, const std::filesystem::path& dir) {
  std::vector<std::string> argv = {RZT_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, cargs[0], &actions, nullptr, cargs.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One analysis of the tree at root into the .xlsx at out, its cells captured
// into captured. beforeClose runs as the capturing workbook closes; the
// sheet "比較", made first (so the last tab), is passed to it.
struct CapturedRun {
  int32_t error = 0;
};

inline CapturedRun analyzeCapturing(const std::filesystem::path& root, const std::filesystem::path& out,
                                    const OptionValues& options, bool modern, ReportModel& captured,
                                    std::function<void(CapturingWorkbook&, IWorkbook::Sheet)> beforeClose = {}) {
  CapturedRun run;
  RecordingStatusLine status;
  RecordingUserMessage messages;
  auto comparisonSheet = std::make_shared<IWorkbook::Sheet>(-1);
  OutputMgr outputMgr([&] {
    CapturingWorkbook::BeforeClose hook;
    if (beforeClose) {
      hook = [beforeClose, comparisonSheet](CapturingWorkbook& w) { beforeClose(w, *comparisonSheet); };
    }
    auto workbook = std::make_unique<CapturingWorkbook>(std::make_unique<XlsxWorkbook>(out), captured, hook);
    if (beforeClose) {
      *comparisonSheet = workbook->addSheet(kComparisonSheetName);
      workbook->freezeHeadingRow(*comparisonSheet);
      workbook->centreHeadingRow(*comparisonSheet);
    }
    return workbook;
  });
  AnalyzerMain driver(status, messages);
  if (modern) driver.setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
  try {
    driver.init(&outputMgr, options);
    driver.doAnalysisDir(root.string(), true);
  } catch (const RztError& e) {
    run.error = e.number();
    outputMgr.finishedWithError();
  }
  return run;
}

}  // namespace rzt::test
