#pragma once

#include <string>

#include <QTimer>
#include <QWidget>

class QFrame;
class QLabel;

namespace rzt::ui {

// The start-up window: the program's name and version for a second, then
// the main window, whose loading closes this one.
class frmSplash final : public QWidget {
  Q_OBJECT
 public:
  // startDirectory: the folder the main window shows first; empty for the
  // home folder.
  explicit frmSplash(std::string startDirectory = {}, QWidget* parent = nullptr);

  QFrame* Frame1;
  QTimer* Timer1;
  QLabel* lblCompanyProduct;
  QLabel* lblProductName;
  QLabel* lblVersion;
  QLabel* lblWarning;
  QLabel* lblCompany;
  QLabel* Label1;

 public slots:
  void Timer1_Timer();

 private:
  void Form_Load();

  std::string startDirectory_;
};

}  // namespace rzt::ui
