#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "java/IFileAnalyzer.h"
#include "java/Records.h"

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
  ModernFileAnalyzer();
  ~ModernFileAnalyzer() override;

  void setEncoding(const std::string& encoding) override;
  // Nothing of this analysis shows a message box; kept for the interface.
  void setUserMessage(IUserMessage* messages) override;
  void init(AnalysisMonitor* anaMonitor, IReportWriter* oMgr) override;
  // Raises error 53 naming the path when the file cannot be read.
  void doAnalysis(const std::string& dName, const std::string& fName) override;
  // The same measurement of a text already in memory (UTF-8, no byte order
  // mark), reported under the given names.
  void doAnalysisOfText(const std::string& dName, const std::string& fName, std::string_view text);

  const FileRecord& record() const { return record_; }

 private:
  void beginFile(const std::string& dName, const std::string& fName);
  // Shows the syntax errors found, then hands the file record over.
  void finishFile();
  void measure(std::string_view text);

  std::unique_ptr<FileReader> fileReader_;
  std::unique_ptr<ModernTreeWalker> walker_;
  TSParser* parser_ = nullptr;
  AnalysisMonitor* monitor_ = nullptr;
  IReportWriter* outputMgr_ = nullptr;
  IUserMessage* messages_ = nullptr;
  FileRecord record_;
  std::string parseText_;  // the text with lone CRs made LFs, when it has any
};

}  // namespace rzt
