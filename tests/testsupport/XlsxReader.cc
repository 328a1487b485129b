#include "XlsxReader.h"

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace rzt::test {
namespace {

[[noreturn]] void bad(const std::string& what) { throw std::runtime_error("xlsx: " + what); }

uint32_t le(const std::string& data, size_t at, int bytes) {
  if (at + bytes > data.size()) bad("zip structure cut short");
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
  return v;
}

std::string inflateRaw(const std::string& in, size_t expected) {
  std::string out(expected, '\0');
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) bad("inflateInit2");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  if (rc != Z_STREAM_END || z.total_out != expected) bad("inflate failed");
  return out;
}

// A parsed XML element: local name (prefix dropped), attributes, children,
// and its own character data.
struct XmlNode {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<XmlNode> children;
  std::string text;

  const std::string* attribute(const std::string& key) const {
    for (const auto& [k, v] : attributes) {
      if (k == key) return &v;
    }
    return nullptr;
  }
  std::string attr(const std::string& key, const std::string& otherwise = "") const {
    const std::string* v = attribute(key);
    return v ? *v : otherwise;
  }
  const XmlNode* child(const std::string& n) const {
    for (const XmlNode& c : children) {
      if (c.name == n) return &c;
    }
    return nullptr;
  }
};

void appendUtf8(std::string& out, uint32_t cp) {
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

std::string decodeEntities(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    size_t end = s.find(';', i);
    if (end == std::string_view::npos) bad("entity without end");
    std::string_view e = s.substr(i + 1, end - i - 1);
    if (e == "amp") out += '&';
    else if (e == "lt") out += '<';
    else if (e == "gt") out += '>';
    else if (e == "quot") out += '"';
    else if (e == "apos") out += '\'';
    else if (!e.empty() && e[0] == '#') {
      bool hex = e.size() > 1 && (e[1] == 'x' || e[1] == 'X');
      appendUtf8(out, static_cast<uint32_t>(
                          std::stoul(std::string(e.substr(hex ? 2 : 1)), nullptr, hex ? 16 : 10)));
    } else {
      bad("unknown entity " + std::string(e));
    }
    i = end;
  }
  return out;
}

// Undoes the writer's _xHHHH_ escapes of characters XML cannot hold.
std::string decodeEscapes(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s.compare(i, 2, "_x") == 0 && i + 7 <= s.size() && s[i + 6] == '_') {
      bool hex = true;
      for (size_t j = i + 2; j < i + 6; ++j) hex = hex && std::isxdigit(static_cast<unsigned char>(s[j]));
      if (hex) {
        appendUtf8(out, static_cast<uint32_t>(std::stoul(s.substr(i + 2, 4), nullptr, 16)));
        i += 6;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

class XmlParser {
 public:
  explicit XmlParser(const std::string& text) : s_(text) {}

  XmlNode parseDocument() {
    skipMisc();
    XmlNode root = parseElement(0);
    return root;
  }

 private:
  void skipMisc() {
    for (;;) {
      while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
      if (s_.compare(pos_, 2, "<?") == 0) {
        pos_ = find("?>") + 2;
      } else if (s_.compare(pos_, 4, "<!--") == 0) {
        pos_ = find("-->") + 3;
      } else if (s_.compare(pos_, 2, "<!") == 0) {
        pos_ = find(">") + 1;
      } else {
        return;
      }
    }
  }

  size_t find(const char* what) {
    size_t at = s_.find(what, pos_);
    if (at == std::string::npos) bad("unterminated markup");
    return at;
  }

  static std::string localName(const std::string& n) {
    size_t colon = n.find(':');
    return colon == std::string::npos ? n : n.substr(colon + 1);
  }

  std::string readName() {
    size_t start = pos_;
    while (pos_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[pos_])) &&
           s_[pos_] != '>' && s_[pos_] != '/' && s_[pos_] != '=') {
      ++pos_;
    }
    if (pos_ == start) bad("name expected");
    return s_.substr(start, pos_ - start);
  }

  void skipSpace() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }

  XmlNode parseElement(int depth) {
    if (depth > 64) bad("nesting too deep");
    if (pos_ >= s_.size() || s_[pos_] != '<') bad("element expected");
    ++pos_;
    XmlNode node;
    node.name = localName(readName());
    for (;;) {
      skipSpace();
      if (pos_ >= s_.size()) bad("tag cut short");
      if (s_[pos_] == '/') {
        if (s_.compare(pos_, 2, "/>") != 0) bad("bad empty tag");
        pos_ += 2;
        return node;
      }
      if (s_[pos_] == '>') {
        ++pos_;
        break;
      }
      std::string key = readName();
      skipSpace();
      if (pos_ >= s_.size() || s_[pos_] != '=') bad("attribute without value");
      ++pos_;
      skipSpace();
      char quote = s_[pos_];
      if (quote != '"' && quote != '\'') bad("attribute value without quotes");
      size_t end = s_.find(quote, pos_ + 1);
      if (end == std::string::npos) bad("attribute value cut short");
      node.attributes.emplace_back(key, decodeEntities(std::string_view(s_).substr(pos_ + 1, end - pos_ - 1)));
      pos_ = end + 1;
    }
    for (;;) {
      size_t lt = s_.find('<', pos_);
      if (lt == std::string::npos) bad("element " + node.name + " not closed");
      node.text += decodeEntities(std::string_view(s_).substr(pos_, lt - pos_));
      pos_ = lt;
      if (s_.compare(pos_, 2, "</") == 0) {
        pos_ = find(">") + 1;
        return node;
      }
      if (s_.compare(pos_, 4, "<!--") == 0) {
        pos_ = find("-->") + 3;
        continue;
      }
      node.children.push_back(parseElement(depth + 1));
    }
  }

  const std::string& s_;
  size_t pos_ = 0;
};

XmlNode parseXml(const std::map<std::string, std::string>& entries, const std::string& name) {
  auto it = entries.find(name);
  if (it == entries.end()) bad("missing part " + name);
  return XmlParser(it->second).parseDocument();
}

// "AB12" to (12, 28).
std::pair<int32_t, int32_t> parseReference(const std::string& ref) {
  int32_t column = 0;
  size_t i = 0;
  while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i]))) {
    column = column * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
    ++i;
  }
  if (i == 0 || i == ref.size()) bad("bad cell reference " + ref);
  return {std::stoi(ref.substr(i)), column};
}

// The text of an <si> or <is> element: its <t>, or the <t> of each run.
std::string richText(const XmlNode& node) {
  std::string out;
  for (const XmlNode& c : node.children) {
    if (c.name == "t") out += c.text;
    if (c.name == "r") {
      if (const XmlNode* t = c.child("t")) out += t->text;
    }
  }
  return decodeEscapes(out);
}

struct Style {
  std::string numberFormat = "General";
  bool centred = false;
};

std::string builtInFormat(int id) {
  switch (id) {
    case 0: return "General";
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    default: return "builtin:" + std::to_string(id);
  }
}

std::vector<Style> readStyles(const std::map<std::string, std::string>& entries) {
  std::vector<Style> styles;
  if (!entries.count("xl/styles.xml")) return styles;
  XmlNode root = parseXml(entries, "xl/styles.xml");
  std::map<int, std::string> custom;
  if (const XmlNode* numFmts = root.child("numFmts")) {
    for (const XmlNode& f : numFmts->children) {
      custom[std::stoi(f.attr("numFmtId", "0"))] = f.attr("formatCode");
    }
  }
  if (const XmlNode* xfs = root.child("cellXfs")) {
    for (const XmlNode& xf : xfs->children) {
      Style s;
      int id = std::stoi(xf.attr("numFmtId", "0"));
      s.numberFormat = custom.count(id) ? custom[id] : builtInFormat(id);
      if (const XmlNode* a = xf.child("alignment")) s.centred = a->attr("horizontal") == "center";
      styles.push_back(s);
    }
  }
  return styles;
}

XlsxSheet readSheet(const XmlNode& root, const std::vector<Style>& styles,
                    const std::vector<std::string>& shared) {
  XlsxSheet sheet;
  auto styleOf = [&](const XmlNode& n) -> Style {
    const std::string* s = n.attribute("s");
    if (s == nullptr) return Style{};
    size_t index = std::stoul(*s);
    if (index >= styles.size()) bad("style index out of range");
    return styles[index];
  };
  if (const XmlNode* views = root.child("sheetViews")) {
    if (const XmlNode* view = views->child("sheetView")) {
      sheet.zoom = std::stoi(view->attr("zoomScale", "100"));
      if (const XmlNode* pane = view->child("pane")) {
        if (pane->attr("state") == "frozen") sheet.frozenRows = std::stoi(pane->attr("ySplit", "0"));
      }
    }
  }
  if (const XmlNode* cols = root.child("cols")) {
    for (const XmlNode& c : cols->children) {
      int32_t min = std::stoi(c.attr("min")), max = std::stoi(c.attr("max"));
      for (int32_t col = min; col <= max; ++col) sheet.widths[col] = std::stod(c.attr("width"));
    }
  }
  const XmlNode* data = root.child("sheetData");
  if (data == nullptr) bad("sheet without sheetData");
  for (const XmlNode& row : data->children) {
    int32_t r = std::stoi(row.attr("r"));
    if (row.attr("customFormat") == "1") sheet.rowCentred[r] = styleOf(row).centred;
    for (const XmlNode& c : row.children) {
      auto at = parseReference(c.attr("r"));
      if (at.first != r) bad("cell outside its row");
      XlsxCell cell;
      Style style = styleOf(c);
      cell.numberFormat = style.numberFormat;
      cell.centred = style.centred;
      std::string type = c.attr("t", "n");
      const XmlNode* v = c.child("v");
      if (type == "inlineStr") {
        const XmlNode* is = c.child("is");
        if (is == nullptr) bad("inline string without text");
        cell.type = XlsxCell::Type::kText;
        cell.text = richText(*is);
      } else if (type == "s") {
        if (v == nullptr) bad("shared string without index");
        size_t index = std::stoul(v->text);
        if (index >= shared.size()) bad("shared string index out of range");
        cell.type = XlsxCell::Type::kText;
        cell.text = shared[index];
      } else if (type == "str") {
        cell.type = XlsxCell::Type::kText;
        cell.text = v ? decodeEscapes(v->text) : "";
      } else if (v != nullptr) {
        cell.type = XlsxCell::Type::kNumber;
        cell.number = std::stod(v->text);
      }
      sheet.cells[at] = cell;
    }
  }
  return sheet;
}

std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) bad("cannot open " + path.string());
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

std::map<std::string, std::string> readZipEntries(const std::filesystem::path& path) {
  std::string zip = readWholeFile(path);
  if (zip.size() < 22) bad("not a zip file");
  size_t eocd = std::string::npos;
  for (size_t at = zip.size() - 22 + 1; at-- > 0;) {
    if (le(zip, at, 4) == 0x06054b50) {
      eocd = at;
      break;
    }
    if (zip.size() - at > 22 + 65535) break;
  }
  if (eocd == std::string::npos) bad("no end of central directory");
  uint32_t count = le(zip, eocd + 10, 2);
  size_t at = le(zip, eocd + 16, 4);
  std::map<std::string, std::string> entries;
  for (uint32_t i = 0; i < count; ++i) {
    if (le(zip, at, 4) != 0x02014b50) bad("bad central directory entry");
    uint32_t method = le(zip, at + 10, 2);
    uint32_t compressed = le(zip, at + 20, 4);
    uint32_t size = le(zip, at + 24, 4);
    uint32_t nameLength = le(zip, at + 28, 2);
    uint32_t extraLength = le(zip, at + 30, 2);
    uint32_t commentLength = le(zip, at + 32, 2);
    uint32_t local = le(zip, at + 42, 4);
    if (at + 46 + nameLength > zip.size()) bad("name cut short");
    std::string name = zip.substr(at + 46, nameLength);
    at += 46 + nameLength + extraLength + commentLength;

    if (le(zip, local, 4) != 0x04034b50) bad("bad local header of " + name);
    size_t dataAt = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
    if (dataAt + compressed > zip.size()) bad("data of " + name + " cut short");
    std::string raw = zip.substr(dataAt, compressed);
    if (method == 0) {
      entries[name] = raw;
    } else if (method == 8) {
      entries[name] = inflateRaw(raw, size);
    } else {
      bad("unknown compression of " + name);
    }
  }
  return entries;
}

XlsxBook readXlsx(const std::filesystem::path& path) {
  std::map<std::string, std::string> entries = readZipEntries(path);
  XmlNode workbook = parseXml(entries, "xl/workbook.xml");
  XmlNode rels = parseXml(entries, "xl/_rels/workbook.xml.rels");
  std::map<std::string, std::string> targets;
  for (const XmlNode& r : rels.children) targets[r.attr("Id")] = r.attr("Target");

  std::vector<std::string> shared;
  if (entries.count("xl/sharedStrings.xml")) {
    XmlNode sst = parseXml(entries, "xl/sharedStrings.xml");
    for (const XmlNode& si : sst.children) shared.push_back(richText(si));
  }
  std::vector<Style> styles = readStyles(entries);

  XlsxBook book;
  if (const XmlNode* views = workbook.child("bookViews")) {
    if (const XmlNode* view = views->child("workbookView")) {
      book.activeTab = std::stoi(view->attr("activeTab", "0"));
    }
  }
  const XmlNode* sheets = workbook.child("sheets");
  if (sheets == nullptr) bad("workbook without sheets");
  for (const XmlNode& s : sheets->children) {
    std::string target = targets[s.attr("r:id")];
    if (target.empty()) bad("sheet without target");
    std::string part = target[0] == '/' ? target.substr(1) : "xl/" + target;
    XlsxSheet sheet = readSheet(parseXml(entries, part), styles, shared);
    sheet.name = s.attr("name");
    book.sheets.push_back(std::move(sheet));
  }
  return book;
}

const XlsxCell* XlsxSheet::cell(int32_t row, int32_t column) const {
  auto it = cells.find({row, column});
  return it == cells.end() ? nullptr : &it->second;
}

std::string XlsxSheet::text(int32_t row, int32_t column) const {
  const XlsxCell* c = cell(row, column);
  return c && c->type == XlsxCell::Type::kText ? c->text : std::string();
}

std::optional<double> XlsxSheet::number(int32_t row, int32_t column) const {
  const XlsxCell* c = cell(row, column);
  if (c && c->type == XlsxCell::Type::kNumber) return c->number;
  return std::nullopt;
}

bool XlsxSheet::isEmpty(int32_t row, int32_t column) const {
  const XlsxCell* c = cell(row, column);
  return c == nullptr || c->type == XlsxCell::Type::kEmpty;
}

int32_t XlsxSheet::lastRow() const { return cells.empty() ? 0 : cells.rbegin()->first.first; }

std::vector<std::string> XlsxBook::sheetNames() const {
  std::vector<std::string> names;
  for (const XlsxSheet& s : sheets) names.push_back(s.name);
  return names;
}

const XlsxSheet* XlsxBook::sheet(const std::string& name) const {
  for (const XlsxSheet& s : sheets) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

}  // namespace rzt::test
