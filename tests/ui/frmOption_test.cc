#include "frmOption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RztError.h"

namespace rzt::ui {
namespace {

using Getter = std::function<int32_t(const frmOption&)>;

// Every numeric getter with its field and default text.
struct NumericField {
  const char* field;
  const char* defaultText;
  Getter get;
};

const std::vector<NumericField>& numericFields() {
  static const std::vector<NumericField> fields = {
      {"txtExcelZoom", "80", [](const frmOption& o) { return o.getExcelZoom(); }},
      {"txtFClass", "4", [](const frmOption& o) { return o.getFMaxClass(); }},
      {"txtFLoc", "500", [](const frmOption& o) { return o.getFMaxLoc(); }},
      {"txtFComment", "10", [](const frmOption& o) { return o.getFMinCommentRate(); }},
      {"txtCAllStatement", "300", [](const frmOption& o) { return o.getCMaxStatement(); }},
      {"txtCPubMethod", "50", [](const frmOption& o) { return o.getCMaxPubMethod(); }},
      {"txtCAveStatement", "25", [](const frmOption& o) { return o.getCMaxAveStatement(); }},
      {"txtCPubAttr", "1", [](const frmOption& o) { return o.getCMaxPubAttr(); }},
      {"txtMStatement", "50", [](const frmOption& o) { return o.getMMaxStatement(); }},
      {"txtMMsgSend", "30", [](const frmOption& o) { return o.getMMaxMsgSend(); }},
      {"txtMVariable", "20", [](const frmOption& o) { return o.getMMaxVariable(); }},
      {"txtMBranch", "15", [](const frmOption& o) { return o.getMMaxBranch(); }},
      {"txtMLoop", "10", [](const frmOption& o) { return o.getMMaxLoop(); }},
  };
  return fields;
}

QLineEdit* field(frmOption& dialog, const char* name) {
  auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
  EXPECT_NE(edit, nullptr) << name;
  return edit;
}

// Replaces a field's text the way a user does: select all, type.
void typeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Brings a tab forward and lets its layout settle.
void showTab(frmOption& dialog, int tab) {
  dialog.SSTab1->setCurrentIndex(tab);
  QCoreApplication::processEvents();
}

// All fifteen settings as one comparable value.
std::vector<int32_t> settings(const frmOption& dialog) {
  std::vector<int32_t> values{dialog.excelIsMax(), dialog.diagIsOn()};
  for (const NumericField& f : numericFields()) values.push_back(f.get(dialog));
  return values;
}

TEST(frmOptionTest, StartsWithTheDefaults) {
  frmOption dialog;
  EXPECT_TRUE(dialog.optDiag->isChecked());
  EXPECT_FALSE(dialog.optDiagOff->isChecked());
  EXPECT_TRUE(dialog.optExcelMax->isChecked());
  EXPECT_FALSE(dialog.optExcelTaskBar->isChecked());
  EXPECT_TRUE(dialog.diagIsOn());
  EXPECT_TRUE(dialog.excelIsMax());
  for (const NumericField& f : numericFields()) {
    SCOPED_TRACE(f.field);
    EXPECT_EQ(field(dialog, f.field)->text().toStdString(), f.defaultText);
    EXPECT_EQ(f.get(dialog), std::stoi(f.defaultText));
  }
  EXPECT_EQ(dialog.txtSPushBackBuff->text().toStdString(), "5000");
  EXPECT_EQ(dialog.encoding(), "auto");
  EXPECT_FALSE(dialog.keepGoing());
  EXPECT_FALSE(dialog.syntaxIsModern());
  EXPECT_EQ(dialog.windowTitle().toStdString(), "オプション");
  EXPECT_TRUE(dialog.isModal());
}

TEST(frmOptionTest, TabsFramesAndLabelsAreLaidOutAsDeclared) {
  frmOption dialog;
  const std::vector<std::string> tabs = {"全般", "ﾌｧｲﾙ", "ｸﾗｽ", "ﾒｿｯﾄﾞ", "特殊"};
  ASSERT_EQ(dialog.SSTab1->count(), static_cast<int>(tabs.size()));
  for (int i = 0; i < dialog.SSTab1->count(); ++i) {
    EXPECT_EQ(dialog.SSTab1->tabText(i).toStdString(), tabs[static_cast<size_t>(i)]);
  }

  struct FrameRow {
    const char* frame;
    int tab;
    const char* caption;
  };
  const FrameRow frames[] = {
      {"fraDiag", 0, "診断"},
      {"fraExcel", 0, "Excel表示"},
      {"fraExcelZoom", 0, "Excelｼｰﾄの表示倍率(%)"},
      {"fraFile", 1, "ﾌｧｲﾙﾒﾄﾘｸｽしきい値"},
      {"fraClass", 2, "ｸﾗｽﾒﾄﾘｸｽしきい値"},
      {"fraMethod", 3, "ﾒｿｯﾄﾞﾒﾄﾘｸｽしきい値"},
      {"fraBuffSize", 4, "環境設定"},
      {"fraSyntax", 4, "構文"},
      {"fraCompare", 4, "比較"},
  };
  int previousTab = -1;
  int previousY = -1;
  dialog.show();
  for (const FrameRow& row : frames) {
    SCOPED_TRACE(row.frame);
    auto* frame = dialog.findChild<QGroupBox*>(QString::fromLatin1(row.frame));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title().toStdString(), row.caption);
    EXPECT_TRUE(dialog.SSTab1->widget(row.tab)->isAncestorOf(frame));
    // Frames of one tab stand from top to bottom in the declared order.
    showTab(dialog, row.tab);
    if (row.tab == previousTab) {
      EXPECT_GT(frame->y(), previousY);
    }
    previousTab = row.tab;
    previousY = frame->y();
  }

  struct LabelRow {
    const char* label;
    const char* caption;
    const char* field;
    const char* frame;
  };
  const LabelRow labels[] = {
      {"Label1", "ｸﾗｽ数", "txtFClass", "fraFile"},
      {"Label4", "命令行数", "txtFLoc", "fraFile"},
      {"Label3", "ｺﾒﾝﾄ比率（%以下）", "txtFComment", "fraFile"},
      {"Label5", "全ｽﾃｰﾄﾒﾝﾄ数", "txtCAllStatement", "fraClass"},
      {"Label11", "公開ｲﾝｽﾀﾝｽﾒｿｯﾄﾞ数", "txtCPubMethod", "fraClass"},
      {"Label10", "ﾒｿｯﾄﾞ当り平均ｽﾃｰﾄﾒﾝﾄ数", "txtCAveStatement", "fraClass"},
      {"Label6", "公開属性数", "txtCPubAttr", "fraClass"},
      {"Label13", "ｽﾃｰﾄﾒﾝﾄ数", "txtMStatement", "fraMethod"},
      {"Label7", "ﾒｯｾｰｼﾞ送信数", "txtMMsgSend", "fraMethod"},
      {"Label12", "ﾛｰｶﾙ変数", "txtMVariable", "fraMethod"},
      {"Label27", "分岐 (if/switch)", "txtMBranch", "fraMethod"},
      {"Label26", "繰返し(for/do/while)", "txtMLoop", "fraMethod"},
      {"Label2", "PushBackReaderﾊﾞｯﾌｧ数", "txtSPushBackBuff", "fraBuffSize"},
  };
  QWidget* previousField = nullptr;
  for (const LabelRow& row : labels) {
    SCOPED_TRACE(row.label);
    auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(row.label));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), row.caption);
    QLineEdit* edit = field(dialog, row.field);
    EXPECT_EQ(label->buddy(), edit);
    auto* frame = dialog.findChild<QGroupBox*>(QString::fromLatin1(row.frame));
    EXPECT_TRUE(frame->isAncestorOf(edit));
    for (int tab = 0; tab < dialog.SSTab1->count(); ++tab) {
      if (dialog.SSTab1->widget(tab)->isAncestorOf(edit)) showTab(dialog, tab);
    }
    EXPECT_LT(label->x(), edit->x());
    // Fields of one frame stand one below the other in the declared order.
    if (previousField != nullptr && previousField->parentWidget() == edit->parentWidget()) {
      EXPECT_GT(edit->y(), previousField->y());
    }
    previousField = edit;
  }

  // "OK", "ｷｬﾝｾﾙ", "ﾃﾞﾌｫﾙﾄに戻す" from left to right, below the tabs.
  EXPECT_EQ(dialog.cmdOK->text().toStdString(), "OK");
  EXPECT_EQ(dialog.cmdCancel->text().toStdString(), "ｷｬﾝｾﾙ");
  EXPECT_EQ(dialog.cmdDefault->text().toStdString(), "ﾃﾞﾌｫﾙﾄに戻す");
  EXPECT_LT(dialog.cmdOK->x(), dialog.cmdCancel->x());
  EXPECT_LT(dialog.cmdCancel->x(), dialog.cmdDefault->x());
  EXPECT_GT(dialog.cmdOK->y(), dialog.SSTab1->y() + dialog.SSTab1->height() - 1);
  EXPECT_TRUE(dialog.cmdOK->isDefault());
  dialog.hide();
}

TEST(frmOptionTest, GettersReadTheFieldTextsAtEachCall) {
  struct Row {
    const char* text;
    int32_t zoom;       // what getExcelZoom gives for the text
    int32_t threshold;  // what a threshold getter gives
  };
  const Row rows[] = {
      {"24", 80, 24},    {"25", 25, 25},      {"400", 400, 400}, {"401", 80, 401},
      {"abc", 80, 0},    {"", 80, 0},         {"100%", 100, 100}, {"1 0 0", 100, 100},
      {"2.5", 80, 2},    {"3.5", 80, 4},      {"250.5", 250, 250}, {"-5", 80, -5},
      {"&H20", 32, 32},
  };
  frmOption dialog;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    dialog.txtExcelZoom->setText(QString::fromUtf8(row.text));
    dialog.txtMBranch->setText(QString::fromUtf8(row.text));
    EXPECT_EQ(dialog.getExcelZoom(), row.zoom);
    EXPECT_EQ(dialog.getMMaxBranch(), row.threshold);
  }
  dialog.txtFLoc->setText(QStringLiteral("40000"));
  try {
    dialog.getFMaxLoc();
    ADD_FAILURE() << "40000 must not fit a field";
  } catch (const RztError& error) {
    EXPECT_EQ(error.number(), kErrOverflow);
  }
}

TEST(frmOptionTest, ChoicesAnswerTheBooleanGetters) {
  frmOption dialog;
  dialog.optDiagOff->click();
  dialog.optExcelTaskBar->click();
  EXPECT_FALSE(dialog.diagIsOn());
  EXPECT_FALSE(dialog.excelIsMax());
  EXPECT_FALSE(dialog.optDiag->isChecked());
  EXPECT_FALSE(dialog.optExcelMax->isChecked());
  dialog.optSyntaxModern->click();
  EXPECT_TRUE(dialog.syntaxIsModern());
  EXPECT_FALSE(dialog.optSyntaxClassic->isChecked());
  dialog.chkKeepGoing->click();
  EXPECT_TRUE(dialog.keepGoing());
  dialog.cboEncoding->setCurrentIndex(dialog.cboEncoding->findText(QStringLiteral("EUC-JP")));
  EXPECT_EQ(dialog.encoding(), "EUC-JP");
}

TEST(frmOptionTest, EveryWayOutHidesTheDialogAndKeepsWhatWasTyped) {
  struct Way {
    const char* name;
    std::function<void(frmOption&)> leave;
  };
  const Way ways[] = {
      {"ｷｬﾝｾﾙ", [](frmOption& d) { QTest::mouseClick(d.cmdCancel, Qt::LeftButton); }},
      {"OK", [](frmOption& d) { QTest::mouseClick(d.cmdOK, Qt::LeftButton); }},
      {"Escape", [](frmOption& d) { QTest::keyClick(d.txtMStatement, Qt::Key_Escape); }},
      {"Enter", [](frmOption& d) { QTest::keyClick(d.txtMStatement, Qt::Key_Return); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    frmOption dialog;
    dialog.show();
    dialog.SSTab1->setCurrentIndex(3);
    typeInto(dialog.txtMStatement, QStringLiteral("42"));
    dialog.optExcelTaskBar->click();
    way.leave(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.txtMStatement->text().toStdString(), "42");
    EXPECT_EQ(dialog.getMMaxStatement(), 42);
    EXPECT_FALSE(dialog.excelIsMax());
    // Shown again, the dialog still holds the typed text.
    dialog.show();
    EXPECT_EQ(dialog.txtMStatement->text().toStdString(), "42");
    dialog.hide();
  }
}

TEST(frmOptionTest, DefaultButtonRefillsEveryFieldAndStaysOpen) {
  frmOption dialog;
  const std::vector<int32_t> defaults = settings(dialog);
  dialog.show();
  for (const NumericField& f : numericFields()) field(dialog, f.field)->setText(QStringLiteral("7"));
  dialog.txtSPushBackBuff->setText(QStringLiteral("12"));
  dialog.optDiagOff->click();
  dialog.optExcelTaskBar->click();
  dialog.cboEncoding->setCurrentIndex(1);
  dialog.chkKeepGoing->click();
  dialog.optSyntaxModern->click();
  dialog.chooseCompareFile(QStringLiteral("/tmp/last.json"));
  ASSERT_NE(settings(dialog), defaults);

  QTest::mouseClick(dialog.cmdDefault, Qt::LeftButton);

  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(settings(dialog), defaults);
  for (const NumericField& f : numericFields()) {
    SCOPED_TRACE(f.field);
    EXPECT_EQ(field(dialog, f.field)->text().toStdString(), f.defaultText);
  }
  EXPECT_EQ(dialog.txtSPushBackBuff->text().toStdString(), "5000");
  EXPECT_EQ(dialog.encoding(), "auto");
  EXPECT_FALSE(dialog.keepGoing());
  EXPECT_FALSE(dialog.syntaxIsModern());
  EXPECT_EQ(dialog.comparePath(), "");
  EXPECT_TRUE(dialog.txtCompareFile->text().isEmpty());
  dialog.hide();
}

// The earlier report counts only while its box is checked; the field is
// usable only then, and a chosen file checks the box.
TEST(frmOptionTest, CompareFileCountsOnlyWhileChecked) {
  frmOption dialog;
  dialog.show();
  showTab(dialog, 4);
  EXPECT_EQ(dialog.chkCompare->text().toStdString(), "前回のレポートと比較");
  EXPECT_FALSE(dialog.chkCompare->isChecked());
  EXPECT_FALSE(dialog.txtCompareFile->isEnabled());
  EXPECT_EQ(dialog.comparePath(), "");

  struct Step {
    const char* what;
    std::function<void()> act;
    bool checked;
    std::string path;
  };
  const Step steps[] = {
      {"a chosen file checks the box", [&] { dialog.chooseCompareFile(QStringLiteral("/r/前回.xlsx")); }, true,
       "/r/前回.xlsx"},
      {"unchecked, the file stays but counts not", [&] { dialog.chkCompare->click(); }, false, ""},
      {"checked again, it counts", [&] { dialog.chkCompare->click(); }, true, "/r/前回.xlsx"},
      {"typed text, blanks around it dropped",
       [&] { typeInto(dialog.txtCompareFile, QStringLiteral("  /r/old.json ")); }, true, "/r/old.json"},
      {"a cancelled chooser changes nothing", [&] { dialog.chooseCompareFile(QString()); }, true, "/r/old.json"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(dialog.chkCompare->isChecked(), step.checked);
    EXPECT_EQ(dialog.txtCompareFile->isEnabled(), step.checked);
    EXPECT_EQ(dialog.comparePath(), step.path);
  }
  dialog.hide();
}

TEST(frmOptionTest, PushBackFieldChangesNoSetting) {
  frmOption dialog;
  const std::vector<int32_t> before = settings(dialog);
  for (const char* text : {"1", "0", "abc", "99999", "-3"}) {
    SCOPED_TRACE(text);
    dialog.txtSPushBackBuff->setText(QString::fromLatin1(text));
    EXPECT_EQ(settings(dialog), before);
  }
}

}  // namespace
}  // namespace rzt::ui
