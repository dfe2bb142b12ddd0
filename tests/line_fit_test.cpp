// SPDX-License-Identifier: Apache-2.0
// The ΔG° line fitted to heats: heats placed exactly at equilibrium under a
// known line give it back, noisy heats keep it within their standard
// errors, and heats that cannot be used are counted, not fitted.

#include "calc/line_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

struct Heat {
  double temperatureCelsius;
  double coPressure;  // Pa
  double carbon;      // mass %
};

MeltState stateOf(const Heat& h, const CurveComposition& c) {
  return {h.temperatureCelsius + constants::kelvinOffset,
          h.carbon,
          c.chromium,
          c.nickel,
          c.silicon,
          c.manganese,
          h.coPressure};
}

// Heats at equilibrium under `line`: at each temperature and pressure, the
// core's own equilibrium carbon.
std::vector<Heat> heatsOnLine(Reaction reaction, const ReactionLine& line, const CurveComposition& c) {
  std::vector<Heat> heats;
  for (double t = 1500; t <= 1800; t += 25) {
    for (double p : {20000.0, 50000.0, 90000.0}) {
      const EquilibriumCarbon carbon = equilibriumCarbon(reaction, line, t, p, c);
      if (carbon.carbon) heats.push_back({t, p, *carbon.carbon});
    }
  }
  return heats;
}

// An independent least squares: two passes in long double over the points.
struct Reference {
  long double a, b;
};
Reference referenceFit(const std::vector<std::pair<double, double>>& points) {
  long double mt = 0, my = 0;
  for (const auto& [t, y] : points) {
    mt += t;
    my += y;
  }
  mt /= points.size();
  my /= points.size();
  long double sxx = 0, sxy = 0;
  for (const auto& [t, y] : points) {
    sxx += (t - mt) * (t - mt);
    sxy += (t - mt) * (y - my);
  }
  const long double b = sxy / sxx;
  return {my - b * mt, b};
}

TEST(LineFit, HeatsAtEquilibriumGiveTheirLineBack) {
  const CurveComposition c{18, 9, 0.3, 1.2};
  for (const Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    for (const ReactionLine line : {presetLine(reaction), ReactionLine{650000, -410}}) {
      const std::vector<Heat> heats = heatsOnLine(reaction, line, c);
      ASSERT_GT(heats.size(), 20U);
      LineFit fit(reaction);
      std::vector<std::pair<double, double>> points;
      for (const Heat& h : heats) {
        ASSERT_TRUE(fit.add(stateOf(h, c)));
        points.emplace_back(stateOf(h, c).temperature, *equilibriumLineValue(reaction, stateOf(h, c)));
      }
      const LineFitResult r = fit.result();
      ASSERT_EQ(r.problem, LineFitProblem::None);
      EXPECT_EQ(r.n, heats.size());
      EXPECT_NEAR(r.a, line.a, 1e-9 * std::abs(line.a));
      EXPECT_NEAR(r.b, line.b, 1e-9 * std::abs(line.b));
      const Reference ref = referenceFit(points);
      EXPECT_NEAR(r.a, static_cast<double>(ref.a), 1e-12 * std::abs(line.a));
      EXPECT_NEAR(r.b, static_cast<double>(ref.b), 1e-12 * std::abs(line.b));
      EXPECT_GT(r.r2, 1 - 1e-12);
      EXPECT_LT(r.sdG, 1e-3);  // J/mol: the roots' own rounding
    }
  }
}

// Noise on the sampled carbon: the line stays within 4 standard errors, and
// the errors mean what they say (s near the noise put in).
TEST(LineFit, NoisyHeatsKeepTheLineWithinFourStandardErrors) {
  const CurveComposition c{18, 9, 0, 0};
  const Reaction reaction = Reaction::Cr2O3;
  const ReactionLine line = presetLine(reaction);
  std::mt19937_64 random(20261209);
  std::normal_distribution<double> noise(0, 0.05);  // on ln C
  for (int trial = 0; trial < 5; ++trial) {
    LineFit fit(reaction);
    for (const Heat& h : heatsOnLine(reaction, line, c)) {
      fit.add(stateOf({h.temperatureCelsius, h.coPressure, h.carbon * std::exp(noise(random))}, c));
    }
    const LineFitResult r = fit.result();
    ASSERT_EQ(r.problem, LineFitProblem::None);
    EXPECT_LT(std::abs(r.a - line.a), 4 * r.seA) << trial;
    EXPECT_LT(std::abs(r.b - line.b), 4 * r.seB) << trial;
    EXPECT_GT(r.seA, 0);
    // 3·lg e·19.147142·T·0.05 ≈ 2.3 kJ/mol near 1900 K.
    EXPECT_GT(r.sdG, 1000);
    EXPECT_LT(r.sdG, 4000);
  }
}

// A million heats at about 1900 K: centred sums lose no digits.
TEST(LineFit, AMillionHeatsNear1900KLoseNoDigits) {
  LineFit fit(Reaction::Cr2O3);
  const double a = 739938, b = -475.137;
  for (int i = 0; i < 1000000; ++i) {
    const double t = 1900 + (i % 1000) * 1e-3;
    fit.addPoint(t, a + b * t);
  }
  const LineFitResult r = fit.result();
  EXPECT_NEAR(r.b, b, 1e-9 * std::abs(b));
  EXPECT_NEAR(r.a, a, 1e-9 * std::abs(a));
}

TEST(LineFit, UnusableHeatsAndDegenerateSetsAreProblemsNotNumbers) {
  const CurveComposition c{18, 9, 0, 0};
  const MeltState good = stateOf({1600, 50000, 0.3}, c);
  struct Case {
    const char* name;
    std::vector<MeltState> heats;
    LineFitProblem problem;
    std::size_t n, excluded;
  };
  MeltState zeroCarbon = good, zeroKelvin = good, noPressure = good, noChromium = good, tinyPressure = good;
  zeroCarbon.carbon = 0;
  zeroKelvin.temperature = 0;
  noPressure.coPressure = 0;
  noChromium.chromium = -1;
  tinyPressure.coPressure = 1e-320;  // p/101325 underflows to 0
  MeltState hotter = good, hottest = good;
  hotter.temperature += 50;
  hottest.temperature += 100;
  MeltState hugeTemperature = good;
  hugeTemperature.temperature = 1e200;  // its ΔG is finite, its square about the mean is not
  for (const Case& k : std::vector<Case>{
           {"two heats", {good, hotter}, LineFitProblem::TooFewHeats, 2, 0},
           {"one temperature", {good, good, good, good}, LineFitProblem::OneTemperature, 4, 0},
           {"faulted left out",
            {good, zeroCarbon, hotter, zeroKelvin, noPressure, noChromium, tinyPressure, hottest},
            LineFitProblem::None,
            3,
            5},
           {"all faulted", {zeroCarbon, zeroKelvin, noPressure}, LineFitProblem::TooFewHeats, 0, 3},
           {"a heat at 1e200 K", {good, hotter, hottest, hugeTemperature}, LineFitProblem::OutOfRange, 4, 0},
       }) {
    LineFit fit(Reaction::Cr3O4);
    for (const MeltState& s : k.heats) fit.add(s);
    const LineFitResult r = fit.result();
    EXPECT_EQ(r.problem, k.problem) << k.name;
    EXPECT_EQ(r.n, k.n) << k.name;
    EXPECT_EQ(r.excluded, k.excluded) << k.name;
  }
}

// Points whose sums or fitted figures leave the double range are no line:
// never a NaN or an infinity as A, B or their errors.
TEST(LineFit, SumsBeyondTheNumberRangeAreAProblem) {
  struct Case {
    const char* name;
    std::vector<std::pair<double, double>> points;  // (T in K, y in J/mol)
    LineFitProblem problem;
  };
  for (const Case& k : std::vector<Case>{
           {"plain", {{1800, 1}, {1900, 2}, {2000, 4}}, LineFitProblem::None},
           {"T of 1e160 K", {{1800, 1}, {1900, 2}, {1e160, 4}}, LineFitProblem::OutOfRange},
           {"T of 1e307 K", {{1800, 1}, {1900, 2}, {1e307, 4}}, LineFitProblem::OutOfRange},
           {"y of 1e200", {{1800, 1}, {1900, 1e200}, {2000, 4}}, LineFitProblem::OutOfRange},
           // Sums finite, but the mean T squared (in seA) overflows.
           {"mean T near 1.5e154 K", {{1e154, 1}, {1.5e154, 2}, {2e154, 4}}, LineFitProblem::OutOfRange},
       }) {
    LineFit fit(Reaction::Cr2O3);
    for (const auto& [t, y] : k.points) fit.addPoint(t, y);
    const LineFitResult r = fit.result();
    EXPECT_EQ(r.problem, k.problem) << k.name;
    EXPECT_EQ(r.n, k.points.size()) << k.name;
    for (const double v : {r.a, r.b, r.seA, r.seB, r.sdG, r.r2}) EXPECT_TRUE(std::isfinite(v)) << k.name;
  }
}

// The texts 采用 writes and the fit result shows: A to 1 J/mol, B to
// 0.001 J/(mol·K), half away from zero on the decimal digits as written.
struct RoundingCase {
  const char* name;
  double a, b;
  const char* aText;
  const char* bText;
};

void PrintTo(const RoundingCase& c, std::ostream* os) { *os << c.name; }

class FittedTexts : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(FittedTexts, RoundAToWholeAndBToThreeDecimals) {
  const FittedLineTexts texts = fittedLineTexts(GetParam().a, GetParam().b);
  EXPECT_EQ(texts.a, GetParam().aText);
  EXPECT_EQ(texts.b, GetParam().bText);
}

INSTANTIATE_TEST_SUITE_P(
    Fits, FittedTexts,
    ::testing::Values(RoundingCase{"sixteen_digits", 69262.2086453626, -41.35712345678901, "69262", "-41.357"},
                      RoundingCase{"exact_line", 760000, -487.2, "760000", "-487.200"},
                      RoundingCase{"negative_a_positive_b", -69262.2086453626, 41.3566, "-69262", "41.357"},
                      // Halves as written, though 0.5 below is stored a hair under (1.0005,
                      // -475.1365): rounded away from zero all the same.
                      RoundingCase{"half_up", 739937.5, 1.0005, "739938", "1.001"},
                      RoundingCase{"half_negative", -2.5, -475.1365, "-3", "-475.137"},
                      RoundingCase{"below_half", 739937.4999, -475.1364999, "739937", "-475.136"},
                      RoundingCase{"large", 1.2345678901234e12, 98765.43215, "1234567890123", "98765.432"},
                      RoundingCase{"a_gains_a_digit", 99999.5, -9.9995, "100000", "-10.000"},
                      RoundingCase{"b_gains_a_digit", -999.5, 999.9996, "-1000", "1000.000"},
                      RoundingCase{"negative_rounds_to_zero", -0.4, -0.0004, "0", "0.000"}),
    [](const auto& row) { return std::string(row.param.name); });

// The span 采用 holds a fit against: the extremes come from different rows.
TEST(PresetSpan, IsTheLeastAndGreatestOfEachConstant) {
  const PresetSpan cr2o3 = presetSpan(Reaction::Cr2O3);
  EXPECT_EQ(cr2o3.lowA, 678000);
  EXPECT_EQ(cr2o3.highA, 743675);
  EXPECT_EQ(cr2o3.lowB, -477.721);
  EXPECT_EQ(cr2o3.highB, -441.495);
  const PresetSpan cr3o4 = presetSpan(Reaction::Cr3O4);
  EXPECT_EQ(cr3o4.lowA, 643993);
  EXPECT_EQ(cr3o4.highA, 704299);
  EXPECT_EQ(cr3o4.lowB, -463.803);
  EXPECT_EQ(cr3o4.highB, -432.314);
}

}  // namespace
}  // namespace velkarin
