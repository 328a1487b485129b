#include "report/SarifLog.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "report/CellText.h"
#include "report/IWorkbook.h"
#include "report/JsonWorkbook.h"
#include "report/StagingFolder.h"
#include "support/RztError.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "SarifLog";
constexpr std::string_view kSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

bool isKeptInUri(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '-': case '.': case '_': case '~':                       // unreserved
    case '!': case '$': case '&': case '\'': case '(': case ')':  // sub-delimiters
    case '*': case '+': case ',': case ';': case '=':
    case '@': case '/':
      return true;
    default:
      return false;
  }
}

void appendPercentEncoded(std::string& out, std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (isKeptInUri(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
}

// A JSON string of text made valid first: names from the files themselves
// are, but a byte that is not UTF-8 must not reach the log.
void appendText(std::string& out, std::string_view text) {
  if (isValidCellText(text)) {
    appendJsonString(out, text);
    return;
  }
  std::string valid;
  appendValidCellText(text, valid);
  appendJsonString(out, valid);
}

std::string_view stateName(BaselineState state) {
  switch (state) {
    case BaselineState::kNew: return "new";
    case BaselineState::kUnchanged: return "unchanged";
    case BaselineState::kUpdated: return "updated";
    case BaselineState::kAbsent: return "absent";
    case BaselineState::kNone: break;
  }
  return {};
}

// The name of the method or class of a finding with its package, dotted.
std::string qualifiedName(const Finding& f) {
  std::string name(f.packageName);
  auto add = [&name](std::string_view part) {
    if (!name.empty()) name += '.';
    name += part;
  };
  if (f.className != nullptr) add(*f.className);
  if (f.methodName != nullptr) add(*f.methodName);
  return name;
}

}  // namespace

std::string sarifRelativeUri(std::string_view path) {
  std::string uri;
  appendPercentEncoded(uri, path);
  return uri;
}

std::string sarifFolderUri(const fs::path& folder) {
  std::string path = folder.lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string uri = "file://";
  // A relative folder (never given by the callers) would make a URI of the
  // wrong kind: it is placed below the root.
  if (path.empty() || path.front() != '/') uri += '/';
  appendPercentEncoded(uri, path);
  if (uri.back() != '/') uri += '/';
  return uri;
}

std::string sarifMessage(const Finding& finding) {
  std::string text(finding.message);
  text += " (";
  text += findingValueText(finding.value);
  if (finding.rule != nullptr) {
    text += finding.rule->lowerBound ? " ≤ " : " ≥ ";
    text += findingValueText(finding.rule->threshold);
  }
  text += ')';
  return text;
}

SarifLog::SarifLog(fs::path path, const fs::path& analysedFolder, std::string toolName, std::string toolVersion)
    : path_(std::move(path)),
      baseUri_(sarifFolderUri(fs::absolute(analysedFolder))),
      toolName_(std::move(toolName)),
      toolVersion_(std::move(toolVersion)),
      staging_(std::make_unique<StagingFolder>(path_, kSource)) {
  spool_ = staging_->createUnnamedFile();
}

SarifLog::~SarifLog() {
  if (spool_ != nullptr) std::fclose(spool_);
}

void SarifLog::failWrite(int error) const {
  throw RztError(kErrPathFileAccess, kSource,
                 "ファイルに書き込めません: " + path_.string() + " (" + std::strerror(error) + ")");
}

void SarifLog::writeResult(const Finding& f, BaselineState state) {
  if (closed_) throw std::logic_error("SarifLog: a result after close");
  line_.clear();
  line_ += '{';
  if (f.rule != nullptr) {
    line_ += "\"ruleId\":";
    appendJsonString(line_, f.rule->id);
    line_ += ',';
  }
  line_ += "\"level\":\"warning\",\"message\":{\"text\":";
  if (state == BaselineState::kAbsent) {
    // The threshold it reached was the earlier run's, which this log does
    // not know: the value alone.
    appendText(line_, std::string(f.message) + " (" + findingValueText(f.value) + ")");
  } else {
    appendText(line_, sarifMessage(f));
  }
  line_ += '}';
  if (f.filePath.empty()) {
    // A finding of an earlier run has no file of this one: where it was, by
    // name.
    if (state == BaselineState::kAbsent) {
      line_ += ",\"locations\":[{\"logicalLocations\":[{\"fullyQualifiedName\":";
      if (f.className != nullptr) {
        appendText(line_, qualifiedName(f));
        line_ += f.methodName != nullptr ? ",\"kind\":\"function\"}]}]" : ",\"kind\":\"type\"}]}]";
      } else {
        appendText(line_, f.packageName.empty() ? std::string(f.fileName)
                                                : std::string(f.packageName) + "/" + std::string(f.fileName));
        line_ += ",\"kind\":\"module\"}]}]";
      }
    }
  } else {
    line_ += ",\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":\"";
    appendPercentEncoded(line_, f.filePath);
    line_ += "\",\"uriBaseId\":";
    appendJsonString(line_, kBaseId);
    line_ += '}';
    if (f.line > 0) line_ += ",\"region\":{\"startLine\":" + std::to_string(f.line) + '}';
    line_ += '}';
    if (f.className != nullptr) {
      line_ += ",\"logicalLocations\":[{\"fullyQualifiedName\":";
      appendText(line_, qualifiedName(f));
      line_ += f.methodName != nullptr ? ",\"kind\":\"function\"}]" : ",\"kind\":\"type\"}]";
    }
    line_ += "}]";
  }
  line_ += ",\"properties\":{\"value\":";
  // The values are counts, and the average's whole part: always finite.
  line_ += std::isfinite(f.value) ? findingValueText(f.value) : "null";
  line_ += "}}\n";
  if (std::fwrite(line_.data(), 1, line_.size(), spool_) != line_.size()) failWrite(errno);
  states_.push_back(state);
}

void SarifLog::setBaselineState(size_t index, BaselineState state) {
  if (index >= states_.size()) throw std::out_of_range("SarifLog: no such result");
  states_[index] = state;
}

void SarifLog::setPartial(std::string_view reason) {
  if (closed_) throw std::logic_error("SarifLog: setPartial after close");
  if (!partial_) path_ = partialReportPath(path_);
  partial_ = true;
  partialReason_.assign(reason);
}

void SarifLog::writeDocument(std::FILE* out, std::span<const DiagnosisRule> rules) {
  std::string text;
  auto flush = [&]() {
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) failWrite(errno);
    text.clear();
  };
  text += "{\n\"$schema\": ";
  appendJsonString(text, kSchema);
  text += ",\n\"version\": \"2.1.0\",\n\"runs\": [{\n\"tool\": {\"driver\": {\"name\": ";
  appendText(text, toolName_);
  text += ", \"version\": ";
  appendText(text, toolVersion_);
  text += ", \"rules\": [";
  for (size_t i = 0; i < rules.size(); ++i) {
    const DiagnosisRule& r = rules[i];
    text += i == 0 ? "\n" : ",\n";
    text += "{\"id\":";
    appendJsonString(text, r.id);
    text += ",\"shortDescription\":{\"text\":";
    appendJsonString(text, r.message);
    text += "},\"fullDescription\":{\"text\":";
    appendJsonString(text, std::string(r.level) + " " + std::string(r.message));
    text += "},\"defaultConfiguration\":{\"level\":\"warning\"},\"properties\":{\"threshold\":";
    text += std::to_string(r.threshold);
    text += "}}";
  }
  text += "\n]}},\n\"invocations\": [{\"executionSuccessful\": ";
  text += partial_ ? "false" : "true";
  if (partial_ && !partialReason_.empty()) {
    text += ", \"toolExecutionNotifications\": [{\"level\": \"error\", \"message\": {\"text\": ";
    appendText(text, partialReason_);
    text += "}}]";
  }
  text += "}],\n\"originalUriBaseIds\": {";
  appendJsonString(text, kBaseId);
  text += ": {\"uri\": ";
  appendJsonString(text, baseUri_);
  text += "}},\n\"results\": [";
  flush();

  if (std::fflush(spool_) != 0 || std::ferror(spool_) != 0) failWrite(errno);
  std::rewind(spool_);
  char* buffer = nullptr;
  size_t capacity = 0;
  struct FreeBuffer {
    char*& p;
    ~FreeBuffer() { std::free(p); }
  } freeBuffer{buffer};
  for (size_t i = 0; i < states_.size(); ++i) {
    const ssize_t n = ::getline(&buffer, &capacity, spool_);
    // A line shorter than "{}\n" is a spool cut short.
    if (n < 3 || buffer[n - 1] != '\n') failWrite(n < 0 && errno != 0 ? errno : EIO);
    text += i == 0 ? "\n" : ",\n";
    const std::string_view state = stateName(states_[i]);
    if (state.empty()) {
      text.append(buffer, static_cast<size_t>(n - 1));
    } else {
      text += "{\"baselineState\":\"";
      text += state;
      text += "\",";
      text.append(buffer + 1, static_cast<size_t>(n - 2));
    }
    if (text.size() >= (1 << 16)) flush();
  }
  text += states_.empty() ? "]\n}]\n}\n" : "\n]\n}]\n}\n";
  flush();
}

void SarifLog::close(std::span<const DiagnosisRule> rules) {
  if (closed_) throw std::logic_error("SarifLog: closed twice");
  closed_ = true;
  const std::string staged = path_.filename().string();
  std::FILE* file = staging_->createFile(staged);
  try {
    writeDocument(file, rules);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
  const int error = errno;
  const bool closedFile = std::fclose(file) == 0;
  if (!flushed || !closedFile) failWrite(flushed ? errno : error);
  staging_->moveIntoPlace({{staged, staged}});
  std::fclose(spool_);
  spool_ = nullptr;
  staging_.reset();
}

}  // namespace rzt
