#include "ProgressRelay.h"

#include <QProgressBar>

namespace rzt::ui {

namespace {

uint64_t pack(int32_t done, int32_t total) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(total)) << 32) | static_cast<uint32_t>(done);
}

}  // namespace

ProgressRelay::ProgressRelay(QProgressBar& bar) : bar_(bar), update_(bar, [this] { show(); }) {}

void ProgressRelay::start() { setProgress(0, 0); }

void ProgressRelay::setProgress(int32_t filesDone, int32_t fileTotal) {
  state_.store(pack(filesDone, fileTotal), std::memory_order_relaxed);
  update_.request();
}

void ProgressRelay::show() {
  const uint64_t state = state_.load(std::memory_order_relaxed);
  const auto done = static_cast<int32_t>(static_cast<uint32_t>(state));
  const auto total = static_cast<int32_t>(static_cast<uint32_t>(state >> 32));
  // A range of 0..0 is the bar's "busy" look.
  bar_.setRange(0, total);
  bar_.setValue(total > 0 ? done : 0);
}

}  // namespace rzt::ui
