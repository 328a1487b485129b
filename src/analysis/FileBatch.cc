#include "analysis/FileBatch.h"

#include <stdexcept>
#include <utility>

namespace rzt {

void FileBatch::begin(int32_t ordinal, const std::string& dirName, const std::string& fileName) {
  ordinal_ = ordinal;
  dirName_ = dirName;
  fileName_ = fileName;
  events_.clear();
  // The slots keep their storage: the next file's records are copied into it.
  methodsUsed_ = classesUsed_ = filesUsed_ = textsUsed_ = 0;
  failure_ = nullptr;
  error_.reset();
  wordCount_ = 0;
}

void FileBatch::prepare(const IOption&) { throw std::logic_error("FileBatch: prepare"); }

void FileBatch::finishedAllAnalysis() { throw std::logic_error("FileBatch: finishedAllAnalysis"); }

void FileBatch::skippedFileAnalysis(const SkippedFileRecord&) {
  throw std::logic_error("FileBatch: skippedFileAnalysis");
}

template <typename T>
uint32_t FileBatch::keep(std::vector<T>& list, size_t& used, const T& item) {
  if (used < list.size()) {
    list[used] = item;
  } else {
    list.push_back(item);
  }
  return static_cast<uint32_t>(used++);
}

void FileBatch::finishedFileAnalysis(const FileRecord& file) {
  events_.push_back({Kind::kFile, keep(files_, filesUsed_, file)});
}

void FileBatch::finishedClassAnalysis(const ClassRecord& cls) {
  events_.push_back({Kind::kClass, keep(classes_, classesUsed_, cls)});
}

void FileBatch::finishedMethodAnalysis(const MethodRecord& method) {
  events_.push_back({Kind::kMethod, keep(methods_, methodsUsed_, method)});
}

void FileBatch::setText(const std::string& text) {
  events_.push_back({Kind::kStatus, keep(texts_, textsUsed_, text)});
}

void FileBatch::showMessage(const std::string& text) {
  events_.push_back({Kind::kMessage, keep(texts_, textsUsed_, text)});
}

void FileBatch::showCritical(const std::string& text) {
  events_.push_back({Kind::kCritical, keep(texts_, textsUsed_, text)});
}

void FileBatch::fail(const RztError& error, int32_t wordCount) {
  failure_ = std::make_exception_ptr(error);
  error_ = error;
  wordCount_ = wordCount;
}

void FileBatch::fail(std::exception_ptr failure) {
  failure_ = std::move(failure);
  error_.reset();
  wordCount_ = 0;
}

void FileBatch::replay(IReportWriter* report, IStatusLine* status, IUserMessage* messages) const {
  for (const Event& event : events_) {
    switch (event.kind) {
      case Kind::kMethod:
        if (report) report->finishedMethodAnalysis(methods_[event.index]);
        break;
      case Kind::kClass:
        if (report) report->finishedClassAnalysis(classes_[event.index]);
        break;
      case Kind::kFile:
        if (report) report->finishedFileAnalysis(files_[event.index]);
        break;
      case Kind::kStatus:
        if (status) status->setText(texts_[event.index]);
        break;
      case Kind::kMessage:
        if (messages) messages->showMessage(texts_[event.index]);
        break;
      case Kind::kCritical:
        if (messages) messages->showCritical(texts_[event.index]);
        break;
    }
  }
}

void FileBatch::rethrow() const {
  if (failure_ == nullptr) throw std::logic_error("FileBatch: the file did not fail");
  std::rethrow_exception(failure_);
}

SkippedFileRecord FileBatch::skippedFile() const {
  SkippedFileRecord skipped;
  skipped.dirName = dirName_;
  skipped.fileName = fileName_;
  if (error_) {
    skipped.number = error_->number();
    skipped.source = error_->source();
    skipped.description = error_->fullDescription();
  }
  skipped.wordCount = wordCount_;
  return skipped;
}

void FileBatch::swap(FileBatch& other) noexcept {
  using std::swap;
  swap(ordinal_, other.ordinal_);
  swap(dirName_, other.dirName_);
  swap(fileName_, other.fileName_);
  swap(events_, other.events_);
  swap(methods_, other.methods_);
  swap(classes_, other.classes_);
  swap(files_, other.files_);
  swap(texts_, other.texts_);
  swap(methodsUsed_, other.methodsUsed_);
  swap(classesUsed_, other.classesUsed_);
  swap(filesUsed_, other.filesUsed_);
  swap(textsUsed_, other.textsUsed_);
  swap(failure_, other.failure_);
  swap(error_, other.error_);
  swap(wordCount_, other.wordCount_);
}

}  // namespace rzt
