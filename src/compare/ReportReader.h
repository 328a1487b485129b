#pragma once

#include <filesystem>

#include "compare/ReportModel.h"

namespace rzt {

// Reads an earlier report of RZT to compare with: a .json written by rzt-cli
// or an .xlsx written by RZT, also after a spreadsheet application saved it
// again (shared strings, numbers kept as numbers or as text, other sheet
// order, extra sheets and formatting, rich text). The format is told by the
// content, not by the name. Only regular files are read, each once, without
// blocking.
//
// Raises RztError kErrBadEarlierReport, "前回のレポートを読めません: " + path +
// " (" + reason + ")", when the file cannot be read, is broken or truncated,
// is too large for `limits`, or is not a report of RZT (the sheets "File",
// "Class" and "Method" with their key headings are required; "Summ" and
// "診断" are read when present).
ReportModel readReport(const std::filesystem::path& path, const ReportLimits& limits = {});

// The checks readReport applies once a file is read, raising
// ReportFormatError: the required sheets and headings. Marks the model
// partial when its "Summ" says the analysis ended early.
void checkIsReport(ReportModel& model);

}  // namespace rzt
