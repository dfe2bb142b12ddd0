// SPDX-License-Identifier: Apache-2.0
#include "cli/simulate_command.h"

#include <array>
#include <optional>

#include "calc/blow_ledger.h"
#include "calc/file_read.h"
#include "calc/number_list.h"
#include "calc/reaction_data.h"
#include "cli/curve_command.h"
#include "cli/stage_command.h"
#include "io/csv.h"
#include "io/terminal_text.h"

namespace velkarin {
namespace {

enum Column : std::size_t { gasColumn, oxygenColumn, carbonColumn, limeColumn, scrapColumn, inertColumn, columns };

// The names each column goes by in a header row.
struct ColumnNames {
  Column column;
  std::array<std::string_view, 3> names;
};
constexpr std::array<ColumnNames, columns> columnNames{{
    {gasColumn, {"gas", "气体比或CO分压", ""}},
    {oxygenColumn, {"O2", "O2/Nm³", ""}},
    {carbonColumn, {"C", "终点%C", "实测%C"}},
    {limeColumn, {"lime", "石灰", "石灰/kg"}},
    {scrapColumn, {"scrap", "废钢", "废钢/kg"}},
    {inertColumn, {"inert", "惰性气体", ""}},
}};

std::optional<Column> columnOf(std::string_view name) {
  for (const ColumnNames& row : columnNames) {
    for (std::string_view n : row.names) {
      if (!n.empty() && n == name) return row.column;
    }
  }
  return std::nullopt;
}

using Positions = std::array<std::optional<std::size_t>, columns>;

std::string lineText(const CsvRecord& record) { return "line " + std::to_string(record.line) + ": "; }

// One stage of a row; the message of the first cell that cannot be read.
std::variant<SimulationStage, std::string> readRow(const CsvRecord& record, const Positions& at) {
  const auto cell = [&](Column c) -> std::string_view {
    return at[c] && *at[c] < record.fields.size() ? trimmedItem(record.fields[*at[c]]) : std::string_view();
  };
  SimulationStage stage;
  stage.gas = std::string(cell(gasColumn));
  std::optional<std::string> error;
  const auto number = [&](Column c, std::string_view name) -> std::optional<double> {
    if (cell(c).empty()) return std::nullopt;
    const auto value = readFiniteNumber(cell(c));
    if (!value && !error)
      error = lineText(record) + std::string(name) + " '" + std::string(cell(c)) + "' is not a number";
    return value;
  };
  stage.oxygen = number(oxygenColumn, "O2");
  stage.endCarbon = number(carbonColumn, "C");
  stage.lime = number(limeColumn, "lime").value_or(0);
  stage.scrap = number(scrapColumn, "scrap").value_or(0);
  const std::string_view inert = cell(inertColumn);
  if (inert == "N2" || inert == "n2") {
    stage.inert = InertGas::Nitrogen;
  } else if (!inert.empty() && inert != "Ar" && inert != "ar" && !error) {
    error = lineText(record) + "inert '" + std::string(inert) + "' is neither Ar nor N2";
  }
  if (error) return *error;
  return stage;
}

bool blank(const CsvRecord& record) {
  for (const std::string& field : record.fields) {
    if (!trimmedItem(field).empty()) return false;
  }
  return true;
}

}  // namespace

std::string simulationHeatEnglish(SimulationProblem problem) {
  switch (problem) {
    case SimulationProblem::NoMass:
      return "--simulate needs --heat-mass";
    case SimulationProblem::NoStartCarbon:
      return "--simulate needs --start-carbon";
    case SimulationProblem::NoStartTemperature:
      return "--simulate needs --start-temperature";
    case SimulationProblem::StartTemperatureBad:
      return "--start-temperature must be above -273 and at most 2861 (iron boils)";
    case SimulationProblem::NoOxygenFlow:
      return "--simulate needs --o2-flow";
    case SimulationProblem::BadMixture:
      return "--total-pressure must be greater than 0 and --co-share in (0, 1]";
    case SimulationProblem::BadComposition:
      return "--cr must be greater than 0 and --ni, --si, --mn not negative";
    case SimulationProblem::HeatOutOfRange:
      return "--heat-mass makes the bath's figures beyond the number range";
    default:
      return "the heat's options cannot be simulated";  // the options refuse the others themselves
  }
}

std::variant<std::vector<SimulationStage>, std::string> readSimulationStages(std::string_view text) {
  std::vector<SimulationStage> stages;
  std::optional<Positions> at;
  try {
    StringSource source(text);
    CsvReader reader(source);
    while (const auto record = reader.next()) {
      if (blank(*record)) continue;
      if (at) {
        auto stage = readRow(*record, *at);
        if (const auto* error = std::get_if<std::string>(&stage)) return *error;
        if (stages.size() == maxStages) return "more than " + std::to_string(maxStages) + " stages";
        stages.push_back(std::get<SimulationStage>(stage));
        continue;
      }
      if (trimmedItem(record->fields.front()).rfind('#', 0) == 0) continue;
      at.emplace();
      for (std::size_t i = 0; i < record->fields.size(); ++i) {
        const auto column = columnOf(trimmedItem(record->fields[i]));
        if (!column) continue;
        if ((*at)[*column]) return lineText(*record) + "column '" + record->fields[i] + "' named twice";
        (*at)[*column] = i;
      }
      if (!(*at)[gasColumn]) return lineText(*record) + "no column named gas";
    }
  } catch (const CsvError& error) {
    return "line " + std::to_string(error.line()) + ": " + error.what();
  }
  if (!at) return std::string("no header row naming the column gas");
  return stages;
}

// --simulate takes a stage file and none of the ledger's or table's own
// options; --trajectory and the simulation's figures need --simulate.
std::optional<std::string> simulationProblem(const CurveCommandOptions& options) {
  const SimulationOptions& sim = options.simulation;
  if (!sim.simulate) {
    for (const char* name :
         {"trajectory", "start-temperature", "rate-constant", "heat-loss", "slag-mass", "reduction-time"}) {
      if ((name == std::string_view("trajectory") && sim.trajectory) || options.given.count(name)) {
        return "--" + std::string(name) + " needs --simulate";
      }
    }
    return std::nullopt;
  }
  if (!options.stageFile) return std::string("--simulate needs --stages");
  if (options.ledger || options.targetCarbon) return std::string("--simulate excludes --ledger and --target");
  return std::nullopt;
}

SimulationHeat simulationHeat(const CurveCommandOptions& options) {
  SimulationHeat heat;
  heat.massTonnes = options.heat.massTonnes;
  heat.startCarbon = options.heat.startCarbon;
  heat.startTemperature = options.simulation.startTemperature;
  heat.oxygenFlow = options.heat.oxygenFlow;
  heat.composition = options.family.composition;
  heat.slagMass = options.simulation.slagMass;
  heat.rateConstant = options.simulation.rateConstant;
  heat.heatLoss = options.simulation.heatLoss;
  heat.reductionMinutes = options.simulation.reductionMinutes;
  heat.fesiGrade = options.heat.fesiGrade;
  heat.basicity = options.heat.basicity;
  heat.lines[reactionIndex(options.family.reaction)] = options.family.line;
  heat.lines[reactionIndex(otherReaction(options.family.reaction))] = options.otherLine;
  heat.mixture = options.mixture;
  return heat;
}

int runSimulation(const CurveCommandOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& path = *options.stageFile;
  const auto refuse = [&](const std::string& why) {
    err << "velkarin-curve: " << terminalText(path) << ": " << terminalText(why) << "\n";
    return curveExitInput;
  };
  const FileRead file = readRegularFile(path, maxStageFileBytes);
  if (file.fault != FileReadFault::None) return refuse(fileReadFaultEnglish(file, maxStageFileBytes));
  const auto read = readSimulationStages(file.bytes);
  if (const auto* error = std::get_if<std::string>(&read)) return refuse(*error);
  const auto& stages = std::get<std::vector<SimulationStage>>(read);
  if (stages.empty()) return refuse("no stages");
  const BlowSimulation sim = simulateBlow(simulationHeat(options), stages);
  if (sim.problem != SimulationProblem::None) {
    err << "velkarin-curve: " << simulationHeatEnglish(sim.problem) << "\n\n" << curveCommandUsage();
    return curveExitUsage;
  }
  out << (options.simulation.trajectory ? trajectoryTsv(sim) : simulationTsv(sim, stages));
  for (std::size_t i = 0; i < sim.stages.size(); ++i) {
    if (sim.stages[i].problem == SimulationProblem::None) continue;
    err << "velkarin-curve: note: stage " << i + 1 << " cannot be simulated"
        << (sim.stages[i].problem == SimulationProblem::AfterProblem ? " after the stage before" : "")
        << "; no totals or reduction\n";
    break;
  }
  return curveExitOk;
}

}  // namespace velkarin
