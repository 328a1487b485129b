#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rzt {

// The sheets of a report that a comparison reads.
enum class ReportSheetKind : uint8_t { kSumm, kFile, kClass, kMethod, kDiagnosis };
inline constexpr int kReportSheetKindCount = 5;

// "Summ", "File", "Class", "Method", "診断".
std::string_view reportSheetName(ReportSheetKind kind);
// The kind of the sheet of that name; nullopt for any other sheet.
std::optional<ReportSheetKind> reportSheetKind(std::string_view sheetName);

// A report file that is broken, foreign or too large, in words for the user
// (Japanese); the reader that catches it adds the file's name.
class ReportFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a reader of a report file accepts at most. A report of RZT stays far
// below each bound; a hostile file (a zip bomb, a JSON of millions of
// columns) ends with ReportFormatError instead of exhausting the machine.
struct ReportLimits {
  int32_t maxColumns = 64;                    // columns of one sheet
  int64_t maxCells = int64_t{64} << 20;       // cell slots of all sheets (8 bytes each)
  int64_t maxTextBytes = int64_t{1} << 30;    // text bytes of all sheets
  int32_t maxCellTextBytes = 1 << 20;         // bytes of one text
  int64_t maxInflatedBytes = int64_t{4} << 30;  // bytes unpacked from an .xlsx
};

// What the tables of one report have taken of its limits so far (its
// sheets may be read on threads of their own).
struct ReportBudget {
  ReportLimits limits;
  std::atomic<int64_t> cells = 0;
  std::atomic<int64_t> textBytes = 0;
  std::atomic<int64_t> inflatedBytes = 0;
};

// One cell as the comparison sees it: a number, a text or nothing.
struct ReportCell {
  enum class Kind : uint8_t { kEmpty, kNumber, kText };
  Kind kind = Kind::kEmpty;
  double number = 0;
  std::string_view text;  // valid while its table lives and takes no more cells

  bool empty() const { return kind == Kind::kEmpty; }
  // The value as a number: a number cell, or a text that is exactly a
  // decimal number ("12", "-3.5", as a spreadsheet may keep a count typed in
  // as text); nullopt otherwise.
  std::optional<double> numeric() const;
};

// The same value: equal texts, or numbers equal to 15 significant digits
// (an .xlsx keeps 16, a JSON report every digit); a text that is a decimal
// number equals that number. Two empty cells are the same.
bool sameValue(const ReportCell& a, const ReportCell& b);

// The cells of one sheet: its columns, keyed by the texts of its heading row
// (unique within the sheet, as the JSON report keys them), and its rows below
// the heading row that hold at least one value, in sheet order. Cells take 8
// bytes each: whole numbers in place, texts and other numbers in stores of
// the table's own.
class SheetTable {
 public:
  // budget: the bounds a reader applies, shared by the tables of one report
  // so that they hold for all its sheets together; nullptr for none.
  explicit SheetTable(ReportSheetKind kind, ReportBudget* budget = nullptr);
  SheetTable(const SheetTable&) = delete;
  SheetTable& operator=(const SheetTable&) = delete;

  ReportSheetKind kind() const { return kind_; }
  // True when the heading row was read as such (.xlsx, a captured workbook);
  // false when the headings were gathered from the keys of the rows (JSON),
  // where a column whose cells are all empty is not known at all.
  bool headingRowKnown() const { return headingRowKnown_; }
  void setHeadingRowKnown(bool known) { headingRowKnown_ = known; }

  // Columns are numbered from 0 in the order they became known; columns()
  // lists them in the sheet's order, left to right.
  int32_t columnCount() const { return static_cast<int32_t>(headings_.size()); }
  const std::vector<int32_t>& columns() const { return order_; }
  const std::string& heading(int32_t column) const { return headings_[static_cast<size_t>(column)]; }
  // The column of that heading; -1 when there is none.
  int32_t findColumn(std::string_view heading) const;
  // Adds a column; it goes right of the column `after` in the sheet's order
  // (-1: leftmost; kRightmost: rightmost). Its heading must be new.
  static constexpr int32_t kRightmost = -2;
  int32_t addColumn(std::string heading, int32_t after = kRightmost);

  int32_t rowCount() const { return rows_; }
  ReportCell cell(int32_t row, int32_t column) const;

  // Building a row: begin, set its cells (each at most once; a later value
  // replaces an earlier one), end. A row without any value is dropped.
  void beginRow();
  void setNumber(int32_t column, double value);  // not finite: no value
  void setText(int32_t column, std::string_view text);  // empty: no value
  void endRow();

  // Bytes held, for the benchmark.
  size_t memoryBytes() const;

 private:
  struct Slot {
    uint8_t kind = 0;         // Kind below
    uint8_t length[3] = {};   // text bytes, little-endian
    uint32_t payload = 0;     // integer bits, index of a real, offset of a text
  };
  enum SlotKind : uint8_t { kSlotEmpty, kSlotInteger, kSlotReal, kSlotText };
  static constexpr uint32_t kChunkBytes = 1u << 20;

  Slot& slot(int32_t column);
  void widen(int32_t width);
  uint32_t storeText(std::string_view text);
  std::string_view textAt(const Slot& s) const;
  void chargeCells(int64_t cells);

  ReportSheetKind kind_;
  ReportBudget* budget_;
  bool headingRowKnown_ = false;
  std::vector<std::string> headings_;
  std::vector<int32_t> order_;
  int32_t width_ = 0;    // slots per row (columns known when the rows were laid out)
  int32_t rows_ = 0;     // finished rows
  bool open_ = false;    // a row is being built (it is the last in slots_)
  bool openHasValue_ = false;
  std::vector<Slot> slots_;
  std::vector<double> reals_;
  std::vector<std::vector<char>> chunks_;  // texts; none crosses a chunk

  std::string scratch_;                          // a text made valid, reused
};

// The sheets of one report that a comparison reads, with what the report
// says about how it was made.
class ReportModel {
 public:
  // The syntax mode of the analysis that made the report, as far as the
  // report tells: the modern mode's File sheet has the column "構文ｴﾗｰ", the
  // classic one's not; without a file row it cannot be told.
  enum class SyntaxMode : uint8_t { kUnknown, kClassic, kModern };

  // origin: the file the report was read from (for messages), or empty;
  // limits: the bounds its tables hold to, none when not given.
  explicit ReportModel(std::string origin = {}, std::optional<ReportLimits> limits = std::nullopt);

  const std::string& origin() const { return origin_; }
  // nullptr when the report has no such sheet.
  SheetTable* sheet(ReportSheetKind kind) { return sheets_[static_cast<size_t>(kind)].get(); }
  const SheetTable* sheet(ReportSheetKind kind) const { return sheets_[static_cast<size_t>(kind)].get(); }
  // Adds the sheet, or starts it afresh when it is there.
  SheetTable& addSheet(ReportSheetKind kind);

  // The report ends early: an error ended its analysis.
  bool partial() const { return partial_; }
  void setPartial(bool partial) { partial_ = partial; }

  SyntaxMode syntaxMode() const;
  size_t memoryBytes() const;
  // The bounds the tables hold to; nullptr for none.
  ReportBudget* budget() { return budget_.get(); }

 private:
  std::string origin_;
  std::unique_ptr<ReportBudget> budget_;
  std::array<std::unique_ptr<SheetTable>, kReportSheetKindCount> sheets_;
  bool partial_ = false;
};

// The texts the report writes and the comparison reads by name.
namespace heading {
inline constexpr std::string_view kMetric = "メトリクス";
inline constexpr std::string_view kValue = "値";
inline constexpr std::string_view kFileName = "ﾌｧｲﾙ名";
inline constexpr std::string_view kPackageName = "ﾊﾟｯｹｰｼﾞ名";
inline constexpr std::string_view kClassName = "ｸﾗｽ名";
inline constexpr std::string_view kMethodName = "ﾒｿｯﾄﾞ名";
inline constexpr std::string_view kArguments = "引数";
inline constexpr std::string_view kLevel = "区分";
inline constexpr std::string_view kDiagnosis = "診断";
inline constexpr std::string_view kSyntaxErrors = "構文ｴﾗｰ";
}  // namespace heading

// The line under the heading of "Summ" in a report that ends early.
inline constexpr std::string_view kReportEndedEarly =
    "解析は途中で終了しました。このレポートは途中までの結果です。";

}  // namespace rzt
