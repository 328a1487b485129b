#include "cli/ReportOutput.h"

#include <cstdio>
#include <filesystem>

#include "cli/NullWorkbook.h"
#include "report/CsvWorkbook.h"
#include "report/JsonWorkbook.h"
#include "report/XlsxWorkbook.h"
#include "support/AsciiCase.h"

namespace rzt {

std::optional<ReportFormat> reportFormatFor(std::string_view output) {
  if (output == kStandardOutputName) return ReportFormat::kJson;
  // A bare extension (".json") names no file, only a hidden one.
  const std::string name = std::filesystem::path(output).filename().string();
  const std::pair<std::string_view, ReportFormat> known[] = {
      {".xlsx", ReportFormat::kXlsx}, {".json", ReportFormat::kJson}, {".csv", ReportFormat::kCsv},
      {".sarif", ReportFormat::kSarif}};
  for (const auto& [extension, format] : known) {
    if (name.size() > extension.size() && endsWithFoldedAscii(name, extension)) return format;
  }
  return std::nullopt;
}

int32_t maxRowsFor(ReportFormat format) {
  return format == ReportFormat::kXlsx ? kWorkbookMaxRows : kTextReportMaxRows;
}

std::unique_ptr<IWorkbook> makeReportWorkbook(ReportFormat format, const std::string& output) {
  switch (format) {
    case ReportFormat::kJson:
      if (output == kStandardOutputName) return std::make_unique<JsonWorkbook>(stdout);
      return std::make_unique<JsonWorkbook>(output);
    case ReportFormat::kCsv:
      return std::make_unique<CsvWorkbook>(output);
    case ReportFormat::kSarif:
      return std::make_unique<NullWorkbook>(kTextReportMaxRows);
    case ReportFormat::kXlsx:
      break;
  }
  return std::make_unique<XlsxWorkbook>(output);
}

std::string reportLocation(ReportFormat format, const std::string& output) {
  if (output == kStandardOutputName) return "standard output";
  if (format == ReportFormat::kCsv) return CsvWorkbook::sheetPath(output, "*").string();
  return output;
}

}  // namespace rzt
