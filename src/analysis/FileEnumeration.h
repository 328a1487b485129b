#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rzt {

// The list of Java source files of a directory, or of a directory and every
// directory below it, walked one file at a time. Files come depth-first: a
// directory's own files, then everything below each of its subdirectories.
// Within a directory names are sorted by their bytes; names beginning with
// "." are hidden and left out; symbolic links to directories are not
// followed, links to files are listed.
class FileEnumeration {
 public:
  // Makes the list and returns its length; the cursor goes before the first
  // file. Raises error 76 for a directory that cannot be listed and the
  // overflow error past 2147483647 files.
  int32_t prepare(const std::string& dirName, bool subDir);
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
  // Lists a directory as the enumeration sees it; raises error 76,
  // "パスが見つかりません: " + dirName, when it cannot be listed.
  static Listing listDirectory(const std::string& dirName);
  // Whether a bare name ends in ".java", in any letter case.
  static bool isJavaFileName(const std::string& name);

 private:
  int32_t countFiles(const std::string& dirName, bool subDir);
  size_t collectFiles(const std::string& dirName, bool subDir, size_t start);

  std::vector<std::string> dirNames_;
  std::vector<std::string> fileNames_;
  size_t cursor_ = 0;  // 1-based; 0 before the first file
};

}  // namespace rzt
