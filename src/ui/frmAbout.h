#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace rzt::ui {

// The version window: title, version, description and disclaimer; not
// modal, closed (and gone) with its OK button.
class frmAbout final : public QDialog {
  Q_OBJECT
 public:
  explicit frmAbout(QWidget* parent = nullptr);

  QLabel* picIcon;
  QLabel* lblTitle;
  QLabel* lblVersion;
  QLabel* lblDescription;
  QLabel* lblDisclaimer;
  QLabel* Label1;
  QPushButton* cmdOK;

 public slots:
  void cmdOK_Click();

 private:
  void Form_Load();
};

}  // namespace rzt::ui
