#pragma once

#include <cstdint>

#include "support/RztError.h"

namespace rzt {

// Bounds the recursion of the analyzers over one word stream: statements in
// statements, classes in classes and classes in statements all count as one
// level each. Entering level kMaxNestingDepth + 1 raises error 50030, whose
// source names the analyzer that went in too deep, instead of running the
// machine's stack out on hostile input.
class NestingGuard final {
 public:
  static constexpr int32_t kMaxNestingDepth = 2000;
  static constexpr int32_t kErrNesting = rzt::kErrNesting;

  // source: the analyzer entering the level, named by the error.
  explicit NestingGuard(const char* source);
  ~NestingGuard() { --depth_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

  // The levels entered and not yet left on this thread.
  static int32_t depth() { return depth_; }

 private:
  // The analysis runs on one thread; each thread has its own recursion.
  static thread_local int32_t depth_;
};

}  // namespace rzt
