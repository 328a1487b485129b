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

namespace rzt {
namespace {

struct RelativeCase {
  std::string baseDir, dirName, fileName, path;
};

class RelativePathTest : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(RelativePathTest, TakesTheFoldersBelowTheBase) {
  const RelativeCase& c = GetParam();
  EXPECT_EQ(c.path, relativePath(c.baseDir, c.dirName, c.fileName));
}

INSTANTIATE_TEST_SUITE_P(Paths, RelativePathTest,
                         ::testing::ValuesIn(std::vector<RelativeCase>{
                             {"/src", "/src", "A.java", "A.java"},
                             {"/src", "/src/jp/a", "A.java", "jp/a/A.java"},
                             {"/src/", "/src/jp", "A.java", "jp/A.java"},
                             {"/", "/jp", "A.java", "jp/A.java"},
                             {".", "./jp", "A.java", "jp/A.java"},
                             {"rel", "rel/x y", "A.java", "x y/A.java"},
                             // Not below the base: the bare name.
                             {"/src", "/src2/jp", "A.java", "A.java"},
                             {"/src/jp", "/src", "A.java", "A.java"},
                             {"", "/src", "A.java", "A.java"},
                         }));

}  // namespace
}  // namespace rzt
