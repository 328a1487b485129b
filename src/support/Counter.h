#pragma once

#include <cstdint>

#include "support/RztError.h"

namespace rzt {

// A 32-bit signed count whose additions are checked: passing 2147483647 (or
// -2147483648) raises the overflow error and leaves the value unchanged.
class Counter {
 public:
  constexpr Counter() = default;
  constexpr explicit Counter(int32_t value) : value_(value) {}

  Counter& operator+=(int32_t amount) {
    int32_t sum;
    if (__builtin_add_overflow(value_, amount, &sum)) raiseOverflow();
    value_ = sum;
    return *this;
  }
  Counter& operator++() { return *this += 1; }

  constexpr int32_t value() const { return value_; }
  constexpr operator int32_t() const { return value_; }

 private:
  int32_t value_ = 0;
};

// A checked addition of two 32-bit values, for sums that are not counters.
inline int32_t checkedAdd(int32_t a, int32_t b) {
  int32_t sum;
  if (__builtin_add_overflow(a, b, &sum)) raiseOverflow();
  return sum;
}

}  // namespace rzt
