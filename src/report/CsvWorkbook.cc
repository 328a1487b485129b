#include "report/CsvWorkbook.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "report/StagingFolder.h"
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

CsvWorkbook::CsvWorkbook(fs::path path)
    : SpooledWorkbook(kSource, path.string()),
      path_(std::move(path)),
      stagedPath_(path_.filename()),
      staging_(std::make_unique<StagingFolder>(path_, kSource, false)) {}

CsvWorkbook::~CsvWorkbook() = default;

std::FILE* CsvWorkbook::openSpool(std::string_view sheetName) {
  // The spool is the sheet's file itself, inside the staging folder.
  return staging_->createFile(sheetPath(stagedPath_, sheetName).string());
}

void CsvWorkbook::writeRecord(SheetSpool& sheet, int32_t, std::span<const Cell> cells) {
  line_.clear();
  int32_t width = static_cast<int32_t>(sheet.headings.size());
  if (!cells.empty() && cells.back().column > width) width = cells.back().column;
  size_t next = 0;
  for (int32_t column = 1; column <= width; ++column) {
    if (column > 1) line_ += ',';
    if (next == cells.size() || cells[next].column != column) continue;
    const Cell& c = cells[next++];
    if (c.kind == CellKind::kNumber) {
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
  std::vector<std::pair<std::string, std::string>> files;
  for (SheetSpool* sheet : tabOrder) {
    const int result = std::fclose(sheet->spool);
    sheet->spool = nullptr;
    if (result != 0) failWrite(std::strerror(errno));
    files.emplace_back(sheetPath(stagedPath_, sheet->name).string(), sheetPath(path_, sheet->name).filename().string());
  }
  staging_->moveIntoPlace(files);
  staging_.reset();
}

}  // namespace rzt
