#include "cli/TerminalStatusLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/TerminalText.h"

namespace rzt {

TerminalStatusLine::TerminalStatusLine(std::FILE* out, bool enabled,
                                       std::chrono::milliseconds minInterval)
    : out_(out), enabled_(enabled), minInterval_(minInterval) {}

void TerminalStatusLine::setText(const std::string& text) {
  text_ = text;
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (shown_ && now - lastDraw_ < minInterval_) return;
  lastDraw_ = now;
  draw();
}

void TerminalStatusLine::clear() {
  if (!enabled_ || !shown_) return;
  std::fputs("\r\x1b[K", out_);
  std::fflush(out_);
  shown_ = false;
}

void TerminalStatusLine::redraw() {
  if (!enabled_ || text_.empty()) return;
  draw();
}

void TerminalStatusLine::finish() {
  if (enabled_ && !text_.empty()) draw();
  if (shown_) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  shown_ = false;
  text_.clear();
}

void TerminalStatusLine::draw() {
  // One column is left free: writing the last column makes some terminals
  // wrap, and the carriage return would then rewrite the wrong line.
  const std::string safe = terminalSafe(text_, false);
  const std::string_view shown = fitToColumns(safe, columns() - 1);
  std::fputc('\r', out_);
  std::fwrite(shown.data(), 1, shown.size(), out_);
  std::fputs("\x1b[K", out_);
  std::fflush(out_);
  shown_ = true;
}

int32_t TerminalStatusLine::columns() const {
  winsize size{};
  if (::ioctl(::fileno(out_), TIOCGWINSZ, &size) == 0 && size.ws_col > 1) return size.ws_col;
  return 80;
}

}  // namespace rzt
