#include "options/OptionValues.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RztError.h"

namespace rzt {
namespace {

// A numeric setting: its name for the command line, its field name, the
// getter, and its default.
struct Setting {
  std::string getterName;
  std::string fieldName;
  int32_t (OptionValues::*getter)() const;
  int32_t defaultValue;
};

const std::vector<Setting> kSettings = {
    {"ExcelZoom", "txtExcelZoom", &OptionValues::getExcelZoom, 80},
    {"FMaxClass", "txtFClass", &OptionValues::getFMaxClass, 4},
    {"FMaxLoc", "txtFLoc", &OptionValues::getFMaxLoc, 500},
    {"FMinCommentRate", "txtFComment", &OptionValues::getFMinCommentRate, 10},
    {"CMaxStatement", "txtCAllStatement", &OptionValues::getCMaxStatement, 300},
    {"CMaxPubMethod", "txtCPubMethod", &OptionValues::getCMaxPubMethod, 50},
    {"CMaxAveStatement", "txtCAveStatement", &OptionValues::getCMaxAveStatement, 25},
    {"CMaxPubAttr", "txtCPubAttr", &OptionValues::getCMaxPubAttr, 1},
    {"MMaxStatement", "txtMStatement", &OptionValues::getMMaxStatement, 50},
    {"MMaxMsgSend", "txtMMsgSend", &OptionValues::getMMaxMsgSend, 30},
    {"MMaxVariable", "txtMVariable", &OptionValues::getMMaxVariable, 20},
    {"MMaxBranch", "txtMBranch", &OptionValues::getMMaxBranch, 15},
    {"MMaxLoop", "txtMLoop", &OptionValues::getMMaxLoop, 10},
};

TEST(OptionValuesTest, DefaultsAndSettingByEitherName) {
  for (const Setting& s : kSettings) {
    SCOPED_TRACE(s.getterName);
    OptionValues options;
    EXPECT_EQ((options.*s.getter)(), s.defaultValue);
    ASSERT_TRUE(options.setField(s.getterName, "300"));
    EXPECT_EQ((options.*s.getter)(), 300);
    ASSERT_TRUE(options.setField(s.fieldName, "20"));
    // The zoom rule applies to the zoom only.
    EXPECT_EQ((options.*s.getter)(), s.getterName == "ExcelZoom" ? 80 : 20);
    EXPECT_EQ(options.fieldByName(s.getterName), options.fieldByName(s.fieldName));
    // No other setting changed.
    for (const Setting& other : kSettings) {
      if (other.getterName != s.getterName) {
        EXPECT_EQ((options.*other.getter)(), other.defaultValue) << other.getterName;
      }
    }
  }
}

TEST(OptionValuesTest, UnknownNamesAreRefused) {
  OptionValues options;
  for (const char* name : {"", "getMMaxStatement", "mmaxstatement", "MMaxStatement ", "txt",
                           "SPushBackBuff", "optDiag", "encoding"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(options.fieldByName(name), nullptr);
    EXPECT_FALSE(options.setField(name, "1"));
  }
  EXPECT_EQ(options.getMMaxStatement(), 50);
}

TEST(OptionValuesTest, SetDefaultsRefillsEveryFieldAndChoice) {
  OptionValues options;
  for (const Setting& s : kSettings) ASSERT_TRUE(options.setField(s.fieldName, "7"));
  ASSERT_TRUE(options.setField("txtSPushBackBuff", "12"));
  options.optDiag = false;
  options.optExcelMax = false;
  options.encoding = "cp932";
  EXPECT_FALSE(options.diagIsOn());
  EXPECT_FALSE(options.excelIsMax());
  options.setDefaults();
  EXPECT_TRUE(options.diagIsOn());
  EXPECT_TRUE(options.excelIsMax());
  EXPECT_EQ(options.txtSPushBackBuff, "5000");
  for (const Setting& s : kSettings) EXPECT_EQ((options.*s.getter)(), s.defaultValue) << s.getterName;
  EXPECT_EQ(options.encoding, "cp932");
  EXPECT_EQ(OptionValues().encoding, "auto");
}

TEST(OptionValuesTest, GettersReadTheFieldAnewAndMayOverflow) {
  OptionValues options;
  options.txtMLoop = "40000";
  EXPECT_THROW(options.getMMaxLoop(), RztError);
  options.txtMLoop = "12abc";
  EXPECT_EQ(options.getMMaxLoop(), 12);
  options.txtExcelZoom = "401";
  EXPECT_EQ(options.getExcelZoom(), 80);
  options.txtExcelZoom = "&H20";
  EXPECT_EQ(options.getExcelZoom(), 32);
}

}  // namespace
}  // namespace rzt
