// SPDX-License-Identifier: Apache-2.0
#include "cli/stage_command.h"

#include <array>
#include <cmath>
#include <optional>

#include "calc/blow_ledger.h"
#include "calc/number_text.h"
#include "calc/plan.h"
#include "calc/reaction_data.h"
#include "calc/stage_solve.h"
#include "cli/curve_command.h"
#include "io/csv.h"
#include "io/terminal_text.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

struct StageColumn {
  std::string_view english;
  std::string_view chinese;  // as the diagram's saved stage table names it
  bool required;
};

constexpr std::array<StageColumn, 4> stageColumns{{
    {"gas", "气体比或CO分压", true},
    {"t", "温度/℃", true},
    {"C", "实测%C", false},
    {"O2", "O2/Nm³", false},
}};

// The field of a column in the header line; a column named twice (by
// either of its names) is refused, as the batch tool refuses it: which
// of the two is meant cannot be told.
std::optional<std::size_t> columnOf(const CsvRecord& header, const StageColumn& column) {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const std::string_view name = trimmedItem(header.fields[i]);
    if (name != column.english && name != column.chinese) continue;
    if (found) {
      throw CsvError(header.line, "column '" + std::string(column.english) + "' appears twice (fields " +
                                      std::to_string(*found + 1) + " and " + std::to_string(i + 1) + ")");
    }
    found = i;
  }
  return found;
}

// "#name,value" before the header: a condition the table was computed under.
bool conditionRow(const CsvRecord& record) {
  return !record.fields.empty() && !record.fields[0].empty() && record.fields[0][0] == '#';
}

bool blankRecord(const CsvRecord& record) {
  for (const std::string& field : record.fields) {
    if (!trimmedItem(field).empty()) return false;
  }
  return true;
}

std::string quoted(const std::string& text) {
  std::string quoted = "'";
  quoted.append(trimmedItem(text));
  quoted += '\'';
  return quoted;
}

std::string carbonEnglish(const EquilibriumCarbon& c) {
  if (c.carbon) return formatPattern(*c.carbon, DigitPattern::Decimals6) + " %C";
  if (c.gap == CarbonGap::AboveRange) return "above 5000 %C";
  if (c.gap == CarbonGap::BelowRange) return "below 0.001 %C";
  return "undefined";
}

}  // namespace

std::string stageIssueEnglish(const BlowStage& stage, const StageResult& r) {
  switch (r.issue) {
    case StageIssue::None:
      return {};
    case StageIssue::BadMixture:
      return "the total pressure or the CO share is out of range";
    case StageIssue::GasEmpty:
      return "the gas cell is empty";
    case StageIssue::GasBad:
      return pressureItemProblemEnglish(*r.gasProblem, stage.gas);
    case StageIssue::TemperatureEmpty:
      return "the temperature cell is empty";
    case StageIssue::TemperatureNotANumber:
      return "temperature " + quoted(stage.temperature) + " is not a number";
    case StageIssue::TemperatureOutOfRange:
      return "temperature " + quoted(stage.temperature) + " is beyond the number range";
    case StageIssue::BelowAbsoluteZero:
      return "temperature " + quoted(stage.temperature) + " is below -273 deg C (0 K)";
    case StageIssue::MeasuredNotPositive:
      return "measured carbon " + quoted(stage.measuredCarbon) + " is not a positive number";
    case StageIssue::AtAbsoluteZero:
      return "at -273 deg C (0 K) dG does not depend on carbon: no equilibrium";
    case StageIssue::PressureTooSmall:
      return "the CO pressure is too small for its logarithm: no equilibrium";
    case StageIssue::NoEquilibrium:
      return "dG is beyond the number range at this temperature and CO pressure: no equilibrium";
  }
  return {};
}

std::string ledgerStageEnglish(const LedgerStage& s, const BlowStage& typed, const StageResult& result) {
  const auto kg = [](double v) { return fixedText(v, 1) + " kg"; };
  switch (s.problem) {
    case LedgerProblem::None:
      return s.efficiencyUnreachable ? "its end carbon is below its governing equilibrium carbon: its figures "
                                       "assume a decarburisation efficiency it cannot reach"
                                     : std::string();
    case LedgerProblem::StageNotRead:
      return stageIssueEnglish(typed, result);
    case LedgerProblem::NoEndCarbon:
      return "no end carbon (measured %C): not booked";
    case LedgerProblem::EndCarbonAboveStart:
      return "end carbon " + quoted(typed.measuredCarbon) + " is above the " + formatShortest(s.needed) +
             " %C before it: not booked";
    case LedgerProblem::OxygenNotANumber:
      return "O2 " + quoted(typed.oxygen) + " is not a positive number: not booked";
    case LedgerProblem::OxygenBelowCarbon:
      return "O2 " + quoted(typed.oxygen) + " Nm3 is less than the " + fixedText(s.needed, 1) +
             " Nm3 its carbon takes: not booked";
    case LedgerProblem::NoGoverningOxide:
      return "no governing oxide for the chromium it would burn: not booked";
    case LedgerProblem::ChromiumExhausted:
      return "O2 " + quoted(typed.oxygen) + " Nm3 would burn " +
             (std::isfinite(s.needed) ? kg(s.needed) + " of chromium, more than the " : "more chromium than the ") +
             kg(s.chromiumLeft) + " left in the bath: not booked";
    case LedgerProblem::OxygenOutOfRange:
      return "O2 " + quoted(typed.oxygen) + " makes its figures beyond the number range: not booked";
    case LedgerProblem::AfterUnknownCarbon:
      return "the end carbon of a stage before it is not known, so neither is its own decarburisation: not booked";
    default:
      return {};
  }
}

std::string ledgerHeatEnglish(LedgerProblem problem, const CurveCommandOptions& options) {
  return ledgerHeatEnglish(problem, options.heat);
}

std::string ledgerHeatEnglish(LedgerProblem problem, const HeatCharge& heat) {
  const auto named = [](const char* option, std::optional<double> value, const char* why) {
    return "--" + std::string(option) + ": " + (value ? formatShortest(*value) : std::string()) + " " + why;
  };
  switch (problem) {
    case LedgerProblem::HeatOutOfRange:
      return named("heat-mass", heat.massTonnes, "t with --cr and --si makes the charge beyond the number range");
    case LedgerProblem::StartCarbonOutOfRange:
      return named("start-carbon", heat.startCarbon,
                   "with --heat-mass makes the charge carbon beyond the number range");
    case LedgerProblem::OxygenFlowTooSmall:
      return named("o2-flow", heat.oxygenFlow, "is so small that a stage's minutes are beyond the number range");
    case LedgerProblem::FesiGradeTooSmall:
      return named("fesi-grade", heat.fesiGrade, "is so small that the FeSi is beyond the number range");
    case LedgerProblem::BasicityTooLarge:
      return named("basicity", heat.basicity, "is so large that the CaO is beyond the number range");
    default:
      return {};
  }
}

std::string solutionNoteEnglish(const StageSolution& s, double target, const TemperatureRange& range,
                                bool temperature) {
  const std::string goal = "the governing equilibrium carbon to " + targetText(target) + " %C";
  switch (s.status) {
    case SolveStatus::StageProblem:
      return "the stage gives nothing to solve from";
    case SolveStatus::AnyRatio:
      return "any gas ratio: even pure oxygen (p_CO = " + formatPattern(s.coPressure, DigitPattern::Whole) +
             " Pa) keeps the governing equilibrium carbon at or below " + targetText(target) + " %C at " +
             formatShortest(s.temperatureCelsius) + " deg C";
    case SolveStatus::Found:
      if (temperature && s.otherCelsius) {
        return "more than one temperature brings " + goal + "; nearest to the stage's given, also " +
               formatPattern(*s.otherCelsius, DigitPattern::Decimals3) + " deg C";
      }
      return {};
    case SolveStatus::NotReachable:
      if (temperature) {
        std::string text = "no temperature in " + formatShortest(range.startCelsius) + "-" +
                           formatShortest(range.endCelsius) + " deg C brings " + goal +
                           " (nearest: " + carbonEnglish(s.nearest) + " at " + formatShortest(s.nearestAt) + " deg C";
        if (s.outsideCelsius) text += "; " + formatPattern(*s.outsideCelsius, DigitPattern::Whole) + " deg C would";
        return text + ")";
      }
      return "no CO pressure from 1 Pa to the total pressure brings " + goal + " at " +
             formatShortest(s.temperatureCelsius) + " deg C (" + carbonEnglish(s.nearest) + " at " +
             formatShortest(s.nearestAt) + " Pa)";
  }
  return {};
}

std::variant<StageDocument, std::string> readStages(ByteSource& source) {
  CsvReader reader(source);
  StageDocument document;
  std::vector<BlowStage>& stages = document.stages;
  try {
    std::optional<CsvRecord> header = reader.next();
    LineNumber lastLine = 1;
    for (; header && (blankRecord(*header) || conditionRow(*header)); header = reader.next()) {
      lastLine = header->line;
      if (blankRecord(*header)) continue;
      std::string name(trimmedItem(std::string_view(header->fields[0]).substr(1)));
      Plan known;
      if (!setPlanCondition(known, name, header->fields.size() > 1 ? header->fields[1] : std::string())) {
        return "line " + std::to_string(header->line) + ": '#" + name + "' is no condition (reaction, A, B, " +
               "otherA, otherB, composition/Cr, ..., heat/basicity) or its value is not one of its values";
      }
      document.conditions.emplace_back(std::move(name), header->fields.size() > 1 ? header->fields[1] : "");
    }
    if (!header) return "line " + std::to_string(lastLine) + ": no header line";
    std::array<std::optional<std::size_t>, stageColumns.size()> at;
    for (std::size_t k = 0; k < stageColumns.size(); ++k) {
      at[k] = columnOf(*header, stageColumns[k]);
      if (!at[k] && stageColumns[k].required) {
        return "line " + std::to_string(header->line) + ": the header line has no column '" +
               std::string(stageColumns[k].english) + "'";
      }
    }
    while (std::optional<CsvRecord> record = reader.next()) {
      if (blankRecord(*record)) continue;
      if (stages.size() == maxStages) {
        return "line " + std::to_string(record->line) + ": more than " + std::to_string(maxStages) + " stages";
      }
      const auto field = [&](std::size_t k) {
        return at[k] && *at[k] < record->fields.size() ? std::move(record->fields[*at[k]]) : std::string();
      };
      stages.push_back({field(0), field(1), field(2), field(3)});
    }
  } catch (const CsvError& error) {
    return "line " + std::to_string(error.line()) + ": " + error.what();
  }
  return document;
}

std::variant<StageDocument, std::string> readStageText(std::string_view text) {
  StringSource source(text);
  return readStages(source);
}

}  // namespace velkarin
