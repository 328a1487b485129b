// The analysis on its own thread: what the window shows meanwhile, the stop
// button, closing during a run, and workbooks equal to those of the
// analysis run on the calling thread.

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileControls.h"
#include "GeneratedJavaTree.h"
#include "ReportPanel.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XlsxCompare.h"
#include "XlsxReader.h"
#include "analysis/AnalyzerMain.h"
#include "frmOption.h"
#include "frmWelcome.h"
#include "java/ModernFileAnalyzer.h"
#include "report/OutputMgr.h"
#include "report/XlsxWorkbook.h"
#include "support/RztError.h"

namespace rzt::ui {
namespace {

namespace fs = std::filesystem;
using test::contains;
using test::kGoodJava;
using test::kMismatchJava;

// What the window showed while the analysis waited for a box.
struct Meanwhile {
  bool analysing = false;
  bool statusReadable = false;
  std::string status;
  bool stopOffered = false;
  bool startOffered = true;
  bool selectionOffered = true;
  bool progressShown = false;
  int progressValue = -1;
  int progressMaximum = -1;
  Qt::CursorShape cursor = Qt::ArrowCursor;
};

// Five files; the third makes the reader show a box in the middle of the run.
class frmWelcomeRun : public test::MainWindowTest, public ::testing::WithParamInterface<int32_t> {
 public:
  void SetUp() override {
    makeWindow(GetParam());
    for (const char* name : {"A.java", "B.java", "D.java", "E.java"}) sources.write(name, kGoodJava);
    sources.write("C.java", kMismatchJava);
    ASSERT_TRUE(window->selectDirectory(sources.str()));
  }

  Meanwhile look() const {
    Meanwhile seen;
    seen.analysing = window->isAnalysing();
    seen.statusReadable = window->lblMsg->isEnabled() && window->lblMsg->isVisible();
    seen.status = window->statusText();
    seen.stopOffered = window->cmdStop->isEnabled() && window->cmdStop->isVisible();
    seen.startOffered = window->cmdOK->isEnabled();
    seen.selectionOffered = window->dirSelect->isEnabled() || window->Frame1->isEnabled();
    seen.progressShown = window->prgAnalysis->isVisible();
    seen.progressValue = window->prgAnalysis->value();
    seen.progressMaximum = window->prgAnalysis->maximum();
    seen.cursor = window->cursor().shape();
    return seen;
  }

  std::vector<std::string> files() const { return column(test::readXlsx(window->lastWorkbook()), "File", 1); }
};

TEST_P(frmWelcomeRun, WindowStaysReadableAndShowsProgressWhileTheAnalysisWaitsForABox) {
  Meanwhile seen;
  int boxes = 0;
  messages.onCritical = [&](const std::string&) {
    ++boxes;
    seen = look();
  };
  start();

  ASSERT_EQ(boxes, 1);
  EXPECT_TRUE(seen.analysing);
  EXPECT_TRUE(seen.statusReadable);
  EXPECT_TRUE(contains(seen.status, "[ 3/ 5] ")) << seen.status;
  EXPECT_TRUE(seen.stopOffered);
  EXPECT_FALSE(seen.startOffered);
  EXPECT_FALSE(seen.selectionOffered);
  EXPECT_TRUE(seen.progressShown);
  EXPECT_EQ(seen.progressValue, 2);
  EXPECT_EQ(seen.progressMaximum, 5);
  EXPECT_EQ(seen.cursor, Qt::BusyCursor);

  // The box answered, the analysis went on to the end.
  const Meanwhile after = look();
  EXPECT_FALSE(after.analysing);
  EXPECT_EQ(after.status, "解析が終了しました");
  EXPECT_FALSE(after.stopOffered);
  EXPECT_TRUE(after.startOffered);
  EXPECT_EQ(after.progressValue, 5);
  EXPECT_EQ(after.cursor, Qt::ArrowCursor);
  EXPECT_EQ(files(), (std::vector<std::string>{"A.java", "B.java", "C.java", "D.java", "E.java"}));
}

TEST_P(frmWelcomeRun, StopFinishesTheFileAtWorkAndWritesThePartialWorkbook) {
  messages.onCritical = [&](const std::string&) { QTest::mouseClick(window->cmdStop, Qt::LeftButton); };
  start();

  const fs::path workbook = window->lastWorkbook();
  EXPECT_TRUE(contains(workbook.filename().string(), "-partial.xlsx")) << workbook;
  const test::XlsxBook book = test::readXlsx(workbook);
  EXPECT_EQ(column(book, "File", 1), (std::vector<std::string>{"A.java", "B.java", "C.java"}));
  EXPECT_EQ(book.sheet("Summ")->text(2, 1), test::kEndedEarly);
  EXPECT_EQ(window->statusText(), "解析を中止しました");
  EXPECT_EQ(window->fraResult->workbook().toStdString(), workbook.string());
  EXPECT_TRUE(contains(window->fraResult->stateText().toStdString(), "途中までのレポートです"));
  EXPECT_TRUE(contains(window->fraResult->stateText().toStdString(), " 3 ファイル"));
  // Stopping asks for nothing more: no error box, nothing brought up.
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown.front().rfind("C:解析エラー！", 0), 0u);
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(window->cmdOK->isEnabled());

  // The next analysis runs to its end again.
  messages.onCritical = nullptr;
  start();
  EXPECT_EQ(files().size(), 5u);
  EXPECT_EQ(window->statusText(), "解析が終了しました");
}

TEST_P(frmWelcomeRun, ClosingDuringTheAnalysisAsksWhetherToStopIt) {
  for (const bool stop : {false, true}) {
    SCOPED_TRACE(stop);
    answerYes = stop;
    questions.clear();
    opened.clear();
    messages.onCritical = [&](const std::string&) { window->close(); };
    start();

    EXPECT_EQ(questions, std::vector<std::string>{"解析中です。解析を中止して終了しますか？"});
    EXPECT_EQ(window->isVisible(), !stop);
    const test::XlsxBook book = test::readXlsx(window->lastWorkbook());
    if (stop) {
      // The window closed once the analysis had stopped; what was measured is kept.
      EXPECT_EQ(column(book, "File", 1), (std::vector<std::string>{"A.java", "B.java", "C.java"}));
      EXPECT_EQ(book.sheet("Summ")->text(2, 1), test::kEndedEarly);
      EXPECT_TRUE(opened.empty());
    } else {
      EXPECT_EQ(column(book, "File", 1).size(), 5u);
      EXPECT_EQ(opened.size(), 1u);
    }
  }
}

TEST_P(frmWelcomeRun, AnalysisEndingWhileTheCloseQuestionIsOpenWaitsForTheAnswer) {
  for (const bool close : {false, true}) {
    SCOPED_TRACE(close);
    answerYes = close;
    opened.clear();
    messages.shown.clear();
    for (const fs::path& book : workbooks()) fs::remove(book);
    window->show();
    // Asked for right after the box, so the question is open while the
    // analysis runs on to its end.
    messages.onCritical = [&](const std::string&) {
      QTimer::singleShot(0, window.get(), [&] { window->close(); });
    };
    std::string panelWhenAnswered = "?";
    size_t boxesWhenAnswered = 0;
    auto answer = [&] {
      // The question's own event loop runs while the analysis ends.
      for (int i = 0; i < 30000 && workbooks().empty(); ++i) QTest::qWait(10);
      QTest::qWait(200);
      panelWhenAnswered = window->fraResult->workbook().toStdString();
      boxesWhenAnswered = messages.shown.size();
    };
    questions.clear();
    askHook = answer;
    start();

    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(panelWhenAnswered, "") << "the end was shown over the question";
    EXPECT_EQ(boxesWhenAnswered, 1u);
    EXPECT_EQ(window->isVisible(), !close);
    EXPECT_EQ(column(test::readXlsx(window->lastWorkbook()), "File", 1).size(), 5u);
    EXPECT_EQ(opened.size(), close ? 0u : 1u);
    EXPECT_EQ(messages.shown.size(), 1u);
  }
}

TEST_P(frmWelcomeRun, WindowGoingAwayDuringTheAnalysisStopsItAndKeepsWhatWasMeasured) {
  // D shows a box too: the analysis waits there for the window, which is
  // gone by then, or is still at C.
  sources.write("D.java", kMismatchJava);
  QPointer<frmWelcome> guard = window.get();
  // Deleted after the first box, as the end of the program would take it.
  messages.onCritical = [&](const std::string&) {
    if (window) window.release()->deleteLater();
  };
  QTest::mouseClick(window->cmdOK, Qt::LeftButton);
  for (int i = 0; i < 30000 && guard != nullptr; ++i) {
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  ASSERT_EQ(guard, nullptr);
  const std::vector<fs::path> books = workbooks();
  ASSERT_EQ(books.size(), 1u);
  EXPECT_TRUE(contains(books.front().filename().string(), "-partial.xlsx"));
  const std::vector<std::string> measured = column(test::readXlsx(books.front()), "File", 1);
  EXPECT_TRUE(measured == (std::vector<std::string>{"A.java", "B.java", "C.java"}) ||
              measured == (std::vector<std::string>{"A.java", "B.java", "C.java", "D.java"}))
      << measured.size();
}

INSTANTIATE_TEST_SUITE_P(Jobs, frmWelcomeRun, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return "Jobs" + std::to_string(info.param);
                         });

// The workbook of the analysis on its own thread is the one the driver
// writes when it is called on this thread, cell for cell.
struct SameCase {
  const char* name;
  bool examples;  // the repository's examples, else a generated tree with a failing file
  bool modern;
  bool keepGoing;
  int32_t jobs;
};

std::ostream& operator<<(std::ostream& out, const SameCase& c) { return out << c.name; }

class frmWelcomeSameWorkbook : public test::MainWindowTest, public ::testing::WithParamInterface<SameCase> {
 public:
  void SetUp() override { makeWindow(GetParam().jobs); }

  // The driver and the report writer called on this thread, with the
  // window's option dialog, into a workbook of their own.
  fs::path onThisThread(const fs::path& root, const fs::path& out) {
    const SameCase& c = GetParam();
    test::RecordingStatusLine status;
    test::RecordingUserMessage boxes;
    OutputMgr report([&out] { return std::make_unique<XlsxWorkbook>(out); });
    report.setKeepGoing(c.keepGoing);
    AnalyzerMain driver(status, boxes);
    if (c.modern) driver.setFileAnalyzerFactory([] { return std::make_unique<ModernFileAnalyzer>(); });
    driver.setKeepGoing(c.keepGoing);
    driver.init(&report, window->optionDialog());
    try {
      driver.doAnalysisDir(root.string(), true);
      return out;
    } catch (const RztError&) {
      report.finishedWithError();
      return partialReportPath(out);
    }
  }
};

TEST_P(frmWelcomeSameWorkbook, CellForCellAsOnTheCallingThread) {
  const SameCase& c = GetParam();
  fs::path root = fs::path(RZT_SOURCE_DIR) / "examples";
  if (!c.examples) {
    root = sources.path() / "tree";
    test::generateJavaTree(root, 60, 20260512, 17);
  }
  ASSERT_TRUE(window->selectDirectory(root.string()));
  QTest::mouseClick(window->optAllDir, Qt::LeftButton);
  window->optionDialog().chkKeepGoing->setChecked(c.keepGoing);
  (c.modern ? window->optionDialog().optSyntaxModern : window->optionDialog().optSyntaxClassic)->setChecked(true);
  start();

  test::TempDir reference;
  const fs::path expected = onThisThread(root, reference.path() / "reference.xlsx");
  const test::XlsxBook want = test::readXlsx(expected);
  const test::XlsxBook got = test::readXlsx(window->lastWorkbook());
  EXPECT_EQ(test::firstDifference(want, got), "");
  EXPECT_GT(test::cellCount(got), 100u);
  EXPECT_EQ(contains(window->lastWorkbook().string(), "-partial"), contains(expected.string(), "-partial"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, frmWelcomeSameWorkbook,
    ::testing::Values(SameCase{"ExamplesClassic", true, false, false, 1}, SameCase{"ExamplesModern", true, true, false, 2},
                      SameCase{"TreeKeepGoing", false, false, true, 1}, SameCase{"TreeKeepGoingJobs2", false, false, true, 2},
                      SameCase{"TreeModernJobs2", false, true, true, 2}, SameCase{"TreeEndsAtTheError", false, false, false, 2}),
    [](const ::testing::TestParamInfo<SameCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rzt::ui
