#pragma once

#include <string>

namespace rzt {

// Message boxes of a front end, each with an OK button only and no title of
// its own. The analysis goes on after the user has answered.
class IUserMessage {
 public:
  virtual ~IUserMessage() = default;
  // A plain box without icon.
  virtual void showMessage(const std::string& text) = 0;
  // A box with the critical-error icon.
  virtual void showCritical(const std::string& text) = 0;
};

}  // namespace rzt
