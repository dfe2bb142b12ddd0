// SPDX-License-Identifier: Apache-2.0
#include "calc/bath_model.h"

#include <algorithm>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>

namespace velkarin {
namespace {

// A reaction's root as the governing rule counts it: the floor below the
// range, the ceiling above it, nothing where it has none.
std::optional<double> countedRoot(const EquilibriumCarbon& root) {
  switch (root.gap) {
    case CarbonGap::None:
      return root.carbon;
    case CarbonGap::BelowRange:
      return bath::carbonFloor;
    case CarbonGap::AboveRange:
      return bath::carbonCeiling;
    default:
      return std::nullopt;
  }
}

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

std::optional<GoverningCarbon> governingEquilibrium(const std::array<ReactionLine, 2>& lines, double celsius,
                                                    double coPressure, const CurveComposition& composition) {
  if (!(coPressure > 0)) return GoverningCarbon{bath::carbonFloor, Reaction::Cr2O3};  // no CO: nothing holds C
  const auto root = [&](Reaction r) {
    return countedRoot(equilibriumCarbon(r, lines[static_cast<std::size_t>(r)], celsius, coPressure, composition));
  };
  const std::optional<double> cr2o3 = root(Reaction::Cr2O3), cr3o4 = root(Reaction::Cr3O4);
  if (!cr2o3 && !cr3o4) return std::nullopt;
  if (cr2o3 && (!cr3o4 || *cr2o3 >= *cr3o4)) return GoverningCarbon{*cr2o3, Reaction::Cr2O3};
  return GoverningCarbon{*cr3o4, Reaction::Cr3O4};
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

// g(r), kg/min; the governing equilibrium at p(r) into `at`.
double BathModel::transport(const BathState& y, double rate, std::optional<GoverningCarbon>* at) const {
  *at = governingEquilibrium(c_.lines, y[temperatureC], pressureAt(rate), composition(y));
  const double equilibrium = *at ? (*at)->carbon : bath::carbonFloor;
  const double carbon = 100 * y[carbonKg] / c_.bathMass;
  return c_.rateConstant * c_.bathMass * std::max(0.0, carbon - equilibrium) / 100;
}

BathRates BathModel::rates(const BathState& y) const {
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
    std::optional<GoverningCarbon> at;
    double last = 0;  // the rate `at` belongs to
    const auto h = [&](double rate) {
      last = rate;
      return rate - transport(y, rate, &at);
    };
    const auto [lo, hi] = boost::math::tools::toms748_solve(h, 0.0, r.supply, -transport(y, 0.0, &at), -r.excess,
                                                            boost::math::tools::eps_tolerance<double>(52), iterations);
    // The bracket is a few doubles wide: its last evaluated end is the root,
    // with its equilibrium already at hand.
    if (last == lo || last == hi) {
      r.carbon = last;
      r.equilibrium = at;
    } else {
      r.carbon = 0.5 * (lo + hi);
      transport(y, r.carbon, &r.equilibrium);
    }
  }
  r.pressure = pressureAt(r.carbon);
  const double spare = std::max(0.0, c_.oxygen - r.carbon * oxygenPerCarbonKg);  // kmol O2/min
  if (c_.siliconLeft) {
    r.silicon = spare * molar::silicon;
  } else {
    r.chromium = spare * chromiumPerOxygen(burntOxide(r));
  }
  return r;
}

void BathModel::derivative(const BathState& y, BathState& dydt) const {
  const BathRates r = rates(y);
  const Reaction oxide = burntOxide(r);
  dydt[carbonKg] = -r.carbon;
  dydt[siliconKg] = -r.silicon;
  dydt[chromiumKg] = -r.chromium;
  dydt[slagKg] = r.silicon * (molar::silica / molar::silicon) + r.chromium * oxidePerChromium(oxide);
  dydt[chromiumToCr2O3Kg] = oxide == Reaction::Cr2O3 ? r.chromium : 0;
  dydt[chromiumToCr3O4Kg] = oxide == Reaction::Cr3O4 ? r.chromium : 0;
  const double released =
      bath::kilojoulesPerMegajoule *  // kJ/min
      (bath::carbonHeat * r.carbon + bath::siliconHeat * r.silicon + chromiumHeat(oxide) * r.chromium);
  const double gas = c_.gasHeatCapacity * c_.inertFlow * (y[temperatureC] - bath::gasInletCelsius);  // kJ/min
  const double loss = c_.heatLoss * bath::metalHeatCapacity * c_.heatMass;                           // kJ/min
  dydt[temperatureC] = (released - gas - loss) / heatCapacity(y[slagKg]);
}

}  // namespace velkarin
