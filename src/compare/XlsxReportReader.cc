#include "compare/XlsxReportReader.h"

#include <expat.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <memory>
#include <utility>
#include <vector>

#include "compare/SheetTableBuilder.h"
#include "compare/Utf8.h"

namespace rzt {
namespace {

constexpr int32_t kMaxSheetRows = 1048576;
constexpr int32_t kMaxSheetColumns = 16384;

// --- The zip, read through the descriptor already opened and checked.

struct FdStream {
  int fd = -1;
  uint64_t size = 0;
  uint64_t position = 0;
  bool failed = false;
};

voidpf ZCALLBACK openStream(voidpf, const void* stream, int) { return const_cast<void*>(stream); }

uLong ZCALLBACK readStream(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* s = static_cast<FdStream*>(stream);
  uLong done = 0;
  while (done < size) {
    const ssize_t n = ::pread(s->fd, static_cast<char*>(buffer) + done, size - done,
                              static_cast<off_t>(s->position));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) s->failed = true;
    if (n <= 0) break;
    done += static_cast<uLong>(n);
    s->position += static_cast<uint64_t>(n);
  }
  return done;
}

uLong ZCALLBACK writeStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tellStream(voidpf, voidpf stream) { return static_cast<FdStream*>(stream)->position; }

long ZCALLBACK seekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<FdStream*>(stream);
  uint64_t base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) base = s->position;
  if (origin == ZLIB_FILEFUNC_SEEK_END) base = s->size;
  if (offset > s->size || base > s->size - offset) return -1;
  s->position = base + offset;
  return 0;
}

int ZCALLBACK closeStream(voidpf, voidpf) { return 0; }

int ZCALLBACK errorStream(voidpf, voidpf stream) { return static_cast<FdStream*>(stream)->failed ? 1 : 0; }

class ZipArchive {
 public:
  // inflated: the bytes unpacked from the file so far, by every archive
  // reading it; stop: set when another thread's reading failed.
  ZipArchive(int fd, int64_t maxInflated, std::atomic<int64_t>& inflated, const std::atomic<bool>* stop = nullptr)
      : maxInflated_(maxInflated), inflated_(inflated), stop_(stop) {
    struct stat st{};
    if (::fstat(fd, &st) != 0) throw ReportFormatError(std::string("読み込めません (") + std::strerror(errno) + ")");
    stream_.fd = fd;
    stream_.size = static_cast<uint64_t>(st.st_size);
    zlib_filefunc64_def io{};
    io.zopen64_file = openStream;
    io.zread_file = readStream;
    io.zwrite_file = writeStream;
    io.ztell64_file = tellStream;
    io.zseek64_file = seekStream;
    io.zclose_file = closeStream;
    io.zerror_file = errorStream;
    zip_ = unzOpen2_64(&stream_, &io);
    if (zip_ == nullptr) throw ReportFormatError("zip 形式のファイルとして読めません (壊れているか途中で切れています)");
  }
  ~ZipArchive() { unzClose(zip_); }
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Part names are compared without regard to case, as the package format
  // wants.
  bool has(const std::string& name) { return unzLocateFile(zip_, name.c_str(), 2) == UNZ_OK; }

  // The size the part says it unpacks to; 0 when it is not there.
  uint64_t declaredSize(const std::string& name) {
    unz_file_info64 info{};
    if (!has(name) || unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return 0;
    return info.uncompressed_size;
  }

  // Hands the unpacked bytes of the part on in pieces, the last one empty.
  // A thread of its own unpacks the part while the caller takes the pieces.
  void read(const std::string& name, const std::function<void(const char*, size_t, bool)>& consume) {
    if (!has(name)) throw ReportFormatError("部品 " + name + " がありません");
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) broken(name);
    if ((info.flag & 1) != 0) throw ReportFormatError("部品 " + name + " が暗号化されています");
    if (unzOpenCurrentFile(zip_) != UNZ_OK) broken(name);

    Pieces pieces;
    std::thread unpacker([&] { unpack(name, pieces); });
    std::exception_ptr failure;
    try {
      for (;;) {
        Piece piece = pieces.take();
        if (piece.error) std::rethrow_exception(piece.error);
        consume(piece.bytes.data(), piece.size, piece.size == 0);
        const bool last = piece.size == 0;
        pieces.giveBack(std::move(piece.bytes));
        if (last) break;
      }
    } catch (...) {
      failure = std::current_exception();
      pieces.cancel();
    }
    unpacker.join();
    if (failure) std::rethrow_exception(failure);
  }

 private:
  [[noreturn]] static void broken(const std::string& name) {
    throw ReportFormatError("部品 " + name + " が壊れています");
  }

  // Unpacked bytes on their way from the unpacking thread to the reader, in
  // a few buffers used in turn.
  struct Piece {
    std::vector<char> bytes;
    size_t size = 0;
    std::exception_ptr error;  // the unpacking failed: the last piece
  };
  class Pieces {
   public:
    Pieces() {
      // Pieces below the size malloc maps afresh for each buffer.
      for (int i = 0; i < 4; ++i) free_.emplace_back(size_t{1} << 16);
    }
    // A buffer to fill; empty when the reader gave up.
    std::vector<char> takeFree() {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return cancelled_ || !free_.empty(); });
      if (cancelled_) return {};
      std::vector<char> b = std::move(free_.back());
      free_.pop_back();
      return b;
    }
    void put(Piece piece) {
      std::lock_guard lock(mutex_);
      full_.push_back(std::move(piece));
      changed_.notify_all();
    }
    Piece take() {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return !full_.empty(); });
      Piece p = std::move(full_.front());
      full_.pop_front();
      return p;
    }
    void giveBack(std::vector<char> bytes) {
      std::lock_guard lock(mutex_);
      free_.push_back(std::move(bytes));
      changed_.notify_all();
    }
    void cancel() {
      std::lock_guard lock(mutex_);
      cancelled_ = true;
      changed_.notify_all();
    }
    bool cancelled() {
      std::lock_guard lock(mutex_);
      return cancelled_;
    }

   private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::vector<char>> free_;
    std::deque<Piece> full_;
    bool cancelled_ = false;
  };

  // Runs on the unpacking thread: every piece of the current part, then an
  // empty one (or one with the error), and the part closed.
  void unpack(const std::string& name, Pieces& pieces) {
    try {
      for (;;) {
        std::vector<char> buffer = pieces.takeFree();
        if (buffer.empty()) break;
        const int n = unzReadCurrentFile(zip_, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) broken(name);
        if (inflated_.fetch_add(n) + n > maxInflated_) throw ReportFormatError("展開すると大き過ぎます");
        if (stop_ != nullptr && stop_->load()) throw ReportFormatError("中断しました");
        if (n == 0) {
          // A checksum that does not match is told here.
          const int closed = unzCloseCurrentFile(zip_);
          if (closed != UNZ_OK) broken(name);
          pieces.put(Piece{std::move(buffer), 0, nullptr});
          return;
        }
        pieces.put(Piece{std::move(buffer), static_cast<size_t>(n), nullptr});
      }
    } catch (...) {
      pieces.put(Piece{{}, 0, std::current_exception()});
    }
    unzCloseCurrentFile(zip_);
  }

  FdStream stream_;
  unzFile zip_ = nullptr;
  int64_t maxInflated_;
  std::atomic<int64_t>& inflated_;
  const std::atomic<bool>* stop_;
};

// --- XML through expat, by local names.

// Names are taken as written, without namespace processing (which would
// cost more than the rest of the reading): a part of a workbook names its
// elements in the spreadsheet namespace, with or without a prefix, and its
// relationship ids with a prefix ("r:id"). The local name is what follows
// the prefix.
std::string_view localName(const char* name, bool* prefixed = nullptr) {
  const char* local = name;
  const char* p = name;
  for (; *p != '\0'; ++p) {
    if (*p == ':') local = p + 1;
  }
  if (prefixed != nullptr) *prefixed = local != name;
  return std::string_view(local, static_cast<size_t>(p - local));
}

// The attribute of that local name; with prefixed true only one with a
// prefix (r:id), otherwise only one without.
const char* attribute(const char** attributes, std::string_view local, bool prefixed = false) {
  for (const char** a = attributes; *a != nullptr; a += 2) {
    bool hasPrefix = false;
    if (localName(*a, &hasPrefix) == local && hasPrefix == prefixed) return a[1];
  }
  return nullptr;
}

class XmlPart {
 public:
  XmlPart(std::string partName, int32_t maxTextBytes) : part_(std::move(partName)), maxText_(maxTextBytes) {}
  virtual ~XmlPart() {
    if (parser_ != nullptr) XML_ParserFree(parser_);
  }
  XmlPart(const XmlPart&) = delete;
  XmlPart& operator=(const XmlPart&) = delete;

  void parse(ZipArchive& zip) {
    parser_ = XML_ParserCreate(nullptr);
    if (parser_ == nullptr) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, onStart, onEnd);
    XML_SetStartDoctypeDeclHandler(parser_, onDoctype);
    zip.read(part_, [this](const char* data, size_t size, bool last) {
      if (XML_Parse(parser_, data, static_cast<int>(size), last ? 1 : 0) == XML_STATUS_ERROR) fail();
      if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
    });
  }

 protected:
  virtual void start(std::string_view name, const char** attributes) = 0;
  virtual void end(std::string_view name) = 0;
  // Text is gathered into text() between beginText and the end of the element.
  // The handler is set only meanwhile: expat then passes no other text.
  void beginText() {
    text_.clear();
    gathering_ = true;
    XML_SetCharacterDataHandler(parser_, onText);
  }
  void endText() {
    gathering_ = false;
    XML_SetCharacterDataHandler(parser_, nullptr);
  }
  std::string& text() { return text_; }
  // Adds the gathered text to the text of a cell made of runs.
  void appendRun(std::string& cellText) {
    if (cellText.size() + text_.size() > static_cast<size_t>(maxText_)) failWith("セルの文字列が長過ぎます");
    cellText += text_;
    text_.clear();
  }
  [[noreturn]] void failWith(const std::string& reason) const {
    throw ReportFormatError(part_ + " の " + std::to_string(line()) + " 行目: " + reason);
  }
  const std::string& part() const { return part_; }

 private:
  int64_t line() const { return parser_ == nullptr ? 0 : static_cast<int64_t>(XML_GetCurrentLineNumber(parser_)); }

  [[noreturn]] void fail() {
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
    if (doctype_) failWith("文書型宣言は使えません");
    failWith(std::string("XML として正しくありません (") + XML_ErrorString(XML_GetErrorCode(parser_)) + ")");
  }

  // The handlers run inside expat's C code: an error is kept, the parser
  // stopped, and the error raised once XML_Parse has returned.
  template <typename F>
  static void guarded(void* data, F&& f) {
    auto* self = static_cast<XmlPart*>(data);
    if (self->pending_) return;
    try {
      f(self);
    } catch (...) {
      self->pending_ = std::current_exception();
      XML_StopParser(self->parser_, XML_FALSE);
    }
  }
  static void XMLCALL onStart(void* data, const char* name, const char** attributes) {
    guarded(data, [&](XmlPart* self) { self->start(localName(name), attributes); });
  }
  static void XMLCALL onEnd(void* data, const char* name) {
    guarded(data, [&](XmlPart* self) { self->end(localName(name)); });
  }
  static void XMLCALL onText(void* data, const char* s, int length) {
    guarded(data, [&](XmlPart* self) {
      if (!self->gathering_) return;
      if (self->text_.size() + static_cast<size_t>(length) > static_cast<size_t>(self->maxText_)) {
        throw ReportFormatError(self->part_ + ": セルの文字列が長過ぎます");
      }
      self->text_.append(s, static_cast<size_t>(length));
    });
  }
  static void XMLCALL onDoctype(void* data, const char*, const char*, const char*, int) {
    auto* self = static_cast<XmlPart*>(data);
    self->doctype_ = true;
    XML_StopParser(self->parser_, XML_FALSE);
  }

  std::string part_;
  int32_t maxText_;
  XML_Parser parser_ = nullptr;
  std::exception_ptr pending_;
  bool doctype_ = false;
  bool gathering_ = false;
  std::string text_;
};

// --- Part names.

std::string folderOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// The part a relationship's target names, from the folder of the part that
// holds the relationship; "" when it leaves the package.
std::string resolveTarget(const std::string& sourceFolder, std::string_view target) {
  std::string path = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                         : sourceFolder + std::string(target);
  std::vector<std::string> parts;
  size_t from = 0;
  while (from <= path.size()) {
    size_t slash = path.find('/', from);
    if (slash == std::string::npos) slash = path.size();
    const std::string piece = path.substr(from, slash - from);
    if (piece == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else if (!piece.empty() && piece != ".") {
      parts.push_back(piece);
    }
    from = slash + 1;
  }
  std::string joined;
  for (const std::string& p : parts) joined += (joined.empty() ? "" : "/") + p;
  return joined;
}

std::string relationshipsOf(const std::string& part) {
  const std::string folder = folderOf(part);
  return folder + "_rels/" + part.substr(folder.size()) + ".rels";
}

struct Relationship {
  std::string type;
  std::string target;  // resolved part name
};

class RelationshipsPart final : public XmlPart {
 public:
  RelationshipsPart(const std::string& part, std::string sourceFolder, int32_t maxText)
      : XmlPart(part, maxText), sourceFolder_(std::move(sourceFolder)) {}
  std::map<std::string, Relationship> byId;

 private:
  void start(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return;
    const char* id = attribute(attributes, "Id");
    const char* type = attribute(attributes, "Type");
    const char* target = attribute(attributes, "Target");
    const char* mode = attribute(attributes, "TargetMode");
    if (id == nullptr || target == nullptr || (mode != nullptr && std::strcmp(mode, "External") == 0)) return;
    byId[id] = Relationship{type == nullptr ? std::string() : std::string(type), resolveTarget(sourceFolder_, target)};
  }
  void end(std::string_view) override {}

  std::string sourceFolder_;
};

bool hasType(const Relationship& r, std::string_view suffix) {
  return r.type.size() >= suffix.size() && r.type.compare(r.type.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class WorkbookPart final : public XmlPart {
 public:
  using XmlPart::XmlPart;
  struct SheetEntry {
    std::string name;
    std::string relationship;
  };
  std::vector<SheetEntry> sheets;  // in tab order

 private:
  void start(std::string_view name, const char** attributes) override {
    if (name != "sheet") return;
    const char* sheetName = attribute(attributes, "name");
    const char* id = attribute(attributes, "id", true);
    if (sheetName != nullptr && id != nullptr) sheets.push_back(SheetEntry{sheetName, id});
  }
  void end(std::string_view) override {}
};

// --- Strings.

// The unit of an escape "_xHHHH_" at text[at]; -1 when there is none.
int32_t escapeAt(const std::string& text, size_t at) {
  if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') return -1;
  uint32_t unit = 0;
  const auto [end, ec] = std::from_chars(text.data() + at + 2, text.data() + at + 6, unit, 16);
  if (ec != std::errc() || end != text.data() + at + 6) return -1;
  return static_cast<int32_t>(unit);
}

// Text of a cell: text of <t> elements of a string item or inline string,
// directly or in rich-text runs, not in phonetic runs.
class StringItem {
 public:
  void start(std::string_view name) {
    if (name == "rPh") ++phonetic_;
  }
  bool startsText(std::string_view name) const { return name == "t" && phonetic_ == 0; }
  void end(std::string_view name) {
    if (name == "rPh" && phonetic_ > 0) --phonetic_;
  }
  void reset() { phonetic_ = 0; }

 private:
  int phonetic_ = 0;
};

class SharedStringsPart final : public XmlPart {
 public:
  SharedStringsPart(const std::string& part, const ReportLimits& limits)
      : XmlPart(part, limits.maxCellTextBytes), maxBytes_(limits.maxTextBytes) {}

  std::string_view at(size_t index) const {
    const auto [offset, length] = items_[index];
    return std::string_view(bytes_).substr(offset, length);
  }
  size_t size() const { return items_.size(); }

 private:
  void start(std::string_view name, const char**) override {
    if (name == "si") {
      inItem_ = true;
      item_.clear();
      strings_.reset();
      return;
    }
    if (!inItem_) return;
    strings_.start(name);
    if (strings_.startsText(name)) beginText();
  }
  void end(std::string_view name) override {
    if (!inItem_) return;
    if (name == "t") {
      endText();
      appendRun(item_);
    } else if (name == "si") {
      inItem_ = false;
      decodeXlsxEscapes(item_);
      if (static_cast<int64_t>(bytes_.size() + item_.size()) > maxBytes_) failWith("文字列が多過ぎます");
      items_.emplace_back(bytes_.size(), item_.size());
      bytes_ += item_;
    } else {
      strings_.end(name);
    }
  }

  int64_t maxBytes_;
  bool inItem_ = false;
  StringItem strings_;
  std::string item_;
  std::string bytes_;
  std::vector<std::pair<size_t, size_t>> items_;
};

// --- A worksheet.

// The column of a reference such as "AB12"; 0 when it has no letters.
int32_t referenceColumn(const char* reference) {
  int32_t column = 0;
  for (const char* p = reference; *p != '\0'; ++p) {
    const char c = *p;
    if (c >= 'A' && c <= 'Z') {
      column = column * 26 + (c - 'A' + 1);
    } else if (c >= 'a' && c <= 'z') {
      column = column * 26 + (c - 'a' + 1);
    } else {
      break;
    }
    if (column > kMaxSheetColumns) return kMaxSheetColumns + 1;
  }
  return column;
}

bool parseInteger(std::string_view text, int64_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

class WorksheetPart final : public XmlPart {
 public:
  WorksheetPart(const std::string& part, SheetTable& table, const SharedStringsPart* strings,
                const ReportLimits& limits)
      : XmlPart(part, limits.maxCellTextBytes), builder_(table), strings_(strings) {}

  void finish() { builder_.finish(); }

 private:
  enum class Type { kNumber, kShared, kInline, kText, kBoolean };

  void start(std::string_view name, const char** attributes) override {
    if (!inData_) {
      if (name == "sheetData") inData_ = true;
      return;
    }
    if (name == "row") {
      startRow(attribute(attributes, "r"));
    } else if (name == "c") {
      startCell(attribute(attributes, "r"), attribute(attributes, "t"));
    } else if (inCell_ && name == "v") {
      beginText();
      inValue_ = true;
    } else if (inCell_ && name == "is") {
      inInline_ = true;
      inlineText_.clear();
      items_.reset();
    } else if (inInline_) {
      items_.start(name);
      if (items_.startsText(name)) beginText();
    }
  }

  void end(std::string_view name) override {
    if (!inData_) return;
    if (name == "sheetData") {
      inData_ = false;
    } else if (name == "row") {
      inRow_ = false;
    } else if (name == "c") {
      if (inCell_) finishCell();
      inCell_ = false;
    } else if (inValue_ && name == "v") {
      endText();
      value_ = text();
      hasValue_ = true;
      inValue_ = false;
    } else if (inInline_ && name == "is") {
      inInline_ = false;
      value_ = inlineText_;
      hasValue_ = true;
    } else if (inInline_ && name == "t") {
      endText();
      appendRun(inlineText_);
    } else if (inInline_) {
      items_.end(name);
    }
  }

  void startRow(const char* reference) {
    int64_t row = lastRow_ + 1;
    if (reference != nullptr && !parseInteger(trimmed(reference), row)) failWith("行番号が正しくありません");
    if (row <= lastRow_ || row > kMaxSheetRows) failWith("行番号が正しくありません");
    lastRow_ = static_cast<int32_t>(row);
    lastColumn_ = 0;
    inRow_ = true;
  }

  void startCell(const char* reference, const char* type) {
    if (!inRow_) failWith("行の外にセルがあります");
    int32_t column = lastColumn_ + 1;
    if (reference != nullptr) column = referenceColumn(reference);
    if (column < 1 || column > kMaxSheetColumns) failWith("セルの位置が正しくありません");
    lastColumn_ = column;
    type_ = Type::kNumber;
    if (type != nullptr) {
      const std::string_view t(type);
      if (t == "s") {
        type_ = Type::kShared;
      } else if (t == "inlineStr") {
        type_ = Type::kInline;
      } else if (t == "b") {
        type_ = Type::kBoolean;
      } else if (t != "n") {
        type_ = Type::kText;  // "str" (a formula's text), "e" (an error), "d" (a date)
      }
    }
    inCell_ = true;
    hasValue_ = false;
    value_.clear();
  }

  void finishCell() {
    if (!hasValue_) return;
    switch (type_) {
      case Type::kShared: {
        int64_t index = -1;
        if (strings_ == nullptr || !parseInteger(trimmed(value_), index) || index < 0 ||
            static_cast<size_t>(index) >= strings_->size()) {
          failWith("共有文字列の番号が正しくありません");
        }
        builder_.setText(lastRow_, lastColumn_, strings_->at(static_cast<size_t>(index)));
        return;
      }
      case Type::kInline:
      case Type::kText:
        decodeXlsxEscapes(value_);
        builder_.setText(lastRow_, lastColumn_, value_);
        return;
      case Type::kBoolean:
      case Type::kNumber: {
        const std::string_view v = trimmed(value_);
        if (v.empty()) return;
        double number = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), number);
        if (ec != std::errc() || end != v.data() + v.size()) failWith("数値が正しくありません");
        builder_.setNumber(lastRow_, lastColumn_, number);
        return;
      }
    }
  }

  PositionalSheetBuilder builder_;
  const SharedStringsPart* strings_;
  bool inData_ = false;
  bool inRow_ = false;
  bool inCell_ = false;
  bool inValue_ = false;
  bool inInline_ = false;
  bool hasValue_ = false;
  int32_t lastRow_ = 0;
  int32_t lastColumn_ = 0;
  Type type_ = Type::kNumber;
  std::string value_;
  std::string inlineText_;
  StringItem items_;
};

}  // namespace

void decodeXlsxEscapes(std::string& text) {
  if (text.find("_x") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const int32_t unit = escapeAt(text, i);
    if (unit < 0) {
      out += text[i++];
      continue;
    }
    i += 7;
    uint32_t code = static_cast<uint32_t>(unit);
    if (code >= 0xD800 && code <= 0xDBFF) {
      const int32_t low = escapeAt(text, i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<uint32_t>(low) - 0xDC00);
        i += 7;
      } else {
        code = 0xFFFD;
      }
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    appendUtf8(out, code);
  }
  text.swap(out);
}

void readXlsxReport(int fd, ReportModel& model, const ReportLimits& limits) {
  std::atomic<int64_t> inflated = 0;
  ZipArchive zip(fd, limits.maxInflatedBytes, inflated);

  std::string workbookPart = "xl/workbook.xml";
  if (zip.has("_rels/.rels")) {
    RelationshipsPart package("_rels/.rels", "", limits.maxCellTextBytes);
    package.parse(zip);
    for (const auto& [id, r] : package.byId) {
      if (hasType(r, "/officeDocument") && !r.target.empty()) workbookPart = r.target;
    }
  }
  if (!zip.has(workbookPart)) throw ReportFormatError("ブックの部品 (" + workbookPart + ") がありません");
  WorkbookPart workbook(workbookPart, limits.maxCellTextBytes);
  workbook.parse(zip);

  const std::string relsPart = relationshipsOf(workbookPart);
  RelationshipsPart rels(relsPart, folderOf(workbookPart), limits.maxCellTextBytes);
  if (zip.has(relsPart)) rels.parse(zip);

  std::unique_ptr<SharedStringsPart> strings;
  for (const auto& [id, r] : rels.byId) {
    if (hasType(r, "/sharedStrings") && !r.target.empty() && !strings) {
      strings = std::make_unique<SharedStringsPart>(r.target, limits);
      strings->parse(zip);
    }
  }

  struct SheetJob {
    std::string part;
    SheetTable* table;
    uint64_t size;
  };
  std::vector<SheetJob> jobs;
  for (const WorkbookPart::SheetEntry& entry : workbook.sheets) {
    const std::optional<ReportSheetKind> kind = reportSheetKind(entry.name);
    // The first sheet of a name counts; extra sheets are left alone.
    if (!kind || model.sheet(*kind) != nullptr) continue;
    const auto r = rels.byId.find(entry.relationship);
    if (r == rels.byId.end() || r->second.target.empty() || !zip.has(r->second.target)) {
      throw ReportFormatError("シート \"" + entry.name + "\" の部品がありません");
    }
    jobs.push_back(SheetJob{r->second.target, &model.addSheet(*kind), zip.declaredSize(r->second.target)});
  }

  // The sheets are read on two threads, each through a zip handle of its
  // own, the largest first on the one with less to do: the sheet of the
  // methods is most of a report.
  std::sort(jobs.begin(), jobs.end(), [](const SheetJob& a, const SheetJob& b) { return a.size > b.size; });
  std::vector<const SheetJob*> mine, theirs;
  uint64_t mineSize = 0, theirsSize = 0;
  for (const SheetJob& job : jobs) {
    if (mineSize <= theirsSize) {
      mine.push_back(&job);
      mineSize += job.size;
    } else {
      theirs.push_back(&job);
      theirsSize += job.size;
    }
  }
  std::atomic<bool> stop = false;
  auto read = [&](ZipArchive& archive, const std::vector<const SheetJob*>& list) {
    for (const SheetJob* job : list) {
      WorksheetPart sheet(job->part, *job->table, strings.get(), limits);
      sheet.parse(archive);
      sheet.finish();
    }
  };
  // The first failure is the one to report: the other thread then stops
  // with an error of its own that says only that it was stopped.
  std::mutex failureLock;
  std::exception_ptr firstFailure;
  auto fail = [&] {
    std::lock_guard<std::mutex> lock(failureLock);
    if (!firstFailure) firstFailure = std::current_exception();
    stop = true;
  };
  std::thread helper;
  if (!theirs.empty()) {
    helper = std::thread([&] {
      try {
        ZipArchive own(fd, limits.maxInflatedBytes, inflated, &stop);
        read(own, theirs);
      } catch (...) {
        fail();
      }
    });
  }
  try {
    ZipArchive own(fd, limits.maxInflatedBytes, inflated, &stop);
    read(own, mine);
  } catch (...) {
    fail();
  }
  if (helper.joinable()) helper.join();
  if (firstFailure) std::rethrow_exception(firstFailure);
}

}  // namespace rzt
