#pragma once

#include <cstdint>

#include "records/Records.h"
#include "report/SheetLayout.h"

namespace rzt {

class IOption;

// Where the findings of the diagnosis go, one at a time.
class IFindingWriter {
 public:
  virtual ~IFindingWriter() = default;
  virtual void writeFinding(const Finding& finding) = 0;
};

// The threshold diagnosis: the twelve thresholds of the option settings and
// the rules that compare a finished file, class or method against them.
// Every rule is a test of its own, greater-or-equal; the rules of a level
// run in their order, and each one that holds hands its finding to the
// writer at once, so that findings written before a failing rule stay.
class ThresholdDiagnosis {
 public:
  // Reads the twelve thresholds, in the order of the option getters.
  void loadThresholds(const IOption& diagPara);

  // "命令行が多過ぎます", "クラス数が多過ぎます", then "コメントが少な過ぎます"
  // for a file with lines whose comment ratio in percent is at most
  // fMinCommentRate (the value: its whole-number part).
  void diagnoseFile(const FileRecord& file, IFindingWriter& out) const;
  // Statements, public instance methods, the average of statements per
  // method (only with a method; compared before its fraction is dropped),
  // public attributes ("公開属性があります" while the threshold is 1 or less).
  void diagnoseClass(const ClassRecord& cls, IFindingWriter& out) const;
  // Statements, message sends, local variables, branches (if and switch),
  // loops (for, while and do).
  void diagnoseMethod(const MethodRecord& method, IFindingWriter& out) const;

 private:
  int32_t fMaxClass_ = 0, fMaxLoc_ = 0, fMinCommentRate_ = 0;
  int32_t cMaxStatement_ = 0, cMaxPubMethod_ = 0, cMaxAveStatement_ = 0, cMaxPubAttr_ = 0;
  int32_t mMaxStatement_ = 0, mMaxMsgSend_ = 0, mMaxVariable_ = 0, mMaxBranch_ = 0, mMaxLoop_ = 0;
};

}  // namespace rzt
