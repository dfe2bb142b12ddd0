// SPDX-License-Identifier: Apache-2.0
#include "calc/bath_equilibrium.h"

#include <algorithm>

#include "calc/bath_model.h"

namespace velkarin::bath {

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

double lnPressureRatio(double pressure) { return std::log(pressure / constants::standardPressure); }

std::optional<double> newtonCarbon(const ReactionAt& eq, double lnRatio, double guess) {
  double c = std::clamp(guess, scan::start, scan::end);
  for (int i = 0; i < newtonSteps; ++i) {
    const double g = eq.freeEnergy(c, lnRatio);
    if (g == 0) return c;
    if (!std::isfinite(g)) return std::nullopt;
    const double next = std::clamp(c - g / eq.carbonSlope(c), 0.5 * c, 2 * c);
    if (!(next >= scan::start && next <= scan::end)) return std::nullopt;
    if (std::fabs(next - c) <= newtonStop * c) return next;
    c = next;
  }
  return std::nullopt;
}

std::optional<double> countedCarbon(const ReactionAt& eq, double lnRatio, double guess) {
  if (const auto c = newtonCarbon(eq, lnRatio, guess)) return c;
  if (eq.freeEnergy(scan::start, lnRatio) < 0 && std::isfinite(eq.freeEnergy(scan::end, lnRatio))) {
    return bath::carbonFloor;
  }
  return std::nullopt;
}

std::optional<double> countedCarbon(const ReactionAt& eq, Reaction reaction, const std::array<ReactionLine, 2>& lines,
                                    double celsius, double pressure, const CurveComposition& composition,
                                    double guess) {
  if (eq.valid() && pressure > 0 && std::isfinite(pressure)) {
    if (const auto c = countedCarbon(eq, lnPressureRatio(pressure), guess)) return c;
  }
  return countedRoot(equilibriumCarbon(reaction, lines[reactionIndex(reaction)], celsius, pressure, composition));
}

}  // namespace velkarin::bath
