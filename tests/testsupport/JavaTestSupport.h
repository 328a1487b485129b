#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records/Records.h"
#include "report/IReportWriter.h"
#include "support/IStatusLine.h"
#include "support/RztError.h"

namespace rzt::test {

// Every analysis event in the order it happened: "S:" + the status line's
// text for the monitor's events, "M:class.method", "C:class" and "F:file"
// for the records handed to the report writer.
using EventLog = std::vector<std::string>;

// A report writer that copies each record it is handed and logs the event:
// "prepare", "F:file", "C:class", "M:class.method", "X:dir|file" for a
// skipped file and "all".
class RecordingReportWriter : public IReportWriter {
 public:
  explicit RecordingReportWriter(EventLog& log) : log_(log) {}
  void prepare(const IOption& diagPara) override;
  void finishedFileAnalysis(const FileRecord& file) override;
  void finishedClassAnalysis(const ClassRecord& cls) override;
  void finishedMethodAnalysis(const MethodRecord& method) override;
  void skippedFileAnalysis(const SkippedFileRecord& file) override;
  // Raises error 75 after logging when failAtEnd is set.
  void finishedAllAnalysis() override;

  std::vector<FileRecord> files;
  std::vector<ClassRecord> classes;
  std::vector<MethodRecord> methods;
  std::vector<SkippedFileRecord> skipped;
  const IOption* prepared = nullptr;  // the settings of the last prepare
  bool failAtEnd = false;

 private:
  EventLog& log_;
};

// A status line that logs each text it is given.
class LoggingStatusLine : public IStatusLine {
 public:
  explicit LoggingStatusLine(EventLog& log) : log_(log) {}
  void setText(const std::string& text) override { log_.push_back("S:" + text); }

 private:
  EventLog& log_;
};

// What one run of the file analyzer over some Java texts left behind.
struct JavaAnalysis {
  std::vector<FileRecord> files;
  std::vector<ClassRecord> classes;
  std::vector<MethodRecord> methods;
  EventLog events;
  std::vector<std::string> messages;  // message boxes, "I:" or "C:" first
  std::optional<RztError> error;      // the error that ended the run

  // The nth record of that name (0 = first); a test failure and an empty
  // record when there is none.
  const ClassRecord& cls(const std::string& className, size_t nth = 0) const;
  const MethodRecord& method(const std::string& className, const std::string& methodName) const;
  // Names of the class and method records, in the order they were finished.
  std::vector<std::string> classNames() const;
  std::vector<std::string> methodNames() const;  // "class.method"
  // The number of the error, 0 when the run ended normally.
  int32_t errorNumber() const { return error ? error->number() : 0; }
};

// The two analyses: the word-level one (JFileAnalyzer) and the syntax-tree
// one (ModernFileAnalyzer).
enum class Syntax { kClassic, kModern };

// Writes each (file name, text) to a fresh folder and analyses them one
// after the other with one file analyzer of the syntax, as the driver does
// for a folder. Errors are caught and kept, not raised.
JavaAnalysis analyzeJavaFiles(const std::vector<std::pair<std::string, std::string>>& files,
                              Syntax syntax = Syntax::kClassic, const std::string& encoding = "auto");
// One file named Test.java.
JavaAnalysis analyzeJava(const std::string& text, Syntax syntax = Syntax::kClassic);

// The class's flags and names as one text:
// "class access=public name=A$B simple=B abstract final inner".
std::string classHead(const ClassRecord& cls);
// Every counter of the record that is not 0, as "name=value" in the order of
// the record: "statementCount=1 constantCount=1".
std::string classCounts(const ClassRecord& cls);
// The method's flags and name as one text:
// "name=main access=public constructor static abstract final synchronized native returns".
std::string methodHead(const MethodRecord& method);
std::string methodCounts(const MethodRecord& method);

}  // namespace rzt::test
