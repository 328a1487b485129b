#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "report/IWorkbook.h"

namespace rzt {

// The formats rzt-cli writes a report in; a SARIF log holds the findings
// alone (SarifLog), no workbook.
enum class ReportFormat { kXlsx, kJson, kCsv, kSarif };

// The name that stands for standard output in -o.
inline constexpr std::string_view kStandardOutputName = "-";

// The format chosen by the extension of the report's name, without regard to
// case: ".xlsx", ".json", ".csv", ".sarif"; "-" is JSON on standard output.
// Any other name has no format.
std::optional<ReportFormat> reportFormatFor(std::string_view output);

// The last row a sheet of the format can have.
int32_t maxRowsFor(ReportFormat format);

// A new, empty workbook writing the report to output in the format (for a
// SARIF log, one that writes nothing).
std::unique_ptr<IWorkbook> makeReportWorkbook(ReportFormat format, const std::string& output);

// Where the report goes, for messages: the file, the files of the sheets
// ("out/report-*.csv") or "standard output".
std::string reportLocation(ReportFormat format, const std::string& output);

}  // namespace rzt
