#include "analysis/AnalysisMonitor.h"

#include "support/Counter.h"
#include "support/IStatusLine.h"

namespace rzt {

void AnalysisMonitor::notifyStartAnalysis(int32_t fileCount) {
  fileIndex_ = 0;
  fileTotal_ = fileCount;
}

void AnalysisMonitor::resumeAnalysis(int32_t fileCount, int32_t filesBefore) {
  fileIndex_ = filesBefore;
  fileTotal_ = fileCount;
}

void AnalysisMonitor::notifyFileAnalysis(const FileRecord& file) {
  fileIndex_ = checkedAdd(fileIndex_, 1);
  statusLine_.setText(progressText() + file.fileName + "ファイルを解析しています");
}

void AnalysisMonitor::notifyClassAnalysis(const ClassRecord& cls) {
  statusLine_.setText(progressText() + cls.className + "クラスを解析しています");
}

void AnalysisMonitor::notifyMethodAnalysis(const MethodRecord& method) {
  statusLine_.setText(progressText() + method.className + " - " + method.methodName +
                      "メソッドを解析しています");
}

void AnalysisMonitor::notifySyntaxErrors(const FileRecord& file) {
  statusLine_.setText(progressText() + file.fileName + "ファイルに構文ｴﾗｰがあります: " +
                      std::to_string(file.syntaxErrorCount));
}

void AnalysisMonitor::notifyAllAnalysis() { statusLine_.setText("解析が終了しました"); }

void AnalysisMonitor::fileCountIsZero() { statusLine_.setText("解析対象のファイルが存在しません"); }

// Numbers are written as the display conversion writes them: a leading space
// stands where a minus sign would. (Built by appending: GCC 12 warns falsely
// about " " + std::string.)
static void appendDisplayNumber(std::string& out, int32_t n) {
  if (n >= 0) out += ' ';
  out += std::to_string(n);
}

std::string AnalysisMonitor::progressText() const {
  std::string text = "[";
  appendDisplayNumber(text, fileIndex_);
  text += '/';
  appendDisplayNumber(text, fileTotal_);
  text += "] ";
  return text;
}

}  // namespace rzt
