// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium carbon content as a continuous function of the melt state,
// and the family of curves "equilibrium %C against bath temperature, one curve
// per CO partial pressure" that the equilibrium diagram draws:
//
//   A, B (numbers) + reaction + t (°C) + p_CO (Pa) + Cr, Ni, Si, Mn (mass %)
//     ──> Cr2O3FreeEnergy / Cr3O4FreeEnergy, the calculation's own ΔG(c)
//     ──> the c in [0.001, 5000] %C at which ΔG(c) = 0, or the gap's reason
//
// ΔG(c) falls strictly as c grows for T > 0, so the root is bracketed by the
// scan's range and refined (secant steps in ln c, safeguarded by bisection)
// until the bracket is two adjacent doubles. Unlike the calculation's scan,
// which stops at the first 0.000001 %C trial with 0 < ΔG < 2 J/mol, this is
// the zero itself; at the worked examples the scan's hit lies about
// 0.00001 %C below the zero (its ΔG is just under 2 J/mol, on a slope of about
// 0.17 J/mol per 0.000001 %C).
//
// Nothing here throws for a state without a root in range or for an invalid
// state: the result says why there is no carbon content.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/free_energy.h"
#include "calc/records.h"

namespace velkarin {

// ΔG° = A + B·T of a reaction, as numbers.
struct ReactionLine {
  double a = 0;  // A, J/mol
  double b = 0;  // B, J/(mol·K)
};

// Converts the drop-down texts exactly as the calculation converts them
// (blanks around one decimal number, the point as decimal separator in every
// locale). Empty when either text is not a number or is beyond the double range.
std::optional<ReactionLine> readReactionLine(const ReactionConstants& constants);

// Preset row `row` (0-based) of a reaction, converted. Row 0 is the row a
// calculation window opens with. `row` must be below reactionData(r).presets.size().
ReactionLine presetLine(Reaction reaction, std::size_t row = 0);
// The same row's texts, as a calculation window shows them.
ReactionConstants presetConstants(Reaction reaction, std::size_t row = 0);

// The melt composition apart from carbon; the defaults are the prompt defaults.
struct CurveComposition {
  double chromium = 18;  // [%Cr], mass %
  double nickel = 9;     // [%Ni], mass %
  double silicon = 0;    // [%Si], mass %
  double manganese = 0;  // [%Mn], mass %
};

// Cr, Ni, Si and Mn of a melt state (for instance the last completed calculation's).
CurveComposition compositionOf(const MeltState& state);

// Stable identifier of a gap: "none", "below-range", "above-range", "invalid-input",
// "not-converged".
std::string_view carbonGapId(CarbonGap gap);

struct EquilibriumCarbon {
  std::optional<double> carbon;  // mass %, in [0.001, 5000]; set exactly when gap is None
  CarbonGap gap = CarbonGap::InvalidInput;
};

// The carbon content at which ΔG of `reaction` is zero, for a bath temperature
// in °C (T = t + 273 K, as the calculation converts it) and a CO partial
// pressure in Pa. The root is the double c with the smallest |ΔG(c)| among the
// two adjacent doubles that bracket the sign change of the computed ΔG.
EquilibriumCarbon equilibriumCarbon(Reaction reaction, const ReactionLine& line, double temperatureCelsius,
                                    double coPressure, const CurveComposition& composition);

// The carbon content in [0.001, 5000] %C at which f(c) equals `freeEnergy`
// (J/mol), by the same root finder. equilibriumCarbon() is the level 0; the
// scan's window edge 2 J/mol is another. InvalidInput when f.rt() is not a
// positive finite number (T ≤ 0 K) or f is not finite at the range ends.
EquilibriumCarbon carbonAtFreeEnergy(const Cr2O3FreeEnergy& f, double freeEnergy);
EquilibriumCarbon carbonAtFreeEnergy(const Cr3O4FreeEnergy& f, double freeEnergy);

// The carbon content in [0.001, 5000] %C at which f(c) changes sign, for
// either direction of f (T > 0: ΔG falls with c; T < 0: it rises), by the same
// root finder. The gap says on which side of the range the root lies when f
// has one sign over all of it (BelowRange: already at 0.001 %C ΔG has the sign
// it has past its root), and is InvalidInput when f.rt() is 0 or not finite or
// f is not finite at the range ends.
EquilibriumCarbon signChangeCarbon(const Cr2O3FreeEnergy& f);
EquilibriumCarbon signChangeCarbon(const Cr3O4FreeEnergy& f);

// The CO partial pressures of the default diagram, Pa, highest first.
inline constexpr std::array<double, 4> defaultCurvePressures{101325, 50000, 25000, 10000};

// Bath temperatures of a curve: t_i = start + i·step (each computed from i, not
// accumulated) for i = 0, 1, … while t_i ≤ end, allowing end to be met within
// 1e-9 of a step.
struct TemperatureRange {
  double startCelsius = 1400;  // °C
  double endCelsius = 1900;    // °C, included when start + i·step reaches it
  double stepCelsius = 1;      // °C, > 0
};

// The most points one curve may have.
inline constexpr std::size_t maxCurvePoints = 100001;

// The temperatures of a range, °C. Empty when the range is invalid: a value
// that is not finite, step ≤ 0, end < start, or more than maxCurvePoints points.
std::vector<double> curveTemperatures(const TemperatureRange& range);

struct CurvePoint {
  double temperatureCelsius = 0;  // °C
  EquilibriumCarbon carbon;       // %C at this temperature, or the gap
};

struct EquilibriumCurve {
  double coPressure = 0;           // Pa
  std::string label;               // curvePressureLabel(coPressure), or the label the inputs give
  std::vector<CurvePoint> points;  // one per temperature, in rising order
};

// The label of a curve: the pressure in Pa as its shortest decimal text in
// plain digits ("100000 Pa", never "1e+05 Pa"), then
// in parentheses the pressure as a multiple of 101325 Pa with three decimals:
// "101325 Pa (1.000)", "50000 Pa (0.493)", "10000 Pa (0.099)".
std::string curvePressureLabel(double coPressure);

// Everything a diagram is computed from.
struct CurveFamilyInputs {
  Reaction reaction = Reaction::Cr2O3;
  ReactionLine line = presetLine(Reaction::Cr2O3);  // A and B of `reaction`
  CurveComposition composition;
  std::vector<double> coPressures{defaultCurvePressures.begin(), defaultCurvePressures.end()};  // Pa, one curve each
  TemperatureRange temperatures;
  // The label of each curve (a gas ratio's "3:1 → 86850 Pa"); where missing
  // or empty, curvePressureLabel of its pressure.
  std::vector<std::string> labels;
};

// One curve per pressure, in the order of inputs.coPressures, all over the
// same temperatures (none when the range is invalid).
std::vector<EquilibriumCurve> equilibriumCurveFamily(const CurveFamilyInputs& inputs);

// The family as tab-separated text for a spreadsheet: a header row "t/℃" then
// one label per curve; one row per temperature with t (shortest decimal text)
// and each curve's %C with six decimals ("0.000000"), an empty cell for a gap.
// Every row, the header included, ends with "\n". The curves must share their
// temperatures (as those of equilibriumCurveFamily do); the first curve's are used.
std::string curveFamilyTsv(std::span<const EquilibriumCurve> curves);

}  // namespace velkarin
