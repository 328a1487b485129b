#include "report/CellText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace rzt {
namespace {

TEST(CellTextTest, DisplayWidthCountsWideCharactersTwice) {
  struct Case {
    std::string text;
    int32_t width;
  };
  const std::vector<Case> cases = {
      {"", 0},           {"abc", 3},         {"ﾌｧｲﾙ名", 6},     {"全行", 4},
      {"ｽﾃｰﾄﾒﾝﾄ", 7},    {"Ａ１", 4},        {"한글", 4},       {"\xF0\x9F\x98\x80", 2},
      {"\xff", 1},       {"é", 1},           {"　", 2},
      // ASCII around and between the others, and bytes cut short.
      {"a全b", 4},        {"ab\xE5\x85", 4},    {"\x7F\x80x", 3},  {"Map$Entry<全>", 13},
  };
  for (const Case& c : cases) EXPECT_EQ(textDisplayWidth(c.text), c.width) << c.text;
}

TEST(CellTextTest, NumberWidthFollowsTheFormat) {
  struct Case {
    double value;
    std::string format;
    int32_t width;
  };
  const std::vector<Case> cases = {
      {0, "", 1},           {1234, "", 4},          {-12, "", 3},        {0.125, "", 5},
      {1234567, "#,##0_ ", 10}, {999, "#,##0_ ", 4}, {2.5, "0.0_ ", 4},   {123.25, "0.0_ ", 6},
      {0.25, "0.0%", 5},    {1.0 / 3, "", 11},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(numberDisplayWidth(c.value, c.format), c.width) << c.value << " " << c.format;
  }
}

// The general format's width is that of the value printed with ten
// significant digits, whatever way it is found.
TEST(CellTextTest, GeneralNumberWidthIsThatOfThePrintedValue) {
  const double values[] = {0.0,          -0.0,         1,           -1,         9,           10,
                           99,           100,          12345,       -12345,     999999999,   1000000000,
                           9999999999.0, 1e10,         -9999999999.0, -1e10,    12345678901.0, 1e15,
                           0.5,          -0.5,         1e-7,        2147483647, -2147483648.0, 4294967296.0,
                           1e300,        -1e300,       HUGE_VAL,    -HUGE_VAL,  NAN};
  for (double v : values) {
    char printed[64];
    const int n = std::snprintf(printed, sizeof printed, "%.10g", v);
    EXPECT_EQ(numberDisplayWidth(v, ""), std::clamp(n, 1, 11)) << printed;
  }
}

TEST(CellTextTest, FittedWidthIsBounded) {
  EXPECT_EQ(fittedColumnWidth(0), fittedColumnWidth(1));
  EXPECT_LT(fittedColumnWidth(10), fittedColumnWidth(20));
  EXPECT_EQ(fittedColumnWidth(20) - fittedColumnWidth(10), 10);
  EXPECT_EQ(fittedColumnWidth(5000), fittedColumnWidth(100000));
  EXPECT_LE(fittedColumnWidth(5000), 255);
}

TEST(CellTextTest, ValidTextIsCopiedUnchangedAndOtherTextMended) {
  struct Case {
    std::string in, out;
    bool valid;
  };
  const std::vector<Case> cases = {
      {"abc", "abc", true},
      {"日本\x01", "日本\x01", true},
      {"\xEF\xBF\xBE", "\xEF\xBF\xBD", false},  // U+FFFE is no XML character
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", false},
      {"\xE0\x80\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", false},
      {"ok\xF0\x9F\x98\x80", "ok\xF0\x9F\x98\x80", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isValidCellText(c.in), c.valid);
    std::string out = "x";
    appendValidCellText(c.in, out);
    EXPECT_EQ(out, "x" + c.out);
  }
}

}  // namespace
}  // namespace rzt
