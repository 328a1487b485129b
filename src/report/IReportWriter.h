#pragma once

#include <cstdint>
#include <string>

#include "records/Records.h"

namespace rzt {

class IOption;

// A file left out of the report because its analysis raised an error, when
// the analysis goes on past such files: where it is, the error, and the words
// the push-back reader had read when it happened (0 where none were read).
struct SkippedFileRecord {
  std::string dirName;
  std::string fileName;
  int32_t number = 0;
  std::string source;
  std::string description;  // with the message that came with the error beside it
  int32_t wordCount = 0;
};

// The report side of the analysis events. The analyzers hand over each
// record when it is finished: a method before its class, a class after all
// its methods and nested classes, a file after all its types. A record is
// only valid during the call.
class IReportWriter {
 public:
  virtual ~IReportWriter() = default;
  // Once per analysis, before any file: reads the settings, starts a report.
  virtual void prepare(const IOption& diagPara) = 0;
  virtual void finishedFileAnalysis(const FileRecord& file) = 0;
  virtual void finishedClassAnalysis(const ClassRecord& cls) = 0;
  virtual void finishedMethodAnalysis(const MethodRecord& method) = 0;
  // A file whose analysis failed, when the analysis goes on past such files;
  // none of its records were handed over. Writers that list no such files
  // ignore it.
  virtual void skippedFileAnalysis(const SkippedFileRecord& file) { (void)file; }
  // Once per analysis, after the last file: summary, and the report is done.
  virtual void finishedAllAnalysis() = 0;
};

}  // namespace rzt
