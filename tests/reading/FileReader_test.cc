#include "reading/FileReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "ReadingTestHelpers.h"

namespace rzt::test {
namespace {

void expectNotFound(FileReader& reader, const std::string& dName, const std::string& fName,
                    const std::string& path) {
  try {
    reader.openFile(dName, fName);
    ADD_FAILURE() << "no error for " << path;
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), 53);
    EXPECT_EQ(e.source(), "FileReader.openFile");
    EXPECT_EQ(e.description(), "ファイルが見つかりません: " + path);
  }
  EXPECT_FALSE(reader.hasMoreChars());
}

TEST(FileReaderTest, HandsOutEveryByteOfTheText) {
  TempDir dir;
  const std::string text = "a\r\nb\t表\n";
  dir.write("A.java", text);
  for (const std::string& dName : {dir.str(), dir.str() + "/"}) {
    FileReader reader;
    reader.openFile(dName, "A.java");
    EXPECT_EQ(drain(reader), text);
    reader.closeFile();
    EXPECT_FALSE(reader.hasMoreChars());
  }
}

TEST(FileReaderTest, UnreadableFilesRaise53NamingThePath) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "Dir.java");
  FileReader reader;
  expectNotFound(reader, dir.str(), "Missing.java", dir.str() + "/Missing.java");
  expectNotFound(reader, dir.str() + "/", "Dir.java", dir.str() + "/Dir.java");
  expectNotFound(reader, dir.str() + "/none", "A.java", dir.str() + "/none/A.java");
}

TEST(FileReaderTest, FailedOpenLeavesNothingOfTheLastFile) {
  TempDir dir;
  dir.write("A.java", "abc");
  FileReader reader;
  reader.openFile(dir.str(), "A.java");
  EXPECT_EQ(reader.readChar(), 'a');
  expectNotFound(reader, dir.str(), "B.java", dir.str() + "/B.java");
}

TEST(FileReaderTest, ReadPastTheEndRaisesInsteadOfReadingOutOfBounds) {
  TempDir dir;
  dir.write("A.java", "x");
  FileReader reader;
  reader.openFile(dir.str(), "A.java");
  EXPECT_EQ(reader.readChar(), 'x');
  EXPECT_FALSE(reader.hasMoreChars());
  EXPECT_THROW(reader.readChar(), RztError);
}

TEST(FileReaderTest, BuffersAreReusedAcrossFilesOfEverySize) {
  TempDir dir;
  const std::vector<std::string> texts = {std::string(100000, 'a'), "b", "", "\x95\x5C", "c\n"};
  FileReader reader;
  for (int round = 0; round < 2; ++round) {
    for (size_t i = 0; i < texts.size(); ++i) {
      std::string name = "F" + std::to_string(i) + ".java";
      dir.write(name, texts[i]);
      reader.openFile(dir.str(), name);
      EXPECT_EQ(drain(reader), texts[i] == "\x95\x5C" ? "表" : texts[i]);
      reader.closeFile();
    }
  }
}

TEST(FileReaderTest, EncodingChoiceIsKept) {
  TempDir dir;
  dir.write("E.java", "\xC9\xBD");
  FileReader reader;
  EXPECT_EQ(reader.getEncoding(), "auto");
  reader.setEncoding("EUC-JP");
  reader.openFile(dir.str(), "E.java");
  EXPECT_EQ(drain(reader), "表");
  EXPECT_EQ(reader.getLastEncoding(), "EUC-JP");
}

// A name listed as a source file but replaced since by something that is no
// regular file, or that is too large to be a source.
struct HostileCase {
  const char* name;
  std::function<void(const std::filesystem::path& path)> make;
  std::string reason;  // the description's reason; empty: "ファイルが見つかりません"
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

std::vector<HostileCase> hostileCases() {
  namespace fs = std::filesystem;
  return {
      {"FifoWithoutWriter", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
       "通常のファイルではありません"},
      {"LinkToEndlessDevice", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       "通常のファイルではありません"},
      {"LinkToNullDevice", [](const fs::path& p) { fs::create_symlink("/dev/null", p); },
       "通常のファイルではありません"},
      {"LargerThanTheBound",
       [](const fs::path& p) {
         // Sparse: the size is there, the blocks are not.
         { std::ofstream touch(p); }
         fs::resize_file(p, FileReader::kMaxFileBytes + 1);
       },
       std::to_string(FileReader::kMaxFileBytes) + " バイトを超えています"},
      {"Folder", [](const fs::path& p) { fs::create_directory(p); }, ""},
      {"LinkToNothing", [](const fs::path& p) { fs::create_symlink("nowhere", p); }, ""},
  };
}

class FileReaderHostile : public ::testing::TestWithParam<HostileCase> {};

// In a child process with an alarm: a read that blocks or never ends fails
// the test instead of stopping the suite.
TEST_P(FileReaderHostile, IsAnErrorNamingTheFileAndNeverBlocks) {
  const HostileCase& c = GetParam();
  TempDir dir;
  const std::filesystem::path path = dir.path() / "A.java";
  c.make(path);
  if (HasFatalFailure()) return;
  const std::string expected =
      c.reason.empty() ? "ファイルが見つかりません: " + path.string() : "ファイルを読み取れません (" + c.reason + "): " + path.string();
  EXPECT_EXIT(
      {
        ::alarm(20);
        FileReader reader;
        try {
          reader.openFile(dir.str(), "A.java");
        } catch (const RztError& e) {
          std::cerr << e.number() << " " << e.source() << " " << e.description();
          std::exit(e.description() == expected && !reader.hasMoreChars() ? 0 : 1);
        }
        std::exit(2);
      },
      ::testing::ExitedWithCode(0), "^53 FileReader.openFile ");
}

INSTANTIATE_TEST_SUITE_P(Files, FileReaderHostile, ::testing::ValuesIn(hostileCases()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

TEST(FileReaderTest, AFileOfTheBoundIsRead) {
  TempDir dir;
  const std::filesystem::path path = dir.write("A.java", "");
  std::filesystem::resize_file(path, FileReader::kMaxFileBytes);
  FileReader reader;
  reader.openFile(dir.str(), "A.java");
  EXPECT_EQ(reader.getText().size(), FileReader::kMaxFileBytes);
}

TEST(FileReaderTest, AnUnreadableFileSaysWhy) {
  TempDir dir;
  const std::filesystem::path path = dir.write("Locked.java", "class A { }");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  // As the user nobody, who may reach the folder but not read the file.
  std::filesystem::permissions(dir.path(), std::filesystem::perms::others_exec, std::filesystem::perm_options::add);
  EXPECT_EXIT(
      {
        if (!becomeUnprivileged()) std::exit(3);
        FileReader reader;
        try {
          reader.openFile(dir.str(), "Locked.java");
        } catch (const RztError& e) {
          std::cerr << e.number() << " " << e.description();
          std::exit(0);
        }
        std::exit(2);
      },
      ::testing::ExitedWithCode(0), "^53 ファイルを読み取れません \\(Permission denied\\): " + path.string() + "$");
}

}  // namespace
}  // namespace rzt::test
