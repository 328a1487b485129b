#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/ReportOutput.h"

namespace rzt {

class OptionValues;

// What the command line of rzt-cli asks for.
struct CliArguments {
  bool help = false;
  bool version = false;                    // --version
  bool quiet = false;                      // -q: no progress line
  bool recursive = false;                  // -r: the directories below too
  std::string output = "rzt-report.xlsx";  // -o FILE
  ReportFormat format = ReportFormat::kXlsx;  // chosen by the name of FILE
  bool failOnFindings = false;             // --fail-on-findings: exit status 3
  bool listFindings = false;               // --list-findings: "path:line: ..." after the summary
  bool diagnosis = true;                   // --no-diagnosis turns it off
  // --threshold NAME=VALUE, in the order given; the last one of a name wins.
  std::vector<std::pair<std::string, std::string>> thresholds;
  std::optional<std::string> zoom;  // --zoom N, the text as given
  std::string encoding = "auto";    // --encoding E
  bool modernSyntax = false;        // --syntax modern: the syntax-tree analysis
  int32_t jobs = 0;                 // -j N: analysis threads; 0: one per processor
  bool keepGoing = false;           // --keep-going: skip the files that fail
  bool dryRun = false;              // --dry-run: analyse, print, write no report
  std::string compare;              // --compare FILE: an earlier report; empty for none
  std::string path;                 // the .java file or directory
};

// The outcome of reading a command line: the arguments, or a description of
// the bad usage (one line, without the program's name).
struct CliParseResult {
  CliArguments arguments;
  std::string error;
  bool ok() const { return error.empty(); }
};

// Reads the arguments that follow the program's name. Every value is checked
// here: threshold names and numbers, the zoom, the encoding, the report's
// extension; --help and --version need no PATH.
CliParseResult parseCliArguments(const std::vector<std::string>& args);

// Sets the report options that the arguments name; the arguments have been
// checked by parseCliArguments.
void applyCliArguments(const CliArguments& arguments, OptionValues& options);

// The one-line usage synopsis.
std::string cliUsageLine();
// The --help text: every option, in one screen.
std::string cliHelpText();

}  // namespace rzt
