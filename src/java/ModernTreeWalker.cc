#include "java/ModernTreeWalker.h"

#include <algorithm>
#include <array>

#include "java/NestingGuard.h"
#include "records/ClassRules.h"
#include "records/IAnalysisMonitor.h"
#include "records/IStatementCounter.h"
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

// Enum constants and record components: fields that are final by the language.
constexpr FieldModifiers kFinalField{false, true, false};
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

// Whether entering a node of the kind may count anything even when it has
// no children: the kinds enter() handles, the nesting levels and errors.
// Other leaves are no parent of anything either, so nothing looks them up
// on the path.
constexpr std::array<bool, 256> makeLeafCounting() {
  std::array<bool, 256> counts{};
  for (JavaNode kind : {JavaNode::Error, JavaNode::Program, JavaNode::PackageDeclaration, JavaNode::ImportDeclaration,
                        JavaNode::ClassDeclaration, JavaNode::InterfaceDeclaration, JavaNode::EnumDeclaration,
                        JavaNode::RecordDeclaration, JavaNode::AnnotationTypeDeclaration, JavaNode::ClassBody,
                        JavaNode::FieldDeclaration, JavaNode::ConstantDeclaration, JavaNode::EnumConstant,
                        JavaNode::MethodDeclaration, JavaNode::ConstructorDeclaration,
                        JavaNode::CompactConstructorDeclaration, JavaNode::AnnotationTypeElementDeclaration,
                        JavaNode::StaticInitializer, JavaNode::Block, JavaNode::ConstructorBody,
                        JavaNode::LocalVariableDeclaration, JavaNode::ExpressionStatement, JavaNode::IfStatement,
                        JavaNode::WhileStatement, JavaNode::ForStatement, JavaNode::EnhancedForStatement,
                        JavaNode::DoStatement, JavaNode::TryStatement, JavaNode::TryWithResourcesStatement,
                        JavaNode::SynchronizedStatement, JavaNode::ReturnStatement, JavaNode::ThrowStatement,
                        JavaNode::YieldStatement, JavaNode::BreakStatement, JavaNode::ContinueStatement,
                        JavaNode::AssertStatement, JavaNode::ExplicitConstructorInvocation,
                        JavaNode::SwitchExpression, JavaNode::MethodInvocation, JavaNode::ObjectCreationExpression,
                        JavaNode::ArrayCreationExpression}) {
    counts[static_cast<size_t>(kind)] = true;
  }
  return counts;
}

constexpr std::array<bool, 256> kLeafCounting = makeLeafCounting();

bool countsWhenLeaf(JavaNode kind) { return kLeafCounting[static_cast<size_t>(kind)]; }

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

void ModernTreeWalker::CursorDeleter::operator()(TSTreeCursor* cursor) const {
  ts_tree_cursor_delete(cursor);
  delete cursor;
}

void ModernTreeWalker::init(IAnalysisMonitor* monitor, IReportWriter* oMgr) {
  monitor_ = monitor;
  reportWriter_ = oMgr;
}

void ModernTreeWalker::walk(const TSTree* tree, std::string_view text, FileRecord& file) {
  TSNode root = ts_tree_root_node(tree);
  if (!cursor_) {
    cursor_.reset(new TSTreeCursor(ts_tree_cursor_new(root)));
    for (Cursor& c : childCursors_) c.reset(new TSTreeCursor(ts_tree_cursor_new(root)));
  }
  text_ = text;
  file_ = &file;
  treeHasError_ = ts_node_has_error(root);
  path_.clear();
  frameCount_ = 0;
  nesting_ = 0;
  file.syntaxErrorCount = 0;

  // Depth-first over every node: enter on the way down, leave on the way up.
  // Most nodes are tokens and names that count nothing: they are passed
  // over without being entered (entered: whether the cursor's node was).
  ts_tree_cursor_reset(cursor_.get(), root);
  enter(root, grammar_.kindOf(ts_node_symbol(root)));
  bool entered = true;
  for (;;) {
    if (entered && ts_tree_cursor_goto_first_child(cursor_.get())) {
      entered = visitCursorNode();
      continue;
    }
    for (;;) {
      if (entered) {
        PathEntry done = path_.back();
        path_.pop_back();
        leave(done);
      }
      if (ts_tree_cursor_goto_next_sibling(cursor_.get())) {
        entered = visitCursorNode();
        break;
      }
      entered = true;  // the parent, on the path
      if (!ts_tree_cursor_goto_parent(cursor_.get())) {
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

bool ModernTreeWalker::visitCursorNode() {
  TSNode node = ts_tree_cursor_current_node(cursor_.get());
  const JavaNode kind = grammar_.kindOf(ts_node_symbol(node));
  if (!countsWhenLeaf(kind) && ts_node_child_count(node) == 0 && !(treeHasError_ && ts_node_is_missing(node))) {
    return false;
  }
  enter(node, kind);
  return true;
}

std::string_view ModernTreeWalker::textOf(TSNode node) const {
  uint32_t start = ts_node_start_byte(node);
  uint32_t end = ts_node_end_byte(node);
  if (start > text_.size()) return {};
  return text_.substr(start, std::min<size_t>(end, text_.size()) - start);
}

int32_t ModernTreeWalker::lineOf(TSNode node) { return static_cast<int32_t>(ts_node_start_point(node).row + 1); }

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
    f.method.filePath = file_->filePath;
  } else {
    f.cls = ClassRecord();
    f.cls.packageName = file_->packageName;
    f.cls.fileName = file_->fileName;
    f.cls.filePath = file_->filePath;
  }
  return f;
}

int ModernTreeWalker::nearestTypeFrame() const {
  for (size_t i = frameCount_; i > 0; --i) {
    if (!frames_[i - 1].isMethod) return static_cast<int>(i - 1);
  }
  return -1;
}

ModernTreeWalker::Frame* ModernTreeWalker::currentFrame() {
  return frameCount_ > 0 ? &frames_[frameCount_ - 1] : nullptr;
}

ClassRecord* ModernTreeWalker::currentType() {
  Frame* f = currentFrame();
  return f != nullptr && !f->isMethod ? &f->cls : nullptr;
}

MethodRecord* ModernTreeWalker::currentMethod() {
  Frame* f = currentFrame();
  return f != nullptr && f->isMethod ? &f->method : nullptr;
}

JavaNode ModernTreeWalker::parentKind() const { return path_.empty() ? JavaNode::Other : path_.back().kind; }

void ModernTreeWalker::enter(TSNode node, JavaNode kind) {
  // Checked before anything of the node is built: the names of nested types
  // grow with their depth.
  const JavaNode parent = parentKind();
  const bool nests = isNestingLevel(kind) ||
                     (kind == JavaNode::ClassBody &&
                      (parent == JavaNode::ObjectCreationExpression || parent == JavaNode::EnumConstant));
  if (nests) {
    if (nesting_ >= NestingGuard::kMaxNestingDepth) throw RztError(kErrNesting, "ModernTreeWalker", kTextNesting);
    ++nesting_;
  }
  countSyntaxError(node, kind);
  bool closesFrame = false;
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
      closesFrame = enterClassBody();
      break;
    case JavaNode::FieldDeclaration:
    case JavaNode::ConstantDeclaration:
      countField(node, kind);
      break;
    case JavaNode::EnumConstant:
      enterEnumConstant();
      break;
    case JavaNode::MethodDeclaration:
    case JavaNode::ConstructorDeclaration:
    case JavaNode::CompactConstructorDeclaration:
    case JavaNode::AnnotationTypeElementDeclaration:
      beginMethod(node, kind);
      closesFrame = true;
      break;
    case JavaNode::StaticInitializer:
      enterStaticInitializer();
      break;
    case JavaNode::Block:
      enterBlock();
      break;
    case JavaNode::LocalVariableDeclaration:
      enterLocalVariableDeclaration(node);
      break;
    case JavaNode::ExpressionStatement:
      enterExpressionStatement();
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
      enterArrayCreation();
      break;
    default:
      break;
  }
  path_.push_back(PathEntry{node, kind, closesFrame, nests});
}

void ModernTreeWalker::countSyntaxError(TSNode node, JavaNode kind) {
  if (kind == JavaNode::Error || (treeHasError_ && ts_node_is_missing(node))) {
    file_->syntaxErrorCount = checkedAdd(file_->syntaxErrorCount, 1);
  }
}

bool ModernTreeWalker::enterClassBody() {
  // Only the body of a creation or of an enum constant is a type of its own.
  const JavaNode parent = parentKind();
  if (parent == JavaNode::ObjectCreationExpression) {
    // Placed at its "new", which a qualified creation (outer.new Inner() {})
    // has after its start.
    TSNode creation = path_.back().node;
    int32_t line = lineOf(creation);
    forEachChild(*childCursors_[0], creation, grammar_, [&](TSNode child, JavaNode) {
      if (!ts_node_is_named(child) && textOf(child) == "new") line = lineOf(child);
    });
    beginAnonymousType(anonymousTypeName(creation), line);
    return true;
  }
  if (parent == JavaNode::EnumConstant) {
    TSNode constant = path_.back().node;
    TSNode name = ts_node_child_by_field_id(constant, grammar_.fieldName());
    beginAnonymousType(std::string(textOf(name)), lineOf(ts_node_is_null(name) ? constant : name));
    return true;
  }
  return false;
}

void ModernTreeWalker::enterEnumConstant() {
  // Every enum constant is a final field of its own.
  if (ClassRecord* cls = currentType()) addFieldToClass(*cls, kFinalField);
}

void ModernTreeWalker::enterStaticInitializer() {
  if (ClassRecord* cls = currentType()) ++cls->staticBlockCount;
}

void ModernTreeWalker::enterBlock() {
  // An instance initializer stands directly in a class body.
  const JavaNode parent = parentKind();
  if (parent != JavaNode::ClassBody && parent != JavaNode::EnumBodyDeclarations) return;
  if (ClassRecord* cls = currentType()) ++cls->staticBlockCount;
}

void ModernTreeWalker::enterLocalVariableDeclaration(TSNode node) {
  // The declaration in a for header is part of the header.
  if (parentKind() == JavaNode::ForStatement) return;
  countStatement(JavaNode::LocalVariableDeclaration);
  countLocalDeclaration(node);
}

void ModernTreeWalker::enterExpressionStatement() {
  // The expression after "->" of a switch rule is no statement.
  if (parentKind() != JavaNode::SwitchRule) countStatement(JavaNode::ExpressionStatement);
}

void ModernTreeWalker::enterArrayCreation() {
  if (MethodRecord* m = currentMethod()) MethodRecordCounter(*m).addInstanciationCount(1);
}

void ModernTreeWalker::leave(const PathEntry& entry) {
  if (entry.nests) --nesting_;
  if (entry.closesFrame) finishFrame();
}

void ModernTreeWalker::readPackage(TSNode node) {
  // The dotted name: a chain of scoped identifiers, read from its right end.
  TSNode name{};
  bool found = false;
  forEachChild(*childCursors_[0], node, grammar_, [&](TSNode child, JavaNode kind) {
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
  forEachChild(*childCursors_[level], modifiers, grammar_, [&](TSNode, JavaNode kind) {
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
  forEachChild(*childCursors_[level], holder, grammar_, [&](TSNode child, JavaNode kind) {
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
  forEachChild(*childCursors_[level], parameters, grammar_, [&](TSNode, JavaNode kind) {
    if (kind == JavaNode::FormalParameter || kind == JavaNode::SpreadParameter) ++count;
  });
  return count;
}

void ModernTreeWalker::beginTypeDeclaration(TSNode node, JavaNode kind) {
  const int enclosing = nearestTypeFrame();
  const bool member = enclosing >= 0 && currentType() != nullptr && isMemberBody(parentKind());
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
  forEachChild(*childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    switch (childKind) {
      case JavaNode::Modifiers:
        modifiers |= modifiersOf(child, 1);
        break;
      case JavaNode::Identifier:
        if (cls.classNameNoPrefix.empty()) {
          cls.classNameNoPrefix = textOf(child);
          cls.line = lineOf(child);
        }
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
  if (cls.line == 0) cls.line = lineOf(node);
  if (cls.classNameNoPrefix.empty()) {
    cls.className = inner ? prefix + "$???" : "???";
  } else {
    cls.className = inner ? prefix + "$" + cls.classNameNoPrefix : cls.classNameNoPrefix;
  }
  // Every record component is a final field of its own.
  for (int32_t i = 0; i < f.componentCount; ++i) addFieldToClass(cls, kFinalField);
  if (monitor_) monitor_->notifyClassAnalysis(cls);
}

void ModernTreeWalker::beginAnonymousType(const std::string& simpleName, int32_t line) {
  const int enclosing = nearestTypeFrame();
  std::string prefix = enclosing >= 0 ? frames_[enclosing].cls.className : std::string();
  if (MethodRecord* m = currentMethod()) MethodRecordCounter(*m).addAnonymousClassCount(1);
  Frame& f = pushFrame(false);
  ClassRecord& cls = f.cls;
  cls.innerClass = true;
  cls.classType = true;
  cls.access = "private";
  cls.className = prefix + "$" + simpleName;
  cls.line = line;
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
      forEachChild(*childCursors_[0], type, grammar_, [&](TSNode child, JavaNode childKind) {
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
  forEachChild(*childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
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
          m.line = lineOf(child);
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
  if (m.line == 0) m.line = lineOf(node);
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
    if (reportWriter_) reportWriter_->finishedClassAnalysis(f.cls);
    --frameCount_;
    return;
  }
  if (reportWriter_) reportWriter_->finishedMethodAnalysis(f.method);
  --frameCount_;
  const int enclosing = nearestTypeFrame();
  if (enclosing >= 0) addMethodToClass(frames_[enclosing].cls, f.method);
}

void ModernTreeWalker::countField(TSNode node, JavaNode kind) {
  ClassRecord* cls = currentType();
  if (cls == nullptr) return;
  uint32_t modifiers = 0;
  forEachChild(*childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    if (childKind == JavaNode::Modifiers) modifiers |= modifiersOf(child, 1);
  });
  // An interface's constant declaration is final whether written or not.
  FieldModifiers field;
  field.isStatic = (modifiers & kStatic) != 0;
  field.isFinal = (modifiers & kFinal) != 0 || kind == JavaNode::ConstantDeclaration;
  field.isPublic = (modifiers & kPublic) != 0;
  addFieldToClass(*cls, field);
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
      TSFieldId field = ts_tree_cursor_current_field_id(cursor_.get());
      return field == grammar_.fieldConsequence() || field == grammar_.fieldAlternative();
    }
    case JavaNode::WhileStatement:
    case JavaNode::ForStatement:
    case JavaNode::EnhancedForStatement:
    case JavaNode::DoStatement:
      return ts_tree_cursor_current_field_id(cursor_.get()) == grammar_.fieldBody();
    default:
      return false;
  }
}

void ModernTreeWalker::countStatement(JavaNode kind) {
  if (ClassRecord* cls = currentType()) {
    // Statements of initializers and of lambdas in field initializers count
    // for the class; nothing else of them has a cell.
    if (kind == JavaNode::MethodInvocation) return;
    if (kind == JavaNode::SwitchExpression && !isStatementPosition()) return;
    ClassRecordCounter(*cls).addStatementCount(1);
    return;
  }
  MethodRecord* method = currentMethod();
  if (method == nullptr) return;
  MethodRecordCounter counter(*method);
  switch (kind) {
    case JavaNode::MethodInvocation:
      counter.addMessagePassingCount(1);
      return;
    case JavaNode::SwitchExpression:
      counter.addSwitchStatementCount(1);
      if (isStatementPosition()) counter.addStatementCount(1);
      return;
    case JavaNode::ExplicitConstructorInvocation: counter.addMessagePassingCount(1); break;
    case JavaNode::IfStatement: counter.addIfStatementCount(1); break;
    case JavaNode::WhileStatement: counter.addWhileStatementCount(1); break;
    case JavaNode::ForStatement:
    case JavaNode::EnhancedForStatement: counter.addForStatementCount(1); break;
    case JavaNode::DoStatement: counter.addDoStatementCount(1); break;
    case JavaNode::TryStatement:
    case JavaNode::TryWithResourcesStatement: counter.addTryStatementCount(1); break;
    case JavaNode::SynchronizedStatement: counter.addSynchronizedStatementCount(1); break;
    case JavaNode::ReturnStatement: counter.addReturnStatementCount(1); break;
    case JavaNode::ThrowStatement: counter.addThrowStatementCount(1); break;
    default: break;
  }
  counter.addStatementCount(1);
}

void ModernTreeWalker::countLocalDeclaration(TSNode node) {
  MethodRecord* method = currentMethod();
  if (method == nullptr) return;
  uint32_t modifiers = 0;
  forEachChild(*childCursors_[0], node, grammar_, [&](TSNode child, JavaNode childKind) {
    if (childKind == JavaNode::Modifiers) modifiers |= modifiersOf(child, 1);
  });
  MethodRecordCounter counter(*method);
  if (modifiers & kFinal) {
    counter.addConstantCount(1);
  } else {
    counter.addVariableCount(1);
  }
}

void ModernTreeWalker::countCreation(TSNode node) {
  MethodRecord* method = currentMethod();
  if (method == nullptr) return;
  bool anonymous = false;
  forEachChild(*childCursors_[0], node, grammar_, [&](TSNode, JavaNode kind) {
    if (kind == JavaNode::ClassBody) anonymous = true;
  });
  // An anonymous creation is counted when its body begins.
  if (anonymous) return;
  MethodRecordCounter counter(*method);
  counter.addMessagePassingCount(1);
  counter.addInstanciationCount(1);
}

}  // namespace rzt
