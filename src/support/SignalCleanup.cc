#include "support/SignalCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace rzt {
namespace {

constexpr int kSlots = 32;
constexpr size_t kMaxPath = 4096;

enum SlotState : int { kFree = 0, kFilling = 1, kReady = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  bool isFolder = false;
  char path[kMaxPath];
};

Slot slots[kSlots];
// Where the next registration starts looking, so that a slot just released
// is not filled again at once while a handler may still be reading it.
std::atomic<int> nextSlot{0};
std::atomic<int> deferrals{0};
std::atomic<int> pendingSignal{0};

void removeRegistered() {
  for (bool folders : {false, true}) {
    for (Slot& slot : slots) {
      if (slot.state.load(std::memory_order_acquire) != kReady || slot.isFolder != folders) continue;
      if (folders) {
        ::rmdir(slot.path);
      } else {
        ::unlink(slot.path);
      }
    }
  }
}

[[noreturn]] void endBySignal(int signal) {
  removeRegistered();
  ::_exit(128 + signal);
}

void onTerminatingSignal(int signal) {
  if (deferrals.load(std::memory_order_acquire) > 0) {
    pendingSignal.store(signal, std::memory_order_release);
    return;
  }
  endBySignal(signal);
}

}  // namespace

CleanupPath::CleanupPath(const std::string& path, bool isFolder) {
  if (path.empty() || path.size() >= kMaxPath) return;
  const int start = nextSlot.fetch_add(1, std::memory_order_relaxed);
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = slots[(start + i) % kSlots];
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.isFolder = isFolder;
    slot.state.store(kReady, std::memory_order_release);
    slot_ = (start + i) % kSlots;
    return;
  }
}

CleanupPath& CleanupPath::operator=(CleanupPath&& other) noexcept {
  if (this != &other) {
    release();
    slot_ = other.slot_;
    other.slot_ = -1;
  }
  return *this;
}

void CleanupPath::release() {
  if (slot_ < 0) return;
  slots[slot_].state.store(kFree, std::memory_order_release);
  slot_ = -1;
}

SignalDeferral::SignalDeferral() { deferrals.fetch_add(1, std::memory_order_acq_rel); }

SignalDeferral::~SignalDeferral() {
  if (deferrals.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  if (const int signal = pendingSignal.exchange(0, std::memory_order_acq_rel); signal != 0) endBySignal(signal);
}

void installSignalCleanup() {
  struct sigaction action {};
  action.sa_handler = onTerminatingSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&action.sa_mask, signal);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::sigaction(signal, &action, nullptr);
}

}  // namespace rzt
