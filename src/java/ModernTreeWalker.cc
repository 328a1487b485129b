#include "java/ModernTreeWalker.h"

#include <algorithm>

#include "analysis/AnalysisMonitor.h"
#include "java/NestingGuard.h"
#include "report/IReportWriter.h"
#include "support/RztError.h"

namespace rzt {
namespace {

// Modifier keywords written in a modifiers node.
enum ModifierBit : uint32_t {
  kPublic = 1u << 0,
  kProtected = 1u << 1,
  kPrivate = 1u << 2,
  kStatic = 1u << 3,
  kFinal = 1u << 4,
  kAbstract = 1u << 5,
  kNative = 1u << 6,
  kSynchronized = 1u << 7,
};

// The access written; with several, "public" before "protected" before
// "private"; null when none is written.
const char* writtenAccess(uint32_t modifiers) {
  if (modifiers & kPublic) return "public";
  if (modifiers & kProtected) return "protected";
  if (modifiers & kPrivate) return "private";
  return nullptr;
}

// Bodies whose type declarations are member types.
bool isMemberBody(JavaNode kind) {
  return kind == JavaNode::ClassBody || kind == JavaNode::InterfaceBody ||
         kind == JavaNode::AnnotationTypeBody || kind == JavaNode::EnumBodyDeclarations;
}

bool isComment(JavaNode kind) { return kind == JavaNode::LineComment || kind == JavaNode::BlockComment; }

// Nodes that are one level of nesting, as the word-level analysis counts
// them: blocks and statements, and type declarations (anonymous class bodies
// count where they open their frame).
bool isNestingLevel(JavaNode kind) {
  switch (kind) {
    case JavaNode::ClassDeclaration:
    case JavaNode::InterfaceDeclaration:
    case JavaNode::EnumDeclaration:
    case JavaNode::RecordDeclaration:
    case JavaNode::AnnotationTypeDeclaration:
    case JavaNode::Block:
    case JavaNode::ConstructorBody:
    case JavaNode::LocalVariableDeclaration:
    case JavaNode::ExpressionStatement:
    case JavaNode::IfStatement:
    case JavaNode::WhileStatement:
    case JavaNode::ForStatement:
    case JavaNode::EnhancedForStatement:
    case JavaNode::DoStatement:
    case JavaNode::TryStatement:
    case JavaNode::TryWithResourcesStatement:
    case JavaNode::SynchronizedStatement:
    case JavaNode::ReturnStatement:
    case JavaNode::ThrowStatement:
    case JavaNode::YieldStatement:
    case JavaNode::BreakStatement:
    case JavaNode::ContinueStatement:
    case JavaNode::AssertStatement:
    case JavaNode::ExplicitConstructorInvocation:
    case JavaNode::SwitchExpression:
      return true;
    default:
      return false;
  }
}

// Calls f(node, kind) for each child of node, with the given cursor.
template <typename F>
void forEachChild(TSTreeCursor& cursor, TSNode node, const ModernJavaGrammar& grammar, F&& f) {
  ts_tree_cursor_reset(&cursor, node);
  if (!ts_tree_cursor_goto_first_child(&cursor)) return;
  do {
    TSNode child = ts_tree_cursor_current_node(&cursor);
    f(child, grammar.kindOf(ts_node_symbol(child)));
  } while (ts_tree_cursor_goto_next_sibling(&cursor));
}

}  // namespace

ModernTreeWalker::ModernTreeWalker() : grammar_(ModernJavaGrammar::instance()) {}

ModernTreeWalker::~ModernTreeWalker() {
  if (cursorsMade_) {
    ts_tree_cursor_delete(&cursor_);
    for (TSTreeCursor& c : childCursors_) ts_tree_cursor_delete(&c);
  }
}

void ModernTreeWalker::init(AnalysisMonitor* monitor, IReportWriter* oMgr) {
  monitor_ = monitor;
  outputMgr_ = oMgr;
}

void ModernTreeWalker::walk(const TSTree* tree, std::string_view text, FileRecord& file) {
  TSNode root = ts_tree_root_node(tree);
  if (!cursorsMade_) {
    cursor_ = ts_tree_cursor_new(root);
    for (TSTreeCursor& c : childCursors_) c = ts_tree_cursor_new(root);
    cursorsMade_ = true;
  }
  text_ = text;
  file_ = &file;
  treeHasError_ = ts_node_has_error(root);
  path_.clear();
  frameCount_ = 0;
  nesting_ = 0;
  file.syntaxErrorCount = 0;

  // Depth-first over every node: enter on the way down, leave on the way up.
  ts_tree_cursor_reset(&cursor_, root);
  enter(root, grammar_.kindOf(ts_node_symbol(root)));
  for (;;) {
    if (ts_tree_cursor_goto_first_child(&cursor_)) {
      TSNode node = ts_tree_cursor_current_node(&cursor_);
      enter(node, grammar_.kindOf(ts_node_symbol(node)));
      continue;
    }
    for (;;) {
      PathEntry done = path_.back();
      path_.pop_back();
      leave(done);
      if (ts_tree_cursor_goto_next_sibling(&cursor_)) {
        TSNode node = ts_tree_cursor_current_node(&cursor_);
        enter(node, grammar_.kindOf(ts_node_symbol(node)));
        break;
      }
      if (!ts_tree_cursor_goto_parent(&cursor_)) {
        // Leaves what the loop above has not left yet: nothing but the root.
        while (!path_.empty()) {
          PathEntry rest = path_.back();
          path_.pop_back();
          leave(rest);
        }
        file_ = nullptr;
        return;
      }
    }
  }
}

std::string_view ModernTreeWalker::textOf(TSNode node) const {
  uint32_t start = ts_node_start_byte(node);
  uint32_t end = ts_node_end_byte(node);
  if (start > text_.size()) return {};
  return text_.substr(start, std::min<size_t>(end, text_.size()) - start);
}

ModernTreeWalker::Frame& ModernTreeWalker::pushFrame(bool isMethod) {
  if (frameCount_ == frames_.size()) frames_.emplace_back();
  Frame& f = frames_[frameCount_++];
  f.isMethod = isMethod;
  f.interfaceLike = false;
  f.componentCount = 0;
  if (isMethod) {
    f.method = MethodRecord();
    f.method.packageName = file_->packageName;
    f.method.fileName = file_->fileName;
  } else {
    f.cls = ClassRecord();
    f.cls.packageName = file_->packageName;
    f.cls.fileName = file_->fileName;
  }
  return f;
}

int ModernTreeWalker::nearestTypeFrame() const {
  for (size_t i = frameCount_; i > 0; --i) {
    if (!frames_[i - 1].isMethod) return static_cast<int>(i - 1);
  }
  return -1;
}

void ModernTreeWalker::enter(TSNode node, JavaNode kind) {
  const JavaNode parent = path_.empty() ? JavaNode::Other : path_.back().kind;
  bool closesFrame = false;
  // Checked before anything of the node is built: the names of nested types
  // grow with their depth.
  bool nests = isNestingLevel(kind) ||
               (kind == JavaNode::ClassBody &&
                (parent == JavaNode::ObjectCreationExpression || parent == JavaNode::EnumConstant));
  if (nests) {
    if (nesting_ >= NestingGuard::kMaxNestingDepth) {
      throw RztError(NestingGuard::kErrNesting, "ModernTreeWalker", "ネストが深過ぎます");
    }
    ++nesting_;
  }
  if (kind == JavaNode::Error) {
    file_->syntaxErrorCount = checkedAdd(file_->syntaxErrorCount, 1);
  } else if (treeHasError_ && ts_node_is_missing(node)) {
    file_->syntaxErrorCount = checkedAdd(file_->syntaxErrorCount, 1);
  }

  switch (kind) {
    case JavaNode::PackageDeclaration:
      readPackage(node);
      break;
    case JavaNode::ImportDeclaration:
      ++file_->importCount;
      break;
    case JavaNode::ClassDeclaration:
    case JavaNode::InterfaceDeclaration:
    case JavaNode::EnumDeclaration:
    case JavaNode::RecordDeclaration:
    case JavaNode::AnnotationTypeDeclaration:
      beginTypeDeclaration(node, kind);
      closesFrame = true;
      break;
    case JavaNode::ClassBody:
      if (parent == JavaNode::ObjectCreationExpression) {
        beginAnonymousType(anonymousTypeName(path_.back().node));
        closesFrame = true;
      } else if (parent == JavaNode::EnumConstant) {
        TSNode constant = path_.back().node;
        beginAnonymousType(std::string(textOf(ts_node_child_by_field_id(constant, grammar_.fieldName()))));
        closesFrame = true;
      }
      break;
    case JavaNode::FieldDeclaration:
    case JavaNode::ConstantDeclaration:
      countField(node, kind);
      break;
    case JavaNode::EnumConstant:
      if (frameCount_ > 0 && !frames_[frameCount_ - 1].isMethod) {
        ClassRecord& cls = frames_[frameCount_ - 1].cls;
        ++cls.constantCount;
        ++cls.statementCount;
      }
      break;
    case JavaNode::MethodDeclaration:
    case JavaNode::ConstructorDeclaration:
    case JavaNode::CompactConstructorDeclaration:
    case JavaNode::AnnotationTypeElementDeclaration:
      beginMethod(node, kind);
      closesFrame = true;
      break;
    case JavaNode::StaticInitializer:
      if (frameCount_ > 0 && !frames_[frameCount_ - 1].isMethod) ++frames_[frameCount_ - 1].cls.staticBlockCount;
      break;
    case JavaNode::Block:
      // An instance initializer stands directly in a class body.
      if ((parent == JavaNode::ClassBody || parent == JavaNode::EnumBodyDeclarations) && frameCount_ > 0 &&
          !frames_[frameCount_ - 1].isMethod) {
        ++frames_[frameCount_ - 1].cls.staticBlockCount;
      }
      break;
    case JavaNode::LocalVariableDeclaration:
      // The declaration in a for header is part of the header.
      if (parent != JavaNode::ForStatement) {
        countStatement(kind);
        countLocalDeclaration(node);
      }
      break;
    case JavaNode::ExpressionStatement:
      // The expression after "->" of a switch rule is no statement.
      if (parent != JavaNode::SwitchRule) countStatement(kind);
      break;
    case JavaNode::IfStatement:
    case JavaNode::WhileStatement:
    case JavaNode::ForStatement:
    case JavaNode::EnhancedForStatement:
    case JavaNode::DoStatement:
    case JavaNode::TryStatement:
    case JavaNode::TryWithResourcesStatement:
    case JavaNode::SynchronizedStatement:
    case JavaNode::ReturnStatement:
    case JavaNode::ThrowStatement:
    case JavaNode::YieldStatement:
    case JavaNode::BreakStatement:
    case JavaNode::ContinueStatement:
    case JavaNode::AssertStatement:
    case JavaNode::ExplicitConstructorInvocation:
    case JavaNode::SwitchExpression:
    case JavaNode::MethodInvocation:
      countStatement(kind);
      break;
    case JavaNode::ObjectCreationExpression:
      countCreation(node);
      break;
    case JavaNode::ArrayCreationExpression:
      if (frameCount_ > 0 && frames_[frameCount_ - 1].isMethod) ++frames_[frameCount_ - 1].method.instanciationCount;
      break;
    default:
      break;
  }
  path_.push_back(PathEntry{node, kind, closesFrame, nests});
}

void ModernTreeWalker::leave(const PathEntry& entry) {
  if (entry.nests) --nesting_;
  if (entry.closesFrame) finishFrame();
}

void ModernTreeWalker::readPackage(TSNode node) {
  // The dotted name: a chain of scoped identifiers, read from its right end.
  TSNode name{};
  bool found = false;
  forEachChild(childCursors_[0], node, grammar_, [&](TSNode child, JavaNode kind) {
    if (kind == JavaNode::Identifier || kind == JavaNode::ScopedIdentifier) {
      name = child;
      found = true;
    }
  });
  if (!found) return;
  nameParts_.clear();
  while (grammar_.kindOf(ts_node_symbol(name)) == JavaNode::ScopedIdentifier) {
    nameParts_.push_back(textOf(ts_node_child_by_field_id(name, grammar_.fieldName())));
    TSNode scope = ts_node_child_by_field_id(name, grammar_.fieldScope());
    if (ts_node_is_null(scope)) break;
    name = scope;
  }
  if (grammar_.kindOf(ts_node_symbol(name)) != JavaNode::ScopedIdentifier) nameParts_.push_back(textOf(name));
  std::string& out = file_->packageName;
  out.clear();
  for (size_t i = nameParts_.size(); i > 0; --i) {
    out.append(nameParts_[i - 1]);
    if (i > 1) out.push_back('.');
  }
}

uint32_t ModernTreeWalker::modifiersOf(TSNode modifiers, int level) {
  uint32_t bits = 0;
  forEachChild(childCursors_[level], modifiers, grammar_, [&](TSNode, JavaNode kind) {
    switch (kind) {
      case JavaNode::KeywordPublic: bits |= kPublic; break;
      case JavaNode::KeywordProtected: bits |= kProtected; break;
      case JavaNode::KeywordPrivate: bits |= kPrivate; break;
      case JavaNode::KeywordStatic: bits |= kStatic; break;
      case JavaNode::KeywordFinal: bits |= kFinal; break;
      case JavaNode::KeywordAbstract: bits |= kAbstract; break;
      case JavaNode::KeywordNative: bits |= kNative; break;
      case JavaNode::KeywordSynchronized: bits |= kSynchronized; break;
      default: break;
    }
  });
  return bits;
}

int32_t ModernTreeWalker::countTypes(TSNode holder, int level) {
  // holder is superclass, super_interfaces, extends_interfaces or throws; the
  // types stand in it directly or in its type list.
  int32_t count = 0;
  forEachChild(childCursors_[level], holder, grammar_, [&](TSNode child, JavaNode kind) {
    if (kind == JavaNode::TypeList) {
      count += countTypes(child, level + 1);
    } else if (ts_node_is_named(child) && !isComment(kind) && kind != JavaNode::Error) {
      ++count;
    }
  });
  return count;
}

int32_t ModernTreeWalker::countParameters(TSNode parameters, int level) {
  int32_t count = 0;
  forEachChild(childCursors_[level], parameters, grammar_, [&](TSNode, JavaNode kind) {
    if (kind == JavaNode::FormalParameter || kind == JavaNode::SpreadParameter) ++count;
  });
  return count;
}

void ModernTreeWalker::beginTypeDeclaration(TSNode node, JavaNode kind) {
  const JavaNode parent = path_.empty() ? JavaNode::Other : path_.back().kind;
  const int enclosing = nearestTypeFrame();
  const bool member = enclosing >= 0 && frameCount_ > 0 && !frames_[frameCount_ - 1].isMethod && isMemberBody(parent);
  const bool enclosingInterface = member && frames_[enclosing].interfaceLike;
  std::string prefix;
  if (frameCount_ > 0 && enclosing >= 0) prefix = frames_[enclosing].cls.className;
  const bool inner = frameCount_ > 0;
  if (member) ++frames_[enclosing].cls.innerClassCount;
  if (!inner) ++file_->classCount;

  Frame& f = pushFrame(false);
  ClassRecord& cls = f.cls;
  cls.innerClass = inner;
  cls.classType = kind != JavaNode::InterfaceDeclaration && kind != JavaNode::AnnotationTypeDeclaration;
  f.interfaceLike = !cls.classType;
  if (!inner) {
    if (kind == JavaNode::EnumDeclaration) cls.kindText = "enum";
    if (kind == JavaNode::RecordDeclaration) cls.kindText = "record";
    if (kind == JavaNode::AnnotationTypeDeclaration) cls.kindText = "annotation";
  }
  uint32_t modifiers = 0;
  forEachChild(childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    switch (childKind) {
      case JavaNode::Modifiers:
        modifiers |= modifiersOf(child, 1);
        break;
      case JavaNode::Identifier:
        if (cls.classNameNoPrefix.empty()) cls.classNameNoPrefix = textOf(child);
        break;
      case JavaNode::Superclass:
        cls.extendsCount = Counter(1);
        break;
      case JavaNode::ExtendsInterfaces:
        cls.extendsCount = Counter(countTypes(child, 1));
        break;
      case JavaNode::SuperInterfaces:
        cls.implementsCount = Counter(countTypes(child, 1));
        break;
      case JavaNode::FormalParameters:
        if (kind == JavaNode::RecordDeclaration) f.componentCount = countParameters(child, 1);
        break;
      default:
        break;
    }
  });
  if (const char* access = writtenAccess(modifiers)) {
    cls.access = access;
  } else if (enclosingInterface) {
    cls.access = "public";
  } else if (inner) {
    cls.access = "private";
  } else {
    cls.access = "package";
  }
  cls.abstractClass = (modifiers & kAbstract) != 0;
  cls.finalClass = (modifiers & kFinal) != 0;
  if (cls.classNameNoPrefix.empty()) {
    cls.className = inner ? prefix + "$???" : "???";
  } else {
    cls.className = inner ? prefix + "$" + cls.classNameNoPrefix : cls.classNameNoPrefix;
  }
  // Every record component is a final field of its own.
  cls.constantCount += f.componentCount;
  cls.statementCount += f.componentCount;
  if (monitor_) monitor_->notifyClassAnalysis(cls);
}

void ModernTreeWalker::beginAnonymousType(const std::string& simpleName) {
  const int enclosing = nearestTypeFrame();
  std::string prefix = enclosing >= 0 ? frames_[enclosing].cls.className : std::string();
  if (frameCount_ > 0 && frames_[frameCount_ - 1].isMethod) ++frames_[frameCount_ - 1].method.anonymousClassCount;
  Frame& f = pushFrame(false);
  ClassRecord& cls = f.cls;
  cls.innerClass = true;
  cls.classType = true;
  cls.access = "private";
  cls.className = prefix + "$" + simpleName;
  if (monitor_) monitor_->notifyClassAnalysis(cls);
}

std::string ModernTreeWalker::anonymousTypeName(TSNode creation) {
  // The simple name of the type after "new", its type arguments left out.
  TSNode type = ts_node_child_by_field_id(creation, grammar_.fieldType());
  for (int guard = 0; !ts_node_is_null(type) && guard < 64; ++guard) {
    JavaNode kind = grammar_.kindOf(ts_node_symbol(type));
    if (kind == JavaNode::ScopedTypeIdentifier || kind == JavaNode::GenericType || kind == JavaNode::AnnotatedType) {
      // scoped: its last type identifier; generic: the type before its
      // arguments; annotated: the type after its annotations.
      TSNode next{};
      bool found = false;
      forEachChild(childCursors_[0], type, grammar_, [&](TSNode child, JavaNode childKind) {
        bool isType = childKind == JavaNode::TypeIdentifier || childKind == JavaNode::ScopedTypeIdentifier ||
                      childKind == JavaNode::GenericType;
        if (!isType) return;
        if (kind == JavaNode::GenericType && found) return;
        next = child;
        found = true;
      });
      if (!found) break;
      type = next;
      continue;
    }
    return std::string(textOf(type));
  }
  return ts_node_is_null(type) ? std::string() : std::string(textOf(type));
}

void ModernTreeWalker::beginMethod(TSNode node, JavaNode kind) {
  const int enclosing = nearestTypeFrame();
  const bool inInterface = enclosing >= 0 && frames_[enclosing].interfaceLike;
  std::string className = enclosing >= 0 ? frames_[enclosing].cls.className : std::string();
  std::string simpleName = enclosing >= 0 ? frames_[enclosing].cls.classNameNoPrefix : std::string();
  int32_t components = enclosing >= 0 ? frames_[enclosing].componentCount : 0;

  Frame& f = pushFrame(true);
  MethodRecord& m = f.method;
  m.className = std::move(className);
  const bool constructor =
      kind == JavaNode::ConstructorDeclaration || kind == JavaNode::CompactConstructorDeclaration;
  m.constructorMethod = constructor;
  m.returnsValue = !constructor;
  uint32_t modifiers = 0;
  bool hasBody = false;
  bool named = false;
  forEachChild(childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    switch (childKind) {
      case JavaNode::Modifiers:
        modifiers |= modifiersOf(child, 1);
        break;
      case JavaNode::VoidType:
        m.returnsValue = false;
        break;
      case JavaNode::Identifier:
        // The first identifier of the head is the name; a type named by an
        // identifier stands as a type identifier.
        if (!named) {
          m.methodName = textOf(child);
          named = true;
        }
        break;
      case JavaNode::FormalParameters:
        m.argumentCount = Counter(countParameters(child, 1));
        break;
      case JavaNode::Throws:
        m.throwsCount = Counter(countTypes(child, 1));
        break;
      case JavaNode::Block:
      case JavaNode::ConstructorBody:
        hasBody = true;
        break;
      default:
        break;
    }
  });
  if (constructor) m.methodName = simpleName;
  if (kind == JavaNode::CompactConstructorDeclaration) m.argumentCount = Counter(components);
  m.staticMethod = (modifiers & kStatic) != 0;
  m.finalMethod = (modifiers & kFinal) != 0;
  m.nativeMethod = (modifiers & kNative) != 0;
  m.synchronizedMethod = (modifiers & kSynchronized) != 0;
  m.abstractMethod = (modifiers & kAbstract) != 0 || kind == JavaNode::AnnotationTypeElementDeclaration ||
                     (inInterface && kind == JavaNode::MethodDeclaration && !hasBody);
  if (const char* access = writtenAccess(modifiers)) {
    m.access = access;
  } else {
    m.access = inInterface ? "public" : "package";
  }
  if (monitor_) monitor_->notifyMethodAnalysis(m);
}

void ModernTreeWalker::finishFrame() {
  Frame& f = frames_[frameCount_ - 1];
  if (!f.isMethod) {
    if (outputMgr_) outputMgr_->finishedClassAnalysis(f.cls);
    --frameCount_;
    return;
  }
  if (outputMgr_) outputMgr_->finishedMethodAnalysis(f.method);
  --frameCount_;
  const int enclosing = nearestTypeFrame();
  if (enclosing < 0) return;
  ClassRecord& cls = frames_[enclosing].cls;
  const MethodRecord& m = f.method;
  cls.statementCount += m.statementCount.value();
  const bool isPublic = m.access == "public";
  if (m.staticMethod) {
    ++cls.classMethodCount;
    if (isPublic) ++cls.publicClassMethodCount;
  } else {
    ++cls.instanceMethodCount;
    if (isPublic) ++cls.publicInstanceMethodCount;
  }
}

void ModernTreeWalker::countField(TSNode node, JavaNode kind) {
  if (frameCount_ == 0 || frames_[frameCount_ - 1].isMethod) return;
  Frame& f = frames_[frameCount_ - 1];
  ClassRecord& cls = f.cls;
  uint32_t modifiers = 0;
  forEachChild(childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    if (childKind == JavaNode::Modifiers) modifiers |= modifiersOf(child, 1);
  });
  ++cls.statementCount;
  if ((modifiers & kFinal) || f.interfaceLike || kind == JavaNode::ConstantDeclaration) {
    ++cls.constantCount;
  } else if (modifiers & kStatic) {
    ++cls.classVariableCount;
    if (modifiers & kPublic) ++cls.publicClassVariableCount;
  } else {
    ++cls.instanceVariableCount;
    if (modifiers & kPublic) ++cls.publicInstanceVariableCount;
  }
}

bool ModernTreeWalker::isStatementPosition() const {
  // path_.back() is the parent of the node being entered.
  if (path_.empty()) return false;
  switch (path_.back().kind) {
    case JavaNode::Program:
    case JavaNode::Block:
    case JavaNode::ConstructorBody:
    case JavaNode::SwitchBlockStatementGroup:
    case JavaNode::LabeledStatement:
      return true;
    case JavaNode::IfStatement: {
      TSFieldId field = ts_tree_cursor_current_field_id(&cursor_);
      return field == grammar_.fieldConsequence() || field == grammar_.fieldAlternative();
    }
    case JavaNode::WhileStatement:
    case JavaNode::ForStatement:
    case JavaNode::EnhancedForStatement:
    case JavaNode::DoStatement:
      return ts_tree_cursor_current_field_id(&cursor_) == grammar_.fieldBody();
    default:
      return false;
  }
}

void ModernTreeWalker::countStatement(JavaNode kind) {
  if (frameCount_ == 0) return;
  Frame& f = frames_[frameCount_ - 1];
  if (!f.isMethod) {
    // Statements of initializers and of lambdas in field initializers count
    // for the class; nothing else of them has a cell.
    if (kind == JavaNode::MethodInvocation) return;
    if (kind == JavaNode::SwitchExpression && !isStatementPosition()) return;
    ++f.cls.statementCount;
    return;
  }
  MethodRecord& m = f.method;
  switch (kind) {
    case JavaNode::MethodInvocation:
      ++m.messagePassingCount;
      return;
    case JavaNode::SwitchExpression:
      ++m.switchStatementCount;
      if (isStatementPosition()) ++m.statementCount;
      return;
    case JavaNode::ExplicitConstructorInvocation:
      ++m.messagePassingCount;
      break;
    case JavaNode::IfStatement: ++m.ifStatementCount; break;
    case JavaNode::WhileStatement: ++m.whileStatementCount; break;
    case JavaNode::ForStatement:
    case JavaNode::EnhancedForStatement: ++m.forStatementCount; break;
    case JavaNode::DoStatement: ++m.doStatementCount; break;
    case JavaNode::TryStatement:
    case JavaNode::TryWithResourcesStatement: ++m.tryStatementCount; break;
    case JavaNode::SynchronizedStatement: ++m.synchronizedStatementCount; break;
    case JavaNode::ReturnStatement: ++m.returnStatementCount; break;
    case JavaNode::ThrowStatement: ++m.throwStatementCount; break;
    default: break;
  }
  ++m.statementCount;
}

void ModernTreeWalker::countLocalDeclaration(TSNode node) {
  if (frameCount_ == 0 || !frames_[frameCount_ - 1].isMethod) return;
  uint32_t modifiers = 0;
  forEachChild(childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    if (childKind == JavaNode::Modifiers) modifiers |= modifiersOf(child, 1);
  });
  MethodRecord& m = frames_[frameCount_ - 1].method;
  if (modifiers & kFinal) {
    ++m.localConstants;
  } else {
    ++m.localVariables;
  }
}

void ModernTreeWalker::countCreation(TSNode node) {
  if (frameCount_ == 0 || !frames_[frameCount_ - 1].isMethod) return;
  bool anonymous = false;
  forEachChild(childCursors_[0], node, grammar_, [&](TSNode, JavaNode kind) {
    if (kind == JavaNode::ClassBody) anonymous = true;
  });
  // An anonymous creation is counted when its body begins.
  if (anonymous) return;
  MethodRecord& m = frames_[frameCount_ - 1].method;
  ++m.messagePassingCount;
  ++m.instanciationCount;
}

}  // namespace rzt
