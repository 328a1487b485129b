// End-to-end runs of rzt-cli writing the findings as a SARIF log, checked
// against the SARIF 2.1.0 schema, and listing them for the terminal.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedJavaTree.h"
#include "RunCli.h"
#include "TestSupport.h"
#include "TextReportReader.h"
#include "reading/TextDecoding.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

using test::JsonValue;

const JsonValue& at(const JsonValue& v, const std::string& name) {
  const JsonValue* m = v.member(name);
  if (m == nullptr) {
    ADD_FAILURE() << "no member " << name;
    static const JsonValue none;
    return none;
  }
  return *m;
}

std::string textOf(const JsonValue* v) { return v == nullptr ? "" : v->type == JsonValue::Type::kNumber ? std::to_string(v->number) : v->text; }

// Runs the schema's validator over a log: its exit status and what it said.
struct Validation {
  int status = -1;
  std::string output;
};
Validation validateSarif(const fs::path& log) {
  test::TempDir capture;
  const fs::path out = capture.path() / "out";
  const std::string command = std::string("'") + RZT_NODE_PATH + "' '" + RZT_SARIF_VALIDATE_JS + "' '" + log.string() +
                              "' >'" + out.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readFile(out)};
}

void expectValidSarif(const fs::path& log) {
  const Validation v = validateSarif(log);
  EXPECT_EQ(0, v.status) << v.output;
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

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    // Lines as editors count them: LF, CR LF and a lone CR end one.
    if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
      lines.push_back(text.substr(start, i - start));
      if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  return lines;
}

// The log is the sheet "診断": one result per finding row, in order, its
// message the row's text with its value and threshold, placed in the file
// the row names, at a line that holds the method's or class's name.
void expectLogIsTheDiagnosis(const JsonValue& log, const JsonValue& report, const fs::path& root) {
  ASSERT_EQ(1u, at(log, "runs").items.size());
  const JsonValue& run = at(log, "runs").items[0];
  EXPECT_EQ("rzt-cli", at(at(at(run, "tool"), "driver"), "name").text);
  EXPECT_EQ(RZT_VERSION, at(at(at(run, "tool"), "driver"), "version").text);
  EXPECT_EQ("file://" + fs::absolute(root).lexically_normal().string() + "/",
            at(at(at(run, "originalUriBaseIds"), "SRCROOT"), "uri").text);
  const JsonValue& rows = at(report, "診断");
  const JsonValue& results = at(run, "results");
  ASSERT_EQ(rows.items.size(), results.items.size());
  ASSERT_GT(results.items.size(), 3u);
  for (size_t i = 0; i < rows.items.size(); ++i) {
    SCOPED_TRACE("result " + std::to_string(i));
    const JsonValue& row = rows.items[i];
    const JsonValue& r = results.items[i];
    const std::string message = at(at(r, "message"), "text").text;
    const std::string value = textOf(row.member("値"));
    EXPECT_EQ(0u, message.find(textOf(row.member("診断")) + " (" + std::to_string(std::stoi(value)) + " "))
        << message;
    const JsonValue& physical = at(at(r, "locations").items.at(0), "physicalLocation");
    const std::string relative = percentDecoded(at(at(physical, "artifactLocation"), "uri").text);
    EXPECT_EQ(textOf(row.member("ﾌｧｲﾙ名")), fs::path(relative).filename().string());
    const auto line = static_cast<size_t>(at(at(physical, "region"), "startLine").number);
    const std::vector<std::string> lines = linesOf(test::readFile(root / relative));
    ASSERT_GE(line, 1u);
    ASSERT_LE(line, lines.size());
    const std::string level = textOf(row.member("区分"));
    if (level == "[Method]") {
      EXPECT_NE(std::string::npos, lines[line - 1].find(textOf(row.member("ﾒｿｯﾄﾞ名")))) << lines[line - 1];
    } else if (level == "[Class]") {
      std::string simple = textOf(row.member("ｸﾗｽ名"));
      simple = simple.substr(simple.rfind('$') + 1);
      EXPECT_NE(std::string::npos, lines[line - 1].find(simple)) << lines[line - 1];
    } else {
      EXPECT_EQ(1u, line);
    }
  }
}

class RztCliSarifTest : public ::testing::TestWithParam<bool> {};

TEST_P(RztCliSarifTest, WritesTheDiagnosisOfTheExamplesAsAValidLog) {
  const bool modern = GetParam();
  test::TempDir out;
  std::vector<std::string> args = {"-r", "-q", "--threshold", "MMaxStatement=8", "--threshold", "CMaxPubAttr=1"};
  if (modern) args.insert(args.end(), {"--syntax", "modern"});
  std::vector<std::string> sarifArgs = args, jsonArgs = args;
  sarifArgs.insert(sarifArgs.end(), {"-o", (out.path() / "rzt.sarif").string(), "examples"});
  jsonArgs.insert(jsonArgs.end(), {"-o", (out.path() / "rzt.json").string(), "examples"});
  const RunResult sarif = runCli(sarifArgs, RZT_SOURCE_DIR);
  ASSERT_EQ(0, sarif.status) << sarif.err;
  const RunResult json = runCli(jsonArgs, RZT_SOURCE_DIR);
  ASSERT_EQ(0, json.status) << json.err;
  // The same summary either way; the log is the only file written.
  EXPECT_EQ(json.out, sarif.out);
  expectValidSarif(out.path() / "rzt.sarif");
  const std::string bytes = test::readFile(out.path() / "rzt.sarif");
  EXPECT_TRUE(isValidUtf8(bytes));
  expectLogIsTheDiagnosis(test::parseJson(bytes), test::parseJson(test::readFile(out.path() / "rzt.json")),
                          fs::path(RZT_SOURCE_DIR) / "examples");
}

INSTANTIATE_TEST_SUITE_P(Syntaxes, RztCliSarifTest, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Modern" : "Classic"); });

// Names that a URI cannot hold as they are, and a tree of generated files.
TEST(RztCliSarif, EncodesHostileNamesAndStaysValid) {
  test::TempDir root;
  const std::vector<std::string> names = {"with space/A B.java", "100%/P#q?.java", "\xE6\x97\xA5\xE6\x9C\xAC/N.java",
                                          "bad\xFF\xFE/X.java", "c:d/E.java", "lf\nin/F.java"};
  for (size_t i = 0; i < names.size(); ++i) {
    root.write(names[i], "class K" + std::to_string(i) + " {\r\n  void m() {\r\n    a(); b();\r\n  }\r\n}\r\n");
  }
  test::generateJavaTree(root.path() / "gen", 12, 7);
  test::TempDir out;
  const fs::path log = out.path() / "h.sarif";
  const RunResult run = runCli({"-r", "-q", "-j", "2", "--threshold", "MMaxStatement=1", "-o", log.string(),
                                root.str()},
                               out.path());
  ASSERT_EQ(0, run.status) << run.err;
  expectValidSarif(log);
  const JsonValue doc = test::parseJson(test::readFile(log));
  std::vector<std::string> found;
  for (const JsonValue& r : at(at(doc, "runs").items.at(0), "results").items) {
    const JsonValue& physical = at(at(r, "locations").items.at(0), "physicalLocation");
    const std::string uri = at(at(physical, "artifactLocation"), "uri").text;
    for (char c : uri) EXPECT_TRUE(c > 0x20 && c < 0x7F && c != '#' && c != '?' && c != ' ') << uri;
    const std::string path = percentDecoded(uri);
    EXPECT_TRUE(fs::exists(root.path() / path)) << uri;
    if (at(r, "ruleId").text == "MMaxStatement" && path.rfind("gen/", 0) != 0) {
      found.push_back(path);
      EXPECT_EQ(2, at(at(physical, "region"), "startLine").number) << uri;
    }
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, found);
}

TEST(RztCliSarif, APartialRunWritesAPartialLog) {
  test::TempDir root;
  root.write("a.java", "class A {\n  void m() { x(); }\n}\n");
  root.write("b.java", test::failingJavaFile().text);
  test::TempDir out;
  out.write("r.sarif", "previous");
  const RunResult run = runCli({"-q", "--threshold", "MMaxStatement=1", "-o", "r.sarif", root.str()}, out.path());
  EXPECT_EQ(1, run.status) << run.err;
  EXPECT_EQ("previous", test::readFile(out.path() / "r.sarif"));
  ASSERT_TRUE(fs::exists(out.path() / "r-partial.sarif")) << run.err;
  expectValidSarif(out.path() / "r-partial.sarif");
  const JsonValue doc = test::parseJson(test::readFile(out.path() / "r-partial.sarif"));
  const JsonValue& run0 = at(doc, "runs").items.at(0);
  EXPECT_FALSE(at(at(run0, "invocations").items.at(0), "executionSuccessful").boolean);
  // The findings of the file finished before the error.
  EXPECT_FALSE(at(run0, "results").items.empty());
}

TEST(RztCliSarif, RefusesALogWithoutTheDiagnosis) {
  test::TempDir out;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--no-diagnosis", "-o", "r.sarif", "examples"},
        std::vector<std::string>{"--no-diagnosis", "--list-findings", "examples"}}) {
    const RunResult run = runCli(args, RZT_SOURCE_DIR);
    EXPECT_EQ(2, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("--no-diagnosis")) << run.err;
  }
  EXPECT_FALSE(fs::exists(fs::path(RZT_SOURCE_DIR) / "r.sarif"));
}

TEST(RztCliSarif, ADryRunWritesNoLog) {
  test::TempDir out;
  const RunResult run = runCli({"-r", "-q", "--dry-run", "-o", "r.sarif", (fs::path(RZT_SOURCE_DIR) / "examples").string()},
                               out.path());
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(fs::is_empty(out.path()));
}

// "path:line: [Level] name: text (value)", the path as PATH reaches it.
struct ListedFinding {
  std::string path;
  size_t line = 0;
  std::string level, name, message;
};

bool parseListed(const std::string& line, ListedFinding& f) {
  const size_t level = line.find(": [");
  if (level == std::string::npos) return false;
  const size_t colon = line.rfind(':', level - 1);
  if (colon == std::string::npos) return false;
  f.path = line.substr(0, colon);
  f.line = std::stoul(line.substr(colon + 1, level - colon - 1));
  const size_t close = line.find("] ", level);
  f.level = line.substr(level + 2, close - level - 1);
  const size_t name = line.find(": ", close);
  f.name = line.substr(close + 2, name - close - 2);
  f.message = line.substr(name + 2);
  return true;
}

TEST(RztCliListFindings, PrintsEachFindingAsPathAndLineAfterTheSummary) {
  test::TempDir out;
  const fs::path json = out.path() / "r.json";
  const RunResult run = runCli({"-r", "-q", "--list-findings", "--threshold", "MMaxStatement=8", "-o", json.string(),
                                "examples"},
                               RZT_SOURCE_DIR);
  ASSERT_EQ(0, run.status) << run.err;
  const JsonValue report = test::parseJson(test::readFile(json));
  const JsonValue& rows = at(report, "診断");
  // The summary, then one line per finding.
  const size_t listed = run.out.find("examples/");
  ASSERT_NE(std::string::npos, listed) << run.out;
  EXPECT_NE(std::string::npos, run.out.substr(0, listed).find("平均コメント比率"));
  std::vector<std::string> lines;
  for (size_t start = listed, end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(run.out.substr(start, end - start));
  }
  ASSERT_EQ(rows.items.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    ListedFinding f;
    ASSERT_TRUE(parseListed(lines[i], f));
    const JsonValue& row = rows.items[i];
    EXPECT_EQ(textOf(row.member("区分")), f.level);
    const std::string value = std::to_string(std::stoi(textOf(row.member("値"))));
    EXPECT_EQ(textOf(row.member("診断")) + " (" + value + ")", f.message);
    // The path is reachable from where rzt-cli ran, as given.
    EXPECT_EQ(0u, f.path.find("examples/"));
    EXPECT_EQ(textOf(row.member("ﾌｧｲﾙ名")), fs::path(f.path).filename().string());
    const std::vector<std::string> source = linesOf(test::readFile(fs::path(RZT_SOURCE_DIR) / f.path));
    ASSERT_LE(f.line, source.size());
    if (f.level == "[Method]") {
      const std::string method = textOf(row.member("ﾒｿｯﾄﾞ名"));
      EXPECT_EQ(textOf(row.member("ｸﾗｽ名")) + "." + method, f.name);
      EXPECT_NE(std::string::npos, source[f.line - 1].find(method));
    } else if (f.level == "[Class]") {
      EXPECT_EQ(textOf(row.member("ｸﾗｽ名")), f.name);
    } else {
      EXPECT_EQ(1u, f.line);
    }
  }
}

TEST(RztCliListFindings, GoesToStandardErrorBesideAJsonOnStandardOutput) {
  test::TempDir root;
  root.write("A.java", "class A {\n\n  void m() { a(); }\n}\n");
  const RunResult run = runCli({"-q", "--list-findings", "--threshold", "MMaxStatement=1", "-o", "-", "A.java"},
                               root.path());
  ASSERT_EQ(0, run.status) << run.err;
  const JsonValue report = test::parseJson(run.out);  // nothing but the report
  EXPECT_EQ(2u, at(report, "診断").items.size());
  EXPECT_NE(std::string::npos, run.err.find("A.java:3: [Method] A.m: ステートメントが多過ぎます (1)\n")) << run.err;
  EXPECT_NE(std::string::npos, run.err.find("A.java:1: [File] A.java: コメントが少な過ぎます (0)\n")) << run.err;
}

TEST(RztCliListFindings, KeepsEachFindingOnOneSafeLine) {
  test::TempDir root;
  root.write("d\x1b[2J\n/A.java", "class A {\n  void m() { a(); }\n}\n");
  const RunResult run = runCli({"-q", "--list-findings", "--dry-run", "--threshold", "MMaxStatement=1", "-r", "."},
                               root.path());
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("./d?[2J?/A.java:2: [Method] A.m: ステートメントが多過ぎます (1)\n"))
      << run.out;
  EXPECT_EQ(std::string::npos, run.out.find('\x1b'));
}

}  // namespace
}  // namespace rzt
