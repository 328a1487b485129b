#include "java/JStatementAnalyzer.h"

#include <string>
#include <string_view>

#include "java/JClassAnalyzer.h"
#include "java/NestingGuard.h"
#include "reading/PushBackReader.h"
#include "reading/SymbolRuleMgr.h"
#include "support/Counter.h"

namespace rzt {

using namespace std::string_view_literals;

JStatementAnalyzer::JStatementAnalyzer() = default;
JStatementAnalyzer::~JStatementAnalyzer() = default;

void JStatementAnalyzer::init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  anaMonitor_ = anaMonitor;
  reportWriter_ = oMgr;
  if (anonymousDetector_) anonymousDetector_->init(anaMonitor, oMgr);
}

void JStatementAnalyzer::doAnalysis(PushBackReader& reader, IStatementRequester& req) {
  reader_ = &reader;
  requester_ = &req;
  counter_ = &req.getStatementCounter();
  analyzeStatement();
}

void JStatementAnalyzer::analyzeStatement() {
  NestingGuard level("JStatementAnalyzer");
  skipLabels();
  const std::string& w = reader_->preReadWord();
  if (w == "if"sv) {
    analyzeIf();
  } else if (w == "switch"sv) {
    analyzeSwitch();
  } else if (w == "for"sv) {
    analyzeFor();
  } else if (w == "while"sv) {
    analyzeWhile();
  } else if (w == "do"sv) {
    analyzeDo();
  } else if (w == "try"sv) {
    analyzeTry();
  } else if (w == "synchronized"sv) {
    analyzeSynchronized();
  } else if (w == "return"sv) {
    analyzeReturn();
  } else if (w == "throw"sv) {
    analyzeThrow();
  } else if (w == "break"sv || w == "continue"sv) {
    analyzeJump();
  } else if (w == "class"sv || w == "interface"sv) {
    analyzeLocalClass();
  } else {
    analyzeBlockOrSimple();
  }
}

void JStatementAnalyzer::skipLabels() {
  PushBackReader& reader = *reader_;
  for (;;) {
    reader.readWord();
    if (reader.readWord() != ":"sv) {
      reader.pushBack(2);
      return;
    }
  }
}

void JStatementAnalyzer::analyzeIf() {
  counter_->addIfStatementCount(1);
  counter_->addStatementCount(1);
  reader_->skipWord("if");
  skipCondition();
  analyzeStatement();
  if (reader_->readWord() == "else"sv) {
    analyzeStatement();
  } else {
    reader_->pushBack(1);
  }
}

void JStatementAnalyzer::analyzeSwitch() {
  counter_->addSwitchStatementCount(1);
  counter_->addStatementCount(1);
  PushBackReader& reader = *reader_;
  reader.skipWord("switch");
  skipGroup("(", ")");
  reader.skipWord("{");
  for (;;) {
    skipCaseLabels();
    if (reader.preReadWord() == "}"sv) break;
    analyzeStatement();
  }
  reader.skipWord("}");
}

void JStatementAnalyzer::skipCaseLabels() {
  PushBackReader& reader = *reader_;
  for (;;) {
    const std::string& next = reader.preReadWord();
    if (next != "case"sv && next != "default"sv) return;
    while (reader.readWord() != ":"sv) {
    }
  }
}

void JStatementAnalyzer::analyzeWhile() {
  counter_->addWhileStatementCount(1);
  counter_->addStatementCount(1);
  reader_->skipWord("while");
  skipCondition();
  analyzeStatement();
}

void JStatementAnalyzer::analyzeDo() {
  counter_->addDoStatementCount(1);
  counter_->addStatementCount(1);
  reader_->skipWord("do");
  analyzeStatement();
  reader_->skipWord("while");
  skipCondition();
  reader_->skipWord(";");
}

void JStatementAnalyzer::analyzeFor() {
  counter_->addForStatementCount(1);
  counter_->addStatementCount(1);
  reader_->skipWord("for");
  skipForControl();
  analyzeStatement();
}

void JStatementAnalyzer::analyzeTry() {
  counter_->addTryStatementCount(1);
  counter_->addStatementCount(1);
  PushBackReader& reader = *reader_;
  reader.skipWord("try");
  analyzeStatement();
  for (;;) {
    const std::string& w = reader.readWord();
    if (w == "catch"sv) {
      skipGroup("(", ")");
      analyzeStatement();
    } else if (w == "finally"sv) {
      analyzeStatement();
    } else {
      reader.pushBack(1);
      return;
    }
  }
}

void JStatementAnalyzer::analyzeSynchronized() {
  counter_->addSynchronizedStatementCount(1);
  counter_->addStatementCount(1);
  reader_->skipWord("synchronized");
  skipGroup("(", ")");
  analyzeStatement();
}

void JStatementAnalyzer::analyzeReturn() {
  reader_->skipWord("return");
  scanExpression();
  counter_->addStatementCount(1);
  counter_->addReturnStatementCount(1);
}

void JStatementAnalyzer::analyzeThrow() {
  reader_->skipWord("throw");
  scanExpression();
  counter_->addStatementCount(1);
  counter_->addThrowStatementCount(1);
}

void JStatementAnalyzer::analyzeJump() {
  counter_->addStatementCount(1);
  while (reader_->readWord() != ";"sv) {
  }
}

void JStatementAnalyzer::analyzeLocalClass() {
  // Each local class gets an analyzer of its own: this one may be in use
  // further up the recursion.
  auto local = std::make_unique<JClassAnalyzer>();
  local->init(anaMonitor_, reportWriter_);
  local->doAnalysis(*reader_, *requester_, true);
}

void JStatementAnalyzer::analyzeBlockOrSimple() {
  PushBackReader& reader = *reader_;
  if (reader.readWord() == "{"sv) {
    for (;;) {
      if (reader.readWord() == "}"sv) return;
      reader.pushBack(1);
      analyzeStatement();
    }
  }
  reader.pushBack(1);
  analyzeSimpleStatement();
}

void JStatementAnalyzer::analyzeSimpleStatement() {
  if (reader_->preReadWord() == ";"sv) {
    reader_->skipWord(";");
    return;
  }
  checkLocalDeclaration();
  scanExpression();
  counter_->addStatementCount(1);
}

void JStatementAnalyzer::checkLocalDeclaration() {
  PushBackReader& reader = *reader_;
  int32_t taken = 0;
  int32_t plainWords = 0;
  bool isDeclaration = false;
  bool isFinal = false;
  for (;;) {
    const std::string& w = reader.readWord();
    taken = checkedAdd(taken, 1);
    if (w == "["sv) {
      // A bracket group after the type or the name is passed over whole.
      reader.pushBack(1);
      taken = checkedAdd(taken - 1, skipGroup("[", "]"));
      continue;
    }
    if (w == "final"sv) {
      isFinal = true;
    } else if (w != "transient"sv && w != "static"sv && w != "volatile"sv) {
      if (plainWords == 2) {
        isDeclaration = w == ","sv || w == ";"sv || w == "="sv;
        break;
      }
      ++plainWords;
    }
    if (w == ";"sv) break;
  }
  reader.pushBack(taken);
  if (!isDeclaration) return;
  if (isFinal) {
    counter_->addConstantCount(1);
  } else {
    counter_->addVariableCount(1);
  }
}

void JStatementAnalyzer::scanExpression() {
  PushBackReader& reader = *reader_;
  if (reader.preReadWord() == "}"sv) return;
  int32_t messages = 0;
  int32_t creations = 0;
  for (;;) {
    const std::string& w = reader.readWord();
    if (w == ";"sv) break;
    if (w == "new"sv) {
      reader.pushBack(1);
      if (getClassAnalyzer().analyzeAnonymousClass(reader, *requester_)) {
        // The words after the class body belong to the caller's next
        // statement.
        counter_->addAnonymousClassCount(1);
        break;
      }
      reader.skipWord("new");
      creations = checkedAdd(creations, 1);
    } else if (symbolRules().isSymbol(w)) {
      // operators and punctuation
    } else if (reader.preReadWord() == "("sv) {
      messages = checkedAdd(messages, 1);
    }
  }
  counter_->addMessagePassingCount(messages);
  counter_->addInstanciationCount(creations);
}

int32_t JStatementAnalyzer::skipGroup(std::string_view open, std::string_view close) {
  PushBackReader& reader = *reader_;
  int32_t depth = 0;
  int32_t taken = 0;
  for (;;) {
    const std::string& w = reader.readWord();
    taken = checkedAdd(taken, 1);
    if (w == open) {
      depth = checkedAdd(depth, 1);
    } else if (w == close) {
      depth = checkedAdd(depth, -1);
      if (depth == 0) return taken;
    }
  }
}

JClassAnalyzer& JStatementAnalyzer::getClassAnalyzer() {
  if (!anonymousDetector_) {
    anonymousDetector_ = std::make_unique<JClassAnalyzer>();
    anonymousDetector_->init(anaMonitor_, reportWriter_);
  }
  return *anonymousDetector_;
}

const SymbolRuleMgr& JStatementAnalyzer::symbolRules() {
  if (!symbolRules_) symbolRules_ = std::make_unique<SymbolRuleMgr>();
  return *symbolRules_;
}

}  // namespace rzt
