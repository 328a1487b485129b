// Reports written where another user can reach: a folder everybody may
// write to, with links planted and the report's temporary files replaced
// while it is being written. Each run is done by an unprivileged user the
// test makes up (another one plays the attacker), so it needs the
// superuser to start and is skipped without.

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TextReportReader.h"
#include "XlsxReader.h"
#include "report/CsvWorkbook.h"
#include "report/JsonWorkbook.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace fs = std::filesystem;

namespace rzt {
namespace {

// Made-up users: the one who writes the report and the attacker.
constexpr uid_t kWriter = 61001;
constexpr uid_t kAttacker = 61002;

// Runs body in a child process as user uid (group the same number) under
// umask 022; its result is the child's exit status (255 when it threw).
int runAs(uid_t uid, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 || ::setresuid(uid, uid, uid) != 0) {
      ::_exit(254);
    }
    ::umask(022);
    int result = 255;
    try {
      result = body();
    } catch (...) {
    }
    ::_exit(result);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

enum class Format { kXlsx, kJson, kCsv };

std::unique_ptr<IWorkbook> makeWorkbook(Format format, const fs::path& path) {
  switch (format) {
    case Format::kJson:
      return std::make_unique<JsonWorkbook>(path);
    case Format::kCsv:
      return std::make_unique<CsvWorkbook>(path);
    case Format::kXlsx:
      break;
  }
  return std::make_unique<XlsxWorkbook>(path);
}

void fill(IWorkbook& book) {
  const IWorkbook::Sheet file = book.addSheet("File");
  const IWorkbook::Sheet summary = book.addSheet("Summ");
  book.setText(summary, 1, 1, "メトリクス");
  book.setText(file, 1, 1, "ﾌｧｲﾙ名");
  for (int32_t row = 2; row < 50; ++row) book.setText(file, row, 1, "F" + std::to_string(row) + ".java");
  book.setNumber(summary, 2, 1, 48);
}

// The files of the report: the path itself, or the CSV file of each sheet.
std::vector<fs::path> reportFiles(Format format, const fs::path& path) {
  if (format != Format::kCsv) return {path};
  return {CsvWorkbook::sheetPath(path, "Summ"), CsvWorkbook::sheetPath(path, "File")};
}

// The report reads back as written.
void expectReadable(Format format, const fs::path& path) {
  switch (format) {
    case Format::kXlsx:
      EXPECT_EQ("F49.java", test::readXlsx(path).sheet("File")->text(49, 1));
      break;
    case Format::kJson:
      EXPECT_EQ(48u, test::parseJson(test::readFile(path)).member("File")->items.size());
      break;
    case Format::kCsv:
      EXPECT_EQ(49u, test::parseCsv(test::readFile(CsvWorkbook::sheetPath(path, "File"))).size());
      break;
  }
}

struct FormatCase {
  const char* name;
  Format format;
  const char* fileName;
};

const FormatCase kFormats[] = {
    {"Xlsx", Format::kXlsx, "report.xlsx"}, {"Json", Format::kJson, "report.json"}, {"Csv", Format::kCsv, "report.csv"}};

class ReportFileSafety : public ::testing::TestWithParam<FormatCase> {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "making up users needs the superuser";
    // The made-up users must reach the folders below the test's own.
    fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  }

  test::TempDir dir_;
};

// While the writer's report is under way, the attacker replaces whatever it
// finds in the shared folder (no sticky bit) by links to a file of the
// writer's, and plants links under the report's own names. The victim is
// never written nor made readable, and the report is a file of its own.
TEST_P(ReportFileSafety, TemporaryFilesSwappedForLinksWriteNothingThroughThem) {
  const FormatCase& c = GetParam();
  const fs::path shared = dir_.path() / "shared";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms::all);
  const fs::path victim = dir_.path() / "victim.txt";
  writeFile(victim, "the victim's own text");
  ASSERT_EQ(0, ::chown(victim.c_str(), kWriter, kWriter));
  fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const fs::path report = shared / c.fileName;

  int toWriter[2], fromWriter[2];
  ASSERT_EQ(0, ::pipe(toWriter));
  ASSERT_EQ(0, ::pipe(fromWriter));
  const pid_t writer = ::fork();
  if (writer == 0) {
    ::close(toWriter[1]);
    ::close(fromWriter[0]);
    const int status = runAs(kWriter, [&] {
      std::unique_ptr<IWorkbook> book = makeWorkbook(c.format, report);
      fill(*book);
      char signal = 'r';
      if (::write(fromWriter[1], &signal, 1) != 1 || ::read(toWriter[0], &signal, 1) != 1) return 3;
      try {
        book->close();
      } catch (const std::exception&) {
        return 2;  // a refusal is safe too; what counts is the victim
      }
      return 0;
    });
    ::_exit(status);
  }
  ::close(toWriter[0]);
  ::close(fromWriter[1]);
  char signal = 0;
  ASSERT_EQ(1, ::read(fromWriter[0], &signal, 1));

  const int attacked = runAs(kAttacker, [&] {
    int moved = 0;
    for (const auto& entry : fs::directory_iterator(shared)) {
      const fs::path p = entry.path();
      std::error_code ec;
      if (fs::is_directory(fs::symlink_status(p))) {
        // Put a folder of one's own in its place, with links under every name
        // the report's files could have inside.
        fs::rename(p, shared / ("moved-" + std::to_string(moved++)), ec);
        if (ec) continue;
        fs::create_directory(p, ec);
        for (const fs::path& name : reportFiles(c.format, report)) {
          fs::create_symlink(victim, p / name.filename(), ec);
        }
      } else {
        fs::remove(p, ec);
        fs::create_symlink(victim, p, ec);
      }
    }
    std::error_code ec;
    for (const fs::path& name : reportFiles(c.format, report)) fs::create_symlink(victim, name, ec);
    return 0;
  });
  EXPECT_EQ(0, attacked);
  signal = 'g';
  ASSERT_EQ(1, ::write(toWriter[1], &signal, 1));
  int status = 0;
  ::waitpid(writer, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the report is written all the same";

  EXPECT_EQ("the victim's own text", test::readFile(victim));
  struct stat st {};
  ASSERT_EQ(0, ::stat(victim.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  for (const fs::path& file : reportFiles(c.format, report)) {
    ASSERT_EQ(0, ::lstat(file.c_str(), &st)) << file;
    EXPECT_TRUE(S_ISREG(st.st_mode)) << file;
    EXPECT_EQ(kWriter, st.st_uid) << file;
  }
  expectReadable(c.format, report);
}

// The new report takes its mode only from a regular file the path itself
// names, never through a link; without one it gets the default mode under
// the umask (022 here). Set-id bits are never passed on.
TEST_P(ReportFileSafety, ModeComesOnlyFromARegularFileThePathNames) {
  const FormatCase& c = GetParam();
  struct ModeCase {
    const char* name;
    // Plants what the report's path names before the writer writes it.
    std::function<void(const fs::path& path)> plant;
    mode_t expected;
  };
  const fs::path open = dir_.path() / "wide-open.txt";
  writeFile(open, "anyone's");
  ASSERT_EQ(0, ::chown(open.c_str(), kAttacker, kAttacker));
  fs::permissions(open, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec & ~fs::perms::others_exec);
  const std::vector<ModeCase> cases = {
      {"LinkToDevNull", [](const fs::path& p) { fs::create_symlink("/dev/null", p); }, 0644},
      {"LinkToAWideOpenFile", [&](const fs::path& p) { fs::create_symlink(open, p); }, 0644},
      {"DanglingLink", [](const fs::path& p) { fs::create_symlink("/nonexistent/x", p); }, 0644},
      {"Nothing", [](const fs::path&) {}, 0644},
      {"OwnPrivateFile",
       [](const fs::path& p) {
         writeFile(p, "old");
         fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write);
       },
       0600},
      {"OwnFileWithSetId",
       [](const fs::path& p) {
         writeFile(p, "old");
         ::chmod(p.c_str(), 06750);
       },
       0750},
  };
  for (const ModeCase& m : cases) {
    SCOPED_TRACE(m.name);
    // A sticky folder of the writer's, into which the attacker plants links.
    const fs::path folder = dir_.path() / (std::string("sticky-") + m.name);
    fs::create_directory(folder);
    ASSERT_EQ(0, ::chown(folder.c_str(), kWriter, kWriter));
    ASSERT_EQ(0, ::chmod(folder.c_str(), 01777));
    const fs::path report = folder / c.fileName;
    const bool own = std::string(m.name).starts_with("Own");
    EXPECT_EQ(0, runAs(own ? kWriter : kAttacker, [&] {
                for (const fs::path& file : reportFiles(c.format, report)) m.plant(file);
                return 0;
              }));
    EXPECT_EQ(0, runAs(kWriter, [&] {
                std::unique_ptr<IWorkbook> book = makeWorkbook(c.format, report);
                fill(*book);
                book->close();
                return 0;
              }));
    for (const fs::path& file : reportFiles(c.format, report)) {
      struct stat st {};
      ASSERT_EQ(0, ::lstat(file.c_str(), &st)) << file;
      EXPECT_TRUE(S_ISREG(st.st_mode)) << file;
      EXPECT_EQ(m.expected, st.st_mode & 07777) << file;
    }
    expectReadable(c.format, report);
    EXPECT_EQ("anyone's", test::readFile(open));
  }
}

// A CSV report is a set of files replaced as one: when one of them cannot be
// replaced (another user's file in a sticky folder), the files already
// renamed are put back and every sheet keeps its previous file.
TEST(CsvSetSafety, ARenameThatFailsPutsThePreviousSetBack) {
  if (::geteuid() != 0) GTEST_SKIP() << "making up users needs the superuser";
  struct Case {
    const char* name;
    mode_t blockingMode;  // of the other user's previous "File" sheet
  };
  // 0666: it can be linked aside and the failure comes at its rename; 0644:
  // it cannot even be kept aside, so nothing is renamed at all.
  for (const Case& c : {Case{"FailsAtTheRename", 0666}, Case{"FailsBeforeAnyRename", 0644}}) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path folder = dir.path() / "sticky";
    fs::create_directory(folder);
    ASSERT_EQ(0, ::chmod(folder.c_str(), 01777));
    const fs::path report = folder / "r.csv";
    // The sheets go in tab order New, Summ, Method, File; the previous set
    // has all but New, and File is another user's.
    const std::vector<std::string> sheets = {"Summ", "Method", "File"};
    EXPECT_EQ(0, runAs(kWriter, [&] {
                writeFile(CsvWorkbook::sheetPath(report, "Summ"), "old Summ\r\n");
                writeFile(CsvWorkbook::sheetPath(report, "Method"), "old Method\r\n");
                return 0;
              }));
    EXPECT_EQ(0, runAs(kAttacker, [&] {
                writeFile(CsvWorkbook::sheetPath(report, "File"), "old File\r\n");
                return ::chmod(CsvWorkbook::sheetPath(report, "File").c_str(), c.blockingMode);
              }));
    const int status = runAs(kWriter, [&] {
      CsvWorkbook book(report);
      const IWorkbook::Sheet file = book.addSheet("File");
      const IWorkbook::Sheet method = book.addSheet("Method");
      const IWorkbook::Sheet summary = book.addSheet("Summ");
      const IWorkbook::Sheet extra = book.addSheet("New");  // a sheet without a previous file
      for (IWorkbook::Sheet s : {file, method, summary, extra}) book.setText(s, 1, 1, "new");
      try {
        book.close();
      } catch (const RztError& e) {
        const bool named = e.number() == kErrPathFileAccess &&
                           e.description().find(CsvWorkbook::sheetPath(report, "File").string()) != std::string::npos &&
                           e.description().find("Operation not permitted") != std::string::npos;
        return named ? 0 : 2;
      }
      return 1;
    });
    EXPECT_EQ(0, status) << "the close fails, naming the file and the reason";
    for (const std::string& sheet : sheets) {
      EXPECT_EQ("old " + sheet + "\r\n", test::readFile(CsvWorkbook::sheetPath(report, sheet))) << sheet;
    }
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) left.insert(entry.path().filename().string());
    EXPECT_EQ((std::set<std::string>{"r-Summ.csv", "r-Method.csv", "r-File.csv"}), left);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ReportFileSafety, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rzt
