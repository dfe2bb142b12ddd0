// SPDX-License-Identifier: Apache-2.0
#pragma once

// Records that one calculation passes around: the melt state entered at the
// prompts, the reaction constants as typed into the drop-downs, and every
// quantity the calculation produces.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace velkarin {

// The reaction a calculation window treats.
enum class Reaction {
  Cr2O3,  // 3[C] + Cr2O3 = 2[Cr] + 3CO
  Cr3O4,  // 3[C] + 3/4 Cr3O4 = 9/4 [Cr] + 3CO
};

// A reaction's place in an array of both (StageSettings::lines, …): 0 for
// Cr2O3, 1 for Cr3O4.
constexpr std::size_t reactionIndex(Reaction reaction) { return reaction == Reaction::Cr2O3 ? 0 : 1; }

// The other of the two reactions.
inline Reaction otherReaction(Reaction reaction) {
  return reaction == Reaction::Cr2O3 ? Reaction::Cr3O4 : Reaction::Cr2O3;
}

// The seven inputs of one calculation, in prompt order.
struct MeltState {
  double temperature = 0;  // K: the entered °C plus 273 (not 273.15)
  double carbon = 0;       // [%C], mass %
  double chromium = 0;     // [%Cr], mass %
  double nickel = 0;       // [%Ni], mass %
  double silicon = 0;      // [%Si], mass %
  double manganese = 0;    // [%Mn], mass %
  double coPressure = 0;   // CO partial pressure, Pa
};

// ΔG° = A + B·T. Both stay text, exactly as the drop-downs show them; each
// formula converts them where it uses them, so a bad text faults there.
struct ReactionConstants {
  std::string a;  // A, J/mol
  std::string b;  // B, J/(mol·K)
};

// Why an equilibrium carbon content has no value.
enum class CarbonGap {
  None,          // found: the carbon content is set
  BelowRange,    // the equilibrium content lies below 0.001 %C (high T, low p_CO): the melt can lose more carbon
  AboveRange,    // the equilibrium content lies above 5000 %C (only near 10 K)
  InvalidInput,  // T ≤ 0 K (ΔG does not depend on c), p_CO ≤ 0, Cr ≤ 0, a value that is not finite
  NotConverged,  // the root finder ran out of steps before its bracket closed: no root is claimed
};

// Everything one calculation produces, in the order it is computed.
struct EquilibriumResult {
  double freeEnergyChange = 0;             // ΔG at the given state, J/mol
  double equilibriumTemperature = 0;       // T_eq, K
  double equilibriumPressureRatio = 0;     // p_eq / 101325 Pa
  bool scanHit = false;                    // the carbon scan met its window (0, 2) J/mol
  double trialCarbon = 0;                  // C* of the scan's last trial, mass %
  double trialFreeEnergy = 0;              // ΔG at C*, J/mol
  std::optional<std::int64_t> trialCount;  // trials missed before the hit; empty when none
  // The continuous root of the scan's ΔG(c) in [0.001, 5000] %C, computed
  // after the scan and independent of it: what the window shows when the
  // 0.000001 %C steps jump over the (0, 2) J/mol window.
  std::optional<double> equilibriumCarbon;                   // mass %; empty where ΔG keeps its sign over the range
  double equilibriumCarbonFreeEnergy = 0;                    // ΔG at equilibriumCarbon, J/mol (0 to rounding)
  CarbonGap equilibriumCarbonGap = CarbonGap::InvalidInput;  // None exactly when equilibriumCarbon is set
  double carbonCoefficient = 0;                              // f_C
  double chromiumCoefficient = 0;                            // f_Cr
  double equilibriumConstant = 0;                            // K from the rounded lg K line
  double pressureFromConstant = 0;                           // p_K, Pa
  double carbonFromConstant = 0;                             // C_K, mass %
};

// The fields of EquilibriumResult in computation order. A calculation that
// faults has computed exactly the fields before the one it was computing.
enum class ResultField {
  FreeEnergyChange,
  EquilibriumTemperature,
  EquilibriumPressureRatio,
  EquilibriumPressure,  // p_eq · 101325 Pa within the double range: the first results can be shown
  Scan,                 // scanHit, trialCarbon, trialFreeEnergy, trialCount and the equilibrium carbon together
  CarbonCoefficient,
  ChromiumCoefficient,
  EquilibriumConstant,
  PressureFromConstant,
  CarbonFromConstant,
  All,  // past the last field: everything computed
};

}  // namespace velkarin
