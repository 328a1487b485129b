#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/RztError.h"

namespace rzt {

// The list of Java source files of a directory, or of a directory and every
// directory below it, walked one file at a time. Files come depth-first: a
// directory's own files, then everything below each of its subdirectories.
// Within a directory names are sorted by their bytes; names beginning with
// "." are hidden and left out; symbolic links to directories are not
// followed, links to files are listed.
class FileEnumeration {
 public:
  // A directory below the starting one that could not be listed, when such
  // directories are passed over: where it stands in the list (the number of
  // files listed before it), its path and the error of listing it.
  struct UnreadableDirectory {
    size_t position;
    std::string dirName;
    RztError error;
  };

  // Makes the list and returns its length; the cursor goes before the first
  // file. Raises error 76 for a directory that cannot be listed (below the
  // starting one, only when such directories are not passed over) and the
  // overflow error past 2147483647 files.
  int32_t prepare(const std::string& dirName, bool subDir);
  // Pass over a directory below the starting one that cannot be listed,
  // keeping it in unreadableDirectories (off by default: it ends prepare).
  void setSkipUnreadableDirectories(bool skip) { skipUnreadable_ = skip; }
  // The directories passed over by the last prepare, in the order met.
  const std::vector<UnreadableDirectory>& unreadableDirectories() const { return unreadable_; }
  // Moves to the next file and answers true, or answers false at the end.
  bool hasMoreFiles();
  // The directory of the file at the cursor: dirName as given for the files
  // of the starting directory, the joined path below it.
  const std::string& nextDirName() const;
  // The bare name of the file at the cursor.
  const std::string& nextFileName() const;

  // The names directly in one directory that the enumeration takes, each
  // list sorted by bytes: the Java source files and the subdirectories to
  // descend into.
  struct Listing {
    std::vector<std::string> files;
    std::vector<std::string> subDirs;
  };
  // Lists a directory as the enumeration sees it; raises error 76 when it
  // cannot be listed: "パスが見つかりません: " + dirName when it is not there,
  // else "フォルダを読み取れません (reason): " + dirName.
  static Listing listDirectory(const std::string& dirName);
  // Whether a bare name ends in ".java", in any letter case.
  static bool isJavaFileName(const std::string& name);

 private:
  // Appends the files of one directory, and of those below it when subDir.
  void collectFiles(const std::string& dirName, bool subDir, bool start);

  std::vector<std::string> dirNames_;
  std::vector<std::string> fileNames_;
  size_t cursor_ = 0;  // 1-based; 0 before the first file
  bool skipUnreadable_ = false;
  std::vector<UnreadableDirectory> unreadable_;
};

}  // namespace rzt
