// SPDX-License-Identifier: Apache-2.0
#pragma once

// The two inverse questions of a blow stage for a target carbon: at which
// bath temperature (at the stage's p_CO), and at which CO pressure — so which
// gas ratio — (at the stage's temperature) is the governing equilibrium
// carbon equal to the target?
//
// With G the governing carbon of governingOxide() over both reactions, the
// answer is a root of g = G − target. Temperature: g is sampled over the
// whole range (either direction of either line, oxides crossing inside it),
// each sign change is closed by a bracketed root finder, and the closed-form
// temperature of each reaction, T = −A/(B + 19.147142·X(target)), is one of
// the samples, so a root that touches the target is found too. Pressure: G
// rises with p_CO at any T > 0, so there is at most one root in
// [minimumRatioPressure, P]. Every answer is put back into the forward
// evaluation of both reactions and kept only where the governing carbon
// equals the target within 1e-9 relative. The solves return values; each
// front end words them (solutionText here for the window and the table).

#include <optional>
#include <string>

#include "calc/blow_stage.h"

namespace velkarin {

enum class SolveStatus {
  Found,         // the value reaches the target, checked
  AnyRatio,      // pressure: even pure oxygen (p_CO = P) keeps G at or below the target
  NotReachable,  // nothing in the range reaches the target: nearest says how close it comes
  StageProblem,  // the stage gives nothing to solve from (its issue says why), or the target is not positive
};

struct StageSolution {
  SolveStatus status = SolveStatus::StageProblem;
  double temperatureCelsius = 0;  // °C: the solved one, or the stage's
  double coPressure = 0;          // Pa, in (0, P]: the solved one, or the stage's
  double ratio = 0;               // O2 : inert giving coPressure; infinite for pure oxygen
  Reaction governing = Reaction::Cr2O3;
  // Found by temperature where another temperature in range reaches the
  // target too: the next nearest to the stage's own.
  std::optional<double> otherCelsius;
  // NotReachable: the governing carbon nearest to the target within the
  // range, and where (°C for the temperature solve, Pa for the pressure).
  EquilibriumCarbon nearest;
  double nearestAt = 0;
  // NotReachable by temperature: the checked temperature outside the range
  // nearest to it that would reach the target, where there is one.
  std::optional<double> outsideCelsius;

  bool found() const { return status == SolveStatus::Found || status == SolveStatus::AnyRatio; }
};

// The relative tolerance of the forward check.
inline constexpr double solveTolerance = 1e-9;

StageSolution solveStageTemperature(const StageResult& stage, const StageSettings& settings, double targetCarbon,
                                    const TemperatureRange& range);

StageSolution solveStagePressure(const StageResult& stage, const StageSettings& settings, double targetCarbon);

// The governing equilibrium carbon of a state (either root's gap where it
// has none) and the oxide it belongs to.
struct GoverningCarbon {
  EquilibriumCarbon carbon;
  std::optional<Reaction> governing;
};
GoverningCarbon governingAt(const StageSettings& settings, double temperatureCelsius, double coPressure);

}  // namespace velkarin
