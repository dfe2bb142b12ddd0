// SPDX-License-Identifier: Apache-2.0
#pragma once

// The rates of the blow simulation (blow_simulation.h) at one state of the
// bath: how fast carbon, silicon and chromium burn, which oxide governs, and
// the derivative of the state the integrator follows. Every constant of the
// model is here, once, with its unit.

#include <array>
#include <optional>

#include "calc/blow_ledger.h"
#include "calc/equilibrium_curve.h"

namespace velkarin {

namespace bath {
class ReactionAt;
}

namespace bath {
// Heat of oxidation with the oxygen entering at 25 °C and the products at
// bath temperature, MJ per kg of the element burnt.
inline constexpr double carbonHeat = 9.0;    // C → CO
inline constexpr double siliconHeat = 27.0;  // Si → SiO2
inline constexpr double cr2o3Heat = 10.2;    // Cr → Cr2O3
inline constexpr double cr3o4Heat = 8.7;     // Cr → Cr3O4
// Heat taken to bring an addition to bath temperature and melt it, MJ/kg.
inline constexpr double scrapChill = 1.39;
inline constexpr double limeChill = 1.55;
// Heat capacities: of the metal and of the slag, kJ/(kg·K); of the inert gas
// leaving at bath temperature, kJ/(Nm³·K).
inline constexpr double metalHeatCapacity = 0.82;
inline constexpr double slagHeatCapacity = 1.25;
inline constexpr double argonHeatCapacity = 0.928;
inline constexpr double nitrogenHeatCapacity = 1.47;
inline constexpr double gasInletCelsius = 25;  // °C, the blown gas as it enters
inline constexpr double kilojoulesPerMegajoule = 1000;
inline constexpr double kilogramsPerTonne = 1000;
// The bath a stage should stay in, °C: below, the melt nears its liquidus;
// above, the lining wears beyond what it stands.
inline constexpr double lowestBathCelsius = 1450;
inline constexpr double highestBathCelsius = 1780;
// No liquid bath starts hotter than iron boils, °C: a start above it is a
// typing slip (1e300), whose figures would mean nothing.
inline constexpr double highestStartCelsius = 2861;
// A bath this cold has set, °C (well below any stainless steel's solidus):
// a stage that cools it so far (a tiny O2 flow, an enormous heat) cannot be
// blown, and the model's figures below it would mean nothing.
inline constexpr double frozenCelsius = 1200;
// The equilibrium carbon where ΔG < 0 already at the range's foot, and where
// ΔG > 0 still at its head, mass %.
inline constexpr double carbonFloor = 0;
inline constexpr double carbonCeiling = 5000;
}  // namespace bath

// The integrated state: masses in kg, temperature in °C.
enum BathIndex : std::size_t {
  carbonKg,
  siliconKg,
  chromiumKg,
  temperatureC,
  slagKg,
  chromiumToCr2O3Kg,  // chromium burnt so far to Cr2O3
  chromiumToCr3O4Kg,  // chromium burnt so far to Cr3O4
  bathStateSize,
};
using BathState = std::array<double, bathStateSize>;

// What stays the same over a stage.
struct BathConditions {
  std::array<ReactionLine, 2> lines;  // by Reaction
  double nickel = 0, manganese = 0;   // [%Ni], [%Mn], mass % (scrap brings them at the bath's own)
  double bathMass = 0;                // M, kg
  double heatMass = 0;                // 1000·W, kg
  double oxygen = 0;                  // q, kmol O2/min
  double inert = 0;                   // n, kmol/min (0: pure oxygen, p = P)
  double inertFlow = 0;               // F_inert, Nm³/min
  double gasHeatCapacity = 0;         // c_g, kJ/(Nm³·K)
  double totalPressure = 101325;      // P, Pa
  double coShare = 1;                 // η
  double rateConstant = 0;            // k, 1/min
  double heatLoss = 0;                // L, °C/min
  bool siliconLeft = false;           // spare oxygen goes to silicon
  // The oxide that governs between events: the stage integrator holds it,
  // so that the equilibrium carbon, and with it every rate, is that one
  // reaction's (a smooth right-hand side), and places the point where the
  // other reaction's equilibrium carbon overtakes it as an event (see
  // BathModel::crossing). None: the governing one at the state itself (the
  // larger root, as governingEquilibrium picks it).
  std::optional<Reaction> heldOxide;
  // The bath rides the crossing: where each oxide's own burning would carry
  // the bath back over the point where the two equilibria cross (the
  // chromium rate and its heat differ between the oxides), switching at the
  // crossing would chatter with no end. Instead the spare oxygen's chromium
  // then burns to both, the share to Cr2O3 (BathModel::cr2o3Share) such that
  // the two equilibrium carbons stay equal, until one oxide's own burning
  // leads away from the crossing (the share reaches 0 or 1). The held oxide
  // still gives the equilibrium carbon (the other's is equal on the crossing).
  bool holdCrossing = false;
};

// The governing equilibrium carbon at a temperature, CO pressure and
// composition: the larger of the two reactions' roots (Cr2O3 on a tie), with
// bath::carbonFloor and bath::carbonCeiling for roots below and above the
// range. Nothing where neither reaction has one.
struct BathGoverningCarbon {
  double carbon = 0;  // mass %
  Reaction oxide = Reaction::Cr2O3;
};
std::optional<BathGoverningCarbon> governingEquilibrium(const std::array<ReactionLine, 2>& lines, double celsius,
                                                        double coPressure, const CurveComposition& composition);

struct BathRates {
  double carbon = 0;                               // r_C, kg/min
  double silicon = 0;                              // r_Si, kg/min
  double chromium = 0;                             // r_Cr, kg/min
  double supply = 0;                               // r_sup, kg/min
  double pressure = 0;                             // p(r_C), Pa
  std::optional<BathGoverningCarbon> equilibrium;  // at p(r_C)
  bool supplyLimited = false;                      // g(r_sup) ≥ r_sup
  // g(r_sup) − r_sup, kg/min: the critical carbon's event. With a held
  // oxide, by that oxide's equilibrium at p(r_sup): the governing one
  // wherever the event is armed (supply-limited, so p(r_C) = p(r_sup));
  // below the critical carbon its sign still tells supplyLimited right.
  double excess = 0;
};

class BathModel {
 public:
  explicit BathModel(const BathConditions& conditions) : c_(conditions) {}

  const BathConditions& conditions() const { return c_; }
  BathConditions& conditions() { return c_; }

  double supplyRate() const;             // r_sup, kg C/min
  double pressureAt(double rate) const;  // p(r), Pa
  CurveComposition composition(const BathState& y) const;
  BathRates rates(const BathState& y) const;
  void derivative(const BathState& y, BathState& dydt) const;

  // The oxide chromium burns to at rates r: the held one, else the governing.
  Reaction burntOxide(const BathRates& r) const;

  // How far the held oxide still governs at rates r of state y: its
  // equilibrium carbon at p(r_C) less the other reaction's there, mass %,
  // negative once the other governs (for a held Cr3O4 already at a tie, as
  // governingEquilibrium breaks ties to Cr2O3). +∞ without a held oxide, or
  // where the other reaction has no equilibrium carbon.
  double crossing(const BathState& y, const BathRates& r) const;

  // dy/dt at rates r of state y with a share (0…1) of the spare oxygen's
  // chromium burnt to Cr2O3, the rest to Cr3O4.
  void derivative(const BathState& y, const BathRates& r, double cr2o3Share, BathState& dydt) const;
  // Cr2O3's equilibrium carbon less Cr3O4's at state y, mass % (the held
  // oxide's crossing value, signed for Cr2O3).
  double cr2o3Lead(const BathState& y) const;
  // How fast that lead changes at y with the given share to Cr2O3, mass %/min.
  double crossingDrift(const BathState& y, const BathRates& r, double cr2o3Share) const;
  // The share to Cr2O3 that keeps the lead from changing: in (0, 1) where
  // each oxide alone drives the bath back over the crossing (see holdCrossing).
  double cr2o3Share(const BathState& y, const BathRates& r) const;

  // The heat capacity of bath and slag, kJ/K.
  double heatCapacity(double slagKg) const;

 private:
  double transport(const BathState& y, double rate, std::optional<BathGoverningCarbon>* at) const;
  std::optional<BathGoverningCarbon> equilibriumAt(const BathState& y, double pressure) const;
  BathRates governedRates(const BathState& y) const;
  std::optional<BathRates> heldRates(const BathState& y, Reaction oxide) const;
  bool dilutedRates(const bath::ReactionAt& eq, Reaction oxide, double carbon, BathRates& r) const;
  bool floorRates(const bath::ReactionAt& eq, Reaction oxide, double carbon, double hi, BathRates& r) const;
  void spendOxygen(BathRates& r) const;  // p(r_C) and the spare oxygen's silicon or chromium

  BathConditions c_;
  // Starting points of the Newton solves, from the last call: C_eq(p(r_sup))
  // (mass %) and r_C / r_sup. They only shorten the solves; each result is
  // the root to a few units in the last place whatever the start.
  mutable double supplyCarbonGuess_ = 0.1;
  mutable double rateShareGuess_ = 0.5;
};

// kg of oxide per kg of chromium burnt, and kg of chromium per kmol of O2.
double oxidePerChromium(Reaction oxide);
double chromiumPerOxygen(Reaction oxide);
double chromiumHeat(Reaction oxide);  // MJ/kg Cr

}  // namespace velkarin
