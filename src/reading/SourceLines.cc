#include "reading/SourceLines.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace rzt {

void SourceLines::reset(std::string_view text) {
  lineFeeds_.clear();
  loneReturns_.clear();
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  for (const char* p = begin; p < end;) {
    const void* found = std::memchr(p, '\r', static_cast<size_t>(end - p));
    if (found == nullptr) break;
    const char* cr = static_cast<const char*>(found);
    if (cr + 1 == end || cr[1] != '\n') loneReturns_.push_back(static_cast<uint32_t>(cr - begin));
    p = cr + 1;
  }
}

size_t SourceLines::countBefore(const std::vector<uint32_t>& offsets, size_t offset) {
  if (offsets.empty()) return 0;
  // Texts are far below 4 GiB (FileReader::kMaxFileBytes); a larger offset
  // lies after all of them.
  if (offset > std::numeric_limits<uint32_t>::max()) return offsets.size();
  return static_cast<size_t>(
      std::lower_bound(offsets.begin(), offsets.end(), static_cast<uint32_t>(offset)) - offsets.begin());
}

int32_t SourceLines::lineOf(size_t offset) const {
  return static_cast<int32_t>(1 + countBefore(lineFeeds_, offset) + countBefore(loneReturns_, offset));
}

int32_t SourceLines::lineOf(size_t offset, uint32_t lineFeedsBefore) const {
  return static_cast<int32_t>(1 + lineFeedsBefore + countBefore(loneReturns_, offset));
}

}  // namespace rzt
