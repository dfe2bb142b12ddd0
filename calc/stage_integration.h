// SPDX-License-Identifier: Apache-2.0
#pragma once

// One stage of the blow simulation integrated in time: the bath model's
// state from the stage's start to its end (its oxygen blown, or its end
// carbon reached), with the events between placed on the integrator's dense
// output — the end carbon, silicon running out (the spare oxygen then goes
// to chromium), the first fall of r_C below r_sup (the critical carbon),
// chromium running out, and the other oxide's equilibrium carbon overtaking
// the governing one's (the model then follows that reaction) — and samples of
// the path on a grid and at each event. Between events the governing oxide is
// held, so the right-hand side the integrator sees is smooth. Where each
// oxide's own burning would carry the bath back over the crossing, the bath
// rides it instead (BathConditions::holdCrossing) until one oxide's burning
// leads away, which is an event too.

#include <optional>
#include <vector>

#include "calc/bath_model.h"
#include "calc/blow_simulation.h"

namespace velkarin {

struct StageIntegration {
  double maxMinutes = 0;                 // the stage ends here at the latest, min
  std::optional<double> targetCarbonKg;  // ends where m_C falls to this, kg
  double startMinutes = 0;               // blow time at the stage's start, min (for samples)
  double sampleStep = 0.5;               // min between grid samples, on the blow's clock
  SimulationTolerance tolerance;
};

enum class StageEnd { Time, TargetCarbon, ChromiumExhausted, NoEquilibrium, Frozen, Failed };

struct StageOutcome {
  StageEnd end = StageEnd::Time;
  BathState state{};                                     // at the end
  double minutes = 0;                                    // of the stage
  std::optional<double> criticalCarbon;                  // mass %
  double lowestTemperature = 0, highestTemperature = 0;  // °C
};

// Integrates `model` from `start`; appends the samples (the stage's start,
// the grid, the events, its end) to `path` with the blow time, and O2 as
// F·t from `oxygenFlow` (Nm³/min) on top of `startOxygen` (Nm³).
StageOutcome integrateStage(BathModel& model, const BathState& start, const StageIntegration& settings,
                            double oxygenFlow, double startOxygen, std::vector<PathSample>& path);

}  // namespace velkarin
