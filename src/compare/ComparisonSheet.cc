#include "compare/ComparisonSheet.h"

#include <charconv>
#include <limits>

#include "support/RztError.h"

namespace rzt {
namespace {

void writeCell(IWorkbook& workbook, IWorkbook::Sheet sheet, int32_t row, int32_t column, const ReportCell& cell) {
  if (cell.kind == ReportCell::Kind::kNumber) {
    workbook.setNumber(sheet, row, column, cell.number);
  } else if (cell.kind == ReportCell::Kind::kText) {
    workbook.setText(sheet, row, column, cell.text);
  }
}

std::string cellText(const ReportCell& cell) {
  if (cell.kind == ReportCell::Kind::kNumber) return numberText(cell.number);
  return std::string(cell.text);
}

}  // namespace

std::string numberText(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return "?";
  return std::string(buffer, end);
}

int32_t writeComparisonSheet(IWorkbook& workbook, IWorkbook::Sheet sheet, const Comparison& comparison) {
  for (size_t c = 0; c < kComparisonHeadings.size(); ++c) {
    workbook.setText(sheet, 1, static_cast<int32_t>(c) + 1, kComparisonHeadings[c]);
  }
  if (comparison.rows().size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) raiseOverflow();
  int32_t row = 1;
  for (const ComparisonRow& r : comparison.rows()) {
    ++row;
    const ComparisonCells cells = comparison.cells(r);
    writeCell(workbook, sheet, row, 1, cells.section);
    writeCell(workbook, sheet, row, 2, cells.packageName);
    writeCell(workbook, sheet, row, 3, cells.name);
    writeCell(workbook, sheet, row, 4, cells.methodName);
    writeCell(workbook, sheet, row, 5, cells.arguments);
    writeCell(workbook, sheet, row, 6, cells.state);
    writeCell(workbook, sheet, row, 7, cells.item);
    writeCell(workbook, sheet, row, 8, cells.before);
    writeCell(workbook, sheet, row, 9, cells.after);
    if (cells.delta) workbook.setNumber(sheet, row, 10, *cells.delta);
  }
  return row;
}

std::string comparisonSummaryLine(const ComparisonCounts& counts) {
  return "比較: 追加 " + std::to_string(counts.added) + ", 削除 " + std::to_string(counts.removed) + ", 変更 " +
         std::to_string(counts.changed) + "; 新規の指摘 " + std::to_string(counts.newFindings) + ", 解消 " +
         std::to_string(counts.resolved) + ", 悪化 " + std::to_string(counts.worsened);
}

std::vector<std::string> gateFindingLines(const Comparison& comparison) {
  std::vector<std::string> lines;
  const SheetTable* findings = comparison.current().sheet(ReportSheetKind::kDiagnosis);
  if (findings == nullptr) return lines;
  auto text = [&](int32_t row, std::string_view h) { return cellText(findings->cell(row, findings->findColumn(h))); };
  for (const ComparisonRow* r : comparison.gateFindings()) {
    const ComparisonCells cells = comparison.cells(*r);
    std::string line(compareStateText(r->state));
    line += ": ";
    line += text(r->currentRow, heading::kLevel);
    for (std::string_view h : {heading::kPackageName, heading::kFileName}) {
      const std::string part = text(r->currentRow, h);
      if (!part.empty()) line += " " + part;
    }
    std::string where = text(r->currentRow, heading::kClassName);
    const std::string method = text(r->currentRow, heading::kMethodName);
    if (!method.empty()) where += (where.empty() ? "" : ".") + method;
    if (!where.empty()) line += " " + where;
    line += ": " + cellText(cells.item);
    line += r->state == CompareState::kWorsened ? " (" + cellText(cells.before) + " → " + cellText(cells.after) + ")"
                                                : " (" + cellText(cells.after) + ")";
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace rzt
