#include "analysis/FileEnumeration.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

using Entry = std::pair<std::string, std::string>;  // directory, bare name

// Everything the enumeration hands out after prepare, in order.
std::vector<Entry> walk(FileEnumeration& files, int32_t expectedCount) {
  std::vector<Entry> entries;
  while (files.hasMoreFiles()) entries.emplace_back(files.nextDirName(), files.nextFileName());
  EXPECT_EQ(static_cast<size_t>(expectedCount), entries.size());
  EXPECT_FALSE(files.hasMoreFiles()) << "the end stays the end";
  return entries;
}

struct TreeCase {
  const char* name;
  std::vector<std::string> files;                            // relative paths, made with content
  std::vector<std::string> dirs;                             // extra empty directories
  std::vector<std::pair<std::string, std::string>> links;   // link path -> target as written
  std::string start;                                         // below the temporary folder
  bool subDir;
  // Expected entries; "@" in a directory stands for the temporary folder.
  std::vector<Entry> expected;
};

std::vector<TreeCase> treeCases() {
  return {
      {"DepthFirstSubdirectoriesSorted",
       {"A/b.java", "A/a.java", "A/Y/c.java", "A/X/d.java"}, {}, {}, "A", true,
       {{"@/A", "a.java"}, {"@/A", "b.java"}, {"@/A/X", "d.java"}, {"@/A/Y", "c.java"}}},
      {"WithoutSubdirectoriesOnlyTheTop",
       {"A/b.java", "A/a.java", "A/Y/c.java", "A/X/d.java"}, {}, {}, "A", false,
       {{"@/A", "a.java"}, {"@/A", "b.java"}}},
      {"OwnFilesBeforeDeeperOnes",
       {"A/z.java", "A/B/b.java", "A/B/C/c.java", "A/B/a2.java", "A/D/d.java"}, {}, {}, "A", true,
       {{"@/A", "z.java"}, {"@/A/B", "a2.java"}, {"@/A/B", "b.java"}, {"@/A/B/C", "c.java"},
        {"@/A/D", "d.java"}}},
      {"ExtensionInAnyCase",
       {"A/X.JAVA", "A/y.Java", "A/z.txt", "A/java", "A/q.java.bak", "A/r.jav", "A/s.JaVa"}, {}, {},
       "A", false,
       {{"@/A", "X.JAVA"}, {"@/A", "s.JaVa"}, {"@/A", "y.Java"}}},
      {"HiddenFilesAndDirectoriesLeftOut",
       {"A/.h.java", "A/.hid/e.java", "A/v.java", "A/sub/.x.java", "A/sub/w.java"}, {}, {}, "A", true,
       {{"@/A", "v.java"}, {"@/A/sub", "w.java"}}},
      {"SortedByBytes",
       {"A/b.java", "A/B.java", "A/_.java", "A/\xC3\xA9.java", "A/a.java", "A/Z.java", "A/a1.java",
        "A/a.java.java"},
       {}, {}, "A", false,
       {{"@/A", "B.java"}, {"@/A", "Z.java"}, {"@/A", "_.java"}, {"@/A", "a.java"},
        {"@/A", "a.java.java"}, {"@/A", "a1.java"}, {"@/A", "b.java"}, {"@/A", "\xC3\xA9.java"}}},
      {"SubdirectoriesSortedByBytes",
       {"A/b/1.java", "A/B/2.java", "A/a/3.java", "A/\xC3\xA9/4.java"}, {}, {}, "A", true,
       {{"@/A/B", "2.java"}, {"@/A/a", "3.java"}, {"@/A/b", "1.java"}, {"@/A/\xC3\xA9", "4.java"}}},
      {"EmptySubdirectoriesStillSearched",
       {"A/e/f/g/h.java"}, {"A/empty", "A/e/f2"}, {}, "A", true,
       {{"@/A/e/f/g", "h.java"}}},
      {"NoJavaFiles", {"A/readme.txt"}, {"A/X"}, {}, "A", true, {}},
      {"DirectoryNamedLikeASourceFileIsDescended",
       {"A/dir.java/in.java"}, {}, {}, "A", true,
       {{"@/A/dir.java", "in.java"}}},
      {"StartWithTrailingSlashKeptAsGiven",
       {"A/a.java", "A/X/d.java"}, {}, {}, "A/", true,
       {{"@/A/", "a.java"}, {"@/A/X", "d.java"}}},
      {"LinksToDirectoriesNotFollowedLinksToFilesListed",
       {"A/a.java", "A/sub/b.java"}, {},
       {{"A/loop", "."}, {"A/sub/up", ".."}, {"A/alias.java", "sub/b.java"},
        {"A/broken.java", "missing.java"}, {"A/other", "sub"}},
       "A", true,
       {{"@/A", "a.java"}, {"@/A", "alias.java"}, {"@/A/sub", "b.java"}}},
  };
}

void PrintTo(const TreeCase& c, std::ostream* out) { *out << c.name; }

class FileEnumerationTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(FileEnumerationTree, ListsFilesInOrder) {
  const TreeCase& c = GetParam();
  test::TempDir root;
  for (const auto& f : c.files) root.write(f, "class X {}\n");
  for (const auto& d : c.dirs) fs::create_directories(root.path() / d);
  for (const auto& [link, target] : c.links) fs::create_symlink(target, root.path() / link);

  FileEnumeration files;
  const int32_t n = files.prepare(root.str() + "/" + c.start, c.subDir);
  std::vector<Entry> expected;
  for (const auto& [dir, name] : c.expected) expected.emplace_back(root.str() + dir.substr(1), name);
  EXPECT_EQ(expected, walk(files, n));
}

INSTANTIATE_TEST_SUITE_P(Trees, FileEnumerationTree, ::testing::ValuesIn(treeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileEnumeration, PipeNamedLikeASourceFileIsLeftOut) {
  test::TempDir root;
  root.write("A/a.java", "");
  ASSERT_EQ(0, ::mkfifo((root.path() / "A" / "p.java").c_str(), 0600));
  FileEnumeration files;
  const int32_t n = files.prepare(root.str() + "/A", false);
  EXPECT_EQ((std::vector<Entry>{{root.str() + "/A", "a.java"}}), walk(files, n));
}

TEST(FileEnumeration, RelativeStartKeepsItsSpelling) {
  test::TempDir root;
  root.write("A/a.java", "");
  root.write("A/X/d.java", "");
  const fs::path before = fs::current_path();
  fs::current_path(root.path());
  FileEnumeration files;
  const int32_t n = files.prepare("./A", true);
  const std::vector<Entry> entries = walk(files, n);
  fs::current_path(before);
  EXPECT_EQ((std::vector<Entry>{{"./A", "a.java"}, {"./A/X", "d.java"}}), entries);
}

TEST(FileEnumeration, EachPrepareReplacesTheList) {
  test::TempDir root;
  root.write("A/a.java", "");
  root.write("A/b.java", "");
  root.write("B/c.java", "");
  fs::create_directories(root.path() / "C");
  FileEnumeration files;

  ASSERT_EQ(2, files.prepare(root.str() + "/A", false));
  ASSERT_TRUE(files.hasMoreFiles());
  ASSERT_EQ(1, files.prepare(root.str() + "/B", false));
  EXPECT_EQ((std::vector<Entry>{{root.str() + "/B", "c.java"}}), walk(files, 1));

  // A walk that finds nothing leaves nothing of the one before to walk.
  ASSERT_EQ(0, files.prepare(root.str() + "/C", true));
  EXPECT_FALSE(files.hasMoreFiles());

  // The same list walked again after a new prepare starts at the first file.
  ASSERT_EQ(2, files.prepare(root.str() + "/A", false));
  EXPECT_EQ(2u, walk(files, 2).size());
}

struct BadPathCase {
  const char* name;
  std::string relative;  // below the temporary folder
};

void PrintTo(const BadPathCase& c, std::ostream* out) { *out << c.name; }

class FileEnumerationBadPath : public ::testing::TestWithParam<BadPathCase> {};

TEST_P(FileEnumerationBadPath, RaisesPathNotFound) {
  test::TempDir root;
  root.write("file.java", "class A {}");
  const std::string path = root.str() + "/" + GetParam().relative;
  FileEnumeration files;
  for (bool subDir : {false, true}) {
    SCOPED_TRACE(subDir);
    try {
      files.prepare(path, subDir);
      ADD_FAILURE() << "no error for " << path;
    } catch (const RztError& e) {
      EXPECT_EQ(kErrPathNotFound, e.number());
      EXPECT_EQ("パスが見つかりません: " + path, e.description());
    }
    EXPECT_FALSE(files.hasMoreFiles());
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, FileEnumerationBadPath,
                         ::testing::Values(BadPathCase{"Missing", "nowhere"},
                                           BadPathCase{"AFileNotADirectory", "file.java"},
                                           BadPathCase{"MissingBelowAFile", "file.java/x"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A tree below a fresh folder that the user nobody may read, but for the
// directories named locked, which nobody may list.
class FileEnumerationLocked : public ::testing::Test {
 protected:
  FileEnumerationLocked() {
    for (const char* file : {"A/a.java", "A/b/locked/x.java", "A/b/y.java", "A/c/z.java", "A/locked/w.java"}) {
      root.write(file, "");
    }
    root.openToEveryone();
    fs::permissions(root.path() / "A" / "b" / "locked", fs::perms::none);
    fs::permissions(root.path() / "A" / "locked", fs::perms::none);
  }
  std::string start() const { return root.str() + "/A"; }

  test::TempDir root;
};

// The listing of an unprivileged process (the superuser may read any
// directory), as "number description" on standard error and exit status 0.
TEST_F(FileEnumerationLocked, UnreadableDirectoryBelowEndsThePrepareNamingWhy) {
  EXPECT_EXIT(
      {
        if (!test::becomeUnprivileged()) std::exit(3);
        FileEnumeration files;
        try {
          files.prepare(start(), true);
        } catch (const RztError& e) {
          std::cerr << e.number() << " " << e.description();
          std::exit(files.hasMoreFiles() ? 1 : 0);
        }
        std::exit(2);
      },
      ::testing::ExitedWithCode(0), "^76 フォルダを読み取れません \\(Permission denied\\): " + start() + "/b/locked$");

  // Without descending, no locked directory is listed.
  EXPECT_EXIT(
      {
        if (!test::becomeUnprivileged()) std::exit(3);
        FileEnumeration files;
        std::exit(files.prepare(start(), false) == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(FileEnumerationLocked, PassedOverDirectoriesStandAtTheirPlaceInTheList) {
  EXPECT_EXIT(
      {
        if (!test::becomeUnprivileged()) std::exit(3);
        FileEnumeration files;
        files.setSkipUnreadableDirectories(true);
        const int32_t n = files.prepare(start(), true);
        std::string out = std::to_string(n);
        while (files.hasMoreFiles()) out += " " + files.nextFileName();
        for (const auto& d : files.unreadableDirectories()) {
          out += " |" + std::to_string(d.position) + " " + std::to_string(d.error.number()) + " " + d.dirName;
        }
        std::cerr << out;
        std::exit(0);
      },
      ::testing::ExitedWithCode(0),
      "^3 a.java y.java z.java \\|2 76 " + start() + "/b/locked \\|3 76 " + start() + "/locked$");
}

TEST_F(FileEnumerationLocked, AnUnreadableStartEndsThePrepareEvenWhenPassingOver) {
  fs::permissions(root.path() / "A", fs::perms::none);
  EXPECT_EXIT(
      {
        if (!test::becomeUnprivileged()) std::exit(3);
        FileEnumeration files;
        files.setSkipUnreadableDirectories(true);
        try {
          files.prepare(start(), true);
        } catch (const RztError& e) {
          std::cerr << e.number() << " " << e.description();
          std::exit(files.unreadableDirectories().empty() ? 0 : 1);
        }
        std::exit(2);
      },
      ::testing::ExitedWithCode(0), "^76 フォルダを読み取れません \\(Permission denied\\): " + start() + "$");
}

TEST(FileEnumeration, ChangingTreeNeverHandsOutMoreThanCountedOrEmptyNames) {
  test::TempDir root;
  for (int i = 0; i < 20; ++i) root.write("A/s" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".java", "");
  std::atomic<bool> stop{false};
  // Files appear and vanish while the walks run; each prepare must still
  // offer exactly as many files as it answered, all of them named.
  std::thread churn([&] {
    for (int i = 0; !stop; ++i) {
      // Built by appending: GCC 12 warns falsely about "s" + std::string.
      std::string relative = "A/s";
      relative += std::to_string(i % 4);
      relative += "/t";
      relative += std::to_string(i % 16);
      relative += ".java";
      std::error_code ec;
      if (i % 2 == 0) {
        root.write(relative, "");
      } else {
        fs::remove(root.path() / relative, ec);
      }
    }
  });
  FileEnumeration files;
  bool sound = true;
  for (int round = 0; round < 300 && sound; ++round) {
    const int32_t n = files.prepare(root.str() + "/A", true);
    int32_t seen = 0;
    while (files.hasMoreFiles()) {
      ++seen;
      if (files.nextFileName().empty() || files.nextDirName().empty()) sound = false;
    }
    EXPECT_EQ(n, seen) << "round " << round;
    EXPECT_GE(n, 20) << "round " << round;
    if (n != seen || n < 20) sound = false;
  }
  stop = true;
  churn.join();
  EXPECT_TRUE(sound);
}

}  // namespace
}  // namespace rzt
