#include "GuiThreadUserMessage.h"

#include <QMetaObject>
#include <QObject>

#include <utility>

#include "CoalescedUpdate.h"

namespace rzt::ui {

GuiThreadUserMessage::GuiThreadUserMessage(QObject& context, IUserMessage& target)
    : context_(context), target_(target) {}

void GuiThreadUserMessage::showMessage(const std::string& text) { deliver(false, text); }

void GuiThreadUserMessage::showCritical(const std::string& text) { deliver(true, text); }

std::vector<GuiThreadUserMessage::Held> GuiThreadUserMessage::takeHeld() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(held_, {});
}

void GuiThreadUserMessage::abandon() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
  }
  answered_.notify_all();
}

void GuiThreadUserMessage::show(bool critical, const std::string& text) {
  if (critical) {
    target_.showCritical(text);
  } else {
    target_.showMessage(text);
  }
}

void GuiThreadUserMessage::deliver(bool critical, const std::string& text) {
  if (holdBack_.load()) {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.push_back({critical, text});
    return;
  }
  if (onThreadOf(context_)) {
    show(critical, text);
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  if (abandoned_) return;
  const uint64_t ticket = ++asked_;
  // Boxes are asked for one at a time by the one analysis thread, so the
  // answers come in the order of the tickets.
  QMetaObject::invokeMethod(
      &context_,
      [this, critical, text] {
        show(critical, text);
        {
          std::lock_guard<std::mutex> done(mutex_);
          ++answeredCount_;
        }
        answered_.notify_all();
      },
      Qt::QueuedConnection);
  answered_.wait(lock, [&] { return abandoned_ || answeredCount_ >= ticket; });
}

}  // namespace rzt::ui
