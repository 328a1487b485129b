#include "cli/SummaryPrinter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/TerminalText.h"

namespace rzt {
namespace {

struct NumberCase {
  double value;
  const char* format;
  const char* shown;
};

TEST(SummaryPrinter, NumbersAsTheirFormatShowsThem) {
  const std::vector<NumberCase> cases = {
      {0, "#,##0_ ", "0"},
      {999, "#,##0_ ", "999"},
      {1000, "#,##0_ ", "1,000"},
      {1234567, "#,##0_ ", "1,234,567"},
      {2147483647, "#,##0_ ", "2,147,483,647"},
      {-1234, "#,##0_ ", "-1,234"},
      {100000, "#,##0_ ", "100,000"},
      {1, "0.0_ ", "1.0"},
      {3.25, "0.0_ ", "3.3"},  // halves away from zero, as the sheet shows them
      {2.5, "#,##0_ ", "3"},
      {2.0 / 3.0, "0.0_ ", "0.7"},
      {0.25, "0.0%", "25.0%"},
      {0.3333, "0.0%", "33.3%"},
      {1, "0.0%", "100.0%"},
      {14, "", "14"},
      {0.5, "", "0.5"},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.value));
    EXPECT_EQ(c.shown, formatSummaryNumber(c.value, c.format));
  }
}

TEST(SummaryPrinter, TableOfTwoAlignedColumns) {
  const std::vector<OutputMgr::SummaryRow> rows = {
      {2, "ファイル数", 3.0, ""},
      {3, "パッケージ数", 1.0, ""},
      {10, "行数", 12345.0, "#,##0_ "},
      {15, "１パッケージ当たり平均クラス数", std::nullopt, "0.0_ "},
      {21, "平均コメント比率", 0.25, "0.0%"},
  };
  const std::string table = summaryTable(rows);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = table.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(table.substr(start, end - start));
  }
  // Heading, rows 2 and 3, empty rows 4 to 9, row 10, empty 11 to 14, 15,
  // empty 16 to 20, 21.
  ASSERT_EQ(1u + 2 + 6 + 1 + 4 + 1 + 5 + 1, lines.size()) << table;
  EXPECT_EQ(0u, lines[0].find("メトリクス"));
  EXPECT_EQ(0u, lines[1].find("ファイル数"));
  EXPECT_EQ("", lines[3]);
  EXPECT_EQ(0u, lines[9].find("行数"));
  EXPECT_EQ(0u, lines[14].find("１パッケージ当たり平均クラス数"));
  EXPECT_EQ(0u, lines[20].find("平均コメント比率"));

  // Every filled line is equally wide and ends in its value.
  const std::vector<std::pair<size_t, std::string>> values = {
      {0, "値"}, {1, "3"}, {2, "1"}, {9, "12,345"}, {14, "-"}, {20, "25.0%"}};
  const int32_t width = terminalWidth(lines[0]);
  for (const auto& [index, value] : values) {
    SCOPED_TRACE(lines[index]);
    EXPECT_EQ(width, terminalWidth(lines[index]));
    ASSERT_GE(lines[index].size(), value.size());
    EXPECT_EQ(value, lines[index].substr(lines[index].size() - value.size()));
    // At least two spaces stand between label and value.
    EXPECT_EQ("  ", lines[index].substr(lines[index].size() - value.size() - 2, 2));
  }
  // The longest label is followed by exactly two spaces before the widest value.
  EXPECT_EQ(terminalWidth("１パッケージ当たり平均クラス数") + 2 + 6, width);
}

TEST(SummaryPrinter, EmptySummaryIsTheHeadingOnly) {
  EXPECT_EQ("メトリクス  値\n", summaryTable({}));
}

}  // namespace
}  // namespace rzt
