#include "support/RztError.h"

#include <utility>

namespace rzt {

RztError::RztError(int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {}

void raiseOverflow() {
  throw RztError(kErrOverflow, "", "オーバーフローしました");
}

}  // namespace rzt
