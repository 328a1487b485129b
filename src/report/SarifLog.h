#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/ThresholdDiagnosis.h"

namespace rzt {

class StagingFolder;

// The state of a result against the results of an earlier run, as a code
// scanning service reads it; kNone writes no state.
enum class BaselineState : uint8_t { kNone, kNew, kUnchanged, kUpdated, kAbsent };

// The findings of one analysis as a SARIF 2.1.0 log: one run, the tool's
// name and version, one rule per threshold (its id the option's name, its
// text the finding's, its threshold in its properties), one result per
// finding with the file as a URI relative to the analysed folder and the
// line of the declaration. Results are spooled as they come, in an unnamed
// file of a private folder beside the log, so memory stays small; close
// writes the log there and renames it into place, so an existing log is
// replaced whole or not at all. The log is valid UTF-8 and the same for
// the same findings.
class SarifLog final : public IFindingWriter {
 public:
  // The folder the uriBaseId "SRCROOT" stands for.
  static constexpr std::string_view kBaseId = "SRCROOT";

  // A log to be written to path, for the findings of files below
  // analysedFolder, by the tool of that name and version. Raises error 76
  // when path's folder does not exist and error 75 when path cannot be
  // written.
  SarifLog(std::filesystem::path path, const std::filesystem::path& analysedFolder, std::string toolName,
           std::string toolVersion);
  ~SarifLog() override;
  SarifLog(const SarifLog&) = delete;
  SarifLog& operator=(const SarifLog&) = delete;

  // A result without a baseline state.
  void writeFinding(const Finding& finding) override { writeResult(finding, BaselineState::kNone); }
  // A result with its state against an earlier run (kAbsent: a finding of
  // that run that this one no longer has; its message gives the value
  // alone, and without a file path it is placed by its names only).
  void writeResult(const Finding& finding, BaselineState state);
  // Gives the result written as number index (from 0) its state, for states
  // known only once the run is over.
  void setBaselineState(size_t index, BaselineState state);
  size_t resultCount() const { return states_.size(); }

  // The run ended early: the log goes to the partial name beside path
  // (partialReportPath), says that the run did not succeed, and why.
  void setPartial(std::string_view reason);
  // Writes the log with the rules and their thresholds; no other call may
  // follow. Raises error 75 when it cannot be written.
  void close(std::span<const DiagnosisRule> rules);

  // Where close writes the log.
  const std::filesystem::path& path() const { return path_; }

 private:
  [[noreturn]] void failWrite(int error) const;
  void writeDocument(std::FILE* out, std::span<const DiagnosisRule> rules);

  std::filesystem::path path_;
  std::string baseUri_;
  std::string toolName_;
  std::string toolVersion_;
  std::unique_ptr<StagingFolder> staging_;
  std::FILE* spool_ = nullptr;        // one result a line
  std::vector<BaselineState> states_;  // by result
  bool partial_ = false;
  std::string partialReason_;
  bool closed_ = false;
  std::string line_;  // the result being written, reused
};

// A path relative to a folder as a relative URI reference: each byte but
// the unreserved characters, "/" and the sub-delimiters of RFC 3986 (and
// "@") is percent-encoded, among them space, "%", "#", "?", ":" and every
// byte of a name that is not ASCII, valid UTF-8 or not.
std::string sarifRelativeUri(std::string_view path);
// An absolute folder as a "file:" URI ending in "/", percent-encoded alike.
std::string sarifFolderUri(const std::filesystem::path& folder);
// A finding's message: its text, its value and the threshold reached,
// "ステートメントが多過ぎます (52 ≥ 40)"; a lower bound has "≤".
std::string sarifMessage(const Finding& finding);

}  // namespace rzt
