#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "records/Records.h"
#include "report/IReportWriter.h"
#include "report/IWorkbook.h"

namespace rzt {

// The cell a column makes of a record: a text (written even when empty), a
// number, or nothing at all (the cell is not written).
struct CellValue {
  enum class Kind : uint8_t { kNone, kText, kNumber };
  Kind kind = Kind::kNone;
  std::string_view text;
  double number = 0;

  static constexpr CellValue none() { return {}; }
  static constexpr CellValue of(std::string_view text) { return {Kind::kText, text, 0}; }
  static constexpr CellValue of(double number) { return {Kind::kNumber, {}, number}; }
};

// One column of a sheet: where it is, its heading in row 1, and how its
// cell comes from the record of a row.
template <typename Record>
struct Column {
  int32_t column;
  std::string_view heading;
  CellValue (*cell)(const Record&);
};

// Writes the headings of row 1, in the order of the table.
template <typename Record>
void writeHeadings(IWorkbook& workbook, IWorkbook::Sheet sheet, std::span<const Column<Record>> columns) {
  for (const Column<Record>& c : columns) workbook.setText(sheet, 1, c.column, c.heading);
}

// Writes the row of a record, its cells in the order of the table.
template <typename Record>
void writeRecordRow(IWorkbook& workbook, IWorkbook::Sheet sheet, int32_t row, std::span<const Column<Record>> columns,
                    const Record& record) {
  for (const Column<Record>& c : columns) {
    const CellValue value = c.cell(record);
    switch (value.kind) {
      case CellValue::Kind::kText:
        workbook.setText(sheet, row, c.column, value.text);
        break;
      case CellValue::Kind::kNumber:
        workbook.setNumber(sheet, row, c.column, value.number);
        break;
      case CellValue::Kind::kNone:
        break;
    }
  }
}

// One rule of the diagnosis: a threshold of the option settings and what a
// finding of it says.
struct DiagnosisRule {
  std::string_view id;       // the option's name, e.g. "MMaxStatement"
  std::string_view level;    // "[File]", "[Class]" or "[Method]"
  std::string_view message;  // e.g. "ステートメントが多過ぎます"
  int32_t threshold = 0;
  // A value at or below the threshold is a finding (the comment ratio);
  // otherwise one at or above it.
  bool lowerBound = false;
};

// One row of the sheet "診断": a count that reached its threshold, with
// where it was found (not on the sheet).
struct Finding {
  std::string_view packageName;
  std::string_view fileName;
  const std::string* className = nullptr;   // class and method findings only
  const std::string* methodName = nullptr;  // method findings only
  std::string_view level;                   // "[File]", "[Class]" or "[Method]"
  std::string_view message;
  double value = 0;
  const DiagnosisRule* rule = nullptr;  // the rule that holds
  std::string_view filePath;            // relative to the analysed folder
  int32_t line = 0;                     // of the declaration; 1 for a file
};

// The columns of the report's sheets.
extern const std::span<const Column<FileRecord>> kFileColumns;
extern const std::span<const Column<ClassRecord>> kClassColumns;
extern const std::span<const Column<MethodRecord>> kMethodColumns;
extern const std::span<const Column<Finding>> kDiagnosisColumns;
extern const std::span<const Column<SkippedFileRecord>> kErrorColumns;

}  // namespace rzt
