#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "report/SpooledWorkbook.h"

namespace rzt {

class StagingFolder;

// A workbook written as one JSON document: an object with a member per
// sheet in tab order, each a list of the sheet's rows from row 2 on. A row is
// an object keyed by the texts of row 1 in column order; numbers are JSON
// numbers in their shortest exact form, cells without value are left out (an
// empty row is {} so that a row's place in the list is its place on the
// sheet), and an infinite or NaN number is null. A column without heading is
// keyed by its column letters ("I"); a key used by an earlier column gets
// " (" + column letters + ")" appended, so every key of a sheet is unique.
class JsonWorkbook final : public SpooledWorkbook {
 public:
  // Writes the document to path when closed: inside a private folder beside
  // it (StagingFolder), then renamed, so an existing file is replaced whole
  // or not at all. The sheets are spooled in unnamed files there. Raises
  // error 76 when the folder does not exist and error 75 when path cannot be
  // written.
  explicit JsonWorkbook(std::filesystem::path path);
  // Writes the document to out when closed (standard output, say); the
  // sheets are spooled in unnamed files in the system's temporary folder.
  explicit JsonWorkbook(std::FILE* out, std::string name = "-");
  ~JsonWorkbook() override;

 private:
  struct Keys {
    std::vector<std::string> byColumn;  // the JSON text of each key, quoted
    std::unordered_set<std::string> used;
  };

  std::FILE* openSpool(std::string_view sheetName) override;
  void usePartialNames() override;
  void writeRecord(SheetSpool& sheet, int32_t row, std::span<const Cell> cells) override;
  void finish(const std::vector<SheetSpool*>& tabOrder) override;
  const std::string& keyOf(SheetSpool& sheet, int32_t column);
  void writeDocument(const std::vector<SheetSpool*>& tabOrder, std::FILE* out);

  std::filesystem::path path_;  // empty when writing to out_
  std::unique_ptr<StagingFolder> staging_;  // with path_
  std::string stagedName_;                  // the document's name inside
  std::FILE* out_ = nullptr;
  std::vector<Keys> keys_;  // by Sheet
  std::string line_;        // the row being written, reused
};

// Appends text as a JSON string, quotes included: quote, backslash and
// control characters escaped; the text is valid UTF-8 already.
void appendJsonString(std::string& out, std::string_view text);

// The letters of a column as the spreadsheet names it: 1 "A", 27 "AA".
std::string columnLetters(int32_t column);

}  // namespace rzt
