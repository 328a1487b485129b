#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/ConsoleUserMessage.h"
#include "cli/TerminalStatusLine.h"
#include "cli/TerminalText.h"

namespace rzt {
namespace {

TEST(TerminalText, SafeWidthAndFit) {
  struct Case {
    std::string text;
    std::string safe;  // with line feeds kept
    int32_t width;
  };
  const std::vector<Case> cases = {
      {"abc", "abc", 3},
      {"解析が終了しました", "解析が終了しました", 18},
      {"ﾌｧｲﾙ名", "ﾌｧｲﾙ名", 6},  // half-width katakana one column each
      {"Ａ1", "Ａ1", 3},
      {"a\x1b[2Jb", "a?[2Jb", 6},  // an escape sequence from a file name
      {"a\rb\tc\x7f", "a?b?c?", 6},
      {"line\nnext", "line\nnext", 9},
      {"bad\xff\xfe", "bad\xEF\xBF\xBD\xEF\xBF\xBD", 5},
      {"cut\xE8\xA7", "cut\xEF\xBF\xBD\xEF\xBF\xBD", 5},  // a character cut short
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD", 2},         // an overlong "/"
      {"\xC2\x9B" "31m", "?31m", 4},                       // C1 control introducer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.safe, terminalSafe(c.text));
    EXPECT_EQ(c.width, terminalWidth(c.safe));
  }
  EXPECT_EQ("a?b", terminalSafe("a\nb", false));

  EXPECT_EQ("解析", fitToColumns("解析が", 5));  // a wide character never splits
  EXPECT_EQ("解析", fitToColumns("解析が", 4));
  EXPECT_EQ("解析が", fitToColumns("解析が", 6));
  EXPECT_EQ("", fitToColumns("解", 1));
  EXPECT_EQ("ab", fitToColumns("ab", 80));
}

// The bytes written to a stream by the calls of a test.
class StreamCapture {
 public:
  StreamCapture() : file_(std::tmpfile()) {}
  ~StreamCapture() { std::fclose(file_); }
  std::FILE* file() const { return file_; }
  std::string text() const {
    std::fflush(file_);
    std::string out;
    std::rewind(file_);
    for (int c; (c = std::fgetc(file_)) != EOF;) out += static_cast<char>(c);
    return out;
  }

 private:
  std::FILE* file_;
};

TEST(TerminalStatusLine, RewritesOneLineAndEndsIt) {
  StreamCapture out;
  TerminalStatusLine line(out.file(), true, std::chrono::milliseconds(0));
  line.setText("[ 1/ 2] A.javaファイルを解析しています");
  line.setText("[ 1/ 2] Aクラスを解析しています");
  line.finish();
  // The test stream is no terminal: 80 columns are assumed, 79 used.
  EXPECT_EQ(
      "\r[ 1/ 2] A.javaファイルを解析しています\x1b[K"
      "\r[ 1/ 2] Aクラスを解析しています\x1b[K"
      "\r[ 1/ 2] Aクラスを解析しています\x1b[K\n",
      out.text());
}

TEST(TerminalStatusLine, LongTextsAreCutAndControlsMadeHarmless) {
  StreamCapture out;
  TerminalStatusLine line(out.file(), true, std::chrono::milliseconds(0));
  std::string longText;
  for (int i = 0; i < 50; ++i) longText += "解";
  line.setText(longText + "\x1b]0;title\a");
  std::string expected = "\r";
  for (int i = 0; i < 39; ++i) expected += "解";
  EXPECT_EQ(expected + "\x1b[K", out.text());
}

TEST(TerminalStatusLine, SkipsRedrawsTooCloseTogetherButFinishesWithTheLast) {
  StreamCapture out;
  TerminalStatusLine line(out.file(), true, std::chrono::hours(1));
  line.setText("one");
  line.setText("two");
  line.setText("three");
  line.finish();
  EXPECT_EQ("\rone\x1b[K\rthree\x1b[K\n", out.text());
}

TEST(TerminalStatusLine, WritesNothingWhenNotATerminal) {
  StreamCapture out;
  TerminalStatusLine line(out.file(), false, std::chrono::milliseconds(0));
  line.setText("解析が終了しました");
  line.clear();
  line.redraw();
  line.finish();
  EXPECT_EQ("", out.text());
  EXPECT_EQ("", line.text());
}

TEST(ConsoleUserMessage, PrintsBelowTheStatusLineAndRedrawsIt) {
  StreamCapture out;
  TerminalStatusLine line(out.file(), true, std::chrono::milliseconds(0));
  ConsoleUserMessage messages(out.file(), &line);
  line.setText("[ 1/ 1] Aクラスを解析しています");
  messages.showCritical("解析エラー！ ファイル名：A.java  語数：7  単語：;");
  messages.showMessage("two\nlines");
  line.finish();
  EXPECT_EQ(
      "\r[ 1/ 1] Aクラスを解析しています\x1b[K"
      "\r\x1b[K解析エラー！ ファイル名：A.java  語数：7  単語：;\n"
      "\r[ 1/ 1] Aクラスを解析しています\x1b[K"
      "\r\x1b[Ktwo\nlines\n"
      "\r[ 1/ 1] Aクラスを解析しています\x1b[K"
      "\r[ 1/ 1] Aクラスを解析しています\x1b[K\n",
      out.text());
}

TEST(ConsoleUserMessage, PrintsPlainLinesWithoutATerminal) {
  StreamCapture out;
  TerminalStatusLine line(out.file(), false);
  ConsoleUserMessage messages(out.file(), &line);
  line.setText("ignored");
  messages.showMessage("ファイルを選択してください");
  messages.showCritical("bad\x1b[31m");
  EXPECT_EQ("ファイルを選択してください\nbad?[31m\n", out.text());
}

}  // namespace
}  // namespace rzt
