#pragma once

#include <tree_sitter/api.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rzt {

// The text of one file as the grammar's lexer reads it: the text's own
// bytes, except where the lexer would read a byte otherwise than Java does.
// There the parser reads another byte at the same offset, so that every node
// still spans the text's own bytes and names are read from the text itself.
// The replacements are noted by the lexical pass of the line counter
// (countModernLines). Nothing is copied: the parser reads the text in chunks
// between the replaced bytes. Keeps its storage from file to file.
class ModernParseInput final {
 public:
  ModernParseInput();

  // Starts over with a new text (at most 4 GiB - 1 bytes) and no replacements.
  void reset(std::string_view text);
  // The parser reads byte instead of the text's byte at offset; offsets are
  // noted in ascending order, each once.
  void replace(size_t offset, char byte);

  // What ts_parser_parse reads; valid while this object and its text live.
  TSInput input();
  size_t replacementCount() const;
  // The text as the parser reads it (for tests and tools).
  std::string parsedText() const;

 private:
  struct Run {
    uint32_t offset;
    uint32_t length;
    char byte;
  };
  static const char* read(void* payload, uint32_t byteIndex, TSPoint position, uint32_t* bytesRead);
  const char* chunkAt(uint32_t byteIndex, uint32_t* bytesRead);

  std::string_view text_;
  std::vector<Run> runs_;
  size_t lastRun_ = 0;       // where the last read found its place
  char fill_[256];           // the replaced bytes of the current chunk
};

}  // namespace rzt
