// SPDX-License-Identifier: Apache-2.0
#include "cli/curve_command.h"

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan.h"
#include "calc/plan_members.h"
#include "calc/reaction_data.h"
#include "cli/schedule_command.h"
#include "cli/simulate_command.h"

namespace velkarin {
namespace {

// What the parser collects before it knows the reaction (A and B default to
// the chosen reaction's first preset row, whatever the order of the options).
struct Collected {
  CurveCommandOptions options;
  std::optional<std::string> a, b;
  std::optional<std::string> otherA, otherB;
  std::optional<std::string> pressures;  // read once P and η are known
};

using Setter = std::optional<std::string> (*)(Collected&, const std::string& value);

struct OptionRow {
  std::string_view name;  // without the leading "--"
  Setter set;             // returns the error message, or nothing
};

std::optional<double> readNumber(std::string_view text) { return readFiniteNumber(text); }

std::string notANumber(std::string_view option, const std::string& value) {
  return "--" + std::string(option) + ": '" + value + "' is not a number";
}

template <double CurveComposition::*Field, const char* Name, bool Positive>
std::optional<std::string> setComposition(Collected& c, const std::string& value) {
  const auto number = readNumber(value);
  if (!number) return notANumber(Name, value);
  if (Positive && !(*number > 0)) return "--" + std::string(Name) + " must be greater than 0";
  c.options.family.composition.*Field = *number;
  return std::nullopt;
}

template <double TemperatureRange::*Field, const char* Name>
std::optional<std::string> setTemperature(Collected& c, const std::string& value) {
  const auto number = readNumber(value);
  if (!number) return notANumber(Name, value);
  c.options.family.temperatures.*Field = *number;
  return std::nullopt;
}

std::optional<std::string> setReaction(Collected& c, const std::string& value) {
  if (value == "cr2o3") {
    c.options.family.reaction = Reaction::Cr2O3;
  } else if (value == "cr3o4") {
    c.options.family.reaction = Reaction::Cr3O4;
  } else {
    return "--reaction: '" + value + "' is neither cr2o3 nor cr3o4";
  }
  return std::nullopt;
}

std::optional<std::string> setA(Collected& c, const std::string& value) {
  c.a = value;
  return std::nullopt;
}

std::optional<std::string> setB(Collected& c, const std::string& value) {
  c.b = value;
  return std::nullopt;
}

std::optional<std::string> setOtherA(Collected& c, const std::string& value) {
  c.otherA = value;
  return std::nullopt;
}

std::optional<std::string> setOtherB(Collected& c, const std::string& value) {
  c.otherB = value;
  return std::nullopt;
}

std::optional<std::string> setPlan(Collected& c, const std::string& value) {
  c.options.planFile = value;
  return std::nullopt;
}

// A comma-separated list of CO pressures in Pa and gas ratios ("3:1").
std::optional<std::string> setPressures(Collected& c, const std::string& value) {
  c.pressures = value;
  return std::nullopt;
}

template <double GasMixture::*Field, const char* Name>
std::optional<std::string> setMixture(Collected& c, const std::string& value) {
  const auto number = readNumber(value);
  if (!number) return notANumber(Name, value);
  c.options.mixture.*Field = *number;
  return std::nullopt;
}

std::optional<std::string> setStages(Collected& c, const std::string& value) {
  c.options.stageFile = value;
  return std::nullopt;
}

std::optional<std::string> setTarget(Collected& c, const std::string& value) {
  const auto number = readNumber(value);
  if (!number) return notANumber("target", value);
  if (!(*number > 0)) return std::string("--target must be greater than 0");
  c.options.targetCarbon = *number;
  return std::nullopt;
}

// A figure of the heat for --ledger: a number, > 0 (or in (0, 100] for the grade).
template <auto Field, const char* Name>
std::optional<std::string> setHeat(Collected& c, const std::string& value) {
  const auto number = readNumber(value);
  if (!number) return notANumber(Name, value);
  const bool grade = std::string_view(Name) == "fesi-grade";
  if (!(*number > 0) || (grade && *number > 100)) {
    return "--" + std::string(Name) + (grade ? " must be in (0, 100]" : " must be greater than 0");
  }
  c.options.heat.*Field = *number;
  return std::nullopt;
}

// The pressure list under the mixture: each item's pressure, and a ratio
// item's label.
std::optional<std::string> resolvePressures(Collected& c) {
  if (!validMixture(c.options.mixture)) {
    return std::string("--total-pressure must be greater than 0 and --co-share in (0, 1]");
  }
  if (!c.pressures) return std::nullopt;
  const PressureListItems reading = readPressureItems(*c.pressures, c.options.mixture);
  if (reading.problem) return pressureItemsMessageEnglish(reading, "pressures");
  CurveFamilyInputs& family = c.options.family;
  family.coPressures.clear();
  family.labels.clear();
  for (const PressureItem& item : reading.items) {
    family.coPressures.push_back(item.coPressure);
    family.labels.push_back(item.ratio ? pressureItemLabel(item) : std::string());
  }
  return std::nullopt;
}

constexpr char cr[] = "cr", ni[] = "ni", si[] = "si", mn[] = "mn";
constexpr char from[] = "from", to[] = "to", step[] = "step";
constexpr char totalPressure[] = "total-pressure", coShare[] = "co-share";
constexpr char heatMass[] = "heat-mass", startCarbon[] = "start-carbon", o2Flow[] = "o2-flow",
               fesiGrade[] = "fesi-grade", basicity[] = "basicity";

// A figure of the simulation, ≥ 0 (the start temperature: any number; the
// core refuses one at or below −273 °C).
template <auto Field, const char* Name>
std::optional<std::string> setSimulation(Collected& c, const std::string& value) {
  const auto number = readNumber(value);
  if (!number) return notANumber(Name, value);
  if (std::string_view(Name) != "start-temperature" && !(*number >= 0))
    return "--" + std::string(Name) + " must not be negative";
  c.options.simulation.*Field = *number;
  return std::nullopt;
}

constexpr char startTemperature[] = "start-temperature", rateConstant[] = "rate-constant", heatLoss[] = "heat-loss",
               slagMass[] = "slag-mass", reductionTime[] = "reduction-time";

constexpr std::array<OptionRow, 28> optionRows{{
    {"reaction", setReaction},
    {"a", setA},
    {"b", setB},
    {"other-a", setOtherA},
    {"other-b", setOtherB},
    {"cr", setComposition<&CurveComposition::chromium, cr, true>},
    {"ni", setComposition<&CurveComposition::nickel, ni, false>},
    {"si", setComposition<&CurveComposition::silicon, si, false>},
    {"mn", setComposition<&CurveComposition::manganese, mn, false>},
    {"pressures", setPressures},
    {"from", setTemperature<&TemperatureRange::startCelsius, from>},
    {"to", setTemperature<&TemperatureRange::endCelsius, to>},
    {"step", setTemperature<&TemperatureRange::stepCelsius, step>},
    {"total-pressure", setMixture<&GasMixture::totalPressure, totalPressure>},
    {"co-share", setMixture<&GasMixture::coShare, coShare>},
    {"stages", setStages},
    {"plan", setPlan},
    {"target", setTarget},
    {"heat-mass", setHeat<&HeatCharge::massTonnes, heatMass>},
    {"start-carbon", setHeat<&HeatCharge::startCarbon, startCarbon>},
    {"o2-flow", setHeat<&HeatCharge::oxygenFlow, o2Flow>},
    {"fesi-grade", setHeat<&HeatCharge::fesiGrade, fesiGrade>},
    {"basicity", setHeat<&HeatCharge::basicity, basicity>},
    {"start-temperature", setSimulation<&SimulationOptions::startTemperature, startTemperature>},
    {"rate-constant", setSimulation<&SimulationOptions::rateConstant, rateConstant>},
    {"heat-loss", setSimulation<&SimulationOptions::heatLoss, heatLoss>},
    {"slag-mass", setSimulation<&SimulationOptions::slagMass, slagMass>},
    {"reduction-time", setSimulation<&SimulationOptions::reductionMinutes, reductionTime>},
}};

const OptionRow* findOption(std::string_view name) {
  for (const OptionRow& row : optionRows) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

// A and B of the chosen reaction: the given texts, else its first preset row.
std::optional<std::string> resolveLine(Collected& c) {
  const PresetRow& preset = reactionData(c.options.family.reaction).presets[0];
  const ReactionConstants texts{c.a.value_or(std::string(preset.a)), c.b.value_or(std::string(preset.b))};
  const auto line = readReactionLine(texts);
  if (!line) return "--a/--b: A '" + texts.a + "' and B '" + texts.b + "' must both be numbers";
  c.options.family.line = *line;
  const PresetRow& otherPreset = reactionData(otherReaction(c.options.family.reaction)).presets[0];
  const ReactionConstants other{c.otherA.value_or(std::string(otherPreset.a)),
                                c.otherB.value_or(std::string(otherPreset.b))};
  const auto otherLine = readReactionLine(other);
  if (!otherLine) {
    return "--other-a/--other-b: A '" + other.a + "' and B '" + other.b + "' must both be numbers";
  }
  c.options.otherLine = *otherLine;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ledgerProblem(const CurveCommandOptions& options) {
  return ledgerProblem(options.ledger, options.heat);
}

std::optional<std::string> ledgerProblem(bool ledger, const HeatCharge& heat) {
  if (ledger && (!heat.massTonnes || !heat.startCarbon)) {
    return std::string("--ledger needs --heat-mass and --start-carbon");
  }
  return std::nullopt;
}

std::optional<std::string> optionValueProblem(std::string_view option, const std::string& value) {
  Collected scratch;
  const OptionRow* row = findOption(option);
  return row ? row->set(scratch, value) : std::nullopt;
}

std::optional<std::string> planMembersProblem(const Plan& plan, bool pressuresGiven) {
  Collected c;
  c.options.family.reaction = plan.reaction;
  c.a = plan.constants.a;
  c.b = plan.constants.b;
  c.otherA = plan.otherConstants.a;
  c.otherB = plan.otherConstants.b;
  c.options.mixture.totalPressure = readNumber(plan.totalPressure).value_or(std::nan(""));
  c.options.mixture.coShare = readNumber(plan.coShare).value_or(std::nan(""));
  if (pressuresGiven) c.pressures = plan.pressures;
  if (auto error = resolveLine(c)) return error;
  return resolvePressures(c);
}

std::string conditionOfOption(std::string_view option) {
  const PlanMember* member = planMemberOfOption(option);
  return member ? std::string(member->place) : std::string();
}

std::optional<MemberOption> optionOfCondition(std::string_view condition) {
  const PlanMember* member = planMemberAt(condition);
  if (!member || !member->condition || member->option.empty()) return std::nullopt;
  return MemberOption{member->option, member->optional};
}

std::variant<CurveCommandOptions, std::string> parseCurveCommand(std::span<const std::string> args) {
  Collected c;
  std::set<std::string_view> given;  // each option once: a repeated one is a mistake, not a choice
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      c.options.help = true;
      continue;
    }
    if (bool* flag = arg == "--ledger"       ? &c.options.ledger
                     : arg == "--simulate"   ? &c.options.simulation.simulate
                     : arg == "--trajectory" ? &c.options.simulation.trajectory
                                             : nullptr) {
      if (*flag) return arg + " given twice";
      *flag = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) return "unexpected argument '" + arg + "'";
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const OptionRow* row = findOption(name);
    if (!row) return "unknown option '--" + name + "'";
    if (!given.insert(row->name).second) return "--" + name + " given twice";
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return "--" + name + " needs a value";
    }
    if (auto error = row->set(c, value)) return *error;
    if (std::string place = conditionOfOption(row->name); !place.empty()) {
      c.options.members.emplace_back(
          std::move(place), row->name == "reaction" ? std::string(planReactionName(c.options.family.reaction)) : value);
    }
  }
  c.options.given.insert(given.begin(), given.end());
  if (c.options.help) return c.options;
  if (c.options.planFile && c.options.stageFile) return std::string("--plan and --stages exclude each other");
  if (auto error = resolveLine(c)) return *error;
  if (auto error = resolvePressures(c)) return *error;
  const bool schedule = c.options.stageFile || c.options.planFile;
  if (c.options.targetCarbon && !schedule) return std::string("--target needs --stages or --plan");
  if (c.options.ledger && !schedule) return std::string("--ledger needs --stages or --plan");
  if (auto error = simulationProblem(c.options)) return *error;
  c.options.heat.silicon = c.options.family.composition.silicon;
  c.options.heat.chromium = c.options.family.composition.chromium;
  if (curveTemperatures(c.options.family.temperatures).empty()) {
    return "--from/--to/--step: need step > 0, to >= from and at most " + std::to_string(maxCurvePoints) +
           " temperatures";
  }
  return c.options;
}

int runCurveCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  auto parsed = parseCurveCommand(args);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    err << "velkarin-curve: " << *error << "\n\n" << curveCommandUsage();
    return curveExitUsage;
  }
  const CurveCommandOptions& options = std::get<CurveCommandOptions>(parsed);
  if (options.help) {
    out << curveCommandUsage();
    return curveExitOk;
  }
  if (options.simulation.simulate) return runSimulation(options, out, err);
  if (options.stageFile || options.planFile) return runSchedule(options, out, err);
  const std::vector<EquilibriumCurve> curves = equilibriumCurveFamily(options.family);
  out << curveFamilyTsv(curves);
  for (const EquilibriumCurve& curve : curves) {
    std::map<CarbonGap, int> gaps;
    int total = 0;
    for (const CurvePoint& point : curve.points) {
      if (point.carbon.gap == CarbonGap::None) continue;
      ++gaps[point.carbon.gap];
      ++total;
    }
    if (total == 0) continue;
    err << "velkarin-curve: note: " << curve.label << ": " << total << " of " << curve.points.size()
        << " temperatures without an equilibrium carbon content in [0.001, 5000] %C (";
    const char* separator = "";
    for (const auto& [reason, count] : gaps) {
      err << separator << carbonGapId(reason) << ": " << count;
      separator = ", ";
    }
    err << ")\n";
  }
  return curveExitOk;
}

}  // namespace velkarin
