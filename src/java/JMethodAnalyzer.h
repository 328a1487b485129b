#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "java/IStatementRequester.h"
#include "records/IStatementCounter.h"
#include "records/Records.h"

namespace rzt {

class IAnalysisMonitor;
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
  const std::string& getFilePath() const override;
  std::string getClassName() const override;
  bool isConstructorMethod() const { return record_.constructorMethod; }
  bool isStaticMethod() const { return record_.staticMethod; }
  bool isAbstractMethod() const { return record_.abstractMethod; }
  bool isFinalMethod() const { return record_.finalMethod; }
  bool isNativeMethod() const { return record_.nativeMethod; }
  std::string getAccess() const { return record_.access; }
  std::string getMethodName() const { return record_.methodName; }
  bool hasReturn() const { return record_.returnsValue; }
  int32_t getArgumentCount() const { return record_.argumentCount; }
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
  int32_t getAnonymousClassCount() const { return record_.anonymousClassCount; }
  // The record as the getters read it; the three names are those asked of
  // the class when the record was last handed over.
  const MethodRecord& record() const { return record_; }

  IStatementCounter& getStatementCounter() override { return counter_; }

  // Keeps the monitor and the report writer (either may be null), and hands
  // them on to the statement analyzer if it exists.
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr);
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

  IAnalysisMonitor* anaMonitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;
  PushBackReader* reader_ = nullptr;
  JClassAnalyzer* classAnalyzer_ = nullptr;
  MethodRecord record_;
  MethodRecordCounter counter_{record_};
  std::unique_ptr<JStatementAnalyzer> statementAnalyzer_;
  // The head's return type and name words; kept to reuse their storage.
  std::string typeWord_;
  std::string nameWord_;
  uint32_t typeOffset_ = 0;
  uint32_t nameOffset_ = 0;
};

}  // namespace rzt
