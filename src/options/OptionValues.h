#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "options/IOption.h"

namespace rzt {

// The report settings as both front ends hold them: the texts of the option
// fields and the two choices, read through IOption with each numeric getter
// converting its field anew at every call.
class OptionValues : public IOption {
 public:
  OptionValues() { setDefaults(); }

  // Refills every field with its default, the push-back field included; the
  // encoding and keepGoing are left as they are.
  void setDefaults();

  // The field a name stands for: a getter name without "get" (e.g.
  // "MMaxStatement", "ExcelZoom") or a field name (e.g. "txtMStatement");
  // nullptr for any other name. Names are compared exactly.
  std::string* fieldByName(std::string_view name);
  // Sets the field a name stands for; false, changing nothing, for an
  // unknown name.
  bool setField(std::string_view name, std::string_view text);

  bool excelIsMax() const override { return optExcelMax; }
  bool diagIsOn() const override { return optDiag; }
  int32_t getExcelZoom() const override;
  int32_t getFMaxClass() const override;
  int32_t getFMaxLoc() const override;
  int32_t getFMinCommentRate() const override;
  int32_t getCMaxStatement() const override;
  int32_t getCMaxPubMethod() const override;
  int32_t getCMaxAveStatement() const override;
  int32_t getCMaxPubAttr() const override;
  int32_t getMMaxStatement() const override;
  int32_t getMMaxMsgSend() const override;
  int32_t getMMaxVariable() const override;
  int32_t getMMaxBranch() const override;
  int32_t getMMaxLoop() const override;

  // True: "する" is selected; false: "しない".
  bool optDiag = true;
  // True: "最大" is selected; false: "ﾀｽｸﾊﾞｰ".
  bool optExcelMax = true;
  std::string txtExcelZoom;
  std::string txtFClass;
  std::string txtFLoc;
  std::string txtFComment;
  std::string txtCAllStatement;
  std::string txtCPubMethod;
  std::string txtCAveStatement;
  std::string txtCPubAttr;
  std::string txtMStatement;
  std::string txtMMsgSend;
  std::string txtMVariable;
  std::string txtMBranch;
  std::string txtMLoop;
  // Shown only: the word pool of the push-back reader keeps its fixed size.
  std::string txtSPushBackBuff;

  // The decoding of source files for the readers ("auto", "utf-8", "cp932",
  // ...); not part of IOption.
  std::string encoding = "auto";
  // "エラーのファイルを飛ばして続行": a file whose analysis raises an error is
  // left out and listed on the sheet "エラー", and the analysis goes on; off,
  // the first error ends the analysis. Not part of IOption.
  bool keepGoing = false;
};

}  // namespace rzt
