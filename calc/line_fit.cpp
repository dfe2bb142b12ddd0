// SPDX-License-Identifier: Apache-2.0
#include "calc/line_fit.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "calc/free_energy.h"
#include "calc/number_text.h"

namespace velkarin {

namespace {

// A value by its digit pattern; "-0" and "-0.000" (a negative value that
// rounds to zero) lose their sign.
std::string roundedText(double value, DigitPattern pattern) {
  if (!std::isfinite(value)) return formatShortest(value);
  std::string text = formatPattern(value, pattern);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

FittedLineTexts fittedLineTexts(double a, double b) {
  return {roundedText(a, DigitPattern::Whole), roundedText(b, DigitPattern::Decimals3)};
}

std::optional<double> equilibriumLineValue(Reaction reaction, const MeltState& s) {
  // The calculation's own forms: p/101325 before its logarithm, ln Cr, and
  // the free-energy function's log sum at the state's carbon.
  const double coPressureRatio = s.coPressure / constants::standardPressure;
  if (!(coPressureRatio > 0) || !(s.chromium > 0) || !(s.carbon > 0) || !(s.temperature > 0)) return std::nullopt;
  const FreeEnergyInputs in{0, 0, s, std::log(coPressureRatio), std::log(s.chromium)};
  const double y = withFreeEnergy(reaction, in, [&](const auto& f) { return -(f.rt() * f.logSum(s.carbon)); });
  if (!std::isfinite(y)) return std::nullopt;
  return y;
}

bool LineFit::add(const MeltState& state) {
  const std::optional<double> y = equilibriumLineValue(reaction_, state);
  if (!y) {
    ++excluded_;
    return false;
  }
  addPoint(state.temperature, *y);
  return true;
}

void LineFit::addPoint(double temperature, double y) {
  ++n_;
  const double n = static_cast<double>(n_);
  const double dt = temperature - meanT_;
  const double dy = y - meanY_;
  meanT_ += dt / n;
  meanY_ += dy / n;
  // The second factor is taken about the new mean: the products stay exact
  // sums of centred terms (Welford).
  sxx_ += dt * (temperature - meanT_);
  sxy_ += dt * (y - meanY_);
  syy_ += dy * (y - meanY_);
}

LineFitResult LineFit::result() const {
  LineFitResult r;
  r.n = n_;
  r.excluded = excluded_;
  if (n_ < 3) {
    r.problem = LineFitProblem::TooFewHeats;
    return r;
  }
  // A temperature near 1e160 K squares beyond the double range: sums that
  // are not finite give no line (and no NaN for a number).
  const auto finite = [](std::initializer_list<double> values) {
    return std::ranges::all_of(values, [](double v) { return std::isfinite(v); });
  };
  if (!finite({meanT_, meanY_, sxx_, sxy_, syy_})) {
    r.problem = LineFitProblem::OutOfRange;
    return r;
  }
  if (!(sxx_ > 0)) {
    r.problem = LineFitProblem::OneTemperature;
    return r;
  }
  const double n = static_cast<double>(n_);
  r.b = sxy_ / sxx_;
  r.a = meanY_ - r.b * meanT_;
  const double residual = std::max(0.0, syy_ - r.b * sxy_);  // Σe²; rounding may leave it a hair below 0
  const double s2 = residual / (n - 2);
  r.sdG = std::sqrt(s2);
  r.seB = std::sqrt(s2 / sxx_);
  r.seA = std::sqrt(s2 * (1 / n + meanT_ * meanT_ / sxx_));
  r.r2 = syy_ > 0 ? 1 - residual / syy_ : 1;
  if (!finite({r.a, r.b, r.seA, r.seB, r.sdG, r.r2})) {
    const LineFitResult none{r.n, r.excluded, LineFitProblem::OutOfRange};
    return none;
  }
  return r;
}

}  // namespace velkarin
