#pragma once

#include <string>

#include "support/IUserMessage.h"

class QWidget;

namespace rzt::ui {

// The user messages as modal message boxes with an OK button only and an
// empty title, over the given parent window.
class MessageBoxUserMessage final : public IUserMessage {
 public:
  explicit MessageBoxUserMessage(QWidget* parent = nullptr) : parent_(parent) {}

  void showMessage(const std::string& text) override;
  void showCritical(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace rzt::ui
