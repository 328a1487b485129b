#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rzt::test {

// One cell of a sheet read back from an .xlsx file.
struct XlsxCell {
  enum class Type { kEmpty, kText, kNumber };
  Type type = Type::kEmpty;
  std::string text;
  double number = 0;
  std::string numberFormat;  // the format code; "General" for none
  bool centred = false;
};

// One sheet as far as the tests look at it.
struct XlsxSheet {
  std::string name;
  std::map<std::pair<int32_t, int32_t>, XlsxCell> cells;  // (row, column), from 1
  int32_t frozenRows = 0;   // rows above a frozen pane
  int32_t zoom = 100;
  std::map<int32_t, double> widths;  // column widths by column
  std::map<int32_t, bool> rowCentred;  // rows with a centring row format

  // The cell, or nullptr when the sheet has none there.
  const XlsxCell* cell(int32_t row, int32_t column) const;
  // The text of the cell; empty for a missing or non-text cell.
  std::string text(int32_t row, int32_t column) const;
  // The number of the cell; nullopt for a missing or non-number cell.
  std::optional<double> number(int32_t row, int32_t column) const;
  // True when the cell holds neither text nor number.
  bool isEmpty(int32_t row, int32_t column) const;
  // The highest row that holds a cell.
  int32_t lastRow() const;
};

struct XlsxBook {
  std::vector<XlsxSheet> sheets;  // in tab order
  int32_t activeTab = 0;

  std::vector<std::string> sheetNames() const;
  // The sheet of that name; nullptr when there is none.
  const XlsxSheet* sheet(const std::string& name) const;
};

// Reads an .xlsx file: a small zip reader (stored and deflated entries) and
// a minimal parser of the parts the workbook writer produces. Throws
// std::runtime_error for a file it cannot read.
XlsxBook readXlsx(const std::filesystem::path& path);

// The entries of a zip file by name, inflated.
std::map<std::string, std::string> readZipEntries(const std::filesystem::path& path);

}  // namespace rzt::test
