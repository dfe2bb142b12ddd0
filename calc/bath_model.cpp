// SPDX-License-Identifier: Apache-2.0
#include "calc/bath_model.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <limits>

#include "calc/bath_equilibrium.h"
#include "calc/free_energy.h"
#include "calc/reaction_data.h"

namespace velkarin {

using bath::countedCarbon;
using bath::countedRoot;
using bath::lnPressureRatio;
using bath::newtonSteps;
using bath::newtonStop;
using bath::ReactionAt;

namespace {

constexpr double oxygenPerCarbonKg = 0.5 / molar::carbon;  // kmol O2 per kg C (C + ½O2 → CO)

}  // namespace

double oxidePerChromium(Reaction oxide) {
  return oxide == Reaction::Cr2O3 ? (2 * molar::chromium + 3 * molar::oxygen) / (2 * molar::chromium)
                                  : (3 * molar::chromium + 4 * molar::oxygen) / (3 * molar::chromium);
}

double chromiumPerOxygen(Reaction oxide) {  // 4Cr + 3O2 → 2Cr2O3, 3Cr + 2O2 → Cr3O4
  return (oxide == Reaction::Cr2O3 ? 4.0 / 3.0 : 3.0 / 2.0) * molar::chromium;
}

double chromiumHeat(Reaction oxide) { return oxide == Reaction::Cr2O3 ? bath::cr2o3Heat : bath::cr3o4Heat; }

std::optional<BathGoverningCarbon> governingEquilibrium(const std::array<ReactionLine, 2>& lines, double celsius,
                                                        double coPressure, const CurveComposition& composition) {
  if (!(coPressure > 0)) return BathGoverningCarbon{bath::carbonFloor, Reaction::Cr2O3};  // no CO: nothing holds C
  const auto root = [&](Reaction r) {
    return countedRoot(equilibriumCarbon(r, lines[reactionIndex(r)], celsius, coPressure, composition));
  };
  const std::optional<double> cr2o3 = root(Reaction::Cr2O3), cr3o4 = root(Reaction::Cr3O4);
  if (!cr2o3 && !cr3o4) return std::nullopt;
  if (cr2o3 && (!cr3o4 || *cr2o3 >= *cr3o4)) return BathGoverningCarbon{*cr2o3, Reaction::Cr2O3};
  return BathGoverningCarbon{*cr3o4, Reaction::Cr3O4};
}

Reaction BathModel::burntOxide(const BathRates& r) const {
  if (c_.heldOxide) return *c_.heldOxide;
  return r.equilibrium ? r.equilibrium->oxide : Reaction::Cr2O3;
}

double BathModel::supplyRate() const { return 2 * c_.coShare * c_.oxygen * molar::carbon; }

double BathModel::pressureAt(double rate) const {
  if (c_.inert == 0) return c_.totalPressure;
  const double co = rate / molar::carbon;  // kmol CO/min
  return c_.totalPressure * co / (co + c_.inert);
}

double BathModel::heatCapacity(double slagKg) const {
  return bath::metalHeatCapacity * c_.bathMass + bath::slagHeatCapacity * slagKg;
}

CurveComposition BathModel::composition(const BathState& y) const {
  // A mass a trial step takes just below zero counts as none.
  return {100 * std::max(y[chromiumKg], 0.0) / c_.bathMass, c_.nickel, 100 * std::max(y[siliconKg], 0.0) / c_.bathMass,
          c_.manganese};
}

// The equilibrium carbon at a CO pressure: the held oxide's (as the
// governing rule counts it), else the governing one.
std::optional<BathGoverningCarbon> BathModel::equilibriumAt(const BathState& y, double pressure) const {
  const CurveComposition comp = composition(y);
  if (!c_.heldOxide) return governingEquilibrium(c_.lines, y[temperatureC], pressure, comp);
  const Reaction oxide = *c_.heldOxide;
  if (!(pressure > 0)) return BathGoverningCarbon{bath::carbonFloor, oxide};  // no CO: nothing holds C
  const ReactionAt eq(oxide, c_.lines[reactionIndex(oxide)], y[temperatureC], comp);
  const auto c = countedCarbon(eq, oxide, c_.lines, y[temperatureC], pressure, comp, supplyCarbonGuess_);
  if (!c) return std::nullopt;
  return BathGoverningCarbon{*c, oxide};
}

// g(r), kg/min; the equilibrium at p(r) into `at`.
double BathModel::transport(const BathState& y, double rate, std::optional<BathGoverningCarbon>* at) const {
  *at = equilibriumAt(y, pressureAt(rate));
  const double equilibrium = *at ? (*at)->carbon : bath::carbonFloor;
  const double carbon = 100 * y[carbonKg] / c_.bathMass;
  return c_.rateConstant * c_.bathMass * std::max(0.0, carbon - equilibrium) / 100;
}

// The rates by the bracketing solve of r = g(r) (TOMS748 over [0, r_sup],
// each g(r) with its own equilibrium solve: both reactions' full solves
// without a held oxide, the held one's otherwise): without a held oxide, and
// where the Newton solves of heldRates do not apply.
BathRates BathModel::governedRates(const BathState& y) const {
  BathRates r;
  r.supply = supplyRate();
  const double atSupply = transport(y, r.supply, &r.equilibrium);
  r.excess = atSupply - r.supply;
  r.supplyLimited = r.excess >= 0;
  if (r.supplyLimited) {
    r.carbon = r.supply;
  } else if (c_.inert == 0) {
    r.carbon = atSupply;  // p = P whatever the rate
  } else if (!(y[carbonKg] > 0)) {
    r.carbon = 0;
  } else {
    // r − g(r) rises from −g(0) < 0 to r_sup − g(r_sup) > 0.
    std::uintmax_t iterations = 200;
    std::optional<BathGoverningCarbon> at;
    double last = 0;  // the rate `at` belongs to
    const auto h = [&](double rate) {
      last = rate;
      return rate - transport(y, rate, &at);
    };
    const auto [lo, hi] = boost::math::tools::toms748_solve(h, 0.0, r.supply, -transport(y, 0.0, &at), -r.excess,
                                                            boost::math::tools::eps_tolerance<double>(52), iterations);
    // The bracket is a few doubles wide; its upper end is taken, with the
    // equilibrium there. Where g jumps (an equilibrium carbon entering the
    // range at its foot, 0.001 %C, as p rises) r − g(r) changes sign across
    // the jump and the bracket closes on it: r_C stays pinned there while the
    // bath moves, and the upper end, of the higher p, is the side on which
    // that reaction's root lies in the range. So the rate, its equilibrium
    // and its oxide do not depend on which end the solver evaluated last.
    r.carbon = hi;
    if (last == hi) {
      r.equilibrium = at;
    } else {
      transport(y, hi, &r.equilibrium);
    }
  }
  spendOxygen(r);
  return r;
}

void BathModel::spendOxygen(BathRates& r) const {
  r.pressure = pressureAt(r.carbon);
  const double spare = std::max(0.0, c_.oxygen - r.carbon * oxygenPerCarbonKg);  // kmol O2/min
  if (c_.siliconLeft) {
    r.silicon = spare * molar::silicon;
  } else {
    r.chromium = spare * chromiumPerOxygen(burntOxide(r));
  }
}

BathRates BathModel::rates(const BathState& y) const {
  if (c_.heldOxide) {
    if (auto r = heldRates(y, *c_.heldOxide)) return *r;
  }
  return governedRates(y);
}

// The rates with the held oxide's equilibrium, by Newton steps: C_eq at
// p(r_sup) in c, then, below the critical carbon with an inert gas, the
// root of F(r) = ΔG(c*(r), p(r)) with c*(r) = [%C] − 100·r/(k·M) in r. F
// rises in r (ΔG falls in c and rises with p) and has the sign of r − g(r)
// wherever c*(r) lies in the range of the equilibrium solve, so its root is
// the r = g(r) of the model with the equilibrium at p(r) equal to c*(r): one
// root solve instead of an equilibrium solve inside each step of another.
// Nothing where the shortcut does not apply (no valid reaction state, k = 0,
// c* or an equilibrium carbon outside the range): the caller takes
// governedRates, whose results these equal to a few units in the last place.
std::optional<BathRates> BathModel::heldRates(const BathState& y, Reaction oxide) const {
  const CurveComposition comp = composition(y);
  const ReactionAt eq(oxide, c_.lines[reactionIndex(oxide)], y[temperatureC], comp);
  BathRates r;
  r.supply = supplyRate();
  const double supplyPressure = pressureAt(r.supply);
  if (!eq.valid() || !(supplyPressure > 0) || !(c_.rateConstant > 0)) return std::nullopt;
  const std::optional<double> atSupply = countedCarbon(eq, lnPressureRatio(supplyPressure), supplyCarbonGuess_);
  if (!atSupply) return std::nullopt;
  if (*atSupply != bath::carbonFloor) supplyCarbonGuess_ = *atSupply;
  r.equilibrium = BathGoverningCarbon{*atSupply, oxide};
  const double carbon = 100 * y[carbonKg] / c_.bathMass;
  const double transportAtSupply = c_.rateConstant * c_.bathMass * std::max(0.0, carbon - *atSupply) / 100;
  r.excess = transportAtSupply - r.supply;
  r.supplyLimited = r.excess >= 0;
  if (r.supplyLimited) {
    r.carbon = r.supply;
  } else if (c_.inert == 0) {
    r.carbon = transportAtSupply;  // p = P whatever the rate
  } else if (!(y[carbonKg] > 0)) {
    r.carbon = 0;
  } else if (!dilutedRates(eq, oxide, carbon, r)) {
    return std::nullopt;
  }
  spendOxygen(r);
  return r;
}

// With an inert gas, below the critical carbon: r_C where F(r) = 0, by
// Newton steps bracketed in r, into r; false where the shortcut does not apply.
bool BathModel::dilutedRates(const ReactionAt& eq, Reaction oxide, double carbon, BathRates& r) const {
  const double perPercent = c_.rateConstant * c_.bathMass / 100;  // k·M/100, kg/min per mass %
  const double inertCarbon = c_.inert * molar::carbon;            // n·M_C, kg/min: p(r) = P·r/(r + n·M_C)
  if (!(carbon > scan::start) || !(carbon <= scan::end)) return false;
  const auto lnRatioAt = [&](double rate) { return lnPressureRatio(pressureAt(rate)); };
  // F(0+) = −∞ < 0. The root has c* = C_eq ≥ 0.001 %C, so it lies below
  // the rate at which c* reaches the range's foot; there F > 0 unless the
  // held root at that p is at or below the foot.
  double lo = 0, hi = std::min(r.supply, perPercent * (carbon - scan::start));
  if (hi < r.supply && !(eq.freeEnergy(scan::start, lnRatioAt(hi)) > 0)) return floorRates(eq, oxide, carbon, hi, r);
  double rate = rateShareGuess_ * r.supply;
  if (!(rate > lo && rate < hi)) rate = 0.5 * hi;
  bool settled = false;
  for (int i = 0; i < newtonSteps && !settled; ++i) {
    const double c = carbon - rate / perPercent;
    const double f = eq.freeEnergy(c, lnPressureRatio(pressureAt(rate)));
    if (!std::isfinite(f)) return false;
    if (f == 0) {
      settled = true;
      break;
    }
    (f < 0 ? lo : hi) = rate;
    const double slope = -eq.carbonSlope(c) / perPercent + eq.pressureSlope() * (1 / rate - 1 / (rate + inertCarbon));
    double next = rate - f / slope;
    // A Newton step within the bracket (its ends included: a start on the
    // root itself steps by nothing) may settle the solve.
    if (next >= lo && next <= hi) settled = std::fabs(next - rate) <= newtonStop * rate;
    if (!settled && !(next > lo && next < hi)) next = lo + (hi - lo) / 2;  // Newton left the bracket: bisect
    rate = next;
  }
  if (!settled) return false;
  rateShareGuess_ = rate / r.supply;
  r.carbon = rate;
  r.equilibrium = BathGoverningCarbon{carbon - rate / perPercent, oxide};
  return true;
}

// Past hi (where c* reaches the range's foot) the equilibrium is the floor
// (g = k·M·[%C]/100) until p reaches p*, where ΔG(0.001 %C, p*) = 0 and the
// root enters the range (g jumps down, below r). So r_C is that floor rate
// where p is still below p* there, else it stays pinned at p* with
// C_eq = 0.001 %C, as governedRates takes the jump.
bool BathModel::floorRates(const ReactionAt& eq, Reaction oxide, double carbon, double hi, BathRates& r) const {
  const double perPercent = c_.rateConstant * c_.bathMass / 100;  // k·M/100, kg/min per mass %
  const double inertCarbon = c_.inert * molar::carbon;            // n·M_C, kg/min: p(r) = P·r/(r + n·M_C)
  const auto lnRatioAt = [&](double rate) { return lnPressureRatio(pressureAt(rate)); };
  const double floorRate = perPercent * carbon;
  if (floorRate < r.supply && eq.freeEnergy(scan::start, lnRatioAt(floorRate)) < 0) {
    r.carbon = floorRate;
    r.equilibrium = BathGoverningCarbon{bath::carbonFloor, oxide};
    return true;
  }
  // ΔG at a fixed c is affine in ln p: one step lands on p*.
  const double lnTarget = lnRatioAt(hi) - eq.freeEnergy(scan::start, lnRatioAt(hi)) / eq.pressureSlope();
  const double pressure = constants::standardPressure * std::exp(lnTarget);
  const double rate = inertCarbon * pressure / (c_.totalPressure - pressure);
  if (!(rate >= hi && rate <= std::min(floorRate, r.supply))) return false;
  r.carbon = rate;
  r.equilibrium = BathGoverningCarbon{scan::start, oxide};
  return true;
}

double BathModel::crossing(const BathState& y, const BathRates& r) const {
  if (!c_.heldOxide || !r.equilibrium) return INFINITY;
  const Reaction held = *c_.heldOxide;
  const Reaction other = otherReaction(held);
  const CurveComposition comp = composition(y);
  const ReactionAt eq(other, c_.lines[reactionIndex(other)], y[temperatureC], comp);
  const std::optional<double> rival =
      r.pressure > 0 ? countedCarbon(eq, other, c_.lines, y[temperatureC], r.pressure, comp, r.equilibrium->carbon)
                     : std::optional<double>(bath::carbonFloor);
  if (!rival) return INFINITY;
  const double lead = r.equilibrium->carbon - *rival;
  // A tie goes to Cr2O3: a held Cr3O4 has lost it already.
  if (lead == 0 && held == Reaction::Cr3O4) return -std::numeric_limits<double>::min();
  return lead;
}

void BathModel::derivative(const BathState& y, BathState& dydt) const {
  const BathRates r = rates(y);
  const double share = c_.holdCrossing ? cr2o3Share(y, r) : burntOxide(r) == Reaction::Cr2O3 ? 1.0 : 0.0;
  derivative(y, r, share, dydt);
}

void BathModel::derivative(const BathState& y, const BathRates& r, double cr2o3Share, BathState& dydt) const {
  // The chromium the spare oxygen burns, by oxide (with silicon left, none).
  const double spare = c_.siliconLeft ? 0 : std::max(0.0, c_.oxygen - r.carbon * oxygenPerCarbonKg);  // kmol O2/min
  const double toCr2O3 = spare * cr2o3Share * chromiumPerOxygen(Reaction::Cr2O3);
  const double toCr3O4 = spare * (1 - cr2o3Share) * chromiumPerOxygen(Reaction::Cr3O4);
  dydt[carbonKg] = -r.carbon;
  dydt[siliconKg] = -r.silicon;
  dydt[chromiumKg] = -(toCr2O3 + toCr3O4);
  dydt[slagKg] = r.silicon * (molar::silica / molar::silicon) +
                 (toCr2O3 * oxidePerChromium(Reaction::Cr2O3) + toCr3O4 * oxidePerChromium(Reaction::Cr3O4));
  dydt[chromiumToCr2O3Kg] = toCr2O3;
  dydt[chromiumToCr3O4Kg] = toCr3O4;
  const double released = bath::kilojoulesPerMegajoule *  // kJ/min
                          (bath::carbonHeat * r.carbon + bath::siliconHeat * r.silicon +
                           (chromiumHeat(Reaction::Cr2O3) * toCr2O3 + chromiumHeat(Reaction::Cr3O4) * toCr3O4));
  const double gas = c_.gasHeatCapacity * c_.inertFlow * (y[temperatureC] - bath::gasInletCelsius);  // kJ/min
  const double loss = c_.heatLoss * bath::metalHeatCapacity * c_.heatMass;                           // kJ/min
  dydt[temperatureC] = (released - gas - loss) / heatCapacity(y[slagKg]);
}

double BathModel::cr2o3Lead(const BathState& y) const {
  const double lead = crossing(y, rates(y));
  return c_.heldOxide == Reaction::Cr2O3 ? lead : -lead;
}

// d(lead)/dt along dy/dt with the given share, by a central difference over
// ±driftStep min. The lead is a smooth function of the state between roots
// inside the range; the difference's error (the lead's rounding, some 1e-16
// of it, over 2·driftStep, and a truncation of order driftStep²) is far
// below the drift that one oxide's burning adds to the other's.
double BathModel::crossingDrift(const BathState& y, const BathRates& r, double share) const {
  constexpr double driftStep = 1e-3;  // min
  BathState f, ahead = y, behind = y;
  derivative(y, r, share, f);
  for (std::size_t i = 0; i < bathStateSize; ++i) {
    ahead[i] += driftStep * f[i];
    behind[i] -= driftStep * f[i];
  }
  return (cr2o3Lead(ahead) - cr2o3Lead(behind)) / (2 * driftStep);
}

double BathModel::cr2o3Share(const BathState& y, const BathRates& r) const {
  const double cr2o3 = crossingDrift(y, r, 1), cr3o4 = crossingDrift(y, r, 0);
  return cr3o4 / (cr3o4 - cr2o3);
}

}  // namespace velkarin
