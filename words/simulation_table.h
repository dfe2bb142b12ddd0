// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow simulated in time (calc/blow_simulation.h) as tables of cells:
// the stages with their totals and the reduction, as velkarin-curve
// --simulate prints them and the diagram's simulation panel shows, copies
// and saves them; and the path, one row per sample.

#include <string>
#include <string_view>
#include <vector>

#include "calc/blow_simulation.h"

namespace velkarin {

// The stage table, an empty line and the reduction, tab-separated, as
// velkarin-curve --simulate prints it; `stages` as read (for the gas cells).
std::string simulationTsv(const BlowSimulation& sim, const std::vector<SimulationStage>& stages);
// Its parts as cells: the header row, a row per stage and 合计; and the
// reduction's label and number rows.
std::vector<std::vector<std::string>> simulationRows(const BlowSimulation& sim,
                                                     const std::vector<SimulationStage>& stages);
std::vector<std::vector<std::string>> reductionRows(const BlowSimulation& sim);
// The path, one row per sample.
std::string trajectoryTsv(const BlowSimulation& sim);

// The 说明 of a stage: its problem, or its notes joined by "；"; `gas` is
// its gas cell as typed.
std::string simulatedStageText(const SimulatedStage& stage, std::string_view gas);

}  // namespace velkarin
