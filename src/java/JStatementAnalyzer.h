#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "java/IStatementRequester.h"

namespace rzt {

class IAnalysisMonitor;
class IReportWriter;
class JClassAnalyzer;
class PushBackReader;
class SymbolRuleMgr;

// Reads one statement with every statement nested in it and passes what it
// finds at once to its requester's counting operations; keeps no counts.
class JStatementAnalyzer final {
 public:
  JStatementAnalyzer();
  ~JStatementAnalyzer();
  JStatementAnalyzer(const JStatementAnalyzer&) = delete;
  JStatementAnalyzer& operator=(const JStatementAnalyzer&) = delete;

  // Keeps the monitor and the report writer for the classes made here;
  // calling it again only replaces them.
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr);
  // Reads one statement, its first word next in reader; counts go to req.
  void doAnalysis(PushBackReader& reader, IStatementRequester& req);

 private:
  void analyzeStatement();
  void skipLabels();
  void analyzeIf();
  void analyzeSwitch();
  void skipCaseLabels();
  void skipCondition() { skipGroup("(", ")"); }
  void analyzeWhile();
  void analyzeDo();
  void analyzeFor();
  void skipForControl() { skipGroup("(", ")"); }
  void analyzeTry();
  void analyzeSynchronized();
  void analyzeReturn();
  void analyzeThrow();
  void analyzeJump();
  void analyzeLocalClass();
  void analyzeBlockOrSimple();
  void analyzeSimpleStatement();
  void checkLocalDeclaration();
  void scanExpression();
  int32_t skipGroup(std::string_view open, std::string_view close);
  JClassAnalyzer& getClassAnalyzer();
  const SymbolRuleMgr& symbolRules();

  std::unique_ptr<SymbolRuleMgr> symbolRules_;
  IAnalysisMonitor* anaMonitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;
  PushBackReader* reader_ = nullptr;
  IStatementRequester* requester_ = nullptr;
  IStatementCounter* counter_ = nullptr;  // the requester's counting operations
  std::unique_ptr<JClassAnalyzer> anonymousDetector_;
};

}  // namespace rzt
