// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow simulation's two plant constants fitted to the plant's heat logs:
// the rate constant k (1/min) and the heat loss L (°C/min) that minimise
//   Σ ((ln C_pred − ln C_meas)/σ_C)² + ((T_pred − T_meas)/σ_T)²
// over every measured stage end (a stage's %C and t, each optional), k in
// [0.01, 10] and L in [0, 20], by Ceres Solver's Levenberg–Marquardt with
// forward-difference derivatives, the heats evaluated on several threads.
// The standard errors come from (JᵀJ)⁻¹ at the optimum scaled by the
// residual variance s² = Σr²/(n − 2). The honest error is a 5-fold
// cross-validation by heat: the heats shuffled with a fixed seed, each fifth
// predicted by the fit to the other four.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/blow_simulation.h"

namespace velkarin {

// One heat as blown: its charge and the simulation's settings (k and L are
// the fit's), its stages with the oxygen given, and what was measured at
// each stage's end.
struct LoggedHeat {
  std::string id;
  SimulationHeat heat;
  std::vector<SimulationStage> stages;
  std::vector<std::optional<double>> endCarbon;       // per stage, mass % (> 0)
  std::vector<std::optional<double>> endTemperature;  // per stage, °C
};

struct CalibrationSettings {
  double sigmaCarbon = 0.10;        // σ_C, in ln %C (about ±10 % in %C)
  double sigmaTemperature = 10;     // σ_T, °C
  double startRateConstant = 0.30;  // where the fit starts, 1/min
  double startHeatLoss = 1.5;       // °C/min
  int maxIterations = 100;          // of the solver, per fit
  std::size_t folds = 5;
  unsigned seed = 20261210;  // the shuffle of the heats into folds
  int threads = 2;
  // Asked between the solver's iterations; the fit ends (Cancelled) when it says no.
  std::function<bool()> keepGoing;
};

inline constexpr double lowestRateConstant = 0.01, highestRateConstant = 10;  // 1/min
inline constexpr double lowestHeatLoss = 0, highestHeatLoss = 20;             // °C/min
inline constexpr std::size_t fewestCalibrationHeats = 3;

enum class CalibrationProblem {
  None,
  TooFewHeats,     // fewer than three heats that can be simulated
  NoMeasuredEnds,  // no stage end with a measured %C or t
  NotConverged,    // the solver stopped without converging
  Undetermined,    // the measured ends do not fix both k and L (JᵀJ singular: no temperatures, say)
  NotFinite,       // a fitted figure or its error is beyond the number range
  Cancelled,       // keepGoing said no
};

// A measured stage end beside its prediction (under the fit of all heats).
struct EndResidual {
  std::size_t heat = 0;   // index into the heats given
  std::size_t stage = 0;  // 0-based
  std::optional<double> carbonMeasured, carbonPredicted;
  std::optional<double> temperatureMeasured, temperaturePredicted;
};

struct Calibration {
  CalibrationProblem problem = CalibrationProblem::None;
  // Set only without a problem:
  double rateConstant = 0, rateConstantError = 0;  // k ± se, 1/min
  double heatLoss = 0, heatLossError = 0;          // L ± se, °C/min
  double correlation = 0;                          // of k and L
  std::size_t heats = 0;                           // heats used
  std::size_t ends = 0;                            // measured stage ends used
  std::size_t excluded = 0;                        // heats left out: their simulation fails at the start
  std::optional<double> rmsLnCarbon;               // over the measured %C ends; none without any
  std::optional<double> rmsTemperature;            // °C, over the measured t ends
  // Held out: each fold predicted by the fit to the others (none with fewer
  // heats than folds, or where a fold's fit fails).
  std::optional<double> heldOutRmsLnCarbon;
  std::optional<double> heldOutRmsTemperature;
  std::vector<EndResidual> residuals;  // every measured end of the heats used
  std::size_t iterations = 0;          // of the fit to all heats
};

// `fold` of every heat: heats shuffled with `seed`, then dealt round-robin.
std::vector<std::size_t> calibrationFolds(std::size_t heats, std::size_t folds, unsigned seed);

Calibration calibrateBlow(std::span<const LoggedHeat> heats, const CalibrationSettings& settings = {});

// The heat simulated with k and L set: its stages' end %C and t, and its
// path where `path` (nothing where the heat cannot be simulated).
std::optional<BlowSimulation> simulateLoggedHeat(const LoggedHeat& heat, double rateConstant, double heatLoss,
                                                 bool path = true);

}  // namespace velkarin
