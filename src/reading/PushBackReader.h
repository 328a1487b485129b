#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rzt {

class IUserMessage;
class LogicalReader;
class SourceLines;

// The word stream of the analyzers: the words of a LogicalReader, with the
// last 5000 kept in a ring so that up to 4999 can be given back and read
// again in their order; each slot keeps where its word begins, so that the
// line of a word is known when it is asked for, at no cost otherwise. Returned references stay valid until the slot is
// reused, 5000 fresh words later (readWordWithPeriod: until its next call).
class PushBackReader final {
 public:
  static constexpr int32_t kPoolSize = 5000;

  PushBackReader();
  ~PushBackReader();

  // Takes the word reader (and with it the rest of the reading stack).
  void init(std::unique_ptr<LogicalReader> rdr);
  // Where the skipWord mismatch message and the end-of-file message go.
  void setUserMessage(IUserMessage* messages);

  void openFile(const std::string& dirName, const std::string& fileName);
  void closeFile();
  bool hasMoreWords();
  const std::string& readWord();
  void pushBack(int32_t count);
  const std::string& preReadWord();
  void skipWord(std::string_view expectedWord);
  const std::string& readWordWithPeriod();

  int32_t getWordCount() const { return wordCount_; }
  // The lines of the open file's text, for getLineAt (may be null).
  void setSourceLines(const SourceLines* lines) { lines_ = lines; }
  // Where the word read last begins (given back or not, the one before the
  // next word to be read), in the word reader's text: kept for getLineAt,
  // which costs a search, so that an analyzer asks for the one line it needs.
  uint32_t getWordOffset() const { return offsets_[readIndex_ == 1 ? kPoolSize : readIndex_ - 1]; }
  // The line, counting from 1, of a word at that offset; 0 without source lines.
  int32_t getLineAt(uint32_t wordOffset) const;
  int32_t getWordLine() const { return getLineAt(getWordOffset()); }
  LogicalReader* getWordReader() const { return wordReader_.get(); }

 private:
  int32_t pushedBackCount() const;
  int32_t nextPoolIndex(int32_t index) const { return index == kPoolSize ? 1 : index + 1; }
  const std::string& takeFromPool();
  const std::string& readFromWordReader();
  // Reads the next word of words into the slot at writeIndex.
  void storeWordToPool(LogicalReader& words);
  void pushBackToPool(int32_t count);

  std::unique_ptr<LogicalReader> wordReader_;
  IUserMessage* messages_ = nullptr;
  std::array<std::string, kPoolSize + 1> pool_;  // slots 1..5000; 0 unused
  // Where each slot's word begins in the word reader's source text.
  std::array<uint32_t, kPoolSize + 1> offsets_{};
  const SourceLines* lines_ = nullptr;
  int32_t writeIndex_ = 1;
  int32_t readIndex_ = 1;
  std::string dirName_;
  std::string fileName_;
  int32_t wordCount_ = 0;
  std::string periodBuffer_;
};

}  // namespace rzt
