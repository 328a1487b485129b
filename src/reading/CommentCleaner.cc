#include "reading/CommentCleaner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "reading/FileReader.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// Reads a FileReader's text in place, without a call per character, and
// lets the cleaner take runs of characters its state passes on unchanged.
class TextWalker {
 public:
  explicit TextWalker(FileReader& reader)
      : reader_(reader),
        begin_(reader.getText().data()),
        p_(begin_ + reader.getPosition()),
        end_(begin_ + reader.getText().size()) {}
  ~TextWalker() { reader_.setPosition(static_cast<size_t>(p_ - begin_)); }
  TextWalker(const TextWalker&) = delete;
  TextWalker& operator=(const TextWalker&) = delete;
  bool hasMoreChars() const { return p_ < end_; }
  char readChar() { return *p_++; }
  // The offset of the next character in the reader's text.
  size_t position() const { return static_cast<size_t>(p_ - begin_); }
  const char* current() const { return p_; }
  const char* end() const { return end_; }
  void skipTo(const char* p) { p_ = p; }

 private:
  FileReader& reader_;
  const char* begin_;
  const char* p_;
  const char* end_;
};

// Any character source, counting the characters taken from it.
class CountingSource {
 public:
  explicit CountingSource(ICharSource& source) : source_(source) {}
  bool hasMoreChars() { return source_.hasMoreChars(); }
  char readChar() {
    const char c = source_.readChar();
    ++position_;
    return c;
  }
  size_t position() const { return position_; }

 private:
  ICharSource& source_;
  size_t position_ = 0;
};

template <class Source>
concept WalksInPlace = requires(Source& s, const char* p) {
  s.current();
  s.skipTo(p);
};

constexpr std::array<bool, 256> makeCodeStops() {
  std::array<bool, 256> table{};
  table['/'] = table['"'] = table['\''] = true;
  return table;
}

// The characters that change the state in code: everything else is delivered.
constexpr std::array<bool, 256> kCodeStops = makeCodeStops();

}  // namespace

CommentCleaner::CommentCleaner() = default;
CommentCleaner::~CommentCleaner() = default;

void CommentCleaner::init(std::unique_ptr<ICharSource> fr,
                          std::shared_ptr<const SymbolRuleMgr> sRuleMgr) {
  fileReader_ = std::move(fr);
  directReader_ = dynamic_cast<FileReader*>(fileReader_.get());
  symbolRuleMgr_ = std::move(sRuleMgr);
}

void CommentCleaner::openFile(const std::string& dName, const std::string& fName) {
  cleanSize_ = 0;
  pos_ = 0;
  sourceError_ = nullptr;
  shifts_.clear();
  shift_ = 0;
  fileReader_->openFile(dName, fName);
  cleanState_ = 0;
  if (directReader_ != nullptr) {
    // The clean text is never longer than the text it comes from.
    size_t need = directReader_->getText().size() - directReader_->getPosition() + 1;
    if (clean_.size() < need) clean_.resize(need);
    TextWalker walker(*directReader_);
    cleanAll(walker);
  } else {
    // A source that fails ends the text where it failed, as hasMoreChars
    // swallows the failure; readChar at the end raises it again.
    try {
      CountingSource counting(*fileReader_);
      cleanAll(counting);
    } catch (...) {
      sourceError_ = std::current_exception();
    }
  }
}

void CommentCleaner::closeFile() {
  fileReader_->closeFile();
  cleanSize_ = 0;
  pos_ = 0;
}

size_t CommentCleaner::getSourceOffset(size_t cleanOffset) const {
  const auto after = std::upper_bound(shifts_.begin(), shifts_.end(), cleanOffset,
                                      [](size_t offset, const Shift& s) { return offset < s.clean; });
  if (after == shifts_.begin()) return cleanOffset;
  const Shift& from = after[-1];
  return from.source + (cleanOffset - from.clean);
}

template <class Source>
void CommentCleaner::cleanAll(Source& src) {
  int32_t state = cleanState_;
  char quote = quoteChar_;
  // Whatever state the text ends in, the stream ends there: an open comment
  // or a lone "/" at the end is lost, an open literal was delivered so far.
  while (src.hasMoreChars()) {
    if constexpr (WalksInPlace<Source>) {
      // Take at once the runs that the state passes on or drops unchanged.
      const char* p = src.current();
      const char* end = src.end();
      const char* q = p;
      if (state == 0) {
        while (q < end && !kCodeStops[static_cast<unsigned char>(*q)]) ++q;
        if (q != p) comesFrom(src.position());
        std::memcpy(clean_.data() + cleanSize_, p, static_cast<size_t>(q - p));
        cleanSize_ += static_cast<size_t>(q - p);
      } else if (state == 2) {
        while (q < end && *q != '\n' && *q != '\r') ++q;
      } else if (state == 3) {
        q = static_cast<const char*>(std::memchr(p, '*', static_cast<size_t>(end - p)));
        if (q == nullptr) q = end;
      } else if (state == 8) {
        while (q < end && *q != quote && !SymbolRuleMgr::isLiteralMask(*q)) ++q;
        if (q != p) comesFrom(src.position());
        std::memcpy(clean_.data() + cleanSize_, p, static_cast<size_t>(q - p));
        cleanSize_ += static_cast<size_t>(q - p);
      }
      src.skipTo(q);
      if (q == end) break;
    }
    const size_t at = src.position();
    char c = src.readChar();
    switch (state) {
      case 0:
        if (c == '/') {
          state = 1;
        } else if (SymbolRuleMgr::isLiteral(c)) {
          quote = c;
          comesFrom(at);
          put(c);
          state = 8;
        } else {
          comesFrom(at);
          put(c);
        }
        break;
      case 1:
        if (c == '/') {
          state = 2;
        } else if (c == '*') {
          state = 3;
        } else if (SymbolRuleMgr::isLiteral(c)) {
          // The held quote is delivered right after the "/", which came
          // just before it.
          quote = c;
          comesFrom(at - 1);
          put('/');
          put(c);
          state = 8;
        } else {
          // A held space means nothing held: the space after a lone "/" is lost.
          comesFrom(at - 1);
          put('/');
          if (c != ' ') put(c);
          state = 0;
        }
        break;
      case 2:
        if (c == '\n' || c == '\r') {
          comesFrom(at);
          put(c);
          state = 0;
        }
        break;
      case 3:
        if (c == '*') state = 4;
        break;
      case 4:
        if (c == '/') {
          state = 0;
        } else if (c != '*') {
          state = 3;
        }
        break;
      case 8:
        comesFrom(at);
        put(c);
        if (c == quote) {
          state = 0;
        } else if (SymbolRuleMgr::isLiteralMask(c)) {
          state = 9;
        }
        break;
      case 9:
        comesFrom(at);
        put(c);
        state = 8;
        break;
    }
  }
  cleanState_ = state;
  quoteChar_ = quote;
}

void CommentCleaner::raiseEndOfFile() const {
  if (sourceError_) std::rethrow_exception(sourceError_);
  throw RztError(kErrReadAfterEof, "CommentCleaner.readChar", kTextReadAfterEof);
}

}  // namespace rzt
