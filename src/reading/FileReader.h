#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "reading/ICharSource.h"
#include "reading/TextDecoding.h"

namespace rzt {

// The characters of one whole source file, decoded to UTF-8 at openFile and
// walked from memory. Both buffers keep their storage from file to file.
class FileReader final : public ICharSource {
 public:
  FileReader();
  ~FileReader() override;

  // "auto" (the default) or an iconv encoding name; see TextDecoder.
  void setEncoding(const std::string& encoding) { decoder_.setEncoding(encoding); }
  const std::string& getEncoding() const { return decoder_.getEncoding(); }
  // What the last opened file was read as.
  const std::string& getLastEncoding() const { return decoder_.getLastEncoding(); }

  // Raises error 53 naming the path when the file cannot be opened or read.
  void openFile(const std::string& dName, const std::string& fName) override;
  void closeFile() override;
  bool hasMoreChars() override { return pos_ < text_.size(); }
  char readChar() override {
    if (pos_ >= text_.size()) raisePastEnd();
    return text_[pos_++];
  }

  // The decoded text of the open file and how far it has been read.
  std::string_view getText() const { return text_; }
  size_t getPosition() const { return pos_; }
  // Marks everything up to position as read (for readers that walk getText).
  void setPosition(size_t position) { pos_ = position < text_.size() ? position : text_.size(); }

  // dName and fName joined with "/", added only when dName does not end in one.
  static std::string joinPath(const std::string& dName, const std::string& fName);

 private:
  [[noreturn]] static void raisePastEnd();
  void readWholeFile(const std::string& path);

  TextDecoder decoder_;
  std::string raw_;  // the file's bytes in [0, rawSize_); only grows
  size_t rawSize_ = 0;
  std::string decoded_;
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace rzt
