#include "JavaTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "analysis/AnalysisMonitor.h"
#include "java/JFileAnalyzer.h"
#include "java/ModernFileAnalyzer.h"

namespace rzt::test {

void RecordingReportWriter::prepare(const IOption& diagPara) {
  prepared = &diagPara;
  log_.push_back("prepare");
}

void RecordingReportWriter::skippedFileAnalysis(const SkippedFileRecord& file) {
  skipped.push_back(file);
  log_.push_back("X:" + file.dirName + "|" + file.fileName);
}

void RecordingReportWriter::finishedAllAnalysis() {
  log_.push_back("all");
  if (failAtEnd) throw RztError(kErrPathFileAccess, "XlsxWorkbook", "ファイルに書き込めません: r.xlsx");
}

void RecordingReportWriter::finishedFileAnalysis(const FileRecord& file) {
  files.push_back(file);
  log_.push_back("F:" + file.fileName);
}

void RecordingReportWriter::finishedClassAnalysis(const ClassRecord& cls) {
  classes.push_back(cls);
  log_.push_back("C:" + cls.className);
}

void RecordingReportWriter::finishedMethodAnalysis(const MethodRecord& method) {
  methods.push_back(method);
  log_.push_back("M:" + method.className + "." + method.methodName);
}

const ClassRecord& JavaAnalysis::cls(const std::string& className, size_t nth) const {
  for (const ClassRecord& c : classes) {
    if (c.className == className && nth-- == 0) return c;
  }
  ADD_FAILURE() << "no class record " << className;
  static const ClassRecord none;
  return none;
}

const MethodRecord& JavaAnalysis::method(const std::string& className,
                                         const std::string& methodName) const {
  for (const MethodRecord& m : methods) {
    if (m.className == className && m.methodName == methodName) return m;
  }
  ADD_FAILURE() << "no method record " << className << "." << methodName;
  static const MethodRecord none;
  return none;
}

std::vector<std::string> JavaAnalysis::classNames() const {
  std::vector<std::string> names;
  for (const ClassRecord& c : classes) names.push_back(c.className);
  return names;
}

std::vector<std::string> JavaAnalysis::methodNames() const {
  std::vector<std::string> names;
  for (const MethodRecord& m : methods) names.push_back(m.className + "." + m.methodName);
  return names;
}

JavaAnalysis analyzeJavaFiles(const std::vector<std::pair<std::string, std::string>>& files, Syntax syntax,
                              const std::string& encoding) {
  TempDir dir;
  for (const auto& [name, text] : files) dir.write(name, text);

  JavaAnalysis result;
  LoggingStatusLine status(result.events);
  RecordingUserMessage messages;
  RecordingReportWriter writer(result.events);
  AnalysisMonitor monitor(status);
  std::unique_ptr<IFileAnalyzer> analyzer;
  if (syntax == Syntax::kModern) {
    analyzer = std::make_unique<ModernFileAnalyzer>();
  } else {
    analyzer = std::make_unique<JFileAnalyzer>();
  }
  analyzer->setEncoding(encoding);
  analyzer->setUserMessage(&messages);
  analyzer->init(&monitor, &writer);
  monitor.notifyStartAnalysis(static_cast<int32_t>(files.size()));
  try {
    for (const auto& file : files) analyzer->doAnalysis(dir.str(), file.first);
  } catch (const RztError& e) {
    result.error = e;
  }
  result.files = std::move(writer.files);
  result.classes = std::move(writer.classes);
  result.methods = std::move(writer.methods);
  result.messages = std::move(messages.shown);
  return result;
}

JavaAnalysis analyzeJava(const std::string& text, Syntax syntax) {
  return analyzeJavaFiles({{"Test.java", text}}, syntax);
}

namespace {

void addCount(std::string& out, const char* name, int32_t value) {
  if (value == 0) return;
  if (!out.empty()) out += ' ';
  out += name;
  out += '=';
  out += std::to_string(value);
}

void addFlag(std::string& out, const char* name, bool on) {
  if (on) {
    out += ' ';
    out += name;
  }
}

}  // namespace

std::string classHead(const ClassRecord& c) {
  std::string out = c.classType ? "class" : "interface";
  out += " access=" + c.access + " name=" + c.className + " simple=" + c.classNameNoPrefix;
  addFlag(out, "abstract", c.abstractClass);
  addFlag(out, "final", c.finalClass);
  addFlag(out, "inner", c.innerClass);
  return out;
}

std::string classCounts(const ClassRecord& c) {
  std::string out;
  addCount(out, "extendsCount", c.extendsCount);
  addCount(out, "implementsCount", c.implementsCount);
  addCount(out, "throwsCount", c.throwsCount);
  addCount(out, "statementCount", c.statementCount);
  addCount(out, "instanceVariableCount", c.instanceVariableCount);
  addCount(out, "publicInstanceVariableCount", c.publicInstanceVariableCount);
  addCount(out, "classVariableCount", c.classVariableCount);
  addCount(out, "publicClassVariableCount", c.publicClassVariableCount);
  addCount(out, "constantCount", c.constantCount);
  addCount(out, "staticBlockCount", c.staticBlockCount);
  addCount(out, "instanceMethodCount", c.instanceMethodCount);
  addCount(out, "publicInstanceMethodCount", c.publicInstanceMethodCount);
  addCount(out, "classMethodCount", c.classMethodCount);
  addCount(out, "publicClassMethodCount", c.publicClassMethodCount);
  addCount(out, "innerClassCount", c.innerClassCount);
  return out;
}

std::string methodHead(const MethodRecord& m) {
  std::string out = "name=" + m.methodName + " access=" + m.access;
  addFlag(out, "constructor", m.constructorMethod);
  addFlag(out, "static", m.staticMethod);
  addFlag(out, "abstract", m.abstractMethod);
  addFlag(out, "final", m.finalMethod);
  addFlag(out, "synchronized", m.synchronizedMethod);
  addFlag(out, "native", m.nativeMethod);
  addFlag(out, "returns", m.returnsValue);
  return out;
}

std::string methodCounts(const MethodRecord& m) {
  std::string out;
  addCount(out, "argumentCount", m.argumentCount);
  addCount(out, "throwsCount", m.throwsCount);
  addCount(out, "statementCount", m.statementCount);
  addCount(out, "messagePassingCount", m.messagePassingCount);
  addCount(out, "instanciationCount", m.instanciationCount);
  addCount(out, "localVariables", m.localVariables);
  addCount(out, "localConstants", m.localConstants);
  addCount(out, "ifStatementCount", m.ifStatementCount);
  addCount(out, "forStatementCount", m.forStatementCount);
  addCount(out, "whileStatementCount", m.whileStatementCount);
  addCount(out, "doStatementCount", m.doStatementCount);
  addCount(out, "switchStatementCount", m.switchStatementCount);
  addCount(out, "returnStatementCount", m.returnStatementCount);
  addCount(out, "tryStatementCount", m.tryStatementCount);
  addCount(out, "throwStatementCount", m.throwStatementCount);
  addCount(out, "synchronizedStatementCount", m.synchronizedStatementCount);
  addCount(out, "anonymousClassCount", m.anonymousClassCount);
  return out;
}

}  // namespace rzt::test
