#pragma once

#include "records/Records.h"

namespace rzt {

// Where the analyzers tell how far they have come: each call names the file,
// type or method being begun. A record is only valid during the call.
class IAnalysisMonitor {
 public:
  virtual ~IAnalysisMonitor() = default;
  virtual void notifyFileAnalysis(const FileRecord& file) = 0;
  virtual void notifyClassAnalysis(const ClassRecord& cls) = 0;
  virtual void notifyMethodAnalysis(const MethodRecord& method) = 0;
  // After a file whose syntax tree holds errors: how many there are.
  virtual void notifySyntaxErrors(const FileRecord& file) = 0;
};

}  // namespace rzt
