#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "java/IFileAnalyzer.h"
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
  ModernFileAnalyzer();
  ~ModernFileAnalyzer() override;

  void setEncoding(const std::string& encoding) override;
  // Nothing of this analysis shows a message box: the messages are not kept.
  void setUserMessage(IUserMessage* messages) override;
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) override;
  // Raises error 53 naming the path when the file cannot be read.
  void doAnalysis(const std::string& dName, const std::string& fName) override;
  const FileRecord& record() const { return record_; }

 private:
  void beginFile(const std::string& dName, const std::string& fName);
  // Shows the syntax errors found, then hands the file record over.
  void finishFile();
  void measure(std::string_view text);

  std::unique_ptr<FileReader> fileReader_;
  std::unique_ptr<ModernTreeWalker> walker_;
  TSParser* parser_ = nullptr;
  IAnalysisMonitor* monitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;
  FileRecord record_;
  std::string parseText_;  // the text with lone CRs made LFs, when it has any
};

}  // namespace rzt
