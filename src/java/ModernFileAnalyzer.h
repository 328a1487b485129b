#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "java/IFileAnalyzer.h"
#include "java/ModernParseInput.h"
#include "java/ModernParserMemory.h"
#include "records/Records.h"

struct TSParser;

namespace rzt {

class FileReader;
class ModernTreeWalker;

// Measures one Java source file at a time from its syntax tree (tree-sitter's
// Java grammar): its physical lines, then its package, imports, types and
// methods. A file with syntax errors is measured as far as its tree goes and
// never ends the analysis. One object, with one parser, serves every file.
class ModernFileAnalyzer final : public IFileAnalyzer {
 public:
  // The largest text one file may have: the parser takes about a hundred
  // times a text's size in memory. Larger files raise error 50050.
  static constexpr size_t kMaxTextBytes = 16 * 1024 * 1024;

  ModernFileAnalyzer();
  ~ModernFileAnalyzer() override;

  void setEncoding(const std::string& encoding) override;
  // Nothing of this analysis shows a message box: the messages are not kept.
  void setUserMessage(IUserMessage* messages) override;
  void setAnalysedDirectory(const std::string& dirName) override { analysedDirectory_ = dirName; }
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) override;
  // Raises error 53 naming the path when the file cannot be read, 50050 when
  // it is larger than kMaxTextBytes, 7 when the parser runs out of memory
  // (the next file gets a new parser).
  void doAnalysis(const std::string& dName, const std::string& fName) override;
  const FileRecord& record() const { return record_; }

 private:
  void beginFile(const std::string& dName, const std::string& fName);
  // Shows the syntax errors found, then hands the file record over.
  void finishFile();
  void measure(std::string_view text, const std::string& path);
  // Makes the parser and the walker when there are none.
  void prepareParser();
  // Deletes the tree, or, after an allocation of the runtime failed, drops
  // the parser, the walker and the tree and frees all their memory.
  void releaseTree(TSTree* tree) noexcept;

  // Declared first: the runtime's blocks of the parser and the walker live
  // in it, so it goes last.
  ParserArena arena_;
  std::unique_ptr<FileReader> fileReader_;
  std::unique_ptr<ModernTreeWalker> walker_;
  TSParser* parser_ = nullptr;
  IAnalysisMonitor* monitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;
  FileRecord record_;
  std::string analysedDirectory_;
  ModernParseInput parseInput_;
};

}  // namespace rzt
