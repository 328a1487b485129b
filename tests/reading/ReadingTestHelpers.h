#pragma once

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "reading/CommentCleaner.h"
#include "reading/FileReader.h"
#include "reading/ICharSource.h"
#include "reading/LogicalReader.h"
#include "reading/PhysicalReader.h"
#include "reading/PushBackReader.h"
#include "reading/ReaderStack.h"
#include "reading/SymbolRuleMgr.h"
#include "support/RztError.h"

namespace rzt::test {

// A character source over a string held in memory; openFile starts it again.
// failAt >= 0 makes readChar raise error 999 at that index.
class StringSource final : public ICharSource {
 public:
  explicit StringSource(std::string text, long failAt = -1) : text_(std::move(text)), failAt_(failAt) {}
  void openFile(const std::string&, const std::string&) override { pos_ = 0; }
  void closeFile() override {}
  bool hasMoreChars() override { return pos_ < text_.size(); }
  char readChar() override {
    if (failAt_ >= 0 && pos_ == static_cast<size_t>(failAt_)) throw RztError(999, "StringSource", "failed");
    if (pos_ >= text_.size()) throw RztError(998, "StringSource", "past end");
    return text_[pos_++];
  }

 private:
  std::string text_;
  long failAt_;
  size_t pos_ = 0;
};

// Passes another source's characters through the plain interface, so that a
// reader above cannot take its shortcuts.
class OpaqueSource final : public ICharSource {
 public:
  explicit OpaqueSource(std::unique_ptr<ICharSource> inner) : inner_(std::move(inner)) {}
  void openFile(const std::string& d, const std::string& f) override { inner_->openFile(d, f); }
  void closeFile() override { inner_->closeFile(); }
  bool hasMoreChars() override { return inner_->hasMoreChars(); }
  char readChar() override { return inner_->readChar(); }

 private:
  std::unique_ptr<ICharSource> inner_;
};

inline std::shared_ptr<const SymbolRuleMgr> rules() { return std::make_shared<const SymbolRuleMgr>(); }

inline std::unique_ptr<CommentCleaner> makeCleaner(std::unique_ptr<ICharSource> source) {
  auto cleaner = std::make_unique<CommentCleaner>();
  cleaner->init(std::move(source), rules());
  return cleaner;
}

inline std::unique_ptr<LogicalReader> makeWordReader(std::unique_ptr<ICharSource> source,
                                                     IUserMessage* messages = nullptr) {
  auto reader = std::make_unique<LogicalReader>();
  reader->init(std::move(source), rules());
  reader->setUserMessage(messages);
  return reader;
}

// The file analyzer's word stream, built as the file analyzer builds it.
inline std::unique_ptr<PushBackReader> makeStream(IUserMessage* messages = nullptr,
                                                  const std::string& encoding = "auto") {
  auto stream = std::make_unique<PushBackReader>();
  buildReaderStack(*stream, encoding, messages);
  return stream;
}

// Every character a source gives, asked for as the readers do.
inline std::string drain(ICharSource& source) {
  std::string out;
  while (source.hasMoreChars()) out.push_back(source.readChar());
  return out;
}

// The text with its comments removed, through a FileReader on a real file.
inline std::string cleanedText(const std::string& text) {
  TempDir dir;
  dir.write("T.java", text);
  auto cleaner = makeCleaner(std::make_unique<FileReader>());
  cleaner->openFile(dir.str(), "T.java");
  std::string out = drain(*cleaner);
  cleaner->closeFile();
  return out;
}

// All words of a LogicalReader until hasMoreWords is false.
inline std::vector<std::string> drainWords(LogicalReader& reader) {
  std::vector<std::string> words;
  while (reader.hasMoreWords()) words.push_back(reader.readWord());
  return words;
}

// The words of a Java text through the whole reading stack.
inline std::vector<std::string> wordsOf(const std::string& text, const std::string& encoding = "auto") {
  TempDir dir;
  dir.write("T.java", text);
  auto stream = makeStream(nullptr, encoding);
  stream->openFile(dir.str(), "T.java");
  std::vector<std::string> words;
  while (stream->hasMoreWords()) words.push_back(stream->readWord());
  stream->closeFile();
  return words;
}

// One entry a line: "S" statement, "C" comment, "SC" both, "B" blank.
inline std::vector<std::string> linesOf(const std::string& text, const std::string& encoding = "auto") {
  TempDir dir;
  dir.write("T.java", text);
  // As the file analyzer reads: the line pass walks the file reader's text.
  FileReader file;
  file.setEncoding(encoding);
  file.openFile(dir.str(), "T.java");
  PhysicalReader reader;
  reader.openText(file.getText());
  std::vector<std::string> lines;
  while (reader.nextLine()) {
    std::string kind;
    if (reader.isStatement()) kind += "S";
    if (reader.isComment()) kind += "C";
    if (reader.isBlank()) kind += "B";
    lines.push_back(kind);
  }
  reader.closeFile();
  return lines;
}

inline std::string joinWords(const std::vector<std::string>& words) {
  std::string out;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) out += "|";
    out += words[i];
  }
  return out;
}

}  // namespace rzt::test
