#pragma once

#include <atomic>
#include <functional>

class QObject;

namespace rzt::ui {

// Runs an update of a widget on the widget's thread however often it is
// asked for from another: a request while one is on its way adds nothing,
// so a burst of requests costs one update, which then shows the latest
// state. Asked for on the widget's thread, it updates at once.
class CoalescedUpdate {
 public:
  // apply runs on context's thread; the update is dropped with context.
  CoalescedUpdate(QObject& context, std::function<void()> apply);
  CoalescedUpdate(const CoalescedUpdate&) = delete;
  CoalescedUpdate& operator=(const CoalescedUpdate&) = delete;

  // From any thread.
  void request();

 private:
  void run();

  QObject& context_;
  std::function<void()> apply_;
  std::atomic<bool> pending_{false};
};

// Whether the calling thread is the one object lives in.
bool onThreadOf(const QObject& object);

}  // namespace rzt::ui
