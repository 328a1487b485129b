#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/IWorkbook.h"

namespace rzt {

// The common part of the workbooks written as plain text (JSON, CSV): the
// rows of each sheet are kept one at a time and handed to the format as soon
// as they are finished, into a temporary spool file per sheet, so memory
// stays small however many rows arrive and however they interleave across
// sheets. As in the .xlsx writer, the rows of a sheet are written in
// ascending order. Display settings (number formats, frozen and centred
// heading rows, zoom, column widths, the sheet shown first) mean nothing in
// plain text and are only checked.
class SpooledWorkbook : public IWorkbook {
 public:
  ~SpooledWorkbook() override;
  SpooledWorkbook(const SpooledWorkbook&) = delete;
  SpooledWorkbook& operator=(const SpooledWorkbook&) = delete;

  Sheet addSheet(std::string_view name) override;
  void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) override;
  void setNumber(Sheet sheet, int32_t row, int32_t column, double value) override;
  void setNumberFormat(Sheet sheet, int32_t row, int32_t column,
                       std::string_view format) override;
  void freezeHeadingRow(Sheet sheet) override;
  void centreHeadingRow(Sheet sheet) override;
  void setZoom(Sheet sheet, int32_t percent) override;
  void fitColumns(Sheet sheet) override;
  void showFirst(Sheet sheet) override;
  void setPartial() override;
  // Finishes every row and has the format write its files; on failure no
  // temporary file is left and no existing file is touched.
  void close() override;

 protected:
  // A cell of the row being filled: a number, a text (valid cell text), or
  // no value (empty text, or only a number format).
  struct Cell {
    int32_t column = 0;
    bool isNumber = false;
    double number = 0;
    std::string text;
    bool hasValue() const { return isNumber || !text.empty(); }
  };

  struct SheetSpool {
    Sheet id = -1;
    std::string name;
    std::string spoolPath;
    std::FILE* spool = nullptr;
    int32_t row = 0;              // the row being filled; 0 before the first
    int32_t lastWritten = 0;      // the last row handed to the format
    int32_t rowsWritten = 0;      // rows handed to the format, gaps included
    std::vector<Cell> cells;      // slots of the row being filled, reused
    size_t used = 0;              // slots in use
    std::vector<std::string> headings;  // texts of row 1 by column - 1
  };

  // source names the writer in its errors; destination names the report in
  // them ("-" for standard output).
  SpooledWorkbook(std::string source, std::string destination);

  // Where the spool of a sheet is made: a mkstemp pattern ending in XXXXXX.
  virtual std::string spoolPattern(std::string_view sheetName) = 0;
  // Writes a finished row to the sheet's spool (with appendSpool): its cells
  // with a value, in column order. Rows are handed over in ascending order,
  // the empty rows between two rows included; row 1 is handed over with the
  // headings already set.
  virtual void writeRow(SheetSpool& sheet, int32_t row, std::span<const Cell> cells) = 0;
  // The report ends early: its files take their partial names.
  virtual void usePartialNames() = 0;
  // Writes the report from the spools, which are flushed and rewound; the
  // spools are removed afterwards by the caller unless the format has taken
  // them over (spoolPath cleared).
  virtual void finish(const std::vector<SheetSpool*>& tabOrder) = 0;

  void appendSpool(SheetSpool& sheet, std::string_view bytes);
  // Raises error 75 "ファイルに書き込めません: " + destination.
  [[noreturn]] void failWrite(const std::string& detail) const;
  const std::string& destination() const { return destination_; }

  // Creates an empty temporary file from a mkstemp pattern; raises error 75.
  std::string makeTemporary(std::string pattern, std::FILE** stream);
  // Gives the finished temporary file the mode of the file it replaces (or
  // the usual mode of a new file) and renames it into place.
  static bool moveIntoPlace(const std::string& temporary, const std::filesystem::path& path);
  // Appends a number in the shortest form that reads back as the same
  // double; false (nothing appended) for infinities and NaN.
  static bool appendNumber(std::string& out, double value);
  // Copies a flushed and rewound spool to out.
  static bool copySpool(std::FILE* spool, std::FILE* out);
  // Checks the folder of a destination file as the .xlsx writer does:
  // error 76 when it does not exist, error 75 when path names a directory.
  void checkDestination(const std::filesystem::path& path) const;

 private:
  SheetSpool& state(Sheet sheet);
  Cell* cellAt(Sheet sheet, int32_t row, int32_t column);
  void flushRow(SheetSpool& s);
  void discard();

  std::string source_;
  std::string destination_;
  std::vector<SheetSpool> sheets_;  // by Sheet
  std::vector<Sheet> tabOrder_;
  Sheet active_ = -1;
  bool closed_ = false;
  std::vector<Cell> rowCells_;  // the finished row in column order, reused
};

}  // namespace rzt
