#pragma once

#include "records/Records.h"

namespace rzt {

// The modifiers of a field declaration that decide how it counts.
struct FieldModifiers {
  bool isStatic = false;
  bool isFinal = false;
  bool isPublic = false;
};

// Adds one field declaration to its class: one statement, and a constant
// when it is final or the class is an interface, else a class variable when
// static, else an instance variable; public ones count apart as well.
void addFieldToClass(ClassRecord& cls, const FieldModifiers& field);

// Adds a finished method or constructor to its class: its statements, and
// one class method when static, else one instance method; public ones count
// apart as well.
void addMethodToClass(ClassRecord& cls, const MethodRecord& method);

}  // namespace rzt
