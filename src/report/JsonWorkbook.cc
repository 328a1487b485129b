#include "report/JsonWorkbook.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "report/StagingFolder.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "JsonWorkbook";

std::string systemTemporaryFolder() {
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec);
  return ec ? std::string("/tmp") : folder.string();
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0F];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

std::string columnLetters(int32_t column) {
  std::string letters;
  for (int32_t n = column; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters;
}

JsonWorkbook::JsonWorkbook(fs::path path)
    : SpooledWorkbook(kSource, path.string()),
      path_(std::move(path)),
      staging_(std::make_unique<StagingFolder>(path_, kSource)),
      stagedName_(path_.filename().string()) {}

JsonWorkbook::JsonWorkbook(std::FILE* out, std::string name) : SpooledWorkbook(kSource, std::move(name)), out_(out) {}

JsonWorkbook::~JsonWorkbook() = default;

std::FILE* JsonWorkbook::openSpool(std::string_view) {
  if (staging_ != nullptr) return staging_->createUnnamedFile();
  std::FILE* spool = StagingFolder::openUnnamedFile(systemTemporaryFolder());
  if (spool == nullptr) failWrite(std::strerror(errno));
  return spool;
}

void JsonWorkbook::usePartialNames() {
  // Standard output has no name to change.
  if (!path_.empty()) path_ = partialReportPath(path_);
}

const std::string& JsonWorkbook::keyOf(SheetSpool& sheet, int32_t column) {
  if (static_cast<size_t>(sheet.id) >= keys_.size()) keys_.resize(static_cast<size_t>(sheet.id) + 1);
  Keys& keys = keys_[static_cast<size_t>(sheet.id)];
  // Keys are made in column order, so a heading used twice keeps its plain
  // text on its leftmost column.
  while (keys.byColumn.size() < static_cast<size_t>(column)) {
    const int32_t c = static_cast<int32_t>(keys.byColumn.size()) + 1;
    const std::string letters = columnLetters(c);
    std::string key = static_cast<size_t>(c) <= sheet.headings.size() ? sheet.headings[c - 1] : std::string();
    if (key.empty()) key = letters;
    while (keys.used.count(key) != 0) key += " (" + letters + ")";
    keys.used.insert(key);
    std::string quoted;
    appendJsonString(quoted, key);
    keys.byColumn.push_back(std::move(quoted));
  }
  return keys.byColumn[static_cast<size_t>(column) - 1];
}

void JsonWorkbook::writeRecord(SheetSpool& sheet, int32_t row, std::span<const Cell> cells) {
  if (row == 1) {
    // The heading row gives the keys; a new heading row starts them afresh.
    if (static_cast<size_t>(sheet.id) < keys_.size()) keys_[static_cast<size_t>(sheet.id)] = Keys();
    if (!sheet.headings.empty()) keyOf(sheet, static_cast<int32_t>(sheet.headings.size()));
    return;
  }
  line_.clear();
  if (row > 2) line_ += ",\n";
  line_ += '{';
  bool first = true;
  for (const Cell& c : cells) {
    if (!first) line_ += ',';
    first = false;
    line_ += keyOf(sheet, c.column);
    line_ += ':';
    if (c.kind != CellKind::kNumber) {
      appendJsonString(line_, c.text);
    } else if (!appendNumber(line_, c.number)) {
      line_ += "null";  // JSON has no infinities and no NaN
    }
  }
  line_ += '}';
  appendSpool(sheet, line_);
}

void JsonWorkbook::writeDocument(const std::vector<SheetSpool*>& tabOrder, std::FILE* out) {
  auto put = [&](std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) failWrite(std::strerror(errno));
  };
  put("{");
  bool first = true;
  for (SheetSpool* sheet : tabOrder) {
    std::string member = first ? "\n" : ",\n";
    first = false;
    appendJsonString(member, sheet->name);
    // Row 1 is always handed over first, so more than one row means data.
    member += sheet->rowsWritten > 1 ? ": [\n" : ": []";
    put(member);
    if (sheet->rowsWritten > 1) {
      if (!copySpool(sheet->spool, out)) failWrite(std::strerror(errno));
      put("\n]");
    }
  }
  put("\n}\n");
}

void JsonWorkbook::finish(const std::vector<SheetSpool*>& tabOrder) {
  if (out_ != nullptr) {
    writeDocument(tabOrder, out_);
    if (std::fflush(out_) != 0 || std::ferror(out_) != 0) failWrite(std::strerror(errno));
    return;
  }
  std::FILE* file = staging_->createFile(stagedName_);
  useLargeBuffer(file);
  try {
    writeDocument(tabOrder, file);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
  const int error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!flushed || !closed) failWrite(std::strerror(flushed ? errno : error));
  staging_->moveIntoPlace({{stagedName_, path_.filename().string()}});
  staging_.reset();
}

}  // namespace rzt
