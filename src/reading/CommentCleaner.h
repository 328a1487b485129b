#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reading/ICharSource.h"
#include "reading/SymbolRuleMgr.h"

namespace rzt {

class FileReader;

// The characters of a source with every comment taken out; string and
// character literals pass untouched. The whole file is cleaned at openFile
// into a reused buffer, giving the very characters and errors that cleaning
// one character at a time would give.
class CommentCleaner final : public ICharSource {
 public:
  CommentCleaner();
  ~CommentCleaner() override;

  void init(std::unique_ptr<ICharSource> fr, std::shared_ptr<const SymbolRuleMgr> sRuleMgr);

  void openFile(const std::string& dName, const std::string& fName) override;
  void closeFile() override;
  // False at the end of the clean text; never raises.
  bool hasMoreChars() override { return pos_ < cleanSize_; }
  // Past the end: error 50010 (or the error the source raised while read).
  char readChar() override {
    if (pos_ >= cleanSize_) raiseEndOfFile();
    return clean_[pos_++];
  }

  ICharSource* getCharSource() const { return fileReader_.get(); }
  // The clean text of the open file and how far it has been read, for a
  // reader that walks it in place.
  std::string_view getCleanText() const { return std::string_view(clean_.data(), cleanSize_); }
  size_t getPosition() const { return pos_; }
  void setPosition(size_t position) { pos_ = position < cleanSize_ ? position : cleanSize_; }
  // Where the character at an offset of the clean text stands in the text
  // the cleaner read (of its FileReader: the decoded file).
  size_t getSourceOffset(size_t cleanOffset) const;

 private:
  // From clean, the clean text continues the source's text at source: one
  // such entry wherever characters were taken out (a comment, the space
  // after a lone "/"), so the map stays small.
  struct Shift {
    uint32_t clean;
    uint32_t source;
  };

  // Runs the cleaning machine over every character of src.
  template <class Source>
  void cleanAll(Source& src);
  void put(char c) {
    if (cleanSize_ == clean_.size()) clean_.resize(clean_.size() * 2 + 256);
    clean_[cleanSize_++] = c;
  }
  // Notes where the next character put comes from, when that is not where
  // the clean text so far leads (shift_ is the difference up to here).
  void comesFrom(size_t source) {
    if (source - cleanSize_ == shift_) return;
    shift_ = source - cleanSize_;
    shifts_.push_back(Shift{static_cast<uint32_t>(cleanSize_), static_cast<uint32_t>(source)});
  }
  [[noreturn]] void raiseEndOfFile() const;

  std::unique_ptr<ICharSource> fileReader_;
  FileReader* directReader_ = nullptr;  // fileReader_ when it is a FileReader
  std::shared_ptr<const SymbolRuleMgr> symbolRuleMgr_;
  std::string clean_;  // the clean text in [0, cleanSize_); only grows
  size_t cleanSize_ = 0;
  size_t pos_ = 0;
  std::exception_ptr sourceError_;  // what the source raised, ending the text early
  std::vector<Shift> shifts_;  // in ascending order of clean
  size_t shift_ = 0;           // source minus clean offset at the end of the clean text
  int32_t cleanState_ = 0;  // 0 code, 1 after "/", 2 line, 3 block, 4 "*" in block, 8 literal, 9 escape
  char quoteChar_ = '"';
};

}  // namespace rzt
