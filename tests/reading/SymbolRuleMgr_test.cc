#include "reading/SymbolRuleMgr.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace rzt {
namespace {

const std::vector<std::string> kSymbols = {
    ",", ".", ":", ";", "\"", "'", "{", "}", "(", ")", "[", "]",
    "-", "+", "++", "--", "*", "/", "%", "^", "<", ">", "<<", ">>",
    "&", "|", "&&", "||", "=", "==", "!", "!=", "*/", "/*", "//", "?"};

TEST(SymbolRuleMgrTest, ExactlyTheThirtySixSymbols) {
  ASSERT_EQ(kSymbols.size(), 36u);
  SymbolRuleMgr rules;
  for (const auto& s : kSymbols) {
    SCOPED_TRACE(s);
    EXPECT_TRUE(rules.isSymbol(s));
    if (s.size() == 1) {
      EXPECT_TRUE(SymbolRuleMgr::isSymbol(s[0]));
    } else {
      EXPECT_TRUE(SymbolRuleMgr::isSymbolPair(s[0], s[1]));
    }
  }
  // Every other string of one or two printable characters is no symbol.
  std::set<std::string> table(kSymbols.begin(), kSymbols.end());
  int symbols = 0;
  for (int a = 0; a < 256; ++a) {
    std::string one(1, static_cast<char>(a));
    EXPECT_EQ(rules.isSymbol(one), table.count(one) == 1) << a;
    EXPECT_EQ(SymbolRuleMgr::isSymbol(static_cast<char>(a)), table.count(one) == 1) << a;
    symbols += rules.isSymbol(one);
    for (int b = 0; b < 256; ++b) {
      std::string two = one + static_cast<char>(b);
      bool expected = table.count(two) == 1;
      if (rules.isSymbol(two) != expected) ADD_FAILURE() << a << "," << b;
      symbols += expected;
    }
  }
  EXPECT_EQ(symbols, 36);
}

struct RuleCase {
  std::string text;
  bool symbol;
  bool literal;
  bool mask;
};

TEST(SymbolRuleMgrTest, WholeStringComparisons) {
  const std::vector<RuleCase> cases = {
      {"==", true, false, false},  {"=>", false, false, false}, {"", false, false, false},
      {"\"", true, true, false},   {"'", true, true, false},    {"\\", false, false, true},
      {"\\\\", false, false, false}, {"~", false, false, false}, {">=", false, false, false},
      {"<=", false, false, false}, {">>>", false, false, false}, {"+=", false, false, false},
      {"@", false, false, false},  {"a", false, false, false},  {"==x", false, false, false},
      {"''", false, false, false}, {" ", false, false, false},  {"表", false, false, false},
      {"/*", true, false, false},  {"*/", true, false, false},  {"?", true, false, false},
  };
  SymbolRuleMgr rules;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(rules.isSymbol(c.text), c.symbol);
    EXPECT_EQ(rules.isLiteral(c.text), c.literal);
    EXPECT_EQ(rules.isLiteralMask(c.text), c.mask);
  }
}

}  // namespace
}  // namespace rzt
