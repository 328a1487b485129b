// Feeds arbitrary bytes to the readers of an earlier report and compares
// what they read. The first byte chooses how the rest is used:
//   even: the rest is the file itself (JSON, a zip, anything);
//   odd:  the rest is split at "\n--\n" into the XML of the sheets "File",
//         "Class" and "Method" and of the shared strings, which go into a
//         well-formed zip with the workbook's other parts, so that the
//         workbook reader's XML handling is reached at every try.
// Any input must end normally or with the reader's error: never a crash, a
// hang or a sanitizer report.

#include <unistd.h>
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/NullWorkbook.h"
#include "compare/ComparisonSheet.h"
#include "compare/ReportComparison.h"
#include "compare/ReportReader.h"
#include "compare/SheetTableBuilder.h"
#include "support/RztError.h"

namespace {

const std::string& scratch() {
  static const std::string path = "/tmp/rzt-report-fuzz-" + std::to_string(getpid());
  return path;
}

const rzt::ReportModel& smallReport() {
  static const rzt::ReportModel model = [] {
    rzt::ReportModel m;
    const std::pair<rzt::ReportSheetKind, std::vector<std::string>> sheets[] = {
        {rzt::ReportSheetKind::kFile, {"ﾌｧｲﾙ名", "ﾊﾟｯｹｰｼﾞ名", "全行"}},
        {rzt::ReportSheetKind::kClass, {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ｽﾃｰﾄﾒﾝﾄ"}},
        {rzt::ReportSheetKind::kMethod, {"ﾊﾟｯｹｰｼﾞ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "引数", "ｽﾃｰﾄﾒﾝﾄ"}},
        {rzt::ReportSheetKind::kDiagnosis, {"ﾊﾟｯｹｰｼﾞ名", "ﾌｧｲﾙ名", "ｸﾗｽ名", "ﾒｿｯﾄﾞ名", "区分", "診断", "値"}},
        {rzt::ReportSheetKind::kSumm, {"メトリクス", "値"}},
    };
    for (const auto& [kind, headings] : sheets) {
      rzt::PositionalSheetBuilder b(m.addSheet(kind));
      for (size_t c = 0; c < headings.size(); ++c) b.setText(1, static_cast<int32_t>(c) + 1, headings[c]);
      b.setText(2, 1, "p");
      b.setText(2, 2, "A");
      b.setNumber(2, 3, 1);
      b.finish();
    }
    return m;
  }();
  return model;
}

void writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (zip == nullptr) return;
  for (const auto& [name, bytes] : entries) {
    zip_fileinfo info{};
    if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1, 0) != ZIP_OK) break;
    zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

void writeWorkbook(const std::string& path, std::string_view rest) {
  std::vector<std::string> parts;
  for (size_t from = 0; parts.size() < 4;) {
    const size_t at = rest.find("\n--\n", from);
    parts.emplace_back(rest.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) break;
    from = at + 4;
  }
  parts.resize(4);
  const char* rels =
      R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
      R"(<Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>)"
      R"(<Relationship Id="rId2" Type="x/worksheet" Target="/xl/worksheets/sheet2.xml"/>)"
      R"(<Relationship Id="rId3" Type="x/worksheet" Target="./worksheets/../worksheets/sheet3.xml"/>)"
      R"(<Relationship Id="rId4" Type="x/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
  const char* workbook =
      R"(<?xml version="1.0"?><workbook xmlns:r="r"><sheets><sheet name="File" r:id="rId1"/>)"
      R"(<sheet name="Class" r:id="rId2"/><sheet name="Method" r:id="rId3"/></sheets></workbook>)";
  writeZip(path, {{"xl/worksheets/sheet1.xml", parts[0]},
                  {"xl/worksheets/sheet2.xml", parts[1]},
                  {"xl/worksheets/sheet3.xml", parts[2]},
                  {"xl/sharedStrings.xml", parts[3]},
                  {"xl/workbook.xml", workbook},
                  {"xl/_rels/workbook.xml.rels", rels}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string& path = scratch();
  std::remove(path.c_str());
  if ((data[0] & 1) == 0) {
    std::ofstream(path, std::ios::binary).write(rest.data(), static_cast<std::streamsize>(rest.size()));
  } else {
    writeWorkbook(path, rest);
  }
  // Small bounds, so that a hostile input meets them within the fuzzer's
  // memory and time.
  rzt::ReportLimits limits;
  limits.maxCells = 1 << 20;
  limits.maxTextBytes = 16 << 20;
  limits.maxInflatedBytes = 64 << 20;
  try {
    const rzt::ReportModel model = rzt::readReport(path, limits);
    for (const auto& [earlier, current] :
         {std::pair{&model, &model}, std::pair{&smallReport(), &model}, std::pair{&model, &smallReport()}}) {
      const rzt::Comparison comparison = rzt::compareReports(*earlier, *current);
      rzt::NullWorkbook sink;
      sink.addSheet("比較");
      rzt::writeComparisonSheet(sink, 0, comparison);
      rzt::gateFindingLines(comparison);
      if (earlier == current && !comparison.rows().empty()) __builtin_trap();  // a report equals itself
    }
  } catch (const rzt::RztError& e) {
    if (e.number() != rzt::kErrBadEarlierReport) __builtin_trap();
  }
  return 0;
}
