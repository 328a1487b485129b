#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "support/IStatusLine.h"

namespace rzt {

// The status line of rzt-cli: one line of a terminal, rewritten in place
// with each text and cut to the terminal's width. When the stream is not a
// terminal nothing is written at all.
class TerminalStatusLine final : public IStatusLine {
 public:
  // Redraws closer together than minInterval are skipped (the latest text is
  // kept and drawn by the next redraw, clear or finish), so a fast analysis
  // is not slowed by the terminal.
  TerminalStatusLine(std::FILE* out, bool enabled,
                     std::chrono::milliseconds minInterval = std::chrono::milliseconds(40));

  void setText(const std::string& text) override;
  // Takes the line away, so that other output starts on a clean line.
  void clear();
  // Shows the last text again after clear.
  void redraw();
  // Leaves the last text on its line and moves to the next one.
  void finish();

  bool enabled() const { return enabled_; }
  const std::string& text() const { return text_; }

 private:
  void draw();
  int32_t columns() const;

  std::FILE* out_;
  bool enabled_;
  std::chrono::milliseconds minInterval_;
  std::chrono::steady_clock::time_point lastDraw_{};
  bool shown_ = false;  // a text stands on the line
  std::string text_;
};

}  // namespace rzt
