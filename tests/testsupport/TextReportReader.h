#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rzt::test {

struct JsonMember;

// A JSON value as a small strict parser reads it; an object keeps its
// members in document order.
struct JsonValue {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;
  std::vector<JsonMember> members;

  // The member of that name; nullptr when there is none (or this is no object).
  const JsonValue* member(const std::string& name) const;
};

// One member of an object, named like a pair's parts. (A std::pair of the
// still incomplete JsonValue is refused by some standard libraries.)
struct JsonMember {
  std::string first;
  JsonValue second;
};

// Reads one JSON document (RFC 8259): whitespace around it only. Throws
// std::runtime_error, with the offset, for anything else: trailing commas,
// unescaped control characters in strings, bad escapes or numbers, duplicate
// members of an object.
JsonValue parseJson(const std::string& text);

// Reads RFC 4180 CSV: records ended by CR LF (the last one may lack it),
// fields in quotes may hold commas, CR, LF and doubled quotes. Throws
// std::runtime_error for a quote inside an unquoted field, text after a
// closing quote, an unterminated quote or a bare LF or CR outside quotes.
std::vector<std::vector<std::string>> parseCsv(const std::string& text);

}  // namespace rzt::test
