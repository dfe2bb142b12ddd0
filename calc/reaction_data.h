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

}  // namespace velkarin
