#pragma once

#include <memory>
#include <string_view>
#include <utility>

#include "report/IWorkbook.h"
#include "report/MemoryWorkbook.h"

namespace rzt::test {

// Passes every call on to a memory workbook that outlives the report
// writer's hold on it.
class SharedWorkbook : public IWorkbook {
 public:
  explicit SharedWorkbook(std::shared_ptr<MemoryWorkbook> book) : book_(std::move(book)) {}
  Sheet addSheet(std::string_view name) override { return book_->addSheet(name); }
  void setText(Sheet s, int32_t r, int32_t c, std::string_view t) override { book_->setText(s, r, c, t); }
  void setNumber(Sheet s, int32_t r, int32_t c, double v) override { book_->setNumber(s, r, c, v); }
  void setNumberFormat(Sheet s, int32_t r, int32_t c, std::string_view f) override {
    book_->setNumberFormat(s, r, c, f);
  }
  void freezeHeadingRow(Sheet s) override { book_->freezeHeadingRow(s); }
  void centreHeadingRow(Sheet s) override { book_->centreHeadingRow(s); }
  void setZoom(Sheet s, int32_t percent) override { book_->setZoom(s, percent); }
  void fitColumns(Sheet s) override { book_->fitColumns(s); }
  void showFirst(Sheet s) override { book_->showFirst(s); }
  void setPartial() override { book_->setPartial(); }
  void close() override { book_->close(); }
  int32_t maxRows() const override { return book_->maxRows(); }
  void checkRow(Sheet s, int32_t row) const override { book_->checkRow(s, row); }

 private:
  std::shared_ptr<MemoryWorkbook> book_;
};

}  // namespace rzt::test
