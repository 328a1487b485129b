#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rzt::test {

// A tree of generated Java files for whole-run tests: nested packages in
// nested folders, files of varied size and shape (member, local and
// anonymous classes, interfaces, every statement kind, comments and blank
// lines), some with thresholds reached, some that make the reader show its
// word-mismatch message, and optionally one that fails.
struct GeneratedJavaTree {
  // Files written, as paths relative to the root, in the order the file
  // enumeration takes them.
  std::vector<std::string> files;
  // The path of the failing file ("" when none was asked for).
  std::string failingFile;
};

// The text of a file whose class body never closes: its analysis ends with
// error 500020 after wordCount words, once its first method was finished.
struct FailingJavaFile {
  std::string text;
  int32_t wordCount;
};
FailingJavaFile failingJavaFile();

// Writes fileCount files below root (made when missing) from the seed; when
// failAt is in 0..fileCount-1, the file at that place of the enumeration
// order is the failing one.
GeneratedJavaTree generateJavaTree(const std::filesystem::path& root, int32_t fileCount, uint32_t seed,
                                   int32_t failAt = -1);

}  // namespace rzt::test
