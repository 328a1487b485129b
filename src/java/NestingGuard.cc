#include "java/NestingGuard.h"

#include "support/RztError.h"

namespace rzt {

thread_local int32_t NestingGuard::depth_ = 0;

NestingGuard::NestingGuard() {
  if (depth_ >= kMaxNestingDepth) {
    throw RztError(kErrNesting, "JStatementAnalyzer", "ネストが深過ぎます");
  }
  ++depth_;
}

}  // namespace rzt
