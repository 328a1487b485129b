#include "report/XlsxWorkbook.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "XlsxReader.h"
#include "report/CellText.h"
#include "support/RztError.h"

namespace rzt::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> folderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(XlsxWorkbookTest, SheetsComeOutInTheOrderOfInsertionBeforeTheActiveSheet) {
  TempDir dir;
  fs::path file = dir.path() / "book.xlsx";
  {
    XlsxWorkbook wb(file);
    auto a = wb.addSheet("診断");
    wb.setText(a, 1, 1, "heading a");
    auto b = wb.addSheet("Method");
    wb.setText(b, 1, 1, "heading b");
    auto c = wb.addSheet("Summ");
    wb.setText(c, 1, 2, "heading c");
    wb.setText(b, 2, 1, "data b");  // the first data row fixes the sheets
    wb.setNumber(a, 3, 2, 7);
    wb.setText(c, 2, 1, "data c");
    wb.showFirst(c);
    EXPECT_THROW(wb.addSheet("late"), std::logic_error);
    wb.close();
  }
  XlsxBook book = readXlsx(file);
  EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"Summ", "Method", "診断"}));
  EXPECT_EQ(book.activeTab, 0);
  EXPECT_EQ(book.sheet("診断")->text(1, 1), "heading a");
  EXPECT_EQ(book.sheet("診断")->number(3, 2), 7);
  EXPECT_EQ(book.sheet("Method")->text(1, 1), "heading b");
  EXPECT_EQ(book.sheet("Method")->text(2, 1), "data b");
  EXPECT_EQ(book.sheet("Summ")->text(1, 2), "heading c");
  EXPECT_EQ(book.sheet("Summ")->text(2, 1), "data c");
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"book.xlsx"});
}

TEST(XlsxWorkbookTest, CellsFormatsHeadingRowAndView) {
  TempDir dir;
  fs::path file = dir.path() / "book.xlsx";
  {
    XlsxWorkbook wb(file);
    auto s = wb.addSheet("Summ");
    wb.freezeHeadingRow(s);
    wb.setText(s, 1, 1, "メトリクス");
    wb.setText(s, 1, 3, "値");
    wb.centreHeadingRow(s);
    wb.setZoom(s, 120);
    wb.addSheet("Other");  // before the first data row sheets may still be added
    wb.setText(s, 2, 1, "行数");
    wb.setNumber(s, 2, 2, 1234);
    wb.setNumberFormat(s, 2, 2, "#,##0_ ");  // after the value
    wb.setNumberFormat(s, 3, 2, "0.0_ ");    // no value
    wb.setText(s, 3, 1, "");                 // an empty text leaves the cell empty
    wb.setNumber(s, 4, 2, 0.25);
    wb.setNumberFormat(s, 4, 2, "0.0%");
    wb.setText(s, 5, 2, "12");
    wb.fitColumns(s);
    wb.close();
  }
  XlsxBook book = readXlsx(file);
  const XlsxSheet& s = *book.sheet("Summ");
  EXPECT_EQ(s.frozenRows, 1);
  EXPECT_EQ(s.zoom, 120);
  EXPECT_TRUE(s.rowCentred.at(1));
  EXPECT_TRUE(s.cell(1, 1)->centred);
  EXPECT_TRUE(s.cell(1, 3)->centred);
  EXPECT_FALSE(s.cell(2, 1)->centred);
  EXPECT_EQ(s.number(2, 2), 1234);
  EXPECT_EQ(s.cell(2, 2)->numberFormat, "#,##0_ ");
  ASSERT_NE(s.cell(3, 2), nullptr);
  EXPECT_TRUE(s.isEmpty(3, 2));
  EXPECT_EQ(s.cell(3, 2)->numberFormat, "0.0_ ");
  EXPECT_TRUE(s.isEmpty(3, 1));
  EXPECT_EQ(s.number(4, 2), 0.25);
  EXPECT_EQ(s.cell(4, 2)->numberFormat, "0.0%");
  EXPECT_EQ(s.text(5, 2), "12");
  EXPECT_FALSE(s.number(5, 2).has_value());
  EXPECT_EQ(s.cell(2, 1)->numberFormat, "General");
  // Widths follow the longest text (the format adds a fraction for padding);
  // column 3 holds a single wide character.
  EXPECT_NEAR(s.widths.at(1), fittedColumnWidth(10), 0.75);
  EXPECT_NEAR(s.widths.at(2), fittedColumnWidth(6), 0.75);  // "1,234 "
  EXPECT_NEAR(s.widths.at(3), fittedColumnWidth(2), 0.75);
  EXPECT_EQ(book.sheet("Other")->frozenRows, 0);
  EXPECT_TRUE(book.sheet("Other")->widths.empty());
  EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"Other", "Summ"}));
}

TEST(XlsxWorkbookTest, TextsAreWrittenValid) {
  const std::string wide(20000, 'x');
  struct Case {
    std::string in, expected;
  };
  std::string longJapanese, cutJapanese, emoji, cutEmoji;
  for (int i = 0; i < 40000; ++i) longJapanese += "日";
  for (int i = 0; i < 32767; ++i) cutJapanese += "日";
  for (int i = 0; i < 17000; ++i) emoji += "\xF0\x9F\x98\x80";
  for (int i = 0; i < 16383; ++i) cutEmoji += "\xF0\x9F\x98\x80";
  const std::vector<Case> cases = {
      {"plain", "plain"},
      {" lead & <tag> ", " lead & <tag> "},
      {"tab\tline\ncr\r", "tab\tline\ncr\r"},
      {"bell\x07" "esc\x1b", "bell\x07" "esc\x1b"},
      {"bad\xff" "byte", "bad\xEF\xBF\xBD" "byte"},
      {"nul", "nul"},
      {std::string("a\0b", 3), "a\xEF\xBF\xBD" "b"},
      {"cut\xE6\x97", "cut\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"over\xC0\xAF", "over\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"sur\xED\xA0\x80", "sur\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"ﾌｧｲﾙ名 日本語", "ﾌｧｲﾙ名 日本語"},
      {std::string(40000, 'a'), std::string(32767, 'a')},
      {longJapanese, cutJapanese},
      {emoji, cutEmoji},
  };
  TempDir dir;
  fs::path file = dir.path() / "texts.xlsx";
  {
    XlsxWorkbook wb(file);
    auto s = wb.addSheet("T");
    for (size_t i = 0; i < cases.size(); ++i) wb.setText(s, static_cast<int32_t>(i) + 1, 1, cases[i].in);
    wb.close();
  }
  XlsxBook book = readXlsx(file);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(book.sheets[0].text(static_cast<int32_t>(i) + 1, 1), cases[i].expected);
  }
}

TEST(XlsxWorkbookTest, RowsPastTheFormatsLastRowOverflow) {
  TempDir dir;
  fs::path file = dir.path() / "rows.xlsx";
  XlsxWorkbook wb(file);
  auto s = wb.addSheet("S");
  wb.setText(s, 1, 1, "h");
  wb.setNumber(s, kWorkbookMaxRows, 1, 1);
  try {
    wb.setNumber(s, kWorkbookMaxRows + 1, 1, 2);
    FAIL() << "no overflow";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrOverflow);
  }
  EXPECT_THROW(wb.setText(s, 5, 1, "back"), std::logic_error);
  wb.close();
  XlsxBook book = readXlsx(file);
  EXPECT_EQ(book.sheets[0].number(kWorkbookMaxRows, 1), 1);
  EXPECT_EQ(book.sheets[0].lastRow(), kWorkbookMaxRows);
}

TEST(XlsxWorkbookTest, AnExistingFileIsReplacedWholeOrNotAtAll) {
  TempDir dir;
  fs::path file = dir.write("out.xlsx", "old contents");
  {
    // Dropped without close: nothing changes, nothing is left behind.
    XlsxWorkbook wb(file);
    auto s = wb.addSheet("S");
    wb.setText(s, 1, 1, "new");
  }
  EXPECT_EQ(readFile(file), "old contents");
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out.xlsx"});
  {
    XlsxWorkbook wb(file);
    wb.setText(wb.addSheet("S"), 1, 1, "new");
    wb.close();
  }
  EXPECT_EQ(readXlsx(file).sheets[0].text(1, 1), "new");
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out.xlsx"});

  // A failing close: the path became a folder meanwhile; it stays as it is.
  fs::path blocked = dir.path() / "blocked.xlsx";
  XlsxWorkbook wb(blocked);
  wb.setText(wb.addSheet("S"), 1, 1, "x");
  fs::create_directory(blocked);
  dir.write("blocked.xlsx/keep.txt", "kept");
  try {
    wb.close();
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrPathFileAccess);
    EXPECT_NE(e.description().find(blocked.string()), std::string::npos);
  }
  EXPECT_EQ(readFile(blocked / "keep.txt"), "kept");
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"blocked.xlsx", "out.xlsx"}));
}

TEST(XlsxWorkbookTest, NewFileGetsTheUsualMode) {
  TempDir dir;
  fs::path file = dir.path() / "mode.xlsx";
  XlsxWorkbook wb(file);
  wb.setText(wb.addSheet("S"), 1, 1, "x");
  wb.close();
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(XlsxWorkbookTest, PathsThatCannotBeWrittenAreRefusedAtOnceWithTheReason) {
  TempDir dir;
  fs::create_directory(dir.path() / "folder");
  fs::create_directory(dir.path() / "locked");
  fs::permissions(dir.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  // Permissions do not stop the superuser.
  bool lockedHolds = ::geteuid() != 0;
  struct Case {
    fs::path path;
    int32_t number;
    std::string description;
  };
  std::vector<Case> cases = {
      {dir.path() / "missing" / "out.xlsx", kErrPathNotFound,
       "パスが見つかりません: " + (dir.path() / "missing" / "out.xlsx").string()},
      {dir.path() / "folder", kErrPathFileAccess,
       "ファイルに書き込めません: " + (dir.path() / "folder").string() + " (Is a directory)"},
  };
  if (lockedHolds) {
    cases.push_back({dir.path() / "locked" / "out.xlsx", kErrPathFileAccess,
                     "ファイルに書き込めません: " + (dir.path() / "locked" / "out.xlsx").string() + " (Permission denied)"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.string());
    try {
      XlsxWorkbook wb(c.path);
      FAIL() << "no error";
    } catch (const RztError& e) {
      EXPECT_EQ(e.number(), c.number);
      EXPECT_EQ(e.description(), c.description);
    }
  }
  EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"folder", "locked"}));
}

// Every part of the zip is deflated with the fastest level: the flag bits 1
// and 2 of each local header say so (both set for level 1).
TEST(XlsxWorkbookTest, PartsAreDeflatedAtTheFastestLevel) {
  TempDir dir;
  const fs::path file = dir.path() / "book.xlsx";
  {
    XlsxWorkbook wb(file);
    const auto sheet = wb.addSheet("Method");
    for (int32_t row = 1; row <= 200; ++row) wb.setText(sheet, row, 1, "row " + std::to_string(row));
    wb.close();
  }
  const std::string zip = readFile(file);
  auto at16 = [&zip](size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(zip[at]) | static_cast<unsigned char>(zip[at + 1]) << 8);
  };
  int parts = 0;
  // The local headers one after the other, up to the central directory.
  for (size_t at = 0; at + 30 <= zip.size() && zip.compare(at, 4, "PK\x03\x04") == 0;) {
    EXPECT_EQ(at16(at + 8), 8u) << "deflated, at byte " << at;
    EXPECT_EQ(at16(at + 6) & 6, 6u) << "the fastest level, at byte " << at;
    const size_t compressed = at16(at + 18) | static_cast<size_t>(at16(at + 20)) << 16;
    at += 30 + at16(at + 26) + at16(at + 28) + compressed;
    ++parts;
  }
  EXPECT_GE(parts, 5);
  EXPECT_EQ(readXlsx(file).sheet("Method")->text(200, 1), "row 200");
}

// A workbook of one sheet "S" whose column A holds the texts, one a row.
void writeColumn(const fs::path& file, const std::vector<std::string>& texts) {
  XlsxWorkbook wb(file);
  const auto sheet = wb.addSheet("S");
  for (size_t i = 0; i < texts.size(); ++i) wb.setText(sheet, static_cast<int32_t>(i) + 1, 1, texts[i]);
  wb.close();
}

// Text that looks like the file format's escape of a character ("_x0041_"
// is "A") reads back as written: its underscore is escaped in turn.
TEST(XlsxWorkbookTest, TextThatLooksLikeAnEscapeReadsBackAsWritten) {
  const std::vector<std::string> texts = {
      "_x0041_.java", "_x0000_",  "_x005F_",        "a_x0041_b_x00e9_c", "_x0041__x0042_", "__x0041__",
      "_x0041",       "_X0041_",  "_x004G_",        "x_0041_",           "\x07_x0007_",   "_x_x0041_",
      "日本_xABCD_語", "_xffff_", "plain text _x", "_x12345_",
  };
  TempDir dir;
  const fs::path file = dir.path() / "escapes.xlsx";
  writeColumn(file, texts);
  const XlsxBook book = readXlsx(file);
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    EXPECT_EQ(texts[i], book.sheets[0].text(static_cast<int32_t>(i) + 1, 1));
  }
}

int32_t characters(std::string_view text) {
  int32_t n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

// The escaped text is what the file holds; it stays within the characters a
// cell can hold, cut between whole characters and escapes.
TEST(XlsxWorkbookTest, EscapedTextsStayWithinACell) {
  struct Case {
    const char* name;
    std::string text;
  };
  std::string manyEscapes;
  while (characters(manyEscapes) + 8 <= kCellMaxChars) manyEscapes += "日_x0041_";
  const std::string longPlain(kCellMaxChars - 7, 'a');
  const std::vector<Case> cases = {
      {"ManyEscapes", manyEscapes},
      {"OneEscapeAtTheEnd", longPlain + "_x0041_"},
      {"Untouched", std::string(kCellMaxChars, 'b')},
  };
  TempDir dir;
  const fs::path file = dir.path() / "long.xlsx";
  {
    XlsxWorkbook wb(file);
    const auto sheet = wb.addSheet("S");
    for (size_t i = 0; i < cases.size(); ++i) wb.setText(sheet, static_cast<int32_t>(i) + 1, 1, cases[i].text);
    wb.close();  // libxlsxwriter refuses a longer text: this would fail
  }
  const XlsxBook book = readXlsx(file);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    std::string scratch;
    const std::string_view escaped = xlsxCellText(cases[i].text, scratch);
    EXPECT_LE(characters(escaped), kCellMaxChars);
    const std::string back = book.sheets[0].text(static_cast<int32_t>(i) + 1, 1);
    EXPECT_TRUE(cases[i].text.starts_with(back)) << back.size();
    // Cut only where the escapes made the text too long.
    if (characters(cases[i].text) + 6 * 2 <= kCellMaxChars) EXPECT_EQ(cases[i].text, back);
  }
  std::string scratch;
  EXPECT_EQ("_x005F_x0041_.java", xlsxCellText("_x0041_.java", scratch));
  EXPECT_EQ(longPlain + "_x005F", xlsxCellText(longPlain + "_x0041_", scratch).substr(0, longPlain.size() + 6));
  const std::string plain = "nothing to escape _x00";
  EXPECT_EQ(plain.data(), xlsxCellText(plain, scratch).data()) << "the text itself, not a copy";
}

// A sheet past the format's last row is an overflow error that names the
// sheet and the limit and points to the formats that take more rows.
TEST(XlsxWorkbookTest, RowLimitErrorNamesTheSheetAndTheWayOut) {
  TempDir dir;
  XlsxWorkbook wb(dir.path() / "rows.xlsx");
  const auto sheet = wb.addSheet("Method");
  EXPECT_EQ(kWorkbookMaxRows, wb.maxRows());
  EXPECT_NO_THROW(wb.checkRow(sheet, kWorkbookMaxRows));
  try {
    wb.checkRow(sheet, kWorkbookMaxRows + 1);
    FAIL() << "no overflow";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrOverflow, e.number());
    for (const char* part : {"オーバーフローしました", "「Method」", "1,048,576", "-o x.json"}) {
      EXPECT_NE(std::string::npos, e.description().find(part)) << part << ": " << e.description();
    }
  }
}

// A report name of 255 bytes, the most a file name can have, works: the
// temporary names do not grow with it.
TEST(XlsxWorkbookTest, LongestFileNameWorks) {
  TempDir dir;
  const std::string name = std::string(255 - 5, 'n') + ".xlsx";
  const fs::path file = dir.path() / name;
  {
    XlsxWorkbook wb(file);
    wb.setText(wb.addSheet("S"), 1, 1, "long");
    wb.close();
  }
  EXPECT_EQ("long", readXlsx(file).sheets[0].text(1, 1));
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{name});
}

// The partial report of the longest name still has a name: its stem gives
// up whole characters at its end.
TEST(XlsxWorkbookTest, PartialReportOfTheLongestName) {
  struct Case {
    const char* name;
    std::string fileName;
    std::string partialName;
  };
  std::string japanese;
  while (japanese.size() + 3 + 5 <= 255) japanese += "日";  // 3 bytes each
  const std::vector<Case> cases = {
      {"Short", "report.xlsx", "report-partial.xlsx"},
      {"Longest", std::string(250, 'n') + ".xlsx", std::string(242, 'n') + "-partial.xlsx"},
      {"Wide", japanese + ".xlsx", japanese.substr(0, 240) + "-partial.xlsx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path partial = partialReportPath(dir.path() / c.fileName);
    EXPECT_EQ(dir.path() / c.partialName, partial);
    EXPECT_LE(partial.filename().string().size(), 255u);
    XlsxWorkbook wb(dir.path() / c.fileName);
    wb.setText(wb.addSheet("S"), 1, 1, "rows so far");
    wb.setPartial();
    wb.close();
    EXPECT_EQ("rows so far", readXlsx(partial).sheets[0].text(1, 1));
  }
}

// The same texts through a spreadsheet application: LibreOffice converts the
// workbook to CSV, and each cell reads as written. Skipped where LibreOffice
// is not installed (Debian: libreoffice-calc-nogui).
TEST(XlsxWorkbookTest, TextThatLooksLikeAnEscapeReadsBackInLibreOffice) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no soffice";
  const std::vector<std::string> texts = {"_x0041_.java", "_x0000_", "a_x005F_b", "_x0007_", "plain"};
  TempDir dir;
  const fs::path file = dir.path() / "lo.xlsx";
  writeColumn(file, texts);
  const std::string command = "cd " + dir.str() + " && timeout 300 soffice -env:UserInstallation=file://" + dir.str() +
                              "/profile --headless --convert-to csv --outdir " + dir.str() + " lo.xlsx >/dev/null 2>&1";
  ASSERT_EQ(0, std::system(command.c_str()));
  std::string expected;
  for (const std::string& text : texts) expected += text + "\n";
  EXPECT_EQ(expected, readFile(dir.path() / "lo.csv"));
}

}  // namespace
}  // namespace rzt::test
