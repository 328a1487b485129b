#include "cli/FindingList.h"

#include "cli/TerminalText.h"
#include "support/JoinPath.h"

namespace rzt {

void FindingList::writeFinding(const Finding& f) {
  std::string line = rootIsFile_ ? root_ : joinPath(root_, std::string(f.filePath));
  line += ':';
  line += std::to_string(f.line > 0 ? f.line : 1);
  line += ": ";
  line += f.level;
  line += ' ';
  if (f.className == nullptr) {
    line += f.fileName;
  } else {
    line += *f.className;
    if (f.methodName != nullptr) {
      line += '.';
      line += *f.methodName;
    }
  }
  line += ": ";
  line += f.message;
  line += " (";
  line += findingValueText(f.value);
  line += ')';
  lines_.push_back(terminalSafe(line, false));
}

bool FindingList::print(std::FILE* out) const {
  for (const std::string& line : lines_) {
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size() || std::fputc('\n', out) == EOF) return false;
  }
  return std::fflush(out) == 0;
}

}  // namespace rzt
