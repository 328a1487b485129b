#include "reading/TextDecoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "support/AsciiCase.h"

namespace rzt {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

std::string lowerAsciiCopy(std::string_view s) {
  std::string r(s);
  lowerAsciiInPlace(r);
  return r;
}

void* openToUtf8(const char* from) {
  iconv_t cd = iconv_open("UTF-8", from);
  return cd == kNoDescriptor ? nullptr : cd;
}

// Latin-1 maps every byte to the code point of its value, so this never fails.
void convertLatin1(std::string_view bytes, std::string& out) {
  out.clear();
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    // Source text is mostly ASCII: test eight bytes at a time.
    while (end - p >= 8) {
      uint64_t block;
      std::memcpy(&block, p, 8);
      if (block & 0x8080808080808080ull) break;
      p += 8;
    }
    if (p >= end) break;
    unsigned char b = *p;
    if (b < 0x80) {
      ++p;
      continue;
    }
    int extra;
    uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      cp = b & 0x07;
    } else {
      return false;
    }
    if (end - p <= extra) return false;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return false;
    if (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) return false;
    p += extra + 1;
  }
  return true;
}

std::string_view stripUtf8Bom(std::string_view text) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

TextDecoder::TextDecoder() = default;

TextDecoder::~TextDecoder() {
  closeExplicit();
  if (cp932Descriptor_ != nullptr) iconv_close(static_cast<iconv_t>(cp932Descriptor_));
}

void TextDecoder::closeExplicit() {
  if (explicitDescriptor_ != nullptr) iconv_close(static_cast<iconv_t>(explicitDescriptor_));
  explicitDescriptor_ = nullptr;
  explicitUnknown_ = false;
}

void TextDecoder::setEncoding(const std::string& encoding) {
  if (encoding == encoding_) return;
  closeExplicit();
  encoding_ = encoding;
  std::string lower = lowerAsciiCopy(encoding);
  isAuto_ = lower.empty() || lower == "auto";
  isUtf8_ = lower == "utf-8" || lower == "utf8";
}

bool TextDecoder::convert(void* descriptor, std::string_view bytes, std::string& out) {
  auto cd = static_cast<iconv_t>(descriptor);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
  // One input byte gives at most three bytes of UTF-8 (half-width katakana).
  if (out.size() < bytes.size() * 3 + 16) out.resize(bytes.size() * 3 + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  size_t written = 0;
  for (;;) {
    char* outPtr = out.data() + written;
    size_t outLeft = out.size() - written;
    size_t rc = iconv(cd, inLeft > 0 ? &in : nullptr, &inLeft, &outPtr, &outLeft);
    written = out.size() - outLeft;
    if (rc != static_cast<size_t>(-1)) {
      if (inLeft == 0) {
        // Flush a final shift sequence of stateful encodings.
        outPtr = out.data() + written;
        outLeft = out.size() - written;
        if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
        written = out.size() - outLeft;
        break;
      }
      continue;
    }
    if (errno != E2BIG) return false;  // EILSEQ or an incomplete last character
    out.resize(out.size() * 2);
  }
  out.resize(written);
  return true;
}

std::string_view TextDecoder::decode(std::string_view bytes, std::string& out) {
  if (!isAuto_ && !isUtf8_) {
    if (explicitDescriptor_ == nullptr && !explicitUnknown_) {
      explicitDescriptor_ = openToUtf8(encoding_.c_str());
      explicitUnknown_ = explicitDescriptor_ == nullptr;
    }
    if (explicitDescriptor_ != nullptr && convert(explicitDescriptor_, bytes, out)) {
      lastEncoding_ = encoding_;
      return stripUtf8Bom(out);
    }
    // An unknown name or bytes foreign to it: fall back on the automatic rule.
  }
  std::string_view text = stripUtf8Bom(bytes);
  if (isValidUtf8(text)) {
    lastEncoding_ = "UTF-8";
    return text;
  }
  if (cp932Descriptor_ == nullptr) cp932Descriptor_ = openToUtf8("CP932");
  if (cp932Descriptor_ != nullptr && convert(cp932Descriptor_, bytes, out)) {
    lastEncoding_ = "CP932";
    return stripUtf8Bom(out);
  }
  convertLatin1(bytes, out);
  lastEncoding_ = "ISO-8859-1";
  return out;
}

}  // namespace rzt
