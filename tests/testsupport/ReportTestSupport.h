#pragma once

#include <memory>
#include <string>
#include <vector>

#include "records/Records.h"
#include "options/IOption.h"
#include "report/MemoryWorkbook.h"
#include "report/OutputMgr.h"
#include "SharedWorkbook.h"

namespace rzt::test {

// Settings for the report with every getter call recorded by name.
class RecordingOption : public IOption {
 public:
  bool excelIsMax() const override { return note("excelIsMax", max); }
  bool diagIsOn() const override { return note("diagIsOn", diag); }
  int32_t getExcelZoom() const override { return note("getExcelZoom", zoom); }
  int32_t getFMaxClass() const override { return note("getFMaxClass", fMaxClass); }
  int32_t getFMaxLoc() const override { return note("getFMaxLoc", fMaxLoc); }
  int32_t getFMinCommentRate() const override { return note("getFMinCommentRate", fMinCommentRate); }
  int32_t getCMaxStatement() const override { return note("getCMaxStatement", cMaxStatement); }
  int32_t getCMaxPubMethod() const override { return note("getCMaxPubMethod", cMaxPubMethod); }
  int32_t getCMaxAveStatement() const override { return note("getCMaxAveStatement", cMaxAveStatement); }
  int32_t getCMaxPubAttr() const override { return note("getCMaxPubAttr", cMaxPubAttr); }
  int32_t getMMaxStatement() const override { return note("getMMaxStatement", mMaxStatement); }
  int32_t getMMaxMsgSend() const override { return note("getMMaxMsgSend", mMaxMsgSend); }
  int32_t getMMaxVariable() const override { return note("getMMaxVariable", mMaxVariable); }
  int32_t getMMaxBranch() const override { return note("getMMaxBranch", mMaxBranch); }
  int32_t getMMaxLoop() const override { return note("getMMaxLoop", mMaxLoop); }

  bool max = true, diag = true;
  // The described defaults.
  int32_t zoom = 80, fMaxClass = 4, fMaxLoc = 500, fMinCommentRate = 10, cMaxStatement = 300,
          cMaxPubMethod = 50, cMaxAveStatement = 25, cMaxPubAttr = 1, mMaxStatement = 50,
          mMaxMsgSend = 30, mMaxVariable = 20, mMaxBranch = 15, mMaxLoop = 10;
  mutable std::vector<std::string> calls;

 private:
  template <typename T>
  T note(const char* name, T value) const {
    calls.push_back(name);
    return value;
  }
};

// A report writer over memory workbooks that stay readable after each analysis.
struct MemoryReport {
  MemoryReport()
      : mgr([this] {
          books.push_back(std::make_shared<MemoryWorkbook>());
          return std::unique_ptr<IWorkbook>(std::make_unique<SharedWorkbook>(books.back()));
        }) {}
  // The workbook of the latest prepare.
  MemoryWorkbook& book() { return *books.back(); }

  std::vector<std::shared_ptr<MemoryWorkbook>> books;
  OutputMgr mgr;
};

inline FileRecord fileRecord(std::string fileName, std::string packageName, int32_t allLoc,
                             int32_t loc, int32_t commentLoc, int32_t blankLoc,
                             int32_t classCount = 1, int32_t importCount = 0) {
  FileRecord f;
  f.dirName = "/src";
  f.fileName = std::move(fileName);
  f.packageName = std::move(packageName);
  f.allLoc = Counter(allLoc);
  f.loc = Counter(loc);
  f.commentLoc = Counter(commentLoc);
  f.blankLoc = Counter(blankLoc);
  f.classCount = Counter(classCount);
  f.importCount = Counter(importCount);
  return f;
}

inline ClassRecord classRecord(std::string className, std::string packageName = "p",
                               std::string access = "public") {
  ClassRecord c;
  c.packageName = std::move(packageName);
  c.fileName = c.className = std::move(className);
  c.fileName += ".java";
  c.classNameNoPrefix = c.className;
  c.access = std::move(access);
  return c;
}

inline MethodRecord methodRecord(std::string methodName, std::string className = "A",
                                 std::string packageName = "p", std::string access = "public") {
  MethodRecord m;
  m.packageName = std::move(packageName);
  m.className = std::move(className);
  m.fileName = m.className + ".java";
  m.methodName = std::move(methodName);
  m.access = std::move(access);
  return m;
}

}  // namespace rzt::test
