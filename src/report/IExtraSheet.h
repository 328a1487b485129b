#pragma once

#include <memory>
#include <string_view>

#include "report/IWorkbook.h"

namespace rzt {

// A sheet that a part above the report writer adds to each report it makes
// (the comparison with an earlier report: src/compare/ReportComparer), with
// the calls it needs around the report's workbook.
class IExtraSheet {
 public:
  virtual ~IExtraSheet() = default;
  // The sheet's name; it goes after "診断" and before "エラー".
  virtual std::string_view sheetName() const = 0;
  // The new workbook of a report, at prepare: returns the workbook the
  // report is written into, this one or one that wraps it.
  virtual std::unique_ptr<IWorkbook> begin(std::unique_ptr<IWorkbook> workbook) = 0;
  // The sheet was added to it, heading row frozen, centred and zoomed like
  // the others; its cells are the part's to write.
  virtual void sheetAdded(IWorkbook::Sheet sheet) = 0;
  // The workbook was written; partial: the report ended early. May raise
  // what went wrong with the sheet (not when partial).
  virtual void finished(bool partial) = 0;
};

}  // namespace rzt
