// SPDX-License-Identifier: Apache-2.0
#pragma once

// The book-keeping of a blow, stage by stage: what each stage costs in
// oxygen and inert gas, how much of the oxygen went to carbon, how much
// silicon and chromium it burnt, and the reduction that wins the chromium
// back. For a heat of W tonnes with charge carbon C0:
//
//   carbon removed   m_C = (C_{k−1} − C_k)·W·10 kg          (C + ½O2 → CO)
//   oxygen to carbon V_C = m_C·½·V_m/M_C Nm³, CO made m_C·V_m/M_C Nm³
//   stage oxygen     V_k = the typed O2, or V_C/η where it is empty
//   the rest         first to the silicon still in the bath (Si + O2 → SiO2),
//                    then to chromium as the stage's governing oxide
//                    (4Cr + 3O2 → 2Cr2O3, 3Cr + 2O2 → Cr3O4)
//   inert gas        V_k/r for the stage's O2 : inert ratio r (0 for 1:0)
//   duration         V_k/F with an oxygen flow F
//
// Iron and manganese are not oxidised here, so the chromium figure is the
// most that can be lost; the melt mass is W throughout. The reduction wins
// all the chromium back with silicon (2Cr2O3 + 3Si → 4Cr + 3SiO2,
// Cr3O4 + 2Si → 3Cr + 2SiO2) or aluminium (Cr2O3 + 2Al → 2Cr + Al2O3,
// 3Cr3O4 + 8Al → 9Cr + 4Al2O3), by the oxide each stage formed; lime for a
// basicity CaO/SiO2 over all the SiO2 of the blow and the reduction.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/blow_stage.h"

namespace velkarin {

// Molar masses, g/mol (= kg/kmol), and the molar volume of a gas at 0 °C
// and 101325 Pa, Nm³/kmol.
namespace molar {
inline constexpr double carbon = 12.011;
inline constexpr double oxygen = 15.999;
inline constexpr double silicon = 28.085;
inline constexpr double chromium = 51.996;
inline constexpr double aluminium = 26.982;
inline constexpr double calcium = 40.078;
inline constexpr double volume = 22.414;
inline constexpr double silica = silicon + 2 * oxygen;  // SiO2
inline constexpr double lime = calcium + oxygen;        // CaO
}  // namespace molar

// The heat the schedule is blown on.
struct HeatCharge {
  std::optional<double> massTonnes;   // W, t, > 0
  std::optional<double> startCarbon;  // C0, mass %, > 0
  double silicon = 0;                 // [%Si] of the charge, mass %
  double chromium = 18;               // [%Cr] of the charge, mass %
  std::optional<double> oxygenFlow;   // F, Nm³/min, > 0; none: no durations
  double fesiGrade = 75;              // Si in the ferrosilicon, mass %, 0 < g ≤ 100
  double basicity = 1.8;              // CaO/SiO2 of the slag, > 0
};

// What a heat or a stage cannot be booked for.
enum class LedgerProblem {
  None,
  // The heat (every stage then has it too):
  NoMass,           // W missing
  MassNotPositive,  // W ≤ 0
  NoStartCarbon,    // C0 missing
  StartCarbonNotPositive,
  BadCoShare,     // η out of (0, 1]
  BadFesiGrade,   // g out of (0, 100]
  BadBasicity,    // B ≤ 0
  BadOxygenFlow,  // F ≤ 0
  SiliconOrChromiumNegative,
  HeatOutOfRange,         // W·10 kg per %, or the charge Si or Cr in kg, beyond the double range
  StartCarbonOutOfRange,  // the charge carbon in kg, or the O2 it takes in Nm³, beyond the double range
  OxygenFlowTooSmall,     // F so small that a stage's minutes are beyond the double range
  FesiGradeTooSmall,      // g so small that the FeSi is beyond the double range
  BasicityTooLarge,       // B so large that the CaO is beyond the double range
  // A stage:
  StageNotRead,         // its gas or temperature cannot be read (its issue)
  NoEndCarbon,          // no measured (planned) %C
  EndCarbonAboveStart,  // its end carbon is above the carbon before it
  OxygenNotANumber,     // the O2 cell is not a positive number
  OxygenBelowCarbon,    // typed O2 below what its carbon alone takes
  NoGoverningOxide,     // chromium would burn but no oxide governs
  ChromiumExhausted,    // it would burn more chromium than the bath has left
  OxygenOutOfRange,     // its O2 makes a figure (or a running total) beyond the double range
  AfterUnknownCarbon,   // typed O2 below the carbon since the last known end carbon (a stage between has none)
};

struct LedgerStage {
  LedgerProblem problem = LedgerProblem::None;
  double needed = 0;                 // with OxygenBelowCarbon: V_C, Nm³; with ChromiumExhausted: kg Cr it would burn
  double chromiumLeft = 0;           // with ChromiumExhausted: kg Cr in the bath before the stage
  double oxygen = 0;                 // V_k, Nm³
  bool oxygenTyped = false;          // V_k from the O2 cell (else V_C/η)
  double inert = 0;                  // Nm³
  std::optional<double> minutes;     // with an oxygen flow
  double carbonRemoved = 0;          // kg
  double carbonOxygen = 0;           // V_C, Nm³
  double carbonMonoxide = 0;         // Nm³
  double efficiency = 0;             // V_C / V_k, 0…1
  double siliconOxidised = 0;        // kg
  double chromiumOxidised = 0;       // kg
  Reaction oxide = Reaction::Cr2O3;  // what the chromium burns to
  double chromiumAfter = 0;          // [%Cr] at the end of the stage, mass %
  std::optional<double> margin;      // the stage's margin, mass % (negative: chromium is lost)
  // A booked stage whose end carbon is below its governing equilibrium
  // carbon (margin < 0) while its figures burn no chromium or take the
  // efficiency from η (an empty O2 cell): the decarburisation they book
  // cannot happen at that efficiency. A note, not a problem: totals stay.
  bool efficiencyUnreachable = false;
};

struct Reduction {
  double silicon = 0;    // kg Si that wins back all the chromium
  double fesi = 0;       // kg of ferrosilicon of the heat's grade
  double aluminium = 0;  // kg Al that would do the same
  double silica = 0;     // kg SiO2 of the blow and of the reduction by Si
  double lime = 0;       // kg CaO for the basicity
  double slag = 0;       // kg CaO + SiO2
};

struct BlowLedger {
  LedgerProblem problem = LedgerProblem::None;  // of the heat; the stages then have nothing
  std::vector<LedgerStage> stages;              // one per stage
  // Set only when the heat and every stage are good:
  std::optional<LedgerStage> totals;  // sums; efficiency of the sums; [%Cr] and oxide of the last stage
  std::optional<Reduction> reduction;
};

// The ledger of a schedule: `stages` as typed (their O2 cells), `results`
// their evaluation under `mixture` (one per stage).
BlowLedger blowLedger(std::span<const BlowStage> stages, std::span<const StageResult> results, const HeatCharge& heat,
                      const GasMixture& mixture);

// The ledger as a table of cells (built by ledgerTable, words/chinese.h):
// the header row, one row per stage, the 合计 row; then the reduction as
// label–number pairs.
struct LedgerTable {
  std::vector<std::vector<std::string>> rows;                  // header, stages, 合计
  std::vector<std::pair<std::string, std::string>> reduction;  // 还原Si/kg …
};
// The table as tab-separated text: the rows, an empty line, then one line
// per reduction figure (its label, a tab, its number); "\n" after every line.
std::string ledgerTsv(const LedgerTable& table);
std::string ledgerCsv(const LedgerTable& table);

// A number with a fixed count of decimals ("671.8", "70.71"), never "-0.0".
std::string fixedText(double value, int decimals);

}  // namespace velkarin
