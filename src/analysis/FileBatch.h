#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "records/Records.h"
#include "report/IReportWriter.h"
#include "support/IStatusLine.h"
#include "support/IUserMessage.h"
#include "support/RztError.h"

namespace rzt {

// Everything the analysis of one file said, kept in the order it was said so
// that it can be handed on later: the records it finished (as a report
// writer), the progress texts (as a status line) and the message boxes (as
// the user messages), and the error that ended it. Storage is reused from
// file to file.
class FileBatch final : public IReportWriter, public IStatusLine, public IUserMessage {
 public:
  // Starts the batch of a file: everything recorded before is dropped.
  void begin(int32_t ordinal, const std::string& dirName, const std::string& fileName);

  // A batch takes no part in a run's start and end, and holds no skipped
  // file: these are programming mistakes.
  void prepare(const IOption& diagPara) override;
  void finishedAllAnalysis() override;
  void skippedFileAnalysis(const SkippedFileRecord& file) override;

  void finishedFileAnalysis(const FileRecord& file) override;
  void finishedClassAnalysis(const ClassRecord& cls) override;
  void finishedMethodAnalysis(const MethodRecord& method) override;
  void setText(const std::string& text) override;
  void showMessage(const std::string& text) override;
  void showCritical(const std::string& text) override;

  // The analysis of the file ended with an error of the system; wordCount is
  // the file analyzer's count of words read.
  void fail(const RztError& error, int32_t wordCount);
  // The analysis ended with any other exception (kept to be raised again).
  void fail(std::exception_ptr failure);

  // Hands the recorded events on in their order: records to report, texts
  // to status, message boxes to messages; a null target skips its events.
  // An error raised by a target ends the replay and passes on.
  void replay(IReportWriter* report, IStatusLine* status, IUserMessage* messages) const;
  // Raises again whatever ended the analysis (a logic error when it finished).
  [[noreturn]] void rethrow() const;

  int32_t ordinal() const { return ordinal_; }
  const std::string& dirName() const { return dirName_; }
  const std::string& fileName() const { return fileName_; }
  bool failed() const { return failure_ != nullptr; }
  // The error of the system that ended the analysis; empty when it finished
  // or ended otherwise.
  const std::optional<RztError>& error() const { return error_; }
  // The file as the report's sheet of errors lists it; only when error().
  SkippedFileRecord skippedFile() const;
  // Records handed over so far, of every kind.
  size_t recordCount() const { return methodsUsed_ + classesUsed_ + filesUsed_; }

  // Exchanges the contents of two batches (their storage included).
  void swap(FileBatch& other) noexcept;

 private:
  enum class Kind : uint8_t { kMethod, kClass, kFile, kStatus, kMessage, kCritical };
  struct Event {
    Kind kind;
    uint32_t index;  // into the list of its kind
  };

  // Copies an item into the next slot of a list, reusing a slot's storage.
  template <typename T>
  static uint32_t keep(std::vector<T>& list, size_t& used, const T& item);

  int32_t ordinal_ = 0;
  std::string dirName_;
  std::string fileName_;
  std::vector<Event> events_;
  std::vector<MethodRecord> methods_;
  std::vector<ClassRecord> classes_;
  std::vector<FileRecord> files_;
  std::vector<std::string> texts_;  // progress texts and message boxes
  size_t methodsUsed_ = 0, classesUsed_ = 0, filesUsed_ = 0, textsUsed_ = 0;
  std::exception_ptr failure_;
  std::optional<RztError> error_;
  int32_t wordCount_ = 0;
};

}  // namespace rzt
