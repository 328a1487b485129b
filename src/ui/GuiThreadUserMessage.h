#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/IUserMessage.h"

class QObject;

namespace rzt::ui {

// The user messages of an analysis that runs on a thread of its own: each
// box is shown on the window's thread, and the analysis waits until the
// user has answered it, as it would on the window's thread. While boxes are
// held back (an analysis that keeps going past failing files) they are kept
// instead of shown, for one summary at the end.
class GuiThreadUserMessage final : public IUserMessage {
 public:
  // A message held back, in the order it came.
  struct Held {
    bool critical;
    std::string text;
  };

  // Boxes go to target on context's thread.
  GuiThreadUserMessage(QObject& context, IUserMessage& target);

  void showMessage(const std::string& text) override;
  void showCritical(const std::string& text) override;

  // Set while no analysis runs.
  void setHoldBack(bool holdBack) { holdBack_.store(holdBack); }
  // The messages held back since the last call.
  std::vector<Held> takeHeld();
  // The window goes: a box asked for later, or waited for now, is dropped
  // and its caller goes on.
  void abandon();

 private:
  void deliver(bool critical, const std::string& text);
  void show(bool critical, const std::string& text);

  QObject& context_;
  IUserMessage& target_;
  std::atomic<bool> holdBack_{false};
  std::mutex mutex_;
  std::condition_variable answered_;
  std::vector<Held> held_;
  // Counts the boxes asked for from other threads and those answered.
  uint64_t asked_ = 0;
  uint64_t answeredCount_ = 0;
  bool abandoned_ = false;
};

}  // namespace rzt::ui
