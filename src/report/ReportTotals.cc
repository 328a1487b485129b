#include "report/ReportTotals.h"

#include "support/Counter.h"

namespace rzt {

ReportTotals ReportTotals::of(const FileRecord& file) {
  ReportTotals t;
  t.fileTotal = 1;
  t.allLocTotal = file.allLoc;
  t.locTotal = file.loc;
  t.commentLocTotal = file.commentLoc;
  return t;
}

ReportTotals ReportTotals::of(const ClassRecord& cls) {
  ReportTotals t;
  t.classTotal = 1;
  t.statementTotal = cls.statementCount;
  if (cls.access == "public") (cls.classType ? t.publicClassTotal : t.publicInterfaceTotal) = 1;
  return t;
}

ReportTotals ReportTotals::of(const MethodRecord& method) {
  ReportTotals t;
  t.methodTotal = 1;
  if (method.access == "public") t.publicMethodTotal = 1;
  return t;
}

void ReportTotals::add(const ReportTotals& other) {
  // Summed into a copy first: a failure leaves this as it was.
  ReportTotals sum;
  sum.fileTotal = checkedAdd(fileTotal, other.fileTotal);
  sum.allLocTotal = checkedAdd(allLocTotal, other.allLocTotal);
  sum.locTotal = checkedAdd(locTotal, other.locTotal);
  sum.commentLocTotal = checkedAdd(commentLocTotal, other.commentLocTotal);
  sum.statementTotal = checkedAdd(statementTotal, other.statementTotal);
  sum.classTotal = checkedAdd(classTotal, other.classTotal);
  sum.publicInterfaceTotal = checkedAdd(publicInterfaceTotal, other.publicInterfaceTotal);
  sum.publicClassTotal = checkedAdd(publicClassTotal, other.publicClassTotal);
  sum.methodTotal = checkedAdd(methodTotal, other.methodTotal);
  sum.publicMethodTotal = checkedAdd(publicMethodTotal, other.publicMethodTotal);
  *this = sum;
}

}  // namespace rzt
