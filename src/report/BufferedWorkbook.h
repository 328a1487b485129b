#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/IWorkbook.h"

namespace rzt {

// What every workbook writer shares: the sheets in tab order (each added
// before the active one), the format's limits, the display settings of each
// sheet, and the row being filled on each sheet, handed to the format once it
// is finished. A format overrides the hooks below and nothing else.
//
// The rules every format keeps, so that a workbook in memory refuses what a
// written one refuses: rows and columns count from 1 up to the format's last
// row and kWorkbookMaxColumns; the rows of a sheet are written in ascending
// order; sheets are added before the first data row (row 2 or below) of any
// sheet; the heading row is centred before it is finished; nothing follows
// close.
class BufferedWorkbook : public IWorkbook {
 public:
  BufferedWorkbook(const BufferedWorkbook&) = delete;
  BufferedWorkbook& operator=(const BufferedWorkbook&) = delete;

  Sheet addSheet(std::string_view name) final;
  void setText(Sheet sheet, int32_t row, int32_t column, std::string_view text) final;
  void setNumber(Sheet sheet, int32_t row, int32_t column, double value) final;
  void setNumberFormat(Sheet sheet, int32_t row, int32_t column, std::string_view format) final;
  void freezeHeadingRow(Sheet sheet) final;
  void centreHeadingRow(Sheet sheet) final;
  void setZoom(Sheet sheet, int32_t percent) final;
  void fitColumns(Sheet sheet) final;
  void showFirst(Sheet sheet) final;
  void setPartial() final;
  // Hands every row over and has the format write the workbook; when that
  // fails the format discards what it made, and the error passes on.
  void close() final;
  int32_t maxRows() const final { return maxRows_; }
  void checkRow(Sheet sheet, int32_t row) const final;

 protected:
  enum class CellKind : uint8_t { kNone, kText, kNumber };

  // A cell of a row: a number, a text (valid cell text, never empty), or no
  // value (an empty text, or a number format only).
  struct Cell {
    int32_t column = 0;
    CellKind kind = CellKind::kNone;
    int32_t format = -1;  // index for formatName; -1 for none
    double number = 0;
    std::string text;
    bool hasValue() const { return kind != CellKind::kNone; }
  };

  struct SheetState {
    std::string name;
    bool frozen = false;
    bool centred = false;
    bool fitted = false;
    int32_t zoom = 0;  // 0: never set
    int32_t row = 0;   // the row being filled; 0 before the first
    std::vector<Cell> cells;  // slots of that row, reused
    size_t used = 0;          // slots in use
  };

  // maxRows: the format's last row. Without keepsCells the cells are only
  // checked, never kept, and writeRow is never called.
  explicit BufferedWorkbook(int32_t maxRows = kWorkbookMaxRows, bool keepsCells = true);

  // The format's hooks.
  // A sheet is being added; it is listed after this returns, so an error
  // here leaves the workbook as it was.
  virtual void sheetAdded(Sheet sheet, std::string_view name);
  // A finished row of a sheet, with its cells in the order they were first
  // set (the format may reorder them). Rows of a sheet arrive in ascending
  // order; a row without any cell set is not handed over.
  virtual void writeRow(Sheet sheet, int32_t row, std::span<Cell> cells);
  // close: every row has been handed over; writes the workbook.
  virtual void writeBook() = 0;
  // close failed: drop whatever the format made, leaving no file behind.
  virtual void discardBook();
  // The report ends early: the format's files take their partial names.
  virtual void usePartialNames();

  const SheetState& sheetState(Sheet sheet) const { return sheets_[static_cast<size_t>(sheet)]; }
  int32_t sheetCount() const { return static_cast<int32_t>(sheets_.size()); }
  const std::vector<Sheet>& tabOrder() const { return tabOrder_; }
  // The sheet shown first; -1 when none was chosen.
  Sheet shownSheet() const { return shown_; }
  bool isPartial() const { return partial_; }
  bool isClosed() const { return closed_; }
  // The text of a number format by its index (Cell::format).
  const std::string& formatName(int32_t format) const { return formatNames_[static_cast<size_t>(format)]; }
  // The width of a cell as it shows, in half-width character cells.
  int32_t displayWidth(const Cell& cell) const;

 private:
  SheetState& open(Sheet sheet);
  Cell* cellAt(Sheet sheet, int32_t row, int32_t column);
  void finishRow(Sheet sheet);
  int32_t internFormat(std::string_view format);

  int32_t maxRows_;
  bool keepsCells_;
  std::vector<SheetState> sheets_;  // by Sheet
  std::vector<Sheet> tabOrder_;
  Sheet active_ = -1;
  Sheet shown_ = -1;
  bool dataBegun_ = false;  // a sheet has begun a row below its heading row
  bool partial_ = false;
  bool closed_ = false;
  std::vector<std::string> formatNames_;
};

}  // namespace rzt
