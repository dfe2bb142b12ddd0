#include "cli/stage_command.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "calc/number_text.h"
#include "cli/csv.h"
#include "cli/curve_command.h"

namespace velkarin {
namespace {

struct StageColumn {
  std::string_view english;
  std::string_view chinese;  // as the diagram's saved stage table names it
  bool required;
};

constexpr std::array<StageColumn, 3> stageColumns{{
    {"gas", "气体比或CO分压", true},
    {"t", "温度/℃", true},
    {"C", "实测%C", false},
}};

std::optional<std::size_t> columnOf(const std::vector<std::string>& header, const StageColumn& column) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    const std::string_view name = trimmedItem(header[i]);
    if (name == column.english || name == column.chinese) return i;
  }
  return std::nullopt;
}

bool blankRecord(const CsvRecord& record) {
  for (const std::string& field : record.fields) {
    if (!trimmedItem(field).empty()) return false;
  }
  return true;
}

}  // namespace

std::variant<std::vector<BlowStage>, std::string> readStageText(std::string_view text) {
  std::vector<CsvRecord> records;
  try {
    records = parseCsv(text);
  } catch (const CsvError& error) {
    return "line " + std::to_string(error.line()) + ": " + error.what();
  }
  std::size_t first = 0;
  while (first < records.size() && blankRecord(records[first])) ++first;
  if (first == records.size()) return std::string("no header line");
  std::array<std::optional<std::size_t>, stageColumns.size()> at;
  for (std::size_t k = 0; k < stageColumns.size(); ++k) {
    at[k] = columnOf(records[first].fields, stageColumns[k]);
    if (!at[k] && stageColumns[k].required) {
      return "line " + std::to_string(records[first].line) + ": the header line has no column '" +
             std::string(stageColumns[k].english) + "'";
    }
  }
  std::vector<BlowStage> stages;
  for (std::size_t r = first + 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    if (blankRecord(record)) continue;
    const auto field = [&](std::size_t k) {
      return at[k] && *at[k] < record.fields.size() ? record.fields[*at[k]] : std::string();
    };
    stages.push_back({field(0), field(1), field(2)});
  }
  return stages;
}

int runStageTable(const CurveCommandOptions& options, std::ostream& out, std::ostream& err) {
  std::ifstream file(*options.stageFile, std::ios::binary);
  std::ostringstream text;
  if (file) text << file.rdbuf();
  if (!file || file.bad()) {
    err << "velkarin-curve: " << *options.stageFile << ": " << std::strerror(errno) << "\n";
    return curveExitInput;
  }
  auto read = readStageText(text.str());
  if (const auto* error = std::get_if<std::string>(&read)) {
    err << "velkarin-curve: " << *options.stageFile << ": " << *error << "\n";
    return curveExitInput;
  }
  const std::vector<BlowStage>& stages = std::get<std::vector<BlowStage>>(read);

  StageSettings settings;
  settings.lines[static_cast<std::size_t>(options.family.reaction)] = options.family.line;
  settings.composition = options.family.composition;
  settings.mixture = options.mixture;
  std::vector<StageResult> results;
  for (const BlowStage& stage : stages) results.push_back(evaluateStage(stage, settings));

  std::vector<std::vector<std::string>> table = stageTable(stages, results);
  if (options.targetCarbon) {
    table[0].insert(table[0].end(), {"达到目标的温度/℃", "达到目标的气体比", "达到目标的p_CO/Pa"});
    for (std::size_t i = 0; i < results.size(); ++i) {
      const StageSolution hot =
          solveStageTemperature(results[i], settings, *options.targetCarbon, options.family.temperatures);
      const StageSolution blow = solveStagePressure(results[i], settings, *options.targetCarbon);
      std::vector<std::string>& row = table[i + 1];
      row.push_back(hot.found ? formatPattern(hot.temperatureCelsius, DigitPattern::Decimals3) : "");
      row.push_back(blow.found ? ratioText(blow.ratio) : "");
      row.push_back(blow.found ? formatPattern(blow.coPressure, DigitPattern::Whole) : "");
      for (const StageSolution* s : {&hot, &blow}) {
        if (!s->found && results[i].problem.empty())
          err << "velkarin-curve: note: stage " << i + 1 << ": " << s->message << "\n";
      }
    }
  }
  for (std::size_t i = 0; i < results.size(); ++i) {
    if (!results[i].problem.empty())
      err << "velkarin-curve: note: stage " << i + 1 << ": " << results[i].problem << "\n";
  }
  out << stageTableTsv(table);
  return curveExitOk;
}

}  // namespace velkarin
