#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/OutputMgr.h"

namespace rzt {

// A number as the summary sheet displays it in its format: "#,##0_ " a whole
// number with thousands separators, "0.0_ " one decimal, "0.0%" a
// percentage with one decimal, the general format up to ten significant
// digits.
std::string formatSummaryNumber(double value, std::string_view format);

// The summary sheet as a table of two columns: the heading row "メトリクス"
// "値", then each row, a row number left out as an empty line; labels padded
// to one width, values aligned on the right. A value that is missing (an
// average over nothing) shows "-".
std::string summaryTable(const std::vector<OutputMgr::SummaryRow>& rows);

}  // namespace rzt
