// rzt-cli started in a hostile setting: closed standard descriptors, a
// standard output that fails or whose reader goes away, and terminating
// signals in the middle of a run. No report is ever damaged, and nothing of
// a run is left behind but, after kill -9, its one temporary folder.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TextReportReader.h"
#include "XlsxReader.h"
#include "report/CsvWorkbook.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::set<std::string> entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

// What standard output of the child is.
enum class Output { kFile, kClosed, kFull, kPipeWithoutReader, kPipeReadALittle };

struct Child {
  pid_t pid = -1;
  int pipeRead = -1;  // the read end, for kPipeReadALittle
};

// Starts rzt-cli in workDir with TMPDIR set to tmp. Descriptors in closeFds
// are closed before the program starts; standard error goes to errPath
// unless it is closed.
Child startCli(const std::vector<std::string>& args, const fs::path& workDir, const fs::path& tmp, Output output,
               const fs::path& outPath, const fs::path& errPath, const std::set<int>& closeFds = {}) {
  std::vector<std::string> argv = {RZT_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  int pipeFds[2] = {-1, -1};
  if (output == Output::kPipeWithoutReader || output == Output::kPipeReadALittle) {
    if (::pipe(pipeFds) != 0) return {};
  }
  Child child;
  child.pid = ::fork();
  if (child.pid == 0) {
    ::alarm(300);
    if (::chdir(workDir.c_str()) != 0) ::_exit(126);
    ::setenv("TMPDIR", tmp.c_str(), 1);
    ::setenv("TMP", tmp.c_str(), 1);
    ::setenv("TEMP", tmp.c_str(), 1);
    // A SIGPIPE the test runner ignores would stay ignored across exec.
    ::signal(SIGPIPE, SIG_DFL);
    const int in = ::open("/dev/null", O_RDONLY);
    int out = -1;
    switch (output) {
      case Output::kFile:
        out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        break;
      case Output::kFull:
        out = ::open("/dev/full", O_WRONLY);
        break;
      case Output::kClosed:
        out = ::open("/dev/null", O_WRONLY);
        break;
      case Output::kPipeWithoutReader:
      case Output::kPipeReadALittle:
        ::close(pipeFds[0]);
        out = pipeFds[1];
        break;
    }
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (output == Output::kClosed) ::close(1);
    for (int fd : closeFds) ::close(fd);
    for (int fd = 3; fd < 64; ++fd) ::close(fd);
    ::execv(cargs[0], cargs.data());
    ::_exit(127);
  }
  if (pipeFds[1] >= 0) ::close(pipeFds[1]);
  if (output == Output::kPipeWithoutReader) {
    ::close(pipeFds[0]);
  } else {
    child.pipeRead = pipeFds[0];
  }
  return child;
}

// The wait status of the child.
int waitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// A status that tells how the program ended: its exit status, or 1000 + the
// signal that killed it.
int outcome(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status); }

// A project of one large file, so that a run takes a while and writes many
// rows, and one small file.
class SafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string big = "package big;\npublic class Big {\n";
    for (int i = 0; i < 300000; ++i) {
      big += "  public int m" + std::to_string(i) + "(int x) { if (x > 1) { return x + " + std::to_string(i) +
             "; } return helper(x); }\n";
    }
    dir_.write("src/big/Big.java", big + "}\n");
    dir_.write("src/Small.java", "class Small { void f() { g(); } }\n");
    dir_.write("small/Small.java", "class Small { void f() { g(); } }\n");
    fs::create_directories(dir_.path() / "out");
    fs::create_directories(dir_.path() / "tmp");
  }

  fs::path path(const std::string& relative) const { return dir_.path() / relative; }
  const fs::path& root() const { return dir_.path(); }

  test::TempDir dir_;
};

// A closed descriptor 0, 1 or 2 is not taken by a file of the report: the
// messages of the analysis never land in it.
TEST_F(SafetyTest, ClosedStandardDescriptorsDoNotBecomeFilesOfTheReport) {
  struct Case {
    const char* name;
    std::set<int> closed;
    const char* report;
  };
  // The generated word-mismatch message goes to standard error.
  dir_.write("msg/Odd.java", "class Odd { void f() { switch (k) x case 1: a(); } } }\nclass Fine { }\n");
  const std::vector<Case> cases = {
      {"ErrorClosedJson", {2}, "out/r.json"},
      {"AllClosedJson", {0, 1, 2}, "out/r.json"},
      {"ErrorClosedCsv", {2}, "out/r.csv"},
      {"AllClosedXlsx", {0, 1, 2}, "out/r.xlsx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(path("out"));
    fs::create_directories(path("out"));
    const Child child = startCli({"-q", "-o", c.report, "msg"}, root(), path("tmp"), Output::kFile, path("stdout"),
                                 path("stderr"), c.closed);
    EXPECT_EQ(0, outcome(waitFor(child.pid))) << test::readFile(path("stderr"));
    const std::string report = c.report;
    if (report.ends_with(".json")) {
      const test::JsonValue document = test::parseJson(test::readFile(path(c.report)));
      ASSERT_NE(nullptr, document.member("Class"));
      EXPECT_EQ(2u, document.member("Class")->items.size());
    } else if (report.ends_with(".csv")) {
      for (const char* sheet : {"Summ", "File", "Class", "Method", "診断"}) {
        const auto records = test::parseCsv(test::readFile(CsvWorkbook::sheetPath(path(c.report), sheet)));
        ASSERT_FALSE(records.empty()) << sheet;
        for (const auto& record : records) EXPECT_EQ(records[0].size(), record.size()) << sheet;
      }
    } else {
      EXPECT_EQ("Fine", test::readXlsx(path(c.report)).sheet("Class")->text(3, 2));
    }
    EXPECT_TRUE(entries(path("tmp")).empty());
  }
}

// "-o -" writes the report to standard output: a standard output that is
// closed or fails is an error with the reason; a reader that goes away ends
// the run quietly with status 141 (128 + SIGPIPE). Nothing is left behind.
TEST_F(SafetyTest, StandardOutputThatFailsOrGoesAway) {
  struct Case {
    const char* name;
    Output output;
    std::vector<std::string> args;
    int status;
    std::string err;  // a part of standard error; empty: nothing at all
  };
  const std::vector<Case> cases = {
      {"Closed", Output::kClosed, {"-q", "-o", "-", "small"}, 1, "standard output (Bad file descriptor)"},
      {"Full", Output::kFull, {"-q", "-o", "-", "small"}, 1, "No space left on device"},
      {"NoReader", Output::kPipeWithoutReader, {"-q", "-r", "-o", "-", "src"}, 141, ""},
      {"ReaderLeavesEarly", Output::kPipeReadALittle, {"-q", "-r", "-o", "-", "src"}, 141, ""},
      {"SummaryToAFullOutput", Output::kFull, {"-q", "-o", "out/r.json", "small"}, 1, "standard output: No space left"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(path("out"));
    fs::create_directories(path("out"));
    const Child child = startCli(c.args, root(), path("tmp"), c.output, path("stdout"), path("stderr"));
    if (c.output == Output::kPipeReadALittle) {
      // Like "| head -c 100": a little is read, then the pipe is closed while
      // the program still writes.
      char buffer[100];
      EXPECT_GT(::read(child.pipeRead, buffer, sizeof buffer), 0);
      ::close(child.pipeRead);
    }
    const std::string err = [&] {
      const int status = waitFor(child.pid);
      EXPECT_EQ(c.status, outcome(status));
      return test::readFile(path("stderr"));
    }();
    if (c.err.empty()) {
      EXPECT_EQ("", err);
    } else {
      EXPECT_TRUE(contains(err, c.err)) << err;
    }
    EXPECT_TRUE(entries(path("tmp")).empty()) << "spool files are left in the temporary folder";
    if (c.args[2] == "-") EXPECT_TRUE(entries(path("out")).empty());
  }
}

// SIGINT, SIGTERM and SIGHUP in the middle of a run remove the temporary
// report and end the program with 128 + the signal's number; the report
// already at the destination is left as it was. After kill -9 at most the
// one temporary folder of the report is left beside it.
TEST_F(SafetyTest, SignalsInTheMiddleOfARunLeaveNothingBehind) {
  struct Case {
    const char* name;
    int signal;
    const char* report;
  };
  const std::vector<Case> cases = {
      {"InterruptXlsx", SIGINT, "out/r.xlsx"}, {"TerminateJson", SIGTERM, "out/r.json"},
      {"HangUpCsv", SIGHUP, "out/r.csv"},      {"InterruptStandardOutput", SIGINT, "-"},
      {"KillXlsx", SIGKILL, "out/r.xlsx"},     {"KillCsv", SIGKILL, "out/r.csv"},
      {"KillJson", SIGKILL, "out/r.json"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(path("out"));
    fs::create_directories(path("out"));
    const std::string report = c.report;
    const bool toFile = report != "-";
    // The previous report, which must survive.
    const fs::path previous =
        report.ends_with(".csv") ? CsvWorkbook::sheetPath(path(c.report), "File") : path(toFile ? c.report : "out/x");
    dir_.write(fs::relative(previous, root()).string(), "the previous report");
    const Child child = startCli({"-q", "-r", "-j", "1", "-o", c.report, "src"}, root(), path("tmp"), Output::kFile,
                                 path("stdout"), path("stderr"));
    // Wait until the run is under way: its temporary folder is there (for
    // standard output, a moment after the start).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool started = !toFile;
    while (!started && std::chrono::steady_clock::now() < deadline) {
      for (const std::string& name : entries(path("out"))) started = started || name.starts_with(".rzt-");
      if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(toFile ? 100 : 300));
    ASSERT_TRUE(started);
    ::kill(child.pid, c.signal);
    const int status = waitFor(child.pid);
    if (c.signal == SIGKILL) {
      EXPECT_TRUE(WIFSIGNALED(status));
    } else {
      EXPECT_EQ(128 + c.signal, outcome(status)) << test::readFile(path("stderr"));
      EXPECT_EQ("", test::readFile(path("stderr")));
    }
    EXPECT_EQ("the previous report", test::readFile(previous));
    std::set<std::string> left = entries(path("out"));
    left.erase(previous.filename().string());
    if (c.signal == SIGKILL) {
      EXPECT_LE(left.size(), 1u);
      for (const std::string& name : left) EXPECT_TRUE(name.starts_with(".rzt-")) << name;
    } else {
      EXPECT_TRUE(left.empty()) << *left.begin();
    }
    EXPECT_TRUE(entries(path("tmp")).empty()) << *entries(path("tmp")).begin();
  }
}

}  // namespace
}  // namespace rzt
