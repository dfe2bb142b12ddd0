// SPDX-License-Identifier: Apache-2.0
#include "calc/plan_simulation.h"

#include <array>
#include <string>

#include "calc/number_list.h"

namespace velkarin {
namespace {

// An optional figure: empty is none; otherwise a finite number or a problem.
struct Figure {
  std::optional<double> value;
  bool bad = false;
};
Figure figure(const std::string& text) {
  if (trimmedItem(text).empty()) return {};
  const std::optional<double> value = readFiniteNumber(text);
  return {value, !value};
}

struct HeatFigure {
  std::string_view path;
  const std::string PlanHeat::*text;
  std::optional<double> SimulationHeat::*optional;  // the heat's figure where it may be missing
  double SimulationHeat::*value;                    // or where an empty entry keeps the default
};
constexpr std::array<HeatFigure, 10> heatFigures{{
    {"heat/mass", &PlanHeat::mass, &SimulationHeat::massTonnes, nullptr},
    {"heat/startCarbon", &PlanHeat::startCarbon, &SimulationHeat::startCarbon, nullptr},
    {"heat/oxygenFlow", &PlanHeat::oxygenFlow, &SimulationHeat::oxygenFlow, nullptr},
    {"heat/fesiGrade", &PlanHeat::fesiGrade, nullptr, &SimulationHeat::fesiGrade},
    {"heat/basicity", &PlanHeat::basicity, nullptr, &SimulationHeat::basicity},
    {"heat/startTemperature", &PlanHeat::startTemperature, &SimulationHeat::startTemperature, nullptr},
    {"heat/slagMass", &PlanHeat::slagMass, nullptr, &SimulationHeat::slagMass},
    {"heat/rateConstant", &PlanHeat::rateConstant, nullptr, &SimulationHeat::rateConstant},
    {"heat/heatLoss", &PlanHeat::heatLoss, nullptr, &SimulationHeat::heatLoss},
    {"heat/reductionTime", &PlanHeat::reductionTime, nullptr, &SimulationHeat::reductionMinutes},
}};

// One stage's cells; the name of the first that cannot be read.
std::optional<std::string_view> readStage(const BlowStage& typed, SimulationStage& stage) {
  stage.gas = typed.gas;
  const Figure oxygen = figure(typed.oxygen), carbon = figure(typed.measuredCarbon);
  const Figure lime = figure(typed.lime), scrap = figure(typed.scrap);
  if (oxygen.bad) return "O2";
  if (carbon.bad) return "C";
  if (lime.bad) return "lime";
  if (scrap.bad) return "scrap";
  stage.oxygen = oxygen.value;
  stage.endCarbon = carbon.value;
  stage.lime = lime.value.value_or(0);
  stage.scrap = scrap.value.value_or(0);
  const std::string_view inert = trimmedItem(typed.inert);
  if (inert == "N2" || inert == "n2") {
    stage.inert = InertGas::Nitrogen;
  } else if (!inert.empty() && inert != "Ar" && inert != "ar") {
    return "inert";
  }
  return std::nullopt;
}

}  // namespace

PlanSimulationInput simulationInput(const Plan& plan, const StageSettings& settings) {
  PlanSimulationInput input;
  SimulationHeat& heat = input.heat;
  heat.composition = settings.composition;
  heat.lines = settings.lines;
  heat.mixture = settings.mixture;
  for (const HeatFigure& row : heatFigures) {
    const Figure f = figure(plan.heat.*row.text);
    if (f.bad) {
      if (!input.problem) input.problem = SimulationTextProblem{row.path, 0};
    } else if (row.optional) {
      heat.*row.optional = f.value;
    } else if (f.value) {
      heat.*row.value = *f.value;
    }
  }
  input.stages.resize(plan.stages.size());
  for (std::size_t i = 0; i < plan.stages.size() && !input.problem; ++i) {
    if (const auto member = readStage(plan.stages[i], input.stages[i])) input.problem = {*member, i + 1};
  }
  return input;
}

std::optional<BlowSimulation> simulatePlan(const PlanSimulationInput& input) {
  if (input.problem) return std::nullopt;
  return simulateBlow(input.heat, input.stages);
}

}  // namespace velkarin
