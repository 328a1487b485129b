#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "analysis/FileEnumeration.h"

namespace rzt {

class AnalysisMonitor;
class IFileAnalyzer;
class IOption;
class IReportWriter;
class IStatusLine;
class IUserMessage;

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
  // gets the encoding and the message sink.
  void setFileAnalyzer(std::unique_ptr<IFileAnalyzer> analyzer);

  // The path of the file the file analyzer is working on, empty between
  // files: after an error, the file it happened in (empty when it happened
  // outside any file, such as in the report).
  const std::string& currentFile() const { return currentFile_; }

 private:
  IFileAnalyzer& fileAnalyzer();
  IReportWriter& outputMgr();
  void analyzeOne(const std::string& dirName, const std::string& fileName);

  std::unique_ptr<IFileAnalyzer> fileAnalyzer_;
  std::unique_ptr<AnalysisMonitor> monitor_;
  IReportWriter* outputMgr_ = nullptr;
  FileEnumeration enumeration_;
  IUserMessage& messages_;
  std::string encoding_ = "auto";
  std::string currentFile_;
};

}  // namespace rzt
