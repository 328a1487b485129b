#pragma once

#include <mutex>
#include <string>

#include "CoalescedUpdate.h"
#include "support/IStatusLine.h"

class QLabel;

namespace rzt::ui {

// The status line on a label, set from any thread: the analysis thread's
// texts reach the label on its own thread, the latest one winning, so a run
// of thousands of texts costs the window a few repaints.
class StatusLabel final : public IStatusLine {
 public:
  explicit StatusLabel(QLabel& label);

  void setText(const std::string& text) override;
  // The latest text set, shown or on its way to the label.
  std::string text() const;

 private:
  void show();

  QLabel& label_;
  mutable std::mutex mutex_;
  std::string latest_;
  CoalescedUpdate update_;
};

}  // namespace rzt::ui
