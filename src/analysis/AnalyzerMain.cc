#include "analysis/AnalyzerMain.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "analysis/AnalysisMonitor.h"
#include "analysis/ParallelAnalysis.h"
#include "java/IFileAnalyzer.h"
#include "java/JFileAnalyzer.h"
#include "report/IReportWriter.h"
#include "support/Counter.h"
#include "support/JoinPath.h"
#include "support/RztError.h"

namespace rzt {
namespace {

std::unique_ptr<IFileAnalyzer> makeWordLevelAnalyzer() { return std::make_unique<JFileAnalyzer>(); }

}  // namespace

AnalyzerMain::AnalyzerMain(IStatusLine& statusLine, IUserMessage& messages)
    : factory_(makeWordLevelAnalyzer),
      monitor_(std::make_unique<AnalysisMonitor>(statusLine)),
      statusLine_(statusLine),
      messages_(messages) {}

AnalyzerMain::~AnalyzerMain() = default;

void AnalyzerMain::init(IReportWriter* oMgr, const IOption& diagPara) {
  if (oMgr == nullptr) throw std::invalid_argument("AnalyzerMain::init: no report writer");
  outputMgr_ = oMgr;
  stopRequested_.store(false, std::memory_order_relaxed);
  outputMgr_->prepare(diagPara);
}

void AnalyzerMain::doAnalysisFile(const std::string& dirName, const std::string& fileName) {
  IReportWriter& report = outputMgr();
  currentFile_.clear();
  skippedFileCount_ = 0;
  skippedDirectoryCount_ = 0;
  filesCommitted_ = directoriesCommitted_ = 0;
  monitor_->notifyStartAnalysis(1);
  startProgress(1);
  // With keep-going the records wait in the batch until the file is done.
  fileAnalyzer().setAnalysedDirectory(dirName);
  fileAnalyzer().init(monitor_.get(), keepGoing_ ? &batch_ : &report);
  analyzerStale_ = false;
  checkStopRequest();
  analyzeOne(dirName, fileName);
  fileDone();
  report.finishedAllAnalysis();
  monitor_->notifyAllAnalysis();
}

void AnalyzerMain::doAnalysisDir(const std::string& dirName, bool subDir) {
  IReportWriter& report = outputMgr();
  currentFile_.clear();
  skippedFileCount_ = 0;
  skippedDirectoryCount_ = 0;
  filesCommitted_ = directoriesCommitted_ = 0;
  analysedDirectory_ = dirName;
  fileAnalyzer().setAnalysedDirectory(dirName);
  fileAnalyzer().init(monitor_.get(), keepGoing_ ? &batch_ : &report);
  analyzerStale_ = false;
  enumeration_.setSkipUnreadableDirectories(keepGoing_);
  fileTotal_ = 0;
  const int32_t n = enumeration_.prepare(dirName, subDir);
  if (n < 1) {
    monitor_->fileCountIsZero();
  } else {
    monitor_->notifyStartAnalysis(n);
    startProgress(n);
    analyzeFiles(n);
    monitor_->notifyAllAnalysis();
  }
  // The directories passed over after the last file.
  commitDirectoriesBefore(SIZE_MAX);
  report.finishedAllAnalysis();
  monitor_->notifyAllAnalysis();
}

void AnalyzerMain::analyzeFiles(int32_t fileCount) {
  if (jobs_ <= 1 || !factory_ || fileCount < 2) {
    while (enumeration_.hasMoreFiles()) {
      const std::string& d = enumeration_.nextDirName();
      const std::string& f = enumeration_.nextFileName();
      checkStopRequest();
      analyzeOne(d, f);
      fileDone();
    }
    return;
  }
  // A stop drops the files analysed ahead but not yet reported, so the
  // report holds the files up to one, in file order, as on one thread.
  // Each thread's analyzer takes the paths relative to the same folder.
  const auto factory = [this]() {
    std::unique_ptr<IFileAnalyzer> analyzer = factory_();
    if (analyzer) analyzer->setAnalysedDirectory(analysedDirectory_);
    return analyzer;
  };
  ParallelAnalysis parallel(std::min(jobs_, fileCount), factory, encoding_, fileCount,
                            [this](const FileBatch& batch) {
                              checkStopRequest();
                              commitFile(batch, true);
                              fileDone();
                            });
  while (enumeration_.hasMoreFiles()) {
    const std::string& d = enumeration_.nextDirName();
    const std::string& f = enumeration_.nextFileName();
    checkStopRequest();
    parallel.submit(d, f);
  }
  parallel.finish();
}

void AnalyzerMain::setEncoding(const std::string& encoding) {
  encoding_ = encoding;
  if (fileAnalyzer_) fileAnalyzer_->setEncoding(encoding_);
}

void AnalyzerMain::setFileAnalyzer(std::unique_ptr<IFileAnalyzer> analyzer) {
  factory_ = analyzer ? FileAnalyzerFactory() : FileAnalyzerFactory(makeWordLevelAnalyzer);
  fileAnalyzer_ = std::move(analyzer);
  if (fileAnalyzer_) {
    fileAnalyzer_->setEncoding(encoding_);
    fileAnalyzer_->setUserMessage(&messages_);
  }
}

void AnalyzerMain::setFileAnalyzerFactory(FileAnalyzerFactory factory) {
  if (!factory) factory = makeWordLevelAnalyzer;
  std::unique_ptr<IFileAnalyzer> analyzer = factory();
  setFileAnalyzer(std::move(analyzer));
  factory_ = std::move(factory);
}

void AnalyzerMain::setSkippedFileHandler(std::function<void(const SkippedFileRecord&)> handler) {
  skippedFileHandler_ = std::move(handler);
}

void AnalyzerMain::setJobs(int32_t jobs) { jobs_ = std::max(jobs, 1); }

void AnalyzerMain::startProgress(int32_t fileTotal) {
  fileTotal_ = fileTotal;
  filesDone_ = 0;
  if (progressHandler_) progressHandler_(0, fileTotal_);
}

void AnalyzerMain::fileDone() {
  ++filesDone_;
  if (progressHandler_) progressHandler_(filesDone_, fileTotal_);
}

void AnalyzerMain::checkStopRequest() const {
  if (stopRequested()) throw AnalysisStopped();
}

IFileAnalyzer& AnalyzerMain::fileAnalyzer() {
  if (!fileAnalyzer_) setFileAnalyzerFactory(factory_);
  return *fileAnalyzer_;
}

IReportWriter& AnalyzerMain::outputMgr() {
  // A programming mistake of the front end, not a fault of the input.
  if (outputMgr_ == nullptr) throw std::logic_error("AnalyzerMain: init was not called");
  return *outputMgr_;
}

void AnalyzerMain::analyzeOne(const std::string& dirName, const std::string& fileName) {
  currentFile_ = joinPath(dirName, fileName);
  if (!keepGoing_) {
    fileAnalyzer_->doAnalysis(dirName, fileName);
    currentFile_.clear();
    return;
  }
  batch_.begin(0, dirName, fileName);
  try {
    // Nothing of a failed file's reading state may reach the next file.
    if (analyzerStale_) fileAnalyzer_->init(monitor_.get(), &batch_);
    analyzerStale_ = false;
    fileAnalyzer_->doAnalysis(dirName, fileName);
  } catch (const RztError& error) {
    batch_.fail(error, fileAnalyzer_->getWordCount());
    analyzerStale_ = true;
  }
  commitFile(batch_, false);
}

void AnalyzerMain::commitFile(const FileBatch& batch, bool withProgress) {
  currentFile_ = joinPath(batch.dirName(), batch.fileName());
  IReportWriter& report = outputMgr();
  IStatusLine* status = withProgress ? &statusLine_ : nullptr;
  IUserMessage* messages = withProgress ? &messages_ : nullptr;
  if (!keepGoing_) {
    // As on one thread: progress, messages and records in the order they
    // came, up to the error that ends the analysis.
    batch.replay(&report, status, messages);
    if (batch.failed()) batch.rethrow();
    currentFile_.clear();
    return;
  }
  // As on one thread with keep-going: progress and messages while the file
  // is read, its records together when it is done.
  commitDirectoriesBefore(filesCommitted_);
  ++filesCommitted_;
  batch.replay(nullptr, status, messages);
  if (batch.failed()) {
    // Only the system's errors are a bad file; anything else is not skipped.
    if (!batch.error()) batch.rethrow();
    const SkippedFileRecord skipped = batch.skippedFile();
    report.skippedFileAnalysis(skipped);
    skippedFileCount_ = checkedAdd(skippedFileCount_, 1);
    if (skippedFileHandler_) skippedFileHandler_(skipped);
  } else {
    batch.replay(&report, nullptr, nullptr);
  }
  currentFile_.clear();
}

void AnalyzerMain::commitDirectoriesBefore(size_t filesDone) {
  const auto& directories = enumeration_.unreadableDirectories();
  while (directoriesCommitted_ < directories.size() && directories[directoriesCommitted_].position <= filesDone) {
    const FileEnumeration::UnreadableDirectory& directory = directories[directoriesCommitted_++];
    SkippedFileRecord skipped;
    skipped.dirName = directory.dirName;
    skipped.number = directory.error.number();
    skipped.source = directory.error.source();
    skipped.description = directory.error.fullDescription();
    outputMgr().skippedFileAnalysis(skipped);
    skippedDirectoryCount_ = checkedAdd(skippedDirectoryCount_, 1);
    if (skippedFileHandler_) skippedFileHandler_(skipped);
  }
}

}  // namespace rzt
