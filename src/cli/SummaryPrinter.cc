#include "cli/SummaryPrinter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "cli/TerminalText.h"

namespace rzt {
namespace {

// Halves go away from zero, as the spreadsheet shows them (printf would
// round them to even).
double roundTo(double value, double scale) { return std::round(value * scale) / scale; }

std::string withThousands(double value) {
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.0f", std::fabs(roundTo(value, 1)));
  std::string plain(digits);
  std::string out;
  const size_t lead = plain.size() % 3 == 0 ? 3 : plain.size() % 3;
  out.append(plain, 0, lead);
  for (size_t i = lead; i < plain.size(); i += 3) out.append(",").append(plain, i, 3);
  // A value that rounds to zero shows no sign.
  return (value < 0 && out != "0") ? "-" + out : out;
}

}  // namespace

std::string formatSummaryNumber(double value, std::string_view format) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");
  char text[64];
  if (format.rfind("#,##0", 0) == 0) return withThousands(value);
  if (format.rfind("0.0", 0) == 0 && format.find('%') != std::string_view::npos) {
    std::snprintf(text, sizeof text, "%.1f%%", roundTo(value * 100, 10));
  } else if (format.rfind("0.0", 0) == 0) {
    std::snprintf(text, sizeof text, "%.1f", roundTo(value, 10));
  } else if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.10g", value);
  }
  return text;
}

std::string summaryTable(const std::vector<OutputMgr::SummaryRow>& rows) {
  struct Line {
    std::string label;
    std::string value;
  };
  std::vector<Line> lines = {{"メトリクス", "値"}};
  int32_t lastRow = 1;
  for (const OutputMgr::SummaryRow& row : rows) {
    // Rows the sheet leaves empty separate the groups here too.
    for (int32_t gap = lastRow + 1; gap < row.row; ++gap) lines.push_back({});
    lastRow = std::max(lastRow, row.row);
    lines.push_back({terminalSafe(row.label, false),
                     row.value ? formatSummaryNumber(*row.value, row.format) : "-"});
  }

  int32_t labelWidth = 0;
  int32_t valueWidth = 0;
  for (const Line& line : lines) {
    labelWidth = std::max(labelWidth, terminalWidth(line.label));
    valueWidth = std::max(valueWidth, terminalWidth(line.value));
  }
  std::string out;
  for (const Line& line : lines) {
    if (line.label.empty() && line.value.empty()) {
      out += '\n';
      continue;
    }
    out += line.label;
    out.append(static_cast<size_t>(labelWidth - terminalWidth(line.label) + 2), ' ');
    out.append(static_cast<size_t>(valueWidth - terminalWidth(line.value)), ' ');
    out += line.value;
    out += '\n';
  }
  return out;
}

}  // namespace rzt
