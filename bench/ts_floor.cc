// rzt-ts-floor [-j N] FOLDER
//
// The engine's floor under the syntax-tree analysis: reads every .java file
// below FOLDER (hidden names left out, as rzt-cli does), parses it with the
// same tree-sitter runtime and Java grammar the core uses, and visits every
// node of the tree with a cursor, measuring nothing. N threads (1) take the
// files in turn, each with its own parser. Prints the files, bytes and nodes
// and the wall time to standard error; bench/run.sh times it like rzt-cli.

#include <fcntl.h>
#include <tree_sitter/api.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

extern "C" const TSLanguage* tree_sitter_java(void);

namespace {

std::vector<std::string> javaFiles(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.') {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    if (name.size() < 5 || !it->is_regular_file()) continue;
    std::string ext = name.substr(name.size() - 5);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".java") files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool readFile(const std::string& path, std::string& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out.clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

struct Totals {
  unsigned long long bytes = 0;
  unsigned long long nodes = 0;
};

void work(const std::vector<std::string>& files, std::atomic<size_t>& next, Totals& totals) {
  TSParser* parser = ts_parser_new();
  if (!ts_parser_set_language(parser, tree_sitter_java())) {
    std::fprintf(stderr, "rzt-ts-floor: the grammar does not load\n");
    std::exit(1);
  }
  std::string text;
  for (size_t i = next++; i < files.size(); i = next++) {
    if (!readFile(files[i], text)) continue;
    totals.bytes += text.size();
    TSTree* tree = ts_parser_parse_string(parser, nullptr, text.data(), static_cast<uint32_t>(text.size()));
    if (!tree) continue;
    TSTreeCursor cursor = ts_tree_cursor_new(ts_tree_root_node(tree));
    unsigned long long nodes = 1;
    for (;;) {
      if (ts_tree_cursor_goto_first_child(&cursor)) {
        ++nodes;
        continue;
      }
      while (!ts_tree_cursor_goto_next_sibling(&cursor)) {
        if (!ts_tree_cursor_goto_parent(&cursor)) goto done;
      }
      ++nodes;
    }
  done:
    totals.nodes += nodes;
    ts_tree_cursor_delete(&cursor);
    ts_tree_delete(tree);
  }
  ts_parser_delete(parser);
}

}  // namespace

int main(int argc, char** argv) {
  int jobs = 1;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-j" && i + 1 < argc) {
      jobs = std::max(1, std::atoi(argv[++i]));
    } else {
      folder = a;
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: rzt-ts-floor [-j N] FOLDER\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> files = javaFiles(folder);
  std::atomic<size_t> next{0};
  std::vector<Totals> totals(static_cast<size_t>(jobs));
  std::vector<std::thread> threads;
  for (int j = 1; j < jobs; ++j) threads.emplace_back(work, std::cref(files), std::ref(next), std::ref(totals[j]));
  work(files, next, totals[0]);
  for (std::thread& t : threads) t.join();
  Totals sum;
  for (const Totals& t : totals) {
    sum.bytes += t.bytes;
    sum.nodes += t.nodes;
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "rzt-ts-floor: %zu files, %llu bytes, %llu nodes, %.3f s\n", files.size(), sum.bytes,
               sum.nodes, seconds);
  return 0;
}
