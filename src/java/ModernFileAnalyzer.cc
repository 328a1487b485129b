#include "java/ModernFileAnalyzer.h"

#include <tree_sitter/api.h>

#include <cstdint>
#include <limits>

#include "java/ModernJavaGrammar.h"
#include "java/ModernLineCounter.h"
#include "java/ModernTreeWalker.h"
#include "reading/FileReader.h"
#include "records/IAnalysisMonitor.h"
#include "report/IReportWriter.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// Deletes a tree on every way out of a measurement.
class TreeGuard {
 public:
  explicit TreeGuard(TSTree* tree) : tree_(tree) {}
  ~TreeGuard() {
    if (tree_) ts_tree_delete(tree_);
  }
  TreeGuard(const TreeGuard&) = delete;
  TreeGuard& operator=(const TreeGuard&) = delete;
  TSTree* get() const { return tree_; }

 private:
  TSTree* tree_;
};

// Whether the text has a CR that is not followed by an LF.
bool hasLoneCarriageReturn(std::string_view text) {
  for (size_t i = text.find('\r'); i != std::string_view::npos; i = text.find('\r', i + 1)) {
    if (i + 1 >= text.size() || text[i + 1] != '\n') return true;
  }
  return false;
}

}  // namespace

ModernFileAnalyzer::ModernFileAnalyzer()
    : fileReader_(std::make_unique<FileReader>()), walker_(std::make_unique<ModernTreeWalker>()) {
  parser_ = ts_parser_new();
  if (!ts_parser_set_language(parser_, ModernJavaGrammar::instance().language())) {
    ts_parser_delete(parser_);
    parser_ = nullptr;
    throw RztError(kErrGrammar, "ModernFileAnalyzer", kTextGrammar);
  }
}

ModernFileAnalyzer::~ModernFileAnalyzer() {
  if (parser_) ts_parser_delete(parser_);
}

void ModernFileAnalyzer::setEncoding(const std::string& encoding) { fileReader_->setEncoding(encoding); }

void ModernFileAnalyzer::setUserMessage(IUserMessage*) {}

void ModernFileAnalyzer::init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  monitor_ = anaMonitor;
  reportWriter_ = oMgr;
  walker_->init(anaMonitor, oMgr);
}

void ModernFileAnalyzer::beginFile(const std::string& dName, const std::string& fName) {
  record_ = FileRecord();
  record_.fileName = fName;
  record_.dirName = dName;
  record_.syntaxErrorCount = 0;
  if (monitor_) monitor_->notifyFileAnalysis(record_);
}

void ModernFileAnalyzer::doAnalysis(const std::string& dName, const std::string& fName) {
  beginFile(dName, fName);
  fileReader_->openFile(dName, fName);
  std::string_view text = fileReader_->getText();
  try {
    measure(text);
  } catch (...) {
    fileReader_->closeFile();
    throw;
  }
  fileReader_->closeFile();
  finishFile();
}

void ModernFileAnalyzer::finishFile() {
  if (monitor_ && record_.syntaxErrorCount > 0) monitor_->notifySyntaxErrors(record_);
  if (reportWriter_) reportWriter_->finishedFileAnalysis(record_);
}

void ModernFileAnalyzer::measure(std::string_view text) {
  ModernLineCounts lines = countModernLines(text);
  record_.allLoc = lines.allLoc;
  record_.loc = lines.loc;
  record_.commentLoc = lines.commentLoc;
  record_.blankLoc = lines.blankLoc;

  // The runtime measures texts in 32-bit offsets.
  if (text.size() >= std::numeric_limits<uint32_t>::max()) raiseOverflow();
  // Java ends a line comment at a lone CR too, the grammar only at an LF:
  // the parser reads a copy with lone CRs made LFs, at the same offsets.
  std::string_view parseText = text;
  if (hasLoneCarriageReturn(text)) {
    parseText_.assign(text.data(), text.size());
    for (size_t i = 0; i < parseText_.size(); ++i) {
      if (parseText_[i] == '\r' && (i + 1 >= parseText_.size() || parseText_[i + 1] != '\n')) parseText_[i] = '\n';
    }
    parseText = parseText_;
  }
  ts_parser_reset(parser_);
  TreeGuard tree(ts_parser_parse_string(parser_, nullptr, parseText.data(), static_cast<uint32_t>(parseText.size())));
  if (!tree.get()) {
    // The parser has no time limit and no cancellation, so this does not
    // happen; the file then counts as one error.
    record_.syntaxErrorCount = 1;
    return;
  }
  walker_->walk(tree.get(), text, record_);
}

}  // namespace rzt
