#include "cli/ConsoleUserMessage.h"

#include "cli/TerminalStatusLine.h"
#include "cli/TerminalText.h"

namespace rzt {

ConsoleUserMessage::ConsoleUserMessage(std::FILE* out, TerminalStatusLine* statusLine)
    : out_(out), statusLine_(statusLine) {}

void ConsoleUserMessage::showMessage(const std::string& text) { print(text); }

// The critical icon has no counterpart on a terminal; the texts name the
// problem themselves.
void ConsoleUserMessage::showCritical(const std::string& text) { print(text); }

void ConsoleUserMessage::print(const std::string& text) {
  if (statusLine_ != nullptr) statusLine_->clear();
  const std::string safe = terminalSafe(text);
  std::fwrite(safe.data(), 1, safe.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
  if (statusLine_ != nullptr) statusLine_->redraw();
}

}  // namespace rzt
