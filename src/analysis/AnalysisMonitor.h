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
  // Continues a count of fileCount files at filesBefore files done, so that
  // the next file shows the ordinal filesBefore + 1: for a monitor that sees
  // only some of the files of a run.
  void resumeAnalysis(int32_t fileCount, int32_t filesBefore);
  void notifyFileAnalysis(const FileRecord& file);
  void notifyClassAnalysis(const ClassRecord& cls);
  void notifyMethodAnalysis(const MethodRecord& method);
  // After a file whose syntax tree holds errors: how many there are.
  void notifySyntaxErrors(const FileRecord& file);
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
