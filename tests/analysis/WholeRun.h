#pragma once

// One whole analysis through the driver and the report writer into a real
// .xlsx file, read back: for the tests of keep-going and of the parallel
// analysis.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "XlsxReader.h"
#include "analysis/AnalyzerMain.h"
#include "analysis/FileEnumeration.h"
#include "support/JoinPath.h"
#include "java/ModernFileAnalyzer.h"
#include "options/OptionValues.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace rzt::test {

struct RunMode {
  bool diagnosis = true;
  bool keepGoing = false;
  int32_t jobs = 1;
  bool modern = false;  // the syntax-tree analysis
};

struct RunOutcome {
  XlsxBook book;
  std::vector<std::string> status;    // the status line's texts
  std::vector<std::string> messages;  // message boxes, "I:" or "C:" first
  std::vector<std::string> skipped;   // "path: number description words"
  int32_t error = 0;                  // the error that ended the run
  std::string errorFile;              // the driver's current file then
  int32_t skippedCount = 0;
};

// Analyses the directory tree at root (or the one file when fileName is not
// empty) into the workbook at out.
inline RunOutcome runWhole(const std::filesystem::path& root, const std::filesystem::path& out, const RunMode& mode,
                           const std::string& fileName = "") {
  RunOutcome outcome;
  RecordingStatusLine status;
  RecordingUserMessage messages;
  OutputMgr outputMgr([&out] { return std::make_unique<XlsxWorkbook>(out); });
  outputMgr.setKeepGoing(mode.keepGoing);
  AnalyzerMain driver(status, messages);
  if (mode.modern) driver.setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
  driver.setJobs(mode.jobs);
  driver.setKeepGoing(mode.keepGoing);
  driver.setSkippedFileHandler([&outcome](const SkippedFileRecord& file) {
    // A directory that could not be listed has no file name.
    const std::string path = file.fileName.empty() ? file.dirName : joinPath(file.dirName, file.fileName);
    outcome.skipped.push_back(path + ": " +
                              std::to_string(file.number) + " " + file.description + " " +
                              std::to_string(file.wordCount));
  });
  OptionValues options;
  options.optDiag = mode.diagnosis;
  try {
    driver.init(&outputMgr, options);
    if (fileName.empty()) {
      driver.doAnalysisDir(root.string(), true);
    } else {
      driver.doAnalysisFile(root.string(), fileName);
    }
  } catch (const RztError& e) {
    outcome.error = e.number();
    outcome.errorFile = driver.currentFile();
    outputMgr.finishedWithError();
  }
  outcome.status = std::move(status.texts);
  outcome.messages = std::move(messages.shown);
  outcome.skippedCount = driver.skippedFileCount();
  // A run that ends early writes its partial report beside out.
  outcome.book = readXlsx(outcome.error != 0 ? partialReportPath(out) : out);
  return outcome;
}

// The texts of one column of a sheet from row 2 down.
inline std::vector<std::string> columnTexts(const XlsxBook& book, const std::string& sheetName, int32_t column) {
  std::vector<std::string> texts;
  const XlsxSheet* sheet = book.sheet(sheetName);
  if (sheet == nullptr) return texts;
  for (int32_t row = 2; row <= sheet->lastRow(); ++row) texts.push_back(sheet->text(row, column));
  return texts;
}

}  // namespace rzt::test
