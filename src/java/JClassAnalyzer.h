#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "java/IStatementRequester.h"
#include "records/IStatementCounter.h"
#include "records/Records.h"

namespace rzt {

class IAnalysisMonitor;
class IReportWriter;
class JMethodAnalyzer;
class PushBackReader;
class SymbolRuleMgr;

// Reads one class or interface declaration (or an anonymous class body) from
// the word stream and keeps its record: modifiers, names, list lengths and
// the counts of its fields, constants, methods, blocks and member classes.
// One object serves any number of declarations, one after the other.
class JClassAnalyzer final : public IStatementRequester {
 public:
  JClassAnalyzer();
  ~JClassAnalyzer() override;
  JClassAnalyzer(const JClassAnalyzer&) = delete;
  JClassAnalyzer& operator=(const JClassAnalyzer&) = delete;

  std::string getPackageName() const override;
  std::string getFileName() const override;
  const std::string& getFilePath() const override;
  bool isClassType() const { return record_.classType; }
  std::string getAccess() const { return record_.access; }
  std::string getClassName() const override { return record_.className; }
  const std::string& getClassNameNoPrefix() const { return record_.classNameNoPrefix; }
  int32_t getExtendsCount() const { return record_.extendsCount; }
  int32_t getImplementsCount() const { return record_.implementsCount; }
  int32_t getStatementCount() const { return record_.statementCount; }
  int32_t getInstanceVariableCount() const { return record_.instanceVariableCount; }
  int32_t getPublicInstanceVariableCount() const { return record_.publicInstanceVariableCount; }
  int32_t getClassVariableCount() const { return record_.classVariableCount; }
  int32_t getPublicClassVariableCount() const { return record_.publicClassVariableCount; }
  int32_t getConstantCount() const { return record_.constantCount; }
  int32_t getInstanceMethodCount() const { return record_.instanceMethodCount; }
  int32_t getPublicInstanceMethodCount() const { return record_.publicInstanceMethodCount; }
  int32_t getClassMethodCount() const { return record_.classMethodCount; }
  int32_t getPublicClassMethodCount() const { return record_.publicClassMethodCount; }
  int32_t getStaticBlockCount() const { return record_.staticBlockCount; }
  int32_t getInnerClassCount() const { return record_.innerClassCount; }
  bool isInnerClass() const { return record_.innerClass; }
  // The record as the getters read it; packageName and fileName are those
  // asked of the requester when the record was last handed over.
  const ClassRecord& record() const { return record_; }

  // Statements of static and initializer blocks: only the statement count is
  // kept; the other counts belong to no cell of a class.
  IStatementCounter& getStatementCounter() override { return counter_; }

  // Keeps the monitor and the report writer (either may be null), and hands
  // them on to the analyzers this object has already made.
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr);
  // Reads one declaration from its first word through its closing "}".
  void doAnalysis(PushBackReader& reader, IClassRequester& req, bool innerClass);
  // With "new" next: analyses the anonymous class that begins there (true),
  // or gives back every word it read (false).
  bool analyzeAnonymousClass(PushBackReader& reader, IClassRequester& requester);
  // Reads an anonymous class body from its "{"; clName is the type after
  // "new", line the line of that "new".
  void doAnalysisAnonymous(PushBackReader& reader, IClassRequester& req, const std::string& clName,
                           int32_t line = 0);

 private:
  void resetCounts(bool innerClass);
  void analyzeClassHead();
  void analyzeClassBody();
  void analyzeMember();
  void analyzeField();
  void analyzeMethod();
  void analyzeInnerClass();
  void analyzeBlock(bool initializer);
  int32_t skipGroup(std::string_view open, std::string_view close, PushBackReader& reader);
  JMethodAnalyzer& getMethodAnalyzer();
  JClassAnalyzer& getInnerClassAnalyzer();
  const SymbolRuleMgr& symbolRules();
  // Copies the requester's names into the record before it is handed over.
  void fillNames();

  std::unique_ptr<SymbolRuleMgr> symbolRules_;
  IAnalysisMonitor* anaMonitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;
  PushBackReader* reader_ = nullptr;
  IClassRequester* requester_ = nullptr;
  ClassRecord record_;
  ClassRecordCounter counter_{record_};
  std::unique_ptr<JMethodAnalyzer> methodAnalyzer_;
  std::unique_ptr<JClassAnalyzer> innerClassAnalyzer_;
  std::string typeName_;  // the anonymous-class detection's type name
};

}  // namespace rzt
