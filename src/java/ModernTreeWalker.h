#pragma once

#include <tree_sitter/api.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "java/ModernJavaGrammar.h"
#include "java/Records.h"

namespace rzt {

class AnalysisMonitor;
class IReportWriter;

// Measures the syntax tree of one Java file in a single walk with a tree
// cursor: fills the file's package, import, type and syntax-error counts and
// reports every type and method to the monitor and the report writer as it
// is met and finished. The walk keeps its own stack; nesting is bounded as in
// the word-level analysis (statements and classes deeper than
// NestingGuard::kMaxNestingDepth raise error 50030). One walker serves every
// file of an analysis.
class ModernTreeWalker final {
 public:
  ModernTreeWalker();
  ~ModernTreeWalker();
  ModernTreeWalker(const ModernTreeWalker&) = delete;
  ModernTreeWalker& operator=(const ModernTreeWalker&) = delete;

  void init(AnalysisMonitor* monitor, IReportWriter* oMgr);
  // text is the exact text the tree was parsed from; file gets the counts.
  void walk(const TSTree* tree, std::string_view text, FileRecord& file);

 private:
  // One node on the path from the root to the cursor.
  struct PathEntry {
    TSNode node;
    JavaNode kind;
    bool closesFrame;
    bool nests;  // a statement or a class: one level of nesting
  };
  // A type or a method being measured; members count into the nearest one.
  struct Frame {
    bool isMethod = false;
    ClassRecord cls;
    bool interfaceLike = false;  // interface or annotation type
    int32_t componentCount = 0;  // a record's components
    MethodRecord method;
  };

  void enter(TSNode node, JavaNode kind);
  void leave(const PathEntry& entry);

  void readPackage(TSNode node);
  void beginTypeDeclaration(TSNode node, JavaNode kind);
  void beginAnonymousType(const std::string& simpleName);
  void beginMethod(TSNode node, JavaNode kind);
  void finishFrame();
  void countField(TSNode node, JavaNode kind);
  void countStatement(JavaNode kind);
  void countLocalDeclaration(TSNode node);
  void countCreation(TSNode node);
  bool isStatementPosition() const;

  Frame& pushFrame(bool isMethod);
  int nearestTypeFrame() const;
  std::string_view textOf(TSNode node) const;
  std::string anonymousTypeName(TSNode creation);
  uint32_t modifiersOf(TSNode modifiers, int level);
  int32_t countTypes(TSNode list, int level);
  int32_t countParameters(TSNode parameters, int level);

  const ModernJavaGrammar& grammar_;
  AnalysisMonitor* monitor_ = nullptr;
  IReportWriter* outputMgr_ = nullptr;
  std::string_view text_;
  FileRecord* file_ = nullptr;
  bool treeHasError_ = false;
  TSTreeCursor cursor_{};
  TSTreeCursor childCursors_[3]{};  // for looking at a node's children, by nesting level
  bool cursorsMade_ = false;
  std::vector<PathEntry> path_;
  std::vector<Frame> frames_;
  size_t frameCount_ = 0;
  std::vector<std::string_view> nameParts_;
  int32_t nesting_ = 0;  // the levels of statements and classes on the path
};

}  // namespace rzt
