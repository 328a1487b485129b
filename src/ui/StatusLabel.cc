#include "StatusLabel.h"

#include <QLabel>

namespace rzt::ui {

StatusLabel::StatusLabel(QLabel& label) : label_(label), update_(label, [this] { show(); }) {}

void StatusLabel::setText(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = text;
  }
  update_.request();
}

std::string StatusLabel::text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return latest_;
}

void StatusLabel::show() {
  QString shown;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shown = QString::fromStdString(latest_);
  }
  label_.setText(shown);
}

}  // namespace rzt::ui
