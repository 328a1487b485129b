#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "compare/ReportModel.h"
#include "compare/SheetTableBuilder.h"
#include "report/IWorkbook.h"

namespace rzt {

// A workbook that hands every call on to the workbook it wraps and keeps, in
// a ReportModel, the cells of the sheets a comparison reads ("Summ", "File",
// "Class", "Method", "診断"), as the written report holds them: texts made
// valid cell text, empty texts and numbers that are not finite no value.
// Rows of a sheet arrive in ascending order, as every workbook requires.
class CapturingWorkbook final : public IWorkbook {
 public:
  // Runs inside close, after the last cell is captured and before the
  // wrapped workbook is closed: the place to compare and to write the rows
  // of a sheet of the comparison into this workbook. When it raises, the
  // wrapped workbook is not closed (so it writes nothing) and the error
  // passes on.
  using BeforeClose = std::function<void(CapturingWorkbook& workbook)>;

  // into must outlive the workbook; what it held is replaced.
  CapturingWorkbook(std::unique_ptr<IWorkbook> inner, ReportModel& into, BeforeClose beforeClose = {});

  Sheet addSheet(std::string_view name) override;
  void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) override;
  void setNumber(Sheet sheet, int32_t row, int32_t column, double value) override;
  void setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view format) override;
  void freezeHeadingRow(Sheet sheet) override;
  void centreHeadingRow(Sheet sheet) override;
  void setZoom(Sheet sheet, int32_t percent) override;
  void fitColumns(Sheet sheet) override;
  void showFirst(Sheet sheet) override;
  // The report ends early: the model says so too.
  void setPartial() override;
  void close() override;
  int32_t maxRows() const override { return inner_->maxRows(); }
  void checkRow(Sheet sheet, int32_t row) const override { inner_->checkRow(sheet, row); }

  // The workbook the calls go to.
  IWorkbook& inner() { return *inner_; }
  // The sheet of that name as addSheet returned it; -1 when none was added.
  Sheet sheetNamed(std::string_view name) const;

 private:
  PositionalSheetBuilder* builder(Sheet sheet);

  std::unique_ptr<IWorkbook> inner_;
  ReportModel& model_;
  BeforeClose beforeClose_;
  std::vector<std::unique_ptr<PositionalSheetBuilder>> builders_;  // by Sheet; nullptr: not kept
  std::vector<std::pair<std::string, Sheet>> names_;
  bool captureDone_ = false;
};

}  // namespace rzt
