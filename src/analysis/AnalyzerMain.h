#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "analysis/FileBatch.h"
#include "analysis/FileEnumeration.h"

namespace rzt {

class AnalysisMonitor;
class IFileAnalyzer;
class IOption;
class IReportWriter;
class IStatusLine;
class IUserMessage;
struct SkippedFileRecord;

// Ends doAnalysisFile or doAnalysisDir when a stop was requested: the files
// before it are reported, the report is not finished (finishedAllAnalysis is
// not called), so the front end writes it as one that ends early.
class AnalysisStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the analysis was stopped"; }
};

// Runs one analysis of a file or a directory: it calls the file analyzer,
// the progress monitor and the report writer in a fixed order and measures
// nothing itself. One driver serves every analysis of a front end.
class AnalyzerMain {
 public:
  // The monitor writes to statusLine; the readers' message boxes go to messages.
  AnalyzerMain(IStatusLine& statusLine, IUserMessage& messages);
  ~AnalyzerMain();
  AnalyzerMain(const AnalyzerMain&) = delete;
  AnalyzerMain& operator=(const AnalyzerMain&) = delete;

  // Borrows the report writer for the next analysis and has it prepare a new
  // report from the settings; the settings are not kept.
  void init(IReportWriter* oMgr, const IOption& diagPara);
  // Analyses one file, named by its directory and bare name.
  void doAnalysisFile(const std::string& dirName, const std::string& fileName);
  // Analyses the Java files of a directory, and of all directories below it
  // when subDir is true.
  void doAnalysisDir(const std::string& dirName, bool subDir);

  // Text decoding of the source files: "auto" or an iconv name.
  void setEncoding(const std::string& encoding);
  // Replaces the file analyzer (the word-level one by default); the new one
  // gets the encoding and the message sink. An analyzer set this way cannot
  // be copied, so the files are then analysed on one thread.
  void setFileAnalyzer(std::unique_ptr<IFileAnalyzer> analyzer);
  // Makes the file analyzers: the driver's own one now, and one for each
  // thread of a parallel analysis.
  using FileAnalyzerFactory = std::function<std::unique_ptr<IFileAnalyzer>()>;
  void setFileAnalyzerFactory(FileAnalyzerFactory factory);

  // Keep going past a file whose analysis raises an error of the system: its
  // records are not reported, the report writer's skippedFileAnalysis gets
  // it instead, and the next file follows. Off (the default), the error ends
  // the analysis. With it on, each file's records reach the report writer
  // together when the file is done, in the order they were finished. A
  // directory below the starting one that cannot be listed is passed over
  // the same way, as a skipped entry with an empty file name, at its place
  // in the order of the files.
  void setKeepGoing(bool keepGoing) { keepGoing_ = keepGoing; }
  // Told of each skipped file or directory, in file order, after the report
  // writer.
  void setSkippedFileHandler(std::function<void(const SkippedFileRecord&)> handler);
  // The files skipped by the last analysis.
  int32_t skippedFileCount() const { return skippedFileCount_; }
  // The directories the last analysis could not list and passed over.
  int32_t skippedDirectoryCount() const { return skippedDirectoryCount_; }

  // The threads that analyse the files of a directory (1, the default: the
  // calling thread alone). With more, the calling thread writes the report
  // from the files' results in file order while the others analyse; the
  // report, the progress texts and the messages are those of one thread.
  void setJobs(int32_t jobs);
  int32_t jobs() const { return jobs_; }

  // Asks the running analysis to stop, from any thread: it is checked before
  // each file, so the file at work is finished first, then AnalysisStopped
  // ends the analysis. init clears the request.
  void requestStop() { stopRequested_.store(true, std::memory_order_relaxed); }
  bool stopRequested() const { return stopRequested_.load(std::memory_order_relaxed); }

  // Told how far the analysis has come, on the thread that called the do
  // operation: (0, total) once the files are counted (at least one), then
  // (done, total) after each file that was reported or skipped, in file order.
  using ProgressHandler = std::function<void(int32_t filesDone, int32_t fileTotal)>;
  void setProgressHandler(ProgressHandler handler) { progressHandler_ = std::move(handler); }
  // The files the last analysis counted: 1 for a single file, 0 for a
  // directory without any.
  int32_t fileTotal() const { return fileTotal_; }

  // The path of the file the file analyzer is working on, empty between
  // files: after an error, the file it happened in (empty when it happened
  // outside any file, such as in the report).
  const std::string& currentFile() const { return currentFile_; }

 private:
  IFileAnalyzer& fileAnalyzer();
  IReportWriter& outputMgr();
  void analyzeOne(const std::string& dirName, const std::string& fileName);
  void analyzeFiles(int32_t fileCount);
  // Hands a file's batch on: to the report, and its progress and messages to
  // the front end when withProgress (they were recorded, not shown).
  void commitFile(const FileBatch& batch, bool withProgress);
  // Hands on the directories passed over that stand before the next files,
  // filesDone being the files handed on so far.
  void commitDirectoriesBefore(size_t filesDone);
  void startProgress(int32_t fileTotal);
  // A file was reported or skipped.
  void fileDone();
  // Raises AnalysisStopped when a stop was requested.
  void checkStopRequest() const;

  std::unique_ptr<IFileAnalyzer> fileAnalyzer_;
  FileAnalyzerFactory factory_;  // empty: the analyzer cannot be copied
  std::unique_ptr<AnalysisMonitor> monitor_;
  IReportWriter* outputMgr_ = nullptr;
  FileEnumeration enumeration_;
  IStatusLine& statusLine_;
  IUserMessage& messages_;
  bool keepGoing_ = false;
  bool analyzerStale_ = false;  // the last file failed: init before the next
  std::function<void(const SkippedFileRecord&)> skippedFileHandler_;
  int32_t skippedFileCount_ = 0;
  int32_t skippedDirectoryCount_ = 0;
  size_t filesCommitted_ = 0;        // files handed on to the report so far
  size_t directoriesCommitted_ = 0;  // entries of the enumeration's passed-over directories
  int32_t jobs_ = 1;
  FileBatch batch_;  // the file being analysed, with keep-going on one thread
  std::string encoding_ = "auto";
  std::string analysedDirectory_;  // of the directory being analysed
  std::string currentFile_;
  std::atomic<bool> stopRequested_{false};
  ProgressHandler progressHandler_;
  int32_t fileTotal_ = 0;
  int32_t filesDone_ = 0;
};

}  // namespace rzt
