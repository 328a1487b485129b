#pragma once

#include <cstdint>
#include <string>

#include "java/Records.h"

namespace rzt {

class IStatusLine;

// Tells the user how far an analysis has come: each event replaces the text
// of the status line.
class AnalysisMonitor {
 public:
  explicit AnalysisMonitor(IStatusLine& statusLine) : statusLine_(statusLine) {}

  void notifyStartAnalysis(int32_t fileCount);
  void notifyFileAnalysis(const FileRecord& file);
  void notifyClassAnalysis(const ClassRecord& cls);
  void notifyMethodAnalysis(const MethodRecord& method);
  void notifyAllAnalysis();
  void fileCountIsZero();

  // "[ 3/ 10] " for the third of ten files.
  std::string progressText() const;

 private:
  IStatusLine& statusLine_;
  int32_t fileTotal_ = 0;
  int32_t fileIndex_ = 0;
};

}  // namespace rzt
