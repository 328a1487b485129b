#pragma once

#include <string>

namespace rzt {

// What a class analyzer asks of the object it belongs to, at the moment it
// needs the answer.
class IClassRequester {
 public:
  virtual ~IClassRequester() = default;
  virtual std::string getPackageName() const = 0;
  virtual std::string getFileName() const = 0;
  // The file's path relative to the analysed folder (FileRecord::filePath).
  virtual const std::string& getFilePath() const = 0;
  virtual std::string getClassName() const = 0;
};

}  // namespace rzt
