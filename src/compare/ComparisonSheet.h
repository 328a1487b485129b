#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compare/ReportComparison.h"
#include "report/IWorkbook.h"

namespace rzt {

// The sheet of the comparison: after "診断", before "エラー".
inline constexpr std::string_view kComparisonSheetName = "比較";
inline constexpr std::array<std::string_view, 10> kComparisonHeadings = {
    "区分", "ﾊﾟｯｹｰｼﾞ名", "名前", "ﾒｿｯﾄﾞ名", "引数", "状態", "項目", "前回", "今回", "増減"};

// Writes the heading row and one row per row of the comparison below it
// into the sheet (made by the caller, who also freezes, centres, zooms and
// fits it like the other sheets). Numbers are written as numbers, texts as
// texts, cells without value not at all. Returns the last row written.
// The workbook's own limits apply (a sheet of an .xlsx ends at 1,048,576
// rows with the overflow error).
int32_t writeComparisonSheet(IWorkbook& workbook, IWorkbook::Sheet sheet, const Comparison& comparison);

// The line rzt-cli prints after its summary:
// "比較: 追加 12, 削除 3, 変更 240; 新規の指摘 4, 解消 9, 悪化 2" (File, Class and
// Method rows added, removed and changed; findings new, gone and worse).
std::string comparisonSummaryLine(const ComparisonCounts& counts);

// One line per new or worse finding, for standard error, e.g.
// "新規: [Method] jp.example.shop ShopApp.java ShopApp.main: ステートメントが多過ぎます (52)",
// "悪化: [Class] jp.example Big.java Big: ステートメントが多過ぎます (310 → 352)".
std::vector<std::string> gateFindingLines(const Comparison& comparison);

// A number as JSON writes it: whole numbers without a point, others in the
// shortest form that reads back the same.
std::string numberText(double value);

}  // namespace rzt
