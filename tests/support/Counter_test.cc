#include "support/Counter.h"

#include <gtest/gtest.h>

#include <climits>

namespace rzt {
namespace {

TEST(CounterTest, AdditionPastTheLimitRaisesOverflowAndKeepsTheValue) {
  Counter c(INT32_MAX - 1);
  c += 1;
  EXPECT_EQ(c.value(), INT32_MAX);
  try {
    c += 1;
    FAIL() << "no overflow";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(e.description(), "オーバーフローしました");
  }
  EXPECT_EQ(c.value(), INT32_MAX);
  EXPECT_THROW(checkedAdd(INT32_MIN, -1), RztError);
  EXPECT_EQ(checkedAdd(-5, 3), -2);
}

}  // namespace
}  // namespace rzt
