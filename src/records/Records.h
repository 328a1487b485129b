#pragma once

#include <cstdint>
#include <string>

#include "support/Counter.h"

namespace rzt {

// The measurements of one source file, as the report reads them.
struct FileRecord {
  std::string dirName;
  std::string fileName;
  // The path relative to the folder the analysis was started on, "/"
  // between its parts (the bare name for a file directly in it, or for a
  // single file analysed by itself).
  std::string filePath;
  std::string packageName;
  Counter importCount;
  Counter classCount;
  Counter allLoc;
  Counter loc;
  Counter commentLoc;
  Counter blankLoc;
  // Error and missing nodes of the syntax tree; -1 when the file was
  // measured by the word-level analysis, which has no such column.
  int32_t syntaxErrorCount = -1;
};

// The record of one class, interface, enum, record or annotation type,
// member, local and anonymous types included.
struct ClassRecord {
  std::string packageName;
  std::string fileName;
  std::string filePath;  // as the file's record has it
  // The line of the declaration, counting from 1: of the type's name; for an
  // anonymous class, of its "new"; for an enum constant's body, of the
  // constant's name. 0 where it is not known.
  int32_t line = 0;
  bool classType = true;  // false for an interface
  bool abstractClass = false;
  bool finalClass = false;
  std::string access = "package";
  std::string className = "???";   // enclosing names joined with "$"
  std::string classNameNoPrefix;   // the simple name; empty when anonymous
  // The text of the "ﾀｲﾌﾟ" cell when it is not derived from innerClass and
  // classType ("enum", "record", "annotation" in the tree-based analysis).
  std::string kindText;
  Counter extendsCount;
  Counter implementsCount;
  Counter throwsCount;
  Counter statementCount;
  Counter instanceVariableCount;
  Counter publicInstanceVariableCount;
  Counter classVariableCount;
  Counter publicClassVariableCount;
  Counter constantCount;
  Counter staticBlockCount;
  Counter instanceMethodCount;
  Counter publicInstanceMethodCount;
  Counter classMethodCount;
  Counter publicClassMethodCount;
  Counter innerClassCount;
  bool innerClass = false;
};

// The record of one method or constructor.
struct MethodRecord {
  std::string packageName;
  std::string fileName;
  std::string filePath;  // as the file's record has it
  int32_t line = 0;      // of the method's or constructor's name; 0 where not known
  std::string className;
  bool constructorMethod = false;
  bool staticMethod = false;
  bool abstractMethod = false;
  bool finalMethod = false;
  bool synchronizedMethod = false;
  bool nativeMethod = false;
  std::string access = "package";
  std::string methodName = "anynomous";
  bool returnsValue = false;
  Counter argumentCount;
  Counter throwsCount;
  Counter statementCount;
  Counter messagePassingCount;
  Counter instanciationCount;
  Counter localVariables;
  Counter localConstants;
  Counter ifStatementCount;
  Counter forStatementCount;
  Counter whileStatementCount;
  Counter doStatementCount;
  Counter switchStatementCount;
  Counter returnStatementCount;
  Counter tryStatementCount;
  Counter throwStatementCount;
  Counter synchronizedStatementCount;
  Counter anonymousClassCount;
};

}  // namespace rzt
