#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "report/IWorkbook.h"

namespace rzt {

// A workbook that passes every call on to another and counts the findings
// written on the diagnosis sheet "診断": the rows below the heading row with a
// text in the column headed "区分" (every finding names its level there;
// the row saying that nothing was found does not). The count is kept in
// *findings, which outlives the workbook.
class FindingCountingWorkbook final : public IWorkbook {
 public:
  FindingCountingWorkbook(std::unique_ptr<IWorkbook> inner, int32_t* findings);

  Sheet addSheet(std::string_view name) override;
  void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) override;
  void setNumber(Sheet sheet, int32_t row, int32_t column, double value) override;
  void setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                       std::string_view format) override;
  void freezeHeadingRow(Sheet sheet) override;
  void centreHeadingRow(Sheet sheet) override;
  void setZoom(Sheet sheet, int32_t percent) override;
  void fitColumns(Sheet sheet) override;
  void showFirst(Sheet sheet) override;
  void close() override;

 private:
  std::unique_ptr<IWorkbook> inner_;
  int32_t* findings_;
  Sheet diagnosisSheet_ = -1;
  int32_t levelColumn_ = 0;  // 0 until the heading "区分" is written
  int32_t lastCounted_ = 0;  // the last row counted
};

}  // namespace rzt
