// SPDX-License-Identifier: Apache-2.0
#include "tests/support/reference_scan.h"

#include <cmath>

namespace velkarin::reference {

// ΔG of 3[C] + Cr2O3 = 2[Cr] + 3CO at carbon content c (mass %), J/mol:
//   X = ((((((0.0714·Cr − 0.66·c) − 0.0356·Ni) + (3·ln(p/101325))·0.4343) + (2·ln Cr)·0.4343)
//         − (3·ln c)·0.4343) + (−0.2486·Si + 0.036·Mn))
//   ΔG = (A + B·T) + (19.147142·T)·X
double cr2o3TrialFreeEnergy(const FreeEnergyInputs& in, double c) {
  const MeltState& s = in.state;
  const double x = ((((((0.0714 * s.chromium - 0.66 * c) - 0.0356 * s.nickel) + (3 * in.lnPressureRatio) * 0.4343) +
                      (2 * in.lnChromium) * 0.4343) -
                     (3 * std::log(c)) * 0.4343) +
                    (-0.2486 * s.silicon + 0.036 * s.manganese));
  return (in.a + in.b * s.temperature) + (19.147142 * s.temperature) * x;
}

// ΔG of 3[C] + 3/4 Cr3O4 = 9/4 [Cr] + 3CO at carbon content c (mass %), J/mol:
//   lgfC = (((0.14·c − 0.024·Cr) + 0.012·Ni) − 0.012·Mn) + 0.08·Si
//   lgfCr = (((−0.0003·Cr) − 0.12·c) + 0.0002·Ni) − 0.0043·Si
//   P = (ln(p/101325)·3)·0.4343, Q = (ln Cr·2.25)·0.4343, W = (ln c·3)·0.4343
//   ΔG = (A + B·T) + (19.147142·T)·((((P + 2.25·lgfCr) + Q) − 3·lgfC) − W)
double cr3o4TrialFreeEnergy(const FreeEnergyInputs& in, double c) {
  const MeltState& s = in.state;
  const double lgfC = (((0.14 * c - 0.024 * s.chromium) + 0.012 * s.nickel) - 0.012 * s.manganese) + 0.08 * s.silicon;
  const double lgfCr = (((-0.0003 * s.chromium) - 0.12 * c) + 0.0002 * s.nickel) - 0.0043 * s.silicon;
  const double p = (in.lnPressureRatio * 3) * 0.4343;
  const double q = (in.lnChromium * 2.25) * 0.4343;
  const double w = (std::log(c) * 3) * 0.4343;
  return (in.a + in.b * s.temperature) + (19.147142 * s.temperature) * ((((p + 2.25 * lgfCr) + q) - 3 * lgfC) - w);
}

double trialFreeEnergy(Reaction reaction, const FreeEnergyInputs& in, double c) {
  return reaction == Reaction::Cr2O3 ? cr2o3TrialFreeEnergy(in, c) : cr3o4TrialFreeEnergy(in, c);
}

// The scan, trial by trial. With a trialLimit the walk stops before trial
// number trialLimit (counting from 0) as if the scan ended there: no hit,
// trialCarbon the next, unevaluated trial value, trialFreeEnergy the last
// evaluated ΔG, trialCount the trials walked. Without one it runs to 5000 %C
// (about 5·10^9 trials when nothing hits: minutes).
ScanResult plainCarbonScan(Reaction reaction, const FreeEnergyInputs& in, std::int64_t trialLimit) {
  ScanResult r;
  double c = 0.001;               // C*, mass %
  double y = 0;                   // ΔG*, J/mol
  std::optional<std::int64_t> n;  // trials missed
  while (c <= 5000) {
    if (n.value_or(0) == trialLimit) break;
    y = trialFreeEnergy(reaction, in, c);
    if (y > 0 && y < 2) {
      r.hit = true;
      r.trialCarbon = c;
      r.trialFreeEnergy = y;
      r.trialCount = n;
      return r;
    }
    n = n.value_or(0) + 1;
    c = c + 0.000001;
  }
  r.trialCarbon = c;
  r.trialFreeEnergy = y;
  r.trialCount = n;
  return r;
}

// The same from A (J/mol), B (J/(mol·K)) and a melt state whose pressure and
// chromium content are positive.
ScanResult plainCarbonScan(Reaction reaction, double a, double b, const MeltState& state, std::int64_t trialLimit) {
  const FreeEnergyInputs in{a, b, state, std::log(state.coPressure / 101325), std::log(state.chromium)};
  return plainCarbonScan(reaction, in, trialLimit);
}

}  // namespace velkarin::reference
