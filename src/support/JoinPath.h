#pragma once

#include <string>

namespace rzt {

// A directory and a bare name joined with "/", added only when the
// directory does not already end in one.
inline std::string joinPath(const std::string& dirName, const std::string& name) {
  if (!dirName.empty() && dirName.back() == '/') return dirName + name;
  return dirName + "/" + name;
}

}  // namespace rzt
