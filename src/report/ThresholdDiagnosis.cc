#include "report/ThresholdDiagnosis.h"

#include <charconv>
#include <cmath>

#include "options/IOption.h"
#include "support/Counter.h"

namespace rzt {
namespace {

constexpr std::string_view kFileLevel = "[File]";
constexpr std::string_view kClassLevel = "[Class]";
constexpr std::string_view kMethodLevel = "[Method]";

constexpr std::string_view kOnePublicAttribute = "公開属性があります";
constexpr std::string_view kPublicAttributes = "公開属性が多過ぎます";

}  // namespace

std::string findingValueText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

std::array<DiagnosisRule, ThresholdDiagnosis::kRuleCount> ThresholdDiagnosis::makeRules() {
  std::array<DiagnosisRule, kRuleCount> r;
  r[kFMaxClass] = {"FMaxClass", kFileLevel, "クラス数が多過ぎます"};
  r[kFMaxLoc] = {"FMaxLoc", kFileLevel, "命令行が多過ぎます"};
  r[kFMinCommentRate] = {"FMinCommentRate", kFileLevel, "コメントが少な過ぎます", 0, true};
  r[kCMaxStatement] = {"CMaxStatement", kClassLevel, "ステートメントが多過ぎます"};
  r[kCMaxPubMethod] = {"CMaxPubMethod", kClassLevel, "公開インスタンスメソッドが多過ぎます"};
  r[kCMaxAveStatement] = {"CMaxAveStatement", kClassLevel, "メソッド当りの平均ステートメントが多過ぎます"};
  r[kCMaxPubAttr] = {"CMaxPubAttr", kClassLevel, kOnePublicAttribute};
  r[kMMaxStatement] = {"MMaxStatement", kMethodLevel, "ステートメントが多過ぎます"};
  r[kMMaxMsgSend] = {"MMaxMsgSend", kMethodLevel, "メッセージ送信が多過ぎます"};
  r[kMMaxVariable] = {"MMaxVariable", kMethodLevel, "ローカル変数が多過ぎます"};
  r[kMMaxBranch] = {"MMaxBranch", kMethodLevel, "分岐ステートメント(if/swtch)が多過ぎます"};
  r[kMMaxLoop] = {"MMaxLoop", kMethodLevel, "繰返しステートメント(for/do/while)が多過ぎます"};
  return r;
}

void ThresholdDiagnosis::loadThresholds(const IOption& diagPara) {
  rules_[kFMaxClass].threshold = diagPara.getFMaxClass();
  rules_[kFMaxLoc].threshold = diagPara.getFMaxLoc();
  rules_[kFMinCommentRate].threshold = diagPara.getFMinCommentRate();
  rules_[kCMaxStatement].threshold = diagPara.getCMaxStatement();
  rules_[kCMaxPubMethod].threshold = diagPara.getCMaxPubMethod();
  rules_[kCMaxAveStatement].threshold = diagPara.getCMaxAveStatement();
  rules_[kCMaxPubAttr].threshold = diagPara.getCMaxPubAttr();
  rules_[kMMaxStatement].threshold = diagPara.getMMaxStatement();
  rules_[kMMaxMsgSend].threshold = diagPara.getMMaxMsgSend();
  rules_[kMMaxVariable].threshold = diagPara.getMMaxVariable();
  rules_[kMMaxBranch].threshold = diagPara.getMMaxBranch();
  rules_[kMMaxLoop].threshold = diagPara.getMMaxLoop();
  rules_[kCMaxPubAttr].message = threshold(kCMaxPubAttr) <= 1 ? kOnePublicAttribute : kPublicAttributes;
}

void ThresholdDiagnosis::diagnoseFile(const FileRecord& file, IFindingWriter& out) const {
  auto finding = [&](RuleIndex rule, double value) {
    const DiagnosisRule& r = rules_[rule];
    out.writeFinding({file.packageName, file.fileName, nullptr, nullptr, r.level, r.message, value, &r, file.filePath, 1});
  };
  if (file.loc >= threshold(kFMaxLoc)) finding(kFMaxLoc, file.loc);
  if (file.classCount >= threshold(kFMaxClass)) finding(kFMaxClass, file.classCount);
  if (file.allLoc > 0) {
    const double rate = static_cast<double>(file.commentLoc) * 100.0 / file.allLoc;
    if (rate <= threshold(kFMinCommentRate)) finding(kFMinCommentRate, std::floor(rate));
  }
}

void ThresholdDiagnosis::diagnoseClass(const ClassRecord& cls, IFindingWriter& out) const {
  auto finding = [&](RuleIndex rule, double value) {
    const DiagnosisRule& r = rules_[rule];
    out.writeFinding(
        {cls.packageName, cls.fileName, &cls.className, nullptr, r.level, r.message, value, &r, cls.filePath, cls.line});
  };
  if (cls.statementCount >= threshold(kCMaxStatement)) finding(kCMaxStatement, cls.statementCount);
  if (cls.publicInstanceMethodCount >= threshold(kCMaxPubMethod)) {
    finding(kCMaxPubMethod, cls.publicInstanceMethodCount);
  }
  const int32_t methods = checkedAdd(cls.instanceMethodCount, cls.classMethodCount);
  if (methods > 0) {
    const double average = static_cast<double>(cls.statementCount) / methods;
    if (average >= threshold(kCMaxAveStatement)) finding(kCMaxAveStatement, std::floor(average));
  }
  const int32_t publicAttributes = checkedAdd(cls.publicClassVariableCount, cls.publicInstanceVariableCount);
  if (publicAttributes >= threshold(kCMaxPubAttr)) finding(kCMaxPubAttr, publicAttributes);
}

void ThresholdDiagnosis::diagnoseMethod(const MethodRecord& method, IFindingWriter& out) const {
  auto finding = [&](RuleIndex rule, double value) {
    const DiagnosisRule& r = rules_[rule];
    out.writeFinding({method.packageName, method.fileName, &method.className, &method.methodName, r.level, r.message,
                      value, &r, method.filePath, method.line});
  };
  if (method.statementCount >= threshold(kMMaxStatement)) finding(kMMaxStatement, method.statementCount);
  if (method.messagePassingCount >= threshold(kMMaxMsgSend)) finding(kMMaxMsgSend, method.messagePassingCount);
  if (method.localVariables >= threshold(kMMaxVariable)) finding(kMMaxVariable, method.localVariables);
  const int32_t branches = checkedAdd(method.ifStatementCount, method.switchStatementCount);
  if (branches >= threshold(kMMaxBranch)) finding(kMMaxBranch, branches);
  const int32_t loops =
      checkedAdd(checkedAdd(method.forStatementCount, method.whileStatementCount), method.doStatementCount);
  if (loops >= threshold(kMMaxLoop)) finding(kMMaxLoop, loops);
}

}  // namespace rzt
