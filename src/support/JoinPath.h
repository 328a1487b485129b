#pragma once

#include <string>

namespace rzt {

// A directory and a bare name joined with "/", added only when the
// directory does not already end in one.
inline std::string joinPath(const std::string& dirName, const std::string& name) {
  if (!dirName.empty() && dirName.back() == '/') return dirName + name;
  return dirName + "/" + name;
}

// The path of the file fileName in dirName relative to baseDir, a folder at
// or above dirName as the file enumeration joins them: the bare name for a
// file directly in baseDir, else the folders below it and the name, "/"
// between them. A dirName that is not below baseDir gives the bare name.
inline std::string relativePath(const std::string& baseDir, const std::string& dirName, const std::string& fileName) {
  if (baseDir.empty() || dirName.size() <= baseDir.size() || dirName.compare(0, baseDir.size(), baseDir) != 0) {
    return fileName;
  }
  size_t start = baseDir.size();
  if (baseDir.back() != '/') {
    if (dirName[start] != '/') return fileName;  // "/src" is no folder above "/src2"
    ++start;
  }
  if (start >= dirName.size()) return fileName;
  return joinPath(dirName.substr(start), fileName);
}

}  // namespace rzt
