#include "report/OutputMgr.h"

#include <stdexcept>
#include <utility>

#include "options/IOption.h"
#include "support/AsciiCase.h"
#include "support/RztError.h"

namespace rzt {
namespace {

constexpr int32_t kSyntaxErrorColumn = 9;
constexpr std::string_view kSyntaxErrorHeading = "構文ｴﾗｰ";

constexpr std::string_view kCountFormat = "#,##0_ ";
constexpr std::string_view kAverageFormat = "0.0_ ";
constexpr std::string_view kRatioFormat = "0.0%";

// The line under the heading of "Summ" in a report that ends early.
constexpr std::string_view kEndedEarly = "解析は途中で終了しました。このレポートは途中までの結果です。";

std::optional<double> quotient(int32_t dividend, int32_t divisor) {
  if (divisor == 0) return std::nullopt;
  return static_cast<double>(dividend) / divisor;
}

}  // namespace

OutputMgr::OutputMgr(WorkbookFactory factory) : factory_(std::move(factory)) {}

void OutputMgr::resetTotals() {
  totals_ = ReportTotals();
  packageRegistry_.clear();
  fileRow_ = classRow_ = methodRow_ = diagnosisRow_ = errorRow_ = Counter();
  summary_.clear();
  syntaxColumn_ = false;
}

void OutputMgr::prepare(const IOption& diagPara) {
  resetTotals();
  workbook_.reset();
  activeExtra_ = nullptr;
  summarySheet_ = fileSheet_ = classSheet_ = methodSheet_ = diagnosisSheet_ = errorSheet_ = -1;
  try {
    excelIsMax_ = diagPara.excelIsMax();
    workbook_ = factory_();
    if (extra_ != nullptr) workbook_ = extra_->begin(std::move(workbook_));
    excelZoom_ = diagPara.getExcelZoom();
    diagnosisOn_ = false;
    // Each sheet goes before the one made before it: made first, it is the
    // last tab.
    if (keepGoing_) errorSheet_ = createSheet("エラー", errorRow_, kErrorColumns);
    if (extra_ != nullptr) {
      const Sheet sheet = addSheet(extra_->sheetName());
      formatHeadingRow(sheet);
      extra_->sheetAdded(sheet);
    }
    if (diagPara.diagIsOn()) {
      diagnosisSheet_ = createSheet("診断", diagnosisRow_, kDiagnosisColumns);
      diagnosis_.loadThresholds(diagPara);
      diagnosisOn_ = true;
    }
    methodSheet_ = createSheet("Method", methodRow_, kMethodColumns);
    classSheet_ = createSheet("Class", classRow_, kClassColumns);
    fileSheet_ = createSheet("File", fileRow_, kFileColumns);
    createSummarySheet();
    activeExtra_ = extra_;
  } catch (...) {
    // A workbook without all its sheets is of no use to anyone.
    workbook_.reset();
    throw;
  }
}

IWorkbook::Sheet OutputMgr::addSheet(std::string_view name) {
  const Sheet sheet = workbook_->addSheet(name);
  workbook_->freezeHeadingRow(sheet);
  return sheet;
}

void OutputMgr::formatHeadingRow(Sheet sheet) {
  workbook_->centreHeadingRow(sheet);
  workbook_->setZoom(sheet, excelZoom_);
}

template <typename Record>
IWorkbook::Sheet OutputMgr::createSheet(std::string_view name, Counter& row, std::span<const Column<Record>> columns) {
  const Sheet sheet = addSheet(name);
  row = Counter(1);
  writeHeadings(*workbook_, sheet, columns);
  formatHeadingRow(sheet);
  return sheet;
}

void OutputMgr::createSummarySheet() {
  summarySheet_ = addSheet("Summ");
  workbook_->setText(summarySheet_, 1, 1, "メトリクス");
  workbook_->setText(summarySheet_, 1, 2, "値");
  formatHeadingRow(summarySheet_);
}

int32_t OutputMgr::nextRow(Counter& row, Sheet sheet) {
  if (workbook_ == nullptr) throw std::logic_error("report rows before prepare");
  const int32_t next = checkedAdd(row, 1);
  // A sheet ends at its format's last row; the counter stays where it was.
  workbook_->checkRow(sheet, next);
  row = Counter(next);
  return next;
}

void OutputMgr::finishedFileAnalysis(const FileRecord& file) {
  if (file.syntaxErrorCount >= 0 && !syntaxColumn_ && fileRow_.value() == 1) {
    // The analysis that counts syntax errors does so for every file of the
    // run, so the first file brings the column's heading; it goes first
    // because the heading row is finished once a data row is begun.
    workbook_->setText(fileSheet_, 1, kSyntaxErrorColumn, kSyntaxErrorHeading);
    syntaxColumn_ = true;
  }
  const int32_t row = nextRow(fileRow_, fileSheet_);
  writeRecordRow(*workbook_, fileSheet_, row, kFileColumns, file);
  if (file.syntaxErrorCount >= 0) workbook_->setNumber(fileSheet_, row, kSyntaxErrorColumn, file.syntaxErrorCount);
  if (diagnosisOn_) diagnosis_.diagnoseFile(file, *this);
  totals_.add(ReportTotals::of(file));
  registerPackage(file.packageName);
}

void OutputMgr::registerPackage(std::string_view packageName) {
  packageKey_.assign(packageName);
  lowerAsciiInPlace(packageKey_);
  if (packageRegistry_.find(packageKey_) == packageRegistry_.end()) packageRegistry_.insert(packageKey_);
}

void OutputMgr::finishedClassAnalysis(const ClassRecord& cls) {
  const int32_t row = nextRow(classRow_, classSheet_);
  writeRecordRow(*workbook_, classSheet_, row, kClassColumns, cls);
  if (diagnosisOn_) diagnosis_.diagnoseClass(cls, *this);
  totals_.add(ReportTotals::of(cls));
}

void OutputMgr::finishedMethodAnalysis(const MethodRecord& method) {
  const int32_t row = nextRow(methodRow_, methodSheet_);
  writeRecordRow(*workbook_, methodSheet_, row, kMethodColumns, method);
  if (diagnosisOn_) diagnosis_.diagnoseMethod(method, *this);
  totals_.add(ReportTotals::of(method));
}

void OutputMgr::skippedFileAnalysis(const SkippedFileRecord& file) {
  if (errorSheet_ < 0) throw std::logic_error("a skipped file without the sheet of errors");
  const int32_t row = nextRow(errorRow_, errorSheet_);
  writeRecordRow(*workbook_, errorSheet_, row, kErrorColumns, file);
}

void OutputMgr::writeFinding(const Finding& finding) {
  const int32_t row = nextRow(diagnosisRow_, diagnosisSheet_);
  writeRecordRow(*workbook_, diagnosisSheet_, row, kDiagnosisColumns, finding);
  for (IFindingWriter* writer : findingWriters_) writer->writeFinding(finding);
}

void OutputMgr::summaryRow(int32_t row, std::string_view label, std::optional<double> value,
                           std::string_view format) {
  workbook_->setText(summarySheet_, row, 1, label);
  if (value) workbook_->setNumber(summarySheet_, row, 2, *value);
  if (!format.empty()) workbook_->setNumberFormat(summarySheet_, row, 2, format);
  summary_.push_back(SummaryRow{row, std::string(label), value, std::string(format)});
}

void OutputMgr::writeSummary() {
  summary_.clear();
  const ReportTotals& t = totals_;
  const auto packages = static_cast<int32_t>(packageRegistry_.size());
  int32_t row = 1;
  summaryRow(++row, "ファイル数", t.fileTotal, {});
  summaryRow(++row, "パッケージ数", packages, {});
  summaryRow(++row, "全クラス数", t.classTotal, {});
  summaryRow(++row, "公開クラス数", t.publicClassTotal, {});
  summaryRow(++row, "インタフェース数", t.publicInterfaceTotal, {});
  summaryRow(++row, "全メソッド数", t.methodTotal, {});
  summaryRow(++row, "公開メソッド数", t.publicMethodTotal, {});
  ++row;
  summaryRow(++row, "行数", t.allLocTotal, kCountFormat);
  summaryRow(++row, "命令行数", t.locTotal, kCountFormat);
  summaryRow(++row, "コメント行数", t.commentLocTotal, kCountFormat);
  summaryRow(++row, "ステートメント数", t.statementTotal, kCountFormat);
  ++row;
  // A division without divisor leaves its value cell empty; label and format stay.
  summaryRow(++row, "１パッケージ当たり平均クラス数", quotient(t.classTotal, packages), kAverageFormat);
  summaryRow(++row, "１クラス当たり平均メソッド数", quotient(t.methodTotal, t.classTotal), kAverageFormat);
  summaryRow(++row, "１メソッド当たり平均ステートメント数", quotient(t.statementTotal, t.methodTotal), kAverageFormat);
  ++row;
  summaryRow(++row, "１ファイル当たり平均行数", quotient(t.allLocTotal, t.fileTotal), kAverageFormat);
  summaryRow(++row, "１ファイル当たり平均命令行数", quotient(t.locTotal, t.fileTotal), kAverageFormat);
  summaryRow(++row, "平均コメント比率", quotient(t.commentLocTotal, t.allLocTotal), kRatioFormat);
}

void OutputMgr::finishSheets(bool withSummary) {
  workbook_->fitColumns(summarySheet_);
  workbook_->fitColumns(fileSheet_);
  workbook_->fitColumns(classSheet_);
  workbook_->fitColumns(methodSheet_);
  if (diagnosisOn_) {
    // Written before the fit so that the column is wide enough for it; a
    // partial report says nothing about the files it never reached.
    if (withSummary && diagnosisRow_.value() == 1) {
      workbook_->setText(diagnosisSheet_, 2, 1, "特に問題はありませんでした");
    }
    workbook_->fitColumns(diagnosisSheet_);
  }
  if (errorSheet_ >= 0) workbook_->fitColumns(errorSheet_);
  workbook_->showFirst(summarySheet_);
}

void OutputMgr::finishedAllAnalysis() {
  if (workbook_ == nullptr) throw std::logic_error("finishedAllAnalysis before prepare");
  writeSummary();
  finishSheets(true);
  // The workbook is released before it is written: after a failed write
  // there is nothing left to finish.
  std::unique_ptr<IWorkbook> workbook = std::move(workbook_);
  workbook->close();
  if (IExtraSheet* extra = std::exchange(activeExtra_, nullptr)) extra->finished(false);
}

void OutputMgr::finishedWithError() {
  if (workbook_ == nullptr) return;
  summary_.clear();
  workbook_->setText(summarySheet_, 2, 1, kEndedEarly);
  workbook_->setPartial();
  finishSheets(false);
  std::unique_ptr<IWorkbook> workbook = std::move(workbook_);
  workbook->close();
  if (IExtraSheet* extra = std::exchange(activeExtra_, nullptr)) extra->finished(true);
}

}  // namespace rzt
