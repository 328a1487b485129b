#include "cli/CliArguments.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/TerminalText.h"
#include "options/OptionValues.h"

namespace rzt {
namespace {

// The arguments as one line, every field named, so a table row shows all.
std::string describe(const CliArguments& a) {
  std::ostringstream s;
  s << "help=" << a.help << " r=" << a.recursive << " o=" << a.output << " diag=" << a.diagnosis
    << " t=[";
  for (size_t i = 0; i < a.thresholds.size(); ++i) {
    s << (i ? "," : "") << a.thresholds[i].first << "=" << a.thresholds[i].second;
  }
  s << "] zoom=" << (a.zoom ? *a.zoom : "-") << " enc=" << a.encoding << (a.modernSyntax ? " modern" : "")
    << (a.quiet ? " quiet" : "") << (a.version ? " version" : "") << (a.failOnFindings ? " gate" : "")
    << (a.listFindings ? " list" : "") << (a.compare.empty() ? "" : " compare=" + a.compare)
    << (a.format == ReportFormat::kJson   ? " json"
        : a.format == ReportFormat::kCsv  ? " csv"
        : a.format == ReportFormat::kSarif ? " sarif"
                                           : "")
    << " path=" << a.path;
  return s.str();
}

struct ParseCase {
  std::vector<std::string> args;
  // The description for good usage; for bad usage "!" and a part of the error.
  std::string expected;
};

const std::string kDefaults = " o=rzt-report.xlsx diag=1 t=[] zoom=- enc=auto";

std::vector<ParseCase> parseCases() {
  return {
      // Good usage.
      {{"src"}, "help=0 r=0" + kDefaults + " path=src"},
      {{"-r", "src"}, "help=0 r=1" + kDefaults + " path=src"},
      {{"src", "--recursive"}, "help=0 r=1" + kDefaults + " path=src"},
      {{"-o", "out.xlsx", "src"}, "help=0 r=0 o=out.xlsx diag=1 t=[] zoom=- enc=auto path=src"},
      {{"-oout.xlsx", "src"}, "help=0 r=0 o=out.xlsx diag=1 t=[] zoom=- enc=auto path=src"},
      {{"--output=a b.xlsx", "src"}, "help=0 r=0 o=a b.xlsx diag=1 t=[] zoom=- enc=auto path=src"},
      {{"--output", "x/y.xlsx", "-o", "z.xlsx", "src"},
       "help=0 r=0 o=z.xlsx diag=1 t=[] zoom=- enc=auto path=src"},
      {{"--no-diagnosis", "src"}, "help=0 r=0 o=rzt-report.xlsx diag=0 t=[] zoom=- enc=auto path=src"},
      {{"--threshold", "MMaxStatement=40", "--threshold=txtFLoc=1000", "src"},
       "help=0 r=0 o=rzt-report.xlsx diag=1 t=[MMaxStatement=40,txtFLoc=1000] zoom=- enc=auto path=src"},
      {{"--threshold", "FMinCommentRate=-5", "src"},
       "help=0 r=0 o=rzt-report.xlsx diag=1 t=[FMinCommentRate=-5] zoom=- enc=auto path=src"},
      {{"--threshold", "MMaxLoop=+007", "--threshold", "CMaxPubAttr=-32768", "--threshold", "FMaxLoc=32767", "src"},
       "help=0 r=0 o=rzt-report.xlsx diag=1 t=[MMaxLoop=+007,CMaxPubAttr=-32768,FMaxLoc=32767] zoom=- enc=auto path=src"},
      {{"--zoom", "150", "src"}, "help=0 r=0 o=rzt-report.xlsx diag=1 t=[] zoom=150 enc=auto path=src"},
      {{"--zoom=1000", "src"}, "help=0 r=0 o=rzt-report.xlsx diag=1 t=[] zoom=1000 enc=auto path=src"},
      {{"--encoding", "cp932", "src"}, "help=0 r=0 o=rzt-report.xlsx diag=1 t=[] zoom=- enc=cp932 path=src"},
      {{"--encoding=UTF-8", "src"}, "help=0 r=0 o=rzt-report.xlsx diag=1 t=[] zoom=- enc=UTF-8 path=src"},
      {{"--syntax", "modern", "src"}, "help=0 r=0" + kDefaults + " modern path=src"},
      {{"--syntax=modern", "--syntax=classic", "src"}, "help=0 r=0" + kDefaults + " path=src"},
      {{"--", "-odd"}, "help=0 r=0" + kDefaults + " path=-odd"},
      {{"-"}, "help=0 r=0" + kDefaults + " path=-"},
      {{"--help"}, "help=1 r=0" + kDefaults + " path="},
      {{"-q", "src"}, "help=0 r=0" + kDefaults + " quiet path=src"},
      {{"--quiet", "src"}, "help=0 r=0" + kDefaults + " quiet path=src"},
      {{"--version"}, "help=0 r=0" + kDefaults + " version path="},
      {{"--fail-on-findings", "src"}, "help=0 r=0" + kDefaults + " gate path=src"},
      // The format follows the extension, whatever its case.
      {{"-o", "r.json", "src"}, "help=0 r=0 o=r.json diag=1 t=[] zoom=- enc=auto json path=src"},
      {{"-o", "out/R.JSON", "src"}, "help=0 r=0 o=out/R.JSON diag=1 t=[] zoom=- enc=auto json path=src"},
      {{"-o", "r.Csv", "src"}, "help=0 r=0 o=r.Csv diag=1 t=[] zoom=- enc=auto csv path=src"},
      {{"-o", "a.csv.XLSX", "src"}, "help=0 r=0 o=a.csv.XLSX diag=1 t=[] zoom=- enc=auto path=src"},
      {{"-o", "-", "src"}, "help=0 r=0 o=- diag=1 t=[] zoom=- enc=auto json path=src"},
      {{"-o-", "src"}, "help=0 r=0 o=- diag=1 t=[] zoom=- enc=auto json path=src"},
      {{"-o", "ci/rzt.sarif", "src"}, "help=0 r=0 o=ci/rzt.sarif diag=1 t=[] zoom=- enc=auto sarif path=src"},
      {{"-o", "R.SARIF", "src"}, "help=0 r=0 o=R.SARIF diag=1 t=[] zoom=- enc=auto sarif path=src"},
      {{"--list-findings", "src"}, "help=0 r=0" + kDefaults + " list path=src"},
      {{"--list-findings", "-o", "-", "src"}, "help=0 r=0 o=- diag=1 t=[] zoom=- enc=auto list json path=src"},
      {{"-h", "src"}, "help=1 r=0" + kDefaults + " path=src"},
      {{"--compare", "last.json", "src"}, "help=0 r=0" + kDefaults + " compare=last.json path=src"},
      {{"--compare=-", "src"}, "help=0 r=0" + kDefaults + " compare=- path=src"},
      // Bad usage.
      {{}, "!no PATH"},
      {{"-r"}, "!no PATH"},
      {{"a", "b"}, "!only one PATH"},
      {{"-x", "src"}, "!unknown option '-x'"},
      {{"-rR", "src"}, "!unknown option '-rR'"},
      {{"--recursive=yes", "src"}, "!unknown option '--recursive=yes'"},
      {{"--help=1"}, "!unknown option '--help=1'"},
      {{"--out", "x", "src"}, "!unknown option '--out'"},
      {{"src", "-o"}, "!-o needs a FILE"},
      {{"--output=", "src"}, "!--output needs a FILE"},
      {{"--threshold", "MMaxStatement", "src"}, "!--threshold needs NAME=VALUE"},
      {{"--threshold", "=5", "src"}, "!--threshold needs NAME=VALUE"},
      {{"src", "--threshold"}, "!--threshold needs NAME=VALUE"},
      {{"--threshold", "Bogus=1", "src"}, "!unknown threshold 'Bogus'"},
      {{"--threshold", "getMMaxStatement=1", "src"}, "!unknown threshold 'getMMaxStatement'"},
      {{"--threshold", "mmaxstatement=1", "src"}, "!unknown threshold 'mmaxstatement'"},
      // A value on the command line is an optional sign and decimal digits in range.
      {{"--threshold", "MMaxStatement=40000", "src"}, "!--threshold MMaxStatement: '40000' is not a whole number in -32768..32767"},
      {{"--threshold", "MMaxStatement=-32769", "src"}, "!'-32769' is not a whole number in -32768..32767"},
      {{"--threshold", "MMaxStatement=99999999999", "src"}, "!'99999999999' is not a whole number"},
      {{"--threshold", "MMaxLoop=abc", "src"}, "!--threshold MMaxLoop: 'abc' is not a whole number"},
      {{"--threshold", "MMaxLoop=", "src"}, "!--threshold MMaxLoop: '' is not a whole number"},
      {{"--threshold", "txtMLoop=4O", "src"}, "!--threshold txtMLoop: '4O' is not a whole number"},
      {{"--threshold", "CMaxPubAttr=&H10", "src"}, "!--threshold CMaxPubAttr: '&H10' is not a whole number"},
      {{"--threshold", "FMaxLoc=1e3", "src"}, "!--threshold FMaxLoc: '1e3' is not a whole number"},
      {{"--threshold", "FMaxLoc=2.5", "src"}, "!'2.5' is not a whole number"},
      {{"--threshold", "FMaxLoc= 5", "src"}, "!' 5' is not a whole number"},
      {{"--threshold", "FMaxLoc=-", "src"}, "!'-' is not a whole number"},
      {{"--threshold", "FMaxLoc=+-5", "src"}, "!'+-5' is not a whole number"},
      {{"--zoom", "99999", "src"}, "!--zoom: '99999' is not a whole number in -32768..32767"},
      {{"--zoom", "abc", "src"}, "!--zoom: 'abc' is not a whole number"},
      {{"--zoom=", "src"}, "!--zoom: '' is not a whole number"},
      {{"--zoom=1 0 0", "src"}, "!--zoom: '1 0 0' is not a whole number"},
      {{"--zoom=100%", "src"}, "!--zoom: '100%' is not a whole number"},
      {{"src", "--zoom"}, "!--zoom needs"},
      {{"--encoding", "no-such-encoding", "src"}, "!unknown encoding 'no-such-encoding'"},
      {{"--syntax", "java8", "src"}, "!--syntax is classic or modern, not 'java8'"},
      {{"src", "--syntax"}, "!--syntax needs classic or modern"},
      {{"--encoding=", "src"}, "!--encoding needs a name"},
      {{"src", "--compare"}, "!--compare needs an earlier report"},
      {{"--compare=", "src"}, "!--compare needs an earlier report, not an empty name"},
      {{"-o", "report.txt", "src"}, "!must end in .xlsx, .json, .csv or .sarif"},
      {{"-o", "report", "src"}, "!must end in .xlsx, .json, .csv or .sarif"},
      {{"-o", ".json", "src"}, "!must end in .xlsx, .json, .csv or .sarif"},
      {{"-o", "out/", "src"}, "!must end in .xlsx, .json, .csv or .sarif"},
      {{"--fail-on-findings", "--no-diagnosis", "src"}, "!--fail-on-findings needs the diagnosis"},
      {{"--no-diagnosis", "-o", "r.sarif", "src"}, "!a .sarif log holds the findings of the diagnosis"},
      {{"--list-findings", "--no-diagnosis", "src"}, "!--list-findings needs the diagnosis"},
      {{"--list-findings=yes", "src"}, "!unknown option '--list-findings=yes'"},
      {{"-o", ".sarif", "src"}, "!must end in .xlsx, .json, .csv or .sarif"},
      {{"--quiet=1", "src"}, "!unknown option '--quiet=1'"},
      {{"--version=2"}, "!unknown option '--version=2'"},
  };
}

void PrintTo(const ParseCase& c, std::ostream* out) {
  for (const std::string& arg : c.args) *out << arg << ' ';
}

class CliArgumentsParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CliArgumentsParse, ReadsOrRefuses) {
  const ParseCase& c = GetParam();
  const CliParseResult result = parseCliArguments(c.args);
  if (c.expected[0] == '!') {
    ASSERT_FALSE(result.ok()) << describe(result.arguments);
    EXPECT_NE(std::string::npos, result.error.find(c.expected.substr(1))) << result.error;
    EXPECT_EQ(std::string::npos, result.error.find('\n'));
  } else {
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(c.expected, describe(result.arguments));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CliArgumentsParse, ::testing::ValuesIn(parseCases()));

TEST(CliArguments, AppliedToTheOptionFields) {
  const CliParseResult result = parseCliArguments(
      {"--no-diagnosis", "--threshold", "MMaxStatement=40", "--threshold", "txtFLoc=-2",
       "--threshold", "MMaxStatement=41", "--zoom", "150", "--encoding", "cp932", "src"});
  ASSERT_TRUE(result.ok()) << result.error;
  OptionValues options;
  applyCliArguments(result.arguments, options);
  EXPECT_FALSE(options.diagIsOn());
  EXPECT_EQ(41, options.getMMaxStatement());  // the last one of a name wins
  EXPECT_EQ(-2, options.getFMaxLoc());
  EXPECT_EQ(150, options.getExcelZoom());
  EXPECT_EQ("cp932", options.encoding);
  // Untouched fields keep their defaults.
  EXPECT_EQ(30, options.getMMaxMsgSend());
  EXPECT_EQ(4, options.getFMaxClass());
}

TEST(CliArguments, DefaultsLeaveTheOptionsAtTheirDefaults) {
  const CliParseResult result = parseCliArguments({"src"});
  ASSERT_TRUE(result.ok());
  OptionValues options;
  applyCliArguments(result.arguments, options);
  OptionValues defaults;
  EXPECT_TRUE(options.diagIsOn());
  EXPECT_EQ(defaults.getExcelZoom(), options.getExcelZoom());
  EXPECT_EQ(defaults.getMMaxStatement(), options.getMMaxStatement());
  EXPECT_EQ("auto", options.encoding);
}

TEST(CliArguments, HelpNamesEveryOptionAndFitsOneScreen) {
  const std::string help = cliHelpText();
  for (const char* option : {"-r", "--output FILE", "--no-diagnosis", "--threshold NAME=VALUE", "--zoom N",
                             "--encoding E", "--syntax", "--help", "rzt-report.xlsx", "--version", "-q",
                             "--fail-on-findings", ".json", ".csv", "Exit status", "3 findings"}) {
    EXPECT_NE(std::string::npos, help.find(option)) << option;
  }
  // Every threshold getter name is listed.
  for (const char* name : {"FMaxClass", "FMaxLoc", "FMinCommentRate", "CMaxStatement", "CMaxPubMethod",
                           "CMaxAveStatement", "CMaxPubAttr", "MMaxStatement", "MMaxMsgSend",
                           "MMaxVariable", "MMaxBranch", "MMaxLoop", "txtMLoop"}) {
    EXPECT_NE(std::string::npos, help.find(name)) << name;
    OptionValues probe;
    EXPECT_NE(nullptr, probe.fieldByName(name)) << name;
  }
  size_t lines = 0;
  size_t start = 0;
  for (size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1) {
    ++lines;
    EXPECT_LE(terminalWidth(help.substr(start, end - start)), 79) << help.substr(start, end - start);
  }
  EXPECT_LE(lines, 24u);
}

}  // namespace
}  // namespace rzt
