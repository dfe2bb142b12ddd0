// SPDX-License-Identifier: Apache-2.0
#pragma once

// A blow schedule: stages of gas ratio (or CO pressure), bath temperature and
// measured carbon. For each stage, the equilibrium carbon of both reactions
// (the continuous root of the calculation's own ΔG(c), as the diagram's
// curves), which oxide governs — the one with the higher equilibrium carbon:
// chromium goes into that oxide first — and the margin, measured − governing
// equilibrium carbon (positive: carbon still comes out before chromium burns;
// negative: chromium is being lost). And the two inverse questions for a
// target carbon (stage_solve.h): at which temperature, and at which gas
// ratio, does the stage reach it.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "calc/gas_ratio.h"
#include "calc/number_list.h"

namespace velkarin {

// One stage as typed: a gas ratio ("3:1") or a CO pressure in Pa, the bath
// temperature in °C and, optionally (empty text), the measured [%C].
struct BlowStage {
  std::string gas;
  std::string temperature;
  std::string measuredCarbon;
  std::string oxygen{};  // O2 blown in the stage, Nm³, as typed; empty: from η (blow_ledger.h)
  // What only the blow simulation reads: lime and scrap added at the stage's
  // start (kg; empty: none) and the gas diluting the oxygen ("Ar", "N2";
  // empty: Ar).
  std::string lime{};
  std::string scrap{};
  std::string inert{};

  bool operator==(const BlowStage&) const = default;
};

// What every stage of a schedule shares.
struct StageSettings {
  std::array<ReactionLine, 2> lines{presetLine(Reaction::Cr2O3), presetLine(Reaction::Cr3O4)};  // by Reaction
  CurveComposition composition;
  GasMixture mixture;
};

// What keeps a stage from having a governing oxide. The first group are
// texts (or settings) that are not good: nothing is computed. The second
// group are good texts at a state where the equilibrium is not defined: the
// pressure and temperature are read, the roots say why there are none.
enum class StageIssue {
  None,
  BadMixture,             // P or η out of range
  GasEmpty,               // nothing in the gas cell
  GasBad,                 // a gas item that is not good: gasProblem says how
  TemperatureEmpty,       // nothing in the temperature cell
  TemperatureNotANumber,  // no leading number
  TemperatureOutOfRange,  // a number beyond the double range
  BelowAbsoluteZero,      // t < −273 °C
  MeasuredNotPositive,    // a measured [%C] that is no number, or ≤ 0
  // The texts are good:
  AtAbsoluteZero,    // t = −273 °C: T = 0 K, ΔG does not depend on c
  PressureTooSmall,  // p_CO / 101325 underflows, so ln p_CO is −∞
  NoEquilibrium,     // neither reaction has a finite ΔG over the carbon range (t = 1e308, …)
};

struct StageResult {
  StageIssue issue = StageIssue::None;
  std::optional<ListProblem> gasProblem;  // with StageIssue::GasBad
  PressureItem pressure;
  double temperatureCelsius = 0;            // °C
  std::optional<double> measuredCarbon;     // mass %
  std::array<EquilibriumCarbon, 2> carbon;  // by Reaction
  std::optional<Reaction> governing;        // governingOxide(carbon)
  std::optional<double> margin;             // measured − governing equilibrium carbon, mass %

  // The texts were read: pressure and temperature are set (the roots may still be missing).
  bool read() const { return issue == StageIssue::None || issue >= StageIssue::AtAbsoluteZero; }
};

// Stage rows read their temperature and measured carbon by the prompts'
// leading-number rule ("1650℃", full-width digits).
StageResult evaluateStage(const BlowStage& stage, const StageSettings& settings);

// The one rule for the governing oxide, used by the table, the chart's
// readout and path and the inverse solves: the higher equilibrium carbon
// governs (chromium goes into that oxide first). A root above the range
// counts as above any other, a root below the range as below any other; a
// reaction without a defined root never governs. Nothing when neither has a
// root in or above the range. An exact tie goes to Cr2O3.
std::optional<Reaction> governingOxide(const std::array<EquilibriumCarbon, 2>& carbon);

// Whether `a` governs over `b` by that rule (strictly higher).
bool governsOver(const EquilibriumCarbon& a, const EquilibriumCarbon& b);

// The governing equilibrium carbon of a stage, mass %, where it lies in the range.
std::optional<double> governingCarbon(const StageResult& result);

// The first stage whose governing equilibrium carbon is at or below the target.
std::optional<std::size_t> firstStageAtTarget(std::span<const StageResult> results, double targetCarbon);

// A ratio as the engineer writes it, to three significant digits: "2.35:1"
// at or above 1:1, "1:12.7" below, "12300:1", and "1:0" for pure oxygen
// (an infinite ratio).
std::string ratioText(double ratio);

// The target carbon as every view writes it: its shortest exact text ("0.03").
std::string targetText(double targetCarbon);

// A table of cells (the stage table of words/chinese.h, the ledger's rows)
// as tab-separated text ("\n" after each row) and as CSV (UTF-8,
// CRLF after each row).
std::string stageTableTsv(const std::vector<std::vector<std::string>>& table);
std::string stageTableCsv(const std::vector<std::vector<std::string>>& table);

}  // namespace velkarin
