#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "report/IExtraSheet.h"
#include "report/IReportWriter.h"
#include "report/IWorkbook.h"
#include "report/ReportTotals.h"
#include "report/SheetLayout.h"
#include "report/ThresholdDiagnosis.h"
#include "support/Counter.h"

namespace rzt {

// The report writer: one workbook per analysis with the sheets "Summ",
// "File", "Class", "Method" and, with the diagnosis on, "診断"; one row per
// file, class and method (their columns: SheetLayout), the threshold
// findings (ThresholdDiagnosis), and the summary of their totals
// (ReportTotals); optionally a sheet of another part (IExtraSheet), such as
// "比較".
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
  // Each later prepare adds the sheet of extra to the report, after "診断" and
  // before "エラー"; nullptr (the default): none, the workbook exactly as
  // without. extra is borrowed and must outlive the analyses.
  void setExtraSheet(IExtraSheet* extra) { extra_ = extra; }
  // The rules of the diagnosis with the thresholds the last prepare read.
  std::span<const DiagnosisRule> diagnosisRules() const { return diagnosis_.rules(); }

  // The summary of the last finished analysis, for front ends that print it.
  const std::vector<SummaryRow>& summary() const { return summary_; }
  // The findings the last report lists on its sheet "診断" so far (the row
  // saying nothing was found is none); 0 without the diagnosis.
  int32_t findingCount() const { return diagnosisOn_ ? diagnosisRow_.value() - 1 : 0; }
  // The last prepare turned the diagnosis on.
  bool diagnosisOn() const { return diagnosisOn_; }
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

  IExtraSheet* extra_ = nullptr;
  IExtraSheet* activeExtra_ = nullptr;  // the one of the workbook being written
};

}  // namespace rzt
