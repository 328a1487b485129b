#include "options/OptionValues.h"

#include <array>

#include "options/OptionNumber.h"

namespace rzt {
namespace {

// One numeric field: its getter name without "get", its field name, and
// where it lives.
struct FieldName {
  std::string_view getterName;
  std::string_view fieldName;
  std::string OptionValues::*field;
};

constexpr std::array<FieldName, 14> kFields = {{
    {"ExcelZoom", "txtExcelZoom", &OptionValues::txtExcelZoom},
    {"FMaxClass", "txtFClass", &OptionValues::txtFClass},
    {"FMaxLoc", "txtFLoc", &OptionValues::txtFLoc},
    {"FMinCommentRate", "txtFComment", &OptionValues::txtFComment},
    {"CMaxStatement", "txtCAllStatement", &OptionValues::txtCAllStatement},
    {"CMaxPubMethod", "txtCPubMethod", &OptionValues::txtCPubMethod},
    {"CMaxAveStatement", "txtCAveStatement", &OptionValues::txtCAveStatement},
    {"CMaxPubAttr", "txtCPubAttr", &OptionValues::txtCPubAttr},
    {"MMaxStatement", "txtMStatement", &OptionValues::txtMStatement},
    {"MMaxMsgSend", "txtMMsgSend", &OptionValues::txtMMsgSend},
    {"MMaxVariable", "txtMVariable", &OptionValues::txtMVariable},
    {"MMaxBranch", "txtMBranch", &OptionValues::txtMBranch},
    {"MMaxLoop", "txtMLoop", &OptionValues::txtMLoop},
    // The push-back field has no getter; only its field name reaches it.
    {"", "txtSPushBackBuff", &OptionValues::txtSPushBackBuff},
}};

}  // namespace

void OptionValues::setDefaults() {
  optDiag = true;
  optExcelMax = true;
  txtExcelZoom = "80";
  txtFClass = "4";
  txtFLoc = "500";
  txtFComment = "10";
  txtCAllStatement = "300";
  txtCPubMethod = "50";
  txtCAveStatement = "25";
  txtCPubAttr = "1";
  txtMStatement = "50";
  txtMMsgSend = "30";
  txtMVariable = "20";
  txtMBranch = "15";
  txtMLoop = "10";
  txtSPushBackBuff = "5000";
}

std::string* OptionValues::fieldByName(std::string_view name) {
  if (name.empty()) return nullptr;
  for (const FieldName& f : kFields) {
    if (name == f.getterName || name == f.fieldName) return &(this->*f.field);
  }
  return nullptr;
}

bool OptionValues::setField(std::string_view name, std::string_view text) {
  std::string* field = fieldByName(name);
  if (field == nullptr) return false;
  field->assign(text);
  return true;
}

int32_t OptionValues::getExcelZoom() const { return readZoomOption(txtExcelZoom); }
int32_t OptionValues::getFMaxClass() const { return readOptionNumber(txtFClass); }
int32_t OptionValues::getFMaxLoc() const { return readOptionNumber(txtFLoc); }
int32_t OptionValues::getFMinCommentRate() const { return readOptionNumber(txtFComment); }
int32_t OptionValues::getCMaxStatement() const { return readOptionNumber(txtCAllStatement); }
int32_t OptionValues::getCMaxPubMethod() const { return readOptionNumber(txtCPubMethod); }
int32_t OptionValues::getCMaxAveStatement() const { return readOptionNumber(txtCAveStatement); }
int32_t OptionValues::getCMaxPubAttr() const { return readOptionNumber(txtCPubAttr); }
int32_t OptionValues::getMMaxStatement() const { return readOptionNumber(txtMStatement); }
int32_t OptionValues::getMMaxMsgSend() const { return readOptionNumber(txtMMsgSend); }
int32_t OptionValues::getMMaxVariable() const { return readOptionNumber(txtMVariable); }
int32_t OptionValues::getMMaxBranch() const { return readOptionNumber(txtMBranch); }
int32_t OptionValues::getMMaxLoop() const { return readOptionNumber(txtMLoop); }

}  // namespace rzt
