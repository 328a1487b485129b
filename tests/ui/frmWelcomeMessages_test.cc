// The boxes of an analysis: with keep-going none per file and one summary
// at the end; without it, the error's box names the error and the file.

#include <QCheckBox>
#include <QRadioButton>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ReportPanel.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XlsxReader.h"
#include "frmOption.h"
#include "frmWelcome.h"

namespace rzt::ui {
namespace {

using test::contains;
using test::kGoodJava;
using test::kMismatchJava;
using test::kTruncatedJava;

// Nesting past the limit: error 50030 in the word-level analysis.
std::string deepJava() {
  return "class Deep { void f() { " + std::string(2100, '{') + std::string(2100, '}') + " } }\n";
}

struct SummaryCase {
  const char* name;
  bool modern;
  std::vector<std::pair<const char*, std::string>> files;
  // The one summary box, by parts it holds; empty: no box at all.
  std::vector<std::string> holds;
  std::vector<std::string> lacks;
  size_t listedOnErrors;
};

const std::vector<SummaryCase>& summaryCases() {
  static const std::vector<SummaryCase> cases = {
      {"EndOfFileInClassic",
       false,
       {{"A.java", kGoodJava}, {"B.java", kTruncatedJava}, {"C.java", kTruncatedJava}, {"D.java", kTruncatedJava}},
       {"I:解析できなかった 3 個のファイルを飛ばしました。", "シート「エラー」", "そのうち 3 個は解析の途中でEOFに到達",
        "「Java 5以降」"},
       {"解析中のメッセージ"},
       3},
      {"NestingInClassic",
       false,
       {{"A.java", kGoodJava}, {"B.java", deepJava()}},
       {"I:解析できなかった 1 個のファイルを飛ばしました。", "シート「エラー」"},
       {"EOF", "Java 5以降"},
       1},
      {"MismatchAndEndOfFile",
       false,
       {{"A.java", kMismatchJava}, {"B.java", kTruncatedJava}},
       {"I:解析できなかった 1 個のファイルを飛ばしました。", "Java 5以降", "解析中のメッセージ 1 件は表示を省略しました:",
        "\n解析エラー！ ファイル名：A.java"},
       {},
       1},
      {"ModernReadsTheFilesClassicCannot",
       true,
       {{"A.java", kGoodJava}, {"B.java", kTruncatedJava}, {"C.java", kTruncatedJava}},
       {},
       {},
       0},
  };
  return cases;
}

class frmWelcomeKeepGoing : public test::MainWindowTest,
                            public ::testing::WithParamInterface<std::tuple<size_t, int32_t>> {
 public:
  void SetUp() override { makeWindow(std::get<1>(GetParam())); }
};

TEST_P(frmWelcomeKeepGoing, NoBoxPerFileAndOneSummaryAtTheEnd) {
  const SummaryCase& c = summaryCases()[std::get<0>(GetParam())];
  for (const auto& [name, text] : c.files) sources.write(name, text);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  window->optionDialog().chkKeepGoing->setChecked(true);
  (c.modern ? window->optionDialog().optSyntaxModern : window->optionDialog().optSyntaxClassic)->setChecked(true);
  start();

  if (c.holds.empty()) {
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front();
  } else {
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& box = messages.shown.front();
    for (const std::string& part : c.holds) EXPECT_TRUE(contains(box, part)) << part << "\n" << box;
    for (const std::string& part : c.lacks) EXPECT_FALSE(contains(box, part)) << part << "\n" << box;
  }
  const test::XlsxBook book = test::readXlsx(window->lastWorkbook());
  EXPECT_EQ(column(book, "エラー", 2).size(), c.listedOnErrors);
  EXPECT_EQ(window->statusText(), "解析が終了しました");
  EXPECT_EQ(contains(window->fraResult->stateText().toStdString(), "シート「エラー」"), c.listedOnErrors > 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, frmWelcomeKeepGoing,
                         ::testing::Combine(::testing::Range<size_t>(0, summaryCases().size()),
                                            ::testing::Values(1, 2)),
                         [](const ::testing::TestParamInfo<std::tuple<size_t, int32_t>>& info) {
                           return std::string(summaryCases()[std::get<0>(info.param)].name) + "_Jobs" +
                                  std::to_string(std::get<1>(info.param));
                         });

class frmWelcomeHoldBack : public test::MainWindowTest {};

TEST_F(frmWelcomeHoldBack, BoxesHeldBackWhileKeepingGoingAreShownAgainWithoutIt) {
  sources.write("A.java", kMismatchJava);
  sources.write("B.java", kTruncatedJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  window->optionDialog().chkKeepGoing->setChecked(true);
  start();
  ASSERT_EQ(messages.shown.size(), 1u);

  window->optionDialog().chkKeepGoing->setChecked(false);
  messages.shown.clear();
  start();
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].rfind("C:解析エラー！ ファイル名：A.java", 0), 0u) << messages.shown[0];
  EXPECT_EQ(messages.shown[1], "I:解析の途中でEOFに到達しました");
  EXPECT_EQ(messages.shown[2].rfind("C:500020 ", 0), 0u) << messages.shown[2];
}

struct ErrorCase {
  const char* name;
  bool modern;
  std::string text;  // of B.java, which ends the run
  std::string firstBox;  // the reader's own box before the error's; empty: none
  std::string error;     // the error's description
  bool hint;
};

std::ostream& operator<<(std::ostream& out, const ErrorCase& c) { return out << c.name; }

class frmWelcomeErrorBox : public test::MainWindowTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(frmWelcomeErrorBox, NamesTheErrorTheFileAndTheWayOut) {
  const ErrorCase& c = GetParam();
  sources.write("A.java", kGoodJava);
  sources.write("B.java", c.text);
  sources.write("C.java", kGoodJava);
  ASSERT_TRUE(window->selectDirectory(sources.str()));
  if (c.modern) window->optionDialog().optSyntaxModern->setChecked(true);
  start();

  std::vector<std::string> boxes = messages.shown;
  if (!c.firstBox.empty()) {
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes.front(), c.firstBox);
    boxes.erase(boxes.begin());
  }
  ASSERT_EQ(boxes.size(), 1u);
  const std::string& box = boxes.front();
  EXPECT_EQ(box.rfind("C:" + c.error + "\n", 0), 0u) << box;
  EXPECT_TRUE(contains(box, "解析中のファイル: " + (sources.path() / "B.java").string())) << box;
  EXPECT_EQ(contains(box, "「Java 5以降」"), c.hint) << box;
  EXPECT_TRUE(contains(box, "それまでの結果を書き出しました: " + window->lastWorkbook().string())) << box;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, frmWelcomeErrorBox,
    ::testing::Values(ErrorCase{"EndOfFileInClassic", false, kTruncatedJava, "I:解析の途中でEOFに到達しました",
                                "500020 解析の途中でEOFに到達しました", true},
                      ErrorCase{"NestingInClassic", false, deepJava(), "", "ネストが深過ぎます", false}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rzt::ui
