#pragma once

#include "compare/ReportModel.h"

namespace rzt {

// Reads the sheets a comparison needs from the JSON report open on fd (a
// regular file, read from its current offset) into model, streamed. Only
// the shape rzt-cli writes is accepted, strictly: one object whose members
// are lists of rows, each row an object of strings, numbers and nulls (null:
// no value), in UTF-8, nothing after it. Anything else, a duplicate key, a
// text longer than limits.maxCellTextBytes or a truncated file raises
// ReportFormatError naming the byte where it went wrong.
void readJsonReport(int fd, ReportModel& model, const ReportLimits& limits);

}  // namespace rzt
