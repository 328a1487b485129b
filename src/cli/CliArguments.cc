#include "cli/CliArguments.h"

#include <iconv.h>

#include <optional>
#include <string_view>
#include <tuple>

#include "options/OptionValues.h"

namespace rzt {
namespace {

// Whether iconv can read source files written in the encoding.
// (iconv takes the empty name for the locale's own encoding; it is refused
// before this.)
bool isKnownEncoding(const std::string& encoding) {
  if (encoding == "auto") return true;
  iconv_t descriptor = iconv_open("UTF-8", encoding.c_str());
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(descriptor);
  return true;
}

// Whether a value given on the command line is a whole number in the range
// of an option field: an optional sign and decimal digits, nothing else.
// (The option dialog reads its fields more leniently, as typed text.)
bool isOptionNumber(std::string_view text) {
  size_t at = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (at == text.size()) return false;
  int32_t value = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 32768) return false;
  }
  return text[0] == '-' ? value <= 32768 : value <= 32767;
}

std::string checkThreshold(const std::string& setting, std::pair<std::string, std::string>& parsed) {
  const size_t equals = setting.find('=');
  if (equals == std::string::npos || equals == 0) {
    return "--threshold needs NAME=VALUE, not '" + setting + "'";
  }
  parsed = {setting.substr(0, equals), setting.substr(equals + 1)};
  OptionValues probe;
  if (probe.fieldByName(parsed.first) == nullptr) {
    return "unknown threshold '" + parsed.first + "' (see --help for the names)";
  }
  if (!isOptionNumber(parsed.second)) {
    return "--threshold " + parsed.first + ": '" + parsed.second + "' is not a whole number in -32768..32767";
  }
  return {};
}

// Reads the number of threads of -j: a plain decimal number, 1..256.
bool readJobs(const std::string& text, int32_t& jobs) {
  if (text.empty() || text.size() > 3) return false;
  int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 256) return false;
  jobs = value;
  return true;
}

// Splits "--name=value" into its two halves; a word without "=" has no value.
std::pair<std::string_view, std::optional<std::string_view>> splitLongOption(std::string_view word) {
  const size_t equals = word.find('=');
  if (equals == std::string_view::npos) return {word, std::nullopt};
  return {word.substr(0, equals), word.substr(equals + 1)};
}

}  // namespace

CliParseResult parseCliArguments(const std::vector<std::string>& args) {
  CliParseResult result;
  CliArguments& a = result.arguments;
  bool pathSeen = false;
  bool optionsEnded = false;

  auto fail = [&](std::string message) {
    result.error = std::move(message);
    return result;
  };

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    const bool isOption = !optionsEnded && word.size() > 1 && word[0] == '-';
    if (!isOption) {
      if (pathSeen) return fail("only one PATH may be given ('" + a.path + "' and '" + word + "')");
      a.path = word;
      pathSeen = true;
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }

    // Plain variables, not a structured binding: the lambdas below capture them.
    std::string_view name;
    std::optional<std::string_view> inlineValue;
    std::tie(name, inlineValue) = splitLongOption(word);
    if (word.size() > 2 && word[0] == '-' && word[1] == 'o') {
      // "-oFILE"
      name = "-o";
      inlineValue = std::string_view(word).substr(2);
    } else if (word.size() > 2 && word[0] == '-' && word[1] == 'j') {
      // "-jN"
      name = "-j";
      inlineValue = std::string_view(word).substr(2);
    } else if (word[1] != '-') {
      inlineValue.reset();
      name = word;
    }
    // The value of an option: after "=" or in the next argument.
    auto takeValue = [&](std::string& out) -> bool {
      if (inlineValue) {
        out.assign(*inlineValue);
        return true;
      }
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    auto noValue = [&]() { return !inlineValue.has_value(); };

    if ((name == "-h" || name == "--help") && noValue()) {
      a.help = true;
    } else if (name == "--version" && noValue()) {
      a.version = true;
    } else if ((name == "-q" || name == "--quiet") && noValue()) {
      a.quiet = true;
    } else if (name == "--fail-on-findings" && noValue()) {
      a.failOnFindings = true;
    } else if (name == "--list-findings" && noValue()) {
      a.listFindings = true;
    } else if ((name == "-r" || name == "--recursive") && noValue()) {
      a.recursive = true;
    } else if (name == "--no-diagnosis" && noValue()) {
      a.diagnosis = false;
    } else if (name == "-o" || name == "--output") {
      if (!takeValue(a.output)) return fail(std::string(name) + " needs a FILE");
      if (a.output.empty()) return fail(std::string(name) + " needs a FILE, not an empty name");
    } else if (name == "--threshold") {
      std::string setting;
      if (!takeValue(setting)) return fail("--threshold needs NAME=VALUE");
      std::pair<std::string, std::string> parsed;
      if (std::string error = checkThreshold(setting, parsed); !error.empty()) return fail(error);
      a.thresholds.push_back(std::move(parsed));
    } else if (name == "--zoom") {
      std::string zoom;
      if (!takeValue(zoom)) return fail("--zoom needs a percentage");
      if (!isOptionNumber(zoom)) return fail("--zoom: '" + zoom + "' is not a whole number in -32768..32767");
      a.zoom = std::move(zoom);
    } else if (name == "--syntax") {
      std::string syntax;
      if (!takeValue(syntax)) return fail("--syntax needs classic or modern");
      if (syntax != "classic" && syntax != "modern") {
        return fail("--syntax is classic or modern, not '" + syntax + "'");
      }
      a.modernSyntax = syntax == "modern";
    } else if (name == "-j" || name == "--jobs") {
      std::string jobs;
      if (!takeValue(jobs)) return fail(std::string(name) + " needs a number of threads");
      if (!readJobs(jobs, a.jobs)) return fail(std::string(name) + ": '" + jobs + "' is not a number of threads, 1..256");
    } else if (name == "--compare") {
      if (!takeValue(a.compare)) return fail("--compare needs an earlier report (.json or .xlsx)");
      if (a.compare.empty()) return fail("--compare needs an earlier report, not an empty name");
    } else if (name == "--keep-going" && noValue()) {
      a.keepGoing = true;
    } else if (name == "--dry-run" && noValue()) {
      a.dryRun = true;
    } else if (name == "--encoding") {
      if (!takeValue(a.encoding) || a.encoding.empty()) return fail("--encoding needs a name");
      if (!isKnownEncoding(a.encoding)) return fail("unknown encoding '" + a.encoding + "'");
    } else {
      return fail("unknown option '" + word + "'");
    }
  }

  if (a.help || a.version) return result;
  if (!pathSeen) return fail("no PATH given");
  const std::optional<ReportFormat> format = reportFormatFor(a.output);
  if (!format) return fail("the report '" + a.output + "' must end in .xlsx, .json, .csv or .sarif (or be -)");
  a.format = *format;
  // A gate that can never close would report success for any code; a log
  // or a list of findings without the diagnosis would be empty for any code.
  if (a.failOnFindings && !a.diagnosis) return fail("--fail-on-findings needs the diagnosis: drop --no-diagnosis");
  if (a.format == ReportFormat::kSarif && !a.diagnosis) {
    return fail("a .sarif log holds the findings of the diagnosis: drop --no-diagnosis");
  }
  if (a.listFindings && !a.diagnosis) return fail("--list-findings needs the diagnosis: drop --no-diagnosis");
  return result;
}

void applyCliArguments(const CliArguments& arguments, OptionValues& options) {
  options.optDiag = arguments.diagnosis;
  for (const auto& [name, value] : arguments.thresholds) options.setField(name, value);
  if (arguments.zoom) options.txtExcelZoom = *arguments.zoom;
  options.encoding = arguments.encoding;
  options.keepGoing = arguments.keepGoing;
}

std::string cliUsageLine() { return "Usage: rzt-cli [OPTION]... PATH\n"; }

std::string cliHelpText() {
  return cliUsageLine() +
         "Measures the Java code in PATH (a .java file or a folder) into a report:\n"
         "  -o, --output FILE   the report, by its extension: .xlsx (rzt-report.xlsx by\n"
         "                      default), .json, .csv (r.csv: r-Summ.csv, ...), .sarif\n"
         "                      (the findings for code scanning), or - for JSON on stdout\n"
         "      --zoom N        zoom of the sheets in percent, 25..400 (else 80)\n"
         "      --compare FILE  add \"比較\": this report against an earlier .json or .xlsx\n"
         "  -q, --quiet         no progress line    --dry-run  analyse, write no report\n"
         "Analysis:\n"
         "  -r, --recursive     also analyse every directory below PATH\n"
         "      --encoding E    auto (UTF-8, else CP932), utf-8, cp932, an iconv name\n"
         "      --syntax S      classic (default: word level) or modern (syntax tree)\n"
         "  -j, --jobs N        analyse on N threads (default: one per processor)\n"
         "      --keep-going    skip the files that fail, listing them on \"エラー\"\n"
         "Diagnosis (--no-diagnosis: no \"診断\" sheet, no threshold is checked):\n"
         "      --threshold NAME=VALUE  a threshold (-32768..32767); NAME: FMaxClass\n"
         "                      FMaxLoc FMinCommentRate CMaxStatement CMaxPubMethod\n"
         "                      CMaxAveStatement CMaxPubAttr MMaxStatement MMaxMsgSend\n"
         "                      MMaxVariable MMaxBranch MMaxLoop, or a field: txtMLoop\n"
         "      --fail-on-findings  exit 3 on a finding (--compare: a new or worse one)\n"
         "      --list-findings  print them as path:line: ... (on stderr with -o -)\n"
         "  -h, --help          this text           --version  the version\n"
         "Exit status: 0 done; 1 an error (the rows so far go to NAME-partial.EXT) or\n"
         "files skipped; 2 bad usage, bad --compare FILE; 3 findings; 128+N signal N.\n";
}

}  // namespace rzt
