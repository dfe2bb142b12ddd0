// SPDX-License-Identifier: Apache-2.0
#pragma once

// A plan's texts read into the blow simulation's heat and stages: the
// ledger's heat entries, the simulation's own, the composition, P and η and
// both reactions' lines from the stage settings the diagram evaluated its
// stages under, and per stage its gas, O2, C, lime, scrap and inert cells.
// An empty heat figure stays empty (the simulation says which is missing);
// a text that is no number is a problem naming its place.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "calc/blow_simulation.h"
#include "calc/blow_stage.h"
#include "calc/plan.h"

namespace velkarin {

// The first text that cannot be read: a heat member's place ("heat/slagMass")
// with stage 0, or a stage's member ("lime") with its stage number from 1.
struct SimulationTextProblem {
  std::string_view member;
  std::size_t stage = 0;
};

struct PlanSimulationInput {
  SimulationHeat heat;
  std::vector<SimulationStage> stages;
  std::optional<SimulationTextProblem> problem;
};

PlanSimulationInput simulationInput(const Plan& plan, const StageSettings& settings);

// The simulation of a plan: nothing where a text cannot be read.
std::optional<BlowSimulation> simulatePlan(const PlanSimulationInput& input);

}  // namespace velkarin
