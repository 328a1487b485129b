#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/SignalCleanup.h"

namespace rzt {

// A fresh private folder (mode 0700, ".rzt-" and six random characters)
// beside a report, where the report's files are written before they are
// renamed into place. Everything inside is reached through the folder's own
// descriptor and the files through the descriptors made for them, never
// again by a name that someone else could have replaced by a link; the
// report's folder is held open too, so the renames land where the report
// was asked for. A terminating signal removes the folder and what is made in
// it (see CleanupPath), and so does the destructor.
class StagingFolder {
 public:
  // Makes the folder beside target. Raises error 76 "パスが見つかりません: " +
  // target when target's folder does not exist, error 75
  // "ファイルに書き込めません: " + target (with the system's reason) when
  // the folder cannot be made, or when target is written itself
  // (targetIsWritten) and names a folder. source names the writer in the
  // errors.
  StagingFolder(const std::filesystem::path& target, std::string source, bool targetIsWritten = true);
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // A new file inside, opened for reading and writing; error 75 for target
  // when it cannot be made.
  std::FILE* createFile(const std::string& name);
  // A file inside that has no name at all (O_TMPFILE, or removed as soon as
  // it is made): it disappears with its stream, whatever ends the program.
  std::FILE* createUnnamedFile();
  // The name by which a library that insists on a file name opens the file
  // name inside: through the folder's descriptor (/proc/self/fd/N/name)
  // where the system offers it, so that it stays inside the folder even if
  // the folder is renamed meanwhile. The file is removed with the folder.
  std::string pathForLibrary(const std::string& name);

  // Gives the files inside their report's mode and renames them into place
  // as one unit, in order: a previous file of each name is kept until every
  // new file is in place, and put back when a rename fails; a signal waits
  // until all are done or undone. Each pair is (name inside, name of the
  // report in target's folder). Raises error 75 naming the report that
  // could not be put in place, with the system's reason.
  void moveIntoPlace(const std::vector<std::pair<std::string, std::string>>& files);

  // The folder the report goes into, for messages.
  const std::filesystem::path& targetFolder() const { return targetFolder_; }

  // The mode a new report takes: that of the regular file the name itself
  // names in folderFd (not through a link), without set-id and sticky bits;
  // otherwise the default mode of a new file under the process's umask.
  static mode_t reportMode(int folderFd, const std::string& name);
  // A stream for an unnamed temporary file in the folder (O_TMPFILE, or a
  // file removed as soon as it is made); nullptr with errno set.
  static std::FILE* openUnnamedFile(const std::string& folder);

 private:
  [[noreturn]] void fail(const std::string& target, int error) const;
  void removeInside();

  std::string source_;
  std::filesystem::path target_;
  std::filesystem::path targetFolder_;
  int targetFolderFd_ = -1;
  std::string name_;  // of the folder, in targetFolder_
  std::string path_;  // of the folder
  int fd_ = -1;
  std::string libraryFolder_;  // how a library reaches the folder
  CleanupPath cleanupFolder_;
  std::vector<CleanupPath> cleanupFiles_;
};

}  // namespace rzt
