#pragma once

#include <cstdint>

#include "records/Records.h"

namespace rzt {

// The counts the summary sheet is made of: what the reported files, classes
// and methods add up to. Additions are checked and all-or-nothing: a sum
// past the 32-bit range raises the overflow error and leaves every count as
// it was.
struct ReportTotals {
  int32_t fileTotal = 0;
  int32_t allLocTotal = 0;
  int32_t locTotal = 0;
  int32_t commentLocTotal = 0;
  int32_t statementTotal = 0;
  int32_t classTotal = 0;
  int32_t publicInterfaceTotal = 0;
  int32_t publicClassTotal = 0;
  int32_t methodTotal = 0;
  int32_t publicMethodTotal = 0;

  // What one reported file, class or method adds: one of its kind, its
  // lines or statements, and one public class, interface or method when
  // its access is exactly "public".
  static ReportTotals of(const FileRecord& file);
  static ReportTotals of(const ClassRecord& cls);
  static ReportTotals of(const MethodRecord& method);

  void add(const ReportTotals& other);

  bool operator==(const ReportTotals&) const = default;
};

}  // namespace rzt
