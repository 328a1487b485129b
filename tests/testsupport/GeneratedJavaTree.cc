#include "GeneratedJavaTree.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>

#include "analysis/FileEnumeration.h"
#include "support/JoinPath.h"

namespace fs = std::filesystem;

namespace rzt::test {
namespace {

// Folders below the root, the root itself included, so that the enumeration
// goes down and back up several times.
const char* const kFolders[] = {"", "app", "app/core", "app/core/deep", "app/ui", "lib", "lib/io", "zz"};

class Writer {
 public:
  explicit Writer(uint32_t seed) : random_(seed) {}

  std::string file(int32_t index) {
    out_.clear();
    const int32_t packageKind = pick(5);
    // Package names that differ only in letter case count once.
    if (packageKind == 1) out_ += "package com.example.p" + std::to_string(pick(6)) + ";\n\n";
    if (packageKind == 2) out_ += "package com.Example.P" + std::to_string(pick(6)) + ";\n\n";
    if (packageKind >= 3) out_ += "package org.sample.q" + std::to_string(pick(4)) + ".sub;\n\n";
    for (int32_t i = pick(5); i > 0; --i) out_ += "import java.util.Thing" + std::to_string(i) + ";\n";
    if (pick(2) == 0) out_ += "\n/**\n * 生成されたクラスです。\n * @author someone\n */\n";
    const int32_t types = 1 + pick(3);
    for (int32_t t = 0; t < types; ++t) type("T" + std::to_string(index) + "x" + std::to_string(t), 0);
    // The reader's word-mismatch message, and the analysis goes on.
    if (pick(9) == 0) out_ += "class Odd" + std::to_string(index) + " { void f() { switch (k) x case 1: a(); } } }\n";
    return out_;
  }

 private:
  int32_t pick(int32_t n) { return static_cast<int32_t>(random_() % static_cast<uint32_t>(n)); }

  void type(const std::string& name, int32_t depth) {
    static const char* const kAccess[] = {"public ", "", "protected ", "private ", "public abstract ", "final "};
    const std::string indent(static_cast<size_t>(depth) * 2, ' ');
    const bool isInterface = pick(6) == 0;
    out_ += indent + kAccess[pick(depth == 0 ? 2 : 6)];
    if (isInterface) {
      out_ += "interface " + name + (pick(2) ? " extends Base, Other" : "") + " {\n";
      for (int32_t i = pick(4); i > 0; --i) out_ += indent + "  int C" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
      for (int32_t i = 1 + pick(4); i > 0; --i) out_ += indent + "  void op" + std::to_string(i) + "(int a, String b);\n";
      out_ += indent + "}\n";
      return;
    }
    out_ += "class " + name + (pick(2) ? " extends Base" : "") + (pick(3) == 0 ? " implements Runnable, Cloneable" : "") + " {\n";
    for (int32_t i = pick(4); i > 0; --i) {
      static const char* const kField[] = {"public int ", "private String ", "public static long ", "static final int ",
                                           "protected static Object "};
      out_ += indent + "  " + kField[pick(5)] + "f" + std::to_string(i) + (pick(2) ? " = " + std::to_string(i) : "") + ";\n";
    }
    if (pick(5) == 0) out_ += indent + "  static { init(); }\n";
    if (pick(3) == 0) out_ += indent + "  " + name + "(int a) { this.f = a; }\n";
    for (int32_t m = pick(6); m > 0; --m) method("m" + std::to_string(m), indent + "  ");
    if (depth < 2 && pick(4) == 0) type(name + "In", depth + 1);
    if (pick(4) == 0) out_ += "\n" + indent + "  // 行コメント\n\n";
    out_ += indent + "}\n";
  }

  void method(const std::string& name, const std::string& indent) {
    static const char* const kHead[] = {"public void ", "private int ", "static String ", "public static final void ",
                                        "protected synchronized long ", "public abstract int "};
    const int32_t head = pick(6);
    out_ += indent + kHead[head] + name + "(" + (pick(2) ? "int a, String b" : "") + ")";
    if (head == 5) {
      out_ += ";\n";
      return;
    }
    out_ += pick(4) == 0 ? " throws IOException {\n" : " {\n";
    // Now and then a method long enough for the thresholds.
    const int32_t statements = pick(12) == 0 ? 55 + pick(20) : pick(8);
    for (int32_t s = 0; s < statements; ++s) statement(indent + "  ");
    if (head == 1 || head == 2 || head == 4) out_ += indent + "  return x;\n";
    out_ += indent + "}\n";
  }

  void statement(const std::string& indent) {
    switch (pick(14)) {
      case 0: out_ += indent + "if (a > 1) { b(); } else { c(); }\n"; break;
      case 1: out_ += indent + "for (int i = 0; i < n; i++) { s += i; }\n"; break;
      case 2: out_ += indent + "while (it.hasNext()) it.next();\n"; break;
      case 3: out_ += indent + "do { k--; } while (k > 0);\n"; break;
      case 4: out_ += indent + "switch (k) { case 1: a(); break; default: b(); }\n"; break;
      case 5: out_ += indent + "try { risky(); } catch (Exception e) { log(e); } finally { done(); }\n"; break;
      case 6: out_ += indent + "synchronized (this) { count++; }\n"; break;
      case 7: out_ += indent + "Object o = new Object();\n"; break;
      case 8: out_ += indent + "new Thread(new Runnable() { public void run() { go(); } }).start();\n"; break;
      case 9: out_ += indent + "final int limit = 10; /* ブロック */\n"; break;
      case 10: out_ += indent + "class Local { int v; int get() { return v; } }\n"; break;
      case 11: out_ += indent + "if (x == null) throw new IllegalStateException(\"なし\");\n"; break;
      case 12: out_ += indent + "a.b().c(\"text // not a comment\", 'x');\n"; break;
      default: out_ += "\n" + indent + "int v" + std::to_string(pick(100)) + " = 0;\n"; break;
    }
  }

  std::mt19937 random_;
  std::string out_;
};

void writeText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

FailingJavaFile failingJavaFile() {
  // Words: class Broken { void ok ( ) { } int x ; - twelve, all read before
  // the reader hits the end of the file inside the class body.
  return {"class Broken {\n  void ok() { }\n  int x;\n", 12};
}

GeneratedJavaTree generateJavaTree(const fs::path& root, int32_t fileCount, uint32_t seed, int32_t failAt) {
  Writer writer(seed);
  constexpr int32_t kFolderCount = static_cast<int32_t>(sizeof kFolders / sizeof kFolders[0]);
  for (int32_t i = 0; i < fileCount; ++i) {
    const fs::path dir = root / kFolders[i % kFolderCount];
    char name[32];
    std::snprintf(name, sizeof name, "Gen%04d.java", static_cast<int>(i));
    writeText(dir / name, writer.file(i));
  }
  GeneratedJavaTree tree;
  FileEnumeration enumeration;
  enumeration.prepare(root.string(), true);
  while (enumeration.hasMoreFiles()) {
    const fs::path path = fs::path(joinPath(enumeration.nextDirName(), enumeration.nextFileName()));
    tree.files.push_back(path.lexically_relative(root).string());
  }
  if (failAt >= 0 && failAt < static_cast<int32_t>(tree.files.size())) {
    tree.failingFile = tree.files[static_cast<size_t>(failAt)];
    writeText(root / tree.failingFile, failingJavaFile().text);
  }
  return tree;
}

}  // namespace rzt::test
