#pragma once

#include <tree_sitter/api.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "java/ModernJavaGrammar.h"
#include "records/Records.h"

namespace rzt {

class IAnalysisMonitor;
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

  void init(IAnalysisMonitor* monitor, IReportWriter* oMgr);
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

  // Called for each node on the way down; each kind that counts has a
  // handler of its own.
  void enter(TSNode node, JavaNode kind);
  // Enters the cursor's node unless it is a leaf that counts nothing;
  // whether it was entered.
  bool visitCursorNode();
  void leave(const PathEntry& entry);

  // The innermost frame; the type or method it measures, null when it is
  // the other kind (or there is none): what a member counts into.
  Frame* currentFrame();
  ClassRecord* currentType();
  MethodRecord* currentMethod();
  // The kind of the parent of the node being entered.
  JavaNode parentKind() const;

  void countSyntaxError(TSNode node, JavaNode kind);
  // The body of a creation or an enum constant begins an anonymous type.
  bool enterClassBody();
  void enterEnumConstant();
  void enterStaticInitializer();
  void enterBlock();
  void enterLocalVariableDeclaration(TSNode node);
  void enterExpressionStatement();
  void enterArrayCreation();

  void readPackage(TSNode node);
  void beginTypeDeclaration(TSNode node, JavaNode kind);
  void beginAnonymousType(const std::string& simpleName, int32_t line);
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
  // The line, counting from 1, where node begins: its row, which counts a
  // lone carriage return as a line end too (the parser reads a line feed
  // there, see ModernParseInput).
  static int32_t lineOf(TSNode node);
  std::string anonymousTypeName(TSNode creation);
  uint32_t modifiersOf(TSNode modifiers, int level);
  int32_t countTypes(TSNode list, int level);
  int32_t countParameters(TSNode parameters, int level);

  const ModernJavaGrammar& grammar_;
  IAnalysisMonitor* monitor_ = nullptr;
  IReportWriter* reportWriter_ = nullptr;
  std::string_view text_;
  FileRecord* file_ = nullptr;
  bool treeHasError_ = false;
  // Cursors live from the first walk as long as the walker.
  struct CursorDeleter {
    void operator()(TSTreeCursor* cursor) const;
  };
  using Cursor = std::unique_ptr<TSTreeCursor, CursorDeleter>;
  Cursor cursor_;
  std::array<Cursor, 3> childCursors_;  // for looking at a node's children, by nesting level
  std::vector<PathEntry> path_;
  std::vector<Frame> frames_;
  size_t frameCount_ = 0;
  std::vector<std::string_view> nameParts_;
  int32_t nesting_ = 0;  // the levels of statements and classes on the path
};

}  // namespace rzt
