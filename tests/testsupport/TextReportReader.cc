#include "TextReportReader.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace rzt::test {
namespace {

class JsonParser {
 public:
  explicit JsonParser(const std::string& text) : text_(text) {}

  JsonValue document() {
    JsonValue value = parseValue();
    skipSpace();
    if (pos_ != text_.size()) fail("text after the document");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw std::runtime_error("JSON at " + std::to_string(pos_) + ": " + what);
  }

  void skipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool take(char c) {
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  void expect(char c) {
    if (!take(c)) fail(std::string("'") + c + "' expected");
  }

  bool takeWord(const char* word) {
    const std::string w(word);
    if (text_.compare(pos_, w.size(), w) != 0) return false;
    pos_ += w.size();
    return true;
  }

  JsonValue parseValue() {
    if (++depth_ > 64) fail("too deep");
    skipSpace();
    if (pos_ >= text_.size()) fail("value expected");
    JsonValue v;
    const char c = text_[pos_];
    if (c == '{') {
      ++pos_;
      v.type = JsonValue::Type::kObject;
      if (!take('}')) {
        do {
          skipSpace();
          std::string name = parseString();
          for (const auto& m : v.members) {
            if (m.first == name) fail("member '" + name + "' twice");
          }
          expect(':');
          v.members.push_back(JsonMember{std::move(name), parseValue()});
        } while (take(','));
        expect('}');
      }
    } else if (c == '[') {
      ++pos_;
      v.type = JsonValue::Type::kArray;
      if (!take(']')) {
        do {
          v.items.push_back(parseValue());
        } while (take(','));
        expect(']');
      }
    } else if (c == '"') {
      v.type = JsonValue::Type::kString;
      v.text = parseString();
    } else if (takeWord("null")) {
      v.type = JsonValue::Type::kNull;
    } else if (takeWord("true")) {
      v.type = JsonValue::Type::kBool;
      v.boolean = true;
    } else if (takeWord("false")) {
      v.type = JsonValue::Type::kBool;
    } else {
      v.type = JsonValue::Type::kNumber;
      v.number = parseNumber();
    }
    --depth_;
    return v;
  }

  double parseNumber() {
    const size_t start = pos_;
    auto digits = [&] {
      const size_t from = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ - from;
    };
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '0') {
      ++pos_;
    } else if (digits() == 0) {
      fail("number expected");
    }
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      if (digits() == 0) fail("digits after '.' expected");
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (digits() == 0) fail("exponent expected");
    }
    return std::strtod(text_.substr(start, pos_ - start).c_str(), nullptr);
  }

  uint32_t hex4() {
    if (pos_ + 4 > text_.size()) fail("\\u needs four digits");
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = text_[pos_++];
      value <<= 4;
      if (h >= '0' && h <= '9') {
        value |= static_cast<uint32_t>(h - '0');
      } else if (h >= 'a' && h <= 'f') {
        value |= static_cast<uint32_t>(h - 'a' + 10);
      } else if (h >= 'A' && h <= 'F') {
        value |= static_cast<uint32_t>(h - 'A' + 10);
      } else {
        fail("bad hex digit");
      }
    }
    return value;
  }

  static void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  std::string parseString() {
    if (pos_ >= text_.size() || text_[pos_] != '"') fail("string expected");
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) fail("control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) fail("unterminated escape");
      switch (text_[pos_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          uint32_t cp = hex4();
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (!takeWord("\\u")) fail("lone high surrogate");
            const uint32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) fail("bad low surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            fail("lone low surrogate");
          }
          appendUtf8(out, cp);
          break;
        }
        default:
          fail("bad escape");
      }
    }
  }

  const std::string& text_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

const JsonValue* JsonValue::member(const std::string& name) const {
  for (const auto& m : members) {
    if (m.first == name) return &m.second;
  }
  return nullptr;
}

JsonValue parseJson(const std::string& text) { return JsonParser(text).document(); }

std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  size_t pos = 0;
  auto fail = [&](const std::string& what) {
    throw std::runtime_error("CSV at " + std::to_string(pos) + ": " + what);
  };
  while (pos < text.size()) {
    std::vector<std::string> record;
    for (;;) {
      std::string field;
      if (pos < text.size() && text[pos] == '"') {
        ++pos;
        for (;;) {
          if (pos >= text.size()) fail("unterminated quote");
          if (text[pos] == '"') {
            if (pos + 1 < text.size() && text[pos + 1] == '"') {
              field += '"';
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          field += text[pos++];
        }
        if (pos < text.size() && text[pos] != ',' && text[pos] != '\r') fail("text after a closing quote");
      } else {
        while (pos < text.size() && text[pos] != ',' && text[pos] != '\r') {
          if (text[pos] == '"') fail("quote inside an unquoted field");
          if (text[pos] == '\n') fail("line feed without carriage return");
          field += text[pos++];
        }
      }
      record.push_back(std::move(field));
      if (pos < text.size() && text[pos] == ',') {
        ++pos;
        continue;
      }
      break;
    }
    if (pos < text.size()) {
      // Only CR LF ends a record.
      if (pos + 1 >= text.size() || text[pos + 1] != '\n') fail("carriage return without line feed");
      pos += 2;
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace rzt::test
