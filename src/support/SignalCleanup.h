#pragma once

#include <string>

namespace rzt {

// Temporary files and folders that a terminating signal must not leave
// behind. While registered, a path is removed when SIGINT, SIGTERM, SIGHUP or
// SIGPIPE ends the program (once installSignalCleanup has run): files first,
// then folders, and the program exits with 128 + the signal's number. The
// signal handler only removes the paths prepared here and calls _exit, so it
// is safe in any thread at any moment.
class CleanupPath {
 public:
  CleanupPath() = default;
  // A path longer than the registry keeps is not registered.
  CleanupPath(const std::string& path, bool isFolder);
  ~CleanupPath() { release(); }
  CleanupPath(CleanupPath&& other) noexcept : slot_(other.slot_) { other.slot_ = -1; }
  CleanupPath& operator=(CleanupPath&& other) noexcept;
  CleanupPath(const CleanupPath&) = delete;
  CleanupPath& operator=(const CleanupPath&) = delete;

  // The path is no longer removed on a signal (it was renamed or removed).
  void release();

 private:
  int slot_ = -1;
};

// While one lives, a terminating signal does not end the program at once
// but when the last one goes, so that a few renames that belong together
// (the files of a report set) are all done or all undone first. Only a
// short, bounded piece of work may run under it.
class SignalDeferral {
 public:
  SignalDeferral();
  ~SignalDeferral();
  SignalDeferral(const SignalDeferral&) = delete;
  SignalDeferral& operator=(const SignalDeferral&) = delete;
};

// Installs the handler of SIGINT, SIGTERM, SIGHUP and SIGPIPE described
// above. A closed pipe thus ends the program quietly with status 141.
void installSignalCleanup();

}  // namespace rzt
