// Writes reports from hostile names and texts in every format: the bytes
// become the names, access texts and counts of files, classes, methods and
// skipped files, handed to the report writer once for a workbook in memory
// and once each for .xlsx, JSON and CSV files, with the findings as a SARIF
// log. Every result must be well formed (each XML part of the .xlsx parses
// with expat, the JSON parses, every CSV record is as wide as its heading,
// the SARIF log is UTF-8 JSON with one result per finding, each URI plain
// ASCII that decodes to its file's path) and hold the cells of the workbook
// in memory; anything else aborts.

#include <expat.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SharedWorkbook.h"
#include "TestSupport.h"
#include "TextReportReader.h"
#include "XlsxReader.h"
#include "records/Records.h"
#include "options/OptionValues.h"
#include "reading/TextDecoding.h"
#include "report/CellText.h"
#include "report/CsvWorkbook.h"
#include "report/JsonWorkbook.h"
#include "report/MemoryWorkbook.h"
#include "report/OutputMgr.h"
#include "report/SarifLog.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace {

using rzt::MemoryWorkbook;

[[noreturn]] void broken(const std::string& what) {
  std::fprintf(stderr, "writers fuzzer: %s\n", what.c_str());
  std::abort();
}

// The input read as a sequence of small values and texts; past its end
// every value is 0 and every text empty.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string text() {
    const size_t length = std::min<size_t>(byte() % 48, size_ - std::min(at_, size_));
    std::string t(reinterpret_cast<const char*>(data_) + at_, length);
    at_ += length;
    return t;
  }
  rzt::Counter count() {
    const uint8_t b = byte();
    // Mostly small; now and then near the edges of the 32-bit range.
    if (b == 0xFF) return rzt::Counter(2147483647);
    if (b == 0xFE) return rzt::Counter(1000000000);
    return rzt::Counter(b % 64);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

struct Events {
  bool keepGoing = false;
  bool diagnosis = true;
  bool endsWithError = false;
  bool syntaxErrors = false;
  std::vector<std::function<void(rzt::OutputMgr&)>> calls;
  std::vector<std::string> paths;  // of the records
};

Events readEvents(Input& in) {
  Events e;
  const uint8_t mode = in.byte();
  e.keepGoing = (mode & 1) != 0;
  e.diagnosis = (mode & 2) == 0;
  e.endsWithError = (mode & 4) != 0;
  e.syntaxErrors = (mode & 8) != 0;
  while (in.more() && e.calls.size() < 300) {
    switch (in.byte() % 4) {
      case 0: {
        rzt::MethodRecord m;
        m.packageName = in.text();
        m.className = in.text();
        m.fileName = in.text();
        m.methodName = in.text();
        m.filePath = in.text();
        e.paths.push_back(m.filePath);
        m.line = in.byte();
        m.access = in.text();
        const uint8_t flags = in.byte();
        m.constructorMethod = flags & 1;
        m.staticMethod = flags & 2;
        m.abstractMethod = flags & 4;
        m.finalMethod = flags & 8;
        m.nativeMethod = flags & 16;
        m.returnsValue = flags & 32;
        m.statementCount = in.count();
        m.messagePassingCount = in.count();
        m.ifStatementCount = in.count();
        m.forStatementCount = in.count();
        m.localVariables = in.count();
        e.calls.push_back([m](rzt::OutputMgr& mgr) { mgr.finishedMethodAnalysis(m); });
        break;
      }
      case 1: {
        rzt::ClassRecord c;
        c.packageName = in.text();
        c.className = in.text();
        c.fileName = in.text();
        c.filePath = in.text();
        e.paths.push_back(c.filePath);
        c.line = in.byte();
        c.access = in.text();
        c.kindText = in.text();
        const uint8_t flags = in.byte();
        c.innerClass = flags & 1;
        c.classType = flags & 2;
        c.statementCount = in.count();
        c.instanceMethodCount = in.count();
        c.publicInstanceVariableCount = in.count();
        e.calls.push_back([c](rzt::OutputMgr& mgr) { mgr.finishedClassAnalysis(c); });
        break;
      }
      case 2: {
        rzt::FileRecord f;
        f.dirName = in.text();
        f.fileName = in.text();
        f.packageName = in.text();
        f.filePath = in.text();
        e.paths.push_back(f.filePath);
        f.allLoc = in.count();
        f.loc = in.count();
        f.commentLoc = in.count();
        f.classCount = in.count();
        // One analysis measures every file of a run: all with syntax
        // errors counted, or none.
        f.syntaxErrorCount = e.syntaxErrors ? in.byte() % 4 : -1;
        e.calls.push_back([f](rzt::OutputMgr& mgr) { mgr.finishedFileAnalysis(f); });
        break;
      }
      default: {
        if (!e.keepGoing) break;
        rzt::SkippedFileRecord s;
        s.dirName = in.text();
        s.fileName = in.text();
        s.number = in.byte();
        s.description = in.text();
        e.calls.push_back([s](rzt::OutputMgr& mgr) { mgr.skippedFileAnalysis(s); });
        break;
      }
    }
  }
  return e;
}

// Hands the events to a report writing into the workbook the factory makes;
// false when the report ended with one of the system's errors (a total that
// overflows, say), the same for every format.
// With a log, the findings go into it too, and it is closed as rzt-cli
// closes it.
bool report(const Events& events, rzt::OutputMgr::WorkbookFactory factory, rzt::SarifLog* log = nullptr) {
  rzt::OutputMgr mgr(std::move(factory));
  mgr.setKeepGoing(events.keepGoing);
  if (log != nullptr) mgr.addFindingWriter(*log);
  rzt::OptionValues options;
  options.optDiag = events.diagnosis;
  mgr.prepare(options);
  try {
    for (const auto& call : events.calls) call(mgr);
    if (events.endsWithError) {
      mgr.finishedWithError();
      if (log != nullptr) log->setPartial("ended early");
    } else {
      mgr.finishedAllAnalysis();
    }
    if (log != nullptr) log->close(mgr.diagnosisRules());
    return true;
  } catch (const rzt::RztError& e) {
    if (e.number() != rzt::kErrOverflow) broken("unexpected error " + std::to_string(e.number()) + ": " + e.description());
    mgr.finishedWithError();
    if (log != nullptr) {
      log->setPartial(e.description());
      log->close(mgr.diagnosisRules());
    }
    return false;
  }
}

// The last row and column holding a value.
std::pair<int32_t, int32_t> extent(const MemoryWorkbook::SheetData& sheet) {
  int32_t rows = 0, columns = 0;
  for (const auto& [at, c] : sheet.cells) {
    if (!c.hasText && !c.hasNumber) continue;
    rows = std::max(rows, at.first);
    columns = std::max(columns, at.second);
  }
  return {rows, columns};
}

void expectWellFormedXml(const std::string& name, const std::string& xml) {
  XML_Parser parser = XML_ParserCreate("UTF-8");
  const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
  const std::string error = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
  XML_ParserFree(parser);
  if (!ok) broken(name + " is not well formed: " + error);
}

void checkXlsx(const MemoryWorkbook& memory, const fs::path& file) {
  for (const auto& [name, part] : rzt::test::readZipEntries(file)) {
    if (name.ends_with(".xml") || name.ends_with(".rels")) expectWellFormedXml(name, part);
  }
  const rzt::test::XlsxBook book = rzt::test::readXlsx(file);
  if (book.sheetNames() != memory.sheetNames()) broken("xlsx: other sheets");
  for (const rzt::test::XlsxSheet& sheet : book.sheets) {
    for (const auto& [at, cell] : memory.sheet(sheet.name)->cells) {
      if (cell.hasText && sheet.text(at.first, at.second) != cell.text) {
        broken("xlsx: " + sheet.name + " cell " + std::to_string(at.first) + "," + std::to_string(at.second) +
               " reads back otherwise");
      }
      // The .xlsx writer keeps 16 significant digits.
      const std::optional<double> number = sheet.number(at.first, at.second);
      if (cell.hasNumber && (!number || std::fabs(*number - cell.number) > 1e-14 * std::max(1.0, std::fabs(cell.number)))) {
        broken("xlsx: a number changed");
      }
    }
  }
}

void checkJson(const MemoryWorkbook& memory, const fs::path& file) {
  const rzt::test::JsonValue document = rzt::test::parseJson(rzt::test::readFile(file));
  for (const std::string& name : memory.sheetNames()) {
    const rzt::test::JsonValue* rows = document.member(name);
    if (rows == nullptr) broken("json: no sheet " + name);
    const int32_t lastRow = extent(*memory.sheet(name)).first;
    if (rows->items.size() != static_cast<size_t>(std::max(0, lastRow - 1))) broken("json: rows of " + name);
  }
}

void checkCsv(const MemoryWorkbook& memory, const fs::path& report) {
  for (const std::string& name : memory.sheetNames()) {
    const auto records = rzt::test::parseCsv(rzt::test::readFile(rzt::CsvWorkbook::sheetPath(report, name)));
    const MemoryWorkbook::SheetData& sheet = *memory.sheet(name);
    const auto [lastRow, lastColumn] = extent(sheet);
    if (records.size() != static_cast<size_t>(lastRow)) broken("csv: records of " + name);
    for (size_t r = 0; r < records.size(); ++r) {
      if (records[r].size() != records[0].size()) broken("csv: a record of " + name + " is not as wide as its heading");
      for (size_t c = 0; c < records[r].size(); ++c) {
        const MemoryWorkbook::Cell* cell = memory.cell(name, static_cast<int32_t>(r + 1), static_cast<int32_t>(c + 1));
        if (cell == nullptr || !cell->hasText) continue;
        const std::string& field = records[r][c];
        if (field != cell->text && field != "'" + cell->text) broken("csv: a text of " + name + " changed");
      }
    }
  }
}

// Rows of the diagnosis sheet that are findings (they name a level).
size_t findingRows(const MemoryWorkbook& memory) {
  const MemoryWorkbook::SheetData* sheet = memory.sheet("診断");
  if (sheet == nullptr) return 0;
  size_t n = 0;
  for (const auto& [at, c] : sheet->cells) {
    if (at.first > 1 && at.second == 5 && c.hasText) ++n;
  }
  return n;
}

std::string percentDecoded(const std::string& uri) {
  std::string out;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size()) {
      out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

void checkSarif(const MemoryWorkbook& memory, const fs::path& file, const std::vector<std::string>& paths) {
  const std::string bytes = rzt::test::readFile(file);
  if (!rzt::isValidUtf8(bytes)) broken("sarif: not UTF-8");
  const rzt::test::JsonValue document = rzt::test::parseJson(bytes);
  const rzt::test::JsonValue* runs = document.member("runs");
  if (runs == nullptr || runs->items.size() != 1) broken("sarif: not one run");
  const rzt::test::JsonValue* results = runs->items[0].member("results");
  if (results == nullptr || results->items.size() != findingRows(memory)) broken("sarif: not one result per finding");
  for (const rzt::test::JsonValue& r : results->items) {
    const rzt::test::JsonValue* locations = r.member("locations");
    if (locations == nullptr) continue;  // a finding of a record without a path
    const rzt::test::JsonValue* physical = locations->items.at(0).member("physicalLocation");
    const std::string& uri = physical->member("artifactLocation")->member("uri")->text;
    for (const char c : uri) {
      if (c <= 0x20 || c >= 0x7F || c == '#' || c == '?' || c == '"' || c == '\\') broken("sarif: a byte left in a URI");
    }
    if (std::find(paths.begin(), paths.end(), percentDecoded(uri)) == paths.end()) broken("sarif: a URI of no record");
    const rzt::test::JsonValue* region = physical->member("region");
    if (region != nullptr && region->member("startLine")->number < 1) broken("sarif: a line before the first");
  }
}

const fs::path& scratch() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("rzt-fuzz-writers-" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const Events events = readEvents(in);
  auto memory = std::make_shared<MemoryWorkbook>();
  const bool complete = report(events, [memory] { return std::make_unique<rzt::test::SharedWorkbook>(memory); });
  const bool partial = !complete || events.endsWithError;
  const auto written = [&](const fs::path& path) { return partial ? rzt::partialReportPath(path) : path; };

  const fs::path xlsx = scratch() / "r.xlsx";
  const fs::path json = scratch() / "r.json";
  const fs::path csv = scratch() / "r.csv";
  const fs::path sarif = scratch() / "r.sarif";
  fs::remove_all(scratch());
  fs::create_directories(scratch());
  try {
    if (report(events, [&] { return std::make_unique<rzt::XlsxWorkbook>(xlsx); }) != complete) broken("xlsx ends otherwise");
    if (report(events, [&] { return std::make_unique<rzt::JsonWorkbook>(json); }) != complete) broken("json ends otherwise");
    if (report(events, [&] { return std::make_unique<rzt::CsvWorkbook>(csv); }) != complete) broken("csv ends otherwise");
    {
      rzt::SarifLog log(sarif, scratch(), "rzt-cli", "0");
      auto again = std::make_shared<MemoryWorkbook>();
      if (report(events, [again] { return std::make_unique<rzt::test::SharedWorkbook>(again); }, &log) != complete) {
        broken("sarif ends otherwise");
      }
    }
    checkXlsx(*memory, written(xlsx));
    checkJson(*memory, written(json));
    checkCsv(*memory, written(csv));
    checkSarif(*memory, written(sarif), events.paths);
  } catch (const rzt::RztError& e) {
    broken("error " + std::to_string(e.number()) + ": " + e.description());
  } catch (const std::exception& e) {
    broken(e.what());
  }
  return 0;
}
