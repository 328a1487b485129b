#pragma once

#include <cstdint>

namespace rzt {

// Bounds the recursion of the analyzers over one word stream: statements in
// statements, classes in classes and classes in statements all count as one
// level each. Entering level kMaxNestingDepth + 1 raises error 50030 instead
// of running the machine's stack out on hostile input.
class NestingGuard final {
 public:
  static constexpr int32_t kMaxNestingDepth = 2000;
  static constexpr int32_t kErrNesting = 50030;

  NestingGuard();
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
