#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/IStatusLine.h"
#include "support/IUserMessage.h"

namespace rzt::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  // Writes bytes to a file below the folder, making its directories.
  std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
  // Lets every user read the folder and everything in it, and enter its
  // folders (for tests that run as an unprivileged user).
  void openToEveryone() const;

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

// Makes this process the unprivileged user nobody, without the groups of
// the superuser, so that permissions taken away hold for it (the superuser
// reads everything); a process that is not the superuser stays as it is.
// False when that fails. For a child process: it cannot be undone.
bool becomeUnprivileged();

// Keeps every text the status line was given.
class RecordingStatusLine : public IStatusLine {
 public:
  void setText(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// Keeps every message box, "I:" or "C:" before its text, without blocking.
class RecordingUserMessage : public IUserMessage {
 public:
  void showMessage(const std::string& text) override { shown.push_back("I:" + text); }
  void showCritical(const std::string& text) override { shown.push_back("C:" + text); }
  std::vector<std::string> shown;
};

}  // namespace rzt::test
