#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "java/IClassRequester.h"
#include "java/IFileAnalyzer.h"
#include "java/Records.h"

namespace rzt {

class JClassAnalyzer;
class PhysicalReader;
class PushBackReader;

// Measures one Java source file at a time: its physical lines, then its
// compilation unit as words. One object serves every file of an analysis.
class JFileAnalyzer final : public IFileAnalyzer, public IClassRequester {
 public:
  JFileAnalyzer();
  ~JFileAnalyzer() override;

  std::string getDirName() const { return record_.dirName; }
  std::string getFileName() const override { return record_.fileName; }
  std::string getAuthorName() const { return record_.authorName; }
  std::string getPackageName() const override { return record_.packageName; }
  // Never asked of a file; answers the empty name.
  std::string getClassName() const override { return {}; }
  int32_t getImportCount() const { return record_.importCount; }
  int32_t getClassCount() const { return record_.classCount; }
  int32_t getAllLoc() const { return record_.allLoc; }
  int32_t getLoc() const { return record_.loc; }
  int32_t getCommentLoc() const { return record_.commentLoc; }
  int32_t getBlankLoc() const { return record_.blankLoc; }
  const FileRecord& record() const { return record_; }
  // The words the push-back reader has read from the current file; 0 before
  // its word pass has begun.
  int32_t getWordCount() const override;

  // Text decoding of the source files: "auto" (the default) or an iconv name.
  void setEncoding(const std::string& encoding) override;
  // Where the readers' message boxes go (none: they are dropped).
  void setUserMessage(IUserMessage* messages) override;

  // Builds a fresh word-reader stack; keeps the monitor and the report writer.
  void init(AnalysisMonitor* anaMonitor, IReportWriter* oMgr) override;
  void doAnalysis(const std::string& dName, const std::string& fName) override;
  void doPhysicalAnalysis(const std::string& dName, const std::string& fName);
  void doLogicalAnalysis(const std::string& dName, const std::string& fName);

 private:
  void resetCounts();
  void analyzePackage();
  void analyzeImport();
  JClassAnalyzer& getClassAnalyzer();

  std::unique_ptr<PhysicalReader> physicalReader_;
  std::unique_ptr<PushBackReader> pushBackReader_;
  AnalysisMonitor* monitor_ = nullptr;
  IReportWriter* outputMgr_ = nullptr;
  IUserMessage* messages_ = nullptr;
  std::string encoding_ = "auto";
  FileRecord record_;
  bool wordsBegun_ = false;  // the word pass of the current file has begun
  std::unique_ptr<JClassAnalyzer> classAnalyzer_;
};

}  // namespace rzt
