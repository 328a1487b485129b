#include "java/JClassAnalyzer.h"

#include <string_view>

#include "java/JMethodAnalyzer.h"
#include "java/JStatementAnalyzer.h"
#include "java/NestingGuard.h"
#include "reading/PushBackReader.h"
#include "reading/SymbolRuleMgr.h"
#include "records/ClassRules.h"
#include "records/IAnalysisMonitor.h"
#include "report/IReportWriter.h"
#include "support/Counter.h"

namespace rzt {

using namespace std::string_view_literals;

namespace {

bool isAccessWord(std::string_view w) {
  return w == "protected"sv || w == "public"sv || w == "private"sv;
}

}  // namespace

JClassAnalyzer::JClassAnalyzer() = default;
JClassAnalyzer::~JClassAnalyzer() = default;

std::string JClassAnalyzer::getPackageName() const {
  return requester_ ? requester_->getPackageName() : std::string();
}

std::string JClassAnalyzer::getFileName() const {
  return requester_ ? requester_->getFileName() : std::string();
}

const std::string& JClassAnalyzer::getFilePath() const {
  static const std::string kNone;
  return requester_ ? requester_->getFilePath() : kNone;
}

void JClassAnalyzer::init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  anaMonitor_ = anaMonitor;
  reportWriter_ = oMgr;
  // Analyzers made earlier must not keep reporting to a monitor or writer
  // that may be gone.
  if (methodAnalyzer_) methodAnalyzer_->init(anaMonitor, oMgr);
  if (innerClassAnalyzer_) innerClassAnalyzer_->init(anaMonitor, oMgr);
}

void JClassAnalyzer::doAnalysis(PushBackReader& reader, IClassRequester& req, bool innerClass) {
  NestingGuard level("JClassAnalyzer");
  reader_ = &reader;
  requester_ = &req;
  resetCounts(innerClass);
  analyzeClassHead();
  fillNames();
  if (anaMonitor_) anaMonitor_->notifyClassAnalysis(record_);
  analyzeClassBody();
  fillNames();
  if (reportWriter_) reportWriter_->finishedClassAnalysis(record_);
}

void JClassAnalyzer::doAnalysisAnonymous(PushBackReader& reader, IClassRequester& req,
                                         const std::string& clName, int32_t line) {
  NestingGuard level("JClassAnalyzer");
  reader_ = &reader;
  requester_ = &req;
  resetCounts(true);
  record_.line = line;
  record_.className = requester_->getClassName();
  record_.className += '$';
  record_.className += clName;
  fillNames();
  if (anaMonitor_) anaMonitor_->notifyClassAnalysis(record_);
  analyzeClassBody();
  fillNames();
  if (reportWriter_) reportWriter_->finishedClassAnalysis(record_);
}

void JClassAnalyzer::fillNames() {
  record_.packageName = requester_->getPackageName();
  record_.fileName = requester_->getFileName();
  record_.filePath = requester_->getFilePath();
}

void JClassAnalyzer::resetCounts(bool innerClass) {
  record_.classType = true;
  record_.abstractClass = false;
  record_.finalClass = false;
  record_.access = innerClass ? "private" : "package";
  record_.className = "???";
  // A head without a name word must not inherit the previous declaration's
  // simple name (it would turn that class's name into a constructor here).
  record_.classNameNoPrefix.clear();
  record_.extendsCount = Counter();
  record_.implementsCount = Counter();
  record_.throwsCount = Counter();
  record_.statementCount = Counter();
  record_.instanceVariableCount = Counter();
  record_.publicInstanceVariableCount = Counter();
  record_.classVariableCount = Counter();
  record_.publicClassVariableCount = Counter();
  record_.constantCount = Counter();
  record_.staticBlockCount = Counter();
  record_.instanceMethodCount = Counter();
  record_.publicInstanceMethodCount = Counter();
  record_.classMethodCount = Counter();
  record_.publicClassMethodCount = Counter();
  record_.innerClassCount = Counter();
  record_.innerClass = innerClass;
  record_.line = 0;
}

void JClassAnalyzer::analyzeClassHead() {
  enum State { kName = 1, kExtends = 2, kImplements = 3, kThrows = 4, kNamed = 99 };
  State state = kName;
  PushBackReader& reader = *reader_;
  bool placed = false;
  uint32_t placeOffset = 0;
  for (;;) {
    // Names in the lists may be qualified: each is read as one word.
    const std::string& w =
        (state == kName || state == kNamed) ? reader.readWord() : reader.readWordWithPeriod();
    // The head is placed at its name, at its first word when it has none.
    if (!placed) {
      placed = true;
      placeOffset = reader.getWordOffset();
    }
    if (w == "{"sv) {
      reader.pushBack(1);
      record_.line = reader.getLineAt(placeOffset);
      return;
    }
    if (isAccessWord(w)) {
      record_.access = w;
    } else if (w == "class"sv) {
      record_.classType = true;
    } else if (w == "interface"sv) {
      record_.classType = false;
    } else if (w == "abstract"sv) {
      record_.abstractClass = true;
    } else if (w == "final"sv) {
      record_.finalClass = true;
    } else if (w == "extends"sv) {
      state = kExtends;
    } else if (w == "implements"sv) {
      state = kImplements;
    } else if (w == "throws"sv) {
      state = kThrows;
    } else if (w == ","sv || w == "static"sv) {
      // nothing
    } else {
      switch (state) {
        case kName:
          placeOffset = reader.getWordOffset();
          record_.classNameNoPrefix = w;
          if (record_.innerClass) {
            record_.className = requester_->getClassName();
            record_.className += '$';
            record_.className += w;
          } else {
            record_.className = w;
          }
          state = kNamed;
          break;
        case kExtends:
          record_.extendsCount += 1;
          break;
        case kImplements:
          record_.implementsCount += 1;
          break;
        case kThrows:
          record_.throwsCount += 1;
          break;
        case kNamed:
          break;
      }
    }
  }
}

void JClassAnalyzer::analyzeClassBody() {
  PushBackReader& reader = *reader_;
  reader.skipWord("{");
  for (;;) {
    if (reader.readWord() == "}"sv) return;
    reader.pushBack(1);
    analyzeMember();
  }
}

void JClassAnalyzer::analyzeMember() {
  PushBackReader& reader = *reader_;
  if (reader.readWord() == "static"sv) {
    if (reader.readWord() == "{"sv) {
      reader.pushBack(2);
      analyzeBlock(false);
      return;
    }
    reader.pushBack(2);
  } else {
    reader.pushBack(1);
  }

  if (record_.innerClass) {
    if (reader.readWord() == "{"sv) {
      reader.pushBack(1);
      analyzeBlock(true);
      return;
    }
    reader.pushBack(1);
  }

  // The first deciding word classifies the member; everything read to find
  // it is given back so that each analysis starts at the member's first word.
  int32_t taken = 0;
  for (;;) {
    const std::string& w = reader.readWord();
    taken = checkedAdd(taken, 1);
    if (w == "("sv || w == "void"sv) {
      reader.pushBack(taken);
      analyzeMethod();
      return;
    }
    if (w == ";"sv || w == "="sv) {
      reader.pushBack(taken);
      analyzeField();
      return;
    }
    if (w == "interface"sv || w == "class"sv) {
      reader.pushBack(taken);
      analyzeInnerClass();
      return;
    }
  }
}

void JClassAnalyzer::analyzeField() {
  PushBackReader& reader = *reader_;
  bool isStatic = false;
  bool isFinal = false;
  bool isPublic = false;
  for (;;) {
    const std::string& w = reader.readWord();
    if (w == ";"sv) break;
    if (w == "static"sv) {
      isStatic = true;
    } else if (w == "final"sv) {
      isFinal = true;
    } else if (w == "public"sv) {
      isPublic = true;
    } else if (w == "new"sv) {
      reader.pushBack(1);
      if (!analyzeAnonymousClass(reader, *this)) reader.skipWord("new");
    }
  }

  addFieldToClass(record_, FieldModifiers{isStatic, isFinal, isPublic});
}

void JClassAnalyzer::analyzeMethod() {
  JMethodAnalyzer& m = getMethodAnalyzer();
  m.doAnalysis(*reader_, *this);
  addMethodToClass(record_, m.record());
}

void JClassAnalyzer::analyzeInnerClass() {
  getInnerClassAnalyzer().doAnalysis(*reader_, *this, true);
  record_.innerClassCount += 1;
}

void JClassAnalyzer::analyzeBlock(bool initializer) {
  PushBackReader& reader = *reader_;
  if (!initializer) reader.skipWord("static");
  reader.skipWord("{");
  // One statement analyzer for the whole block, made at its first statement.
  std::unique_ptr<JStatementAnalyzer> statements;
  for (;;) {
    if (reader.readWord() == "}"sv) break;
    reader.pushBack(1);
    if (!statements) statements = std::make_unique<JStatementAnalyzer>();
    statements->init(anaMonitor_, reportWriter_);
    statements->doAnalysis(reader, *this);
  }
  record_.staticBlockCount += 1;
}

int32_t JClassAnalyzer::skipGroup(std::string_view open, std::string_view close,
                                  PushBackReader& reader) {
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

bool JClassAnalyzer::analyzeAnonymousClass(PushBackReader& reader, IClassRequester& requester) {
  if (reader.readWord() != "new"sv) {
    reader.pushBack(1);
    return false;
  }
  const uint32_t newOffset = reader.getWordOffset();
  int32_t taken = 1;
  bool afterArguments = false;
  typeName_.clear();
  for (;;) {
    const std::string& w = reader.readWord();
    taken = checkedAdd(taken, 1);
    if (w == ";"sv) break;
    if (!afterArguments) {
      if (w == "."sv || !symbolRules().isSymbol(w)) {
        // After a dotted name this leaves its last part.
        typeName_ = w;
        continue;
      }
      if (w == "("sv) {
        reader.pushBack(1);
        taken = checkedAdd(taken - 1, skipGroup("(", ")", reader));
        afterArguments = true;
        continue;
      }
    } else if (w == "{"sv) {
      reader.pushBack(1);
      auto anonymous = std::make_unique<JClassAnalyzer>();
      anonymous->init(anaMonitor_, reportWriter_);
      anonymous->doAnalysisAnonymous(reader, requester, typeName_, reader.getLineAt(newOffset));
      return true;
    }
    break;
  }
  reader.pushBack(taken);
  return false;
}

JMethodAnalyzer& JClassAnalyzer::getMethodAnalyzer() {
  if (!methodAnalyzer_) {
    methodAnalyzer_ = std::make_unique<JMethodAnalyzer>();
    methodAnalyzer_->init(anaMonitor_, reportWriter_);
  }
  return *methodAnalyzer_;
}

JClassAnalyzer& JClassAnalyzer::getInnerClassAnalyzer() {
  if (!innerClassAnalyzer_) {
    innerClassAnalyzer_ = std::make_unique<JClassAnalyzer>();
    innerClassAnalyzer_->init(anaMonitor_, reportWriter_);
  }
  return *innerClassAnalyzer_;
}

const SymbolRuleMgr& JClassAnalyzer::symbolRules() {
  if (!symbolRules_) symbolRules_ = std::make_unique<SymbolRuleMgr>();
  return *symbolRules_;
}

}  // namespace rzt
