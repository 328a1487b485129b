#include "compare/ReportComparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace rzt {
namespace {

constexpr std::string_view kSectionTexts[] = {"Summ", "File", "Class", "Method", "診断"};
constexpr std::string_view kStateTexts[] = {"変更", "追加", "削除", "新規", "解消", "悪化", "改善"};
constexpr std::string_view kSettingItem = "設定";

// How the rows of one sheet are told apart and shown.
struct SectionLayout {
  CompareSection section;
  ReportSheetKind sheet;
  std::array<std::string_view, 6> keys;  // unused entries empty
  std::string_view name;
  std::string_view method;
  std::string_view arguments;
};

const SectionLayout kSectionLayouts[] = {
    {CompareSection::kSumm, ReportSheetKind::kSumm, {heading::kMetric}, heading::kMetric, {}, {}},
    {CompareSection::kFile, ReportSheetKind::kFile, {heading::kPackageName, heading::kFileName}, heading::kFileName, {}, {}},
    {CompareSection::kClass, ReportSheetKind::kClass, {heading::kPackageName, heading::kClassName}, heading::kClassName,
     {}, {}},
    {CompareSection::kMethod,
     ReportSheetKind::kMethod,
     {heading::kPackageName, heading::kClassName, heading::kMethodName, heading::kArguments},
     heading::kClassName,
     heading::kMethodName,
     heading::kArguments},
    // A finding is known by every column but its value.
    {CompareSection::kDiagnosis,
     ReportSheetKind::kDiagnosis,
     {heading::kPackageName, heading::kFileName, heading::kClassName, heading::kMethodName, heading::kLevel,
      heading::kDiagnosis},
     heading::kFileName,
     heading::kMethodName,
     {}},
};

const SectionLayout& layoutOf(CompareSection section) { return kSectionLayouts[static_cast<size_t>(section)]; }

ReportCell textCell(std::string_view text) {
  ReportCell c;
  if (!text.empty()) {
    c.kind = ReportCell::Kind::kText;
    c.text = text;
  }
  return c;
}

ReportCell cellOf(const SheetTable* table, int32_t row, std::string_view headingText) {
  if (table == nullptr || row < 0 || headingText.empty()) return {};
  return table->cell(row, table->findColumn(headingText));
}

bool isKey(const SectionLayout& layout, std::string_view headingText) {
  for (std::string_view k : layout.keys) {
    if (!k.empty() && k == headingText) return true;
  }
  return false;
}

// The key of a row as bytes that two rows share exactly when their key cells
// are the same: a number (or a text that is a decimal number, as a count
// kept as text) by its value, a text by its bytes.
void appendKey(std::string& key, const ReportCell& cell) {
  if (cell.empty()) {
    key += 'e';
    return;
  }
  if (const std::optional<double> number = cell.numeric()) {
    double value = *number == 0 ? 0.0 : *number;
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    key += 'n';
    key.append(bytes, sizeof bytes);
    return;
  }
  const auto length = static_cast<uint32_t>(cell.text.size());
  char bytes[sizeof length];
  std::memcpy(bytes, &length, sizeof length);
  key += 't';
  key.append(bytes, sizeof bytes);
  key.append(cell.text);
}

struct SheetKeys {
  const SheetTable* table;
  std::vector<int32_t> columns;  // of the key headings; -1 where the sheet lacks one (no value)
};

SheetKeys keysOf(const SheetTable& table, const SectionLayout& layout) {
  SheetKeys keys{&table, {}};
  for (std::string_view k : layout.keys) {
    if (!k.empty()) keys.columns.push_back(table.findColumn(k));
  }
  return keys;
}

void rowKey(const SheetKeys& keys, int32_t row, std::string& key) {
  key.clear();
  for (int32_t c : keys.columns) appendKey(key, keys.table->cell(row, c));
}

// Which rows of a sheet are compared: Summ rows with a metric, findings (not
// the row saying that nothing was found), every row of the other sheets.
std::vector<uint8_t> rowsCompared(const SheetTable& table, CompareSection section) {
  std::vector<uint8_t> compared(static_cast<size_t>(table.rowCount()), 1);
  if (section == CompareSection::kSumm) {
    const int32_t metric = table.findColumn(heading::kMetric);
    for (int32_t r = 0; r < table.rowCount(); ++r) compared[static_cast<size_t>(r)] = !table.cell(r, metric).empty();
  } else if (section == CompareSection::kDiagnosis) {
    const int32_t level = table.findColumn(heading::kLevel);
    const int32_t message = table.findColumn(heading::kDiagnosis);
    for (int32_t r = 0; r < table.rowCount(); ++r) {
      compared[static_cast<size_t>(r)] = !table.cell(r, level).empty() || !table.cell(r, message).empty();
    }
  }
  return compared;
}

// The rows of the earlier sheet by key, each key's rows in row order, taken
// one by one: an open-addressed table of the keys, whose bytes are kept in
// one store (a map of strings would cost a node and a string per row).
class KeyIndex {
 public:
  explicit KeyIndex(int32_t rows) : next_(static_cast<size_t>(std::max(rows, 0)), -1) {
    size_t size = 16;
    while (size < static_cast<size_t>(std::max(rows, 0)) * 2) size *= 2;
    slots_.assign(size, -1);
  }

  void add(std::string_view key, int32_t row) {
    const uint64_t hash = std::hash<std::string_view>()(key);
    size_t at = find(key, hash);
    if (slots_[at] >= 0) {
      Chain& chain = chains_[static_cast<size_t>(slots_[at])];
      next_[static_cast<size_t>(chain.tail)] = row;
      chain.tail = row;
      return;
    }
    slots_[at] = static_cast<int32_t>(chains_.size());
    chains_.push_back(Chain{hash, bytes_.size(), key.size(), row, row});
    bytes_.append(key);
  }

  // The next row of that key not taken yet; -1 when there is none.
  int32_t take(std::string_view key) {
    const size_t at = find(key, std::hash<std::string_view>()(key));
    if (slots_[at] < 0) return -1;
    Chain& chain = chains_[static_cast<size_t>(slots_[at])];
    const int32_t row = chain.head;
    if (row >= 0) chain.head = next_[static_cast<size_t>(row)];
    return row;
  }

 private:
  struct Chain {
    uint64_t hash;
    size_t offset, length;  // of the key in bytes_
    int32_t head, tail;     // head -1: all taken
  };

  // The slot of the key, or the empty slot where it would go.
  size_t find(std::string_view key, uint64_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
      const int32_t c = slots_[at];
      if (c < 0) return at;
      const Chain& chain = chains_[static_cast<size_t>(c)];
      if (chain.hash == hash && std::string_view(bytes_).substr(chain.offset, chain.length) == key) return at;
    }
  }

  std::vector<int32_t> slots_;
  std::vector<Chain> chains_;
  std::vector<int32_t> next_;
  std::string bytes_;
};

struct Matching {
  std::vector<int32_t> currentToEarlier;  // -1: none
  std::vector<uint8_t> earlierMatched;
  std::vector<uint8_t> currentCompared, earlierCompared;
};

// The n-th row of a key in the current sheet goes with the n-th row of that
// key in the earlier one.
Matching matchRows(const SheetTable* earlier, const SheetTable* current, const SectionLayout& layout) {
  Matching m;
  const int32_t currentRows = current != nullptr ? current->rowCount() : 0;
  const int32_t earlierRows = earlier != nullptr ? earlier->rowCount() : 0;
  m.currentToEarlier.assign(static_cast<size_t>(currentRows), -1);
  m.earlierMatched.assign(static_cast<size_t>(earlierRows), 0);
  m.currentCompared = current != nullptr ? rowsCompared(*current, layout.section) : std::vector<uint8_t>();
  m.earlierCompared = earlier != nullptr ? rowsCompared(*earlier, layout.section) : std::vector<uint8_t>();
  if (earlier == nullptr || current == nullptr) return m;

  KeyIndex index(earlierRows);
  const SheetKeys earlierKeys = keysOf(*earlier, layout);
  std::string key;
  for (int32_t r = 0; r < earlierRows; ++r) {
    if (m.earlierCompared[static_cast<size_t>(r)] == 0) continue;
    rowKey(earlierKeys, r, key);
    index.add(key, r);
  }
  const SheetKeys currentKeys = keysOf(*current, layout);
  for (int32_t r = 0; r < currentRows; ++r) {
    if (m.currentCompared[static_cast<size_t>(r)] == 0) continue;
    rowKey(currentKeys, r, key);
    const int32_t e = index.take(key);
    if (e < 0) continue;
    m.currentToEarlier[static_cast<size_t>(r)] = e;
    m.earlierMatched[static_cast<size_t>(e)] = 1;
  }
  return m;
}

// after - before, to the 15th significant digit of the larger value: so
// that 4.25 - 4.3 is -0.05 and not -0.04999999999999982. The values have no
// more digits that mean anything (an .xlsx keeps 16, LibreOffice 15).
double difference(double after, double before) {
  const double d = after - before;
  if (d == std::trunc(d) || !std::isfinite(d)) return d;
  const double magnitude = std::max(std::fabs(after), std::fabs(before));
  const int decimals = std::clamp(15 - (static_cast<int>(std::floor(std::log10(magnitude))) + 1), 0, 300);
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", decimals, d);
  return std::strtod(text, nullptr);
}

std::string_view syntaxText(ReportModel::SyntaxMode mode) {
  return mode == ReportModel::SyntaxMode::kModern ? "Java 5以降" : "従来";
}

}  // namespace

// Builds the rows of one comparison, section by section.
class ComparisonBuilder {
 public:
  ComparisonBuilder(Comparison& out, const ComparisonOptions& options) : out_(out), options_(options) {}

  void run() {
    settings();
    summary();
    for (CompareSection s : {CompareSection::kFile, CompareSection::kClass, CompareSection::kMethod}) records(s);
    findings();
  }

 private:
  const SheetTable* earlierSheet(ReportSheetKind kind) const { return out_.earlier_->sheet(kind); }
  const SheetTable* currentSheet(ReportSheetKind kind) const { return out_.current_->sheet(kind); }

  void add(CompareSection section, CompareState state, int32_t currentRow, int32_t earlierRow,
           int32_t currentColumn = -1, int32_t earlierColumn = -1) {
    out_.rows_.push_back(ComparisonRow{section, state, currentRow, earlierRow, currentColumn, earlierColumn, -1});
  }

  void setting(std::string name, std::string earlier, std::string current) {
    out_.settings_.push_back(SettingDifference{std::move(name), std::move(earlier), std::move(current)});
    ComparisonRow row;
    row.setting = static_cast<int32_t>(out_.settings_.size()) - 1;
    out_.rows_.push_back(row);
  }

  void settings() {
    const ReportModel& earlier = *out_.earlier_;
    const ReportModel& current = *out_.current_;
    out_.earlierSyntax_ = earlier.syntaxMode();
    out_.currentSyntax_ = options_.currentSyntax != ReportModel::SyntaxMode::kUnknown ? options_.currentSyntax
                                                                                       : current.syntaxMode();
    if (out_.earlierSyntax_ != ReportModel::SyntaxMode::kUnknown &&
        out_.currentSyntax_ != ReportModel::SyntaxMode::kUnknown && out_.earlierSyntax_ != out_.currentSyntax_) {
      setting("構文", std::string(syntaxText(out_.earlierSyntax_)), std::string(syntaxText(out_.currentSyntax_)));
    }
    const bool earlierDiagnosis = earlierSheet(ReportSheetKind::kDiagnosis) != nullptr;
    const bool currentDiagnosis = currentSheet(ReportSheetKind::kDiagnosis) != nullptr;
    if (earlierDiagnosis != currentDiagnosis) {
      setting("診断", earlierDiagnosis ? "する" : "しない", currentDiagnosis ? "する" : "しない");
    }
    if (earlier.partial() != current.partial()) {
      setting("解析", earlier.partial() ? "途中で終了" : "完了", current.partial() ? "途中で終了" : "完了");
    }
    if (!earlierDiagnosis || !currentDiagnosis) return;
    out_.earlierThresholds_ = estimateThresholds(earlier);
    if (options_.currentThresholds) {
      for (size_t i = 0; i < out_.currentThresholds_.size(); ++i) {
        out_.currentThresholds_[i] = ThresholdRange::exactly((*options_.currentThresholds)[i]);
      }
    } else {
      out_.currentThresholds_ = estimateThresholds(current);
    }
    for (size_t i = 0; i < thresholdRules().size(); ++i) {
      const ThresholdRange& e = out_.earlierThresholds_[i];
      const ThresholdRange& c = out_.currentThresholds_[i];
      if (!e.known() || !c.known() || e.overlaps(c)) continue;
      const ThresholdRule& rule = thresholdRules()[i];
      setting("しきい値 " + std::string(rule.level) + " " + std::string(rule.label), e.text(), c.text());
    }
  }

  void summary() {
    const SectionLayout& layout = layoutOf(CompareSection::kSumm);
    const SheetTable* earlier = earlierSheet(layout.sheet);
    const SheetTable* current = currentSheet(layout.sheet);
    const Matching m = matchRows(earlier, current, layout);
    const int32_t currentValue = current != nullptr ? current->findColumn(heading::kValue) : -1;
    const int32_t earlierValue = earlier != nullptr ? earlier->findColumn(heading::kValue) : -1;
    auto changed = [&](int32_t c, int32_t e) {
      add(CompareSection::kSumm, CompareState::kChanged, c, e);
      ++out_.counts_.summaryChanges;
    };
    // A metric that only one report has is a change when it has a value.
    for (size_t r = 0; r < m.currentToEarlier.size(); ++r) {
      if (m.currentCompared[r] == 0) continue;
      const auto c = static_cast<int32_t>(r);
      const int32_t e = m.currentToEarlier[r];
      const ReportCell after = current->cell(c, currentValue);
      const ReportCell before = e >= 0 ? earlier->cell(e, earlierValue) : ReportCell();
      if (!sameValue(before, after)) changed(c, e);
    }
    for (size_t r = 0; r < m.earlierMatched.size(); ++r) {
      if (m.earlierCompared[r] == 0 || m.earlierMatched[r] != 0) continue;
      if (!earlier->cell(static_cast<int32_t>(r), earlierValue).empty()) changed(-1, static_cast<int32_t>(r));
    }
  }

  void records(CompareSection section) {
    const SectionLayout& layout = layoutOf(section);
    const SheetTable* earlier = earlierSheet(layout.sheet);
    const SheetTable* current = currentSheet(layout.sheet);
    const Matching m = matchRows(earlier, current, layout);
    // The columns compared: this report's, in its order, that the earlier
    // report has too, keys left out.
    std::vector<std::pair<int32_t, int32_t>> compared;
    if (current != nullptr && earlier != nullptr) {
      for (int32_t c : current->columns()) {
        if (isKey(layout, current->heading(c))) continue;
        const int32_t e = earlier->findColumn(current->heading(c));
        if (e >= 0) compared.emplace_back(c, e);
      }
    }
    for (size_t r = 0; r < m.currentToEarlier.size(); ++r) {
      const auto c = static_cast<int32_t>(r);
      const int32_t e = m.currentToEarlier[r];
      if (e < 0) {
        add(section, CompareState::kAdded, c, -1);
        ++out_.counts_.added;
        continue;
      }
      bool any = false;
      for (const auto& [cc, ec] : compared) {
        if (sameValue(earlier->cell(e, ec), current->cell(c, cc))) continue;
        add(section, CompareState::kChanged, c, e, cc, ec);
        ++out_.counts_.changedColumns;
        any = true;
      }
      if (any) ++out_.counts_.changed;
    }
    for (size_t r = 0; r < m.earlierMatched.size(); ++r) {
      if (m.earlierMatched[r] != 0) continue;
      add(section, CompareState::kRemoved, -1, static_cast<int32_t>(r));
      ++out_.counts_.removed;
    }
  }

  void findings() {
    const SectionLayout& layout = layoutOf(CompareSection::kDiagnosis);
    const SheetTable* earlier = earlierSheet(layout.sheet);
    const SheetTable* current = currentSheet(layout.sheet);
    // A report made without the diagnosis tells nothing of findings: none of
    // the earlier ones is said to be gone.
    if (current == nullptr) return;
    out_.findingsCompared_ = true;
    const Matching m = matchRows(earlier, current, layout);
    out_.findingMatches_ = m.currentToEarlier;
    const int32_t currentValue = current->findColumn(heading::kValue);
    const int32_t earlierValue = earlier != nullptr ? earlier->findColumn(heading::kValue) : -1;
    const int32_t currentLevel = current->findColumn(heading::kLevel);
    const int32_t currentMessage = current->findColumn(heading::kDiagnosis);
    for (size_t r = 0; r < m.currentToEarlier.size(); ++r) {
      if (m.currentCompared[r] == 0) continue;
      const auto c = static_cast<int32_t>(r);
      const int32_t e = m.currentToEarlier[r];
      if (e < 0) {
        add(CompareSection::kDiagnosis, CompareState::kNew, c, -1);
        ++out_.counts_.newFindings;
        continue;
      }
      const std::optional<double> before = earlier->cell(e, earlierValue).numeric();
      const std::optional<double> after = current->cell(c, currentValue).numeric();
      // A value that is no number cannot be said to be better or worse.
      if (!before || !after || *before == *after) continue;
      const ThresholdRule* rule =
          thresholdRuleOf(current->cell(c, currentLevel).text, current->cell(c, currentMessage).text);
      const bool smallerIsWorse = rule != nullptr && rule->lowerLimit;
      const bool worse = smallerIsWorse ? *after < *before : *after > *before;
      add(CompareSection::kDiagnosis, worse ? CompareState::kWorsened : CompareState::kImproved, c, e);
      ++(worse ? out_.counts_.worsened : out_.counts_.improved);
    }
    for (size_t r = 0; r < m.earlierMatched.size(); ++r) {
      if (m.earlierCompared[r] == 0 || m.earlierMatched[r] != 0) continue;
      add(CompareSection::kDiagnosis, CompareState::kResolved, -1, static_cast<int32_t>(r));
      ++out_.counts_.resolved;
    }
  }

  Comparison& out_;
  const ComparisonOptions& options_;
};

std::string_view compareSectionText(CompareSection section) { return kSectionTexts[static_cast<size_t>(section)]; }

std::string_view compareStateText(CompareState state) { return kStateTexts[static_cast<size_t>(state)]; }

ComparisonCells Comparison::cells(const ComparisonRow& row) const {
  ComparisonCells cells;
  cells.section = textCell(compareSectionText(row.section));
  cells.state = textCell(compareStateText(row.state));
  if (row.setting >= 0) {
    const SettingDifference& s = settings_[static_cast<size_t>(row.setting)];
    cells.name = textCell(s.name);
    cells.item = textCell(kSettingItem);
    cells.before = textCell(s.earlier);
    cells.after = textCell(s.current);
    return cells;
  }
  const SectionLayout& layout = layoutOf(row.section);
  const SheetTable* earlier = earlier_->sheet(layout.sheet);
  const SheetTable* current = current_->sheet(layout.sheet);
  // What names the row comes from the report that has it, this one first.
  const SheetTable* source = row.currentRow >= 0 ? current : earlier;
  const int32_t sourceRow = row.currentRow >= 0 ? row.currentRow : row.earlierRow;
  if (row.section != CompareSection::kSumm) cells.packageName = cellOf(source, sourceRow, heading::kPackageName);
  cells.name = cellOf(source, sourceRow, layout.name);
  cells.methodName = cellOf(source, sourceRow, layout.method);
  cells.arguments = cellOf(source, sourceRow, layout.arguments);

  switch (row.section) {
    case CompareSection::kSumm:
      cells.before = cellOf(earlier, row.earlierRow, heading::kValue);
      cells.after = cellOf(current, row.currentRow, heading::kValue);
      break;
    case CompareSection::kDiagnosis:
      cells.item = cellOf(source, sourceRow, heading::kDiagnosis);
      cells.before = cellOf(earlier, row.earlierRow, heading::kValue);
      cells.after = cellOf(current, row.currentRow, heading::kValue);
      break;
    default:
      if (row.state == CompareState::kChanged) {
        cells.item = textCell(current->heading(row.currentColumn));
        cells.before = earlier->cell(row.earlierRow, row.earlierColumn);
        cells.after = current->cell(row.currentRow, row.currentColumn);
      }
      break;
  }
  const std::optional<double> before = cells.before.numeric();
  const std::optional<double> after = cells.after.numeric();
  if (before && after) cells.delta = difference(*after, *before);
  return cells;
}

std::vector<const ComparisonRow*> Comparison::gateFindings() const {
  std::vector<const ComparisonRow*> rows;
  for (const ComparisonRow& row : rows_) {
    if (row.state == CompareState::kNew || row.state == CompareState::kWorsened) rows.push_back(&row);
  }
  return rows;
}

Comparison compareReports(const ReportModel& earlier, const ReportModel& current, const ComparisonOptions& options) {
  Comparison comparison(earlier, current);
  ComparisonBuilder(comparison, options).run();
  return comparison;
}

}  // namespace rzt
