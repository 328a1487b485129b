#pragma once

#include <atomic>
#include <cstdint>

#include "CoalescedUpdate.h"

class QProgressBar;

namespace rzt::ui {

// Shows the files done of the files to do on a progress bar, told from any
// thread; until the files are counted the bar shows that work goes on.
class ProgressRelay {
 public:
  explicit ProgressRelay(QProgressBar& bar);

  // A new analysis: nothing counted yet.
  void start();
  // From any thread.
  void setProgress(int32_t filesDone, int32_t fileTotal);

 private:
  void show();

  QProgressBar& bar_;
  // Both in one word, so the bar never shows a count of one run against
  // the total of another.
  std::atomic<uint64_t> state_{0};
  CoalescedUpdate update_;
};

}  // namespace rzt::ui
