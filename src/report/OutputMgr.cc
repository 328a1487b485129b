#include "report/OutputMgr.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "options/IOption.h"
#include "support/AsciiCase.h"
#include "support/RztError.h"

namespace rzt {
namespace {

struct Heading {
  int32_t column;
  std::string_view text;
};

constexpr Heading kFileHeadings[] = {
    {1, "ﾌｧｲﾙ名"}, {2, "ﾊﾟｯｹｰｼﾞ名"}, {3, "全行"}, {4, "命令行"},
    {5, "ｺﾒﾝﾄ行"}, {6, "ﾌﾞﾗﾝｸ行"},   {7, "ｸﾗｽ"},  {8, "import"},
};
constexpr int32_t kSyntaxErrorColumn = 9;
constexpr std::string_view kSyntaxErrorHeading = "構文ｴﾗｰ";

constexpr Heading kClassHeadings[] = {
    {1, "ﾊﾟｯｹｰｼﾞ名"},    {2, "ｸﾗｽ名"},        {3, "ﾀｲﾌﾟ"},        {4, "ｱｸｾｽ"},
    {17, "extends"},     {18, "implements"},  {5, "ｽﾃｰﾄﾒﾝﾄ"},     {6, "公開ﾒｿｯﾄﾞ"},
    {7, "全ﾒｿｯﾄﾞ"},      {8, "公開ｸﾗｽﾒｿｯﾄﾞ"}, {9, "全ｸﾗｽﾒｿｯﾄﾞ"},  {11, "全属性"},
    {13, "全ｸﾗｽ属性"},   {10, "公開属性"},    {12, "公開ｸﾗｽ属性"}, {14, "定数"},
    {15, "ｲﾝﾅｰｸﾗｽ"},     {16, "staticﾌﾞﾛｯｸ"},
};

constexpr Heading kMethodHeadings[] = {
    {1, "ﾊﾟｯｹｰｼﾞ名"}, {2, "ｸﾗｽ名"}, {3, "ﾒｿｯﾄﾞ名"}, {4, "抽象"},     {5, "ﾀｲﾌﾟ"},
    {6, "ｱｸｾｽ"},      {7, "戻り値"}, {23, "final"},   {24, "native"}, {8, "引数"},
    {9, "ｽﾃｰﾄﾒﾝﾄ"},   {10, "MSG送信"}, {11, "OBJ生成"}, {12, "変数"},  {13, "定数"},
    {14, "if"},       {15, "for"},   {16, "while"},   {17, "do"},     {18, "switch"},
    {19, "try"},      {20, "return"}, {21, "throw"},  {22, "匿名ｸﾗｽ"},
};

constexpr Heading kDiagnosisHeadings[] = {
    {1, "ﾊﾟｯｹｰｼﾞ名"}, {2, "ﾌｧｲﾙ名"}, {3, "ｸﾗｽ名"}, {4, "ﾒｿｯﾄﾞ名"},
    {5, "区分"},       {6, "診断"},   {7, "値"},
};

constexpr Heading kErrorHeadings[] = {
    {1, "ﾃﾞｨﾚｸﾄﾘ"}, {2, "ﾌｧｲﾙ名"}, {3, "番号"}, {4, "内容"}, {5, "語数"},
};

constexpr std::string_view kFileLevel = "[File]";
constexpr std::string_view kClassLevel = "[Class]";
constexpr std::string_view kMethodLevel = "[Method]";

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

void OutputMgr::text(Sheet sheet, int32_t row, int32_t column, std::string_view value) {
  workbook_->setText(sheet, row, column, value);
}

void OutputMgr::number(Sheet sheet, int32_t row, int32_t column, double value) {
  workbook_->setNumber(sheet, row, column, value);
}

void OutputMgr::resetTotals() {
  fileTotal_ = allLocTotal_ = locTotal_ = commentLocTotal_ = statementTotal_ = Counter();
  packageRegistry_.clear();
  classTotal_ = publicInterfaceTotal_ = publicClassTotal_ = methodTotal_ = publicMethodTotal_ =
      Counter();
  fileRow_ = classRow_ = methodRow_ = diagnosisRow_ = errorRow_ = Counter();
  summary_.clear();
  syntaxColumn_ = false;
}

void OutputMgr::prepare(const IOption& diagPara) {
  resetTotals();
  workbook_.reset();
  summarySheet_ = fileSheet_ = classSheet_ = methodSheet_ = diagnosisSheet_ = errorSheet_ = -1;
  try {
    excelIsMax_ = diagPara.excelIsMax();
    workbook_ = factory_();
    excelZoom_ = diagPara.getExcelZoom();
    diagnosisOn_ = false;
    // Each sheet goes before the one made before it: made first, it is the
    // last tab.
    if (keepGoing_) createErrorSheet();
    if (diagPara.diagIsOn()) {
      createDiagnosisSheet();
      loadThresholds(diagPara);
      diagnosisOn_ = true;
    }
    createMethodSheet();
    createClassSheet();
    createFileSheet();
    createSummarySheet();
  } catch (...) {
    // A workbook without all its sheets is of no use to anyone.
    workbook_.reset();
    throw;
  }
}

IWorkbook::Sheet OutputMgr::addSheet(std::string_view name) {
  Sheet sheet = workbook_->addSheet(name);
  workbook_->freezeHeadingRow(sheet);
  return sheet;
}

void OutputMgr::formatHeadingRow(Sheet sheet) {
  workbook_->centreHeadingRow(sheet);
  workbook_->setZoom(sheet, excelZoom_);
}

void OutputMgr::createSummarySheet() {
  summarySheet_ = addSheet("Summ");
  text(summarySheet_, 1, 1, "メトリクス");
  text(summarySheet_, 1, 2, "値");
  formatHeadingRow(summarySheet_);
}

void OutputMgr::createFileSheet() {
  fileSheet_ = addSheet("File");
  fileRow_ = Counter(1);
  for (const Heading& h : kFileHeadings) text(fileSheet_, 1, h.column, h.text);
  formatHeadingRow(fileSheet_);
}

void OutputMgr::createClassSheet() {
  classSheet_ = addSheet("Class");
  classRow_ = Counter(1);
  for (const Heading& h : kClassHeadings) text(classSheet_, 1, h.column, h.text);
  formatHeadingRow(classSheet_);
}

void OutputMgr::createMethodSheet() {
  methodSheet_ = addSheet("Method");
  methodRow_ = Counter(1);
  for (const Heading& h : kMethodHeadings) text(methodSheet_, 1, h.column, h.text);
  formatHeadingRow(methodSheet_);
}

void OutputMgr::createDiagnosisSheet() {
  diagnosisSheet_ = addSheet("診断");
  diagnosisRow_ = Counter(1);
  for (const Heading& h : kDiagnosisHeadings) text(diagnosisSheet_, 1, h.column, h.text);
  formatHeadingRow(diagnosisSheet_);
}

void OutputMgr::createErrorSheet() {
  errorSheet_ = addSheet("エラー");
  errorRow_ = Counter(1);
  for (const Heading& h : kErrorHeadings) text(errorSheet_, 1, h.column, h.text);
  formatHeadingRow(errorSheet_);
}

void OutputMgr::loadThresholds(const IOption& diagPara) {
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

int32_t OutputMgr::nextRow(Counter& row) {
  if (workbook_ == nullptr) throw std::logic_error("report rows before prepare");
  // A sheet ends at the format's last row.
  if (row.value() >= kWorkbookMaxRows) raiseOverflow();
  ++row;
  return row.value();
}

void OutputMgr::finishedFileAnalysis(const FileRecord& file) {
  if (file.syntaxErrorCount >= 0 && !syntaxColumn_ && fileRow_.value() == 1) {
    // The analysis that counts syntax errors does so for every file of the
    // run, so the first file brings the column's heading; it goes first
    // because the heading row is finished once a data row is begun.
    text(fileSheet_, 1, kSyntaxErrorColumn, kSyntaxErrorHeading);
    syntaxColumn_ = true;
  }
  int32_t row = nextRow(fileRow_);
  text(fileSheet_, row, 1, file.fileName);
  text(fileSheet_, row, 2, file.packageName);
  number(fileSheet_, row, 3, file.allLoc);
  number(fileSheet_, row, 4, file.loc);
  number(fileSheet_, row, 5, file.commentLoc);
  number(fileSheet_, row, 6, file.blankLoc);
  number(fileSheet_, row, 7, file.classCount);
  number(fileSheet_, row, 8, file.importCount);
  if (file.syntaxErrorCount >= 0) number(fileSheet_, row, kSyntaxErrorColumn, file.syntaxErrorCount);

  if (diagnosisOn_) diagnoseFile(file);

  // The totals change together or not at all.
  int32_t allLoc = checkedAdd(allLocTotal_, file.allLoc);
  int32_t loc = checkedAdd(locTotal_, file.loc);
  int32_t commentLoc = checkedAdd(commentLocTotal_, file.commentLoc);
  ++fileTotal_;
  allLocTotal_ = Counter(allLoc);
  locTotal_ = Counter(loc);
  commentLocTotal_ = Counter(commentLoc);

  registerPackage(file.packageName);
}

void OutputMgr::registerPackage(std::string_view packageName) {
  packageKey_.assign(packageName);
  lowerAsciiInPlace(packageKey_);
  if (packageRegistry_.find(packageKey_) == packageRegistry_.end()) {
    packageRegistry_.insert(packageKey_);
  }
}

void OutputMgr::finishedClassAnalysis(const ClassRecord& cls) {
  int32_t row = nextRow(classRow_);
  text(classSheet_, row, 1, cls.packageName);
  text(classSheet_, row, 2, cls.className);
  std::string_view kind = cls.innerClass          ? std::string_view("inner")
                          : !cls.kindText.empty() ? std::string_view(cls.kindText)
                          : cls.classType         ? std::string_view("class")
                                                  : std::string_view("interface");
  text(classSheet_, row, 3, kind);
  number(classSheet_, row, 17, cls.extendsCount);
  text(classSheet_, row, 4, cls.access);
  number(classSheet_, row, 18, cls.implementsCount);
  number(classSheet_, row, 5, cls.statementCount);
  number(classSheet_, row, 6, cls.publicInstanceMethodCount);
  number(classSheet_, row, 7, cls.instanceMethodCount);
  number(classSheet_, row, 8, cls.publicClassMethodCount);
  number(classSheet_, row, 9, cls.classMethodCount);
  number(classSheet_, row, 11, cls.instanceVariableCount);
  number(classSheet_, row, 13, cls.classVariableCount);
  number(classSheet_, row, 10, cls.publicInstanceVariableCount);
  number(classSheet_, row, 12, cls.publicClassVariableCount);
  number(classSheet_, row, 14, cls.constantCount);
  number(classSheet_, row, 15, cls.innerClassCount);
  number(classSheet_, row, 16, cls.staticBlockCount);

  if (diagnosisOn_) diagnoseClass(cls);

  int32_t statements = checkedAdd(statementTotal_, cls.statementCount);
  bool isPublic = cls.access == "public";
  if (isPublic) {
    // Checked before anything changes, so a failure leaves all totals as they were.
    checkedAdd(cls.classType ? publicClassTotal_ : publicInterfaceTotal_, 1);
  }
  ++classTotal_;
  statementTotal_ = Counter(statements);
  if (isPublic) ++(cls.classType ? publicClassTotal_ : publicInterfaceTotal_);
}

void OutputMgr::finishedMethodAnalysis(const MethodRecord& method) {
  int32_t row = nextRow(methodRow_);
  text(methodSheet_, row, 1, method.packageName);
  text(methodSheet_, row, 2, method.className);
  text(methodSheet_, row, 3, method.methodName);
  if (method.abstractMethod) text(methodSheet_, row, 4, "yes");
  if (method.constructorMethod) {
    text(methodSheet_, row, 5, "ｺﾝｽﾄﾗｸﾀ");
  } else if (method.staticMethod) {
    text(methodSheet_, row, 5, "static");
  }
  text(methodSheet_, row, 6, method.access);
  text(methodSheet_, row, 7, method.returnsValue ? "あり" : "なし");
  if (method.finalMethod) text(methodSheet_, row, 23, "yes");
  if (method.nativeMethod) text(methodSheet_, row, 24, "yes");
  number(methodSheet_, row, 8, method.argumentCount);
  number(methodSheet_, row, 9, method.statementCount);
  number(methodSheet_, row, 10, method.messagePassingCount);
  number(methodSheet_, row, 11, method.instanciationCount);
  number(methodSheet_, row, 12, method.localVariables);
  number(methodSheet_, row, 13, method.localConstants);
  number(methodSheet_, row, 14, method.ifStatementCount);
  number(methodSheet_, row, 15, method.forStatementCount);
  number(methodSheet_, row, 16, method.whileStatementCount);
  number(methodSheet_, row, 17, method.doStatementCount);
  number(methodSheet_, row, 18, method.switchStatementCount);
  number(methodSheet_, row, 19, method.tryStatementCount);
  number(methodSheet_, row, 20, method.returnStatementCount);
  number(methodSheet_, row, 21, method.throwStatementCount);
  number(methodSheet_, row, 22, method.anonymousClassCount);

  if (diagnosisOn_) diagnoseMethod(method);

  bool isPublic = method.access == "public";
  if (isPublic) checkedAdd(publicMethodTotal_, 1);
  ++methodTotal_;
  if (isPublic) ++publicMethodTotal_;
}

void OutputMgr::skippedFileAnalysis(const SkippedFileRecord& file) {
  if (errorSheet_ < 0) throw std::logic_error("a skipped file without the sheet of errors");
  int32_t row = nextRow(errorRow_);
  text(errorSheet_, row, 1, file.dirName);
  text(errorSheet_, row, 2, file.fileName);
  number(errorSheet_, row, 3, file.number);
  text(errorSheet_, row, 4, file.description);
  number(errorSheet_, row, 5, file.wordCount);
}

void OutputMgr::writeFinding(std::string_view packageName, std::string_view fileName,
                             const std::string* className, const std::string* methodName,
                             std::string_view level, std::string_view message, double value) {
  int32_t row = nextRow(diagnosisRow_);
  text(diagnosisSheet_, row, 1, packageName);
  text(diagnosisSheet_, row, 2, fileName);
  if (className != nullptr) text(diagnosisSheet_, row, 3, *className);
  if (methodName != nullptr) text(diagnosisSheet_, row, 4, *methodName);
  text(diagnosisSheet_, row, 5, level);
  text(diagnosisSheet_, row, 6, message);
  number(diagnosisSheet_, row, 7, value);
}

void OutputMgr::diagnoseFile(const FileRecord& file) {
  auto finding = [&](std::string_view message, double value) {
    writeFinding(file.packageName, file.fileName, nullptr, nullptr, kFileLevel, message, value);
  };
  if (file.loc >= fMaxLoc_) finding("命令行が多過ぎます", file.loc);
  if (file.classCount >= fMaxClass_) finding("クラス数が多過ぎます", file.classCount);
  if (file.allLoc > 0) {
    double rate = static_cast<double>(file.commentLoc) * 100.0 / file.allLoc;
    if (rate <= fMinCommentRate_) finding("コメントが少な過ぎます", std::floor(rate));
  }
}

void OutputMgr::diagnoseClass(const ClassRecord& cls) {
  auto finding = [&](std::string_view message, double value) {
    writeFinding(cls.packageName, cls.fileName, &cls.className, nullptr, kClassLevel, message,
                 value);
  };
  if (cls.statementCount >= cMaxStatement_) {
    finding("ステートメントが多過ぎます", cls.statementCount);
  }
  if (cls.publicInstanceMethodCount >= cMaxPubMethod_) {
    finding("公開インスタンスメソッドが多過ぎます", cls.publicInstanceMethodCount);
  }
  int32_t methods = checkedAdd(cls.instanceMethodCount, cls.classMethodCount);
  if (methods > 0) {
    double average = static_cast<double>(cls.statementCount) / methods;
    if (average >= cMaxAveStatement_) {
      finding("メソッド当りの平均ステートメントが多過ぎます", std::floor(average));
    }
  }
  int32_t publicAttributes =
      checkedAdd(cls.publicClassVariableCount, cls.publicInstanceVariableCount);
  if (publicAttributes >= cMaxPubAttr_) {
    finding(cMaxPubAttr_ <= 1 ? "公開属性があります" : "公開属性が多過ぎます", publicAttributes);
  }
}

void OutputMgr::diagnoseMethod(const MethodRecord& method) {
  auto finding = [&](std::string_view message, double value) {
    writeFinding(method.packageName, method.fileName, &method.className, &method.methodName,
                 kMethodLevel, message, value);
  };
  if (method.statementCount >= mMaxStatement_) {
    finding("ステートメントが多過ぎます", method.statementCount);
  }
  if (method.messagePassingCount >= mMaxMsgSend_) {
    finding("メッセージ送信が多過ぎます", method.messagePassingCount);
  }
  if (method.localVariables >= mMaxVariable_) {
    finding("ローカル変数が多過ぎます", method.localVariables);
  }
  int32_t branches = checkedAdd(method.ifStatementCount, method.switchStatementCount);
  if (branches >= mMaxBranch_) finding("分岐ステートメント(if/swtch)が多過ぎます", branches);
  int32_t loops = checkedAdd(checkedAdd(method.forStatementCount, method.whileStatementCount),
                             method.doStatementCount);
  if (loops >= mMaxLoop_) finding("繰返しステートメント(for/do/while)が多過ぎます", loops);
}

void OutputMgr::summaryRow(int32_t row, std::string_view label, std::optional<double> value,
                           std::string_view format) {
  text(summarySheet_, row, 1, label);
  if (value) number(summarySheet_, row, 2, *value);
  if (!format.empty()) workbook_->setNumberFormat(summarySheet_, row, 2, format);
  summary_.push_back(SummaryRow{row, std::string(label), value, std::string(format)});
}

void OutputMgr::writeSummary() {
  summary_.clear();
  int32_t packages = static_cast<int32_t>(packageRegistry_.size());
  int32_t row = 1;
  summaryRow(++row, "ファイル数", fileTotal_.value(), {});
  summaryRow(++row, "パッケージ数", packages, {});
  summaryRow(++row, "全クラス数", classTotal_.value(), {});
  summaryRow(++row, "公開クラス数", publicClassTotal_.value(), {});
  summaryRow(++row, "インタフェース数", publicInterfaceTotal_.value(), {});
  summaryRow(++row, "全メソッド数", methodTotal_.value(), {});
  summaryRow(++row, "公開メソッド数", publicMethodTotal_.value(), {});
  ++row;
  summaryRow(++row, "行数", allLocTotal_.value(), kCountFormat);
  summaryRow(++row, "命令行数", locTotal_.value(), kCountFormat);
  summaryRow(++row, "コメント行数", commentLocTotal_.value(), kCountFormat);
  summaryRow(++row, "ステートメント数", statementTotal_.value(), kCountFormat);
  ++row;
  // A division without divisor leaves its value cell empty; label and format stay.
  summaryRow(++row, "１パッケージ当たり平均クラス数", quotient(classTotal_, packages),
             kAverageFormat);
  summaryRow(++row, "１クラス当たり平均メソッド数", quotient(methodTotal_, classTotal_),
             kAverageFormat);
  summaryRow(++row, "１メソッド当たり平均ステートメント数",
             quotient(statementTotal_, methodTotal_), kAverageFormat);
  ++row;
  summaryRow(++row, "１ファイル当たり平均行数", quotient(allLocTotal_, fileTotal_),
             kAverageFormat);
  summaryRow(++row, "１ファイル当たり平均命令行数", quotient(locTotal_, fileTotal_),
             kAverageFormat);
  summaryRow(++row, "平均コメント比率", quotient(commentLocTotal_, allLocTotal_), kRatioFormat);
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
      text(diagnosisSheet_, 2, 1, "特に問題はありませんでした");
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
}

void OutputMgr::finishedWithError() {
  if (workbook_ == nullptr) return;
  summary_.clear();
  text(summarySheet_, 2, 1, kEndedEarly);
  workbook_->setPartial();
  finishSheets(false);
  std::unique_ptr<IWorkbook> workbook = std::move(workbook_);
  workbook->close();
}

}  // namespace rzt
