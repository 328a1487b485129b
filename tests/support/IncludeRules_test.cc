// The layers of src/ include only from themselves and the layers below them:
// records sit below the analyzers and the report, so the report never reads
// an analyzer and the analyzers never name the driver's classes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
  std::string layer;                // a folder of src/
  std::set<std::string> mayInclude;  // the folders its files may include from
};

const std::vector<LayerRule> kRules = {
    {"support", {"support"}},
    {"records", {"records", "support"}},
    {"reading", {"reading", "support"}},
    {"options", {"options", "support"}},
    {"java", {"java", "reading", "records", "report", "support"}},
    {"report", {"report", "records", "options", "support"}},
    {"analysis", {"analysis", "java", "reading", "records", "report", "support"}},
};

void PrintTo(const LayerRule& rule, std::ostream* out) { *out << rule.layer; }

// Every "folder/..." include of the files of one folder, as "file: include".
std::vector<std::pair<std::string, std::string>> includesOf(const fs::path& folder) {
  static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"/]+)/[^"]*")");
  std::vector<std::pair<std::string, std::string>> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cc") continue;
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      std::smatch m;
      if (std::regex_search(line, m, kInclude)) found.emplace_back(entry.path().filename().string() + ": " + line, m[1]);
    }
  }
  return found;
}

class IncludeRules : public ::testing::TestWithParam<LayerRule> {};

TEST_P(IncludeRules, LayerIncludesOnlyFromItselfAndBelow) {
  const LayerRule& rule = GetParam();
  const fs::path folder = fs::path(RZT_SOURCE_DIR) / "src" / rule.layer;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  const auto includes = includesOf(folder);
  EXPECT_FALSE(includes.empty()) << "no include read in " << folder;
  for (const auto& [where, from] : includes) {
    EXPECT_TRUE(rule.mayInclude.count(from) == 1) << "src/" << rule.layer << "/" << where;
  }
}

INSTANTIATE_TEST_SUITE_P(Layers, IncludeRules, ::testing::ValuesIn(kRules),
                         [](const ::testing::TestParamInfo<LayerRule>& info) { return info.param.layer; });

}  // namespace
