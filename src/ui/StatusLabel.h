#pragma once

#include <string>

#include <QElapsedTimer>

#include "support/IStatusLine.h"

class QLabel;

namespace rzt::ui {

// The status line on a label. While an analysis runs (live), a new text is
// painted at once, though user input stays held back, so the progress can be
// seen while the window takes no input.
class StatusLabel final : public IStatusLine {
 public:
  explicit StatusLabel(QLabel& label) : label_(label) {}

  void setText(const std::string& text) override;
  std::string text() const;

  // Live from the start of an analysis to its end; the first text of each
  // analysis is painted at once.
  void setLive(bool live);

 private:
  QLabel& label_;
  bool live_ = false;
  QElapsedTimer sincePaint_;
};

}  // namespace rzt::ui
