#include "CoalescedUpdate.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

namespace rzt::ui {

bool onThreadOf(const QObject& object) { return QThread::currentThread() == object.thread(); }

CoalescedUpdate::CoalescedUpdate(QObject& context, std::function<void()> apply)
    : context_(context), apply_(std::move(apply)) {}

void CoalescedUpdate::request() {
  if (onThreadOf(context_)) {
    apply_();
    return;
  }
  if (pending_.exchange(true, std::memory_order_acq_rel)) return;
  QMetaObject::invokeMethod(&context_, [this] { run(); }, Qt::QueuedConnection);
}

void CoalescedUpdate::run() {
  // Cleared before reading the state, so a change made meanwhile asks again.
  pending_.store(false, std::memory_order_release);
  apply_();
}

}  // namespace rzt::ui
