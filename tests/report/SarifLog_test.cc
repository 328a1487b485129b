// The SARIF log of the findings: URIs, messages, the document read back,
// baseline states, partial logs and safe replacement.

#include "report/SarifLog.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "TextReportReader.h"
#include "options/OptionValues.h"
#include "reading/TextDecoding.h"
#include "report/ThresholdDiagnosis.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

using test::JsonValue;

struct UriCase {
  std::string path;
  std::string uri;
};

class SarifUriTest : public ::testing::TestWithParam<UriCase> {};

TEST_P(SarifUriTest, EncodesWhatAUriCannotHold) { EXPECT_EQ(GetParam().uri, sarifRelativeUri(GetParam().path)); }

INSTANTIATE_TEST_SUITE_P(
    Paths, SarifUriTest,
    ::testing::ValuesIn(std::vector<UriCase>{
        {"src/jp/A.java", "src/jp/A.java"},
        {"my dir/A B.java", "my%20dir/A%20B.java"},
        {"100%/a#b?c.java", "100%25/a%23b%3Fc.java"},
        {"\xE6\x97\xA5\xE6\x9C\xAC/A.java", "%E6%97%A5%E6%9C%AC/A.java"},
        {"bad\xFF\xFE/A.java", "bad%FF%FE/A.java"},  // not UTF-8
        {"c:/x.java", "c%3A/x.java"},                  // no scheme
        {"a+b$c,d;e=f@g!(h)'~_-.java", "a+b$c,d;e=f@g!(h)'~_-.java"},
        {"q\"<>\\^`{|}[]\t\n.java", "q%22%3C%3E%5C%5E%60%7B%7C%7D%5B%5D%09%0A.java"},
    }));

TEST(SarifUriTest, MakesAbsoluteFolderUris) {
  EXPECT_EQ("file:///work/src/", sarifFolderUri("/work/src"));
  EXPECT_EQ("file:///work/src/", sarifFolderUri("/work/src/"));
  EXPECT_EQ("file:///work/a%20b/%E6%97%A5/", sarifFolderUri("/work/a b/\xE6\x97\xA5"));
  EXPECT_EQ("file:///work/c/", sarifFolderUri("/work/./x/../c"));
  EXPECT_EQ("file:///", sarifFolderUri("/"));
}

// The rules of the default settings, with some thresholds changed.
std::vector<DiagnosisRule> rulesWith(const std::vector<std::pair<std::string, std::string>>& thresholds) {
  OptionValues options;
  for (const auto& [name, value] : thresholds) options.setField(name, value);
  ThresholdDiagnosis diagnosis;
  diagnosis.loadThresholds(options);
  return {diagnosis.rules().begin(), diagnosis.rules().end()};
}

const DiagnosisRule& ruleNamed(const std::vector<DiagnosisRule>& rules, std::string_view id) {
  for (const DiagnosisRule& r : rules) {
    if (r.id == id) return r;
  }
  ADD_FAILURE() << "no rule " << id;
  return rules.front();
}

TEST(SarifMessageTest, SaysTheValueAndTheThresholdReached) {
  const auto rules = rulesWith({{"MMaxStatement", "40"}, {"FMinCommentRate", "10"}, {"CMaxPubAttr", "1"}});
  Finding f;
  f.message = ruleNamed(rules, "MMaxStatement").message;
  f.rule = &ruleNamed(rules, "MMaxStatement");
  f.value = 52;
  EXPECT_EQ("ステートメントが多過ぎます (52 ≥ 40)", sarifMessage(f));
  f.rule = &ruleNamed(rules, "FMinCommentRate");
  f.message = f.rule->message;
  f.value = 3;
  EXPECT_EQ("コメントが少な過ぎます (3 ≤ 10)", sarifMessage(f));
  f.rule = &ruleNamed(rules, "CMaxPubAttr");
  f.message = f.rule->message;
  f.value = 1;
  EXPECT_EQ("公開属性があります (1 ≥ 1)", sarifMessage(f));
}

TEST(DiagnosisRulesTest, AreTheTwelveThresholdsInTheOrderOfTheOptions) {
  const auto rules = rulesWith({{"MMaxLoop", "-3"}, {"CMaxPubAttr", "5"}});
  std::vector<std::string> ids;
  for (const DiagnosisRule& r : rules) ids.emplace_back(r.id);
  EXPECT_EQ((std::vector<std::string>{"FMaxClass", "FMaxLoc", "FMinCommentRate", "CMaxStatement", "CMaxPubMethod",
                                      "CMaxAveStatement", "CMaxPubAttr", "MMaxStatement", "MMaxMsgSend",
                                      "MMaxVariable", "MMaxBranch", "MMaxLoop"}),
            ids);
  for (const DiagnosisRule& r : rules) {
    // Every id is the name --threshold takes.
    OptionValues probe;
    EXPECT_NE(nullptr, probe.fieldByName(r.id)) << r.id;
    EXPECT_EQ(r.id == "FMinCommentRate", r.lowerBound) << r.id;
  }
  EXPECT_EQ(-3, ruleNamed(rules, "MMaxLoop").threshold);
  EXPECT_EQ("公開属性が多過ぎます", ruleNamed(rules, "CMaxPubAttr").message);
  EXPECT_EQ(500, ruleNamed(rules, "FMaxLoc").threshold);
}

// Findings of every level, as the diagnosis makes them.
struct SampleFindings {
  std::vector<DiagnosisRule> rules = rulesWith({{"MMaxStatement", "40"}});
  std::string className = "Outer$Inner";
  std::string methodName = "run";
  std::vector<Finding> findings;

  explicit SampleFindings(std::string_view filePath = "jp/a b/A.java") {
    const DiagnosisRule& method = ruleNamed(rules, "MMaxStatement");
    const DiagnosisRule& cls = ruleNamed(rules, "CMaxPubAttr");
    const DiagnosisRule& file = ruleNamed(rules, "FMinCommentRate");
    findings.push_back({"jp", "A.java", &className, &methodName, method.level, method.message, 52, &method, filePath, 12});
    findings.push_back({"jp", "A.java", &className, nullptr, cls.level, cls.message, 2, &cls, filePath, 3});
    findings.push_back({"jp", "A.java", nullptr, nullptr, file.level, file.message, 4, &file, filePath, 1});
  }
};

JsonValue readLog(const fs::path& path) { return test::parseJson(test::readFile(path)); }

const JsonValue& at(const JsonValue& v, const std::string& name) {
  const JsonValue* m = v.member(name);
  if (m == nullptr) {
    ADD_FAILURE() << "no member " << name;
    static const JsonValue none;
    return none;
  }
  return *m;
}

TEST(SarifLogTest, WritesOneRunWithTheRulesAndOneResultPerFinding) {
  test::TempDir dir;
  const fs::path path = dir.path() / "out.sarif";
  SampleFindings sample;
  {
    SarifLog log(path, dir.path() / "src", "rzt-cli", "9.8.7");
    for (const Finding& f : sample.findings) log.writeFinding(f);
    log.close(sample.rules);
  }
  const JsonValue doc = readLog(path);
  EXPECT_EQ("2.1.0", at(doc, "version").text);
  ASSERT_EQ(1u, at(doc, "runs").items.size());
  const JsonValue& run = at(doc, "runs").items[0];
  const JsonValue& driver = at(at(run, "tool"), "driver");
  EXPECT_EQ("rzt-cli", at(driver, "name").text);
  EXPECT_EQ("9.8.7", at(driver, "version").text);
  const JsonValue& rules = at(driver, "rules");
  ASSERT_EQ(12u, rules.items.size());
  for (size_t i = 0; i < rules.items.size(); ++i) {
    const JsonValue& r = rules.items[i];
    EXPECT_EQ(sample.rules[i].id, at(r, "id").text);
    EXPECT_EQ(sample.rules[i].message, at(at(r, "shortDescription"), "text").text);
    EXPECT_EQ(sample.rules[i].threshold, at(at(r, "properties"), "threshold").number);
  }
  EXPECT_EQ("file://" + (dir.path() / "src").string() + "/", at(at(at(run, "originalUriBaseIds"), "SRCROOT"), "uri").text);
  EXPECT_TRUE(at(at(run, "invocations").items.at(0), "executionSuccessful").boolean);

  const JsonValue& results = at(run, "results");
  ASSERT_EQ(3u, results.items.size());
  const std::vector<std::string> ids = {"MMaxStatement", "CMaxPubAttr", "FMinCommentRate"};
  const std::vector<std::string> texts = {"ステートメントが多過ぎます (52 ≥ 40)", "公開属性があります (2 ≥ 1)",
                                          "コメントが少な過ぎます (4 ≤ 10)"};
  const std::vector<double> lines = {12, 3, 1};
  const std::vector<std::string> names = {"jp.Outer$Inner.run", "jp.Outer$Inner", ""};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const JsonValue& r = results.items[i];
    EXPECT_EQ(ids[i], at(r, "ruleId").text);
    EXPECT_EQ("warning", at(r, "level").text);
    EXPECT_EQ(texts[i], at(at(r, "message"), "text").text);
    EXPECT_EQ(nullptr, r.member("baselineState"));
    const JsonValue& location = at(r, "locations").items.at(0);
    const JsonValue& physical = at(location, "physicalLocation");
    EXPECT_EQ("jp/a%20b/A.java", at(at(physical, "artifactLocation"), "uri").text);
    EXPECT_EQ("SRCROOT", at(at(physical, "artifactLocation"), "uriBaseId").text);
    EXPECT_EQ(lines[i], at(at(physical, "region"), "startLine").number);
    if (names[i].empty()) {
      EXPECT_EQ(nullptr, location.member("logicalLocations"));
    } else {
      EXPECT_EQ(names[i], at(at(location, "logicalLocations").items.at(0), "fullyQualifiedName").text);
    }
  }
}

TEST(SarifLogTest, WritesBaselineStatesOnlyWhereGiven) {
  test::TempDir dir;
  const fs::path path = dir.path() / "b.sarif";
  SampleFindings sample;
  {
    SarifLog log(path, dir.path(), "rzt-cli", "1");
    log.writeFinding(sample.findings[0]);
    log.writeResult(sample.findings[1], BaselineState::kAbsent);
    log.writeFinding(sample.findings[2]);
    EXPECT_EQ(3u, log.resultCount());
    // States known only once the run is over.
    log.setBaselineState(0, BaselineState::kUnchanged);
    log.setBaselineState(2, BaselineState::kNew);
    EXPECT_THROW(log.setBaselineState(3, BaselineState::kNew), std::out_of_range);
    log.close(sample.rules);
  }
  const JsonValue doc = readLog(path);
  const JsonValue& results = at(at(doc, "runs").items.at(0), "results");
  ASSERT_EQ(3u, results.items.size());
  EXPECT_EQ("unchanged", at(results.items[0], "baselineState").text);
  EXPECT_EQ("absent", at(results.items[1], "baselineState").text);
  EXPECT_EQ("new", at(results.items[2], "baselineState").text);
  // The rest of each result stays as it was.
  EXPECT_EQ("MMaxStatement", at(results.items[0], "ruleId").text);
  EXPECT_EQ("FMinCommentRate", at(results.items[2], "ruleId").text);
}

TEST(SarifLogTest, IsTheSameForTheSameFindings) {
  test::TempDir dir;
  SampleFindings sample;
  std::array<std::string, 2> written;
  for (size_t i = 0; i < 2; ++i) {
    const fs::path path = dir.path() / ("s" + std::to_string(i) + ".sarif");
    SarifLog log(path, "/work/src", "rzt-cli", "1");
    for (const Finding& f : sample.findings) log.writeFinding(f);
    log.close(sample.rules);
    written[i] = test::readFile(path);
  }
  EXPECT_EQ(written[0], written[1]);
}

TEST(SarifLogTest, WritesNoResultsAsAnEmptyList) {
  test::TempDir dir;
  const fs::path path = dir.path() / "none.sarif";
  SarifLog log(path, dir.path(), "rzt-cli", "1");
  log.close(rulesWith({}));
  const JsonValue doc = readLog(path);
  EXPECT_TRUE(at(at(doc, "runs").items.at(0), "results").items.empty());
}

TEST(SarifLogTest, KeepsTheLogValidUtf8WhateverTheNames) {
  test::TempDir dir;
  const fs::path path = dir.path() / "u.sarif";
  SampleFindings sample("d\xFF/\x01\"q\".java");
  sample.className = "A\xC3\x28$\x7F\x1B[31m";
  {
    SarifLog log(path, dir.path(), "rzt-cli", "1");
    for (const Finding& f : sample.findings) log.writeFinding(f);
    log.close(sample.rules);
  }
  const std::string bytes = test::readFile(path);
  EXPECT_TRUE(isValidUtf8(bytes));
  const JsonValue doc = test::parseJson(bytes);
  const JsonValue& r = at(at(doc, "runs").items.at(0), "results").items.at(0);
  const JsonValue& physical = at(at(r, "locations").items.at(0), "physicalLocation");
  EXPECT_EQ("d%FF/%01%22q%22.java", at(at(physical, "artifactLocation"), "uri").text);
}

TEST(SarifLogTest, APartialLogTakesItsOwnNameAndSaysWhy) {
  test::TempDir dir;
  const fs::path path = dir.path() / "r.sarif";
  dir.write("r.sarif", "the previous log");
  SampleFindings sample;
  {
    SarifLog log(path, dir.path(), "rzt-cli", "1");
    log.writeFinding(sample.findings[0]);
    log.setPartial("error 500020: 解析の途中でEOFに到達しました");
    log.close(sample.rules);
    EXPECT_EQ(dir.path() / "r-partial.sarif", log.path());
  }
  EXPECT_EQ("the previous log", test::readFile(path));
  const JsonValue doc = readLog(dir.path() / "r-partial.sarif");
  const JsonValue& invocation = at(at(doc, "runs").items.at(0), "invocations").items.at(0);
  EXPECT_FALSE(at(invocation, "executionSuccessful").boolean);
  EXPECT_EQ("error 500020: 解析の途中でEOFに到達しました",
            at(at(at(invocation, "toolExecutionNotifications").items.at(0), "message"), "text").text);
  EXPECT_EQ(1u, at(at(doc, "runs").items.at(0), "results").items.size());
}

TEST(SarifLogTest, ReplacesAnExistingLogWholeAndLeavesNothingBeside) {
  test::TempDir dir;
  const fs::path path = dir.path() / "r.sarif";
  dir.write("r.sarif", "old");
  SampleFindings sample;
  {
    SarifLog log(path, dir.path(), "rzt-cli", "1");
    log.writeFinding(sample.findings[0]);
    // Until it is closed the old log stays.
    EXPECT_EQ("old", test::readFile(path));
    log.close(sample.rules);
  }
  EXPECT_EQ(1u, at(at(readLog(path), "runs").items.at(0), "results").items.size());
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  EXPECT_EQ(std::vector<std::string>{"r.sarif"}, names);
}

TEST(SarifLogTest, LeavesNothingWhenNeverClosed) {
  test::TempDir dir;
  {
    SarifLog log(dir.path() / "r.sarif", dir.path(), "rzt-cli", "1");
    log.writeFinding(SampleFindings().findings[0]);
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(SarifLogTest, RefusesAFolderThatIsNotThere) {
  test::TempDir dir;
  try {
    SarifLog log(dir.path() / "missing" / "r.sarif", dir.path(), "rzt-cli", "1");
    FAIL() << "made a log in a folder that is not there";
  } catch (const RztError& e) {
    EXPECT_EQ(kErrPathNotFound, e.number());
  }
}

}  // namespace
}  // namespace rzt
