#include "analysis/AnalyzerMain.h"

#include <stdexcept>
#include <utility>

#include "analysis/AnalysisMonitor.h"
#include "java/IFileAnalyzer.h"
#include "java/JFileAnalyzer.h"
#include "report/IReportWriter.h"

namespace rzt {

AnalyzerMain::AnalyzerMain(IStatusLine& statusLine, IUserMessage& messages)
    : monitor_(std::make_unique<AnalysisMonitor>(statusLine)), messages_(messages) {}

AnalyzerMain::~AnalyzerMain() = default;

void AnalyzerMain::init(IReportWriter* oMgr, const IOption& diagPara) {
  if (oMgr == nullptr) throw std::invalid_argument("AnalyzerMain::init: no report writer");
  outputMgr_ = oMgr;
  outputMgr_->prepare(diagPara);
}

void AnalyzerMain::doAnalysisFile(const std::string& dirName, const std::string& fileName) {
  IReportWriter& report = outputMgr();
  currentFile_.clear();
  monitor_->notifyStartAnalysis(1);
  fileAnalyzer().init(monitor_.get(), &report);
  analyzeOne(dirName, fileName);
  report.finishedAllAnalysis();
  monitor_->notifyAllAnalysis();
}

void AnalyzerMain::doAnalysisDir(const std::string& dirName, bool subDir) {
  IReportWriter& report = outputMgr();
  currentFile_.clear();
  fileAnalyzer().init(monitor_.get(), &report);
  const int32_t n = enumeration_.prepare(dirName, subDir);
  if (n < 1) {
    monitor_->fileCountIsZero();
  } else {
    monitor_->notifyStartAnalysis(n);
    while (enumeration_.hasMoreFiles()) {
      const std::string& d = enumeration_.nextDirName();
      const std::string& f = enumeration_.nextFileName();
      analyzeOne(d, f);
    }
    monitor_->notifyAllAnalysis();
  }
  report.finishedAllAnalysis();
  monitor_->notifyAllAnalysis();
}

void AnalyzerMain::setEncoding(const std::string& encoding) {
  encoding_ = encoding;
  if (fileAnalyzer_) fileAnalyzer_->setEncoding(encoding_);
}

void AnalyzerMain::setFileAnalyzer(std::unique_ptr<IFileAnalyzer> analyzer) {
  fileAnalyzer_ = std::move(analyzer);
  if (fileAnalyzer_) {
    fileAnalyzer_->setEncoding(encoding_);
    fileAnalyzer_->setUserMessage(&messages_);
  }
}

IFileAnalyzer& AnalyzerMain::fileAnalyzer() {
  if (!fileAnalyzer_) setFileAnalyzer(std::make_unique<JFileAnalyzer>());
  return *fileAnalyzer_;
}

IReportWriter& AnalyzerMain::outputMgr() {
  // A programming mistake of the front end, not a fault of the input.
  if (outputMgr_ == nullptr) throw std::logic_error("AnalyzerMain: init was not called");
  return *outputMgr_;
}

void AnalyzerMain::analyzeOne(const std::string& dirName, const std::string& fileName) {
  currentFile_ = FileEnumeration::joinPath(dirName, fileName);
  fileAnalyzer_->doAnalysis(dirName, fileName);
  currentFile_.clear();
}

}  // namespace rzt
