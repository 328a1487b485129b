#include "analysis/AnalysisMonitor.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace rzt {
namespace {

TEST(AnalysisMonitor, TextsOfEachEvent) {
  test::RecordingStatusLine status;
  AnalysisMonitor monitor(status);
  FileRecord file;
  ClassRecord cls;
  MethodRecord method;

  monitor.notifyStartAnalysis(10);
  for (int i = 1; i <= 3; ++i) {
    file.fileName = "F" + std::to_string(i) + ".java";
    monitor.notifyFileAnalysis(file);
  }
  cls.className = "Outer$Inner";
  monitor.notifyClassAnalysis(cls);
  method.className = "Outer$Inner";
  method.methodName = "run";
  monitor.notifyMethodAnalysis(method);
  monitor.notifyAllAnalysis();
  monitor.fileCountIsZero();
  // A new analysis counts from the start again.
  monitor.notifyStartAnalysis(1);
  monitor.notifyFileAnalysis(file);

  EXPECT_EQ((std::vector<std::string>{
                "[ 1/ 10] F1.javaファイルを解析しています",
                "[ 2/ 10] F2.javaファイルを解析しています",
                "[ 3/ 10] F3.javaファイルを解析しています",
                "[ 3/ 10] Outer$Innerクラスを解析しています",
                "[ 3/ 10] Outer$Inner - runメソッドを解析しています",
                "解析が終了しました",
                "解析対象のファイルが存在しません",
                "[ 1/ 1] F3.javaファイルを解析しています",
            }),
            status.texts);
}

TEST(AnalysisMonitor, ProgressBeforeTheFirstFileAndForLargeCounts) {
  test::RecordingStatusLine status;
  AnalysisMonitor monitor(status);
  EXPECT_EQ("[ 0/ 0] ", monitor.progressText());
  monitor.notifyStartAnalysis(2147483647);
  EXPECT_EQ("[ 0/ 2147483647] ", monitor.progressText());
  EXPECT_TRUE(status.texts.empty()) << "starting shows nothing";
}

}  // namespace
}  // namespace rzt
