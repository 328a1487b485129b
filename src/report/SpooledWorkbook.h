#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/BufferedWorkbook.h"

namespace rzt {

// The common part of the workbooks written as plain text (JSON, CSV): each
// finished row is handed to the format at once, into a spool file per
// sheet, so memory stays small however many rows arrive and however they
// interleave across sheets. Display settings (number formats, frozen and
// centred heading rows, zoom, column widths, the sheet shown first) mean
// nothing in plain text. Sheets take rows up to the 32-bit row counters.
class SpooledWorkbook : public BufferedWorkbook {
 public:
  ~SpooledWorkbook() override;

 protected:
  struct SheetSpool {
    Sheet id = -1;
    std::string name;
    std::FILE* spool = nullptr;
    int32_t lastWritten = 0;  // the last row handed to the format
    int32_t rowsWritten = 0;  // rows handed to the format, gaps included
    std::vector<std::string> headings;  // texts of row 1 by column - 1
  };

  // source names the writer in its errors; destination names the report in
  // them ("-" for standard output).
  SpooledWorkbook(std::string source, std::string destination);

  // The format's hooks.
  // A new, empty spool for a sheet; raises error 75 when it cannot be made.
  virtual std::FILE* openSpool(std::string_view sheetName) = 0;
  // Writes a finished row to the sheet's spool (with appendSpool): its cells
  // with a value, in column order. Rows are handed over in ascending order,
  // the empty rows between two rows included; row 1 is handed over with the
  // headings already set.
  virtual void writeRecord(SheetSpool& sheet, int32_t row, std::span<const Cell> cells) = 0;
  // Writes the report from the spools, which are flushed and rewound.
  virtual void finish(const std::vector<SheetSpool*>& tabOrder) = 0;

  void appendSpool(SheetSpool& sheet, std::string_view bytes);
  // Raises error 75 "ファイルに書き込めません: " + destination.
  [[noreturn]] void failWrite(const std::string& detail) const;
  const std::string& destination() const { return destination_; }

  // Appends a number in the shortest form that reads back as the same
  // double; false (nothing appended) for infinities and NaN.
  static bool appendNumber(std::string& out, double value);
  // Copies a flushed and rewound spool to out.
  static bool copySpool(std::FILE* spool, std::FILE* out);
  // Sets a stream's buffer to the size the spools use.
  static void useLargeBuffer(std::FILE* stream);

 private:
  void sheetAdded(Sheet sheet, std::string_view name) override;
  void writeRow(Sheet sheet, int32_t row, std::span<Cell> cells) override;
  void writeBook() override;
  void discardBook() override;

  std::string source_;
  std::string destination_;
  std::vector<SheetSpool> spools_;  // by Sheet
};

}  // namespace rzt
