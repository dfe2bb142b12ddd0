// SPDX-License-Identifier: Apache-2.0
#pragma once

// Constant data shared by both calculation windows: the literal physical
// constants of the formulas, and per reaction the preset A/B rows with their
// tooltips and the prompt defaults.

#include <array>
#include <span>
#include <string_view>

#include "calc/records.h"

namespace velkarin {

// The literal values the formulas use, not more precise ones.
namespace constants {
inline constexpr double kelvinOffset = 273;         // °C -> K on input, K -> °C on output
inline constexpr double standardPressure = 101325;  // Pa
inline constexpr double rLn10 = 19.147142;          // R·2.303 = 8.314 × 2.303, J/(mol·K)
inline constexpr double lgE = 0.4343;               // lg x is formed as 0.4343 · ln x
inline constexpr double ln10 = 2.303;               // divisor in the lg K line
inline constexpr double gasConstant = 8.314;        // J/(mol·K), divisor in the lg K line
}  // namespace constants

// First-order interaction coefficients, both reactions: lg f_C = Σ e_C^j·[%j]
// and lg f_Cr = Σ e_Cr^j·[%j]. Each is written with the sign it has where the
// formula uses it; a "subtracted" one is the magnitude of a negative e.
namespace interaction {
inline constexpr double carbonOnCarbon = 0.14;         // e_C^C
inline constexpr double chromiumOnCarbon = 0.024;      // −e_C^Cr, subtracted
inline constexpr double nickelOnCarbon = 0.012;        // e_C^Ni
inline constexpr double manganeseOnCarbon = 0.012;     // −e_C^Mn, subtracted
inline constexpr double siliconOnCarbon = 0.08;        // e_C^Si
inline constexpr double chromiumOnChromium = -0.0003;  // e_Cr^Cr
inline constexpr double carbonOnChromium = 0.12;       // −e_Cr^C, subtracted
inline constexpr double nickelOnChromium = 0.0002;     // e_Cr^Ni
inline constexpr double siliconOnChromium = 0.0043;    // −e_Cr^Si, subtracted
// The Cr2O3 activity sum takes 2·lg f_Cr − 3·lg f_C through these combined
// literal values (2·e_Cr^j − 3·e_C^j, rounded as written), not the ones above.
inline constexpr double cr2o3Chromium = 0.0714;  // Cr
inline constexpr double cr2o3Carbon = 0.66;      // C, subtracted
inline constexpr double cr2o3Nickel = 0.0356;    // Ni, subtracted
inline constexpr double cr2o3Silicon = -0.2486;  // Si
inline constexpr double cr2o3Manganese = 0.036;  // Mn
}  // namespace interaction

// The carbon scan walks trial contents from scanStart by scanStep (added to
// the running double) while the trial is at most scanEnd; it stops at the
// first trial whose ΔG lies strictly inside (windowLow, windowHigh).
namespace scan {
inline constexpr double start = 0.001;    // mass %
inline constexpr double end = 5000;       // mass %
inline constexpr double step = 0.000001;  // mass %
inline constexpr double windowLow = 0;    // J/mol, excluded
inline constexpr double windowHigh = 2;   // J/mol, excluded
}  // namespace scan

struct PresetRow {
  std::string_view a;  // A, J/mol, as the drop-down shows it
  std::string_view b;  // B, J/(mol·K)
};

struct ReactionData {
  Reaction reaction;
  std::string_view name;               // "Cr2O3" / "Cr3O4"
  std::span<const PresetRow> presets;  // row i of A belongs with row i of B
  std::string_view tooltipA;
  std::string_view tooltipB;
  double defaultCarbon;  // mass %, default of the [%C] prompt
};

const ReactionData& reactionData(Reaction reaction);

// The span of a reaction's preset rows: the least and the greatest A and B
// among them (the rows' texts as read by readConstantText).
struct PresetSpan {
  double lowA = 0, highA = 0;  // J/mol
  double lowB = 0, highB = 0;  // J/(mol·K)
};
PresetSpan presetSpan(Reaction reaction);

}  // namespace velkarin
