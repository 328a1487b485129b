#include "analysis/AnalyzerMain.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "JavaTestSupport.h"
#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "analysis/AnalysisMonitor.h"
#include "java/IFileAnalyzer.h"
#include "options/IOption.h"
#include "report/IReportWriter.h"
#include "support/RztError.h"

namespace rzt {
namespace {

using Log = std::vector<std::string>;
using test::RecordingReportWriter;
using test::RecordingOption;

// A file analyzer that raises a file's two events of its own and logs the
// driver's calls; a file named "bad.java" raises error 53 instead.
class ScriptedFileAnalyzer : public IFileAnalyzer {
 public:
  explicit ScriptedFileAnalyzer(Log& log) : log_(log) {}
  void setEncoding(const std::string& encoding) override { log_.push_back("analyzer:encoding " + encoding); }
  void setUserMessage(IUserMessage* messages) override { messages_ = messages; }
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) override {
    log_.push_back("analyzer:init");
    monitor_ = anaMonitor;
    report_ = oMgr;
  }
  void doAnalysis(const std::string& dName, const std::string& fName) override {
    if (fName == "bad.java") throw RztError(kErrFileNotFound, "", "ファイルが見つかりません: " + fName);
    record_.dirName = dName;
    record_.fileName = fName;
    monitor_->notifyFileAnalysis(record_);
    report_->finishedFileAnalysis(record_);
  }
  IUserMessage* messages_ = nullptr;

 private:
  Log& log_;
  IAnalysisMonitor* monitor_ = nullptr;
  IReportWriter* report_ = nullptr;
  FileRecord record_;
};

class AnalyzerMainScripted : public ::testing::Test {
 protected:
  AnalyzerMainScripted() : report(status.texts), driver(status, messages) {
    auto analyzer = std::make_unique<ScriptedFileAnalyzer>(status.texts);
    scripted = analyzer.get();
    driver.setFileAnalyzer(std::move(analyzer));
    status.texts.clear();
  }
  std::string dir(const std::string& relative) const { return root.str() + "/" + relative; }

  test::TempDir root;
  test::RecordingStatusLine status;
  test::RecordingUserMessage messages;
  RecordingReportWriter report;
  RecordingOption options;
  AnalyzerMain driver;
  ScriptedFileAnalyzer* scripted = nullptr;
};

TEST_F(AnalyzerMainScripted, ReplacedAnalyzerGetsEncodingAndMessages) {
  test::RecordingStatusLine otherStatus;
  AnalyzerMain other(otherStatus, messages);
  other.setEncoding("cp932");
  Log log;
  auto analyzer = std::make_unique<ScriptedFileAnalyzer>(log);
  ScriptedFileAnalyzer* raw = analyzer.get();
  other.setFileAnalyzer(std::move(analyzer));
  EXPECT_EQ(Log{"analyzer:encoding cp932"}, log);
  EXPECT_EQ(&messages, raw->messages_);
  other.setEncoding("utf-8");
  EXPECT_EQ((Log{"analyzer:encoding cp932", "analyzer:encoding utf-8"}), log);
}

TEST_F(AnalyzerMainScripted, InitPreparesTheReportWithTheOptions) {
  driver.init(&report, options);
  EXPECT_EQ(Log{"prepare"}, status.texts);
  EXPECT_EQ(&options, report.prepared);
}

TEST_F(AnalyzerMainScripted, EventOrder) {
  root.write("two/b.java", "");
  root.write("two/a.java", "");
  root.write("two/sub/c.java", "");
  root.write("none/readme.txt", "");
  root.write("one/x.java", "");

  struct Case {
    const char* name;
    std::function<void()> run;
    Log expected;
  };
  const std::vector<Case> cases = {
      {"DirectoryWithoutFiles",
       [&] { driver.doAnalysisDir(dir("none"), true); },
       {"prepare", "analyzer:init", "解析対象のファイルが存在しません", "all",
        "解析が終了しました"}},
      {"SingleFile",
       [&] { driver.doAnalysisFile(dir("one"), "x.java"); },
       {"prepare", "analyzer:init", "[ 1/ 1] x.javaファイルを解析しています",
        "F:x.java", "all", "解析が終了しました"}},
      {"DirectoryAlone",
       [&] { driver.doAnalysisDir(dir("two"), false); },
       {"prepare", "analyzer:init", "[ 1/ 2] a.javaファイルを解析しています",
        "F:a.java", "[ 2/ 2] b.javaファイルを解析しています",
        "F:b.java", "解析が終了しました", "all", "解析が終了しました"}},
      {"DirectoryTree",
       [&] { driver.doAnalysisDir(dir("two"), true); },
       {"prepare", "analyzer:init", "[ 1/ 3] a.javaファイルを解析しています",
        "F:a.java", "[ 2/ 3] b.javaファイルを解析しています",
        "F:b.java", "[ 3/ 3] c.javaファイルを解析しています",
        "F:c.java", "解析が終了しました", "all",
        "解析が終了しました"}},
  };
  // One driver runs every case in turn: the file count starts again each time.
  for (int pass = 0; pass < 2; ++pass) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " pass " + std::to_string(pass));
      status.texts.clear();
      driver.init(&report, options);
      c.run();
      EXPECT_EQ(c.expected, status.texts);
    }
  }
  EXPECT_TRUE(messages.shown.empty());

  // Files of the starting directory carry it as given, those below the path.
  report.files.clear();
  driver.init(&report, options);
  driver.doAnalysisDir(dir("two"), true);
  std::vector<std::string> dirs;
  for (const FileRecord& f : report.files) dirs.push_back(f.dirName);
  EXPECT_EQ((Log{dir("two"), dir("two"), dir("two/sub")}), dirs);
}

TEST_F(AnalyzerMainScripted, ErrorEndsTheAnalysisWithoutFinishing) {
  root.write("d/a.java", "");
  root.write("d/bad.java", "");
  root.write("d/c.java", "");
  driver.init(&report, options);
  status.texts.clear();
  try {
    driver.doAnalysisDir(dir("d"), false);
    FAIL() << "the error was swallowed";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrFileNotFound, e.number());
  }
  EXPECT_EQ((Log{"analyzer:init", "[ 1/ 3] a.javaファイルを解析しています",
                 "F:a.java"}),
            status.texts);
  EXPECT_EQ(dir("d") + "/bad.java", driver.currentFile());

  // The next analysis starts afresh with the same driver.
  driver.init(&report, options);
  status.texts.clear();
  driver.doAnalysisFile(dir("d"), "c.java");
  EXPECT_EQ("", driver.currentFile()) << "no file is being analysed after the end";
  EXPECT_EQ("解析が終了しました", status.texts.back());
}

TEST_F(AnalyzerMainScripted, ReportErrorAtTheEndNamesNoFile) {
  root.write("d/a.java", "");
  report.failAtEnd = true;
  driver.init(&report, options);
  status.texts.clear();
  EXPECT_THROW(driver.doAnalysisDir(dir("d"), false), RztError);
  EXPECT_EQ("", driver.currentFile());
  EXPECT_EQ((Log{"analyzer:init", "[ 1/ 1] a.javaファイルを解析しています",
                 "F:a.java", "解析が終了しました", "all"}),
            status.texts);
}

TEST_F(AnalyzerMainScripted, MissingDirectoryIsAnErrorBeforeAnyFile) {
  driver.init(&report, options);
  status.texts.clear();
  try {
    driver.doAnalysisDir(dir("nowhere"), true);
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrPathNotFound, e.number());
    EXPECT_EQ("パスが見つかりません: " + dir("nowhere"), e.description());
  }
  EXPECT_EQ(Log{"analyzer:init"}, status.texts);
  EXPECT_EQ("", driver.currentFile());
}

TEST_F(AnalyzerMainScripted, AnalysisWithoutInitIsRefused) {
  root.write("a.java", "");
  EXPECT_THROW(driver.doAnalysisFile(root.str(), "a.java"), std::logic_error);
  EXPECT_THROW(driver.doAnalysisDir(root.str(), false), std::logic_error);
  EXPECT_TRUE(status.texts.empty());
}

// The driver over the real word-level file analyzer: Java text in, the
// monitor's texts and the report's events out, in one order.
class AnalyzerMainJava : public ::testing::Test {
 protected:
  AnalyzerMainJava() : report(status.texts), driver(status, messages) {}
  std::string dir(const std::string& relative) const { return root.str() + "/" + relative; }

  test::TempDir root;
  test::RecordingStatusLine status;
  test::RecordingUserMessage messages;
  RecordingReportWriter report;
  RecordingOption options;
  AnalyzerMain driver;
};

TEST_F(AnalyzerMainJava, SingleFileEvents) {
  root.write("p/A.java", "package p;\n\nclass A {\n  void m() { }\n}\n");
  driver.init(&report, options);
  driver.doAnalysisFile(dir("p"), "A.java");
  EXPECT_EQ((Log{"prepare", "[ 1/ 1] A.javaファイルを解析しています",
                 "[ 1/ 1] Aクラスを解析しています", "[ 1/ 1] A - mメソッドを解析しています",
                 "M:A.m", "C:A", "F:A.java",
                 "all", "解析が終了しました"}),
            status.texts);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AnalyzerMainJava, TreeEventsNestAndCountRestarts) {
  root.write("src/B.java",
             "package q;\npublic class B {\n  class In {\n    int f() { return 1; }\n  }\n"
             "  B() { }\n}\n");
  root.write("src/sub/C.java", "interface C {\n  void g();\n}\n");
  const Log expected = {"prepare",
                        "[ 1/ 2] B.javaファイルを解析しています",
                        "[ 1/ 2] Bクラスを解析しています",
                        "[ 1/ 2] B$Inクラスを解析しています",
                        "[ 1/ 2] B$In - fメソッドを解析しています",
                        "M:B$In.f",
                        "C:B$In",
                        "[ 1/ 2] B - Bメソッドを解析しています",
                        "M:B.B",
                        "C:B",
                        "F:B.java",
                        "[ 2/ 2] C.javaファイルを解析しています",
                        "[ 2/ 2] Cクラスを解析しています",
                        "[ 2/ 2] C - gメソッドを解析しています",
                        "M:C.g",
                        "C:C",
                        "F:C.java",
                        "解析が終了しました",
                        "all",
                        "解析が終了しました"};
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    status.texts.clear();
    driver.init(&report, options);
    driver.doAnalysisDir(dir("src"), true);
    EXPECT_EQ(expected, status.texts);
  }
}

TEST_F(AnalyzerMainJava, MissingFileStopsBeforeTheEnd) {
  driver.init(&report, options);
  status.texts.clear();
  try {
    driver.doAnalysisFile(dir("p"), "Gone.java");
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrFileNotFound, e.number());
  }
  EXPECT_EQ(Log{"[ 1/ 1] Gone.javaファイルを解析しています"}, status.texts);
  EXPECT_EQ(dir("p") + "/Gone.java", driver.currentFile());
}

}  // namespace
}  // namespace rzt
