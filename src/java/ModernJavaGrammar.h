#pragma once

#include <tree_sitter/api.h>

#include <cstdint>
#include <vector>

namespace rzt {

// The node types of the Java grammar that the syntax-tree analysis tells
// apart; every other node type is Other.
enum class JavaNode : uint8_t {
  Other,
  Error,
  Program,
  PackageDeclaration,
  ImportDeclaration,
  ClassDeclaration,
  InterfaceDeclaration,
  EnumDeclaration,
  RecordDeclaration,
  AnnotationTypeDeclaration,
  ClassBody,
  InterfaceBody,
  AnnotationTypeBody,
  EnumBody,
  EnumBodyDeclarations,
  EnumConstant,
  FieldDeclaration,
  ConstantDeclaration,
  MethodDeclaration,
  ConstructorDeclaration,
  CompactConstructorDeclaration,
  AnnotationTypeElementDeclaration,
  StaticInitializer,
  Block,
  ConstructorBody,
  Modifiers,
  FormalParameters,
  FormalParameter,
  SpreadParameter,
  Throws,
  Superclass,
  SuperInterfaces,
  ExtendsInterfaces,
  TypeList,
  LocalVariableDeclaration,
  ExpressionStatement,
  IfStatement,
  WhileStatement,
  ForStatement,
  EnhancedForStatement,
  DoStatement,
  TryStatement,
  TryWithResourcesStatement,
  SynchronizedStatement,
  ReturnStatement,
  ThrowStatement,
  YieldStatement,
  BreakStatement,
  ContinueStatement,
  AssertStatement,
  ExplicitConstructorInvocation,
  LabeledStatement,
  SwitchExpression,
  SwitchBlockStatementGroup,
  SwitchRule,
  MethodInvocation,
  ObjectCreationExpression,
  ArrayCreationExpression,
  Identifier,
  TypeIdentifier,
  ScopedTypeIdentifier,
  GenericType,
  AnnotatedType,
  ScopedIdentifier,
  VoidType,
  LineComment,
  BlockComment,
  // Keywords as they stand in a modifiers node.
  KeywordPublic,
  KeywordProtected,
  KeywordPrivate,
  KeywordStatic,
  KeywordFinal,
  KeywordAbstract,
  KeywordNative,
  KeywordSynchronized,
};

// The Java language of tree-sitter with its node types and field names looked
// up once, so that the walk tells node types apart by a table index.
class ModernJavaGrammar final {
 public:
  // The one table of the program; raises error 50040 when the compiled
  // grammar is not one the runtime accepts or lacks a node type we need.
  static const ModernJavaGrammar& instance();

  const TSLanguage* language() const { return language_; }
  JavaNode kindOf(TSSymbol symbol) const {
    if (symbol < kinds_.size()) return kinds_[symbol];
    return symbol == static_cast<TSSymbol>(-1) ? JavaNode::Error : JavaNode::Other;
  }

  TSFieldId fieldName() const { return fieldName_; }
  TSFieldId fieldType() const { return fieldType_; }
  TSFieldId fieldBody() const { return fieldBody_; }
  TSFieldId fieldScope() const { return fieldScope_; }
  TSFieldId fieldParameters() const { return fieldParameters_; }
  TSFieldId fieldConsequence() const { return fieldConsequence_; }
  TSFieldId fieldAlternative() const { return fieldAlternative_; }

 private:
  ModernJavaGrammar();

  const TSLanguage* language_;
  std::vector<JavaNode> kinds_;
  TSFieldId fieldName_ = 0;
  TSFieldId fieldType_ = 0;
  TSFieldId fieldBody_ = 0;
  TSFieldId fieldScope_ = 0;
  TSFieldId fieldParameters_ = 0;
  TSFieldId fieldConsequence_ = 0;
  TSFieldId fieldAlternative_ = 0;
};

}  // namespace rzt
