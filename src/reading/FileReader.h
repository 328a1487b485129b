#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "reading/ICharSource.h"
#include "reading/TextDecoding.h"

namespace rzt {

// The characters of one whole source file, decoded to UTF-8 at openFile and
// walked from memory. Both buffers keep their storage from file to file.
// Only a regular file of at most kMaxFileBytes is read: a pipe, a device or
// a folder put in a file's place after the listing is an error, not a read
// that blocks or never ends.
class FileReader final : public ICharSource {
 public:
  // Far above any real source (the JDK's largest is under 1 MB), and far
  // below what the 32-bit counters of one file can take.
  static constexpr size_t kMaxFileBytes = size_t{256} << 20;

  FileReader();
  ~FileReader() override;

  // "auto" (the default) or an iconv encoding name; see TextDecoder.
  void setEncoding(const std::string& encoding) { decoder_.setEncoding(encoding); }
  const std::string& getEncoding() const { return decoder_.getEncoding(); }
  // What the last opened file was read as.
  const std::string& getLastEncoding() const { return decoder_.getLastEncoding(); }

  // Raises error 53 naming the path, and saying why, when the file cannot
  // be opened or read, is no regular file or holds more than kMaxFileBytes.
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

 private:
  [[noreturn]] static void raisePastEnd();
  [[noreturn]] static void raiseTooLarge(const std::string& path);
  void readWholeFile(const std::string& path);

  TextDecoder decoder_;
  std::string raw_;  // the file's bytes in [0, rawSize_); only grows
  size_t rawSize_ = 0;
  std::string decoded_;
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace rzt
