// rzt-bench [JAVA_TREE]: measures how fast RZT reads Java source. Without a
// tree it writes about 50 MB of generated Java into a temporary folder first
// (rzt-bench --generate DIR writes it to DIR and keeps it). Each section runs
// a few times over every file; the median MB/s of processor time is printed,
// which other work on a shared machine disturbs less than wall time.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "reading/PhysicalReader.h"
#include "reading/PushBackReader.h"
#include "reading/ReaderStack.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace {

struct SourceFile {
  std::string dirName;
  std::string fileName;
};

struct Corpus {
  std::vector<SourceFile> files;
  uint64_t bytes = 0;
};

// One measured pass over the corpus; returns a number that depends on the
// work done, so that none of it can be optimised away.
struct Section {
  const char* name;
  std::function<uint64_t(const Corpus&)> run;
};

Corpus collect(const fs::path& root) {
  Corpus corpus;
  std::vector<fs::path> paths;
  if (fs::is_regular_file(root)) {
    paths.push_back(root);
  } else {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::string ext = entry.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
      if (ext == ".java") paths.push_back(entry.path());
    }
  }
  std::sort(paths.begin(), paths.end());
  for (const auto& p : paths) {
    corpus.files.push_back({p.parent_path().string(), p.filename().string()});
    corpus.bytes += fs::file_size(p);
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

double processSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Counts and classifies every physical line, as the file analyzer does.
uint64_t runLinePass(const Corpus& corpus) {
  rzt::PhysicalReader reader;
  uint64_t lines = 0;
  uint64_t marks = 0;
  for (const auto& f : corpus.files) {
    reader.openFile(f.dirName, f.fileName);
    while (reader.nextLine()) {
      ++lines;
      marks += reader.isStatement() + 2 * reader.isComment();
    }
    reader.closeFile();
  }
  return lines + marks;
}

// Reads every word of every file through the whole reading stack.
uint64_t runWordStream(const Corpus& corpus) {
  auto stream = rzt::makeReaderStack("auto", nullptr);
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

double medianMbPerSecond(const Section& section, const Corpus& corpus, int runs) {
  section.run(corpus);  // warm the page cache and the buffers
  std::vector<double> rates;
  for (int i = 0; i < runs; ++i) {
    double start = processSeconds();
    volatile uint64_t sink = section.run(corpus);
    (void)sink;
    double took = processSeconds() - start;
    rates.push_back(static_cast<double>(corpus.bytes) / 1e6 / took);
  }
  std::sort(rates.begin(), rates.end());
  return rates[rates.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Section> sections = {
      {"line pass", runLinePass},
      {"word stream", runWordStream},
  };
  constexpr uint64_t kGeneratedBytes = 50ull * 1000 * 1000;
  if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
    generateTree(argv[2], kGeneratedBytes);
    return 0;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: rzt-bench [JAVA_TREE] | rzt-bench --generate DIR\n");
    return 2;
  }
  fs::path root;
  bool generated = false;
  if (argc == 2) {
    root = argv[1];
  } else {
    std::fprintf(stderr, "generating about 50 MB of Java...\n");
    root = fs::temp_directory_path() / ("rzt-bench-" + std::to_string(std::random_device{}()));
    generateTree(root, kGeneratedBytes);
    generated = true;
  }
  int status = 0;
  try {
    Corpus corpus = collect(root);
    std::printf("%zu files, %.1f MB in %s\n", corpus.files.size(),
                static_cast<double>(corpus.bytes) / 1e6, root.string().c_str());
    for (const auto& section : sections) {
      std::printf("%-12s %8.1f MB/s\n", section.name, medianMbPerSecond(section, corpus, 5));
      std::fflush(stdout);
    }
  } catch (const rzt::RztError& e) {
    std::fprintf(stderr, "error %d (%s): %s\n", e.number(), e.source().c_str(), e.what());
    status = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    status = 1;
  }
  if (generated) {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  return status;
}
