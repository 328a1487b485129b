#include "report/ThresholdDiagnosis.h"

#include <cmath>

#include "options/IOption.h"
#include "support/Counter.h"

namespace rzt {
namespace {

constexpr std::string_view kFileLevel = "[File]";
constexpr std::string_view kClassLevel = "[Class]";
constexpr std::string_view kMethodLevel = "[Method]";

}  // namespace

void ThresholdDiagnosis::loadThresholds(const IOption& diagPara) {
  fMaxClass_ = diagPara.getFMaxClass();
  fMaxLoc_ = diagPara.getFMaxLoc();
  fMinCommentRate_ = diagPara.getFMinCommentRate();
  cMaxStatement_ = diagPara.getCMaxStatement();
  cMaxPubMethod_ = diagPara.getCMaxPubMethod();
  cMaxAveStatement_ = diagPara.getCMaxAveStatement();
  cMaxPubAttr_ = diagPara.getCMaxPubAttr();
  mMaxStatement_ = diagPara.getMMaxStatement();
  mMaxMsgSend_ = diagPara.getMMaxMsgSend();
  mMaxVariable_ = diagPara.getMMaxVariable();
  mMaxBranch_ = diagPara.getMMaxBranch();
  mMaxLoop_ = diagPara.getMMaxLoop();
}

void ThresholdDiagnosis::diagnoseFile(const FileRecord& file, IFindingWriter& out) const {
  auto finding = [&](std::string_view message, double value) {
    out.writeFinding({file.packageName, file.fileName, nullptr, nullptr, kFileLevel, message, value});
  };
  if (file.loc >= fMaxLoc_) finding("命令行が多過ぎます", file.loc);
  if (file.classCount >= fMaxClass_) finding("クラス数が多過ぎます", file.classCount);
  if (file.allLoc > 0) {
    const double rate = static_cast<double>(file.commentLoc) * 100.0 / file.allLoc;
    if (rate <= fMinCommentRate_) finding("コメントが少な過ぎます", std::floor(rate));
  }
}

void ThresholdDiagnosis::diagnoseClass(const ClassRecord& cls, IFindingWriter& out) const {
  auto finding = [&](std::string_view message, double value) {
    out.writeFinding({cls.packageName, cls.fileName, &cls.className, nullptr, kClassLevel, message, value});
  };
  if (cls.statementCount >= cMaxStatement_) finding("ステートメントが多過ぎます", cls.statementCount);
  if (cls.publicInstanceMethodCount >= cMaxPubMethod_) {
    finding("公開インスタンスメソッドが多過ぎます", cls.publicInstanceMethodCount);
  }
  const int32_t methods = checkedAdd(cls.instanceMethodCount, cls.classMethodCount);
  if (methods > 0) {
    const double average = static_cast<double>(cls.statementCount) / methods;
    if (average >= cMaxAveStatement_) finding("メソッド当りの平均ステートメントが多過ぎます", std::floor(average));
  }
  const int32_t publicAttributes = checkedAdd(cls.publicClassVariableCount, cls.publicInstanceVariableCount);
  if (publicAttributes >= cMaxPubAttr_) {
    finding(cMaxPubAttr_ <= 1 ? "公開属性があります" : "公開属性が多過ぎます", publicAttributes);
  }
}

void ThresholdDiagnosis::diagnoseMethod(const MethodRecord& method, IFindingWriter& out) const {
  auto finding = [&](std::string_view message, double value) {
    out.writeFinding(
        {method.packageName, method.fileName, &method.className, &method.methodName, kMethodLevel, message, value});
  };
  if (method.statementCount >= mMaxStatement_) finding("ステートメントが多過ぎます", method.statementCount);
  if (method.messagePassingCount >= mMaxMsgSend_) finding("メッセージ送信が多過ぎます", method.messagePassingCount);
  if (method.localVariables >= mMaxVariable_) finding("ローカル変数が多過ぎます", method.localVariables);
  const int32_t branches = checkedAdd(method.ifStatementCount, method.switchStatementCount);
  if (branches >= mMaxBranch_) finding("分岐ステートメント(if/swtch)が多過ぎます", branches);
  const int32_t loops =
      checkedAdd(checkedAdd(method.forStatementCount, method.whileStatementCount), method.doStatementCount);
  if (loops >= mMaxLoop_) finding("繰返しステートメント(for/do/while)が多過ぎます", loops);
}

}  // namespace rzt
