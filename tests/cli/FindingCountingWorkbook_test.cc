#include "cli/FindingCountingWorkbook.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "analysis/AnalyzerMain.h"
#include "options/OptionValues.h"
#include "report/MemoryWorkbook.h"
#include "report/OutputMgr.h"

namespace rzt {
namespace {

// Passes every call on to a memory workbook that stays readable after the
// report writer has dropped its workbook.
class Forwarding final : public IWorkbook {
 public:
  explicit Forwarding(std::shared_ptr<MemoryWorkbook> book) : book_(std::move(book)) {}
  Sheet addSheet(std::string_view name) override { return book_->addSheet(name); }
  void setText(Sheet s, int32_t r, int32_t c, std::string_view t) override { book_->setText(s, r, c, t); }
  void setNumber(Sheet s, int32_t r, int32_t c, double v) override { book_->setNumber(s, r, c, v); }
  void setNumberFormat(Sheet s, int32_t r, int32_t c, std::string_view f) override {
    book_->setNumberFormat(s, r, c, f);
  }
  void freezeHeadingRow(Sheet s) override { book_->freezeHeadingRow(s); }
  void centreHeadingRow(Sheet s) override { book_->centreHeadingRow(s); }
  void setZoom(Sheet s, int32_t percent) override { book_->setZoom(s, percent); }
  void fitColumns(Sheet s) override { book_->fitColumns(s); }
  void showFirst(Sheet s) override { book_->showFirst(s); }
  void close() override { book_->close(); }

 private:
  std::shared_ptr<MemoryWorkbook> book_;
};

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

TEST(FindingCountingWorkbook, CountsTheFindingRowsOfTheDiagnosisSheet) {
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
    int32_t findings = -1;
    OutputMgr outputMgr([&] {
      books.push_back(std::make_shared<MemoryWorkbook>());
      return std::make_unique<FindingCountingWorkbook>(std::make_unique<Forwarding>(books.back()), &findings);
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
      const int32_t rows = findingRows(*books.back());
      EXPECT_EQ(c.diagnosis ? rows : 0, findings);
    }
    if (std::string(c.name) == "NothingFound") {
      EXPECT_EQ(0, findings);
      EXPECT_NE(nullptr, books.back()->cell("診断", 2, 1)) << "the row saying so is there and not counted";
    } else if (c.diagnosis) {
      EXPECT_GT(findings, 0);
    }
  }
}

}  // namespace
}  // namespace rzt
