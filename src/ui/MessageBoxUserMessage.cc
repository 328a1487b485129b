#include "MessageBoxUserMessage.h"

#include <QMessageBox>
#include <QString>

namespace rzt::ui {

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const std::string& text) {
  QMessageBox box(icon, QString(), QString::fromStdString(text), QMessageBox::Ok, parent);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
}

}  // namespace

void MessageBoxUserMessage::showMessage(const std::string& text) {
  showBox(parent_, QMessageBox::NoIcon, text);
}

void MessageBoxUserMessage::showCritical(const std::string& text) {
  showBox(parent_, QMessageBox::Critical, text);
}

}  // namespace rzt::ui
