// rzt-bench [--runs N] [--only NAME]... [--methods N] [--no-memory] [JAVA_TREE]
// rzt-bench --generate DIR
//
// Measures how fast RZT reads and analyses Java source on one core. Without
// a tree it writes about 50 MB of generated Java into a temporary folder
// first (--generate DIR writes it to DIR and keeps it). Each section runs
// once to warm the caches and then N times (5) over every file; the median
// MB/s of processor time and of wall time are printed, the first being the
// one other work on a shared machine disturbs less. Sections:
//   line pass, word stream      the physical line reader and the word stream;
//   analysis                    the driver and every analyzer, records discarded;
//   whole job                   the analysis and its .xlsx workbook in a temp folder;
//   modern analysis, modern whole job: the same with the syntax-tree analyzer.
// Then the peak memory (ru_maxrss) of the whole job over a generated project
// of --methods methods (200,000) written as a workbook, each run in a child
// process forked while this one is still small.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/AnalyzerMain.h"
#include "analysis/FileEnumeration.h"
#include "java/ModernFileAnalyzer.h"
#include "options/OptionValues.h"
#include "reading/FileReader.h"
#include "reading/PhysicalReader.h"
#include "reading/PushBackReader.h"
#include "reading/ReaderStack.h"
#include "report/IReportWriter.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/IStatusLine.h"
#include "support/IUserMessage.h"
#include "support/JoinPath.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace {

struct SourceFile {
  std::string dirName;
  std::string fileName;
};

// The files the driver analyses, as its enumeration lists them.
struct Corpus {
  fs::path root;
  bool isDirectory = false;
  std::vector<SourceFile> files;
  uint64_t bytes = 0;
};

// Where the measured sections may write their workbooks.
struct Scratch {
  fs::path dir;
};

// One measured pass over the corpus; returns a number that depends on the
// work done, so that none of it can be optimised away.
struct Section {
  const char* name;
  double targetMbPerSecond;  // of processor time; 0: none
  std::function<uint64_t(const Corpus&, const Scratch&)> run;
};

// The files skipped by the last analysis of each kind (bad input for it).
int32_t gSkippedClassic = 0;
int32_t gSkippedModern = 0;

Corpus collect(const fs::path& root) {
  Corpus corpus;
  corpus.root = root;
  if (fs::is_regular_file(root)) {
    std::string dir = root.parent_path().string();
    corpus.files.push_back({dir.empty() ? "." : dir, root.filename().string()});
  } else {
    corpus.isDirectory = true;
    rzt::FileEnumeration enumeration;
    enumeration.prepare(root.string(), true);
    while (enumeration.hasMoreFiles()) {
      corpus.files.push_back({enumeration.nextDirName(), enumeration.nextFileName()});
    }
  }
  for (const auto& f : corpus.files) {
    corpus.bytes += fs::file_size(rzt::joinPath(f.dirName, f.fileName));
  }
  return corpus;
}

// A class of realistic Java: Javadoc and line comments with Japanese text,
// string and character literals with escapes, operators, nested blocks.
std::string generateClass(std::mt19937& rng, int index) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  static const char* const kJapanese[] = {"表示する", "ソート順", "性能を測る", "顧客の一覧",
                                          "合計金額を計算します", "ﾃｽﾄ用のデータ"};
  std::string s;
  s += "/*\n * Copyright (c) 2024 Example Corp. 無断転載を禁じます。\n */\n";
  s += "package com.example.app.module" + std::to_string(index % 37) + ";\n\n";
  s += "import java.util.List;\nimport java.util.Map;\nimport java.io.*;\n\n";
  s += "/**\n * " + std::string(kJapanese[pick(6)]) + "クラス。\n * @author 山田太郎\n */\n";
  s += "public class Generated" + std::to_string(index) + " extends Base implements Runnable {\n";
  s += "    private static final int MAX_COUNT = " + std::to_string(pick(1000)) + ";\n";
  s += "    private final Map<String, List<Integer>> table = new java.util.HashMap<>();\n";
  s += "    protected String name = \"" + std::string(kJapanese[pick(6)]) + "\";\n\n";
  int methods = 20 + pick(10);
  for (int m = 0; m < methods; ++m) {
    s += "    /**\n     * " + std::string(kJapanese[pick(6)]) + "。\n";
    s += "     * @param value the value (must not be null)\n     * @return the result\n     */\n";
    s += "    public int method" + std::to_string(m) + "(int value, String text) throws IOException {\n";
    s += "        int total = 0; // " + std::string(kJapanese[pick(6)]) + "\n";
    s += "        for (int i = 0; i < value; i++) {\n";
    s += "            if (i % 3 == 0 && text != null || value >= 10) {\n";
    s += "                total += i * 2 / (value + 1) - (i << 2) >> 1;\n";
    s += "            } else if (text.charAt(i) == '\\'' || text.charAt(i) == '\\\\') {\n";
    s += "                total--;  /* 例外的なケース */\n";
    s += "            }\n        }\n";
    s += "        String message = \"結果: \" + total + \" // not a comment /* nor this */\\n\";\n";
    s += "        System.out.println(message.replace('\\t', ' '));\n";
    s += "        switch (value) {\n            case 1: return 1;\n            default: break;\n        }\n";
    s += "        double ratio = 1.5e3 * total / 100.0;\n";
    s += "        return total > MAX_COUNT ? MAX_COUNT : (int) ratio;\n    }\n\n";
  }
  s += "    @Override\n    public void run() {\n        new Thread(new Runnable() {\n";
  s += "            public void run() { synchronized (this) { table.clear(); } }\n        }).start();\n";
  s += "    }\n}\n";
  return s;
}

void generateTree(const fs::path& root, uint64_t targetBytes) {
  std::mt19937 rng(12345);
  uint64_t written = 0;
  for (int i = 0; written < targetBytes; ++i) {
    fs::path dir = root / ("pkg" + std::to_string(i / 100));
    fs::create_directories(dir);
    std::string text = generateClass(rng, i);
    std::ofstream(dir / ("Generated" + std::to_string(i) + ".java"), std::ios::binary) << text;
    written += text.size();
  }
}

// A class of many short methods, so that a project has many method rows for
// its size; every tenth method is long enough for a diagnosis finding.
std::string generateManyMethodsClass(std::mt19937& rng, int index, int methods) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::string s;
  s += "package com.example.big.part" + std::to_string(index % 200) + ";\n\n";
  s += "import java.util.List;\n\n";
  s += "/** 大量のメソッドを持つクラス。 */\n";
  s += "public class Many" + std::to_string(index) + " {\n";
  s += "    private int state = " + std::to_string(pick(100)) + ";\n\n";
  for (int m = 0; m < methods; ++m) {
    const std::string name = "op" + std::to_string(m);
    s += "    // " + name + " の処理\n";
    s += "    public int " + name + "(int a, List b) {\n";
    s += "        int x = a + state;\n";
    s += "        if (x > " + std::to_string(pick(50)) + ") { b.add(new Integer(x)); }\n";
    if (m % 10 == 0) {
      for (int k = 0; k < 35; ++k) s += "        x += b.size() * " + std::to_string(k) + ";\n";
    }
    s += "        return x;\n    }\n\n";
  }
  s += "}\n";
  return s;
}

void generateManyMethods(const fs::path& root, int64_t methodTotal) {
  constexpr int kMethodsPerClass = 100;
  std::mt19937 rng(4242);
  int64_t written = 0;
  for (int i = 0; written < methodTotal; ++i) {
    const int methods = static_cast<int>(std::min<int64_t>(kMethodsPerClass, methodTotal - written));
    fs::path dir = root / ("part" + std::to_string(i / 100));
    fs::create_directories(dir);
    std::ofstream(dir / ("Many" + std::to_string(i) + ".java"), std::ios::binary)
        << generateManyMethodsClass(rng, i, methods);
    written += methods;
  }
}

double processSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double wallSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Counts and classifies every physical line, as the file analyzer does.
uint64_t runLinePass(const Corpus& corpus, const Scratch&) {
  // The file analyzer's line pass walks the text its reader stack has read;
  // here a file reader of its own reads it.
  rzt::FileReader file;
  rzt::PhysicalReader reader;
  uint64_t lines = 0;
  uint64_t marks = 0;
  for (const auto& f : corpus.files) {
    file.openFile(f.dirName, f.fileName);
    reader.openText(file.getText());
    while (reader.nextLine()) {
      ++lines;
      marks += reader.isStatement() + 2 * reader.isComment();
    }
    reader.closeFile();
  }
  return lines + marks;
}

// Reads every word of every file through the whole reading stack.
uint64_t runWordStream(const Corpus& corpus, const Scratch&) {
  auto stream = std::make_unique<rzt::PushBackReader>();
  rzt::buildReaderStack(*stream, "auto", nullptr);
  uint64_t words = 0;
  uint64_t chars = 0;
  for (const auto& f : corpus.files) {
    stream->openFile(f.dirName, f.fileName);
    while (stream->hasMoreWords()) {
      chars += stream->readWord().size();
      ++words;
    }
    stream->closeFile();
  }
  return words + chars;
}

class NullStatusLine final : public rzt::IStatusLine {
 public:
  void setText(const std::string& text) override { length += text.size(); }
  uint64_t length = 0;
};

class NullUserMessage final : public rzt::IUserMessage {
 public:
  void showMessage(const std::string&) override { ++count; }
  void showCritical(const std::string&) override { ++count; }
  uint64_t count = 0;
};

// A report writer that keeps nothing: it only adds up a few counts.
class DiscardingReportWriter final : public rzt::IReportWriter {
 public:
  void prepare(const rzt::IOption&) override {}
  void finishedFileAnalysis(const rzt::FileRecord& file) override { sum += file.allLoc + 1; }
  void finishedClassAnalysis(const rzt::ClassRecord& cls) override { sum += cls.statementCount + 1; }
  void finishedMethodAnalysis(const rzt::MethodRecord& method) override {
    sum += method.statementCount + 1;
  }
  void finishedAllAnalysis() override {}
  uint64_t sum = 0;
};

// One whole analysis of the corpus on one thread, as rzt-cli -j 1
// --keep-going runs it: files that are bad input for the analyzer are
// skipped and counted.
void analyse(const Corpus& corpus, bool modern, rzt::IReportWriter& report) {
  NullStatusLine status;
  NullUserMessage messages;
  rzt::AnalyzerMain driver(status, messages);
  if (modern) {
    driver.setFileAnalyzerFactory([] { return std::make_unique<rzt::ModernFileAnalyzer>(); });
  }
  driver.setKeepGoing(true);
  rzt::OptionValues options;
  driver.init(&report, options);
  if (corpus.isDirectory) {
    driver.doAnalysisDir(corpus.root.string(), true);
  } else {
    driver.doAnalysisFile(corpus.files[0].dirName, corpus.files[0].fileName);
  }
  (modern ? gSkippedModern : gSkippedClassic) = driver.skippedFileCount();
}

uint64_t runAnalysis(const Corpus& corpus, bool modern) {
  DiscardingReportWriter writer;
  analyse(corpus, modern, writer);
  return writer.sum;
}

// The analysis and its workbook, written and closed; answers its size.
uint64_t runWholeJob(const Corpus& corpus, const Scratch& scratch, bool modern) {
  const fs::path path = scratch.dir / (modern ? "modern.xlsx" : "classic.xlsx");
  rzt::OutputMgr outputMgr([&path] { return std::make_unique<rzt::XlsxWorkbook>(path); });
  outputMgr.setKeepGoing(true);
  analyse(corpus, modern, outputMgr);
  const uint64_t size = fs::file_size(path);
  fs::remove(path);
  return size;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Rates {
  double cpuMbPerSecond = 0;
  double wallMbPerSecond = 0;
  double cpuSeconds = 0;  // median of one run
};

Rates measure(const Section& section, const Corpus& corpus, const Scratch& scratch, int runs) {
  section.run(corpus, scratch);  // warm the page cache and the buffers
  std::vector<double> cpu;
  std::vector<double> wall;
  const double mb = static_cast<double>(corpus.bytes) / 1e6;
  for (int i = 0; i < runs; ++i) {
    const double cpuStart = processSeconds();
    const double wallStart = wallSeconds();
    volatile uint64_t sink = section.run(corpus, scratch);
    (void)sink;
    cpu.push_back(processSeconds() - cpuStart);
    wall.push_back(wallSeconds() - wallStart);
  }
  const double cpuMedian = median(cpu);
  return {mb / cpuMedian, mb / median(wall), cpuMedian};
}

struct MemoryRun {
  double maxRssMb = 0;
  double cpuSeconds = 0;
  double wallSeconds = 0;
};

// Runs the whole job over root in a forked child and reads the child's
// resource use: its peak resident memory starts from this process's size at
// the fork, so the figure is an upper bound.
MemoryRun measureChild(const fs::path& root, const Scratch& scratch) {
  std::fflush(stdout);
  std::fflush(stderr);
  const double wallStart = wallSeconds();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int status = 0;
    try {
      runWholeJob(collect(root), scratch, false);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "error in the memory run: %s\n", e.what());
      status = 1;
    }
    std::fflush(stderr);
    _exit(status);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("the memory run failed");
  }
  MemoryRun run;
  run.wallSeconds = wallSeconds() - wallStart;
  run.maxRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return run;
}

void measureMemory(int64_t methods, int runs, const Scratch& scratch) {
  const fs::path root = scratch.dir / "many-methods";
  generateManyMethods(root, methods);
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  std::vector<double> rss, cpu, wall;
  for (int i = 0; i < runs; ++i) {
    const MemoryRun run = measureChild(root, scratch);
    rss.push_back(run.maxRssMb);
    cpu.push_back(run.cpuSeconds);
    wall.push_back(run.wallSeconds);
  }
  const Corpus corpus = collect(root);
  std::printf("peak memory, whole job over %lld generated methods (%zu files, %.1f MB) written as a "
              "workbook:\n  %.1f MB ru_maxrss (median of %d, max %.1f; target < 400 MB; this process "
              "was %.1f MB at the fork), %.2f s processor, %.2f s wall\n",
              static_cast<long long>(methods), corpus.files.size(),
              static_cast<double>(corpus.bytes) / 1e6, median(rss), runs,
              *std::max_element(rss.begin(), rss.end()),
              static_cast<double>(self.ru_maxrss) / 1024.0, median(cpu), median(wall));
  std::fflush(stdout);
  std::error_code ec;
  fs::remove_all(root, ec);
}

bool chosen(const std::vector<std::string>& only, const char* name) {
  if (only.empty()) return true;
  return std::any_of(only.begin(), only.end(), [name](const std::string& o) { return o == name; });
}

int usage() {
  std::fprintf(stderr,
               "usage: rzt-bench [--runs N] [--only SECTION]... [--methods N] [--no-memory] "
               "[JAVA_TREE]\n       rzt-bench --generate DIR\n"
               "sections: \"line pass\", \"word stream\", analysis, \"whole job\", "
               "\"modern analysis\", \"modern whole job\", memory\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Section> sections = {
      {"line pass", 0, runLinePass},
      {"word stream", 0, runWordStream},
      {"analysis", 80, [](const Corpus& c, const Scratch&) { return runAnalysis(c, false); }},
      {"whole job", 40, [](const Corpus& c, const Scratch& s) { return runWholeJob(c, s, false); }},
      {"modern analysis", 0, [](const Corpus& c, const Scratch&) { return runAnalysis(c, true); }},
      {"modern whole job", 0,
       [](const Corpus& c, const Scratch& s) { return runWholeJob(c, s, true); }},
  };
  constexpr uint64_t kGeneratedBytes = 50ull * 1000 * 1000;
  if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
    generateTree(argv[2], kGeneratedBytes);
    return 0;
  }
  int runs = 5;
  int64_t methods = 200000;
  bool memory = true;
  std::vector<std::string> only;
  fs::path root;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--runs" && hasValue) {
      runs = std::atoi(argv[++i]);
      if (runs < 1) return usage();
    } else if (arg == "--methods" && hasValue) {
      methods = std::atoll(argv[++i]);
      if (methods < 1) return usage();
    } else if (arg == "--only" && hasValue) {
      only.emplace_back(argv[++i]);
    } else if (arg == "--no-memory") {
      memory = false;
    } else if (arg.empty() || arg[0] == '-' || !root.empty()) {
      return usage();
    } else {
      root = arg;
    }
  }
  memory = memory && chosen(only, "memory");

  Scratch scratch;
  scratch.dir = fs::temp_directory_path() / ("rzt-bench-" + std::to_string(getpid()));
  fs::create_directories(scratch.dir);
  int status = 0;
  try {
    // First, while this process is small: its size at the fork counts in the children's peak.
    if (memory) measureMemory(methods, std::min(runs, 3), scratch);
    const bool anySection = std::any_of(sections.begin(), sections.end(),
                                        [&only](const Section& s) { return chosen(only, s.name); });
    if (anySection) {
      if (root.empty()) {
        std::fprintf(stderr, "generating about 50 MB of Java...\n");
        root = scratch.dir / "tree";
        generateTree(root, kGeneratedBytes);
      }
      const Corpus corpus = collect(root);
      std::printf("%zu files, %.1f MB in %s; one core, median of %d runs\n", corpus.files.size(),
                  static_cast<double>(corpus.bytes) / 1e6, root.string().c_str(), runs);
      std::printf("%-18s %10s %10s %10s %9s\n", "section", "cpu MB/s", "wall MB/s", "cpu s", "target");
      for (const auto& section : sections) {
        if (!chosen(only, section.name)) continue;
        const Rates r = measure(section, corpus, scratch, runs);
        std::string target = "";
        if (section.targetMbPerSecond > 0) {
          target = (r.cpuMbPerSecond >= section.targetMbPerSecond ? ">= " : "MISSED ") +
                   std::to_string(static_cast<int>(section.targetMbPerSecond));
        }
        std::printf("%-18s %10.1f %10.1f %10.3f %9s\n", section.name, r.cpuMbPerSecond,
                    r.wallMbPerSecond, r.cpuSeconds, target.c_str());
        std::fflush(stdout);
      }
      if (gSkippedClassic > 0 || gSkippedModern > 0) {
        std::printf("files skipped as bad input: %d by the classic analysis, %d by the modern one\n",
                    gSkippedClassic, gSkippedModern);
      }
    }
  } catch (const rzt::RztError& e) {
    std::fprintf(stderr, "error %d (%s): %s\n", e.number(), e.source().c_str(), e.what());
    status = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    status = 1;
  }
  std::error_code ec;
  fs::remove_all(scratch.dir, ec);
  return status;
}
