#include "frmOption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

#include "options/OptionNumber.h"
#include "options/OptionValues.h"

namespace rzt::ui {

namespace {

std::string textOf(const QLineEdit* field) { return field->text().toStdString(); }

// The encodings offered, as shown and as handed to the readers.
struct EncodingChoice {
  const char* caption;
  const char* name;
};
constexpr EncodingChoice kEncodings[] = {
    {"自動判別", "auto"},
    {"UTF-8", "UTF-8"},
    {"Shift_JIS (CP932)", "CP932"},
    {"EUC-JP", "EUC-JP"},
    {"ISO-8859-1 (Latin-1)", "ISO-8859-1"},
};

QGroupBox* makeFrame(const char* name, const QString& caption) {
  auto* frame = new QGroupBox(caption);
  frame->setObjectName(QString::fromLatin1(name));
  return frame;
}

QRadioButton* makeOption(const char* name, const QString& caption) {
  auto* button = new QRadioButton(caption);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

// Two option buttons side by side.
void layOutPair(QGroupBox* frame, QRadioButton* left, QRadioButton* right) {
  auto* row = new QHBoxLayout(frame);
  row->addWidget(left);
  row->addWidget(right);
  row->addStretch(1);
}

// Labelled fields one below the other, each label to the left of its field.
void layOutFields(QGroupBox* frame, std::initializer_list<std::pair<const char*, QLineEdit*>> rows,
                  std::initializer_list<const char*> labelNames) {
  auto* grid = new QGridLayout(frame);
  int row = 0;
  auto labelName = labelNames.begin();
  for (const auto& [caption, field] : rows) {
    auto* label = new QLabel(QString::fromUtf8(caption));
    label->setObjectName(QString::fromLatin1(*labelName++));
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    ++row;
  }
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(row, 1);
}

QWidget* makeTab(std::initializer_list<QWidget*> frames) {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  for (QWidget* frame : frames) column->addWidget(frame);
  column->addStretch(1);
  return page;
}

}  // namespace

frmOption::frmOption(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmOption"));
  setWindowTitle(QStringLiteral("オプション"));
  setModal(true);

  // "全般"
  fraDiag = makeFrame("fraDiag", QStringLiteral("診断"));
  optDiag = makeOption("optDiag", QStringLiteral("する"));
  optDiagOff = makeOption("optDiagOff", QStringLiteral("しない"));
  layOutPair(fraDiag, optDiag, optDiagOff);

  fraExcel = makeFrame("fraExcel", QStringLiteral("Excel表示"));
  optExcelMax = makeOption("optExcelMax", QStringLiteral("最大"));
  optExcelTaskBar = makeOption("optExcelTaskBar", QStringLiteral("ﾀｽｸﾊﾞｰ"));
  layOutPair(fraExcel, optExcelMax, optExcelTaskBar);
  // The workbook is a file here, not a window of a running application.
  optExcelMax->setToolTip(QStringLiteral("解析の後、書き出したレポート(.xlsx)をデスクトップで .xlsx に割り当てられた"
                                         "アプリケーションで開きます。開けないときはメイン画面にそう表示します。"));
  optExcelTaskBar->setToolTip(QStringLiteral("レポート(.xlsx)を書き出すだけで開きません。"
                                             "書き出したファイルの場所はメイン画面に表示されます。"));

  fraExcelZoom = makeFrame("fraExcelZoom", QStringLiteral("Excelｼｰﾄの表示倍率(%)"));
  txtExcelZoom = makeField("txtExcelZoom");
  auto* zoomRow = new QHBoxLayout(fraExcelZoom);
  zoomRow->addWidget(txtExcelZoom);
  zoomRow->addStretch(1);

  // "ﾌｧｲﾙ"
  fraFile = makeFrame("fraFile", QStringLiteral("ﾌｧｲﾙﾒﾄﾘｸｽしきい値"));
  txtFClass = makeField("txtFClass");
  txtFLoc = makeField("txtFLoc");
  txtFComment = makeField("txtFComment");
  layOutFields(fraFile,
               {{"ｸﾗｽ数", txtFClass}, {"命令行数", txtFLoc}, {"ｺﾒﾝﾄ比率（%以下）", txtFComment}},
               {"Label1", "Label4", "Label3"});

  // "ｸﾗｽ"
  fraClass = makeFrame("fraClass", QStringLiteral("ｸﾗｽﾒﾄﾘｸｽしきい値"));
  txtCAllStatement = makeField("txtCAllStatement");
  txtCPubMethod = makeField("txtCPubMethod");
  txtCAveStatement = makeField("txtCAveStatement");
  txtCPubAttr = makeField("txtCPubAttr");
  layOutFields(fraClass,
               {{"全ｽﾃｰﾄﾒﾝﾄ数", txtCAllStatement},
                {"公開ｲﾝｽﾀﾝｽﾒｿｯﾄﾞ数", txtCPubMethod},
                {"ﾒｿｯﾄﾞ当り平均ｽﾃｰﾄﾒﾝﾄ数", txtCAveStatement},
                {"公開属性数", txtCPubAttr}},
               {"Label5", "Label11", "Label10", "Label6"});

  // "ﾒｿｯﾄﾞ"
  fraMethod = makeFrame("fraMethod", QStringLiteral("ﾒｿｯﾄﾞﾒﾄﾘｸｽしきい値"));
  txtMStatement = makeField("txtMStatement");
  txtMMsgSend = makeField("txtMMsgSend");
  txtMVariable = makeField("txtMVariable");
  txtMBranch = makeField("txtMBranch");
  txtMLoop = makeField("txtMLoop");
  layOutFields(fraMethod,
               {{"ｽﾃｰﾄﾒﾝﾄ数", txtMStatement},
                {"ﾒｯｾｰｼﾞ送信数", txtMMsgSend},
                {"ﾛｰｶﾙ変数", txtMVariable},
                {"分岐 (if/switch)", txtMBranch},
                {"繰返し(for/do/while)", txtMLoop}},
               {"Label13", "Label7", "Label12", "Label27", "Label26"});

  // "特殊"
  fraBuffSize = makeFrame("fraBuffSize", QStringLiteral("環境設定"));
  txtSPushBackBuff = makeField("txtSPushBackBuff");
  cboEncoding = new QComboBox;
  cboEncoding->setObjectName(QStringLiteral("cboEncoding"));
  for (const EncodingChoice& choice : kEncodings) {
    cboEncoding->addItem(QString::fromUtf8(choice.caption), QString::fromLatin1(choice.name));
  }
  chkKeepGoing = new QCheckBox(QStringLiteral("エラーのファイルを飛ばして続行"));
  chkKeepGoing->setObjectName(QStringLiteral("chkKeepGoing"));
  {
    auto* grid = new QGridLayout(fraBuffSize);
    auto* label2 = new QLabel(QStringLiteral("PushBackReaderﾊﾞｯﾌｧ数"));
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setBuddy(txtSPushBackBuff);
    auto* lblEncoding = new QLabel(QStringLiteral("ｿｰｽの文字ｺｰﾄﾞ"));
    lblEncoding->setObjectName(QStringLiteral("lblEncoding"));
    lblEncoding->setBuddy(cboEncoding);
    grid->addWidget(label2, 0, 0);
    grid->addWidget(txtSPushBackBuff, 0, 1);
    grid->addWidget(lblEncoding, 1, 0);
    grid->addWidget(cboEncoding, 1, 1);
    grid->addWidget(chkKeepGoing, 2, 0, 1, 2);
    grid->setColumnStretch(2, 1);
  }
  fraSyntax = makeFrame("fraSyntax", QStringLiteral("構文"));
  optSyntaxClassic = makeOption("optSyntaxClassic", QStringLiteral("従来"));
  optSyntaxModern = makeOption("optSyntaxModern", QStringLiteral("Java 5以降"));
  layOutPair(fraSyntax, optSyntaxClassic, optSyntaxModern);

  fraCompare = makeFrame("fraCompare", QStringLiteral("比較"));
  chkCompare = new QCheckBox(QStringLiteral("前回のレポートと比較"));
  chkCompare->setObjectName(QStringLiteral("chkCompare"));
  chkCompare->setToolTip(QStringLiteral("前回のレポート (.xlsx または .json) との違いをシート「比較」に書きます"));
  txtCompareFile = new QLineEdit;
  txtCompareFile->setObjectName(QStringLiteral("txtCompareFile"));
  txtCompareFile->setPlaceholderText(QStringLiteral("前回のレポート (.xlsx / .json)"));
  cmdCompareBrowse = new QPushButton(QStringLiteral("参照..."));
  cmdCompareBrowse->setObjectName(QStringLiteral("cmdCompareBrowse"));
  cmdCompareBrowse->setAutoDefault(false);
  {
    auto* grid = new QGridLayout(fraCompare);
    grid->addWidget(chkCompare, 0, 0, 1, 2);
    grid->addWidget(txtCompareFile, 1, 0);
    grid->addWidget(cmdCompareBrowse, 1, 1);
    grid->setColumnStretch(0, 1);
  }
  // The file is asked for only while the comparison is on.
  connect(chkCompare, &QCheckBox::toggled, txtCompareFile, &QWidget::setEnabled);
  connect(cmdCompareBrowse, &QPushButton::clicked, this, &frmOption::cmdCompareBrowse_Click);

  SSTab1 = new QTabWidget;
  SSTab1->setObjectName(QStringLiteral("SSTab1"));
  SSTab1->addTab(makeTab({fraDiag, fraExcel, fraExcelZoom}), QStringLiteral("全般"));
  SSTab1->addTab(makeTab({fraFile}), QStringLiteral("ﾌｧｲﾙ"));
  SSTab1->addTab(makeTab({fraClass}), QStringLiteral("ｸﾗｽ"));
  SSTab1->addTab(makeTab({fraMethod}), QStringLiteral("ﾒｿｯﾄﾞ"));
  SSTab1->addTab(makeTab({fraBuffSize, fraSyntax, fraCompare}), QStringLiteral("特殊"));

  cmdOK = new QPushButton(QStringLiteral("OK"));
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setAutoDefault(false);
  cmdDefault = new QPushButton(QStringLiteral("ﾃﾞﾌｫﾙﾄに戻す"));
  cmdDefault->setObjectName(QStringLiteral("cmdDefault"));
  cmdDefault->setAutoDefault(false);
  connect(cmdOK, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);
  connect(cmdDefault, &QPushButton::clicked, this, &frmOption::cmdDefault_Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdDefault);

  auto* body = new QVBoxLayout(this);
  body->addWidget(SSTab1);
  body->addLayout(buttons);

  // Form_Load
  setDefaults();
}

QLineEdit* frmOption::makeField(const char* name) {
  auto* field = new QLineEdit;
  field->setObjectName(QString::fromLatin1(name));
  field->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
  return field;
}

void frmOption::setDefaults() {
  // The default texts live in one place, the option values of both front ends.
  const OptionValues defaults;
  optDiag->setChecked(defaults.optDiag);
  optDiagOff->setChecked(!defaults.optDiag);
  optExcelMax->setChecked(defaults.optExcelMax);
  optExcelTaskBar->setChecked(!defaults.optExcelMax);
  const std::pair<QLineEdit*, const std::string*> fields[] = {
      {txtExcelZoom, &defaults.txtExcelZoom},
      {txtFClass, &defaults.txtFClass},
      {txtFLoc, &defaults.txtFLoc},
      {txtFComment, &defaults.txtFComment},
      {txtCAllStatement, &defaults.txtCAllStatement},
      {txtCPubMethod, &defaults.txtCPubMethod},
      {txtCAveStatement, &defaults.txtCAveStatement},
      {txtCPubAttr, &defaults.txtCPubAttr},
      {txtMStatement, &defaults.txtMStatement},
      {txtMMsgSend, &defaults.txtMMsgSend},
      {txtMVariable, &defaults.txtMVariable},
      {txtMBranch, &defaults.txtMBranch},
      {txtMLoop, &defaults.txtMLoop},
      {txtSPushBackBuff, &defaults.txtSPushBackBuff},
  };
  for (const auto& [field, text] : fields) field->setText(QString::fromStdString(*text));
  cboEncoding->setCurrentIndex(cboEncoding->findData(QString::fromStdString(defaults.encoding)));
  chkKeepGoing->setChecked(false);
  optSyntaxClassic->setChecked(true);
  chkCompare->setChecked(false);
  txtCompareFile->clear();
  txtCompareFile->setEnabled(false);
}

bool frmOption::excelIsMax() const { return optExcelMax->isChecked(); }
bool frmOption::diagIsOn() const { return optDiag->isChecked(); }
int32_t frmOption::getExcelZoom() const { return readZoomOption(textOf(txtExcelZoom)); }
int32_t frmOption::getFMaxClass() const { return readOptionNumber(textOf(txtFClass)); }
int32_t frmOption::getFMaxLoc() const { return readOptionNumber(textOf(txtFLoc)); }
int32_t frmOption::getFMinCommentRate() const { return readOptionNumber(textOf(txtFComment)); }
int32_t frmOption::getCMaxStatement() const { return readOptionNumber(textOf(txtCAllStatement)); }
int32_t frmOption::getCMaxPubMethod() const { return readOptionNumber(textOf(txtCPubMethod)); }
int32_t frmOption::getCMaxAveStatement() const { return readOptionNumber(textOf(txtCAveStatement)); }
int32_t frmOption::getCMaxPubAttr() const { return readOptionNumber(textOf(txtCPubAttr)); }
int32_t frmOption::getMMaxStatement() const { return readOptionNumber(textOf(txtMStatement)); }
int32_t frmOption::getMMaxMsgSend() const { return readOptionNumber(textOf(txtMMsgSend)); }
int32_t frmOption::getMMaxVariable() const { return readOptionNumber(textOf(txtMVariable)); }
int32_t frmOption::getMMaxBranch() const { return readOptionNumber(textOf(txtMBranch)); }
int32_t frmOption::getMMaxLoop() const { return readOptionNumber(textOf(txtMLoop)); }

std::string frmOption::encoding() const { return cboEncoding->currentData().toString().toStdString(); }
bool frmOption::keepGoing() const { return chkKeepGoing->isChecked(); }
bool frmOption::syntaxIsModern() const { return optSyntaxModern->isChecked(); }

std::string frmOption::comparePath() const {
  if (!chkCompare->isChecked()) return {};
  return txtCompareFile->text().trimmed().toStdString();
}

void frmOption::chooseCompareFile(const QString& path) {
  if (path.isEmpty()) return;
  txtCompareFile->setText(path);
  chkCompare->setChecked(true);
}

void frmOption::cmdCompareBrowse_Click() {
  QString start = txtCompareFile->text().trimmed();
  if (!start.isEmpty()) start = QFileInfo(start).absolutePath();
  chooseCompareFile(QFileDialog::getOpenFileName(this, QStringLiteral("前回のレポート"), start,
                                                 QStringLiteral("RZT のレポート (*.xlsx *.json);;すべてのファイル (*)")));
}

void frmOption::cmdOK_Click() { hide(); }

// What was typed stays: the dialog keeps no copy to go back to.
void frmOption::cmdCancel_Click() { hide(); }

void frmOption::cmdDefault_Click() { setDefaults(); }

void frmOption::reject() { cmdCancel_Click(); }

void frmOption::setVisible(bool visible) {
  if (visible && !isVisible() && hasLastPosition_) {
    // A dialog moved before it is shown keeps its place instead of being
    // centred over its parent.
    move(lastPosition_);
  } else if (!visible && isVisible()) {
    lastPosition_ = pos();
    hasLastPosition_ = true;
  }
  QDialog::setVisible(visible);
}

}  // namespace rzt::ui
