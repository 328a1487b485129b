#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rzt {

// Where the lines of one file's text begin, as editors and code-scanning
// services count them: a line feed, a carriage return and line feed, and a
// lone carriage return each end a line. Used for the locations of
// declarations only; the line counts of the File sheet keep their own rule.
// The line feeds are added by the pass that walks the text anyway (the line
// pass, or a syntax tree's rows); the lone carriage returns, rare in any
// source, are found by reset. Storage is reused from file to file.
class SourceLines final {
 public:
  // Begins a text: forgets the line feeds added for the last one and finds
  // the lone carriage returns of this one.
  void reset(std::string_view text);
  // A line feed at offset; offsets come in ascending order.
  void addLineFeed(size_t offset) { lineFeeds_.push_back(static_cast<uint32_t>(offset)); }

  // The line, counting from 1, of the character at offset, from the line
  // feeds added.
  int32_t lineOf(size_t offset) const;
  // The same when the line feeds before offset are known already (the row
  // of a syntax tree's point): only the lone carriage returns are added.
  int32_t lineOf(size_t offset, uint32_t lineFeedsBefore) const;

 private:
  static size_t countBefore(const std::vector<uint32_t>& offsets, size_t offset);

  std::vector<uint32_t> lineFeeds_;
  std::vector<uint32_t> loneReturns_;
};

}  // namespace rzt
