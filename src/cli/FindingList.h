#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "report/ThresholdDiagnosis.h"

namespace rzt {

// The findings of a run as compilers print their warnings, one a line, so
// that editors and terminals can jump to them:
// "src/jp/A.java:12: [Method] Foo.bar: ステートメントが多過ぎます (52)".
// The path is the file's as the command line reaches it: PATH as given
// joined with the path relative to it (PATH itself for a single file).
// Names are made safe for a terminal; a line feed in one cannot split a line.
class FindingList final : public IFindingWriter {
 public:
  // root: PATH as given; rootIsFile: PATH names the one file analysed.
  FindingList(std::string root, bool rootIsFile) : root_(std::move(root)), rootIsFile_(rootIsFile) {}

  void writeFinding(const Finding& finding) override;
  const std::vector<std::string>& lines() const { return lines_; }
  // Writes every line to out; false when a write fails.
  bool print(std::FILE* out) const;

 private:
  std::string root_;
  bool rootIsFile_;
  std::vector<std::string> lines_;
};

}  // namespace rzt
