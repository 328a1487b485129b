// rzt-cli: measures Java source code from the command line and writes the
// measurements into a report: an .xlsx workbook, a JSON document or CSV files.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/AnalyzerMain.h"
#include "analysis/FileEnumeration.h"
#include "cli/CliArguments.h"
#include "cli/ConsoleUserMessage.h"
#include "cli/FindingList.h"
#include "cli/NullWorkbook.h"
#include "cli/ReportOutput.h"
#include "cli/SummaryPrinter.h"
#include "cli/TerminalStatusLine.h"
#include "cli/TerminalText.h"
#include "compare/ComparisonSheet.h"
#include "compare/ReportComparer.h"
#include "compare/ReportComparison.h"
#include "compare/ReportReader.h"
#include "compare/SarifBaseline.h"
#include "java/ModernFileAnalyzer.h"
#include "options/OptionValues.h"
#include "report/OutputMgr.h"
#include "report/SarifLog.h"
#include "support/JoinPath.h"
#include "support/RztError.h"
#include "support/SignalCleanup.h"
#include "support/StandardDescriptors.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFindings = 3;

void printLine(std::FILE* out, const std::string& text) {
  const std::string safe = rzt::terminalSafe(text);
  std::fprintf(out, "rzt-cli: %s\n", safe.c_str());
}

int usageError(const std::string& message) {
  printLine(stderr, message);
  std::fputs(rzt::cliUsageLine().c_str(), stderr);
  std::fputs("Try 'rzt-cli --help' for more information.\n", stderr);
  return kExitUsage;
}

// What PATH names: a directory, or a Java file split into its directory and
// bare name as the driver takes them.
struct Target {
  bool isDirectory = false;
  std::string dirName;
  std::string fileName;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace rzt;

  // Before anything is opened: a closed descriptor 0, 1 or 2 would be taken
  // by the first file opened, and messages would land in it.
  const int closedAtStart = ensureStandardDescriptors();
  installSignalCleanup();

  const CliParseResult parsed = parseCliArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.ok()) return usageError(parsed.error);
  const CliArguments& arguments = parsed.arguments;
  if (arguments.help) {
    std::fputs(cliHelpText().c_str(), stdout);
    return kExitOk;
  }
  if (arguments.version) {
    std::fputs("rzt-cli " RZT_VERSION "\n", stdout);
    return kExitOk;
  }

  Target target;
  std::error_code ec;
  const fs::file_status status = fs::status(arguments.path, ec);
  if (fs::is_directory(status)) {
    target.isDirectory = true;
    target.dirName = arguments.path;
  } else if (fs::is_regular_file(status)) {
    const fs::path path(arguments.path);
    target.fileName = path.filename().string();
    if (!FileEnumeration::isJavaFileName(target.fileName)) {
      return usageError("PATH must be a .java file or a directory: " + arguments.path);
    }
    target.dirName = path.parent_path().string();
    if (target.dirName.empty()) target.dirName = ".";
  } else if (fs::exists(status)) {
    return usageError("PATH must be a .java file or a directory: " + arguments.path);
  } else {
    printLine(stderr, kTextPathNotFound + arguments.path);
    return kExitError;
  }

  // The earlier report is read before anything is analysed or written: one
  // that cannot be compared with stops the run at once.
  std::shared_ptr<const ReportModel> earlier;
  if (!arguments.compare.empty()) {
    try {
      earlier = std::make_shared<const ReportModel>(readReport(arguments.compare));
    } catch (const RztError& e) {
      printLine(stderr, e.fullDescription());
      return kExitUsage;
    } catch (const std::exception& e) {
      printLine(stderr, kTextBadEarlierReport + arguments.compare + " (" + e.what() + ")");
      return kExitUsage;
    }
  }

  OptionValues options;
  applyCliArguments(arguments, options);
  const bool toStandardOutput = arguments.output == kStandardOutputName && !arguments.dryRun;
  if (toStandardOutput && (closedAtStart & kStandardOutputWasClosed) != 0) {
    // Nothing could reach a closed standard output: no analysis for nobody.
    printLine(stderr, "ファイルに書き込めません: standard output (" + std::string(std::strerror(EBADF)) + ")");
    return kExitError;
  }

  TerminalStatusLine statusLine(stderr, !arguments.quiet && ::isatty(STDERR_FILENO) == 1);
  ConsoleUserMessage messages(stderr, &statusLine);
  OutputMgr outputMgr([&arguments]() -> std::unique_ptr<IWorkbook> {
    // A dry run measures, diagnoses and sums up all the same, into nothing.
    if (arguments.dryRun) return std::make_unique<NullWorkbook>(maxRowsFor(arguments.format));
    return makeReportWorkbook(arguments.format, arguments.output);
  });
  outputMgr.setKeepGoing(options.keepGoing);
  ReportComparer comparer(outputMgr);
  if (earlier) {
    comparer.compareWith(earlier, arguments.modernSyntax ? ReportModel::SyntaxMode::kModern
                                                         : ReportModel::SyntaxMode::kClassic);
  }
  AnalyzerMain analyzer(statusLine, messages);
  analyzer.setEncoding(options.encoding);
  if (arguments.modernSyntax) {
    analyzer.setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
  }
  const unsigned processors = std::thread::hardware_concurrency();
  analyzer.setJobs(arguments.jobs > 0 ? arguments.jobs : static_cast<int32_t>(processors > 0 ? processors : 1));
  analyzer.setKeepGoing(options.keepGoing);
  analyzer.setSkippedFileHandler([&statusLine](const SkippedFileRecord& file) {
    statusLine.clear();
    // A directory that could not be listed has no file name.
    const std::string path = file.fileName.empty() ? file.dirName : joinPath(file.dirName, file.fileName);
    printLine(stderr, "skipped " + path + ": error " +
                          std::to_string(file.number) + (file.source.empty() ? "" : " (" + file.source + ")") + ": " +
                          file.description);
    statusLine.redraw();
  });

  // The findings beside the rows: as a SARIF log, as lines for the terminal.
  std::unique_ptr<SarifLog> sarif;
  std::unique_ptr<FindingList> findingList;
  if (arguments.listFindings) {
    findingList = std::make_unique<FindingList>(arguments.path, !target.isDirectory);
    outputMgr.addFindingWriter(*findingList);
  }

  std::string failure;
  try {
    if (arguments.format == ReportFormat::kSarif && !arguments.dryRun) {
      sarif = std::make_unique<SarifLog>(arguments.output, target.dirName, "rzt-cli", RZT_VERSION);
      outputMgr.addFindingWriter(*sarif);
    }
    analyzer.init(&outputMgr, options);
    if (target.isDirectory) {
      analyzer.doAnalysisDir(target.dirName, arguments.recursive);
    } else {
      analyzer.doAnalysisFile(target.dirName, target.fileName);
    }
    if (sarif) {
      if (const Comparison* comparison = comparer.lastComparison()) {
        writeBaselineStates(*sarif, *comparison, outputMgr.diagnosisRules());
      }
      sarif->close(outputMgr.diagnosisRules());
    }
  } catch (const RztError& e) {
    failure = "error " + std::to_string(e.number()) + (e.source().empty() ? "" : " (" + e.source() + ")") +
              ": " + e.fullDescription();
  } catch (const std::exception& e) {
    failure = std::string("error: ") + e.what();
  }
  statusLine.finish();

  if (!failure.empty()) {
    printLine(stderr, failure);
    if (!analyzer.currentFile().empty()) printLine(stderr, "while analysing " + analyzer.currentFile());
    if (outputMgr.hasWorkbook()) {
      try {
        outputMgr.finishedWithError();
        if (sarif) {
          sarif->setPartial(failure);
          sarif->close(outputMgr.diagnosisRules());
        }
        if (!arguments.dryRun) {
          const std::string partial = toStandardOutput ? arguments.output : partialReportPath(arguments.output).string();
          printLine(stderr, "the rows so far were written to " + reportLocation(arguments.format, partial) +
                                ", without summary");
        }
      } catch (const RztError& e) {
        printLine(stderr, "error " + std::to_string(e.number()) + ": " + e.description());
      } catch (const std::exception& e) {
        printLine(stderr, std::string("error: ") + e.what());
      }
    }
    if (findingList) findingList->print(toStandardOutput ? stderr : stdout);
    return kExitError;
  }

  // Standard output already holds the report itself, which has the summary.
  const Comparison* comparison = comparer.lastComparison();
  if (!toStandardOutput) {
    const std::string table = summaryTable(outputMgr.summary());
    std::fwrite(table.data(), 1, table.size(), stdout);
    if (comparison) std::fprintf(stdout, "%s\n", comparisonSummaryLine(comparison->counts()).c_str());
  } else if (comparison) {
    printLine(stderr, comparisonSummaryLine(comparison->counts()));
  }
  // Standard output holds the JSON report with -o -: the list goes beside it.
  if (findingList) findingList->print(toStandardOutput ? stderr : stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    printLine(stderr, "standard output: " + std::string(std::strerror(errno)));
    return kExitError;
  }
  const int32_t skippedFiles = analyzer.skippedFileCount();
  const int32_t skippedDirectories = analyzer.skippedDirectoryCount();
  if (skippedFiles > 0 || skippedDirectories > 0) {
    std::string what;
    if (skippedFiles > 0) what = std::to_string(skippedFiles) + (skippedFiles == 1 ? " file" : " files");
    if (skippedDirectories > 0) {
      if (!what.empty()) what += " and ";
      what += std::to_string(skippedDirectories) + (skippedDirectories == 1 ? " folder" : " folders");
    }
    printLine(stderr, what + " skipped" + (arguments.dryRun ? "" : ", listed on the sheet \"エラー\""));
    return kExitError;
  }
  if (arguments.failOnFindings && comparison) {
    // Against an earlier report, only what got worse fails the gate.
    const std::vector<std::string> lines = gateFindingLines(*comparison);
    if (lines.empty()) return kExitOk;
    for (const std::string& line : lines) printLine(stderr, line);
    const size_t count = lines.size();
    printLine(stderr, std::to_string(count) + (count == 1 ? " finding" : " findings") +
                          " new or worse than in " + arguments.compare +
                          (arguments.dryRun ? "" : ", listed on the sheet \"比較\""));
    return kExitFindings;
  }
  if (const int32_t findings = outputMgr.findingCount(); arguments.failOnFindings && findings > 0) {
    printLine(stderr, std::to_string(findings) + (findings == 1 ? " finding" : " findings") +
                          " on the \"診断\" sheet");
    return kExitFindings;
  }
  return kExitOk;
}
