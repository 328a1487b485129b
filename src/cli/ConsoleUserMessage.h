#pragma once

#include <cstdio>

#include "support/IUserMessage.h"

namespace rzt {

class TerminalStatusLine;

// The message boxes of rzt-cli: each text is printed on its own line and the
// analysis goes on at once (nobody is asked to press OK).
class ConsoleUserMessage final : public IUserMessage {
 public:
  // The status line, when it shares the stream, is taken away while a
  // message is printed and drawn again below it.
  ConsoleUserMessage(std::FILE* out, TerminalStatusLine* statusLine);

  void showMessage(const std::string& text) override;
  void showCritical(const std::string& text) override;

 private:
  void print(const std::string& text);

  std::FILE* out_;
  TerminalStatusLine* statusLine_;
};

}  // namespace rzt
