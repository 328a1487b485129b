#pragma once

#include <cstdint>
#include <string_view>

#include "report/IWorkbook.h"

namespace rzt {

// A workbook that keeps nothing and writes nothing, for an analysis run only
// for its summary (rzt-cli --dry-run). It still refuses what a written
// workbook refuses: a row or column outside the format's limits, a sheet it
// never made, and any call after close.
class NullWorkbook final : public IWorkbook {
 public:
  Sheet addSheet(std::string_view name) override;
  void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) override;
  void setNumber(Sheet sheet, int32_t row, int32_t column, double value) override;
  void setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view format) override;
  void freezeHeadingRow(Sheet sheet) override;
  void centreHeadingRow(Sheet sheet) override;
  void setZoom(Sheet sheet, int32_t percent) override;
  void fitColumns(Sheet sheet) override;
  void showFirst(Sheet sheet) override;
  void setPartial() override;
  void close() override;

 private:
  void checkOpen() const;
  void check(Sheet sheet, int32_t row, int32_t column) const;

  int32_t sheets_ = 0;
  bool closed_ = false;
};

}  // namespace rzt
