#include "reading/PushBackReader.h"

#include <utility>

#include "reading/LogicalReader.h"
#include "reading/SourceLines.h"
#include "support/Counter.h"
#include "support/IUserMessage.h"
#include "support/RztError.h"

namespace rzt {
namespace {

const std::string kNoWord;

}  // namespace

PushBackReader::PushBackReader() = default;
PushBackReader::~PushBackReader() = default;

void PushBackReader::init(std::unique_ptr<LogicalReader> rdr) {
  wordReader_ = std::move(rdr);
  if (wordReader_) wordReader_->setUserMessage(messages_);
}

void PushBackReader::setUserMessage(IUserMessage* messages) {
  messages_ = messages;
  if (wordReader_) wordReader_->setUserMessage(messages);
}

void PushBackReader::openFile(const std::string& dirName, const std::string& fileName) {
  dirName_ = dirName;
  fileName_ = fileName;
  wordCount_ = 0;
  wordReader_->openFile(dirName, fileName);
  writeIndex_ = 1;
  readIndex_ = 1;
}

void PushBackReader::closeFile() { wordReader_->closeFile(); }

int32_t PushBackReader::pushedBackCount() const {
  if (writeIndex_ >= readIndex_) return writeIndex_ - readIndex_;
  return writeIndex_ + kPoolSize - readIndex_;
}

bool PushBackReader::hasMoreWords() {
  if (readIndex_ != writeIndex_) return true;
  return wordReader_->hasMoreWords();
}

const std::string& PushBackReader::readWord() {
  const std::string& waiting = takeFromPool();
  if (!waiting.empty()) return waiting;
  return readFromWordReader();
}

const std::string& PushBackReader::takeFromPool() {
  if (readIndex_ == writeIndex_) return kNoWord;
  const std::string& word = pool_[readIndex_];
  readIndex_ = nextPoolIndex(readIndex_);
  return word;
}

const std::string& PushBackReader::readFromWordReader() {
  const int32_t slot = writeIndex_;
  storeWordToPool(*wordReader_);
  wordCount_ = checkedAdd(wordCount_, 1);
  return pool_[slot];
}

void PushBackReader::storeWordToPool(LogicalReader& words) {
  if (readIndex_ != writeIndex_) {
    throw RztError(kErrPoolRead, "PushBackReader.storeWordToPool", kTextPoolRead);
  }
  // The word goes straight into its slot, whose storage is kept: no
  // allocation once the ring is warm. A word reader's error leaves the ring
  // as it was.
  words.readWordInto(pool_[writeIndex_]);
  offsets_[writeIndex_] = static_cast<uint32_t>(words.getWordOffset());
  writeIndex_ = nextPoolIndex(writeIndex_);
  readIndex_ = writeIndex_;
}

void PushBackReader::pushBack(int32_t count) {
  // A negative count would move readIndex past writeIndex and deliver words
  // never read; it gives back nothing.
  if (count <= 0) return;
  pushBackToPool(count);
}

void PushBackReader::pushBackToPool(int32_t count) {
  if (static_cast<int64_t>(count) + pushedBackCount() > kPoolSize - 1) {
    throw RztError(kErrPushBackOverflow, "PushBackReader.pushBackToPool", kTextPushBackOverflow);
  }
  int32_t index = readIndex_ - count;
  if (index < 1) index += kPoolSize;
  readIndex_ = index;
}

int32_t PushBackReader::getLineAt(uint32_t wordOffset) const {
  if (lines_ == nullptr) return 0;
  return lines_->lineOf(wordReader_->getSourceOffset(wordOffset));
}

const std::string& PushBackReader::preReadWord() {
  const std::string& word = readWord();
  pushBack(1);
  return word;
}

void PushBackReader::skipWord(std::string_view expectedWord) {
  const std::string& word = readWord();
  if (word == expectedWord) return;
  if (messages_ != nullptr) {
    std::string text = "解析エラー！ ファイル名：";
    text += fileName_;
    text += "  語数：";
    text += std::to_string(wordCount_);
    text += "  単語：";
    text += expectedWord;
    messages_->showCritical(text);
  }
}

const std::string& PushBackReader::readWordWithPeriod() {
  periodBuffer_.clear();
  bool expectName = true;
  for (;;) {
    const std::string& word = readWord();
    const bool isPeriod = word == ".";
    if (!isPeriod && expectName) {
      periodBuffer_ += word;
      expectName = false;
    } else if (isPeriod && !expectName) {
      periodBuffer_ += word;
      expectName = true;
    } else if (!isPeriod && !expectName) {
      pushBack(1);
      return periodBuffer_;
    }
    // Otherwise a "." where a name part belongs is dropped.
  }
}

}  // namespace rzt
