#include "java/NestingGuard.h"

namespace rzt {

thread_local int32_t NestingGuard::depth_ = 0;

NestingGuard::NestingGuard(const char* source) {
  if (depth_ >= kMaxNestingDepth) throw RztError(rzt::kErrNesting, source, kTextNesting);
  ++depth_;
}

}  // namespace rzt
