#pragma once

#include <string>
#include <string_view>

namespace rzt {

// The whole text is well-formed UTF-8 (no overlong forms, surrogates or
// code points beyond U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The text without a leading UTF-8 byte order mark.
std::string_view stripUtf8Bom(std::string_view text);

// Turns the bytes of a source file into UTF-8 text. "auto" (the default):
// a valid UTF-8 text is used as is, otherwise it is converted from CP932,
// and if that fails too, from Latin-1. Any other name is an iconv encoding
// tried first; when it is unknown or the bytes do not convert, the "auto"
// rule decides. A UTF-8 byte order mark never reaches the text.
class TextDecoder final {
 public:
  TextDecoder();
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;

  void setEncoding(const std::string& encoding);
  const std::string& getEncoding() const { return encoding_; }

  // The text of bytes: a view into bytes itself when they are UTF-8 already,
  // else into out, whose storage is reused from call to call.
  std::string_view decode(std::string_view bytes, std::string& out);
  // The encoding the last decode read its bytes as: "UTF-8", "CP932",
  // "ISO-8859-1" or the explicit name.
  const std::string& getLastEncoding() const { return lastEncoding_; }

 private:
  // Converts with iconv from the descriptor's encoding; false when the bytes
  // are not valid in it.
  bool convert(void* descriptor, std::string_view bytes, std::string& out);
  void closeExplicit();

  std::string encoding_ = "auto";
  bool isAuto_ = true;
  bool isUtf8_ = false;  // the explicit name is UTF-8 under another spelling
  void* explicitDescriptor_ = nullptr;  // iconv_t, opened on first use
  bool explicitUnknown_ = false;
  void* cp932Descriptor_ = nullptr;
  std::string lastEncoding_;
};

}  // namespace rzt
