#include "report/OutputMgr.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ReportTestSupport.h"
#include "report/BufferedWorkbook.h"
#include "report/ReportTotals.h"
#include "support/RztError.h"

namespace rzt::test {
namespace {

using Cell = MemoryWorkbook::Cell;

std::string textAt(const MemoryWorkbook& b, const std::string& sheet, int r, int c) {
  const Cell* cell = b.cell(sheet, r, c);
  return cell && cell->hasText ? cell->text : std::string();
}

std::optional<double> numberAt(const MemoryWorkbook& b, const std::string& sheet, int r, int c) {
  const Cell* cell = b.cell(sheet, r, c);
  if (cell && cell->hasNumber) return cell->number;
  return std::nullopt;
}

bool emptyAt(const MemoryWorkbook& b, const std::string& sheet, int r, int c) {
  const Cell* cell = b.cell(sheet, r, c);
  return cell == nullptr || (!cell->hasText && !cell->hasNumber);
}

// The last row of a sheet that holds a value.
int lastRow(const MemoryWorkbook& b, const std::string& sheet) {
  int last = 0;
  for (const auto& [at, cell] : b.sheet(sheet)->cells) {
    if (cell.hasText || cell.hasNumber) last = std::max(last, at.first);
  }
  return last;
}

std::vector<std::string> rowTexts(const MemoryWorkbook& b, const std::string& sheet, int row,
                                  int columns) {
  std::vector<std::string> out;
  for (int c = 1; c <= columns; ++c) out.push_back(textAt(b, sheet, row, c));
  return out;
}

const std::vector<std::string> kFileHeadings = {"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行", "命令行",
                                                "ｺﾒﾝﾄ行", "ﾌﾞﾗﾝｸ行", "ｸﾗｽ", "import"};
const std::vector<std::string> kClassHeadings = {
    "ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名",      "ﾀｲﾌﾟ",       "ｱｸｾｽ",       "ｽﾃｰﾄﾒﾝﾄ",   "公開ﾒｿｯﾄﾞ",
    "全ﾒｿｯﾄﾞ",   "公開ｸﾗｽﾒｿｯﾄﾞ", "全ｸﾗｽﾒｿｯﾄﾞ", "公開属性",   "全属性",    "公開ｸﾗｽ属性",
    "全ｸﾗｽ属性", "定数",        "ｲﾝﾅｰｸﾗｽ",    "staticﾌﾞﾛｯｸ", "extends",   "implements"};
const std::vector<std::string> kMethodHeadings = {
    "ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "抽象",  "ﾀｲﾌﾟ",   "ｱｸｾｽ", "戻り値", "引数",
    "ｽﾃｰﾄﾒﾝﾄ",   "MSG送信", "OBJ生成", "変数", "定数",   "if",   "for",    "while",
    "do",         "switch", "try",     "return", "throw", "匿名ｸﾗｽ", "final", "native"};
const std::vector<std::string> kDiagnosisHeadings = {"ﾊﾟｯｹｰｼﾞ名", "ﾌｧｲﾙ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名",
                                                     "区分",       "診断",   "値"};

TEST(OutputMgrTest, PrepareMakesTheSheetsWithHeadingsAndReadsOnlyWhatItNeeds) {
  for (bool diag : {true, false}) {
    SCOPED_TRACE(diag ? "diagnosis on" : "diagnosis off");
    MemoryReport report;
    RecordingOption options;
    options.diag = diag;
    options.zoom = 120;
    report.mgr.prepare(options);
    std::vector<std::string> expectedCalls = {"excelIsMax", "getExcelZoom", "diagIsOn"};
    if (diag) {
      for (const char* getter :
           {"getFMaxClass", "getFMaxLoc", "getFMinCommentRate", "getCMaxStatement",
            "getCMaxPubMethod", "getCMaxAveStatement", "getCMaxPubAttr", "getMMaxStatement",
            "getMMaxMsgSend", "getMMaxVariable", "getMMaxBranch", "getMMaxLoop"}) {
        expectedCalls.push_back(getter);
      }
    }
    EXPECT_EQ(options.calls, expectedCalls);

    report.mgr.finishedAllAnalysis();
    const MemoryWorkbook& b = report.book();
    std::vector<std::string> names = {"Summ", "File", "Class", "Method"};
    if (diag) names.push_back("診断");
    EXPECT_EQ(b.sheetNames(), names);
    EXPECT_TRUE(b.closed());
    EXPECT_EQ(b.shownSheet(), "Summ");
    for (const std::string& name : names) {
      SCOPED_TRACE(name);
      const MemoryWorkbook::SheetData* s = b.sheet(name);
      EXPECT_TRUE(s->frozen);
      EXPECT_TRUE(s->centred);
      EXPECT_EQ(s->zoom, 120);
      EXPECT_TRUE(s->fitted);
      EXPECT_FALSE(s->widths.empty());
    }
    EXPECT_EQ(rowTexts(b, "Summ", 1, 2), (std::vector<std::string>{"メトリクス", "値"}));
    EXPECT_EQ(rowTexts(b, "File", 1, 9), [] {
      auto h = kFileHeadings;
      h.push_back("");  // no syntax-error column without such files
      return h;
    }());
    EXPECT_EQ(rowTexts(b, "Class", 1, 18), kClassHeadings);
    EXPECT_EQ(rowTexts(b, "Method", 1, 24), kMethodHeadings);
    if (diag) {
      EXPECT_EQ(rowTexts(b, "診断", 1, 7), kDiagnosisHeadings);
      EXPECT_EQ(textAt(b, "診断", 2, 1), "特に問題はありませんでした");
      EXPECT_EQ(lastRow(b, "診断"), 2);
    }
    EXPECT_EQ(lastRow(b, "File"), 1);
    EXPECT_EQ(lastRow(b, "Class"), 1);
    EXPECT_EQ(lastRow(b, "Method"), 1);
  }
}

TEST(OutputMgrTest, RowsHoldTextsAsTextsNumbersAsNumbersAndLeaveCellsEmpty) {
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);

  MethodRecord m = methodRecord("run", "A$B", "org.x", "protected");
  m.returnsValue = true;
  int32_t n = 1;
  for (Counter* c : {&m.argumentCount, &m.statementCount, &m.messagePassingCount,
                     &m.instanciationCount, &m.localVariables, &m.localConstants,
                     &m.ifStatementCount, &m.forStatementCount, &m.whileStatementCount,
                     &m.doStatementCount, &m.switchStatementCount, &m.tryStatementCount,
                     &m.returnStatementCount, &m.throwStatementCount, &m.anonymousClassCount}) {
    *c = Counter(n++);
  }
  m.throwsCount = Counter(99);  // never shown
  report.mgr.finishedMethodAnalysis(m);

  ClassRecord c = classRecord("A$B", "org.x", "");
  c.innerClass = true;
  n = 1;
  for (Counter* v : {&c.statementCount, &c.publicInstanceMethodCount, &c.instanceMethodCount,
                     &c.publicClassMethodCount, &c.classMethodCount,
                     &c.publicInstanceVariableCount, &c.instanceVariableCount,
                     &c.publicClassVariableCount, &c.classVariableCount, &c.constantCount,
                     &c.innerClassCount, &c.staticBlockCount, &c.extendsCount,
                     &c.implementsCount}) {
    *v = Counter(n++);
  }
  report.mgr.finishedClassAnalysis(c);
  report.mgr.finishedFileAnalysis(fileRecord("A.java", "org.x", 120, 80, 30, 10, 2, 7));
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();

  EXPECT_EQ(rowTexts(b, "Method", 2, 7),
            (std::vector<std::string>{"org.x", "A$B", "run", "", "", "protected", "あり"}));
  for (int col : {4, 5, 23, 24}) EXPECT_TRUE(emptyAt(b, "Method", 2, col)) << col;
  for (int col = 8; col <= 22; ++col) EXPECT_EQ(numberAt(b, "Method", 2, col), col - 7) << col;

  EXPECT_EQ(rowTexts(b, "Class", 2, 4), (std::vector<std::string>{"org.x", "A$B", "inner", ""}));
  EXPECT_TRUE(emptyAt(b, "Class", 2, 4));  // an empty access leaves the cell empty
  const int classColumns[] = {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(numberAt(b, "Class", 2, classColumns[i]), i + 1) << classColumns[i];
  }

  EXPECT_EQ(rowTexts(b, "File", 2, 2), (std::vector<std::string>{"A.java", "org.x"}));
  const double fileNumbers[] = {120, 80, 30, 10, 2, 7};
  for (int col = 3; col <= 8; ++col) EXPECT_EQ(numberAt(b, "File", 2, col), fileNumbers[col - 3]);
  EXPECT_TRUE(emptyAt(b, "File", 2, 9));
  EXPECT_TRUE(emptyAt(b, "File", 1, 9));
}

TEST(OutputMgrTest, TypeCellsOfClassesAndMethods) {
  struct ClassCase {
    bool inner, classType;
    std::string kindText, expected;
  };
  const ClassCase classCases[] = {
      {false, true, "", "class"},      {false, false, "", "interface"},
      {true, true, "", "inner"},       {true, false, "", "inner"},
      {false, true, "enum", "enum"},   {false, false, "annotation", "annotation"},
      {true, true, "record", "inner"},
  };
  struct MethodCase {
    bool constructor, isStatic, abstract, final, native, returns;
    std::vector<std::string> expected;  // columns 4, 5, 7, 23, 24
  };
  const MethodCase methodCases[] = {
      {false, false, false, false, false, false, {"", "", "なし", "", ""}},
      {true, false, false, false, false, false, {"", "ｺﾝｽﾄﾗｸﾀ", "なし", "", ""}},
      {true, true, false, false, false, false, {"", "ｺﾝｽﾄﾗｸﾀ", "なし", "", ""}},
      {false, true, false, false, false, true, {"", "static", "あり", "", ""}},
      {false, false, true, true, true, true, {"yes", "", "あり", "yes", "yes"}},
      {false, false, false, false, true, false, {"", "", "なし", "", "yes"}},
  };
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);
  for (const ClassCase& c : classCases) {
    ClassRecord r = classRecord("C");
    r.innerClass = c.inner;
    r.classType = c.classType;
    r.kindText = c.kindText;
    report.mgr.finishedClassAnalysis(r);
  }
  for (const MethodCase& c : methodCases) {
    MethodRecord r = methodRecord("m");
    r.constructorMethod = c.constructor;
    r.staticMethod = c.isStatic;
    r.abstractMethod = c.abstract;
    r.finalMethod = c.final;
    r.nativeMethod = c.native;
    r.returnsValue = c.returns;
    r.synchronizedMethod = true;  // never shown
    report.mgr.finishedMethodAnalysis(r);
  }
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();
  int row = 2;
  for (const ClassCase& c : classCases) {
    EXPECT_EQ(textAt(b, "Class", row++, 3), c.expected) << c.expected;
  }
  row = 2;
  for (const MethodCase& c : methodCases) {
    SCOPED_TRACE(row);
    std::vector<std::string> got;
    for (int col : {4, 5, 7, 23, 24}) got.push_back(textAt(b, "Method", row, col));
    EXPECT_EQ(got, c.expected);
    for (int col : {4, 5, 23, 24}) {
      if (textAt(b, "Method", row, col).empty()) {
        EXPECT_TRUE(emptyAt(b, "Method", row, col));
      }
    }
    ++row;
  }
}

// One finding of the diagnosis sheet.
struct Finding {
  std::string level, message;
  double value;
  bool operator==(const Finding&) const = default;
};

void PrintTo(const Finding& f, std::ostream* os) {
  *os << f.level << " " << f.message << " " << f.value;
}

std::vector<Finding> findings(const MemoryWorkbook& b) {
  std::vector<Finding> out;
  for (int row = 2;; ++row) {
    std::string level = textAt(b, "診断", row, 5);
    if (level.empty()) break;
    auto value = numberAt(b, "診断", row, 7);
    EXPECT_TRUE(value.has_value());
    out.push_back({level, textAt(b, "診断", row, 6), value.value_or(-1)});
  }
  return out;
}

// One rule case: thresholds, the record reported, the findings expected.
struct RuleCase {
  std::string name;
  std::function<void(RecordingOption&)> thresholds;
  std::function<void(OutputMgr&)> report;
  std::vector<Finding> expected;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

MethodRecord methodWith(std::function<void(MethodRecord&)> set) {
  MethodRecord m = methodRecord("m");
  set(m);
  return m;
}

ClassRecord classWith(std::function<void(ClassRecord&)> set) {
  ClassRecord c = classRecord("C");
  set(c);
  return c;
}

auto reportMethod(std::function<void(MethodRecord&)> set) {
  return [set](OutputMgr& mgr) { mgr.finishedMethodAnalysis(methodWith(set)); };
}
auto reportClass(std::function<void(ClassRecord&)> set) {
  return [set](OutputMgr& mgr) { mgr.finishedClassAnalysis(classWith(set)); };
}
auto reportFile(int32_t allLoc, int32_t loc, int32_t comment, int32_t classes) {
  return [=](OutputMgr& mgr) {
    mgr.finishedFileAnalysis(fileRecord("F.java", "p", allLoc, loc, comment, 0, classes));
  };
}
auto noThresholdChange = [](RecordingOption&) {};

const char* kTooManyStatements = "ステートメントが多過ぎます";

const std::vector<RuleCase> kRuleCases = {
    // Methods: every rule is greater-or-equal.
    {"method statements equal", [](RecordingOption& o) { o.mMaxStatement = 40; },
     reportMethod([](MethodRecord& m) { m.statementCount = Counter(40); }),
     {{"[Method]", kTooManyStatements, 40}}},
    {"method statements one below", [](RecordingOption& o) { o.mMaxStatement = 41; },
     reportMethod([](MethodRecord& m) { m.statementCount = Counter(40); }), {}},
    {"message sends", [](RecordingOption& o) { o.mMaxMsgSend = 3; },
     reportMethod([](MethodRecord& m) { m.messagePassingCount = Counter(3); }),
     {{"[Method]", "メッセージ送信が多過ぎます", 3}}},
    {"message sends below", [](RecordingOption& o) { o.mMaxMsgSend = 4; },
     reportMethod([](MethodRecord& m) { m.messagePassingCount = Counter(3); }), {}},
    {"local variables", [](RecordingOption& o) { o.mMaxVariable = 2; },
     reportMethod([](MethodRecord& m) { m.localVariables = Counter(5); m.localConstants = Counter(9); }),
     {{"[Method]", "ローカル変数が多過ぎます", 5}}},
    {"branches are if plus switch", [](RecordingOption& o) { o.mMaxBranch = 5; },
     reportMethod([](MethodRecord& m) { m.ifStatementCount = Counter(3); m.switchStatementCount = Counter(2); }),
     {{"[Method]", "分岐ステートメント(if/swtch)が多過ぎます", 5}}},
    {"branches below", [](RecordingOption& o) { o.mMaxBranch = 6; },
     reportMethod([](MethodRecord& m) { m.ifStatementCount = Counter(3); m.switchStatementCount = Counter(2); }), {}},
    {"loops are for, while and do", [](RecordingOption& o) { o.mMaxLoop = 6; },
     reportMethod([](MethodRecord& m) {
       m.forStatementCount = Counter(1); m.whileStatementCount = Counter(2); m.doStatementCount = Counter(3);
     }),
     {{"[Method]", "繰返しステートメント(for/do/while)が多過ぎます", 6}}},
    {"loops below", [](RecordingOption& o) { o.mMaxLoop = 7; },
     reportMethod([](MethodRecord& m) {
       m.forStatementCount = Counter(1); m.whileStatementCount = Counter(2); m.doStatementCount = Counter(3);
     }), {}},
    {"zero thresholds report every method, in rule order",
     [](RecordingOption& o) { o.mMaxStatement = o.mMaxMsgSend = o.mMaxVariable = o.mMaxBranch = o.mMaxLoop = 0; },
     reportMethod([](MethodRecord&) {}),
     {{"[Method]", kTooManyStatements, 0}, {"[Method]", "メッセージ送信が多過ぎます", 0},
      {"[Method]", "ローカル変数が多過ぎます", 0},
      {"[Method]", "分岐ステートメント(if/swtch)が多過ぎます", 0},
      {"[Method]", "繰返しステートメント(for/do/while)が多過ぎます", 0}}},
    {"negative threshold", [](RecordingOption& o) { o.mMaxStatement = -3; },
     reportMethod([](MethodRecord&) {}), {{"[Method]", kTooManyStatements, 0}}},
    // Classes.
    {"class statements equal", [](RecordingOption& o) { o.cMaxStatement = 12; },
     reportClass([](ClassRecord& c) { c.statementCount = Counter(12); }),
     {{"[Class]", kTooManyStatements, 12}}},
    {"class statements below", [](RecordingOption& o) { o.cMaxStatement = 13; },
     reportClass([](ClassRecord& c) { c.statementCount = Counter(12); }), {}},
    {"public instance methods", [](RecordingOption& o) { o.cMaxPubMethod = 2; o.cMaxAveStatement = 100; },
     reportClass([](ClassRecord& c) { c.publicInstanceMethodCount = Counter(2); c.instanceMethodCount = Counter(2); c.publicClassMethodCount = Counter(5); }),
     {{"[Class]", "公開インスタンスメソッドが多過ぎます", 2}}},
    {"average 7 over 2 against 3", [](RecordingOption& o) { o.cMaxAveStatement = 3; },
     reportClass([](ClassRecord& c) { c.statementCount = Counter(7); c.instanceMethodCount = Counter(1); c.classMethodCount = Counter(1); }),
     {{"[Class]", "メソッド当りの平均ステートメントが多過ぎます", 3}}},
    {"average 5 over 2 against 3", [](RecordingOption& o) { o.cMaxAveStatement = 3; },
     reportClass([](ClassRecord& c) { c.statementCount = Counter(5); c.instanceMethodCount = Counter(2); }), {}},
    {"average equal to the threshold", [](RecordingOption& o) { o.cMaxAveStatement = 3; },
     reportClass([](ClassRecord& c) { c.statementCount = Counter(6); c.classMethodCount = Counter(2); }),
     {{"[Class]", "メソッド当りの平均ステートメントが多過ぎます", 3}}},
    {"no average without methods", [](RecordingOption& o) { o.cMaxAveStatement = 0; },
     reportClass([](ClassRecord& c) { c.statementCount = Counter(250); }), {}},
    {"one public attribute against 1", [](RecordingOption& o) { o.cMaxPubAttr = 1; },
     reportClass([](ClassRecord& c) { c.publicInstanceVariableCount = Counter(1); }),
     {{"[Class]", "公開属性があります", 1}}},
    {"five public attributes against 5", [](RecordingOption& o) { o.cMaxPubAttr = 5; },
     reportClass([](ClassRecord& c) { c.publicInstanceVariableCount = Counter(2); c.publicClassVariableCount = Counter(3); }),
     {{"[Class]", "公開属性が多過ぎます", 5}}},
    {"four public attributes against 5", [](RecordingOption& o) { o.cMaxPubAttr = 5; },
     reportClass([](ClassRecord& c) { c.publicInstanceVariableCount = Counter(2); c.publicClassVariableCount = Counter(2); c.instanceVariableCount = Counter(9); }), {}},
    {"public attributes against 0", [](RecordingOption& o) { o.cMaxPubAttr = 0; },
     reportClass([](ClassRecord&) {}), {{"[Class]", "公開属性があります", 0}}},
    {"class rules in order",
     [](RecordingOption& o) { o.cMaxStatement = 10; o.cMaxPubMethod = 1; o.cMaxAveStatement = 5; o.cMaxPubAttr = 2; },
     reportClass([](ClassRecord& c) {
       c.statementCount = Counter(11); c.publicInstanceMethodCount = Counter(1); c.instanceMethodCount = Counter(2);
       c.publicClassVariableCount = Counter(2);
     }),
     {{"[Class]", kTooManyStatements, 11}, {"[Class]", "公開インスタンスメソッドが多過ぎます", 1},
      {"[Class]", "メソッド当りの平均ステートメントが多過ぎます", 5}, {"[Class]", "公開属性が多過ぎます", 2}}},
    // Files: statement lines, classes, then the comment ratio.
    {"file statement lines equal", [](RecordingOption& o) { o.fMaxLoc = 100; },
     reportFile(300, 100, 200, 1), {{"[File]", "命令行が多過ぎます", 100}}},
    {"file statement lines below", [](RecordingOption& o) { o.fMaxLoc = 101; },
     reportFile(300, 100, 200, 1), {}},
    {"file classes equal", [](RecordingOption& o) { o.fMaxClass = 2; },
     reportFile(300, 100, 200, 2), {{"[File]", "クラス数が多過ぎます", 2}}},
    {"file classes below", [](RecordingOption& o) { o.fMaxClass = 3; }, reportFile(300, 100, 200, 2), {}},
    {"comment ratio equal to the limit", [](RecordingOption& o) { o.fMinCommentRate = 10; },
     reportFile(100, 90, 10, 1), {{"[File]", "コメントが少な過ぎます", 10}}},
    {"comment ratio just above", [](RecordingOption& o) { o.fMinCommentRate = 10; },
     reportFile(100, 89, 11, 1), {}},
    {"comment ratio whole part", [](RecordingOption& o) { o.fMinCommentRate = 10; },
     reportFile(300, 271, 29, 1), {{"[File]", "コメントが少な過ぎます", 9}}},
    {"no comment ratio of an empty file", [](RecordingOption& o) { o.fMinCommentRate = 10; },
     reportFile(0, 0, 0, 0), {}},
    {"file rules in order", [](RecordingOption& o) { o.fMaxLoc = 1; o.fMaxClass = 1; o.fMinCommentRate = 50; },
     reportFile(10, 8, 2, 1),
     {{"[File]", "命令行が多過ぎます", 8}, {"[File]", "クラス数が多過ぎます", 1},
      {"[File]", "コメントが少な過ぎます", 20}}},
    // The described defaults find nothing in a small, commented file.
    {"defaults", noThresholdChange, reportFile(100, 60, 30, 1), {}},
};

class OutputMgrRuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(OutputMgrRuleTest, Findings) {
  const RuleCase& c = GetParam();
  MemoryReport report;
  RecordingOption options;
  // Thresholds far away unless the case sets them.
  options.fMaxClass = options.fMaxLoc = options.cMaxStatement = options.cMaxPubMethod =
      options.cMaxAveStatement = options.cMaxPubAttr = options.mMaxStatement = options.mMaxMsgSend =
          options.mMaxVariable = options.mMaxBranch = options.mMaxLoop = 30000;
  options.fMinCommentRate = -1;
  if (c.name == "defaults") options = RecordingOption();
  c.thresholds(options);
  report.mgr.prepare(options);
  c.report(report.mgr);
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();
  EXPECT_EQ(findings(b), c.expected);
  if (c.expected.empty()) {
    EXPECT_EQ(textAt(b, "診断", 2, 1), "特に問題はありませんでした");
    EXPECT_EQ(lastRow(b, "診断"), 2);
  }
  for (size_t i = 0; i < c.expected.size(); ++i) {
    int row = static_cast<int>(i) + 2;
    const std::string& level = c.expected[i].level;
    EXPECT_EQ(textAt(b, "診断", row, 1), "p");
    EXPECT_FALSE(textAt(b, "診断", row, 2).empty());
    EXPECT_EQ(emptyAt(b, "診断", row, 3), level == "[File]");
    EXPECT_EQ(emptyAt(b, "診断", row, 4), level != "[Method]");
  }
}

INSTANTIATE_TEST_SUITE_P(Rules, OutputMgrRuleTest, testing::ValuesIn(kRuleCases));

TEST(OutputMgrTest, FindingsNameTheirSourceAndFollowTheOrderOfTheRows) {
  MemoryReport report;
  RecordingOption options;
  options.mMaxStatement = 1;
  options.cMaxStatement = 1;
  options.fMaxLoc = 1;
  report.mgr.prepare(options);
  MethodRecord m = methodRecord("go", "Outer$Inner", "a.b");
  m.fileName = "Outer.java";
  m.statementCount = Counter(3);
  report.mgr.finishedMethodAnalysis(m);
  ClassRecord c = classRecord("Outer$Inner", "a.b");
  c.fileName = "Outer.java";
  c.statementCount = Counter(3);
  c.instanceMethodCount = Counter(1);
  report.mgr.finishedClassAnalysis(c);
  report.mgr.finishedFileAnalysis(fileRecord("Outer.java", "a.b", 10, 5, 5, 0));
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();
  EXPECT_EQ(rowTexts(b, "診断", 2, 6), (std::vector<std::string>{"a.b", "Outer.java", "Outer$Inner", "go", "[Method]", kTooManyStatements}));
  EXPECT_EQ(rowTexts(b, "診断", 3, 6), (std::vector<std::string>{"a.b", "Outer.java", "Outer$Inner", "", "[Class]", kTooManyStatements}));
  EXPECT_EQ(rowTexts(b, "診断", 4, 6), (std::vector<std::string>{"a.b", "Outer.java", "", "", "[File]", "命令行が多過ぎます"}));
  EXPECT_EQ(lastRow(b, "診断"), 4);
}

// The summary's column 2 of rows 2 to 21: nullopt for an empty cell.
std::vector<std::optional<double>> summaryValues(const MemoryWorkbook& b) {
  std::vector<std::optional<double>> out;
  for (int row = 2; row <= 21; ++row) out.push_back(numberAt(b, "Summ", row, 2));
  return out;
}

const std::vector<std::pair<int, std::string>> kSummaryLabels = {
    {2, "ファイル数"}, {3, "パッケージ数"}, {4, "全クラス数"}, {5, "公開クラス数"},
    {6, "インタフェース数"}, {7, "全メソッド数"}, {8, "公開メソッド数"}, {10, "行数"},
    {11, "命令行数"}, {12, "コメント行数"}, {13, "ステートメント数"},
    {15, "１パッケージ当たり平均クラス数"}, {16, "１クラス当たり平均メソッド数"},
    {17, "１メソッド当たり平均ステートメント数"}, {19, "１ファイル当たり平均行数"},
    {20, "１ファイル当たり平均命令行数"}, {21, "平均コメント比率"}};

std::string expectedFormat(int row) {
  if (row >= 10 && row <= 13) return "#,##0_ ";
  if (row >= 15 && row <= 20) return "0.0_ ";
  if (row == 21) return "0.0%";
  return "";
}

void expectSummaryLayout(const MemoryWorkbook& b) {
  for (const auto& [row, label] : kSummaryLabels) {
    SCOPED_TRACE(row);
    EXPECT_EQ(textAt(b, "Summ", row, 1), label);
    const Cell* value = b.cell("Summ", row, 2);
    EXPECT_EQ(value ? value->format : std::string(), expectedFormat(row));
  }
  for (int row : {9, 14, 18}) {
    EXPECT_TRUE(emptyAt(b, "Summ", row, 1));
    EXPECT_TRUE(emptyAt(b, "Summ", row, 2));
  }
  EXPECT_EQ(lastRow(b, "Summ"), 21);
}

TEST(OutputMgrTest, SummaryOfZeroFilesHasLabelsAndFormatsButNoAverages) {
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();
  expectSummaryLayout(b);
  std::vector<std::optional<double>> expected(20, std::nullopt);
  for (int row : {2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13}) expected[row - 2] = 0;
  EXPECT_EQ(summaryValues(b), expected);
  ASSERT_EQ(report.mgr.summary().size(), 17u);
  EXPECT_FALSE(report.mgr.summary().back().value.has_value());
  EXPECT_EQ(report.mgr.summary().back().label, "平均コメント比率");
}

TEST(OutputMgrTest, SummaryTotalsAveragesAndRatio) {
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);
  // One file, a package, one public class of three methods (two public), and
  // a package-private interface.
  for (int i = 0; i < 3; ++i) {
    MethodRecord m = methodRecord("m" + std::to_string(i));
    m.access = i < 2 ? "public" : "Public";
    m.statementCount = Counter(4);
    report.mgr.finishedMethodAnalysis(m);
  }
  ClassRecord c = classRecord("A");
  c.statementCount = Counter(12);
  report.mgr.finishedClassAnalysis(c);
  ClassRecord i = classRecord("I", "p", "package");
  i.classType = false;
  i.statementCount = Counter(3);
  report.mgr.finishedClassAnalysis(i);
  report.mgr.finishedFileAnalysis(fileRecord("A.java", "p", 100, 60, 25, 15, 2));
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();
  expectSummaryLayout(b);
  std::vector<std::optional<double>> expected = {
      1, 1, 2, 1, 0, 3, 2, std::nullopt, 100, 60, 25, 15, std::nullopt,
      2.0, 1.5, 5.0, std::nullopt, 100.0, 60.0, 0.25};
  EXPECT_EQ(summaryValues(b), expected);
}

TEST(OutputMgrTest, PublicTypesCountByKindAndExactAccess) {
  struct Case {
    std::string access;
    bool classType;
    int publicClasses, interfaces;
  };
  const Case cases[] = {{"public", true, 1, 0}, {"public", false, 0, 1}, {"protected", true, 0, 0},
                        {"private", false, 0, 0}, {"", true, 0, 0},      {"PUBLIC", true, 0, 0},
                        {"package", false, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.access);
    MemoryReport report;
    RecordingOption options;
    report.mgr.prepare(options);
    ClassRecord r = classRecord("X", "p", c.access);
    r.classType = c.classType;
    report.mgr.finishedClassAnalysis(r);
    report.mgr.finishedAllAnalysis();
    EXPECT_EQ(numberAt(report.book(), "Summ", 4, 2), 1);
    EXPECT_EQ(numberAt(report.book(), "Summ", 5, 2), c.publicClasses);
    EXPECT_EQ(numberAt(report.book(), "Summ", 6, 2), c.interfaces);
  }
}

TEST(OutputMgrTest, PackagesAreCountedOnceWithoutRegardToCase) {
  struct Case {
    std::vector<std::string> packages;
    int expected;
  };
  const Case cases[] = {
      {{"org.Example", "ORG.example", "org.example"}, 1},
      {{"", "", "a"}, 2},  // the default package counts once, like any other
      {{"a.b", "a.c", "A.B", "a.c"}, 2},
      {{"パッケージ", "パッケージ"}, 1},
  };
  for (const Case& c : cases) {
    MemoryReport report;
    RecordingOption options;
    report.mgr.prepare(options);
    for (const std::string& p : c.packages) {
      report.mgr.finishedFileAnalysis(fileRecord("F.java", p, 1, 1, 0, 0));
    }
    report.mgr.finishedAllAnalysis();
    EXPECT_EQ(numberAt(report.book(), "Summ", 3, 2), c.expected) << c.packages.front();
  }
}

TEST(OutputMgrTest, SyntaxErrorColumnOnlyForFilesThatCountThem) {
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);
  FileRecord f = fileRecord("A.java", "p", 1, 1, 0, 0);
  f.syntaxErrorCount = 0;
  report.mgr.finishedFileAnalysis(f);
  f.syntaxErrorCount = 3;
  report.mgr.finishedFileAnalysis(f);
  report.mgr.finishedAllAnalysis();
  const MemoryWorkbook& b = report.book();
  EXPECT_EQ(textAt(b, "File", 1, 9), "構文ｴﾗｰ");
  EXPECT_EQ(numberAt(b, "File", 2, 9), 0);
  EXPECT_EQ(numberAt(b, "File", 3, 9), 3);
}

TEST(OutputMgrTest, EachPrepareStartsAFreshWorkbookAndTotals) {
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);
  report.mgr.finishedFileAnalysis(fileRecord("A.java", "p", 5, 5, 0, 0));
  report.mgr.finishedAllAnalysis();
  options.diag = false;
  report.mgr.prepare(options);
  report.mgr.finishedFileAnalysis(fileRecord("B.java", "q", 7, 7, 0, 0));
  report.mgr.finishedAllAnalysis();
  ASSERT_EQ(report.books.size(), 2u);
  const MemoryWorkbook& b = report.book();
  EXPECT_EQ(textAt(b, "File", 2, 1), "B.java");
  EXPECT_EQ(lastRow(b, "File"), 2);
  EXPECT_EQ(numberAt(b, "Summ", 2, 2), 1);
  EXPECT_EQ(numberAt(b, "Summ", 10, 2), 7);
  EXPECT_EQ(b.sheet("診断"), nullptr);
}

TEST(OutputMgrTest, AnErrorKeepsTheRowsWrittenAndWritesNoSummary) {
  MemoryReport report;
  RecordingOption options;
  options.fMaxLoc = 1;
  options.fMinCommentRate = -1;
  report.mgr.prepare(options);
  report.mgr.finishedFileAnalysis(fileRecord("A.java", "p", INT32_MAX, 10, 0, 0));
  // The second file's lines pass the 32-bit total: its row stays, the totals do not change.
  EXPECT_THROW(report.mgr.finishedFileAnalysis(fileRecord("B.java", "p", 1, 20, 0, 0)), RztError);
  report.mgr.finishedWithError();
  const MemoryWorkbook& b = report.book();
  EXPECT_TRUE(b.closed());
  EXPECT_FALSE(report.mgr.hasWorkbook());
  EXPECT_EQ(textAt(b, "File", 2, 1), "A.java");
  EXPECT_EQ(textAt(b, "File", 3, 1), "B.java");
  EXPECT_TRUE(b.partial());
  EXPECT_EQ(lastRow(b, "Summ"), 2);
  EXPECT_EQ(textAt(b, "Summ", 2, 1), "解析は途中で終了しました。このレポートは途中までの結果です。");
  EXPECT_TRUE(report.mgr.summary().empty());
  EXPECT_EQ(findings(b).size(), 2u);
  EXPECT_EQ(b.shownSheet(), "Summ");
  EXPECT_TRUE(b.sheet("File")->fitted);
  // Nothing more to write.
  report.mgr.finishedWithError();
}

TEST(OutputMgrTest, PartialWorkbookWithoutFindingsSaysNothingAboutProblems) {
  MemoryReport report;
  RecordingOption options;
  report.mgr.prepare(options);
  report.mgr.finishedWithError();
  EXPECT_TRUE(emptyAt(report.book(), "診断", 2, 1));
}

TEST(OutputMgrTest, TotalsThatWouldOverflowAreNotChanged) {
  MemoryReport report;
  RecordingOption options;
  options.diag = false;
  report.mgr.prepare(options);
  ClassRecord c = classRecord("A");
  c.statementCount = Counter(INT32_MAX);
  report.mgr.finishedClassAnalysis(c);
  EXPECT_THROW(report.mgr.finishedClassAnalysis(c), RztError);
  report.mgr.finishedAllAnalysis();
  EXPECT_EQ(numberAt(report.book(), "Summ", 4, 2), 1);
  EXPECT_EQ(numberAt(report.book(), "Summ", 5, 2), 1);
  EXPECT_EQ(numberAt(report.book(), "Summ", 13, 2), INT32_MAX);
}

class FailingOption : public RecordingOption {
 public:
  int32_t getMMaxLoop() const override { raiseOverflow(); }
};

TEST(OutputMgrTest, AFailingThresholdEndsPrepareWithoutWorkbook) {
  MemoryReport report;
  FailingOption options;
  try {
    report.mgr.prepare(options);
    FAIL() << "no error";
  } catch (const RztError& e) {
    EXPECT_EQ(e.number(), kErrOverflow);
  }
  EXPECT_FALSE(report.mgr.hasWorkbook());
  report.mgr.finishedWithError();  // nothing to write
  options.diag = false;            // no threshold is read then
  report.mgr.prepare(options);
  EXPECT_TRUE(report.mgr.hasWorkbook());
}

// Keeps nothing; its sheets end at the given last row.
class CountingWorkbook final : public BufferedWorkbook {
 public:
  explicit CountingWorkbook(int32_t maxRows) : BufferedWorkbook(maxRows, false) {}

 private:
  void writeBook() override {}
};

// A sheet ends at its format's last row, not at the .xlsx format's: the
// report stops at 1,048,576 rows only in a workbook that does, with the
// overflow error naming the sheet, and the row counter stays.
TEST(OutputMgrTest, RowsEndAtTheLastRowOfTheWorkbooksFormat) {
  struct Case {
    const char* name;
    int32_t maxRows;
    bool overflows;
  };
  for (const Case& c : {Case{"Xlsx", kWorkbookMaxRows, true}, Case{"PlainText", kTextReportMaxRows, false}}) {
    SCOPED_TRACE(c.name);
    OutputMgr mgr([&c] { return std::make_unique<CountingWorkbook>(c.maxRows); });
    RecordingOption options;
    options.diag = false;
    mgr.prepare(options);
    const MethodRecord m = methodRecord("m");
    for (int32_t row = 2; row <= kWorkbookMaxRows; ++row) mgr.finishedMethodAnalysis(m);
    if (c.overflows) {
      try {
        mgr.finishedMethodAnalysis(m);
        FAIL() << "no overflow";
      } catch (const RztError& e) {
        EXPECT_EQ(kErrOverflow, e.number());
        EXPECT_NE(std::string::npos, e.description().find("「Method」")) << e.description();
      }
      // The counter did not move: a class still fits on its sheet.
      mgr.finishedClassAnalysis(classRecord("A"));
    } else {
      for (int i = 0; i < 3; ++i) mgr.finishedMethodAnalysis(m);
    }
    mgr.finishedAllAnalysis();
    ASSERT_FALSE(mgr.summary().empty());
    const int32_t expected = c.overflows ? kWorkbookMaxRows - 1 : kWorkbookMaxRows + 2;
    EXPECT_EQ(expected, mgr.summary()[5].value) << mgr.summary()[5].label;
  }
}

// What a file, class and method add to the totals, and additions that are
// all or nothing.
TEST(ReportTotalsTest, WhatEachRecordAddsAndAllOrNothing) {
  struct Case {
    const char* name;
    ReportTotals added;
    ReportTotals expected;
  };
  ClassRecord publicClass = classRecord("A");
  publicClass.statementCount = Counter(7);
  ClassRecord publicInterface = classRecord("I");
  publicInterface.classType = false;
  ClassRecord packageClass = classRecord("P", "p", "package");
  ClassRecord upperCase = classRecord("U", "p", "Public");
  MethodRecord publicMethod = methodRecord("m");
  MethodRecord privateMethod = methodRecord("n", "A", "p", "private");
  auto totals = [](std::initializer_list<std::pair<int32_t ReportTotals::*, int32_t>> counts) {
    ReportTotals t;
    for (const auto& [field, value] : counts) t.*field = value;
    return t;
  };
  using T = ReportTotals;
  const std::vector<Case> cases = {
      {"File", T::of(fileRecord("A.java", "p", 100, 60, 25, 15)),
       totals({{&T::fileTotal, 1}, {&T::allLocTotal, 100}, {&T::locTotal, 60}, {&T::commentLocTotal, 25}})},
      {"PublicClass", T::of(publicClass), totals({{&T::classTotal, 1}, {&T::statementTotal, 7}, {&T::publicClassTotal, 1}})},
      {"PublicInterface", T::of(publicInterface), totals({{&T::classTotal, 1}, {&T::publicInterfaceTotal, 1}})},
      {"PackageClass", T::of(packageClass), totals({{&T::classTotal, 1}})},
      {"AccessComparedExactly", T::of(upperCase), totals({{&T::classTotal, 1}})},
      {"PublicMethod", T::of(publicMethod), totals({{&T::methodTotal, 1}, {&T::publicMethodTotal, 1}})},
      {"PrivateMethod", T::of(privateMethod), totals({{&T::methodTotal, 1}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.added == c.expected);
    ReportTotals sum = c.expected;
    sum.add(c.added);
    ReportTotals twice = c.expected;
    for (int32_t ReportTotals::*field : {&T::fileTotal, &T::allLocTotal, &T::locTotal, &T::commentLocTotal,
                                          &T::statementTotal, &T::classTotal, &T::publicInterfaceTotal,
                                          &T::publicClassTotal, &T::methodTotal, &T::publicMethodTotal}) {
      twice.*field *= 2;
    }
    EXPECT_TRUE(sum == twice);
  }
  // The last count overflows: none of the others changes.
  ReportTotals full = totals({{&T::methodTotal, 5}, {&T::publicMethodTotal, INT32_MAX}});
  const ReportTotals before = full;
  EXPECT_THROW(full.add(T::of(publicMethod)), RztError);
  EXPECT_TRUE(full == before);
}

}  // namespace
}  // namespace rzt::test
