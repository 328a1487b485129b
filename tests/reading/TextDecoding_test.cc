#include "reading/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReadingTestHelpers.h"

namespace rzt::test {
namespace {

TEST(TextDecodingTest, RecognisesWellFormedUtf8) {
  struct Utf8Case {
    const char* name;
    std::string bytes;
    bool valid;
  };
  const std::vector<Utf8Case> cases = {
      {"empty", "", true},
      {"ascii with nul", std::string("ab\0c", 4), true},
      {"long ascii", std::string(1000, 'x') + "表", true},
      {"two bytes", "\xC3\xA9", true},
      {"three bytes", "表示", true},
      {"four bytes", "\xF0\x9F\x98\x80", true},
      {"lone continuation", "a\x80", false},
      {"overlong two bytes", "\xC0\x80", false},
      {"overlong three bytes", "\xE0\x80\x80", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
      {"invalid lead", "\xF5\x80\x80\x80", false},
      {"truncated at the end", std::string(20, 'a') + "\xE8\xA1", false},
      {"shift_jis", "\x95\x5C", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
  }
}

struct DecodeCase {
  const char* name;
  std::string encoding;
  std::string bytes;
  std::string text;
  std::string readAs;
};

TEST(TextDecodingTest, DecodesByRuleAndByChoice) {
  const std::vector<DecodeCase> cases = {
      {"utf-8 as is", "auto", "表示 x", "表示 x", "UTF-8"},
      {"byte order mark dropped", "auto", "\xEF\xBB\xBF" "class", "class", "UTF-8"},
      {"byte order mark only", "auto", "\xEF\xBB\xBF", "", "UTF-8"},
      {"shift_jis", "auto", "\x95\x5C\x83\x5C\x94\x5C\xB1", "表ソ能ｱ", "CP932"},
      {"shift_jis backslash stays", "auto", "\x95\x5C\\n", "表\\n", "CP932"},
      {"neither: latin-1", "auto", "\xFF\xFE a", "\xC3\xBF\xC3\xBE a", "ISO-8859-1"},
      {"explicit utf-8", "UTF-8", "\xEF\xBB\xBF\xC3\xA9", "\xC3\xA9", "UTF-8"},
      {"explicit euc-jp", "euc-jp", "\xC9\xBD", "表", "euc-jp"},
      {"auto reads the same as utf-8", "auto", "\xC9\xBD", "\xC9\xBD", "UTF-8"},
      {"explicit cp932", "cp932", "\x95\x5C", "表", "cp932"},
      {"explicit latin-1", "latin1", "\xE9", "\xC3\xA9", "latin1"},
      {"explicit that fails falls back", "ascii", "表", "表", "UTF-8"},
      {"unknown name falls back", "no-such-encoding", "\x95\x5C", "表", "CP932"},
      {"explicit utf-8 that fails falls back", "utf8", "\x95\x5C", "表", "CP932"},
  };
  TextDecoder decoder;
  std::string out;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    decoder.setEncoding(c.encoding);
    EXPECT_EQ(std::string(decoder.decode(c.bytes, out)), c.text);
    EXPECT_EQ(decoder.getLastEncoding(), c.readAs);
  }
}

// A Shift_JIS file whose characters end in the byte of a backslash, in a
// string and in a comment: decoded first, they escape nothing.
TEST(TextDecodingTest, ShiftJisFileReadsWholeCharacters) {
  const std::string text =
      "class A { String s = \"\x95\x5C\"; // \x83\x5C\n"
      "  char c = '\x94\x5C'; /* \x95\x5C */ int x; }\n";
  EXPECT_EQ(joinWords(wordsOf(text)),
            "class|A|{|String|s|=|\"表\"|;|char|c|=|'能'|;|int|x|;|}");
  EXPECT_EQ(linesOf(text), (std::vector<std::string>{"SC", "SC"}));
  // Read as Latin-1 the 0x5C would escape the closing quote and swallow the rest.
  EXPECT_NE(joinWords(wordsOf(text, "latin1")), joinWords(wordsOf(text)));
}

TEST(TextDecodingTest, ByteOrderMarkDoesNotJoinTheFirstWord) {
  EXPECT_EQ(joinWords(wordsOf("\xEF\xBB\xBFpackage a;")), "package|a|;");
  EXPECT_EQ(linesOf("\xEF\xBB\xBF\n"), std::vector<std::string>{"B"});
}

}  // namespace
}  // namespace rzt::test
