#include "report/IWorkbook.h"

namespace rzt {

std::filesystem::path partialReportPath(const std::filesystem::path& path) {
  std::string name = path.stem().string();
  name += "-partial";
  name += path.extension().string();
  return path.parent_path() / name;
}

}  // namespace rzt
