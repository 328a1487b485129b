#include "java/ModernJavaGrammar.h"

#include <cstring>
#include <string>

#include "support/RztError.h"

extern "C" const TSLanguage* tree_sitter_java(void);

namespace rzt {
namespace {

struct KindName {
  const char* name;
  bool named;
  JavaNode kind;
};

// Node type names as the grammar spells them.
constexpr KindName kKindNames[] = {
    {"program", true, JavaNode::Program},
    {"package_declaration", true, JavaNode::PackageDeclaration},
    {"import_declaration", true, JavaNode::ImportDeclaration},
    {"class_declaration", true, JavaNode::ClassDeclaration},
    {"interface_declaration", true, JavaNode::InterfaceDeclaration},
    {"enum_declaration", true, JavaNode::EnumDeclaration},
    {"record_declaration", true, JavaNode::RecordDeclaration},
    {"annotation_type_declaration", true, JavaNode::AnnotationTypeDeclaration},
    {"class_body", true, JavaNode::ClassBody},
    {"interface_body", true, JavaNode::InterfaceBody},
    {"annotation_type_body", true, JavaNode::AnnotationTypeBody},
    {"enum_body", true, JavaNode::EnumBody},
    {"enum_body_declarations", true, JavaNode::EnumBodyDeclarations},
    {"enum_constant", true, JavaNode::EnumConstant},
    {"field_declaration", true, JavaNode::FieldDeclaration},
    {"constant_declaration", true, JavaNode::ConstantDeclaration},
    {"method_declaration", true, JavaNode::MethodDeclaration},
    {"constructor_declaration", true, JavaNode::ConstructorDeclaration},
    {"compact_constructor_declaration", true, JavaNode::CompactConstructorDeclaration},
    {"annotation_type_element_declaration", true, JavaNode::AnnotationTypeElementDeclaration},
    {"static_initializer", true, JavaNode::StaticInitializer},
    {"block", true, JavaNode::Block},
    {"constructor_body", true, JavaNode::ConstructorBody},
    {"modifiers", true, JavaNode::Modifiers},
    {"formal_parameters", true, JavaNode::FormalParameters},
    {"formal_parameter", true, JavaNode::FormalParameter},
    {"spread_parameter", true, JavaNode::SpreadParameter},
    {"throws", true, JavaNode::Throws},
    {"superclass", true, JavaNode::Superclass},
    {"super_interfaces", true, JavaNode::SuperInterfaces},
    {"extends_interfaces", true, JavaNode::ExtendsInterfaces},
    {"type_list", true, JavaNode::TypeList},
    {"local_variable_declaration", true, JavaNode::LocalVariableDeclaration},
    {"expression_statement", true, JavaNode::ExpressionStatement},
    {"if_statement", true, JavaNode::IfStatement},
    {"while_statement", true, JavaNode::WhileStatement},
    {"for_statement", true, JavaNode::ForStatement},
    {"enhanced_for_statement", true, JavaNode::EnhancedForStatement},
    {"do_statement", true, JavaNode::DoStatement},
    {"try_statement", true, JavaNode::TryStatement},
    {"try_with_resources_statement", true, JavaNode::TryWithResourcesStatement},
    {"synchronized_statement", true, JavaNode::SynchronizedStatement},
    {"return_statement", true, JavaNode::ReturnStatement},
    {"throw_statement", true, JavaNode::ThrowStatement},
    {"yield_statement", true, JavaNode::YieldStatement},
    {"break_statement", true, JavaNode::BreakStatement},
    {"continue_statement", true, JavaNode::ContinueStatement},
    {"assert_statement", true, JavaNode::AssertStatement},
    {"explicit_constructor_invocation", true, JavaNode::ExplicitConstructorInvocation},
    {"labeled_statement", true, JavaNode::LabeledStatement},
    {"switch_expression", true, JavaNode::SwitchExpression},
    {"switch_block_statement_group", true, JavaNode::SwitchBlockStatementGroup},
    {"switch_rule", true, JavaNode::SwitchRule},
    {"method_invocation", true, JavaNode::MethodInvocation},
    {"object_creation_expression", true, JavaNode::ObjectCreationExpression},
    {"array_creation_expression", true, JavaNode::ArrayCreationExpression},
    {"identifier", true, JavaNode::Identifier},
    {"type_identifier", true, JavaNode::TypeIdentifier},
    {"scoped_type_identifier", true, JavaNode::ScopedTypeIdentifier},
    {"generic_type", true, JavaNode::GenericType},
    {"annotated_type", true, JavaNode::AnnotatedType},
    {"scoped_identifier", true, JavaNode::ScopedIdentifier},
    {"void_type", true, JavaNode::VoidType},
    {"line_comment", true, JavaNode::LineComment},
    {"block_comment", true, JavaNode::BlockComment},
    {"public", false, JavaNode::KeywordPublic},
    {"protected", false, JavaNode::KeywordProtected},
    {"private", false, JavaNode::KeywordPrivate},
    {"static", false, JavaNode::KeywordStatic},
    {"final", false, JavaNode::KeywordFinal},
    {"abstract", false, JavaNode::KeywordAbstract},
    {"native", false, JavaNode::KeywordNative},
    {"synchronized", false, JavaNode::KeywordSynchronized},
};

[[noreturn]] void raiseGrammarError(const std::string& what) {
  throw RztError(kErrGrammar, "ModernJavaGrammar", std::string(kTextGrammar) + ": " + what);
}

TSFieldId fieldId(const TSLanguage* language, const char* name) {
  TSFieldId id = ts_language_field_id_for_name(language, name, static_cast<uint32_t>(std::strlen(name)));
  if (id == 0) raiseGrammarError(std::string("field ") + name);
  return id;
}

}  // namespace

const ModernJavaGrammar& ModernJavaGrammar::instance() {
  static const ModernJavaGrammar grammar;
  return grammar;
}

ModernJavaGrammar::ModernJavaGrammar() : language_(tree_sitter_java()) {
  uint32_t version = ts_language_version(language_);
  if (version < TREE_SITTER_MIN_COMPATIBLE_LANGUAGE_VERSION || version > TREE_SITTER_LANGUAGE_VERSION) {
    raiseGrammarError("language version " + std::to_string(version));
  }
  uint32_t count = ts_language_symbol_count(language_);
  kinds_.assign(count, JavaNode::Other);
  bool found[sizeof kKindNames / sizeof kKindNames[0]] = {};
  // Aliases give one node type several symbols, so every symbol is looked at.
  for (uint32_t symbol = 0; symbol < count; ++symbol) {
    const char* name = ts_language_symbol_name(language_, static_cast<TSSymbol>(symbol));
    if (name == nullptr) continue;
    TSSymbolType type = ts_language_symbol_type(language_, static_cast<TSSymbol>(symbol));
    if (type == TSSymbolTypeAuxiliary) continue;
    bool named = type == TSSymbolTypeRegular;
    for (size_t i = 0; i < sizeof kKindNames / sizeof kKindNames[0]; ++i) {
      if (kKindNames[i].named == named && std::strcmp(kKindNames[i].name, name) == 0) {
        kinds_[symbol] = kKindNames[i].kind;
        found[i] = true;
        break;
      }
    }
  }
  for (size_t i = 0; i < sizeof kKindNames / sizeof kKindNames[0]; ++i) {
    if (!found[i]) raiseGrammarError(std::string("node ") + kKindNames[i].name);
  }
  fieldName_ = fieldId(language_, "name");
  fieldType_ = fieldId(language_, "type");
  fieldBody_ = fieldId(language_, "body");
  fieldScope_ = fieldId(language_, "scope");
  fieldParameters_ = fieldId(language_, "parameters");
  fieldConsequence_ = fieldId(language_, "consequence");
  fieldAlternative_ = fieldId(language_, "alternative");
}

}  // namespace rzt
