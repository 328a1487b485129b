#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "reading/ICharSource.h"
#include "reading/SymbolRuleMgr.h"

namespace rzt {

class CommentCleaner;
class IUserMessage;

// Turns the cleaned characters into words: names, keywords and numbers,
// symbols of one or two characters, and whole literals with their quotes.
class LogicalReader final {
 public:
  LogicalReader();
  ~LogicalReader();

  void init(std::unique_ptr<ICharSource> rdr, std::shared_ptr<const SymbolRuleMgr> sRuleMgr);
  // Where the end-of-file message goes (null: nowhere).
  void setUserMessage(IUserMessage* messages) { messages_ = messages; }

  void openFile(const std::string& dName, const std::string& fName);
  void closeFile();
  bool hasMoreWords();
  // The next word, valid until the next call. Past the last word: the message
  // "解析の途中でEOFに到達しました", then error 500020.
  const std::string& readWord() {
    readWordInto(word_);
    return word_;
  }
  // The same into out, whose storage is reused: the push-back reader reads
  // each word straight into its slot, without a copy in between.
  void readWordInto(std::string& out);
  // Where the word readWord handed out last begins, as an offset into the
  // character source's text (for a CommentCleaner: into its clean text).
  size_t getWordOffset() const { return wordOffset_; }
  // The offset in the file's text of an offset into the source's text.
  size_t getSourceOffset(size_t offset) const;

  ICharSource* getCharReader() const { return charReader_.get(); }

  // Space, tab, carriage return, line feed and backspace.
  static constexpr bool isBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\b';
  }

 private:
  // The word being built; its storage only grows.
  class WordBuffer {
   public:
    WordBuffer() : chars_(64) {}
    size_t size() const { return size_; }
    char operator[](size_t i) const { return chars_[i]; }
    const char* data() const { return chars_.data(); }
    void clear() { size_ = 0; }
    void assign(char c) {
      chars_[0] = c;
      size_ = 1;
    }
    void push(char c) {
      if (size_ == chars_.size()) chars_.resize(chars_.size() * 2);
      chars_[size_++] = c;
    }
    void append(const char* p, size_t n) {
      if (size_ + n > chars_.size()) chars_.resize((size_ + n) * 2);
      for (size_t i = 0; i < n; ++i) chars_[size_ + i] = p[i];
      size_ += n;
    }

   private:
    std::vector<char> chars_;
    size_t size_ = 0;
  };

  template <class Source>
  bool peekNonBlankFrom(Source& src);
  template <class Source>
  void readWordFrom(Source& src, std::string& out);
  // Hands out the finished word into out and starts the next one with c,
  // the character just taken, at offset.
  void completeWord(std::string& out, char c, size_t offset) {
    copyWord(out);
    wordOffset_ = wordStart_;
    startWord(c, offset);
  }
  // out = the word being built. Within out's storage (nearly always, as the
  // ring's slots keep theirs) a resize and a copy, cheaper than assign.
  void copyWord(std::string& out) const {
    const size_t n = wordBuffer_.size();
    if (n > out.capacity()) {
      out.assign(wordBuffer_.data(), n);
      return;
    }
    out.resize(n);
    if (n > 0) std::memcpy(out.data(), wordBuffer_.data(), n);
  }
  void startWord(char c, size_t offset) {
    wordBuffer_.assign(c);
    wordStart_ = offset;
  }
  bool isBlankWord() const {
    return wordBuffer_.size() == 0 || (wordBuffer_.size() == 1 && isBlankChar(wordBuffer_[0]));
  }
  [[noreturn]] void raiseEndOfFile();

  std::unique_ptr<ICharSource> charReader_;
  CommentCleaner* cleaner_ = nullptr;  // charReader_ when it is a CommentCleaner
  std::shared_ptr<const SymbolRuleMgr> symbolRuleMgr_;
  IUserMessage* messages_ = nullptr;
  bool hasPeekChar_ = false;
  char peekChar_ = ' ';
  char prevChar_ = ' ';
  char curChar_ = ' ';
  // Offsets in the source's text: of peekChar, of the first character of
  // wordBuffer, and of the word last handed out.
  size_t peekOffset_ = 0;
  size_t wordStart_ = 0;
  size_t wordOffset_ = 0;
  size_t sourcePosition_ = 0;  // characters taken from a source other than a CommentCleaner
  WordBuffer wordBuffer_;
  std::string word_;  // the word readWord handed out last
  bool inLiteral_ = false;
  char quoteChar_ = '"';
};

}  // namespace rzt
