#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "java/IClassRequester.h"
#include "java/IFileAnalyzer.h"
#include "reading/PhysicalReader.h"
#include "reading/SourceLines.h"
#include "records/Records.h"

namespace rzt {

class FileReader;
class JClassAnalyzer;
class PushBackReader;

// Measures one Java source file at a time: its physical lines, then its
// compilation unit as words. The file is read and decoded once, by the
// bottom of the word-reader stack; the line pass walks the same text. One
// object serves every file of an analysis.
class JFileAnalyzer final : public IFileAnalyzer, public IClassRequester {
 public:
  JFileAnalyzer();
  ~JFileAnalyzer() override;

  std::string getFileName() const override { return record_.fileName; }
  const std::string& getFilePath() const override { return record_.filePath; }
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
  // The words the push-back reader has read from the current file.
  int32_t getWordCount() const override;

  // Text decoding of the source files: "auto" (the default) or an iconv name.
  void setEncoding(const std::string& encoding) override;
  // Where the readers' message boxes go (none: they are dropped).
  void setUserMessage(IUserMessage* messages) override;
  void setAnalysedDirectory(const std::string& dirName) override { analysedDirectory_ = dirName; }

  // Builds a fresh word-reader stack; keeps the monitor and the report writer.
  void init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) override;
  void doAnalysis(const std::string& dName, const std::string& fName) override;

 private:
  void resetCounts();
  // The line count pass, over the text of the open file.
  void doPhysicalAnalysis();
  // The compilation-unit scan, over the words of the open file.
  void doLogicalAnalysis();
  void analyzePackage();
  void analyzeImport();
  JClassAnalyzer& getClassAnalyzer();

  PhysicalReader physicalReader_;
  SourceLines sourceLines_;  // of the open file, for the declarations' lines
  std::unique_ptr<PushBackReader> pushBackReader_;
  FileReader* fileReader_ = nullptr;  // the bottom of pushBackReader_'s stack
  IAnalysisMonitor* monitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;  // the report, or the batch of a file under -j
  IUserMessage* messages_ = nullptr;
  std::string encoding_ = "auto";
  std::string analysedDirectory_;
  FileRecord record_;
  std::unique_ptr<JClassAnalyzer> classAnalyzer_;
};

}  // namespace rzt
