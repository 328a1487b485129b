// Measures writing a large report; disabled by default, run with
//   rzt_tests_report --gtest_also_run_disabled_tests --gtest_filter='*Measure*'
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"

namespace rzt::test {
namespace {

TEST(ReportMeasureTest, DISABLED_TwoHundredThousandMethods) {
  constexpr int kFiles = 2000, kClassesPerFile = 10, kMethodsPerClass = 10;
  TempDir dir;
  std::filesystem::path file = dir.path() / "large.xlsx";
  OutputMgr mgr([&] { return std::unique_ptr<IWorkbook>(std::make_unique<XlsxWorkbook>(file)); });
  RecordingOption options;  // the defaults, diagnosis on
  auto start = std::chrono::steady_clock::now();
  mgr.prepare(options);
  MethodRecord m = methodRecord("method", "pkg.Klass", "org.example.pkg");
  ClassRecord c = classRecord("Klass", "org.example.pkg");
  int methods = 0;
  for (int f = 0; f < kFiles; ++f) {
    for (int k = 0; k < kClassesPerFile; ++k) {
      for (int i = 0; i < kMethodsPerClass; ++i) {
        m.statementCount = Counter(i * 7);  // some methods reach the threshold of 50
        m.ifStatementCount = Counter(i);
        m.messagePassingCount = Counter(i * 3);
        m.returnsValue = i % 2 == 0;
        mgr.finishedMethodAnalysis(m);
        ++methods;
      }
      c.statementCount = Counter(315);
      c.instanceMethodCount = Counter(kMethodsPerClass);
      mgr.finishedClassAnalysis(c);
    }
    mgr.finishedFileAnalysis(fileRecord("File" + std::to_string(f) + ".java",
                                        "org.example.p" + std::to_string(f % 50), 1200, 800,
                                        300, 100, kClassesPerFile, 12));
  }
  double rowSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  mgr.finishedAllAnalysis();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("rows written in %.2f s\n", rowSeconds);
  std::printf("methods %d, classes %d, files %d: %.2f s, peak RSS %.1f MB, file %.1f MB\n",
              methods, kFiles * kClassesPerFile, kFiles, seconds, usage.ru_maxrss / 1024.0,
              std::filesystem::file_size(file) / 1048576.0);
  EXPECT_EQ(methods, 200000);
  EXPECT_LT(usage.ru_maxrss / 1024.0, 400.0);
}

}  // namespace
}  // namespace rzt::test
