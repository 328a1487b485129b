#pragma once

#include <span>

#include "compare/ReportComparison.h"
#include "report/SarifLog.h"

namespace rzt {

// Gives the results of a SARIF log, written one per finding row of this
// report's "診断" and in their order, their states against the earlier
// report: "new" (no such finding before), "unchanged" (the same value),
// "updated" (another value); then adds each finding only the earlier report
// has as a result "absent", in its order, its rule found among rules by the
// finding's level and text. Call it once, before the log is closed.
void writeBaselineStates(SarifLog& log, const Comparison& comparison, std::span<const DiagnosisRule> rules);

}  // namespace rzt
