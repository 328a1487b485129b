// The compact model of a report's sheets: cells, columns, keys, bounds.

#include "compare/ReportModel.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "compare/SheetTableBuilder.h"

namespace rzt {
namespace {

ReportCell number(double v) {
  ReportCell c;
  c.kind = ReportCell::Kind::kNumber;
  c.number = v;
  return c;
}

ReportCell text(std::string_view t) {
  ReportCell c;
  c.kind = ReportCell::Kind::kText;
  c.text = t;
  return c;
}

TEST(SheetTable, KeepsNumbersTextsAndEmptyCellsOfEveryKind) {
  SheetTable table(ReportSheetKind::kMethod);
  const int32_t a = table.addColumn("a");
  const int32_t b = table.addColumn("b");
  const double values[] = {0, -1, 2147483647, -2147483648.0, 2147483648.0, 4.3, -0.5, 1e300};
  for (double v : values) {
    table.beginRow();
    table.setNumber(a, v);
    table.setText(b, std::to_string(v));
    table.endRow();
  }
  ASSERT_EQ(static_cast<int32_t>(std::size(values)), table.rowCount());
  for (int32_t r = 0; r < table.rowCount(); ++r) {
    EXPECT_EQ(ReportCell::Kind::kNumber, table.cell(r, a).kind);
    EXPECT_EQ(values[r], table.cell(r, a).number);
    EXPECT_EQ(std::to_string(values[r]), table.cell(r, b).text);
  }
  // Outside the table: no value.
  EXPECT_TRUE(table.cell(-1, a).empty());
  EXPECT_TRUE(table.cell(0, 7).empty());
  EXPECT_TRUE(table.cell(99, a).empty());
}

TEST(SheetTable, DropsRowsWithoutValueAndTreatsEmptyTextAndNanAsNone) {
  SheetTable table(ReportSheetKind::kSumm);
  const int32_t a = table.addColumn("a");
  table.beginRow();
  table.setText(a, "");
  table.setNumber(a, std::numeric_limits<double>::quiet_NaN());
  table.endRow();
  table.beginRow();
  table.setText(a, "x");
  table.setNumber(a, std::numeric_limits<double>::infinity());  // replaces the text: no value
  table.setText(a, "y");
  table.endRow();
  ASSERT_EQ(1, table.rowCount());
  EXPECT_EQ("y", table.cell(0, a).text);
}

TEST(SheetTable, ColumnAddedLaterWidensEarlierRows) {
  SheetTable table(ReportSheetKind::kFile);
  const int32_t a = table.addColumn("a");
  for (int i = 0; i < 3; ++i) {
    table.beginRow();
    table.setNumber(a, i);
    table.endRow();
  }
  table.beginRow();
  const int32_t c = table.addColumn("c");
  const int32_t b = table.addColumn("b", a);  // placed between a and c
  table.setText(c, "third");
  table.setNumber(b, 7);
  table.endRow();
  EXPECT_EQ((std::vector<int32_t>{a, b, c}), table.columns());
  ASSERT_EQ(4, table.rowCount());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(i, table.cell(i, a).number);
    EXPECT_TRUE(table.cell(i, b).empty());
    EXPECT_TRUE(table.cell(i, c).empty());
  }
  EXPECT_EQ("third", table.cell(3, c).text);
  EXPECT_EQ(7, table.cell(3, b).number);
}

TEST(SheetTable, TextsOfManyChunksStayIntact) {
  SheetTable table(ReportSheetKind::kMethod);
  const int32_t a = table.addColumn("a");
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) texts.push_back(std::string(10000 + i, static_cast<char>('a' + i % 26)));
  for (const std::string& t : texts) {
    table.beginRow();
    table.setText(a, t);
    table.endRow();
  }
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i], table.cell(static_cast<int32_t>(i), a).text);
}

TEST(SheetTable, TextIsMadeValidCellTextAsTheWriterWritesIt) {
  SheetTable table(ReportSheetKind::kFile);
  const int32_t a = table.addColumn("a");
  table.beginRow();
  table.setText(a, std::string("a\xFF" "b", 3));
  table.endRow();
  EXPECT_EQ("a\xEF\xBF\xBD" "b", table.cell(0, a).text);
}

TEST(SheetTable, BoundsOfAReaderAreKept) {
  ReportModel model("x", ReportLimits{4, 10, 100, 8, 1000});
  SheetTable& table = model.addSheet(ReportSheetKind::kFile);
  for (int c = 0; c < 4; ++c) table.addColumn("c" + std::to_string(c));
  EXPECT_THROW(table.addColumn("one too many"), ReportFormatError);
  table.beginRow();
  EXPECT_THROW(table.setText(0, "nine char"), ReportFormatError);
  table.setNumber(0, 1);
  table.endRow();
  table.beginRow();
  table.setNumber(0, 1);
  table.endRow();
  // 2 rows of 4 slots: the third row passes 10 cells.
  EXPECT_THROW(table.beginRow(), ReportFormatError);
}

struct SameValueCase {
  const char* name;
  ReportCell a, b;
  bool same;
};

void PrintTo(const SameValueCase& c, std::ostream* out) { *out << c.name; }

class SameValue : public testing::TestWithParam<SameValueCase> {};

TEST_P(SameValue, AsTheComparisonSeesIt) {
  const SameValueCase& c = GetParam();
  EXPECT_EQ(c.same, sameValue(c.a, c.b));
  EXPECT_EQ(c.same, sameValue(c.b, c.a));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SameValue,
    testing::ValuesIn(std::vector<SameValueCase>{
        {"BothEmpty", {}, {}, true},
        {"EmptyAndZero", {}, number(0), false},
        {"EmptyAndText", {}, text("x"), false},
        {"EqualWholeNumbers", number(12), number(12), true},
        {"DifferentWholeNumbers", number(12), number(13), false},
        // An .xlsx keeps 16 significant digits, LibreOffice 15.
        {"SixteenDigitsOfARatio", number(0.10789766407119021), number(0.1078976640711902), true},
        {"FifteenDigitsOfAnAverage", number(64.21428571428571), number(64.2142857142857), true},
        {"AveragesThatDiffer", number(4.3), number(4.300001), false},
        {"CountKeptAsText", number(12), text("12"), true},
        {"NegativeRealKeptAsText", number(-3.5), text("-3.5"), true},
        {"TextThatIsNoNumber", number(12), text("12x"), false},
        {"TextWithExponentIsNoDecimal", number(1000), text("1e3"), false},
        {"EqualTexts", text("public"), text("public"), true},
        {"TextsThatDiffer", text("public"), text("private"), false},
        {"NumericTextsAreTexts", text("1.0"), text("1"), false},
    }),
    [](const testing::TestParamInfo<SameValueCase>& info) { return std::string(info.param.name); });

struct HeadingCase {
  const char* name;
  std::vector<std::string> headings;
  int32_t dataColumns;  // cells written in row 2, columns 1..n
  std::vector<std::string> keys;
};

void PrintTo(const HeadingCase& c, std::ostream* out) { *out << c.name; }

class PositionalKeys : public testing::TestWithParam<HeadingCase> {};

// The keys are those the JSON report gives the same columns.
TEST_P(PositionalKeys, FollowTheJsonReport) {
  const HeadingCase& c = GetParam();
  SheetTable table(ReportSheetKind::kClass);
  PositionalSheetBuilder builder(table);
  for (size_t i = 0; i < c.headings.size(); ++i) builder.setText(1, static_cast<int32_t>(i) + 1, c.headings[i]);
  for (int32_t column = 1; column <= c.dataColumns; ++column) builder.setNumber(2, column, column);
  builder.finish();
  std::vector<std::string> keys;
  for (int32_t col : table.columns()) keys.push_back(table.heading(col));
  EXPECT_EQ(c.keys, keys);
  EXPECT_TRUE(table.headingRowKnown());
  ASSERT_EQ(c.dataColumns > 0 ? 1 : 0, table.rowCount());
  for (int32_t column = 1; column <= c.dataColumns; ++column) EXPECT_EQ(column, table.cell(0, column - 1).number);
}

INSTANTIATE_TEST_SUITE_P(
    Headings, PositionalKeys,
    testing::ValuesIn(std::vector<HeadingCase>{
        {"Plain", {"a", "b"}, 2, {"a", "b"}},
        {"ColumnWithoutHeading", {"a", "", "c"}, 3, {"a", "B", "c"}},
        {"CellsRightOfTheHeadings", {"a"}, 3, {"a", "B", "C"}},
        {"HeadingUsedTwice", {"a", "a", "a"}, 3, {"a", "a (B)", "a (C)"}},
        {"HeadingThatIsALetterName", {"B", ""}, 2, {"B", "B (B)"}},
        {"NoRows", {"x", "y"}, 0, {"x", "y"}},
    }),
    [](const testing::TestParamInfo<HeadingCase>& info) { return std::string(info.param.name); });

TEST(PositionalSheetBuilder, CellsOfARowComeInAnyOrderRowsAscending) {
  SheetTable table(ReportSheetKind::kClass);
  PositionalSheetBuilder builder(table);
  builder.setText(1, 2, "b");
  builder.setText(1, 1, "a");
  builder.setNumber(2, 2, 20);
  builder.setNumber(2, 1, 10);
  builder.setNumber(5, 1, 50);  // rows 3 and 4 have no value
  EXPECT_THROW(builder.setNumber(4, 1, 40), std::logic_error);
  builder.finish();
  ASSERT_EQ(2, table.rowCount());
  EXPECT_EQ(10, table.cell(0, 0).number);
  EXPECT_EQ(20, table.cell(0, 1).number);
  EXPECT_EQ(50, table.cell(1, 0).number);
}

TEST(KeyedSheetBuilder, PlacesANewKeyRightOfTheKeyBeforeItInItsRow) {
  SheetTable table(ReportSheetKind::kMethod);
  KeyedSheetBuilder builder(table);
  auto row = [&](std::vector<std::string> keys) {
    builder.beginRow();
    for (const std::string& k : keys) table.setText(builder.column(k), "v");
    builder.endRow();
  };
  row({"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ｱｸｾｽ"});
  row({"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "抽象", "ｱｸｾｽ"});
  row({"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ｱｸｾｽ", "native"});
  row({"ｸﾗｽ名"});
  std::vector<std::string> keys;
  for (int32_t col : table.columns()) keys.push_back(table.heading(col));
  EXPECT_EQ((std::vector<std::string>{"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "抽象", "ｱｸｾｽ", "native"}), keys);
  EXPECT_EQ(4, table.rowCount());
  EXPECT_FALSE(table.headingRowKnown());
}

TEST(KeyedSheetBuilder, RefusesAKeyTwiceInOneRow) {
  SheetTable table(ReportSheetKind::kFile);
  KeyedSheetBuilder builder(table);
  builder.beginRow();
  builder.column("a");
  builder.column("b");
  EXPECT_THROW(builder.column("a"), ReportFormatError);
}

TEST(ReportModel, SyntaxModeFromTheFileSheet) {
  ReportModel none;
  EXPECT_EQ(ReportModel::SyntaxMode::kUnknown, none.syntaxMode());
  ReportModel empty;
  empty.addSheet(ReportSheetKind::kFile).addColumn("ﾌｧｲﾙ名");
  EXPECT_EQ(ReportModel::SyntaxMode::kUnknown, empty.syntaxMode());
  for (bool modern : {false, true}) {
    ReportModel model;
    PositionalSheetBuilder b(model.addSheet(ReportSheetKind::kFile));
    b.setText(1, 1, "ﾌｧｲﾙ名");
    if (modern) b.setText(1, 2, "構文ｴﾗｰ");
    b.setText(2, 1, "A.java");
    b.finish();
    EXPECT_EQ(modern ? ReportModel::SyntaxMode::kModern : ReportModel::SyntaxMode::kClassic, model.syntaxMode());
  }
}

}  // namespace
}  // namespace rzt
