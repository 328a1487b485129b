#pragma once

#include <cstdint>

#include "records/Records.h"

namespace rzt {

// The counting operations through which a statement adds to the member that
// holds it; each adds count to the counter of the same name. A receiver may
// keep only some of them (a class keeps the statement count).
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

// The counting operations on a method's record: all fifteen are kept.
class MethodRecordCounter final : public IStatementCounter {
 public:
  explicit MethodRecordCounter(MethodRecord& record) : record_(record) {}

  void addStatementCount(int32_t count) override { record_.statementCount += count; }
  void addMessagePassingCount(int32_t count) override { record_.messagePassingCount += count; }
  void addInstanciationCount(int32_t count) override { record_.instanciationCount += count; }
  void addVariableCount(int32_t count) override { record_.localVariables += count; }
  void addConstantCount(int32_t count) override { record_.localConstants += count; }
  void addIfStatementCount(int32_t count) override { record_.ifStatementCount += count; }
  void addForStatementCount(int32_t count) override { record_.forStatementCount += count; }
  void addWhileStatementCount(int32_t count) override { record_.whileStatementCount += count; }
  void addDoStatementCount(int32_t count) override { record_.doStatementCount += count; }
  void addSwitchStatementCount(int32_t count) override { record_.switchStatementCount += count; }
  void addReturnStatementCount(int32_t count) override { record_.returnStatementCount += count; }
  void addTryStatementCount(int32_t count) override { record_.tryStatementCount += count; }
  void addThrowStatementCount(int32_t count) override { record_.throwStatementCount += count; }
  void addSynchronizedStatementCount(int32_t count) override { record_.synchronizedStatementCount += count; }
  void addAnonymousClassCount(int32_t count) override { record_.anonymousClassCount += count; }

 private:
  MethodRecord& record_;
};

// The counting operations on a class's record, for the statements of its
// initializer blocks (and, in the syntax-tree analysis, of the lambdas of its
// field initializers): only the statement count is kept; the other counts
// belong to no cell of a class.
class ClassRecordCounter final : public IStatementCounter {
 public:
  explicit ClassRecordCounter(ClassRecord& record) : record_(record) {}

  void addStatementCount(int32_t count) override { record_.statementCount += count; }
  void addMessagePassingCount(int32_t) override {}
  void addInstanciationCount(int32_t) override {}
  void addVariableCount(int32_t) override {}
  void addConstantCount(int32_t) override {}
  void addIfStatementCount(int32_t) override {}
  void addForStatementCount(int32_t) override {}
  void addWhileStatementCount(int32_t) override {}
  void addDoStatementCount(int32_t) override {}
  void addSwitchStatementCount(int32_t) override {}
  void addReturnStatementCount(int32_t) override {}
  void addTryStatementCount(int32_t) override {}
  void addThrowStatementCount(int32_t) override {}
  void addSynchronizedStatementCount(int32_t) override {}
  void addAnonymousClassCount(int32_t) override {}

 private:
  ClassRecord& record_;
};

}  // namespace rzt
