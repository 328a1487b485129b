#pragma once

#include <cstdint>

#include "java/IClassRequester.h"

namespace rzt {

// The counting operations a statement analyzer calls on the analyzer it reads
// statements for; each adds count to the counter of the same name. A
// receiver may keep only some of them (a class keeps the statement count).
class IStatementCounter {
 public:
  virtual ~IStatementCounter() = default;
  virtual void addStatementCount(int32_t count) = 0;
  virtual void addMessagePassingCount(int32_t count) = 0;
  virtual void addInstanciationCount(int32_t count) = 0;
  virtual void addVariableCount(int32_t count) = 0;
  virtual void addConstantCount(int32_t count) = 0;
  virtual void addIfStatementCount(int32_t count) = 0;
  virtual void addForStatementCount(int32_t count) = 0;
  virtual void addWhileStatementCount(int32_t count) = 0;
  virtual void addDoStatementCount(int32_t count) = 0;
  virtual void addSwitchStatementCount(int32_t count) = 0;
  virtual void addReturnStatementCount(int32_t count) = 0;
  virtual void addTryStatementCount(int32_t count) = 0;
  virtual void addThrowStatementCount(int32_t count) = 0;
  virtual void addSynchronizedStatementCount(int32_t count) = 0;
  virtual void addAnonymousClassCount(int32_t count) = 0;
};

// An analyzer whose statements a statement analyzer reads: it takes their
// counts and answers for the local and anonymous classes declared in them.
class IStatementRequester : public IStatementCounter, public IClassRequester {};

}  // namespace rzt
