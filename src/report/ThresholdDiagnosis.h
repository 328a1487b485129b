#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "records/Records.h"
#include "report/SheetLayout.h"

namespace rzt {

class IOption;

// A finding's value or threshold as text, the shortest decimal that reads
// back as the same number ("52", "3"); "nan" or "inf" were it not finite.
std::string findingValueText(double value);

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
  // The twelve rules in the order of the option getters, with the
  // thresholds last loaded; a finding points into them.
  std::span<const DiagnosisRule> rules() const { return rules_; }

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
  // The rules by the order of the option getters.
  enum RuleIndex {
    kFMaxClass,
    kFMaxLoc,
    kFMinCommentRate,
    kCMaxStatement,
    kCMaxPubMethod,
    kCMaxAveStatement,
    kCMaxPubAttr,
    kMMaxStatement,
    kMMaxMsgSend,
    kMMaxVariable,
    kMMaxBranch,
    kMMaxLoop,
    kRuleCount
  };
  int32_t threshold(RuleIndex rule) const { return rules_[rule].threshold; }

  std::array<DiagnosisRule, kRuleCount> rules_ = makeRules();
  static std::array<DiagnosisRule, kRuleCount> makeRules();
};

}  // namespace rzt
