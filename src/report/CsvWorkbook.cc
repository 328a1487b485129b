#include "report/CsvWorkbook.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "support/RztError.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "CsvWorkbook";

bool readsAsFormula(std::string_view text) {
  if (text.empty()) return false;
  switch (text.front()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': return true;
    default: return false;
  }
}

}  // namespace

void appendCsvTextField(std::string& out, std::string_view text) {
  const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quoted) out += '"';
  if (readsAsFormula(text)) out += '\'';
  for (const char ch : text) {
    if (ch == '"') out += '"';
    out += ch;
  }
  if (quoted) out += '"';
}

fs::path CsvWorkbook::sheetPath(const fs::path& path, std::string_view sheetName) {
  std::string name = path.stem().string() + "-";
  for (const char ch : sheetName) name += (ch == '/' || ch == '\0') ? '_' : ch;
  name += path.extension().string();
  return path.parent_path() / name;
}

CsvWorkbook::CsvWorkbook(fs::path path) : SpooledWorkbook(kSource, path.string()), path_(std::move(path)) {
  fs::path folder = path_.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    throw RztError(kErrPathNotFound, kSource, "パスが見つかりません: " + path_.string());
  }
  if (path_.filename().empty()) failWrite({});
}

std::string CsvWorkbook::spoolPattern(std::string_view sheetName) {
  const fs::path file = sheetPath(path_, sheetName);
  return (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
}

void CsvWorkbook::writeRow(SheetSpool& sheet, int32_t, std::span<const Cell> cells) {
  line_.clear();
  int32_t width = static_cast<int32_t>(sheet.headings.size());
  if (!cells.empty() && cells.back().column > width) width = cells.back().column;
  size_t next = 0;
  for (int32_t column = 1; column <= width; ++column) {
    if (column > 1) line_ += ',';
    if (next == cells.size() || cells[next].column != column) continue;
    const Cell& c = cells[next++];
    if (c.isNumber) {
      appendNumber(line_, c.number);  // an infinity or NaN is left empty
    } else {
      appendCsvTextField(line_, c.text);
    }
  }
  line_ += "\r\n";
  appendSpool(sheet, line_);
}

void CsvWorkbook::finish(const std::vector<SheetSpool*>& tabOrder) {
  // Every file is complete before the first one replaces anything.
  for (SheetSpool* sheet : tabOrder) {
    const int result = std::fclose(sheet->spool);
    sheet->spool = nullptr;
    if (result != 0) failWrite(std::strerror(errno));
  }
  for (SheetSpool* sheet : tabOrder) {
    std::error_code ec;
    const fs::path file = sheetPath(path_, sheet->name);
    if (fs::is_directory(file, ec)) failWrite("a folder is in the way: " + file.string());
  }
  for (SheetSpool* sheet : tabOrder) {
    const fs::path file = sheetPath(path_, sheet->name);
    if (!moveIntoPlace(sheet->spoolPath, file)) failWrite(file.string() + ": " + std::strerror(errno));
    sheet->spoolPath.clear();
  }
}

}  // namespace rzt
