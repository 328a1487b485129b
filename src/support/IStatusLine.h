#pragma once

#include <string>

namespace rzt {

// The one-line status text of a front end (the main window's lblMsg, or the
// terminal line of rzt-cli). Each call replaces the text.
class IStatusLine {
 public:
  virtual ~IStatusLine() = default;
  virtual void setText(const std::string& text) = 0;
};

}  // namespace rzt
