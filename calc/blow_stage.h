#pragma once

// A blow schedule: stages of gas ratio (or CO pressure), bath temperature and
// measured carbon. For each stage, the equilibrium carbon of both reactions
// (the continuous root of the calculation's own ΔG(c), as the diagram's
// curves), which oxide governs — the one with the higher equilibrium carbon:
// chromium goes into that oxide first — and the margin, measured − governing
// equilibrium carbon (positive: carbon still comes out before chromium burns;
// negative: chromium is being lost). And the two inverse questions for a
// target carbon: at which temperature, and at which gas ratio, does the stage
// reach it.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "calc/gas_ratio.h"

namespace velkarin {

// One stage as typed: a gas ratio ("3:1") or a CO pressure in Pa, the bath
// temperature in °C and, optionally (empty text), the measured [%C].
struct BlowStage {
  std::string gas;
  std::string temperature;
  std::string measuredCarbon;
};

// What every stage of a schedule shares.
struct StageSettings {
  std::array<ReactionLine, 2> lines{presetLine(Reaction::Cr2O3), presetLine(Reaction::Cr3O4)};  // by Reaction
  CurveComposition composition;
  GasMixture mixture;
};

struct StageResult {
  std::string problem;  // Chinese message where the stage's texts are not good; the rest is then unset
  PressureItem pressure;
  double temperatureCelsius = 0;            // °C
  std::optional<double> measuredCarbon;     // mass %
  std::array<EquilibriumCarbon, 2> carbon;  // by Reaction
  std::optional<Reaction> governing;        // the oxide with the higher equilibrium carbon
  std::optional<double> margin;             // measured − governing equilibrium carbon, mass %
};

StageResult evaluateStage(const BlowStage& stage, const StageSettings& settings);

// The governing equilibrium carbon of a stage, mass %: the higher of the two
// roots (a root below 0.001 %C counts as lower than any other).
std::optional<double> governingCarbon(const StageResult& result);

// The first stage whose governing equilibrium carbon is at or below the target.
std::optional<std::size_t> firstStageAtTarget(std::span<const StageResult> results, double targetCarbon);

// An inverse solve for one stage and a target carbon.
struct StageSolution {
  bool found = false;
  double temperatureCelsius = 0;  // °C: the solved one, or the stage's
  double coPressure = 0;          // Pa: the solved one, or the stage's
  double ratio = 0;               // O2 : inert of coPressure under the mixture; infinite for pure oxygen
  Reaction governing = Reaction::Cr2O3;
  std::string message;  // Chinese: the answer, or why there is none
};

// (a) The bath temperature at which the stage's p_CO puts the governing
// equilibrium carbon at the target: both reactions' ΔG(target) = 0 solved for
// T, the higher one governing. Found only within `range` (start to end).
StageSolution solveStageTemperature(const StageResult& stage, const StageSettings& settings, double targetCarbon,
                                    const TemperatureRange& range);

// (b) The CO pressure, and the gas ratio giving it, at which the stage's
// temperature puts the governing equilibrium carbon at the target; the lower
// pressure governs. Pure oxygen where even p_CO = P stays at or below the target.
StageSolution solveStagePressure(const StageResult& stage, const StageSettings& settings, double targetCarbon);

// A ratio as the engineer writes it: "2.35:1" at or above 1:1, "1:2.4" below,
// "1:0" for pure oxygen (three significant digits).
std::string ratioText(double ratio);

// The stage table: a header row, then one row per stage (number, gas, t,
// measured %C, p_CO, the two equilibrium carbons, the governing oxide, the
// margin; a stage with a problem has its texts and the problem only).
std::vector<std::vector<std::string>> stageTable(std::span<const BlowStage> stages,
                                                 std::span<const StageResult> results);

// The table as tab-separated text ("\n" after each row) and as CSV (UTF-8,
// CRLF after each row).
std::string stageTableTsv(const std::vector<std::vector<std::string>>& table);
std::string stageTableCsv(const std::vector<std::vector<std::string>>& table);

}  // namespace velkarin
