#include "options/OptionNumber.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/RztError.h"

namespace rzt {
namespace {

// A field text with what the zoom getter and a threshold getter make of it;
// nullopt stands for the overflow error.
struct FieldCase {
  std::string text;
  std::optional<int32_t> zoom;
  std::optional<int32_t> threshold;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

std::optional<int32_t> readOrOverflow(int32_t (*read)(std::string_view), const std::string& text) {
  try {
    return read(text);
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrOverflow);
    EXPECT_EQ(e.description(), "オーバーフローしました");
    return std::nullopt;
  }
}

class OptionNumberTest : public testing::TestWithParam<FieldCase> {};

TEST_P(OptionNumberTest, ZoomAndThresholdReading) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(readOrOverflow(&readZoomOption, c.text), c.zoom);
  EXPECT_EQ(readOrOverflow(&readOptionNumber, c.text), c.threshold);
}

const std::vector<FieldCase> kEdgeTable = {
    {"24", 80, 24},
    {"25", 25, 25},
    {"400", 400, 400},
    {"401", 80, 401},
    {"abc", 80, 0},
    {"", 80, 0},
    {"100%", 100, 100},
    {"1 0 0", 100, 100},
    {"2.5", 80, 2},
    {"3.5", 80, 4},
    {"250.5", 250, 250},
    {"-5", 80, -5},
    {"&H20", 32, 32},
    {"40000", std::nullopt, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(EdgeTable, OptionNumberTest, testing::ValuesIn(kEdgeTable));

const std::vector<FieldCase> kMoreCases = {
    // Blanks, tabs and line feeds anywhere; a carriage return ends the number.
    {" \t1\n2 ", 80, 12},
    {"1\r2", 80, 1},
    // Exponents with E or D, either case, signed.
    {"1E2", 100, 100},
    {"1.5e2", 150, 150},
    {"3D2", 300, 300},
    {"25d1", 250, 250},
    {"2500E-1", 250, 250},
    {"1E", 80, 1},
    {"1E+", 80, 1},
    {"1E999", std::nullopt, std::nullopt},
    {"1E-999", 80, 0},
    // Octal and hexadecimal, either case; the number ends at the first other digit.
    {"&O17", 80, 15},
    {"&o777", 80, 511},
    {"&O18", 80, 1},
    {"&h1F", 31, 31},
    {"&HFFFF", std::nullopt, std::nullopt},
    {"&H7FFF", 80, 32767},
    {"&H", 80, 0},
    {"&X12", 80, 0},
    // Signs: one optional sign, blanks between sign and digits ignored.
    {"+30", 30, 30},
    {"- 7", 80, -7},
    {"--7", 80, 0},
    {"-", 80, 0},
    {"-&H20", 80, 0},
    // Decimal point forms and halves to even, negative halves included.
    {".5", 80, 0},
    {"1.5", 80, 2},
    {"0.5000001", 80, 1},
    {"-2.5", 80, -2},
    {"-3.5", 80, -4},
    {".", 80, 0},
    {"12.3.4", 80, 12},
    // The range, with rounding before the check.
    {"32767", 80, 32767},
    {"32767.5", std::nullopt, std::nullopt},
    {"-32768", 80, -32768},
    {"-32768.5", 80, -32768},
    {"-32769", std::nullopt, std::nullopt},
    {"99999999999999999999", std::nullopt, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(MoreCases, OptionNumberTest, testing::ValuesIn(kMoreCases));

}  // namespace
}  // namespace rzt
