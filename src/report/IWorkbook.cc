#include "report/IWorkbook.h"

namespace rzt {

std::filesystem::path partialReportPath(const std::filesystem::path& path) {
  constexpr std::string_view kSuffix = "-partial";
  // A file name has at most 255 bytes: a long name gives up the end of its
  // stem (whole characters) rather than its partial report.
  constexpr size_t kMaxName = 255;
  std::string stem = path.stem().string();
  const std::string extension = path.extension().string();
  if (stem.size() + kSuffix.size() + extension.size() > kMaxName && kSuffix.size() + extension.size() < kMaxName) {
    stem.resize(kMaxName - kSuffix.size() - extension.size());
    while (!stem.empty() && (static_cast<unsigned char>(stem.back()) & 0xC0) == 0x80) stem.pop_back();
    if (!stem.empty() && static_cast<unsigned char>(stem.back()) >= 0xC0) stem.pop_back();
  }
  return path.parent_path() / (stem + std::string(kSuffix) + extension);
}

}  // namespace rzt
