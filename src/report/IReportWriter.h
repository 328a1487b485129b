#pragma once

#include "java/Records.h"

namespace rzt {

class IOption;

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
  // Once per analysis, after the last file: summary, and the report is done.
  virtual void finishedAllAnalysis() = 0;
};

}  // namespace rzt
