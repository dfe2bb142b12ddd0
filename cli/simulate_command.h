// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-curve --simulate --stages FILE: the blow simulated in time
// (calc/blow_simulation.h) on the command line, as a table of the stages
// and the reduction, or with --trajectory the path itself.

#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/blow_simulation.h"
#include "words/simulation_table.h"

namespace velkarin {

struct CurveCommandOptions;

// The stages of a CSV text: a header row naming the columns gas (or
// 气体比或CO分压) and, optionally, O2, C, lime, scrap and inert, in any order
// among others; then one stage per row (blank rows and rows before the
// header that start with "#" are skipped). An empty cell is no oxygen given,
// no end carbon, no addition, argon. The message of the first cell that
// cannot be read instead ("line 3: O2 'x' is not a number").
std::variant<std::vector<SimulationStage>, std::string> readSimulationStages(std::string_view text);

// The heat of the options: --heat-mass, --start-carbon, … and the composition.
SimulationHeat simulationHeat(const CurveCommandOptions& options);

// A problem of the heat in English, naming the option that sets it.
std::string simulationHeatEnglish(SimulationProblem problem);

// Runs --simulate: curveExitOk with the table (or the path) on `out`;
// curveExitInput when the stage file cannot be read; curveExitUsage when
// the options cannot make a heat.
int runSimulation(const CurveCommandOptions& options, std::ostream& out, std::ostream& err);

}  // namespace velkarin
