#pragma once

#include <cstdint>
#include <string>

#include "records/IAnalysisMonitor.h"
#include "records/Records.h"

namespace rzt {

class IStatusLine;

// Tells the user how far an analysis has come: each event replaces the text
// of the status line.
class AnalysisMonitor final : public IAnalysisMonitor {
 public:
  explicit AnalysisMonitor(IStatusLine& statusLine) : statusLine_(statusLine) {}

  void notifyStartAnalysis(int32_t fileCount);
  // Continues a count of fileCount files at filesBefore files done, so that
  // the next file shows the ordinal filesBefore + 1: for a monitor that sees
  // only some of the files of a run.
  void resumeAnalysis(int32_t fileCount, int32_t filesBefore);
  void notifyFileAnalysis(const FileRecord& file) override;
  void notifyClassAnalysis(const ClassRecord& cls) override;
  void notifyMethodAnalysis(const MethodRecord& method) override;
  void notifySyntaxErrors(const FileRecord& file) override;
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
