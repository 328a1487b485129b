#pragma once

#include <cstdint>

#include "report/BufferedWorkbook.h"

namespace rzt {

// A workbook that keeps nothing and writes nothing, for an analysis run only
// for its summary (rzt-cli --dry-run). It still refuses what a written
// workbook of the chosen format refuses: a row past maxRows, a column
// outside the format's limits, rows out of order, a sheet it never made, and
// any call after close.
class NullWorkbook final : public BufferedWorkbook {
 public:
  explicit NullWorkbook(int32_t maxRows = kWorkbookMaxRows) : BufferedWorkbook(maxRows, false) {}

 private:
  void writeBook() override {}
};

}  // namespace rzt
