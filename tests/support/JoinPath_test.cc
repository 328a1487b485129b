#include "support/JoinPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rzt {
namespace {

struct JoinCase {
  std::string dirName, name, path;
};

class JoinPathTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathTest, AddsASlashOnlyWhereTheDirectoryHasNone) {
  const JoinCase& c = GetParam();
  EXPECT_EQ(joinPath(c.dirName, c.name), c.path);
}

INSTANTIATE_TEST_SUITE_P(Paths, JoinPathTest,
                         ::testing::ValuesIn(std::vector<JoinCase>{
                             {"/src", "A.java", "/src/A.java"},
                             {"/src/", "A.java", "/src/A.java"},
                             {"/", "src", "/src"},
                             {"", "A.java", "/A.java"},
                             {"rel", "A.java", "rel/A.java"},
                             {"A/", "src", "A/src"},
                         }));

}  // namespace
}  // namespace rzt
