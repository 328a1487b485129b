#include "java/JFileAnalyzer.h"

#include <string_view>

#include "java/JClassAnalyzer.h"
#include "reading/FileReader.h"
#include "reading/PushBackReader.h"
#include "reading/ReaderStack.h"
#include "records/IAnalysisMonitor.h"
#include "report/IReportWriter.h"
#include "support/JoinPath.h"

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
  if (fileReader_) fileReader_->setEncoding(encoding);
}

void JFileAnalyzer::setUserMessage(IUserMessage* messages) {
  messages_ = messages;
  if (pushBackReader_) pushBackReader_->setUserMessage(messages);
}

void JFileAnalyzer::init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  if (!pushBackReader_) pushBackReader_ = std::make_unique<PushBackReader>();
  fileReader_ = &buildReaderStack(*pushBackReader_, encoding_, messages_);
  pushBackReader_->setSourceLines(&sourceLines_);
  monitor_ = anaMonitor;
  reportWriter_ = oMgr;
  // The class analyzer made for an earlier analysis must report to these.
  if (classAnalyzer_) classAnalyzer_->init(monitor_, reportWriter_);
}

void JFileAnalyzer::resetCounts() {
  record_.fileName.clear();
  record_.dirName.clear();
  record_.filePath.clear();
  record_.packageName.clear();
  record_.importCount = Counter();
  record_.classCount = Counter();
  record_.allLoc = Counter();
  record_.loc = Counter();
  record_.commentLoc = Counter();
  record_.blankLoc = Counter();
  record_.syntaxErrorCount = -1;
}

int32_t JFileAnalyzer::getWordCount() const { return pushBackReader_ ? pushBackReader_->getWordCount() : 0; }

void JFileAnalyzer::doAnalysis(const std::string& dName, const std::string& fName) {
  resetCounts();
  record_.fileName = fName;
  record_.dirName = dName;
  record_.filePath = relativePath(analysedDirectory_, dName, fName);
  if (monitor_) monitor_->notifyFileAnalysis(record_);
  // init builds the stack; an analysis started without it still reads.
  if (!pushBackReader_) init(monitor_, reportWriter_);
  // Reads and decodes the file once, for both passes.
  PushBackReader& reader = *pushBackReader_;
  reader.openFile(dName, fName);
  CloseOnError<PushBackReader> closer(reader);
  doPhysicalAnalysis();
  doLogicalAnalysis();
  closer.disarm();
  reader.closeFile();
  if (reportWriter_) reportWriter_->finishedFileAnalysis(record_);
}

void JFileAnalyzer::doPhysicalAnalysis() {
  PhysicalReader& lines = physicalReader_;
  sourceLines_.reset(fileReader_->getText());
  lines.openText(fileReader_->getText(), &sourceLines_);
  while (lines.nextLine()) {
    record_.allLoc += 1;
    if (lines.isStatement()) record_.loc += 1;
    if (lines.isComment()) record_.commentLoc += 1;
    if (lines.isBlank()) record_.blankLoc += 1;
  }
  lines.closeFile();
}

void JFileAnalyzer::doLogicalAnalysis() {
  PushBackReader& reader = *pushBackReader_;
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
    classAnalyzer_->init(monitor_, reportWriter_);
  }
  return *classAnalyzer_;
}

}  // namespace rzt
