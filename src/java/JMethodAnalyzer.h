#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "java/IStatementCounter.h"
#include "java/Records.h"

namespace rzt {

class AnalysisMonitor;
class IReportWriter;
class JClassAnalyzer;
class JStatementAnalyzer;
class PushBackReader;

// Reads one method or constructor: its head, then its body statement by
// statement, whose counts the statement analyzer adds here. Also answers for
// the local and anonymous classes of the body, by asking its class.
class JMethodAnalyzer final : public IStatementRequester {
 public:
  JMethodAnalyzer();
  ~JMethodAnalyzer() override;
  JMethodAnalyzer(const JMethodAnalyzer&) = delete;
  JMethodAnalyzer& operator=(const JMethodAnalyzer&) = delete;

  std::string getPackageName() const override;
  std::string getFileName() const override;
  std::string getClassName() const override;
  bool isConstructorMethod() const { return record_.constructorMethod; }
  bool isStaticMethod() const { return record_.staticMethod; }
  bool isAbstractMethod() const { return record_.abstractMethod; }
  bool isFinalMethod() const { return record_.finalMethod; }
  bool isSynchronizedMethod() const { return record_.synchronizedMethod; }
  bool isNativeMethod() const { return record_.nativeMethod; }
  std::string getAccess() const { return record_.access; }
  std::string getMethodName() const { return record_.methodName; }
  bool hasReturn() const { return record_.returnsValue; }
  int32_t getArgumentCount() const { return record_.argumentCount; }
  int32_t getThrowsCount() const { return record_.throwsCount; }
  int32_t getLocalVariables() const { return record_.localVariables; }
  int32_t getLocalConstants() const { return record_.localConstants; }
  int32_t getStatementCount() const { return record_.statementCount; }
  int32_t getMessagePassingCount() const { return record_.messagePassingCount; }
  int32_t getInstanciationCount() const { return record_.instanciationCount; }
  int32_t getIfStatementCount() const { return record_.ifStatementCount; }
  int32_t getForStatementCount() const { return record_.forStatementCount; }
  int32_t getWhileStatementCount() const { return record_.whileStatementCount; }
  int32_t getDoStatementCount() const { return record_.doStatementCount; }
  int32_t getSwitchStatementCount() const { return record_.switchStatementCount; }
  int32_t getReturnStatementCount() const { return record_.returnStatementCount; }
  int32_t getTryStatementCount() const { return record_.tryStatementCount; }
  int32_t getThrowStatementCount() const { return record_.throwStatementCount; }
  int32_t getSynchronizedStatementCount() const { return record_.synchronizedStatementCount; }
  int32_t getAnonymousClassCount() const { return record_.anonymousClassCount; }
  // The record as the getters read it; the three names are those asked of
  // the class when the record was last handed over.
  const MethodRecord& record() const { return record_; }

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
  void addSynchronizedStatementCount(int32_t count) override {
    record_.synchronizedStatementCount += count;
  }
  void addAnonymousClassCount(int32_t count) override { record_.anonymousClassCount += count; }

  // Keeps the monitor and the report writer (either may be null), and hands
  // them on to the statement analyzer if it exists.
  void init(AnalysisMonitor* anaMonitor, IReportWriter* oMgr);
  // Reads one method or constructor from its first word through the "}" of
  // its body, or through its ";" when it has none.
  void doAnalysis(PushBackReader& reader, JClassAnalyzer& classAnalyzer);

 private:
  void resetCounts();
  void analyzeMethodHead();
  void analyzeMethodBody();
  JStatementAnalyzer& getStatementAnalyzer();
  // Copies the class's names into the record before it is handed over.
  void fillNames();

  AnalysisMonitor* anaMonitor_ = nullptr;
  IReportWriter* oMgr_ = nullptr;
  PushBackReader* reader_ = nullptr;
  JClassAnalyzer* classAnalyzer_ = nullptr;
  MethodRecord record_;
  std::unique_ptr<JStatementAnalyzer> statementAnalyzer_;
  // The head's return type and name words; kept to reuse their storage.
  std::string typeWord_;
  std::string nameWord_;
};

}  // namespace rzt
