// rzt-cli on input that is broken, hostile or unusual: every run ends with a
// normal result or the system's error naming the file, and a workbook that
// reads back; never a crash, a hang or a damaged file.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RunCli.h"
#include "TestSupport.h"
#include "XlsxReader.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char* const kGood = "class Good {\n  int twice(int x) { return x * 2; }\n}\n";

// Shift_JIS: 表, ソ and 能 end in the byte 0x5C, a backslash in ASCII; read
// as bytes they would escape the closing quote of each literal.
const char* const kShiftJisLiterals =
    "class A {\n"
    "  String s = \"\x95\x5c\x83\x5c\x94\x5c\"; // \x95\x5c\x83\x5c\x94\x5c\n"
    "  char c = '\x95\x5c';\n"
    "  /* \x83\x5c */ void m() { }\n"
    "}\n";

std::string repeat(const std::string& part, size_t times) {
  std::string text;
  text.reserve(part.size() * times);
  for (size_t i = 0; i < times; ++i) text += part;
  return text;
}

std::string allBytes() {
  std::string bytes;
  for (int round = 0; round < 40; ++round) {
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  }
  return bytes + std::string(3, '\0');
}

struct BadInputCase {
  const char* name;
  // Writes the troublesome entry below src/, beside src/Good.java.
  std::function<void(const fs::path& src)> make;
  // The error the bad file raises ("error 50030"), or empty when it is
  // measured like any other.
  std::string error;
  // A class the bad file's measuring must find in the Class sheet, with its
  // number of fields; empty when nothing is checked.
  std::string measuredClass;
  int fields = 0;
};

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::vector<BadInputCase> badInputCases() {
  auto file = [](std::string name, std::string bytes) {
    return [name, bytes](const fs::path& src) { writeBytes(src / name, bytes); };
  };
  return {
      {"BinaryWithNulBytes", file("A.java", allBytes()), "error 500020", "", 0},
      {"TenMegabyteLine", file("A.java", "class A {\n  int x = 1" + repeat(" + 1", 2'600'000) + ";\n}\n"), "",
       "A", 1},
      {"MillionOpenBraces", file("A.java", "class A { void m() " + repeat("{", 1'000'000)), "error 50030", "", 0},
      {"UnterminatedComment", file("A.java", "class A {\n  /* never closed\n  int x;\n"), "error 500020", "", 0},
      {"UnterminatedLiteral", file("A.java", "class A {\n  String s = \"never closed;\n  void m() { }\n}\n"),
       "error 500020", "", 0},
      {"ShiftJisBackslashSecondBytes", file("A.java", kShiftJisLiterals), "", "A", 2},
      {"InvalidUtf8", file("A.java", "class A {\n  // \xff\xfe\xc3\n  int a; int b;\n}\n"), "", "A", 2},
      {"FileNameNotUtf8", file("B\xff.java", "class B { int a; }\n"), "", "B", 1},
      {"DirectoryNamedLikeJava", [](const fs::path& src) { fs::create_directories(src / "D.java" / "E"); }, "", "", 0},
      {"FifoNamedLikeJava", [](const fs::path& src) { ASSERT_EQ(::mkfifo((src / "P.java").c_str(), 0600), 0); },
       "", "", 0},
      {"SymbolicLinkLoops",
       [](const fs::path& src) {
         fs::create_directory_symlink(".", src / "loop");
         fs::create_symlink("L.java", src / "L.java");
       },
       "", "", 0},
  };
}

void PrintTo(const BadInputCase& c, std::ostream* out) { *out << c.name; }

class RztCliBadInput : public ::testing::TestWithParam<BadInputCase> {};

// The Class sheet's row of the class name: its field count (column 11), or -1.
int fieldsOf(const test::XlsxBook& book, const std::string& className) {
  const test::XlsxSheet* classes = book.sheet("Class");
  if (classes == nullptr) return -1;
  for (int32_t row = 2; row <= classes->lastRow(); ++row) {
    if (classes->text(row, 2) == className) return static_cast<int>(classes->number(row, 11).value_or(-1));
  }
  return -1;
}

TEST_P(RztCliBadInput, EndsWithAResultOrTheSystemsErrorNamingTheFile) {
  const BadInputCase& c = GetParam();
  test::TempDir dir;
  dir.write("src/Good.java", kGood);
  c.make(dir.path() / "src");
  if (HasFatalFailure()) return;

  // Without keep-going, a bad file ends the run with its error and path.
  const RunResult run = runCli({"-q", "-r", "-o", "r.xlsx", "src"}, dir.path());
  const test::XlsxBook book = test::readXlsx(writtenReport(dir.path() / "r.xlsx"));
  if (c.error.empty()) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "ファイル数")) << run.out;
    EXPECT_EQ(fieldsOf(book, "Good"), 0);
    if (!c.measuredClass.empty()) {
      EXPECT_EQ(fieldsOf(book, c.measuredClass), c.fields);
    }
  } else {
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "rzt-cli: " + c.error)) << run.err;
    EXPECT_TRUE(contains(run.err, "while analysing src/A.java")) << run.err;
  }

  // With keep-going the bad file is listed and every other file measured.
  const RunResult kept = runCli({"-q", "-r", "--keep-going", "-o", "k.xlsx", "src"}, dir.path());
  EXPECT_EQ(kept.status, c.error.empty() ? 0 : 1) << kept.err;
  const test::XlsxBook keptBook = test::readXlsx(dir.path() / "k.xlsx");
  EXPECT_EQ(fieldsOf(keptBook, "Good"), 0);
  // The sheet "エラー" is there with keep-going, its heading alone when no
  // file was skipped.
  const test::XlsxSheet* errors = keptBook.sheet("エラー");
  ASSERT_NE(errors, nullptr);
  if (c.error.empty()) {
    EXPECT_EQ(errors->lastRow(), 1);
  } else {
    EXPECT_EQ(errors->lastRow(), 2);
    EXPECT_EQ(errors->text(2, 2), "A.java");
    EXPECT_TRUE(contains(kept.err, "rzt-cli: skipped src/A.java: " + c.error)) << kept.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RztCliBadInput, ::testing::ValuesIn(badInputCases()),
                         [](const ::testing::TestParamInfo<BadInputCase>& info) { return info.param.name; });

// A small file system of its own below a temporary folder, unmounted at the
// end; mounting needs the superuser, so mounted() says whether it is there.
class SmallFileSystem {
 public:
  SmallFileSystem(const fs::path& at, const char* options) : at_(at) {
    fs::create_directories(at_);
    mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, options) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool mounted() const { return mounted_; }
  bool makeReadOnly() const {
    return ::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  fs::path at_;
  bool mounted_ = false;
};

// A disk that fills up, and a folder that cannot be written: the run fails
// with the path, and the workbook already at that path is left as it was.
TEST(RztCliOutput, AFailedWriteLeavesThePreviousWorkbookIntact) {
  struct Case {
    const char* name;
    bool readOnly;
  };
  for (const Case& c : {Case{"FullDisk", false}, Case{"ReadOnlyFolder", true}}) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    // Enough methods that the workbook cannot fit into 64 KiB.
    std::string source = "class Big {\n";
    for (int i = 0; i < 3000; ++i) source += "  int m" + std::to_string(i) + "(int x) { return x + " + std::to_string(i) + "; }\n";
    dir.write("src/Big.java", source + "}\n");
    SmallFileSystem disk(dir.path() / "out", "size=64k");
    if (!disk.mounted()) {
      GTEST_SKIP() << "mounting a tmpfs needs the superuser";
    }
    const std::string previous = "the previous workbook";
    writeBytes(dir.path() / "out" / "r.xlsx", previous);
    if (c.readOnly) {
      ASSERT_TRUE(disk.makeReadOnly());
    }

    const RunResult run = runCli({"-q", "-o", "out/r.xlsx", "src"}, dir.path());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "out/r.xlsx")) << run.err;
    EXPECT_EQ(test::readFile(dir.path() / "out" / "r.xlsx"), previous);
    // Nothing of the failed attempt is left beside it.
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path() / "out")) {
      left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"r.xlsx"});
  }
}

// What the user nobody cannot read, below the analysed folder: a folder or
// a file. Without keep-going the run ends with the error saying why; with it
// the folder or file is listed on "エラー" and every other file measured.
struct UnreadableCase {
  const char* name;
  const char* locked;  // below the work folder
  int number;
  const char* source;       // the error's source, in parentheses after its number
  const char* errorPrefix;  // the description without the path
  const char* fileName;     // the "ﾌｧｲﾙ名" cell of the row on "エラー"
  const char* dirName;      // its "ﾃﾞｨﾚｸﾄﾘ" cell
  const char* summary;      // the last line on standard error with keep-going
};

void PrintTo(const UnreadableCase& c, std::ostream* out) { *out << c.name; }

class RztCliUnreadable : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(RztCliUnreadable, SaysWhyAndKeepGoingGoesOn) {
  const UnreadableCase& c = GetParam();
  test::TempDir dir;
  dir.write("src/Good.java", kGood);
  dir.write("src/locked/Hidden.java", "class Hidden { }\n");
  dir.write("src/z/L.java", "class L { int a; }\n");
  dir.openToEveryone();
  // The work folder takes the reports of the user nobody.
  fs::permissions(dir.path(), fs::perms::all);
  fs::permissions(dir.path() / c.locked, fs::perms::none);
  const std::string description = std::string(c.errorPrefix) + c.locked;
  const std::string error = "error " + std::to_string(c.number) + c.source + ": " + description;

  const RunResult stop = runCli({"-q", "-r", "-o", "r.xlsx", "src"}, dir.path(), false, {}, true);
  ASSERT_NE(stop.status, 125) << "cannot run as the user nobody";
  EXPECT_EQ(stop.status, 1) << stop.err;
  EXPECT_TRUE(contains(stop.err, "rzt-cli: " + error + "\n")) << stop.err;

  const RunResult kept = runCli({"-q", "-r", "--keep-going", "-o", "k.xlsx", "src"}, dir.path(), false, {}, true);
  EXPECT_EQ(kept.status, 1) << kept.err;
  EXPECT_TRUE(contains(kept.err, "rzt-cli: skipped " + std::string(c.locked) + ": " + error + "\n")) << kept.err;
  EXPECT_TRUE(contains(kept.err, std::string("rzt-cli: ") + c.summary + ", listed on the sheet \"エラー\"\n"))
      << kept.err;
  const test::XlsxBook book = test::readXlsx(dir.path() / "k.xlsx");
  const test::XlsxSheet* errors = book.sheet("エラー");
  ASSERT_NE(errors, nullptr);
  ASSERT_EQ(errors->lastRow(), 2);
  EXPECT_EQ(errors->text(2, 1), c.dirName);
  EXPECT_EQ(errors->text(2, 2), c.fileName);
  EXPECT_EQ(errors->number(2, 3), c.number);
  EXPECT_EQ(errors->text(2, 4), description);
  EXPECT_EQ(fieldsOf(book, "Good"), 0);
  EXPECT_EQ(fieldsOf(book, "L"), c.number == 76 ? 1 : -1);
  EXPECT_EQ(fieldsOf(book, "Hidden"), c.number == 53 ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RztCliUnreadable,
    ::testing::Values(UnreadableCase{"Folder", "src/locked", 76, "", "フォルダを読み取れません (Permission denied): ",
                                     "", "src/locked", "1 folder skipped"},
                      UnreadableCase{"File", "src/z/L.java", 53, " (FileReader.openFile)",
                                     "ファイルを読み取れません (Permission denied): ", "L.java", "src/z",
                                     "1 file skipped"}),
    [](const ::testing::TestParamInfo<UnreadableCase>& info) { return info.param.name; });

// The analysed folder itself unreadable ends the run, keep-going or not.
TEST(RztCliUnreadableStart, EndsTheRunEvenWithKeepGoing) {
  test::TempDir dir;
  dir.write("src/Good.java", kGood);
  fs::permissions(dir.path(), fs::perms::all);
  fs::permissions(dir.path() / "src", fs::perms::none);
  for (const bool keepGoing : {false, true}) {
    SCOPED_TRACE(keepGoing);
    std::vector<std::string> args = {"-q", "-r", "-o", "r.xlsx", "src"};
    if (keepGoing) args.insert(args.begin(), "--keep-going");
    const RunResult run = runCli(args, dir.path(), false, {}, true);
    ASSERT_NE(run.status, 125) << "cannot run as the user nobody";
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(contains(run.err, "rzt-cli: error 76: フォルダを読み取れません (Permission denied): src\n")) << run.err;
  }
}

}  // namespace
}  // namespace rzt
