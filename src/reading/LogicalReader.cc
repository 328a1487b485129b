#include "reading/LogicalReader.h"

#include <array>
#include <string>
#include <utility>

#include "reading/CommentCleaner.h"
#include "support/IUserMessage.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// Walks the cleaner's text in place: the same characters its hasMoreChars
// and readChar give, plus runs of characters that need no decision each.
class CleanCursor {
 public:
  explicit CleanCursor(CommentCleaner& cleaner)
      : cleaner_(cleaner),
        begin_(cleaner.getCleanText().data()),
        p_(begin_ + cleaner.getPosition()),
        end_(begin_ + cleaner.getCleanText().size()) {}
  ~CleanCursor() { cleaner_.setPosition(static_cast<size_t>(p_ - begin_)); }
  CleanCursor(const CleanCursor&) = delete;
  CleanCursor& operator=(const CleanCursor&) = delete;

  bool hasMoreChars() const { return p_ < end_; }
  // The offset of the next character in the clean text.
  size_t position() const { return static_cast<size_t>(p_ - begin_); }
  char readChar() {
    if (p_ < end_) return *p_++;
    // Past the end: the cleaner raises its own error.
    cleaner_.setPosition(static_cast<size_t>(p_ - begin_));
    return cleaner_.readChar();
  }
  const char* current() const { return p_; }
  const char* end() const { return end_; }
  void skipTo(const char* p) { p_ = p; }

 private:
  CommentCleaner& cleaner_;
  const char* begin_;
  const char* p_;
  const char* end_;
};

// Any other character source, counting the characters taken from it.
class CountingSource {
 public:
  CountingSource(ICharSource& source, size_t& position) : source_(source), position_(position) {}
  bool hasMoreChars() { return source_.hasMoreChars(); }
  char readChar() {
    const char c = source_.readChar();
    ++position_;
    return c;
  }
  size_t position() const { return position_; }

 private:
  ICharSource& source_;
  size_t& position_;
};

template <class Source>
concept WalksInPlace = requires(Source& s, const char* p) {
  s.current();
  s.skipTo(p);
};

// What a character is to the word machine, in the order it tests them.
enum CharKind : unsigned char { kOrdinary = 0, kBlank, kQuote, kSymbol };

constexpr std::array<unsigned char, 256> makeKinds() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    if (LogicalReader::isBlankChar(ch)) {
      table[c] = kBlank;
    } else if (SymbolRuleMgr::isLiteral(ch)) {
      table[c] = kQuote;
    } else if (SymbolRuleMgr::isSymbol(ch)) {
      table[c] = kSymbol;
    }
  }
  return table;
}

constexpr std::array<unsigned char, 256> kKinds = makeKinds();

inline CharKind kindOf(char c) { return static_cast<CharKind>(kKinds[static_cast<unsigned char>(c)]); }

}  // namespace

LogicalReader::LogicalReader() = default;
LogicalReader::~LogicalReader() = default;

void LogicalReader::init(std::unique_ptr<ICharSource> rdr,
                         std::shared_ptr<const SymbolRuleMgr> sRuleMgr) {
  charReader_ = std::move(rdr);
  cleaner_ = dynamic_cast<CommentCleaner*>(charReader_.get());
  symbolRuleMgr_ = std::move(sRuleMgr);
}

void LogicalReader::openFile(const std::string& dName, const std::string& fName) {
  charReader_->openFile(dName, fName);
  hasPeekChar_ = false;
  curChar_ = ' ';
  prevChar_ = ' ';
  wordBuffer_.assign(' ');
  inLiteral_ = false;
  sourcePosition_ = 0;
  peekOffset_ = wordStart_ = wordOffset_ = 0;
}

size_t LogicalReader::getSourceOffset(size_t offset) const {
  return cleaner_ != nullptr ? cleaner_->getSourceOffset(offset) : offset;
}

void LogicalReader::closeFile() { charReader_->closeFile(); }

bool LogicalReader::hasMoreWords() {
  if (!isBlankWord()) return true;
  if (cleaner_ != nullptr) {
    CleanCursor cursor(*cleaner_);
    return peekNonBlankFrom(cursor);
  }
  CountingSource counting(*charReader_, sourcePosition_);
  return peekNonBlankFrom(counting);
}

template <class Source>
bool LogicalReader::peekNonBlankFrom(Source& src) {
  if (hasPeekChar_) return true;
  // The blanks read here are dropped without touching prevChar and curChar.
  char c = ' ';
  while (isBlankChar(c) && src.hasMoreChars()) {
    peekOffset_ = src.position();
    c = src.readChar();
  }
  hasPeekChar_ = !isBlankChar(c);
  peekChar_ = c;
  return hasPeekChar_;
}

void LogicalReader::readWordInto(std::string& out) {
  if (cleaner_ != nullptr) {
    CleanCursor cursor(*cleaner_);
    readWordFrom(cursor, out);
    return;
  }
  CountingSource counting(*charReader_, sourcePosition_);
  readWordFrom(counting, out);
}

template <class Source>
void LogicalReader::readWordFrom(Source& src, std::string& out) {
  // Takes the run [p, q) of characters that the current step would take one
  // by one with the same outcome, leaving prevChar and curChar as it would.
  auto takeRun = [&](const char* p, const char* q, bool append) {
    if constexpr (WalksInPlace<Source>) {
      if (q == p) return;
      if (append) wordBuffer_.append(p, static_cast<size_t>(q - p));
      prevChar_ = q - p >= 2 ? q[-2] : curChar_;
      curChar_ = q[-1];
      src.skipTo(q);
    }
  };

  // Where the character taken in step 1 stands: asked only where a word
  // begins, so the walk over the characters does not pay for it.
  bool fromPeek = false;
  auto offsetOfChar = [&]() -> size_t { return fromPeek ? peekOffset_ : src.position() - 1; };

  for (;;) {
    // 1. The next character.
    if (hasPeekChar_) {
      prevChar_ = curChar_;
      curChar_ = peekChar_;
      hasPeekChar_ = false;
      fromPeek = true;
    } else if (src.hasMoreChars()) {
      prevChar_ = curChar_;
      curChar_ = src.readChar();
      fromPeek = false;
    } else {
      if (isBlankWord()) raiseEndOfFile();
      copyWord(out);
      wordOffset_ = wordStart_;
      wordBuffer_.clear();
      return;
    }
    const char c = curChar_;

    // 2. Inside a literal everything is taken; an escaped character unseen.
    if (inLiteral_) {
      wordBuffer_.push(c);
      if (SymbolRuleMgr::isLiteralMask(c)) {
        prevChar_ = c;
        curChar_ = src.readChar();
        wordBuffer_.push(curChar_);
      } else if (c == quoteChar_) {
        inLiteral_ = false;
      } else if constexpr (WalksInPlace<Source>) {
        const char* p = src.current();
        const char* q = p;
        while (q < src.end() && *q != quoteChar_ && !SymbolRuleMgr::isLiteralMask(*q)) ++q;
        takeRun(p, q, true);
      }
      continue;
    }

    const CharKind prevKind = kindOf(prevChar_);
    switch (kindOf(c)) {
      case kBlank:
        // 3. White space ends a word.
        if (prevKind != kBlank) return completeWord(out, ' ', 0);
        if constexpr (WalksInPlace<Source>) {
          const char* p = src.current();
          const char* q = p;
          while (q < src.end() && kindOf(*q) == kBlank) ++q;
          takeRun(p, q, false);
        }
        continue;

      case kQuote:
        // 4. A quote opens a literal.
        inLiteral_ = true;
        quoteChar_ = c;
        if (prevKind == kBlank) {
          startWord(c, offsetOfChar());
          continue;
        }
        return completeWord(out, c, offsetOfChar());

      case kSymbol:
        // 5. A symbol joins the symbol before it only when the pair is one.
        if (prevKind == kBlank) {
          startWord(c, offsetOfChar());
          continue;
        }
        if (prevKind != kSymbol) return completeWord(out, c, offsetOfChar());  // a quote or an ordinary character
        if (wordBuffer_.size() == 0 ? SymbolRuleMgr::isSymbol(c)
            : wordBuffer_.size() == 1 ? SymbolRuleMgr::isSymbolPair(wordBuffer_[0], c)
                                      : false) {
          wordBuffer_.push(c);
          continue;
        }
        return completeWord(out, c, offsetOfChar());

      case kOrdinary:
        // 6. Any other character continues a name or number.
        if (prevKind == kBlank) {
          startWord(c, offsetOfChar());
        } else if (prevKind == kSymbol || prevKind == kQuote) {
          return completeWord(out, c, offsetOfChar());
        } else {
          wordBuffer_.push(c);
        }
        if constexpr (WalksInPlace<Source>) {
          const char* p = src.current();
          const char* q = p;
          while (q < src.end() && kindOf(*q) == kOrdinary) ++q;
          takeRun(p, q, true);
        }
        continue;
    }
  }
}

void LogicalReader::raiseEndOfFile() {
  if (messages_ != nullptr) messages_->showMessage(kTextUnexpectedEof);
  throw RztError(kErrUnexpectedEof, "LogicalReader.readWord", std::to_string(kErrUnexpectedEof), kTextUnexpectedEof);
}

}  // namespace rzt
