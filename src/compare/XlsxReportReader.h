#pragma once

#include <string>

#include "compare/ReportModel.h"

namespace rzt {

// Reads the sheets a comparison needs from the .xlsx open on fd (a regular
// file, read from its start) into model, with the limits of model's
// budget and those given: minizip for the zip, expat for each part, one part
// at a time, streamed. Raises ReportFormatError for a file that is no zip,
// lacks a part it names, or holds a part that is no well-formed XML; a
// document type declaration is refused, so no entity is ever expanded.
void readXlsxReport(int fd, ReportModel& model, const ReportLimits& limits);

// Undoes the escapes of an .xlsx string in place: "_xHHHH_" is the UTF-16
// unit HHHH ("_x005F_" an underscore); a surrogate without its pair becomes
// U+FFFD.
void decodeXlsxEscapes(std::string& text);

}  // namespace rzt
