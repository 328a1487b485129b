#include "records/ClassRules.h"

#include <string_view>

namespace rzt {

void addFieldToClass(ClassRecord& cls, const FieldModifiers& field) {
  cls.statementCount += 1;
  if (!cls.classType || field.isFinal) {
    cls.constantCount += 1;
  } else if (field.isStatic) {
    cls.classVariableCount += 1;
    if (field.isPublic) cls.publicClassVariableCount += 1;
  } else {
    cls.instanceVariableCount += 1;
    if (field.isPublic) cls.publicInstanceVariableCount += 1;
  }
}

void addMethodToClass(ClassRecord& cls, const MethodRecord& method) {
  cls.statementCount += method.statementCount;
  const bool isPublic = method.access == std::string_view("public");
  if (method.staticMethod) {
    cls.classMethodCount += 1;
    if (isPublic) cls.publicClassMethodCount += 1;
  } else {
    cls.instanceMethodCount += 1;
    if (isPublic) cls.publicInstanceMethodCount += 1;
  }
}

}  // namespace rzt
