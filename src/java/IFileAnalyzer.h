#pragma once

#include <cstdint>
#include <string>

namespace rzt {

class IAnalysisMonitor;
class IReportWriter;
class IUserMessage;

// Measures one source file at a time and raises the file's analysis events.
// The word-level analysis and the syntax-tree analysis both offer it, so the
// driver runs either.
class IFileAnalyzer {
 public:
  virtual ~IFileAnalyzer() = default;
  // Text decoding of the source files: "auto" (the default) or an iconv name.
  virtual void setEncoding(const std::string& encoding) = 0;
  // Where message boxes raised while reading go (none: they are dropped).
  virtual void setUserMessage(IUserMessage* messages) = 0;
  // The folder the analysis was started on: each file record's path is
  // taken relative to it (relativePath); until it is set, and for a file
  // outside it, the path is the bare file name. An analyzer that keeps no
  // paths ignores it.
  virtual void setAnalysedDirectory(const std::string& dirName) { (void)dirName; }
  // Prepares for an analysis; keeps the monitor and the report writer.
  virtual void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) = 0;
  virtual void doAnalysis(const std::string& dName, const std::string& fName) = 0;
  // The words read from the current file so far, for naming where an error
  // stopped it; 0 for an analysis that does not read words.
  virtual int32_t getWordCount() const { return 0; }
};

}  // namespace rzt
