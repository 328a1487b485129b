// rzt-compare-bench [--runs N] EARLIER [CURRENT]
//
// Measures the comparison of two reports of RZT (.json or .xlsx): reading
// the earlier report; capturing this run's cells (the cells of CURRENT, or
// of EARLIER again, handed one by one, as the report writer hands them over,
// to the capturing workbook in front of rzt-cli's workbook that keeps
// nothing); comparing; and writing the rows of "比較" into such a workbook.
// Each run goes in a child process, so that its peak memory (ru_maxrss) is
// its own; the medians of N runs (3) are printed, processor and wall time.
// With CURRENT, the peak includes the report read to hand its cells over.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "cli/NullWorkbook.h"
#include "compare/CapturingWorkbook.h"
#include "compare/ComparisonSheet.h"
#include "compare/ReportComparison.h"
#include "compare/ReportReader.h"
#include "support/RztError.h"

namespace {

using rzt::IWorkbook;

// Processor time of the process: other work on a shared machine disturbs it
// less than wall time.
double processorSeconds() {
  timespec ts{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Clock {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = processorSeconds();
};

struct Span {
  double wall = 0, cpu = 0;
};

Span since(const Clock& c) {
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - c.wall).count(), processorSeconds() - c.cpu};
}

// Hands the cells of a report to a workbook as the report writer would:
// each sheet its heading row and then its rows in order.
void replay(const rzt::ReportModel& report, IWorkbook& workbook) {
  for (int k = 0; k < rzt::kReportSheetKindCount; ++k) {
    const auto kind = static_cast<rzt::ReportSheetKind>(k);
    const rzt::SheetTable* table = report.sheet(kind);
    if (table == nullptr) continue;
    const IWorkbook::Sheet sheet = workbook.addSheet(rzt::reportSheetName(kind));
    const std::vector<int32_t>& columns = table->columns();
    for (size_t i = 0; i < columns.size(); ++i) {
      workbook.setText(sheet, 1, static_cast<int32_t>(i) + 1, table->heading(columns[i]));
    }
    for (int32_t row = 0; row < table->rowCount(); ++row) {
      for (size_t i = 0; i < columns.size(); ++i) {
        const rzt::ReportCell cell = table->cell(row, columns[i]);
        if (cell.kind == rzt::ReportCell::Kind::kNumber) {
          workbook.setNumber(sheet, row + 2, static_cast<int32_t>(i) + 1, cell.number);
        } else if (cell.kind == rzt::ReportCell::Kind::kText) {
          workbook.setText(sheet, row + 2, static_cast<int32_t>(i) + 1, cell.text);
        }
      }
    }
  }
}

struct Figures {
  Span read, replayAlone, capture, compare, write;
  double peakMb = 0;
  double earlierMb = 0, currentMb = 0;
  int64_t rows = 0;
};

Figures measureOnce(const std::string& earlierPath, const std::string& currentPath) {
  Figures f;
  Clock t;
  const rzt::ReportModel earlier = rzt::readReport(earlierPath);
  f.read = since(t);

  std::unique_ptr<rzt::ReportModel> other;
  const rzt::ReportModel* source = &earlier;
  if (currentPath != earlierPath) {
    other = std::make_unique<rzt::ReportModel>(rzt::readReport(currentPath));
    source = other.get();
  }
  {
    rzt::NullWorkbook plain;
    t = Clock();
    replay(*source, plain);
    f.replayAlone = since(t);
  }
  rzt::ReportModel current;
  {
    rzt::CapturingWorkbook capture(std::make_unique<rzt::NullWorkbook>(), current);
    t = Clock();
    replay(*source, capture);
    capture.close();
    const Span all = since(t);
    f.capture = {all.wall - f.replayAlone.wall, all.cpu - f.replayAlone.cpu};
  }
  other.reset();

  t = Clock();
  const rzt::Comparison comparison = rzt::compareReports(earlier, current);
  f.compare = since(t);

  rzt::NullWorkbook sink;
  t = Clock();
  const IWorkbook::Sheet sheet = sink.addSheet(rzt::kComparisonSheetName);
  rzt::writeComparisonSheet(sink, sheet, comparison);
  f.write = since(t);
  f.rows = static_cast<int64_t>(comparison.rows().size());
  f.earlierMb = static_cast<double>(earlier.memoryBytes()) / 1e6;
  f.currentMb = static_cast<double>(current.memoryBytes()) / 1e6;
  std::fprintf(stderr, "  %s\n", rzt::comparisonSummaryLine(comparison.counts()).c_str());
  return f;
}

// One measurement in a child process, its figures passed back through a pipe.
bool measureInChild(const std::string& earlier, const std::string& current, Figures& out) {
  int fds[2];
  if (::pipe(fds) != 0) return false;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    Figures f;
    try {
      f = measureOnce(earlier, current);
    } catch (const rzt::RztError& e) {
      std::fprintf(stderr, "%s\n", e.description().c_str());
      ::_exit(1);
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    f.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const ssize_t n = ::write(fds[1], &f, sizeof f);
    ::_exit(n == static_cast<ssize_t>(sizeof f) ? 0 : 1);
  }
  ::close(fds[1]);
  const ssize_t n = ::read(fds[0], &out, sizeof out);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return n == static_cast<ssize_t>(sizeof out) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      paths.push_back(a);
    }
  }
  if (paths.empty() || paths.size() > 2) {
    std::fprintf(stderr, "usage: rzt-compare-bench [--runs N] EARLIER [CURRENT]\n");
    return 2;
  }
  const std::string earlier = paths[0];
  const std::string current = paths.size() == 2 ? paths[1] : paths[0];
  std::vector<Figures> all;
  for (int r = 0; r < runs; ++r) {
    Figures f;
    if (!measureInChild(earlier, current, f)) return 1;
    all.push_back(f);
  }
  auto med = [&](double Figures::*field) {
    std::vector<double> v;
    for (const Figures& f : all) v.push_back(f.*field);
    return median(v);
  };
  auto span = [&](Span Figures::*field, double Span::*part) {
    std::vector<double> v;
    for (const Figures& f : all) v.push_back(f.*field.*part);
    return median(v);
  };
  std::printf("earlier: %s\ncurrent: %s\n", earlier.c_str(), current.c_str());
  std::printf("rows of 比較        %10lld\n", static_cast<long long>(all.front().rows));
  std::printf("                  processor       wall\n");
  double cpu = 0, wall = 0;
  const std::pair<const char*, Span Figures::*> phases[] = {
      {"read earlier", &Figures::read}, {"capture", &Figures::capture}, {"compare", &Figures::compare},
      {"write rows", &Figures::write}};
  for (const auto& [name, field] : phases) {
    cpu += span(field, &Span::cpu);
    wall += span(field, &Span::wall);
    std::printf("%-16s %9.3f s %9.3f s\n", name, span(field, &Span::cpu), span(field, &Span::wall));
  }
  std::printf("%-16s %9.3f s %9.3f s\n", "total", cpu, wall);
  std::printf("(capture: on top of handing the cells over, %.3f s)\n", span(&Figures::replayAlone, &Span::cpu));
  std::printf("models              %9.1f MB earlier, %.1f MB current\n", med(&Figures::earlierMb), med(&Figures::currentMb));
  std::printf("peak memory         %9.1f MB\n", med(&Figures::peakMb));
  return 0;
}
