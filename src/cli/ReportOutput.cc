#include "cli/ReportOutput.h"

#include <cstdio>
#include <filesystem>

#include "report/CsvWorkbook.h"
#include "report/JsonWorkbook.h"
#include "report/XlsxWorkbook.h"

namespace rzt {
namespace {

bool endsWithFolded(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const std::string_view end = text.substr(text.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    char c = end[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<ReportFormat> reportFormatFor(std::string_view output) {
  if (output == kStandardOutputName) return ReportFormat::kJson;
  // A bare extension (".json") names no file, only a hidden one.
  const std::string name = std::filesystem::path(output).filename().string();
  const std::pair<std::string_view, ReportFormat> known[] = {
      {".xlsx", ReportFormat::kXlsx}, {".json", ReportFormat::kJson}, {".csv", ReportFormat::kCsv}};
  for (const auto& [extension, format] : known) {
    if (name.size() > extension.size() && endsWithFolded(name, extension)) return format;
  }
  return std::nullopt;
}

std::unique_ptr<IWorkbook> makeReportWorkbook(ReportFormat format, const std::string& output) {
  switch (format) {
    case ReportFormat::kJson:
      if (output == kStandardOutputName) return std::make_unique<JsonWorkbook>(stdout);
      return std::make_unique<JsonWorkbook>(output);
    case ReportFormat::kCsv:
      return std::make_unique<CsvWorkbook>(output);
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
