#include "java/JMethodAnalyzer.h"

#include <string_view>

#include "java/JClassAnalyzer.h"
#include "java/JStatementAnalyzer.h"
#include "reading/PushBackReader.h"
#include "records/IAnalysisMonitor.h"
#include "report/IReportWriter.h"
#include "support/Counter.h"

namespace rzt {

using namespace std::string_view_literals;

JMethodAnalyzer::JMethodAnalyzer() = default;
JMethodAnalyzer::~JMethodAnalyzer() = default;

std::string JMethodAnalyzer::getPackageName() const {
  return classAnalyzer_ ? classAnalyzer_->getPackageName() : std::string();
}

std::string JMethodAnalyzer::getFileName() const {
  return classAnalyzer_ ? classAnalyzer_->getFileName() : std::string();
}

const std::string& JMethodAnalyzer::getFilePath() const {
  static const std::string kNone;
  return classAnalyzer_ ? classAnalyzer_->getFilePath() : kNone;
}

std::string JMethodAnalyzer::getClassName() const {
  return classAnalyzer_ ? classAnalyzer_->getClassName() : std::string();
}

void JMethodAnalyzer::init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  anaMonitor_ = anaMonitor;
  reportWriter_ = oMgr;
  if (statementAnalyzer_) statementAnalyzer_->init(anaMonitor, oMgr);
}

void JMethodAnalyzer::doAnalysis(PushBackReader& reader, JClassAnalyzer& classAnalyzer) {
  reader_ = &reader;
  classAnalyzer_ = &classAnalyzer;
  resetCounts();
  analyzeMethodHead();
  fillNames();
  if (anaMonitor_) anaMonitor_->notifyMethodAnalysis(record_);
  analyzeMethodBody();
  fillNames();
  if (reportWriter_) reportWriter_->finishedMethodAnalysis(record_);
}

void JMethodAnalyzer::fillNames() {
  record_.packageName = classAnalyzer_->getPackageName();
  record_.fileName = classAnalyzer_->getFileName();
  record_.filePath = classAnalyzer_->getFilePath();
  record_.className = classAnalyzer_->getClassName();
}

void JMethodAnalyzer::resetCounts() {
  record_.constructorMethod = false;
  record_.staticMethod = false;
  record_.abstractMethod = false;
  record_.finalMethod = false;
  record_.synchronizedMethod = false;
  record_.nativeMethod = false;
  record_.access = "package";
  record_.methodName = "anynomous";
  record_.returnsValue = false;
  record_.argumentCount = Counter();
  record_.throwsCount = Counter();
  record_.statementCount = Counter();
  record_.messagePassingCount = Counter();
  record_.instanciationCount = Counter();
  record_.localVariables = Counter();
  record_.localConstants = Counter();
  record_.ifStatementCount = Counter();
  record_.forStatementCount = Counter();
  record_.whileStatementCount = Counter();
  record_.doStatementCount = Counter();
  record_.switchStatementCount = Counter();
  record_.returnStatementCount = Counter();
  record_.tryStatementCount = Counter();
  record_.throwStatementCount = Counter();
  record_.synchronizedStatementCount = Counter();
  record_.anonymousClassCount = Counter();
  record_.line = 0;
}

void JMethodAnalyzer::analyzeMethodHead() {
  enum State { kBeforeParameters = 1, kThrows = 2, kParameters = 3, kAfter = 99 };
  State state = kBeforeParameters;
  typeWord_.clear();
  nameWord_.clear();
  typeOffset_ = nameOffset_ = 0;
  // The head is placed at its name, at its first word when it has none.
  bool placed = false;
  uint32_t placeOffset = 0;
  bool hasArgument = false;
  int32_t commas = 0;
  PushBackReader& reader = *reader_;

  // Methods of an interface are abstract and public unless the head says
  // otherwise.
  if (!classAnalyzer_->isClassType()) {
    record_.abstractMethod = true;
    record_.access = "public";
  }

  for (;;) {
    // The return type and the names of the throws list may be qualified.
    const std::string& w = (state == kBeforeParameters || state == kThrows)
                               ? reader.readWordWithPeriod()
                               : reader.readWord();
    if (!placed) {
      placed = true;
      placeOffset = reader.getWordOffset();
    }
    if (w == ";"sv || w == "{"sv) {
      reader.pushBack(1);
      if (hasArgument) record_.argumentCount = Counter(checkedAdd(commas, 1));
      record_.line = reader.getLineAt(placeOffset);
      return;
    }
    if (w == "protected"sv || w == "public"sv || w == "private"sv) {
      record_.access = w;
    } else if (w == "static"sv) {
      record_.staticMethod = true;
    } else if (w == "abstract"sv) {
      record_.abstractMethod = true;
    } else if (w == "final"sv) {
      record_.finalMethod = true;
    } else if (w == "native"sv) {
      record_.nativeMethod = true;
    } else if (w == "synchronized"sv) {
      record_.synchronizedMethod = true;
    } else if (w == "["sv || w == "]"sv) {
      // array brackets after the type or the name
    } else if (w == "("sv) {
      state = kParameters;
      if (typeWord_ == "void"sv) {
        record_.returnsValue = false;
        record_.methodName = nameWord_;
        if (!nameWord_.empty()) placeOffset = nameOffset_;
      } else if (nameWord_.empty() && typeWord_ == classAnalyzer_->getClassNameNoPrefix()) {
        record_.constructorMethod = true;
        record_.returnsValue = false;
        record_.methodName = typeWord_;
        placeOffset = typeOffset_;
      } else {
        record_.returnsValue = true;
        record_.methodName = nameWord_;
        if (!nameWord_.empty()) placeOffset = nameOffset_;
      }
    } else if (w == ")"sv) {
      state = kAfter;
    } else if (w == "throws"sv) {
      state = kThrows;
    } else if (w == ","sv && state == kParameters) {
      commas = checkedAdd(commas, 1);
    } else {
      switch (state) {
        case kBeforeParameters:
          if (typeWord_.empty()) {
            typeWord_ = w;
            typeOffset_ = reader.getWordOffset();
          } else if (nameWord_.empty()) {
            nameWord_ = w;
            nameOffset_ = reader.getWordOffset();
            state = kAfter;
          }
          break;
        case kParameters:
          hasArgument = true;
          break;
        case kThrows:
          if (w != ","sv) record_.throwsCount += 1;
          break;
        case kAfter:
          break;
      }
    }
  }
}

void JMethodAnalyzer::analyzeMethodBody() {
  PushBackReader& reader = *reader_;
  // Without a body the head ends in ";"; otherwise this is the body's "{".
  if (reader.readWord() == ";"sv) return;
  for (;;) {
    if (reader.preReadWord() == "}"sv) break;
    getStatementAnalyzer().doAnalysis(reader, *this);
  }
  reader.skipWord("}");
}

JStatementAnalyzer& JMethodAnalyzer::getStatementAnalyzer() {
  if (!statementAnalyzer_) {
    statementAnalyzer_ = std::make_unique<JStatementAnalyzer>();
    statementAnalyzer_->init(anaMonitor_, reportWriter_);
  }
  return *statementAnalyzer_;
}

}  // namespace rzt
