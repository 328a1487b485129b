#include "java/JFileAnalyzer.h"

#include <string_view>
#include <utility>

#include "analysis/AnalysisMonitor.h"
#include "java/JClassAnalyzer.h"
#include "reading/CommentCleaner.h"
#include "reading/FileReader.h"
#include "reading/LogicalReader.h"
#include "reading/PhysicalReader.h"
#include "reading/PushBackReader.h"
#include "reading/SymbolRuleMgr.h"
#include "report/IReportWriter.h"

namespace rzt {

using namespace std::string_view_literals;

namespace {

// Closes a reader's file when a pass ends by an error, so that the file is
// not left open until the next analysis; the error itself goes on unchanged.
template <typename Reader>
class CloseOnError {
 public:
  explicit CloseOnError(Reader& reader) : reader_(reader) {}
  ~CloseOnError() {
    if (armed_) {
      try {
        reader_.closeFile();
      } catch (...) {
        // The error that ended the pass is the one to report.
      }
    }
  }
  void disarm() { armed_ = false; }

 private:
  Reader& reader_;
  bool armed_ = true;
};

}  // namespace

JFileAnalyzer::JFileAnalyzer() = default;
JFileAnalyzer::~JFileAnalyzer() = default;

void JFileAnalyzer::setEncoding(const std::string& encoding) {
  encoding_ = encoding;
  // The stack built by the last init reads with it from its next file on.
  if (!pushBackReader_) return;
  LogicalReader* words = pushBackReader_->getWordReader();
  auto* cleaner = words ? dynamic_cast<CommentCleaner*>(words->getCharReader()) : nullptr;
  auto* file = cleaner ? dynamic_cast<FileReader*>(cleaner->getCharSource()) : nullptr;
  if (file) file->setEncoding(encoding);
}

void JFileAnalyzer::setUserMessage(IUserMessage* messages) {
  messages_ = messages;
  if (pushBackReader_) {
    pushBackReader_->setUserMessage(messages);
    if (LogicalReader* words = pushBackReader_->getWordReader()) words->setUserMessage(messages);
  }
}

void JFileAnalyzer::init(AnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  auto fileReader = std::make_unique<FileReader>();
  fileReader->setEncoding(encoding_);
  auto symbolRuleMgr = std::make_shared<const SymbolRuleMgr>();
  auto commentCleaner = std::make_unique<CommentCleaner>();
  commentCleaner->init(std::move(fileReader), symbolRuleMgr);
  auto logicalReader = std::make_unique<LogicalReader>();
  logicalReader->init(std::move(commentCleaner), symbolRuleMgr);
  logicalReader->setUserMessage(messages_);
  if (!pushBackReader_) pushBackReader_ = std::make_unique<PushBackReader>();
  pushBackReader_->init(std::move(logicalReader));
  pushBackReader_->setUserMessage(messages_);

  monitor_ = anaMonitor;
  outputMgr_ = oMgr;
  // The class analyzer made for an earlier analysis must report to these.
  if (classAnalyzer_) classAnalyzer_->init(monitor_, outputMgr_);
}

void JFileAnalyzer::resetCounts() {
  record_.fileName.clear();
  record_.dirName.clear();
  record_.authorName.clear();
  record_.packageName.clear();
  record_.importCount = Counter();
  record_.classCount = Counter();
  record_.allLoc = Counter();
  record_.loc = Counter();
  record_.commentLoc = Counter();
  record_.blankLoc = Counter();
  record_.syntaxErrorCount = -1;
  wordsBegun_ = false;
}

int32_t JFileAnalyzer::getWordCount() const {
  // Until the word pass opens the file the reader still counts the last file.
  return wordsBegun_ && pushBackReader_ ? pushBackReader_->getWordCount() : 0;
}

void JFileAnalyzer::doAnalysis(const std::string& dName, const std::string& fName) {
  resetCounts();
  record_.fileName = fName;
  record_.dirName = dName;
  if (monitor_) monitor_->notifyFileAnalysis(record_);
  doPhysicalAnalysis(dName, fName);
  doLogicalAnalysis(dName, fName);
  if (outputMgr_) outputMgr_->finishedFileAnalysis(record_);
}

void JFileAnalyzer::doPhysicalAnalysis(const std::string& dName, const std::string& fName) {
  if (!physicalReader_) physicalReader_ = std::make_unique<PhysicalReader>();
  PhysicalReader& lines = *physicalReader_;
  lines.setEncoding(encoding_);
  lines.openFile(dName, fName);
  CloseOnError<PhysicalReader> closer(lines);
  while (lines.nextLine()) {
    record_.allLoc += 1;
    if (lines.isStatement()) record_.loc += 1;
    if (lines.isComment()) record_.commentLoc += 1;
    if (lines.isBlank()) record_.blankLoc += 1;
  }
  closer.disarm();
  lines.closeFile();
}

void JFileAnalyzer::doLogicalAnalysis(const std::string& dName, const std::string& fName) {
  // init builds the stack; an analysis started without it still reads.
  if (!pushBackReader_) init(monitor_, outputMgr_);
  PushBackReader& reader = *pushBackReader_;
  wordsBegun_ = true;
  reader.openFile(dName, fName);
  CloseOnError<PushBackReader> closer(reader);
  while (reader.hasMoreWords()) {
    const std::string& w = reader.readWord();
    reader.pushBack(1);
    if (w == "package"sv) {
      analyzePackage();
    } else if (w == "import"sv) {
      analyzeImport();
    } else if (w != ";"sv) {
      getClassAnalyzer().doAnalysis(reader, *this, false);
      record_.classCount += 1;
    } else {
      reader.skipWord(";");
    }
  }
  closer.disarm();
  reader.closeFile();
}

void JFileAnalyzer::analyzePackage() {
  PushBackReader& reader = *pushBackReader_;
  reader.skipWord("package");
  record_.packageName = reader.readWordWithPeriod();
  while (reader.readWord() != ";"sv) {
  }
}

void JFileAnalyzer::analyzeImport() {
  record_.importCount += 1;
  PushBackReader& reader = *pushBackReader_;
  while (reader.readWord() != ";"sv) {
  }
}

JClassAnalyzer& JFileAnalyzer::getClassAnalyzer() {
  if (!classAnalyzer_) {
    classAnalyzer_ = std::make_unique<JClassAnalyzer>();
    classAnalyzer_->init(monitor_, outputMgr_);
  }
  return *classAnalyzer_;
}

}  // namespace rzt
