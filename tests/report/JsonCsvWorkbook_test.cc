// The JSON and CSV workbooks: the same cells as the workbook in memory,
// RFC 4180 quoting, formula-like texts neutralised, heading keys, and
// atomic writes.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TextReportReader.h"
#include "report/CellText.h"
#include "report/CsvWorkbook.h"
#include "report/JsonWorkbook.h"
#include "report/MemoryWorkbook.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

using test::JsonValue;

const std::vector<std::string> kTexts = {
    "plain",  "a,b",        "say \"hi\"",  "two\nlines", "cr\rhere", "-minus", "=SUM(A1:A3)",
    "+1",     "@cmd",       "\tTab first", "日本語ﾊﾝｶｸ", "back\\slash", "\x01" "ctl",
    "bad \xff byte", "emoji \xF0\x9F\x98\x80", "a=b", "'quoted", " space ",
};
const std::vector<double> kNumbers = {-5, 0, 0.1, 1.0 / 3, 1e300, -2.5e-10, 123456789012.0, 2147483647,
                                      48.357142857142854};

// Calls a report makes: sheets added before the active one, rows interleaved
// across sheets, gaps, cells with a format only, overwritten cells.
void play(IWorkbook& book) {
  const IWorkbook::Sheet diagnosis = book.addSheet("診断");
  const IWorkbook::Sheet method = book.addSheet("Method");
  const IWorkbook::Sheet summary = book.addSheet("Summ");
  for (IWorkbook::Sheet s : {diagnosis, method, summary}) book.freezeHeadingRow(s);
  book.setText(summary, 1, 1, "メトリクス");
  book.setText(summary, 1, 2, "値");
  book.setText(method, 1, 1, "名前");
  book.setText(method, 1, 2, "数");
  book.setText(method, 1, 4, "備考");
  book.setText(method, 1, 3, "MSG送信");
  book.setText(diagnosis, 1, 1, "区分");
  book.setText(diagnosis, 1, 2, "値");
  for (IWorkbook::Sheet s : {diagnosis, method, summary}) book.centreHeadingRow(s);

  int32_t summaryRow = 1;
  int32_t diagnosisRow = 1;
  for (int32_t row = 2; row < 60; ++row) {
    const size_t i = static_cast<size_t>(row);
    book.setText(method, row, 1, kTexts[i % kTexts.size()]);
    // Overwritten: the number goes, the text stays.
    book.setNumber(method, row, 4, 7);
    book.setText(method, row, 4, row % 3 == 0 ? kTexts[(i * 7) % kTexts.size()] : "");
    book.setNumber(method, row, 2, kNumbers[i % kNumbers.size()]);
    if (row % 4 != 0) book.setNumber(method, row, 3, row * 1000 + 0.5);
    if (row % 5 == 0) {
      summaryRow += row % 10 == 0 ? 2 : 1;  // every other one leaves an empty row
      book.setText(summary, summaryRow, 1, kTexts[(i * 3) % kTexts.size()]);
      book.setNumberFormat(summary, summaryRow, 2, "0.0_ ");
      if (row % 15 != 0) book.setNumber(summary, summaryRow, 2, kNumbers[(i * 5) % kNumbers.size()]);
    }
    if (row % 7 == 0) {
      ++diagnosisRow;
      if (row % 14 == 0) {
        book.setNumberFormat(diagnosis, diagnosisRow, 2, "#,##0_ ");  // a row without value
      } else {
        book.setText(diagnosis, diagnosisRow, 1, "[Method]");
        book.setNumber(diagnosis, diagnosisRow, 2, row);
      }
    }
  }
  for (IWorkbook::Sheet s : {diagnosis, method, summary}) {
    book.setZoom(s, 80);
    book.fitColumns(s);
  }
  book.showFirst(summary);
  book.close();
}

bool hasValue(const MemoryWorkbook::Cell& c) { return c.hasNumber || c.hasText; }

// The last row and column of a sheet that hold a value.
std::pair<int32_t, int32_t> extent(const MemoryWorkbook::SheetData& sheet) {
  int32_t rows = 0, columns = 0;
  for (const auto& [at, c] : sheet.cells) {
    if (!hasValue(c)) continue;
    rows = std::max(rows, at.first);
    columns = std::max(columns, at.second);
  }
  return {rows, columns};
}

std::string cellText(const MemoryWorkbook::Cell& c) {
  std::string text;
  appendValidCellText(c.text, text);
  return text;
}

// Every sheet of the memory workbook is a member of the document, in tab
// order; row r is item r - 2, its members the cells with a value keyed by the
// headings.
void expectJsonHoldsTheCells(const MemoryWorkbook& memory, const JsonValue& document) {
  ASSERT_EQ(JsonValue::Type::kObject, document.type);
  std::vector<std::string> names;
  for (const auto& m : document.members) names.push_back(m.first);
  ASSERT_EQ(memory.sheetNames(), names);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const MemoryWorkbook::SheetData& sheet = *memory.sheet(name);
    const JsonValue& rows = *document.member(name);
    ASSERT_EQ(JsonValue::Type::kArray, rows.type);
    const int32_t lastRow = extent(sheet).first;
    ASSERT_EQ(static_cast<size_t>(std::max(0, lastRow - 1)), rows.items.size());
    for (int32_t row = 2; row <= lastRow; ++row) {
      SCOPED_TRACE(row);
      const JsonValue& object = rows.items[static_cast<size_t>(row - 2)];
      ASSERT_EQ(JsonValue::Type::kObject, object.type);
      size_t expectedMembers = 0;
      for (const auto& [at, c] : sheet.cells) {
        if (at.first != row || !hasValue(c)) continue;
        ++expectedMembers;
        const std::string key = cellText(sheet.cells.at({1, at.second}));
        const JsonValue* value = object.member(key);
        ASSERT_NE(nullptr, value) << key;
        if (c.hasNumber) {
          ASSERT_EQ(JsonValue::Type::kNumber, value->type) << key;
          EXPECT_EQ(c.number, value->number) << key;  // the shortest form reads back exactly
        } else {
          ASSERT_EQ(JsonValue::Type::kString, value->type) << key;
          EXPECT_EQ(cellText(c), value->text) << key;
        }
      }
      EXPECT_EQ(expectedMembers, object.members.size());
      // Members in column order.
      int32_t lastColumn = 0;
      for (const auto& [key, value] : object.members) {
        int32_t column = 0;
        for (const auto& [at, c] : sheet.cells) {
          if (at.first == 1 && cellText(c) == key) column = at.second;
        }
        EXPECT_GT(column, lastColumn) << key;
        lastColumn = column;
      }
    }
  }
}

// A text as the CSV field must read back: with an apostrophe in front when a
// spreadsheet would take it for a formula.
std::string neutralised(const std::string& text) {
  if (!text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos) return "'" + text;
  return text;
}

// Each sheet is the file report-<sheet>.csv beside report.csv; record r is
// row r, every record as wide as the sheet.
void expectCsvHoldsTheCells(const MemoryWorkbook& memory, const fs::path& report) {
  std::set<std::string> expectedFiles;
  for (const std::string& name : memory.sheetNames()) {
    SCOPED_TRACE(name);
    const fs::path file = CsvWorkbook::sheetPath(report, name);
    expectedFiles.insert(file.filename().string());
    ASSERT_TRUE(fs::exists(file)) << file;
    const auto records = test::parseCsv(test::readFile(file));
    const MemoryWorkbook::SheetData& sheet = *memory.sheet(name);
    const auto [lastRow, lastColumn] = extent(sheet);
    ASSERT_EQ(static_cast<size_t>(lastRow), records.size());
    for (int32_t row = 1; row <= lastRow; ++row) {
      SCOPED_TRACE(row);
      const std::vector<std::string>& record = records[static_cast<size_t>(row - 1)];
      ASSERT_EQ(static_cast<size_t>(lastColumn), record.size());
      for (int32_t column = 1; column <= lastColumn; ++column) {
        const std::string& field = record[static_cast<size_t>(column - 1)];
        const auto it = sheet.cells.find({row, column});
        if (it == sheet.cells.end() || !hasValue(it->second)) {
          EXPECT_EQ("", field) << column;
        } else if (it->second.hasNumber) {
          char* end = nullptr;
          EXPECT_EQ(it->second.number, std::strtod(field.c_str(), &end)) << field;
          EXPECT_EQ('\0', *end) << field;
        } else {
          EXPECT_EQ(neutralised(cellText(it->second)), field) << column;
        }
      }
    }
  }
  std::set<std::string> present;
  for (const auto& entry : fs::directory_iterator(report.parent_path())) {
    present.insert(entry.path().filename().string());
  }
  EXPECT_EQ(expectedFiles, present) << "one file per sheet and no temporary file";
}

TEST(JsonCsvWorkbook, SameCellsAsTheWorkbookInMemory) {
  MemoryWorkbook memory;
  play(memory);
  test::TempDir dir;

  const fs::path json = dir.path() / "json" / "report.json";
  fs::create_directories(json.parent_path());
  {
    JsonWorkbook book(json);
    play(book);
  }
  expectJsonHoldsTheCells(memory, test::parseJson(test::readFile(json)));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(json.parent_path()), fs::directory_iterator()));

  std::FILE* stream = std::tmpfile();
  ASSERT_NE(nullptr, stream);
  {
    JsonWorkbook book(stream);
    play(book);
  }
  std::rewind(stream);
  std::string streamed;
  for (int c; (c = std::fgetc(stream)) != EOF;) streamed += static_cast<char>(c);
  std::fclose(stream);
  EXPECT_EQ(test::readFile(json), streamed) << "a stream gets the document a file gets";

  const fs::path csv = dir.path() / "csv" / "report.csv";
  fs::create_directories(csv.parent_path());
  {
    CsvWorkbook book(csv);
    play(book);
  }
  expectCsvHoldsTheCells(memory, csv);
}

TEST(JsonCsvWorkbook, CsvFieldsAreQuotedAndNeutralised) {
  struct Case {
    const char* name;
    std::string text;  // written as a text cell, unless number is set
    std::optional<double> number;
    std::string field;  // the field as written
  };
  const std::vector<Case> cases = {
      {"Plain", "plain", {}, "plain"},
      {"Comma", "a,b", {}, "\"a,b\""},
      {"Quote", "say \"hi\"", {}, "\"say \"\"hi\"\"\""},
      {"LineFeed", "two\nlines", {}, "\"two\nlines\""},
      {"CarriageReturn", "a\rb", {}, "\"a\rb\""},
      {"Equals", "=1+2", {}, "'=1+2"},
      {"Plus", "+1", {}, "'+1"},
      {"Minus", "-5", {}, "'-5"},
      {"At", "@SUM(A1)", {}, "'@SUM(A1)"},
      {"Tab", "\tx", {}, "'\tx"},
      {"LeadingCarriageReturn", "\rx", {}, "\"'\rx\""},
      {"FormulaWithComma", "=HYPERLINK(\"x\",\"y\")", {}, "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
      {"EqualsInside", "a=b", {}, "a=b"},
      {"Wide", "ﾊﾟｯｹｰｼﾞ名", {}, "ﾊﾟｯｹｰｼﾞ名"},
      {"NegativeNumber", "", -5.0, "-5"},
      {"Fraction", "", 0.1, "0.1"},
      {"Third", "", 1.0 / 3, "0.3333333333333333"},
      {"Large", "", 1e21, "1e+21"},
      {"Infinity", "", std::numeric_limits<double>::infinity(), ""},
  };
  test::TempDir dir;
  const fs::path report = dir.path() / "r.csv";
  {
    CsvWorkbook book(report);
    const IWorkbook::Sheet sheet = book.addSheet("S");
    for (size_t i = 0; i < cases.size(); ++i) book.setText(sheet, 1, static_cast<int32_t>(i) + 1, cases[i].name);
    for (size_t i = 0; i < cases.size(); ++i) {
      const int32_t column = static_cast<int32_t>(i) + 1;
      if (cases[i].number) {
        book.setNumber(sheet, 2, column, *cases[i].number);
      } else {
        book.setText(sheet, 2, column, cases[i].text);
      }
    }
    book.close();
  }
  const std::string written = test::readFile(dir.path() / "r-S.csv");
  // The second record, field by field as written.
  const size_t second = written.find("\r\n") + 2;
  std::string expected;
  for (size_t i = 0; i < cases.size(); ++i) expected += (i ? "," : "") + cases[i].field;
  EXPECT_EQ(expected + "\r\n", written.substr(second));
  const auto records = test::parseCsv(written);
  ASSERT_EQ(2u, records.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(cases[i].name, records[0][i]);
    if (!cases[i].number) {
      EXPECT_EQ(neutralised(cases[i].text), records[1][i]);
    }
  }
}

TEST(JsonCsvWorkbook, JsonKeysForMissingAndRepeatedHeadings) {
  test::TempDir dir;
  const fs::path report = dir.path() / "k.json";
  {
    JsonWorkbook book(report);
    const IWorkbook::Sheet sheet = book.addSheet("S");
    book.setText(sheet, 1, 1, "a");
    book.setText(sheet, 1, 2, "");  // no heading
    book.setText(sheet, 1, 3, "a");
    book.setText(sheet, 1, 5, "B");  // the letters of column 2, which took them first
    book.setNumber(sheet, 1, 6, 3);  // a number as heading
    for (int32_t column = 1; column <= 8; ++column) book.setNumber(sheet, 2, column, column);
    book.close();
  }
  const JsonValue document = test::parseJson(test::readFile(report));
  const JsonValue& row = document.member("S")->items.at(0);
  std::vector<std::string> keys;
  for (const auto& [key, value] : row.members) {
    keys.push_back(key);
    EXPECT_EQ(static_cast<double>(keys.size()), value.number) << key;
  }
  EXPECT_EQ((std::vector<std::string>{"a", "B", "a (C)", "D", "B (E)", "3", "G", "H"}), keys);
}

TEST(JsonCsvWorkbook, NonFiniteNumbersAndEmptySheets) {
  test::TempDir dir;
  const fs::path report = dir.path() / "n.json";
  {
    JsonWorkbook book(report);
    const IWorkbook::Sheet empty = book.addSheet("Empty");
    const IWorkbook::Sheet headed = book.addSheet("Headed");
    book.setText(headed, 1, 1, "x");
    book.setText(headed, 1, 2, "y");
    book.setNumber(headed, 2, 1, std::nan(""));
    book.setNumber(headed, 2, 2, -std::numeric_limits<double>::infinity());
    book.showFirst(empty);
    book.close();
  }
  const JsonValue document = test::parseJson(test::readFile(report));
  ASSERT_EQ(2u, document.members.size());
  EXPECT_EQ("Headed", document.members[0].first);
  EXPECT_TRUE(document.member("Empty")->items.empty());
  const JsonValue& row = document.member("Headed")->items.at(0);
  EXPECT_EQ(JsonValue::Type::kNull, row.member("x")->type);
  EXPECT_EQ(JsonValue::Type::kNull, row.member("y")->type);
}

// A failing close leaves the files that were there and no temporary file.
TEST(JsonCsvWorkbook, FailedWritesLeaveExistingFilesAlone) {
  struct Case {
    const char* name;
    bool csv;
  };
  for (const Case& c : {Case{"Json", false}, Case{"Csv", true}}) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const fs::path report = dir.path() / (c.csv ? "r.csv" : "r.json");
    const fs::path kept = c.csv ? CsvWorkbook::sheetPath(report, "Summ") : report;
    dir.write(kept.filename().string(), "old contents");
    std::unique_ptr<IWorkbook> book;
    if (c.csv) {
      book = std::make_unique<CsvWorkbook>(report);
    } else {
      book = std::make_unique<JsonWorkbook>(report);
    }
    // The sheet after "Summ" in tab order cannot be written: a folder is in
    // its way (for JSON the document itself is blocked).
    const IWorkbook::Sheet file = book->addSheet("File");
    const IWorkbook::Sheet summary = book->addSheet("Summ");
    book->setText(summary, 1, 1, "h");
    book->setText(summary, 2, 1, "v");
    book->setText(file, 1, 1, "h");
    const fs::path blocked = c.csv ? CsvWorkbook::sheetPath(report, "File") : dir.path() / "r.json.blocked";
    fs::create_directories(blocked / "inside");
    if (!c.csv) {
      fs::rename(report, dir.path() / "r.json.old");
      fs::rename(blocked, report);
    }
    try {
      book->close();
      ADD_FAILURE() << "close succeeded";
    } catch (const RztError& e) {
      EXPECT_EQ(kErrPathFileAccess, e.number());
      EXPECT_NE(std::string::npos, e.description().find("ファイルに書き込めません")) << e.description();
    }
    book.reset();
    std::set<std::string> present;
    for (const auto& entry : fs::directory_iterator(dir.path())) present.insert(entry.path().filename().string());
    if (c.csv) {
      EXPECT_EQ("old contents", test::readFile(kept));
      EXPECT_EQ((std::set<std::string>{"r-Summ.csv", "r-File.csv"}), present);
    } else {
      EXPECT_TRUE(fs::is_directory(report / "inside"));
      EXPECT_EQ((std::set<std::string>{"r.json", "r.json.old"}), present);
    }
  }
}

TEST(JsonCsvWorkbook, DroppedWithoutCloseLeavesNothing) {
  for (const bool csv : {false, true}) {
    SCOPED_TRACE(csv ? "csv" : "json");
    test::TempDir dir;
    const fs::path report = dir.path() / (csv ? "r.csv" : "r.json");
    {
      std::unique_ptr<IWorkbook> book;
      if (csv) {
        book = std::make_unique<CsvWorkbook>(report);
      } else {
        book = std::make_unique<JsonWorkbook>(report);
      }
      const IWorkbook::Sheet sheet = book->addSheet("S");
      book->setText(sheet, 1, 1, "h");
      book->setNumber(sheet, 2, 1, 1);
      book->setNumber(sheet, 3, 1, 2);
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
  }
}

TEST(JsonCsvWorkbook, RefusedCalls) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::function<void()> call;
    int32_t error;  // the RztError number; 0 for a programming mistake
  };
  const fs::path missing = dir.path() / "no" / "such" / "r.json";
  const std::vector<Case> cases = {
      {"JsonFolderMissing", [&] { JsonWorkbook book(missing); }, kErrPathNotFound},
      {"CsvFolderMissing", [&] { CsvWorkbook book(dir.path() / "no" / "r.csv"); }, kErrPathNotFound},
      {"JsonPathIsAFolder", [&] { JsonWorkbook book(dir.path()); }, kErrPathFileAccess},
      {"RowsDescending",
       [&] {
         CsvWorkbook book(dir.path() / "d.csv");
         const IWorkbook::Sheet s = book.addSheet("S");
         book.setNumber(s, 3, 1, 1);
         book.setNumber(s, 2, 1, 1);
       },
       0},
      {"SheetNameTwice",
       [&] {
         JsonWorkbook book(dir.path() / "t.json");
         book.addSheet("S");
         book.addSheet("S");
       },
       0},
      {"SheetAfterTheFirstDataRow",
       [&] {
         CsvWorkbook book(dir.path() / "s.csv");
         book.setNumber(book.addSheet("S"), 2, 1, 1);
         book.addSheet("T");
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.error == 0) {
      EXPECT_THROW(c.call(), std::logic_error);
      continue;
    }
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const RztError& e) {
      EXPECT_EQ(c.error, e.number()) << e.description();
    }
  }
  EXPECT_TRUE(fs::is_empty(dir.path())) << "no temporary file is left";
}

// The row limit of 1,048,576 is the .xlsx format's: JSON and CSV take rows
// up to the 32-bit row counters.
TEST(JsonCsvWorkbook, PlainTextTakesRowsPastTheXlsxLimit) {
  test::TempDir dir;
  const int32_t lastRow = kWorkbookMaxRows + 3;
  for (const bool csv : {false, true}) {
    SCOPED_TRACE(csv ? "csv" : "json");
    const fs::path report = dir.path() / (csv ? "big.csv" : "big.json");
    std::unique_ptr<IWorkbook> book;
    if (csv) {
      book = std::make_unique<CsvWorkbook>(report);
    } else {
      book = std::make_unique<JsonWorkbook>(report);
    }
    EXPECT_EQ(kTextReportMaxRows, book->maxRows());
    const IWorkbook::Sheet sheet = book->addSheet("Method");
    book->setText(sheet, 1, 1, "n");
    book->setNumber(sheet, kWorkbookMaxRows, 1, 1);
    book->setNumber(sheet, lastRow, 1, 2);
    book->close();
    if (csv) {
      const auto records = test::parseCsv(test::readFile(CsvWorkbook::sheetPath(report, "Method")));
      ASSERT_EQ(static_cast<size_t>(lastRow), records.size());
      EXPECT_EQ("2", records.back().at(0));
      EXPECT_EQ("1", records[kWorkbookMaxRows - 1].at(0));
    } else {
      const JsonValue document = test::parseJson(test::readFile(report));
      const auto& rows = document.member("Method")->items;
      ASSERT_EQ(static_cast<size_t>(lastRow - 1), rows.size());
      EXPECT_EQ(2, rows.back().member("n")->number);
    }
  }
}

}  // namespace
}  // namespace rzt
