#include "compare/ReportReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>

#include "compare/JsonReportReader.h"
#include "compare/XlsxReportReader.h"
#include "support/AsciiCase.h"
#include "support/RztError.h"

namespace rzt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSource = "ReportReader";

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

struct RequiredHeadings {
  ReportSheetKind kind;
  bool sheetRequired;
  // In a heading row, which every report writes.
  std::initializer_list<std::string_view> inHeadingRow;
  // Among the keys of the rows (JSON), where a column whose cells are all
  // empty is not there: only the columns that always have a value.
  std::initializer_list<std::string_view> inRows;
};

const RequiredHeadings kRequired[] = {
    {ReportSheetKind::kFile, true, {heading::kFileName, heading::kPackageName}, {heading::kFileName}},
    {ReportSheetKind::kClass, true, {heading::kPackageName, heading::kClassName}, {heading::kClassName}},
    {ReportSheetKind::kMethod,
     true,
     {heading::kPackageName, heading::kClassName, heading::kMethodName, heading::kArguments},
     {heading::kClassName, heading::kMethodName, heading::kArguments}},
    {ReportSheetKind::kSumm, false, {heading::kMetric, heading::kValue}, {heading::kMetric}},
    {ReportSheetKind::kDiagnosis,
     false,
     {heading::kPackageName, heading::kFileName, heading::kClassName, heading::kMethodName, heading::kLevel,
      heading::kDiagnosis, heading::kValue},
     {}},
};

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

void readByContent(int fd, const fs::path& path, ReportModel& model, const ReportLimits& limits) {
  char head[64];
  ssize_t n;
  do {
    n = ::pread(fd, head, sizeof head, 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw ReportFormatError(std::string("読み込めません (") + std::strerror(errno) + ")");
  const std::string_view start(head, static_cast<size_t>(n));
  if (start.empty()) throw ReportFormatError("空のファイルです");
  if (startsWith(start, "PK\x03\x04") || startsWith(start, "PK\x05\x06")) {
    readXlsxReport(fd, model, limits);
    return;
  }
  size_t i = startsWith(start, "\xEF\xBB\xBF") ? 3 : 0;
  while (i < start.size() && (start[i] == ' ' || start[i] == '\t' || start[i] == '\n' || start[i] == '\r')) ++i;
  if (i == start.size() || start[i] == '{' || start[i] == '[') {
    readJsonReport(fd, model, limits);
    return;
  }
  const std::string name = path.filename().string();
  if (endsWithFoldedAscii(name, ".csv")) {
    throw ReportFormatError("CSV のレポートとは比較できません。.json か .xlsx のレポートを指定してください");
  }
  if (endsWithFoldedAscii(name, ".xlsx")) throw ReportFormatError("zip 形式のファイルとして読めません");
  throw ReportFormatError("RZT のレポートではありません。.json か .xlsx のレポートを指定してください");
}

}  // namespace

void checkIsReport(ReportModel& model) {
  for (const RequiredHeadings& r : kRequired) {
    const SheetTable* table = model.sheet(r.kind);
    const std::string sheet = quoted(reportSheetName(r.kind));
    if (table == nullptr) {
      if (r.sheetRequired) throw ReportFormatError("RZT のレポートではありません: シート " + sheet + " がありません");
      continue;
    }
    if (!table->headingRowKnown() && table->rowCount() == 0) continue;
    for (std::string_view h : table->headingRowKnown() ? r.inHeadingRow : r.inRows) {
      if (table->findColumn(h) < 0) {
        throw ReportFormatError("RZT のレポートではありません: シート " + sheet + " に見出し " + quoted(h) +
                                " がありません");
      }
    }
  }
  const SheetTable* summary = model.sheet(ReportSheetKind::kSumm);
  if (summary != nullptr) {
    const int32_t metric = summary->findColumn(heading::kMetric);
    for (int32_t row = 0; row < summary->rowCount(); ++row) {
      if (summary->cell(row, metric).text == kReportEndedEarly) model.setPartial(true);
    }
  }
}

ReportModel readReport(const fs::path& path, const ReportLimits& limits) {
  auto failure = [&](const std::string& reason) {
    return RztError(kErrBadEarlierReport, kSource,
                    std::string(kTextBadEarlierReport) + path.string() + " (" + reason + ")");
  };
  // Without blocking: a FIFO in the report's place must not hang the run.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw failure(std::string("開けません: ") + std::strerror(errno));
  const Descriptor file(fd);
  struct stat st{};
  if (::fstat(fd, &st) != 0) throw failure(std::string("開けません: ") + std::strerror(errno));
  if (S_ISDIR(st.st_mode)) throw failure("ディレクトリです");
  if (!S_ISREG(st.st_mode)) throw failure("通常のファイルではありません");

  ReportModel model(path.string(), limits);
  try {
    readByContent(fd, path, model, limits);
    checkIsReport(model);
  } catch (const ReportFormatError& e) {
    throw failure(e.what());
  } catch (const std::bad_alloc&) {
    throw failure("メモリが足りません");
  }
  return model;
}

}  // namespace rzt
