#include "compare/JsonReportReader.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compare/SheetTableBuilder.h"
#include "compare/Utf8.h"

namespace rzt {
namespace {

// Below the size malloc maps afresh for each buffer.
constexpr size_t kBufferBytes = size_t{1} << 16;
constexpr size_t kMaxNumberChars = 64;

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool isJsonNumber(std::string_view s) {
  size_t i = 0;
  auto digits = [&] {
    const size_t from = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - from;
  };
  if (i < s.size() && s[i] == '-') ++i;
  if (i < s.size() && s[i] == '0') {
    ++i;
  } else if (digits() == 0) {
    return false;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    if (digits() == 0) return false;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == s.size();
}

class JsonScanner {
 public:
  JsonScanner(int fd, const ReportLimits& limits)
      : fd_(fd), limits_(limits), buffer_(std::make_unique<char[]>(kBufferBytes)) {}

  void run(ReportModel& model) {
    skipBom();
    skipSpace();
    if (peek() != '{') notReport("全体がオブジェクトではありません");
    ++pos_;
    skipSpace();
    std::vector<std::string> names;
    if (peek() == '}') {
      ++pos_;
    } else {
      for (;;) {
        skipSpace();
        if (peek() != '"') syntax();
        readString(name_);
        for (const std::string& n : names) {
          if (n == name_) notReport("シート \"" + name_ + "\" が二度あります");
        }
        names.push_back(name_);
        skipSpace();
        expect(':');
        skipSpace();
        const std::optional<ReportSheetKind> kind = reportSheetKind(name_);
        readSheet(kind ? &model.addSheet(*kind) : nullptr);
        skipSpace();
        const int c = get();
        if (c == '}') break;
        if (c != ',') syntax(1);
      }
    }
    skipSpace();
    if (peek() >= 0) syntax();
  }

 private:
  int peek() {
    if (pos_ == end_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
  }
  int get() {
    const int c = peek();
    if (c >= 0) ++pos_;
    lastTaken_ = c;
    return c;
  }
  bool refill() {
    if (eof_) return false;
    base_ += end_;
    pos_ = end_ = 0;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer_.get(), kBufferBytes);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw ReportFormatError(std::string("読み込めません (") + std::strerror(errno) + ")");
      if (n == 0) {
        eof_ = true;
        return false;
      }
      end_ = static_cast<size_t>(n);
      return true;
    }
  }
  uint64_t offset() const { return base_ + pos_; }

  // back 1: the offending byte was already taken (by get, which takes none
  // at the end of the file).
  [[noreturn]] void syntax(int back = 0) {
    if ((back == 0 && peek() < 0) || (back == 1 && lastTaken_ < 0)) {
      throw ReportFormatError("ファイルが途中で終わっています");
    }
    throw ReportFormatError("JSON として正しくありません (" + std::to_string(offset() - static_cast<uint64_t>(back) + 1) +
                            " バイト目)");
  }
  [[noreturn]] void notReport(const std::string& why) {
    throw ReportFormatError("RZT のレポートではありません: " + why + " (" + std::to_string(offset() + 1) +
                            " バイト目)");
  }
  // Where a value of another kind than the report's stands, tells that the
  // file is JSON of something else; otherwise that it is no JSON.
  [[noreturn]] void unexpected(const std::string& what) {
    const int c = peek();
    if (c == '{' || c == '[' || c == '"' || c == '-' || (c >= '0' && c <= '9') || c == 't' || c == 'f' || c == 'n') {
      notReport(what);
    }
    syntax();
  }

  void skipBom() {
    if (peek() == 0xEF) {
      ++pos_;
      if (get() != 0xBB || get() != 0xBF) syntax(1);
    }
  }
  void skipSpace() {
    for (;;) {
      const int c = peek();
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return;
      ++pos_;
    }
  }
  void expect(char c) {
    if (get() != c) syntax(1);
  }
  void literal(const char* word) {
    for (const char* p = word; *p != '\0'; ++p) {
      if (get() != *p) syntax(1);
    }
  }

  uint32_t hexUnit() {
    uint32_t unit = 0;
    for (int k = 0; k < 4; ++k) {
      const int c = get();
      unit <<= 4;
      if (c >= '0' && c <= '9') {
        unit |= static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        unit |= static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        unit |= static_cast<uint32_t>(c - 'A' + 10);
      } else {
        syntax(c < 0 ? 0 : 1);
      }
    }
    return unit;
  }

  void readString(std::string& out) {
    out.clear();
    ++pos_;  // the opening quote
    const size_t max = static_cast<size_t>(limits_.maxCellTextBytes);
    for (;;) {
      if (pos_ == end_ && !refill()) syntax();
      // The plain bytes up to the next quote, backslash or control character at once.
      size_t run = pos_;
      while (run < end_) {
        const auto b = static_cast<unsigned char>(buffer_[run]);
        if (b == '"' || b == '\\' || b < 0x20) break;
        ++run;
      }
      out.append(buffer_.get() + pos_, run - pos_);
      pos_ = run;
      if (out.size() > max) throw ReportFormatError("文字列が長過ぎます (" + std::to_string(offset()) + " バイト目)");
      if (pos_ == end_) continue;
      const int c = get();
      if (c == '"') break;
      if (c != '\\') syntax(1);
      const int e = get();
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          uint32_t code = hexUnit();
          if (code >= 0xDC00 && code <= 0xDFFF) syntax(1);
          if (code >= 0xD800 && code <= 0xDBFF) {
            if (get() != '\\' || get() != 'u') syntax(1);
            const uint32_t low = hexUnit();
            if (low < 0xDC00 || low > 0xDFFF) syntax(1);
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          appendUtf8(out, code);
          break;
        }
        default:
          syntax(e < 0 ? 0 : 1);
      }
    }
    if (!isWellFormedUtf8(out)) throw ReportFormatError("UTF-8 として正しくない文字列があります (" + std::to_string(offset()) + " バイト目)");
  }

  double readNumber() {
    number_.clear();
    for (;;) {
      const int c = peek();
      if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E')) break;
      if (number_.size() >= kMaxNumberChars) syntax();
      number_ += static_cast<char>(c);
      ++pos_;
    }
    double value = 0;
    if (!isJsonNumber(number_)) syntax(1);
    const auto [end, ec] = std::from_chars(number_.data(), number_.data() + number_.size(), value);
    if (ec != std::errc() || end != number_.data() + number_.size()) syntax(1);
    return value;
  }

  // A list of rows; into nullptr: a sheet the comparison does not read,
  // checked all the same.
  void readSheet(SheetTable* into) {
    if (peek() != '[') unexpected("シート \"" + name_ + "\" が行の並びではありません");
    ++pos_;
    std::unique_ptr<KeyedSheetBuilder> builder;
    if (into != nullptr) builder = std::make_unique<KeyedSheetBuilder>(*into);
    skipSpace();
    if (peek() == ']') {
      ++pos_;
      return;
    }
    for (;;) {
      skipSpace();
      readRow(builder.get());
      skipSpace();
      const int c = get();
      if (c == ']') return;
      if (c != ',') syntax(1);
    }
  }

  void readRow(KeyedSheetBuilder* builder) {
    if (peek() != '{') unexpected("シート \"" + name_ + "\" の行がオブジェクトではありません");
    ++pos_;
    if (builder != nullptr) builder->beginRow();
    skipSpace();
    if (peek() == '}') {
      ++pos_;
      if (builder != nullptr) builder->endRow();
      return;
    }
    for (;;) {
      skipSpace();
      if (peek() != '"') syntax();
      readString(key_);
      skipSpace();
      expect(':');
      skipSpace();
      const int32_t column = builder != nullptr ? builder->column(key_) : -1;
      SheetTable* table = builder != nullptr ? &builder->table() : nullptr;
      const int c = peek();
      if (c == '"') {
        readString(text_);
        if (table != nullptr) table->setText(column, text_);
      } else if (c == '-' || (c >= '0' && c <= '9')) {
        const double value = readNumber();
        if (table != nullptr) table->setNumber(column, value);
      } else if (c == 'n') {
        literal("null");
      } else if (c == 't' || c == 'f') {
        literal(c == 't' ? "true" : "false");
        notReport("セルに真偽値があります");
      } else {
        unexpected("セルの値が文字列でも数値でもありません");
      }
      skipSpace();
      const int next = get();
      if (next == '}') break;
      if (next != ',') syntax(1);
    }
    if (builder != nullptr) builder->endRow();
  }

  int fd_;
  const ReportLimits& limits_;
  std::unique_ptr<char[]> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  uint64_t base_ = 0;  // offset of the buffer's first byte
  bool eof_ = false;
  int lastTaken_ = 0;
  std::string name_, key_, text_, number_;
};

}  // namespace

void readJsonReport(int fd, ReportModel& model, const ReportLimits& limits) { JsonScanner(fd, limits).run(model); }

}  // namespace rzt
