// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium carbon of one reaction at a state of the bath, as the bath
// model (bath_model.h) needs it many times a step: ΔG as a function of c and
// of the CO pressure, its Newton roots, and the root as the governing rule
// counts it (the floor below the range, the ceiling above it).

#include <array>
#include <cmath>
#include <optional>

#include "calc/equilibrium_curve.h"
#include "calc/free_energy.h"
#include "calc/reaction_data.h"

namespace velkarin::bath {

// A Newton step shorter than this, relative, ends the solve: convergence is
// quadratic, so the iterate it lands on is then as close to the root as the
// rounding of ΔG allows (a few units in the last place; a tighter test would
// wait on steps that only dither in that rounding).
inline constexpr double newtonStop = 1e-12;
inline constexpr int newtonSteps = 60;

// One reaction's ΔG at a bath's temperature and composition, as a function
// of c (mass %) and ln(p/101325): the free-energy function built from the
// same inputs as equilibriumCarbon() builds it, so ΔG(c) is the same double.
class ReactionAt {
 public:
  ReactionAt(Reaction reaction, const ReactionLine& line, double celsius, const CurveComposition& composition)
      : reaction_(reaction), line_(line) {
    state_.temperature = celsius + constants::kelvinOffset;
    state_.chromium = composition.chromium;
    state_.nickel = composition.nickel;
    state_.silicon = composition.silicon;
    state_.manganese = composition.manganese;
    valid_ = std::isfinite(line.a) && std::isfinite(line.b) && std::isfinite(celsius) &&
             std::isfinite(composition.chromium) && std::isfinite(composition.nickel) &&
             std::isfinite(composition.silicon) && std::isfinite(composition.manganese) && state_.temperature > 0 &&
             composition.chromium > 0;
    if (valid_) lnChromium_ = std::log(composition.chromium);
  }

  // Where false, equilibriumCarbon() answers InvalidInput (or the fast
  // solves below do not apply): the callers take the full solve.
  bool valid() const { return valid_; }

  double freeEnergy(double c, double lnPressureRatio) const {
    const FreeEnergyInputs in{line_.a, line_.b, state_, lnPressureRatio, lnChromium_};
    return reaction_ == Reaction::Cr2O3 ? Cr2O3FreeEnergy(in)(c) : Cr3O4FreeEnergy(in)(c);
  }
  // ∂ΔG/∂c, J/mol per mass %; ΔG falls in c for T > 0.
  double carbonSlope(double c) const {
    const double linear = reaction_ == Reaction::Cr2O3
                              ? interaction::cr2o3Carbon
                              : 2.25 * interaction::carbonOnChromium + 3 * interaction::carbonOnCarbon;
    return -rt() * (linear + 3 * constants::lgE / c);
  }
  // ∂ΔG/∂ln p, J/mol: both reactions release 3 CO.
  double pressureSlope() const { return rt() * 3 * constants::lgE; }

 private:
  double rt() const { return constants::rLn10 * state_.temperature; }

  Reaction reaction_;
  ReactionLine line_;
  MeltState state_;
  double lnChromium_ = 0;
  bool valid_ = false;
};

// ln(p/101325) of a CO pressure p in Pa.
double lnPressureRatio(double pressure);

// A reaction's root as the governing rule counts it: the floor below the
// range, the ceiling above it, nothing where it has none.
std::optional<double> countedRoot(const EquilibriumCarbon& root);

// The root of ΔG(c) at a fixed pressure in [scan::start, scan::end] by Newton
// steps from `guess` (each step at most halving or doubling c). Nothing where
// an iterate leaves the range or the steps do not settle: the root may then
// lie outside the range, and the full solve tells the gap.
std::optional<double> newtonCarbon(const ReactionAt& eq, double lnRatio, double guess);

// The reaction's equilibrium carbon as the governing rule counts it, where
// quick to tell: the Newton root, or the floor where ΔG < 0 already at the
// range's foot (solveFalling's BelowRange). Nothing otherwise.
std::optional<double> countedCarbon(const ReactionAt& eq, double lnRatio, double guess);

// The same, else by the full solve (which tells every gap).
std::optional<double> countedCarbon(const ReactionAt& eq, Reaction reaction, const std::array<ReactionLine, 2>& lines,
                                    double celsius, double pressure, const CurveComposition& composition, double guess);

}  // namespace velkarin::bath
