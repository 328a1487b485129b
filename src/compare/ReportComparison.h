#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/ReportModel.h"
#include "compare/ThresholdEstimate.h"

namespace rzt {

// The groups of the sheet "比較", in its order.
enum class CompareSection : uint8_t { kSumm, kFile, kClass, kMethod, kDiagnosis };
// 変更, 追加, 削除 (File, Class, Method; Summ only 変更), 新規, 解消, 悪化, 改善 (findings).
enum class CompareState : uint8_t { kChanged, kAdded, kRemoved, kNew, kResolved, kWorsened, kImproved };

// "Summ", "File", "Class", "Method", "診断".
std::string_view compareSectionText(CompareSection section);
// "変更", "追加", "削除", "新規", "解消", "悪化", "改善".
std::string_view compareStateText(CompareState state);

// One row of "比較", by reference to the rows of the two reports.
struct ComparisonRow {
  CompareSection section = CompareSection::kSumm;
  CompareState state = CompareState::kChanged;
  int32_t currentRow = -1;     // data row of this report's sheet; -1: only in the earlier one
  int32_t earlierRow = -1;     // data row of the earlier report's sheet; -1: only in this one
  int32_t currentColumn = -1;  // a File, Class or Method row's changed column, in this report
  int32_t earlierColumn = -1;  // the same column in the earlier report
  int32_t setting = -1;        // a setting that differs: index into Comparison::settings()
};

// The cells of one row of "比較", in its column order.
struct ComparisonCells {
  ReportCell section, packageName, name, methodName, arguments, state, item, before, after;
  std::optional<double> delta;  // 今回 - 前回, where both are numbers
};

// What the one-line summary and the gate count.
struct ComparisonCounts {
  // Rows of File, Class and Method only in this report, only in the earlier
  // one, and in both with at least one column changed (rows, not columns).
  int32_t added = 0, removed = 0, changed = 0;
  // Changed columns of rows in both (the 変更 rows of File, Class, Method).
  int32_t changedColumns = 0;
  // Summ rows: metrics whose value changed.
  int32_t summaryChanges = 0;
  // Findings: new, gone, with a worse and with a better value.
  int32_t newFindings = 0, resolved = 0, worsened = 0, improved = 0;
};

// A way in which the two reports were made differently, as the sheet lists
// it first: "構文", "診断", "解析" (one ended early), or a threshold
// ("しきい値 [Method] ｽﾃｰﾄﾒﾝﾄ数") whose possible values do not meet.
struct SettingDifference {
  std::string name;
  std::string earlier;
  std::string current;
};

// What the caller knows of this report beyond its cells.
struct ComparisonOptions {
  // The thresholds this run used (option order); without them they are
  // estimated from this report as from the earlier one.
  std::optional<std::array<int32_t, kThresholdRuleCount>> currentThresholds;
  // This run's syntax mode, told even when it reported no file.
  ReportModel::SyntaxMode currentSyntax = ReportModel::SyntaxMode::kUnknown;
};

// The outcome of comparing two reports. It refers to both reports' cells,
// so both must outlive it.
class Comparison {
 public:
  Comparison(const ReportModel& earlier, const ReportModel& current) : earlier_(&earlier), current_(&current) {}

  const ReportModel& earlier() const { return *earlier_; }
  const ReportModel& current() const { return *current_; }

  // The rows of "比較", heading row not included, in order: the settings
  // that differ, then Summ, File, Class, Method, 診断; within each this
  // report's rows in order, then the rows only in the earlier report in its
  // order.
  const std::vector<ComparisonRow>& rows() const { return rows_; }
  ComparisonCells cells(const ComparisonRow& row) const;
  const ComparisonCounts& counts() const { return counts_; }
  const std::vector<SettingDifference>& settings() const { return settings_; }

  // The findings that fail a gate: "新規" and "悪化", in row order.
  std::vector<const ComparisonRow*> gateFindings() const;
  // For each data row of this report's "診断", the row of the earlier report's
  // "診断" it is the same finding as; -1 for a new finding and for a row that
  // is no finding. Empty when this report has no "診断".
  const std::vector<int32_t>& findingMatches() const { return findingMatches_; }
  // Whether the findings were compared: this report has the sheet "診断".
  // (An earlier report without it has no findings, so all are new.)
  bool findingsCompared() const { return findingsCompared_; }

  ReportModel::SyntaxMode earlierSyntax() const { return earlierSyntax_; }
  ReportModel::SyntaxMode currentSyntax() const { return currentSyntax_; }
  const ThresholdRanges& earlierThresholds() const { return earlierThresholds_; }
  const ThresholdRanges& currentThresholds() const { return currentThresholds_; }

 private:
  friend Comparison compareReports(const ReportModel&, const ReportModel&, const ComparisonOptions&);
  friend class ComparisonBuilder;

  const ReportModel* earlier_;
  const ReportModel* current_;
  std::vector<ComparisonRow> rows_;
  ComparisonCounts counts_;
  std::vector<SettingDifference> settings_;
  std::vector<int32_t> findingMatches_;
  bool findingsCompared_ = false;
  ReportModel::SyntaxMode earlierSyntax_ = ReportModel::SyntaxMode::kUnknown;
  ReportModel::SyntaxMode currentSyntax_ = ReportModel::SyntaxMode::kUnknown;
  ThresholdRanges earlierThresholds_{};
  ThresholdRanges currentThresholds_{};
};

// Compares this report (current) with an earlier one. Rows are matched by
// key, not by place: File rows by (ﾊﾟｯｹｰｼﾞ名, ﾌｧｲﾙ名), Class rows by
// (ﾊﾟｯｹｰｼﾞ名, ｸﾗｽ名), Method rows by (ﾊﾟｯｹｰｼﾞ名, ｸﾗｽ名, ﾒｿｯﾄﾞ名, 引数), Summ
// rows by メトリクス, findings by every column but 値; of several rows with
// one key, the n-th of one report is the n-th of the other. Columns that
// only one of the reports has (the modern mode's "構文ｴﾗｰ") are not
// compared. A finding's value that grows is "悪化", except for the comment
// ratio, a lower limit, where a value that shrinks is.
Comparison compareReports(const ReportModel& earlier, const ReportModel& current,
                          const ComparisonOptions& options = {});

}  // namespace rzt
