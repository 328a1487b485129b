#include "reading/FileReader.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
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
  auto locked = dir.write("Locked.java", "x");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  FileReader reader;
  expectNotFound(reader, dir.str(), "Missing.java", dir.str() + "/Missing.java");
  expectNotFound(reader, dir.str() + "/", "Dir.java", dir.str() + "/Dir.java");
  expectNotFound(reader, dir.str() + "/none", "A.java", dir.str() + "/none/A.java");
  if (geteuid() != 0) {  // the superuser reads any file
    expectNotFound(reader, dir.str(), "Locked.java", dir.str() + "/Locked.java");
  }
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

}  // namespace
}  // namespace rzt::test
