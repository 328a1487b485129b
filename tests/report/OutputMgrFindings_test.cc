#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SharedWorkbook.h"
#include "TestSupport.h"
#include "analysis/AnalyzerMain.h"
#include "options/OptionValues.h"
#include "report/MemoryWorkbook.h"
#include "report/OutputMgr.h"

namespace rzt {
namespace {

// Rows of the diagnosis sheet below its heading that name a level.
int32_t findingRows(const MemoryWorkbook& book) {
  const MemoryWorkbook::SheetData* sheet = book.sheet("診断");
  if (sheet == nullptr) return -1;
  int32_t n = 0;
  for (const auto& [at, cell] : sheet->cells) {
    if (at.first > 1 && at.second == 5 && cell.hasText) ++n;
  }
  return n;
}

struct CountCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::pair<std::string, std::string>> thresholds;
  bool diagnosis;
  bool fails;  // the analysis ends with an error
};

// The report counts the findings it writes, for the gate of rzt-cli.
TEST(OutputMgrFindings, CountsTheFindingRowsOfTheDiagnosisSheet) {
  const std::vector<CountCase> cases = {
      {"NothingFound",
       {{"A.java", "// c\n// c\nclass A {\n  void m() { }\n}\n"}},
       {{"FMinCommentRate", "-1"}},
       true,
       false},
      {"FileRules", {{"A.java", "class A { }\nclass B { }\n"}}, {{"FMaxClass", "2"}}, true, false},
      {"EveryLevel",
       {{"A.java", "public class A {\n  public int f;\n  void m() { a(); b(); c(); }\n}\n"},
        {"B.java", "class B {\n  void n() { if (x) { y(); } }\n}\n"}},
       {{"MMaxMsgSend", "1"}, {"MMaxBranch", "1"}},
       true,
       false},
      {"NoDiagnosisSheet", {{"A.java", "class A { }\n"}}, {}, false, false},
      {"PartialAfterAnError",
       {{"a.java", "class A { }\n"}, {"b.java", "class B {\n  void m() {\n"}},
       {},
       true,
       true},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    for (const auto& [name, text] : c.files) dir.write(name, text);
    OptionValues options;
    options.optDiag = c.diagnosis;
    for (const auto& [name, value] : c.thresholds) ASSERT_TRUE(options.setField(name, value));

    std::vector<std::shared_ptr<MemoryWorkbook>> books;
    OutputMgr outputMgr([&] {
      books.push_back(std::make_shared<MemoryWorkbook>());
      return std::make_unique<test::SharedWorkbook>(books.back());
    });
    test::RecordingStatusLine status;
    test::RecordingUserMessage messages;
    AnalyzerMain analyzer(status, messages);
    // Twice with the same writer: each report counts afresh.
    for (int run = 0; run < 2; ++run) {
      analyzer.init(&outputMgr, options);
      try {
        analyzer.doAnalysisDir(dir.str(), false);
        EXPECT_FALSE(c.fails);
      } catch (const std::exception&) {
        EXPECT_TRUE(c.fails);
        outputMgr.finishedWithError();
      }
      ASSERT_TRUE(books.back()->closed());
      const int32_t findings = outputMgr.findingCount();
      const int32_t rows = findingRows(*books.back());
      EXPECT_EQ(c.diagnosis ? rows : 0, findings);
    }
    const int32_t findings = outputMgr.findingCount();
    if (std::string(c.name) == "NothingFound") {
      EXPECT_EQ(0, findings);
      EXPECT_NE(nullptr, books.back()->cell("診断", 2, 1)) << "the row saying so is there and not counted";
    } else if (c.diagnosis) {
      EXPECT_GT(findings, 0);
    }
  }
}

// What a finding writer was handed, as text: the cells of its row and where.
class RecordingFindingWriter : public IFindingWriter {
 public:
  void writeFinding(const Finding& f) override {
    std::string row = (f.packageName.empty() ? "-" : std::string(f.packageName)) + "|" + std::string(f.fileName) + "|" +
                      (f.className ? *f.className : "-") + "|" + (f.methodName ? *f.methodName : "-") + "|" +
                      std::string(f.level) + "|" + std::string(f.message) + "|" + std::to_string(f.value);
    rows.push_back(row);
    places.push_back(std::string(f.filePath) + ":" + std::to_string(f.line) + " " +
                     (f.rule ? std::string(f.rule->id) : "?"));
  }
  std::vector<std::string> rows;
  std::vector<std::string> places;
};

std::string cellText(const MemoryWorkbook& book, int32_t row, int32_t column) {
  const MemoryWorkbook::Cell* cell = book.cell("診断", row, column);
  // An empty text leaves the cell without value.
  if (cell == nullptr || (!cell->hasText && !cell->hasNumber)) return "-";
  return cell->hasText ? cell->text : std::to_string(cell->number);
}

TEST(OutputMgrFindings, HandsEachFindingOnInTheOrderOfItsRows) {
  test::TempDir dir;
  dir.write("a/A.java", "package a;\npublic class A {\n  public int f;\n  void m() {\n    x(); y(); z();\n  }\n}\n");
  dir.write("a/b/B.java", "class B {\n\n  void n() {\n    if (p) { q(); } if (r) { s(); }\n  }\n}\n");
  dir.write("C.java", "class C { }\n");
  OptionValues options;
  ASSERT_TRUE(options.setField("MMaxMsgSend", "3"));
  ASSERT_TRUE(options.setField("MMaxBranch", "2"));
  for (int32_t jobs : {1, 2}) {
    SCOPED_TRACE(jobs);
    auto book = std::make_shared<MemoryWorkbook>();
    OutputMgr outputMgr([&] { return std::make_unique<test::SharedWorkbook>(book); });
    outputMgr.setKeepGoing(true);
    RecordingFindingWriter first, second;
    outputMgr.addFindingWriter(first);
    outputMgr.addFindingWriter(second);
    test::RecordingStatusLine status;
    test::RecordingUserMessage messages;
    AnalyzerMain analyzer(status, messages);
    analyzer.setJobs(jobs);
    analyzer.setKeepGoing(true);
    analyzer.init(&outputMgr, options);
    analyzer.doAnalysisDir(dir.str(), true);

    std::vector<std::string> rows;
    for (int32_t row = 2; book->cell("診断", row, 5) != nullptr; ++row) {
      std::string text;
      for (int32_t column = 1; column <= 7; ++column) text += (column > 1 ? "|" : "") + cellText(*book, row, column);
      rows.push_back(text);
    }
    EXPECT_EQ(rows, first.rows);
    EXPECT_EQ(first.rows, second.rows);
    EXPECT_EQ((std::vector<std::string>{"C.java:1 FMinCommentRate", "a/A.java:4 MMaxMsgSend",
                                        "a/A.java:2 CMaxPubAttr", "a/A.java:1 FMinCommentRate",
                                        "a/b/B.java:3 MMaxBranch", "a/b/B.java:1 FMinCommentRate"}),
              first.places);
  }
}

}  // namespace
}  // namespace rzt
