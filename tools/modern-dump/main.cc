// rzt-modern-dump: the records of the syntax-tree analysis as TSV, one line
// per record in the order they are finished, for comparing with other
// measurements (tools/javac-check). Usage:
//   rzt-modern-dump [--encoding NAME] [--quiet] FILE...   (or "-" to read the
//   file names from standard input, one per line)
// --quiet prints no records; the totals (files, bytes, wall and CPU time,
// MB/s) always go to stderr.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "java/ModernFileAnalyzer.h"
#include "report/IReportWriter.h"
#include "support/RztError.h"

namespace {

// Prints each record as it is finished.
class TsvWriter : public rzt::IReportWriter {
 public:
  explicit TsvWriter(bool quiet) : quiet_(quiet) {}
  void prepare(const rzt::IOption&) override {}
  void finishedFileAnalysis(const rzt::FileRecord& f) override {
    if (quiet_) return;
    std::printf("F\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n", path_.c_str(), f.packageName.c_str(), f.allLoc.value(),
                f.loc.value(), f.commentLoc.value(), f.blankLoc.value(), f.classCount.value(), f.importCount.value(),
                f.syntaxErrorCount);
  }
  void finishedClassAnalysis(const rzt::ClassRecord& c) override {
    if (quiet_) return;
    std::string kind = c.innerClass ? "inner" : !c.kindText.empty() ? c.kindText : c.classType ? "class" : "interface";
    std::printf("C\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n", path_.c_str(),
                c.className.c_str(), kind.c_str(), c.access.c_str(), c.extendsCount.value(), c.implementsCount.value(),
                c.statementCount.value(), c.publicInstanceMethodCount.value(), c.instanceMethodCount.value(),
                c.publicClassMethodCount.value(), c.classMethodCount.value(), c.publicInstanceVariableCount.value(),
                c.instanceVariableCount.value(), c.publicClassVariableCount.value(), c.classVariableCount.value(),
                c.constantCount.value(), c.innerClassCount.value(), c.staticBlockCount.value());
  }
  void finishedMethodAnalysis(const rzt::MethodRecord& m) override {
    if (quiet_) return;
    std::printf(
        "M\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n",
        path_.c_str(), m.className.c_str(), m.methodName.c_str(), m.abstractMethod ? "yes" : "",
        m.constructorMethod ? "ctor" : m.staticMethod ? "static" : "", m.access.c_str(), m.returnsValue ? "yes" : "no",
        m.finalMethod ? "yes" : "", m.nativeMethod ? "yes" : "", m.synchronizedMethod ? "yes" : "",
        m.argumentCount.value(), m.throwsCount.value(), m.statementCount.value(), m.messagePassingCount.value(),
        m.instanciationCount.value(), m.localVariables.value(), m.localConstants.value(), m.ifStatementCount.value(),
        m.forStatementCount.value(), m.whileStatementCount.value(), m.doStatementCount.value(),
        m.switchStatementCount.value(), m.tryStatementCount.value(), m.returnStatementCount.value(),
        m.throwStatementCount.value(), m.anonymousClassCount.value());
  }
  void finishedAllAnalysis() override {}
  void setPath(const std::string& path) { path_ = path; }

 private:
  bool quiet_;
  std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  std::string encoding = "auto";
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--encoding" && i + 1 < argc) {
      encoding = argv[++i];
    } else if (a == "--quiet") {
      quiet = true;
    } else if (a == "-") {
      std::string line;
      while (std::getline(std::cin, line)) {
        if (!line.empty()) files.push_back(line);
      }
    } else {
      files.push_back(a);
    }
  }
  rzt::ModernFileAnalyzer analyzer;
  analyzer.setEncoding(encoding);
  TsvWriter writer(quiet);
  analyzer.init(nullptr, &writer);
  int status = 0;
  unsigned long long bytes = 0;
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpuStart = std::clock();
  for (const std::string& path : files) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    writer.setPath(path);
    try {
      analyzer.doAnalysis(dir, name);
    } catch (const rzt::RztError& e) {
      std::fprintf(stderr, "%s: error %d: %s\n", path.c_str(), e.number(), e.description().c_str());
      status = 1;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f) {
      std::fseek(f, 0, SEEK_END);
      bytes += static_cast<unsigned long long>(std::ftell(f));
      std::fclose(f);
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  std::fprintf(stderr, "files %zu, bytes %llu, wall %.3f s (%.2f MB/s), cpu %.3f s (%.2f MB/s)\n", files.size(), bytes,
               seconds, seconds > 0 ? bytes / 1e6 / seconds : 0.0, cpu, cpu > 0 ? bytes / 1e6 / cpu : 0.0);
  return status;
}
