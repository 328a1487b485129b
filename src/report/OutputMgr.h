#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "compare/ReportModel.h"
#include "report/IReportWriter.h"
#include "report/IWorkbook.h"
#include "report/ReportTotals.h"
#include "report/SheetLayout.h"
#include "report/ThresholdDiagnosis.h"
#include "support/Counter.h"

namespace rzt {

class CapturingWorkbook;
class Comparison;

// The report writer: one workbook per analysis with the sheets "Summ",
// "File", "Class", "Method" and, with the diagnosis on, "診断"; one row per
// file, class and method (their columns: SheetLayout), the threshold
// findings (ThresholdDiagnosis), and the summary of their totals
// (ReportTotals). Optionally, the sheet "比較": this report compared with an
// earlier one (compareWith).
class OutputMgr : public IReportWriter, private IFindingWriter {
 public:
  // Makes the workbook of one analysis; called by every prepare.
  using WorkbookFactory = std::function<std::unique_ptr<IWorkbook>()>;

  // One row of the summary sheet as it was written; value is empty where
  // the division had no divisor.
  struct SummaryRow {
    int32_t row;
    std::string label;
    std::optional<double> value;
    std::string format;
  };

  explicit OutputMgr(WorkbookFactory factory);
  ~OutputMgr() override;

  // Starts a new workbook with its sheets and heading rows. When it fails,
  // the half-made workbook is dropped and nothing is written.
  void prepare(const IOption& diagPara) override;
  void finishedFileAnalysis(const FileRecord& file) override;
  void finishedClassAnalysis(const ClassRecord& cls) override;
  void finishedMethodAnalysis(const MethodRecord& method) override;
  // Lists a skipped file on the sheet "エラー"; a programming mistake when
  // keep-going was off at prepare.
  void skippedFileAnalysis(const SkippedFileRecord& file) override;
  // Writes the summary, fits the columns, shows "Summ" first and writes the
  // workbook.
  void finishedAllAnalysis() override;
  // An error ended the analysis: the rows written so far are kept and the
  // workbook is written without summary, under its partial name, with one
  // line on "Summ" saying that it ends early. Does nothing without a workbook.
  void finishedWithError();

  // With keep-going on, each later prepare adds the sheet "エラー" as the last
  // tab, listing the files whose analysis failed; off (the default), no such
  // sheet.
  void setKeepGoing(bool keepGoing) { keepGoing_ = keepGoing; }
  // Each finding is handed to writer too, after its row on "診断", in the
  // order of the rows; writer is borrowed and must outlive the analyses.
  void addFindingWriter(IFindingWriter& writer) { findingWriters_.push_back(&writer); }
  // The rules of the diagnosis with the thresholds the last prepare read.
  std::span<const DiagnosisRule> diagnosisRules() const { return diagnosis_.rules(); }

  // The comparison with an earlier report, for every front end alike:
  //
  //   auto earlier = std::make_shared<const ReportModel>(readReport(path));  // before the analysis
  //   outputMgr.compareWith(earlier, ReportModel::SyntaxMode::kModern);
  //   ... the analysis (prepare ... finishedAllAnalysis) ...
  //   if (const Comparison* c = outputMgr.lastComparison()) {
  //     comparisonSummaryLine(c->counts());  // "比較: 追加 12, 削除 3, ..."
  //     gateFindingLines(*c);                // the new and worse findings
  //   }
  //
  // With an earlier report set, each later prepare adds the sheet "比較"
  // (after "診断", before "エラー"), heading row frozen and centred, and keeps
  // the cells this report is written with; as the workbook is closed they
  // are compared with the earlier report's and the rows of "比較" are written,
  // the columns fitted. currentSyntax is the analysis this run makes (told
  // so that a run without files still compares its mode); the thresholds
  // are those prepare reads. nullptr (the default) compares nothing: no
  // sheet, no capture, the workbook exactly as without.
  //
  // A report that ends early (finishedWithError) is compared as far as it
  // got: the sheet's first row says that the analysis ended early. When the
  // comparison itself fails, the report is written without its rows all the
  // same; finishedAllAnalysis then raises the failure after the workbook is
  // written, finishedWithError drops it.
  void compareWith(std::shared_ptr<const ReportModel> earlier,
                   ReportModel::SyntaxMode currentSyntax = ReportModel::SyntaxMode::kUnknown);
  // The comparison made as the last workbook was closed; nullptr when none
  // was asked for or made. It lives until the next prepare or compareWith.
  const Comparison* lastComparison() const { return comparison_.get(); }

  // The summary of the last finished analysis, for front ends that print it.
  const std::vector<SummaryRow>& summary() const { return summary_; }
  // The findings the last report lists on its sheet "診断" so far (the row
  // saying nothing was found is none); 0 without the diagnosis.
  int32_t findingCount() const { return diagnosisOn_ ? diagnosisRow_.value() - 1 : 0; }
  // The display choice read by the last prepare.
  bool excelIsMax() const { return excelIsMax_; }
  // A workbook is being written (between prepare and its end).
  bool hasWorkbook() const { return workbook_ != nullptr; }

 private:
  using Sheet = IWorkbook::Sheet;

  void resetTotals();
  Sheet addSheet(std::string_view name);
  void formatHeadingRow(Sheet sheet);
  void createSummarySheet();
  template <typename Record>
  Sheet createSheet(std::string_view name, Counter& row, std::span<const Column<Record>> columns);
  int32_t nextRow(Counter& row, Sheet sheet);
  void writeFinding(const Finding& finding) override;
  void registerPackage(std::string_view packageName);
  void writeSummary();
  void summaryRow(int32_t row, std::string_view label, std::optional<double> value, std::string_view format);
  void finishSheets(bool withSummary);
  void dropComparison();
  void writeComparison(IWorkbook& workbook);

  WorkbookFactory factory_;
  std::unique_ptr<IWorkbook> workbook_;
  Sheet summarySheet_ = -1;
  Sheet fileSheet_ = -1;
  Sheet classSheet_ = -1;
  Sheet methodSheet_ = -1;
  Sheet diagnosisSheet_ = -1;
  Sheet errorSheet_ = -1;  // only with keep-going on
  Counter fileRow_, classRow_, methodRow_, diagnosisRow_, errorRow_;
  bool keepGoing_ = false;
  bool diagnosisOn_ = false;
  bool excelIsMax_ = true;
  int32_t excelZoom_ = 80;
  // The syntax-error column's heading is on the File sheet.
  bool syntaxColumn_ = false;

  ThresholdDiagnosis diagnosis_;
  std::vector<IFindingWriter*> findingWriters_;
  ReportTotals totals_;
  // Package names folded to lower case (ASCII letters).
  std::unordered_set<std::string> packageRegistry_;
  std::string packageKey_;  // reused for each lookup

  std::vector<SummaryRow> summary_;

  // The comparison: the earlier report, this one's cells as captured, the
  // sheet and the outcome.
  std::shared_ptr<const ReportModel> earlier_;
  ReportModel::SyntaxMode currentSyntax_ = ReportModel::SyntaxMode::kUnknown;
  std::unique_ptr<ReportModel> captured_;
  std::unique_ptr<Comparison> comparison_;
  Sheet comparisonSheet_ = -1;
  std::exception_ptr comparisonFailure_;
};

}  // namespace rzt
