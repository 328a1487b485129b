#include "java/ModernParseInput.h"

#include <algorithm>
#include <cstring>

namespace rzt {

ModernParseInput::ModernParseInput() { std::memset(fill_, 0, sizeof fill_); }

void ModernParseInput::reset(std::string_view text) {
  text_ = text;
  runs_.clear();
  lastRun_ = 0;
}

void ModernParseInput::replace(size_t offset, char byte) {
  const auto at = static_cast<uint32_t>(offset);
  if (!runs_.empty()) {
    Run& last = runs_.back();
    if (last.byte == byte && last.offset + last.length == at) {
      ++last.length;
      return;
    }
  }
  runs_.push_back(Run{at, 1, byte});
}

size_t ModernParseInput::replacementCount() const {
  size_t n = 0;
  for (const Run& r : runs_) n += r.length;
  return n;
}

TSInput ModernParseInput::input() {
  TSInput in{};
  in.payload = this;
  in.read = &ModernParseInput::read;
  in.encoding = TSInputEncodingUTF8;
  return in;
}

const char* ModernParseInput::read(void* payload, uint32_t byteIndex, TSPoint, uint32_t* bytesRead) {
  return static_cast<ModernParseInput*>(payload)->chunkAt(byteIndex, bytesRead);
}

const char* ModernParseInput::chunkAt(uint32_t byteIndex, uint32_t* bytesRead) {
  if (byteIndex >= text_.size()) {
    *bytesRead = 0;
    return "";
  }
  if (runs_.empty()) {
    *bytesRead = static_cast<uint32_t>(text_.size() - byteIndex);
    return text_.data() + byteIndex;
  }
  // The lexer mostly reads forwards: try the run after the last one first.
  size_t i = lastRun_;
  if (i >= runs_.size() || runs_[i].offset > byteIndex ||
      (i + 1 < runs_.size() && runs_[i + 1].offset <= byteIndex)) {
    auto next = std::upper_bound(runs_.begin(), runs_.end(), byteIndex,
                                 [](uint32_t index, const Run& r) { return index < r.offset; });
    i = next == runs_.begin() ? runs_.size() : static_cast<size_t>(next - runs_.begin()) - 1;
  }
  // i: the last run at or before byteIndex, or runs_.size() when none is.
  if (i < runs_.size()) {
    lastRun_ = i;
    const Run& r = runs_[i];
    if (byteIndex < r.offset + r.length) {
      uint32_t n = std::min<uint32_t>(r.offset + r.length - byteIndex, sizeof fill_);
      std::memset(fill_, r.byte, n);
      *bytesRead = n;
      return fill_;
    }
    ++i;
  } else {
    i = 0;
  }
  const size_t end = i < runs_.size() ? runs_[i].offset : text_.size();
  *bytesRead = static_cast<uint32_t>(end - byteIndex);
  return text_.data() + byteIndex;
}

std::string ModernParseInput::parsedText() const {
  std::string out(text_);
  for (const Run& r : runs_) std::memset(out.data() + r.offset, r.byte, r.length);
  return out;
}

}  // namespace rzt
