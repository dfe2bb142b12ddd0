// SPDX-License-Identifier: Apache-2.0
#pragma once

// ΔG(c) of each reaction as a function of the carbon content c, with every
// term that does not depend on c evaluated once. Hoisting does not change a
// single bit: each hoisted term is the same product of the same doubles that
// the full formula forms, and the remaining operations keep their grouping.
// The same object gives ΔG at the entered [%C] and at every scan trial.

#include <cmath>
#include <type_traits>

#include "calc/reaction_data.h"
#include "calc/records.h"

namespace velkarin {

// Inputs of the free-energy function that the calculation has converted and
// checked: A and B as doubles, the melt state, and the two logarithms that
// stay the same for every trial.
struct FreeEnergyInputs {
  double a = 0;  // J/mol
  double b = 0;  // J/(mol·K)
  MeltState state;
  double lnPressureRatio = 0;  // ln(p / 101325)
  double lnChromium = 0;       // ln [%Cr]
};

// 3[C] + Cr2O3 = 2[Cr] + 3CO.
//   X(c) = ((((0.0714·Cr − 0.66·c) − 0.0356·Ni) + (3·ln(p/101325))·0.4343)
//           + (2·ln Cr)·0.4343) − (3·ln c)·0.4343) + (−0.2486·Si + 0.036·Mn)
//   Y(c) = X(c) without the pressure term
//   G(c) = (A + B·T) + (19.147142·T)·X(c)
class Cr2O3FreeEnergy {
 public:
  explicit Cr2O3FreeEnergy(const FreeEnergyInputs& in)
      : standard_(in.a + in.b * in.state.temperature),
        rt_(constants::rLn10 * in.state.temperature),
        chromiumTerm_(interaction::cr2o3Chromium * in.state.chromium),
        nickelTerm_(interaction::cr2o3Nickel * in.state.nickel),
        pressureLog_((3 * in.lnPressureRatio) * constants::lgE),
        chromiumLog_((2 * in.lnChromium) * constants::lgE),
        siliconManganese_(interaction::cr2o3Silicon * in.state.silicon +
                          interaction::cr2o3Manganese * in.state.manganese) {}

  static constexpr double chromiumExponent = 2;  // power of f_Cr·Cr in p_K and C_K

  double logSum(double c) const {
    return ((((chromiumTerm_ - interaction::cr2o3Carbon * c) - nickelTerm_) + pressureLog_) + chromiumLog_ -
            (3 * std::log(c)) * constants::lgE) +
           siliconManganese_;
  }
  double logSumWithoutPressure(double c) const {
    return (((chromiumTerm_ - interaction::cr2o3Carbon * c) - nickelTerm_) + chromiumLog_ -
            (3 * std::log(c)) * constants::lgE) +
           siliconManganese_;
  }
  double operator()(double c) const { return standard_ + rt_ * logSum(c); }

  double rt() const { return rt_; }  // 19.147142·T, J/(mol·K)·K; its sign is ΔG's direction of change

 private:
  double standard_;          // A + B·T, J/mol
  double rt_;                // 19.147142·T
  double chromiumTerm_;      // 0.0714·Cr
  double nickelTerm_;        // 0.0356·Ni
  double pressureLog_;       // (3·ln(p/101325))·0.4343
  double chromiumLog_;       // (2·ln Cr)·0.4343
  double siliconManganese_;  // −0.2486·Si + 0.036·Mn
};

// 3[C] + 3/4 Cr3O4 = 9/4 [Cr] + 3CO.
//   lgfC(c)  = (((0.14·c − 0.024·Cr) + 0.012·Ni) − 0.012·Mn) + 0.08·Si
//   lgfCr(c) = (((−0.0003·Cr) − 0.12·c) + 0.0002·Ni) − 0.0043·Si
//   P = (ln(p/101325)·3)·0.4343, Q = (ln Cr·2.25)·0.4343, W(c) = (ln c·3)·0.4343
//   S(c)  = (((P + 2.25·lgfCr) + Q) − 3·lgfC) − W
//   S0(c) = ((2.25·lgfCr + Q) − 3·lgfC) − W
//   G(c) = (A + B·T) + (19.147142·T)·S(c)
class Cr3O4FreeEnergy {
 public:
  explicit Cr3O4FreeEnergy(const FreeEnergyInputs& in)
      : standard_(in.a + in.b * in.state.temperature),
        rt_(constants::rLn10 * in.state.temperature),
        p_((in.lnPressureRatio * 3) * constants::lgE),
        q_((in.lnChromium * 2.25) * constants::lgE),
        carbonChromium_(interaction::chromiumOnCarbon * in.state.chromium),
        carbonNickel_(interaction::nickelOnCarbon * in.state.nickel),
        carbonManganese_(interaction::manganeseOnCarbon * in.state.manganese),
        carbonSilicon_(interaction::siliconOnCarbon * in.state.silicon),
        chromiumChromium_(interaction::chromiumOnChromium * in.state.chromium),
        chromiumNickel_(interaction::nickelOnChromium * in.state.nickel),
        chromiumSilicon_(interaction::siliconOnChromium * in.state.silicon) {}

  static constexpr double chromiumExponent = 2.25;

  double lgfC(double c) const {
    return (((interaction::carbonOnCarbon * c - carbonChromium_) + carbonNickel_) - carbonManganese_) + carbonSilicon_;
  }
  double lgfCr(double c) const {
    return ((chromiumChromium_ - interaction::carbonOnChromium * c) + chromiumNickel_) - chromiumSilicon_;
  }
  double logSum(double c) const {
    return (((p_ + 2.25 * lgfCr(c)) + q_) - 3 * lgfC(c)) - (std::log(c) * 3) * constants::lgE;
  }
  double logSumWithoutPressure(double c) const {
    return ((2.25 * lgfCr(c) + q_) - 3 * lgfC(c)) - (std::log(c) * 3) * constants::lgE;
  }
  double operator()(double c) const { return standard_ + rt_ * logSum(c); }

  double rt() const { return rt_; }

 private:
  double standard_;          // A + B·T, J/mol
  double rt_;                // 19.147142·T
  double p_;                 // P
  double q_;                 // Q
  double carbonChromium_;    // 0.024·Cr
  double carbonNickel_;      // 0.012·Ni
  double carbonManganese_;   // 0.012·Mn
  double carbonSilicon_;     // 0.08·Si
  double chromiumChromium_;  // −0.0003·Cr
  double chromiumNickel_;    // 0.0002·Ni
  double chromiumSilicon_;   // 0.0043·Si
};

}  // namespace velkarin

namespace velkarin {

// The one place where a reaction picks its free-energy function: calls
// fn(std::type_identity<Cr2O3FreeEnergy>) or fn(std::type_identity<Cr3O4FreeEnergy>).
template <class Fn>
decltype(auto) dispatchFreeEnergy(Reaction reaction, Fn&& fn) {
  if (reaction == Reaction::Cr2O3) return fn(std::type_identity<Cr2O3FreeEnergy>{});
  return fn(std::type_identity<Cr3O4FreeEnergy>{});
}

// Calls fn with the free-energy function of `reaction` built from `in`.
template <class Fn>
decltype(auto) withFreeEnergy(Reaction reaction, const FreeEnergyInputs& in, Fn&& fn) {
  return dispatchFreeEnergy(reaction, [&](auto type) -> decltype(auto) {
    using FreeEnergy = typename decltype(type)::type;
    return fn(FreeEnergy(in));
  });
}

// lg f_C and lg f_Cr at a melt state, with the first-order interaction
// coefficients of both reactions: the Cr3O4 function's own terms at the
// entered [%C] (the same operations, so the same bits).
inline double carbonActivityLog(const MeltState& s) { return Cr3O4FreeEnergy({0, 0, s, 0, 0}).lgfC(s.carbon); }
inline double chromiumActivityLog(const MeltState& s) { return Cr3O4FreeEnergy({0, 0, s, 0, 0}).lgfCr(s.carbon); }

}  // namespace velkarin
