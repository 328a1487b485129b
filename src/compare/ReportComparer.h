#pragma once

#include <exception>
#include <memory>
#include <string_view>

#include "compare/ReportComparison.h"
#include "compare/ReportModel.h"
#include "report/IExtraSheet.h"
#include "report/OutputMgr.h"

namespace rzt {

class CapturingWorkbook;

// The comparison with an earlier report, for every front end alike:
//
//   auto earlier = std::make_shared<const ReportModel>(readReport(path));  // before the analysis
//   ReportComparer comparer(outputMgr);
//   comparer.compareWith(earlier, ReportModel::SyntaxMode::kModern);
//   ... the analysis (prepare ... finishedAllAnalysis) ...
//   if (const Comparison* c = comparer.lastComparison()) {
//     comparisonSummaryLine(c->counts());  // "比較: 追加 12, 削除 3, ..."
//     gateFindingLines(*c);                // the new and worse findings
//   }
//
// With an earlier report set, each later prepare of the report writer adds
// the sheet "比較" (after "診断", before "エラー"), heading row frozen and
// centred, and keeps the cells this report is written with; as the workbook
// is closed they are compared with the earlier report's (with the
// thresholds prepare read and the syntax mode told) and the rows of "比較"
// are written, the columns fitted.
//
// A report that ends early (finishedWithError) is compared as far as it
// got: the sheet's first row says that the analysis ended early. When the
// comparison itself fails (say, "比較" past the last row of an .xlsx), the
// report is written all the same, with the rows that fit; finishedAllAnalysis
// then raises the failure once the workbook is written, finishedWithError
// drops it.
class ReportComparer final : private IExtraSheet {
 public:
  // outputMgr must outlive the comparer, which takes its extra sheet.
  explicit ReportComparer(OutputMgr& outputMgr);
  ~ReportComparer() override;
  ReportComparer(const ReportComparer&) = delete;
  ReportComparer& operator=(const ReportComparer&) = delete;

  // The earlier report to compare the later reports with; nullptr (the
  // default) compares nothing: no sheet, no capture. currentSyntax: the
  // analysis the runs make, told so that a run without files still compares
  // its mode.
  void compareWith(std::shared_ptr<const ReportModel> earlier,
                   ReportModel::SyntaxMode currentSyntax = ReportModel::SyntaxMode::kUnknown);
  // The comparison made as the last workbook was closed; nullptr when none
  // was asked for or it failed. It lives until the next prepare or
  // compareWith.
  const Comparison* lastComparison() const { return comparison_.get(); }

 private:
  std::string_view sheetName() const override;
  std::unique_ptr<IWorkbook> begin(std::unique_ptr<IWorkbook> workbook) override;
  void sheetAdded(IWorkbook::Sheet sheet) override { sheet_ = sheet; }
  void finished(bool partial) override;

  void drop();
  void writeComparison(IWorkbook& workbook);

  OutputMgr& outputMgr_;
  std::shared_ptr<const ReportModel> earlier_;
  ReportModel::SyntaxMode currentSyntax_ = ReportModel::SyntaxMode::kUnknown;
  std::unique_ptr<ReportModel> captured_;
  std::unique_ptr<Comparison> comparison_;
  IWorkbook::Sheet sheet_ = -1;
  std::exception_ptr failure_;
};

}  // namespace rzt
