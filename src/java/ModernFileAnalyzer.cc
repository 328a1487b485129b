#include "java/ModernFileAnalyzer.h"

#include <tree_sitter/api.h>

#include <sys/stat.h>

#include <cstdint>

#include "java/ModernJavaGrammar.h"
#include "java/ModernLineCounter.h"
#include "java/ModernTreeWalker.h"
#include "reading/FileReader.h"
#include "records/IAnalysisMonitor.h"
#include "report/IReportWriter.h"
#include "support/JoinPath.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// No encoding makes a text shorter than a quarter of its bytes: a file this
// large is refused before it is read.
constexpr size_t kMaxFileBytes = 4 * ModernFileAnalyzer::kMaxTextBytes;

bool isLargerThan(const std::string& path, size_t limit) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > limit;
}

}  // namespace

ModernFileAnalyzer::ModernFileAnalyzer() : fileReader_(std::make_unique<FileReader>()) { prepareParser(); }

ModernFileAnalyzer::~ModernFileAnalyzer() {
  ParserArena::Scope scope(arena_);
  walker_.reset();
  if (parser_) ts_parser_delete(parser_);
}

void ModernFileAnalyzer::prepareParser() {
  ParserArena::Scope scope(arena_);
  if (!walker_) {
    walker_ = std::make_unique<ModernTreeWalker>();
    walker_->init(monitor_, reportWriter_);
  }
  if (parser_) return;
  parser_ = ts_parser_new();
  if (!ts_parser_set_language(parser_, ModernJavaGrammar::instance().language())) {
    ts_parser_delete(parser_);
    parser_ = nullptr;
    throw RztError(kErrGrammar, "ModernFileAnalyzer", kTextGrammar);
  }
}

void ModernFileAnalyzer::setEncoding(const std::string& encoding) { fileReader_->setEncoding(encoding); }

void ModernFileAnalyzer::setUserMessage(IUserMessage*) {}

void ModernFileAnalyzer::init(IAnalysisMonitor* anaMonitor, IReportWriter* oMgr) {
  monitor_ = anaMonitor;
  reportWriter_ = oMgr;
  if (walker_) walker_->init(anaMonitor, oMgr);
}

void ModernFileAnalyzer::beginFile(const std::string& dName, const std::string& fName) {
  record_ = FileRecord();
  record_.fileName = fName;
  record_.dirName = dName;
  record_.filePath = relativePath(analysedDirectory_, dName, fName);
  record_.syntaxErrorCount = 0;
  if (monitor_) monitor_->notifyFileAnalysis(record_);
}

void ModernFileAnalyzer::doAnalysis(const std::string& dName, const std::string& fName) {
  beginFile(dName, fName);
  const std::string path = joinPath(dName, fName);
  if (isLargerThan(path, kMaxFileBytes)) raiseFileTooLarge("ModernFileAnalyzer", path, kMaxTextBytes);
  fileReader_->openFile(dName, fName);
  std::string_view text = fileReader_->getText();
  try {
    measure(text, path);
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

void ModernFileAnalyzer::measure(std::string_view text, const std::string& path) {
  if (text.size() > kMaxTextBytes) raiseFileTooLarge("ModernFileAnalyzer", path, kMaxTextBytes);
  // One lexical pass counts the lines and notes the bytes the parser must
  // read otherwise (see countModernLines).
  parseInput_.reset(text);
  ModernLineCounts lines = countModernLines(text, &parseInput_);
  record_.allLoc = lines.allLoc;
  record_.loc = lines.loc;
  record_.commentLoc = lines.commentLoc;
  record_.blankLoc = lines.blankLoc;

  ParserArena::Scope scope(arena_);
  TSTree* tree = nullptr;
  try {
    prepareParser();
    ts_parser_reset(parser_);
    tree = ts_parser_parse(parser_, nullptr, parseInput_.input());
    // The parser has no time limit and no cancellation, so a tree is always
    // made; were none, the file would count as one error.
    if (tree) {
      walker_->walk(tree, text, record_);
    } else {
      record_.syntaxErrorCount = 1;
    }
  } catch (...) {
    releaseTree(tree);
    throw;
  }
  releaseTree(tree);
}

void ModernFileAnalyzer::releaseTree(TSTree* tree) noexcept {
  if (!arena_.failed() && tree) {
    try {
      ts_tree_delete(tree);
    } catch (...) {
      // Deleting takes memory too; then everything goes below.
    }
  }
  if (!arena_.failed()) return;
  // An allocation failed somewhere inside the runtime, which may have left
  // the parser, the tree or a cursor half changed: none of them is touched
  // again. The walker's cursors are whole (a failed allocation leaves an
  // array as it was), so it is deleted as usual; then every block of the
  // runtime goes at once, and the next file gets a new parser.
  walker_.reset();
  parser_ = nullptr;
  arena_.releaseAll();
}

}  // namespace rzt
