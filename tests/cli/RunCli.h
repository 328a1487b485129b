#pragma once

// Runs the built rzt-cli program as a child process, for the end-to-end tests.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "report/IWorkbook.h"
#include "TestSupport.h"

namespace rzt {

struct RunResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// The report a run wrote for the output path: the path itself, or the
// partial report beside it when the analysis ended early.
inline std::filesystem::path writtenReport(const std::filesystem::path& report) {
  const std::filesystem::path partial = partialReportPath(report);
  return std::filesystem::exists(partial) ? partial : report;
}

// Runs rzt-cli with the arguments in the folder workDir, standard input
// empty. Standard error goes to a pseudo-terminal when terminal is true;
// environment holds NAME=VALUE settings added for the child; unprivileged
// runs it as the user nobody (see test::becomeUnprivileged; exit status 125
// when that fails).
inline RunResult runCli(const std::vector<std::string>& args, const std::filesystem::path& workDir,
                        bool terminal = false, const std::vector<std::string>& environment = {},
                        bool unprivileged = false) {
  namespace fs = std::filesystem;
  test::TempDir capture;
  const fs::path outPath = capture.path() / "out";
  const fs::path errPath = capture.path() / "err";
  int master = -1;
  std::string slaveName;
  if (terminal) {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return {};
    }
    slaveName = ::ptsname(master);
  }

  std::vector<std::string> argv = {RZT_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    // A hang ends as a failed run instead of stopping the whole suite: the
    // alarm outlives exec and its signal ends the program.
    ::alarm(300);
    if (::chdir(workDir.c_str()) != 0) ::_exit(126);
    for (const std::string& setting : environment) {
      const size_t equals = setting.find('=');
      ::setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err;
    if (terminal) {
      ::setsid();
      err = ::open(slaveName.c_str(), O_RDWR);
    } else {
      err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (unprivileged && !test::becomeUnprivileged()) ::_exit(125);
    ::execv(cargs[0], cargs.data());
    ::_exit(127);
  }
  RunResult result;
  if (terminal) {
    // Read until the program's end closes the terminal's other side.
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n > 0) {
        result.err.append(buffer, static_cast<size_t>(n));
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;
      }
    }
    ::close(master);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = test::readFile(outPath);
  if (!terminal) result.err = test::readFile(errPath);
  return result;
}

}  // namespace rzt
