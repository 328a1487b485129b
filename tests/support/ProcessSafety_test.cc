// Closed standard descriptors and terminating signals, each tried in a
// child process of its own.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "support/SignalCleanup.h"
#include "support/StandardDescriptors.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

// The wait status of body run in a child process that ends with _exit of
// body's result.
int inChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

bool isDevNull(int fd) {
  struct stat a {}, b {};
  return ::fstat(fd, &a) == 0 && ::stat("/dev/null", &b) == 0 && a.st_rdev == b.st_rdev && S_ISCHR(a.st_mode);
}

TEST(StandardDescriptors, ClosedOnesAreOpenedOnDevNullAndReported) {
  struct Case {
    const char* name;
    std::vector<int> closed;
    int expected;
  };
  const std::vector<Case> cases = {
      {"None", {}, 0},
      {"Error", {2}, kStandardErrorWasClosed},
      {"Output", {1}, kStandardOutputWasClosed},
      {"InputAndError", {0, 2}, kStandardInputWasClosed | kStandardErrorWasClosed},
      {"All", {0, 1, 2}, kStandardInputWasClosed | kStandardOutputWasClosed | kStandardErrorWasClosed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int status = inChild([&] {
      for (int fd : c.closed) ::close(fd);
      if (ensureStandardDescriptors() != c.expected) return 1;
      for (int fd : c.closed) {
        if (!isDevNull(fd)) return 2;
      }
      // The next file opened does not take one of them.
      if (::open("/dev/zero", O_RDONLY) <= 2) return 3;
      // Open ones are left as they were.
      return ensureStandardDescriptors() == 0 ? 0 : 4;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
  }
}

// A terminating signal removes the registered files, then folders, and ends
// the program with 128 + its number; released paths stay.
TEST(SignalCleanup, ATerminatingSignalRemovesTheRegisteredPaths) {
  struct Case {
    const char* name;
    int signal;
  };
  for (const Case& c : {Case{"Interrupt", SIGINT}, Case{"Terminate", SIGTERM}, Case{"HangUp", SIGHUP},
                        Case{"BrokenPipe", SIGPIPE}}) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const fs::path folder = dir.path() / "staging";
    fs::create_directory(folder);
    const fs::path inside = dir.write("staging/report.xlsx", "half");
    const fs::path kept = dir.write("kept.txt", "stays");
    const int status = inChild([&] {
      installSignalCleanup();
      CleanupPath f(folder.string(), true);
      CleanupPath r(inside.string(), false);
      CleanupPath k(kept.string(), false);
      k.release();
      ::raise(c.signal);
      return 0;  // not reached
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(128 + c.signal, WEXITSTATUS(status));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fs::exists(kept));
  }
}

// Under a SignalDeferral the signal waits: the work in it is finished, and
// the program ends when the last deferral goes.
TEST(SignalCleanup, ADeferredSignalEndsTheProgramAfterTheWork) {
  test::TempDir dir;
  const fs::path done = dir.path() / "done";
  const fs::path temporary = dir.write("temporary", "x");
  const int status = inChild([&] {
    installSignalCleanup();
    CleanupPath t(temporary.string(), false);
    {
      SignalDeferral outer;
      {
        SignalDeferral inner;
        ::raise(SIGTERM);
      }
      // Still under the outer one: the work goes on.
      std::FILE* f = std::fopen(done.c_str(), "w");
      if (f != nullptr) std::fclose(f);
    }
    return 0;  // not reached: the signal ends the program here
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(128 + SIGTERM, WEXITSTATUS(status));
  EXPECT_TRUE(fs::exists(done));
  EXPECT_FALSE(fs::exists(temporary));
}

}  // namespace
}  // namespace rzt
