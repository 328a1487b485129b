#pragma once

#include <cstdint>
#include <string>

#include <QDialog>
#include <QPoint>

#include "options/IOption.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace rzt::ui {

// The option dialog: the report settings, kept as the texts and choices of
// its controls and read through IOption, each getter converting its field
// anew with the shared option-number reading. Hidden, not closed, between
// uses, so what was typed stays in force until the program ends.
class frmOption final : public QDialog, public IOption {
  Q_OBJECT
 public:
  explicit frmOption(QWidget* parent = nullptr);

  // Refills every field and choice with its default.
  void setDefaults();

  bool excelIsMax() const override;
  bool diagIsOn() const override;
  int32_t getExcelZoom() const override;
  int32_t getFMaxClass() const override;
  int32_t getFMaxLoc() const override;
  int32_t getFMinCommentRate() const override;
  int32_t getCMaxStatement() const override;
  int32_t getCMaxPubMethod() const override;
  int32_t getCMaxAveStatement() const override;
  int32_t getCMaxPubAttr() const override;
  int32_t getMMaxStatement() const override;
  int32_t getMMaxMsgSend() const override;
  int32_t getMMaxVariable() const override;
  int32_t getMMaxBranch() const override;
  int32_t getMMaxLoop() const override;

  // The decoding of source files: "auto" or an iconv name.
  std::string encoding() const;
  // Whether an analysis skips a file that raises an error and goes on.
  bool keepGoing() const;
  // Whether "Java 5以降" is chosen under "構文" rather than "従来".
  bool syntaxIsModern() const;
  // The earlier report to compare the new one with: the chosen file while
  // "前回のレポートと比較" is checked, otherwise empty.
  std::string comparePath() const;
  // Puts a chosen file into the field and checks "前回のレポートと比較".
  void chooseCompareFile(const QString& path);

  // Controls, named as the dialog declares them.
  QTabWidget* SSTab1;
  QGroupBox* fraDiag;
  QRadioButton* optDiag;
  QRadioButton* optDiagOff;
  QGroupBox* fraExcel;
  QRadioButton* optExcelMax;
  QRadioButton* optExcelTaskBar;
  QGroupBox* fraExcelZoom;
  QLineEdit* txtExcelZoom;
  QGroupBox* fraFile;
  QLineEdit* txtFClass;
  QLineEdit* txtFLoc;
  QLineEdit* txtFComment;
  QGroupBox* fraClass;
  QLineEdit* txtCAllStatement;
  QLineEdit* txtCPubMethod;
  QLineEdit* txtCAveStatement;
  QLineEdit* txtCPubAttr;
  QGroupBox* fraMethod;
  QLineEdit* txtMStatement;
  QLineEdit* txtMMsgSend;
  QLineEdit* txtMVariable;
  QLineEdit* txtMBranch;
  QLineEdit* txtMLoop;
  QGroupBox* fraBuffSize;
  QLineEdit* txtSPushBackBuff;
  QComboBox* cboEncoding;
  QCheckBox* chkKeepGoing;
  QGroupBox* fraSyntax;
  QRadioButton* optSyntaxClassic;
  QRadioButton* optSyntaxModern;
  QGroupBox* fraCompare;
  QCheckBox* chkCompare;
  QLineEdit* txtCompareFile;
  QPushButton* cmdCompareBrowse;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  QPushButton* cmdDefault;

 public slots:
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdDefault_Click();
  // Asks for the earlier report with a file chooser.
  void cmdCompareBrowse_Click();

 protected:
  // Escape and the window's close button act like "ｷｬﾝｾﾙ".
  void reject() override;

 public:
  // Shown again where it was when it was last hidden.
  void setVisible(bool visible) override;

 private:
  QLineEdit* makeField(const char* name);

  QPoint lastPosition_;
  bool hasLastPosition_ = false;
};

}  // namespace rzt::ui
