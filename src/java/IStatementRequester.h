#pragma once

#include "java/IClassRequester.h"
#include "records/IStatementCounter.h"

namespace rzt {

// An analyzer whose statements a statement analyzer reads: its counting
// operations take the statements' counts, and it answers for the local and
// anonymous classes declared in them.
class IStatementRequester : public IClassRequester {
 public:
  virtual IStatementCounter& getStatementCounter() = 0;
};

}  // namespace rzt
