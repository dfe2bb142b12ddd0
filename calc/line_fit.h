// SPDX-License-Identifier: Apache-2.0
#pragma once

// The ΔG° line fitted to a plant's own heats. A heat taken as being at
// equilibrium has ΔG = 0, that is
//   y = −19.147142·T·X = A + B·T,
// X being the calculation's own log-activity sum at the heat's state (the
// same terms in the same order as its ΔG). Ordinary least squares of y on T
// over the heats gives A (J/mol) and B (J/(mol·K)). The sums are centred and
// updated one heat at a time (Welford), so a million heats near 1900 K lose
// no digits to cancellation and the memory stays flat.

#include <cstddef>
#include <optional>
#include <string>

#include "calc/records.h"

namespace velkarin {

// y of a heat at equilibrium, J/mol; nothing when its state faults: a
// logarithm of a value that is not positive (C, Cr, p_CO, or p_CO/101325
// underflowing to 0), a temperature of 0 K or below, or a value beyond the
// number range.
std::optional<double> equilibriumLineValue(Reaction reaction, const MeltState& state);

enum class LineFitProblem {
  None,
  TooFewHeats,     // fewer than three usable heats
  OneTemperature,  // every usable heat at the same temperature: no slope
  OutOfRange,      // a sum or a fitted figure beyond the double range (a heat at 1e200 K)
};

struct LineFitResult {
  std::size_t n = 0;         // heats used
  std::size_t excluded = 0;  // heats left out because their state faults
  LineFitProblem problem = LineFitProblem::None;
  // Set only without a problem:
  double a = 0;    // J/mol
  double b = 0;    // J/(mol·K)
  double seA = 0;  // standard error of A: s·√(1/n + T̄²/Sxx)
  double seB = 0;  // standard error of B: s/√Sxx
  double sdG = 0;  // s = √(Σe²/(n−2)), the residual standard deviation of ΔG, J/mol
  double r2 = 0;   // 1 − Σe²/Syy (1 where y does not vary and the fit is exact)
};

// A and B of a fit as the diagram shows and adopts them, rounded to the
// digits the fit of plant heats supports (their standard errors run to tens
// of J/mol for A and hundredths of J/(mol·K) for B): A to 1 J/mol, B to
// 0.001 J/(mol·K), half away from zero on the shortest decimal digits (as
// the output patterns round), never "-0". For the finite figures of a fit
// without a problem; a value that is not finite gives its shortest text.
struct FittedLineTexts {
  std::string a;  // J/mol, whole: "69262"
  std::string b;  // J/(mol·K), three decimals: "-41.357"
};
FittedLineTexts fittedLineTexts(double a, double b);

class LineFit {
 public:
  explicit LineFit(Reaction reaction) : reaction_(reaction) {}

  // Adds a heat; returns false (and counts it as excluded) when its state faults.
  bool add(const MeltState& state);
  // Adds a point (T in K, y in J/mol) directly.
  void addPoint(double temperature, double y);
  void exclude() { ++excluded_; }

  Reaction reaction() const { return reaction_; }
  LineFitResult result() const;

 private:
  Reaction reaction_;
  std::size_t n_ = 0;
  std::size_t excluded_ = 0;
  double meanT_ = 0, meanY_ = 0;        // running means
  double sxx_ = 0, sxy_ = 0, syy_ = 0;  // running centred sums of squares and products
};

}  // namespace velkarin
