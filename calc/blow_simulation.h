// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow in time: one well-mixed bath whose carbon, silicon, chromium,
// temperature and slag change minute by minute while oxygen is blown, stage
// after stage, then the reduction that wins the chromium back.
//
//   carbon   r_C = r_sup = 2·η·q·M_C kg/min while the bath can take it; below
//            the critical carbon the transport limit g(r) = k·M·max(0, [%C] −
//            C_eq(p(r)))/100 with p(r) the CO pressure of the leaving gas, and
//            r_C the one r in (0, r_sup) with r = g(r)
//   silicon  the oxygen carbon leaves, while the bath has silicon
//   chromium the rest, as the oxide that governs at p(r_C) (where each
//            oxide's burning would carry the bath back over the crossing of
//            the two equilibria, split between both so that they stay equal)
//   heat     dT/dt = (Σ h_X·r_X − c_g·F_inert·(T − 25) − L·c_m·1000·W) / (c_m·M + c_s·S)
//
// Fe and Mn are not oxidised, nothing burns above the bath (no
// post-combustion), and the bath mass M is 1000·W plus the scrap added. The
// path is integrated by Boost.Odeint (Dormand–Prince 5(4) with dense output);
// a stage's end carbon, silicon running out, the first fall of r_C below
// r_sup and each change of the governing oxide are placed on the dense output
// to 1e-9 relative in time.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/blow_stage.h"
#include "calc/gas_ratio.h"

namespace velkarin {

enum class InertGas { Argon, Nitrogen };

// The heat as charged, and the parameters of the model.
struct SimulationHeat {
  std::optional<double> massTonnes;        // W, t, > 0
  std::optional<double> startCarbon;       // C0, mass %, > 0
  std::optional<double> startTemperature;  // T0, °C, > −273 and ≤ 2861 (iron boils)
  std::optional<double> oxygenFlow;        // F, Nm³/min, > 0
  CurveComposition composition;            // [%Cr] > 0, [%Ni], [%Si], [%Mn] ≥ 0 as charged
  double slagMass = 0;                     // S0, kg, ≥ 0
  double rateConstant = 0.30;              // k, 1/min, ≥ 0
  double heatLoss = 1.5;                   // L, °C/min, ≥ 0
  double reductionMinutes = 5;             // t_red, min, ≥ 0
  double fesiGrade = 75;                   // Si in the ferrosilicon, mass %, 0 < g ≤ 100
  double basicity = 1.8;                   // B = CaO/SiO2, > 0
  std::array<ReactionLine, 2> lines{presetLine(Reaction::Cr2O3), presetLine(Reaction::Cr3O4)};  // by Reaction
  GasMixture mixture;                                                                           // P, η
};

// One stage as the engineer sets it.
struct SimulationStage {
  std::string gas;                   // a gas ratio ("3:1") or a CO pressure in Pa
  std::optional<double> oxygen;      // V_i, Nm³, ≥ 0; none: blow to endCarbon
  std::optional<double> endCarbon;   // the C cell, mass %, > 0; used where oxygen is none
  double lime = 0;                   // kg, added at the stage's start, ≥ 0
  double scrap = 0;                  // kg, added at the stage's start, ≥ 0
  InertGas inert = InertGas::Argon;  // the gas diluting the oxygen
};

// What keeps a heat or a stage from being simulated.
enum class SimulationProblem {
  None,
  // The heat (no stage is then simulated):
  NoMass,
  MassNotPositive,
  NoStartCarbon,
  StartCarbonNotPositive,
  NoStartTemperature,
  StartTemperatureBad,  // not finite, ≤ −273 °C, or above bath::highestStartCelsius (iron boils)
  NoOxygenFlow,
  OxygenFlowNotPositive,
  BadMixture,      // P or η out of range
  BadComposition,  // [%Cr] ≤ 0, or Ni, Si, Mn negative or not finite
  BadSlagMass,     // S0 < 0
  BadRateConstant,
  BadHeatLoss,
  BadReductionTime,
  BadFesiGrade,
  BadBasicity,
  NoStages,
  HeatOutOfRange,  // 1000·W kg, or a kg figure of the charge, beyond the double range
  // A stage (the stages after it are then not simulated):
  GasBad,                // the gas item is not good (gasProblem says how)
  NoEndCriterion,        // neither oxygen nor end carbon
  OxygenNegative,        // V_i < 0 or not finite
  EndCarbonNotPositive,  // a C cell ≤ 0 or not finite
  AdditionNegative,      // lime or scrap < 0 or not finite
  NoEquilibrium,         // neither reaction has an equilibrium carbon on the path
  ChromiumExhausted,     // the stage would burn all the chromium of the bath
  BathFrozen,            // the bath would cool below bath::frozenCelsius (it has set)
  IntegrationFailed,     // the integrator could not keep its tolerance
  AfterProblem,          // a stage before this one could not be simulated
};

// A note on a simulated stage (its figures stand).
enum class SimulationNote : unsigned {
  None = 0,
  EndCarbonNotBelowStart = 1,  // the C cell is at or above the stage's start carbon: nothing blown
  EndCarbonNotReached = 2,     // stopped at three times the oxygen its carbon alone takes at η = 1
  TemperatureOutside = 4,      // the bath left 1450–1780 °C during the stage
};
inline unsigned noteBits(SimulationNote n) { return static_cast<unsigned>(n); }

struct SimulatedStage {
  SimulationProblem problem = SimulationProblem::None;
  std::optional<ListProblem> gasProblem;  // with GasBad
  unsigned notes = 0;                     // SimulationNote bits
  double oxygen = 0;                      // Nm³ blown
  double inert = 0;                       // Nm³ of inert gas
  double minutes = 0;                     // min
  double endCarbon = 0;                   // [%C] at the end, mass %
  double endChromium = 0;                 // [%Cr], mass %
  double endSilicon = 0;                  // [%Si], mass %
  double endTemperature = 0;              // °C
  double carbonBurnt = 0;                 // kg
  double chromiumBurnt = 0;               // kg
  double chromiumToCr3O4 = 0;             // kg of chromiumBurnt that went to Cr3O4 (the rest to Cr2O3)
  double siliconBurnt = 0;                // kg
  double efficiency = 0;                  // O2 to carbon / O2 blown, 0…1 (1 where nothing is blown)
  std::optional<double> criticalCarbon;   // [%C] where r_C first fell below r_sup, mass %
  double lowestTemperature = 0;           // °C over the stage
  double highestTemperature = 0;          // °C over the stage
  double gasPressure = 0;                 // p_CO at the supply limit, Pa
  double bathMass = 0;                    // M at the end, kg
  double slagMass = 0;                    // S at the end, kg
};

struct SimulatedReduction {
  double silicon = 0;         // kg Si for all the chromium oxide formed
  double fesi = 0;            // kg of ferrosilicon of grade g
  double lime = 0;            // kg CaO: B·(all SiO2) less the lime added, ≥ 0
  double slag = 0;            // kg: S0 + all SiO2 + all lime and CaO
  double tapTemperature = 0;  // °C
  double tapChromium = 0;     // [%Cr] with all the chromium won back, mass %
};

// One point of the path, for drawing.
struct PathSample {
  double minutes = 0;                            // since the blow began, min
  double oxygen = 0;                             // since the blow began, Nm³
  double carbon = 0, chromium = 0, silicon = 0;  // mass %
  double temperature = 0;                        // °C
  std::optional<double> equilibriumCarbon;       // the governing C_eq at p(r_C), mass %
  std::optional<Reaction> oxide;                 // the oxide that governs there
};

struct BlowSimulation {
  SimulationProblem problem = SimulationProblem::None;  // of the heat
  std::vector<SimulatedStage> stages;
  std::optional<SimulatedStage> totals;         // set when every stage was simulated
  std::optional<SimulatedReduction> reduction;  // likewise
  std::vector<PathSample> path;                 // every 0.5 min and at every event
};

// The integrator's tolerances: relative, and absolute in kg and °C.
struct SimulationTolerance {
  double relative = 1e-9;
  double absolute = 1e-7;
  // The path's samples are taken (false: the stages' figures only, as a fit
  // of many heats needs; the samples cost a rate evaluation each).
  bool path = true;
};

BlowSimulation simulateBlow(const SimulationHeat& heat, std::span<const SimulationStage> stages,
                            const SimulationTolerance& tolerance = {});

}  // namespace velkarin
