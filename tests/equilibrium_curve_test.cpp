// SPDX-License-Identifier: Apache-2.0
#include "calc/equilibrium_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "calc/calculation.h"
#include "calc/reaction_data.h"

namespace velkarin {

void PrintTo(Reaction reaction, std::ostream* os) { *os << reactionData(reaction).name; }

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

ReactionConstants presetTexts(Reaction reaction, std::size_t row = 0) {
  const PresetRow& p = reactionData(reaction).presets[row];
  return {std::string(p.a), std::string(p.b)};
}

// ΔG(c) of the calculation at t (°C), p (Pa) and a composition.
double freeEnergy(Reaction reaction, const ReactionLine& line, double t, double p, const CurveComposition& comp,
                  double c) {
  MeltState s{t + 273, c, comp.chromium, comp.nickel, comp.silicon, comp.manganese, p};
  const FreeEnergyInputs in{line.a, line.b, s, std::log(p / 101325), std::log(comp.chromium)};
  return withFreeEnergy(reaction, in, [&](const auto& f) { return f(c); });
}

EquilibriumCarbon carbonAtLevel(Reaction reaction, const MeltState& s, const ReactionLine& line, double level) {
  const FreeEnergyInputs in{line.a, line.b, s, std::log(s.coPressure / 101325), std::log(s.chromium)};
  return withFreeEnergy(reaction, in, [&](const auto& f) { return carbonAtFreeEnergy(f, level); });
}

class BothReactions : public ::testing::TestWithParam<Reaction> {};

// The scan stops at the first 0.000001 %C trial whose ΔG is below 2 J/mol, so
// the root of ΔG = 2 lies within one step below its trial, and the zero lies
// above it by ΔG*/|ΔG'| (about 0.00001 %C at the worked examples).
TEST_P(BothReactions, RootsAgreeWithTheCalculationsScan) {
  const Reaction reaction = GetParam();
  const MeltState s{1650 + 273, reactionData(reaction).defaultCarbon, 18, 9, 0, 0, 101325};
  const CalculationOutcome out = computeEquilibrium(reaction, presetTexts(reaction), s);
  ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
  ASSERT_TRUE(out.result.scanHit);
  const double scanned = out.result.trialCarbon;
  const ReactionLine line = presetLine(reaction);

  const EquilibriumCarbon windowEdge = carbonAtLevel(reaction, s, line, 2.0);
  ASSERT_TRUE(windowEdge.carbon);
  EXPECT_LE(*windowEdge.carbon, scanned);
  EXPECT_NEAR(*windowEdge.carbon, scanned, 0.000001);

  const EquilibriumCarbon zero = equilibriumCarbon(reaction, line, 1650, 101325, {});
  ASSERT_EQ(zero.gap, CarbonGap::None);
  const double c0 = *zero.carbon;
  EXPECT_NEAR(freeEnergy(reaction, line, 1650, 101325, {}, c0), 0.0, 1e-6);
  const double h = 1e-4;
  const double slope =
      (freeEnergy(reaction, line, 1650, 101325, {}, c0 + h) - freeEnergy(reaction, line, 1650, 101325, {}, c0 - h)) /
      (2 * h);
  EXPECT_GT(c0, scanned);
  EXPECT_NEAR(c0 - scanned, out.result.trialFreeEnergy / -slope, 0.01 * (c0 - scanned));
}

// At the calculation's own equilibrium temperature for a melt (the T at which
// its ΔG is zero; T_eq − 273 in °C), the melt's carbon content is the
// equilibrium one. (Its equilibrium pressure is no such check: it is formed as
// 10^x while ΔG takes lg p as 0.4343·ln p, which differ by 1.3e-5 in lg p.)
TEST_P(BothReactions, RootIsTheCarbonAtTheCalculationsEquilibriumTemperature) {
  const Reaction reaction = GetParam();
  const CurveComposition comp{22, 4, 0.4, 1.2};
  for (double carbon : {0.05, 0.35, 2.2}) {
    SCOPED_TRACE(carbon);
    const MeltState s{1650 + 273, carbon, comp.chromium, comp.nickel, comp.silicon, comp.manganese, 60000};
    const CalculationOutcome out = computeEquilibrium(reaction, presetTexts(reaction), s);
    ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
    const double tEq = out.result.equilibriumTemperature - 273;
    const EquilibriumCarbon atT = equilibriumCarbon(reaction, presetLine(reaction), tEq, 60000, comp);
    ASSERT_TRUE(atT.carbon);
    EXPECT_NEAR(*atT.carbon, carbon, 1e-9 * carbon);
  }
}

// Over every point of the default diagram of every preset row: full double
// precision (the computed ΔG changes sign between the root and a neighbouring
// double) and the orderings the diagram shows.
TEST_P(BothReactions, DefaultDiagramIsPreciseAndOrderedForEveryPresetRow) {
  const Reaction reaction = GetParam();
  for (std::size_t row = 0; row < reactionData(reaction).presets.size(); ++row) {
    SCOPED_TRACE("preset row " + std::to_string(row + 1));
    CurveFamilyInputs in;
    in.reaction = reaction;
    in.line = presetLine(reaction, row);
    const auto curves = equilibriumCurveFamily(in);
    in.composition.chromium = 25;
    const auto moreChromium = equilibriumCurveFamily(in);
    ASSERT_EQ(curves.size(), 4u);
    for (std::size_t k = 0; k < curves.size(); ++k) {
      const double p = curves[k].coPressure;
      ASSERT_EQ(curves[k].points.size(), 501u);
      for (std::size_t i = 0; i < curves[k].points.size(); ++i) {
        const double t = curves[k].points[i].temperatureCelsius;
        const std::optional<double> c = curves[k].points[i].carbon.carbon;
        ASSERT_TRUE(c) << p << " Pa, " << t << " °C";
        const auto g = [&](double x) { return freeEnergy(reaction, in.line, t, p, {}, x); };
        const double y = g(*c);
        EXPECT_TRUE(y == 0 || (y > 0 && g(std::nextafter(*c, inf)) < 0) || (y < 0 && g(std::nextafter(*c, 0.0)) > 0))
            << p << " Pa, " << t << " °C";
        EXPECT_NEAR(y, 0.0, 1e-6);
        if (k > 0) {
          EXPECT_LT(*c, *curves[k - 1].points[i].carbon.carbon) << "lower p_CO, lower %C at " << t;
        }
        if (i > 0) {
          EXPECT_LT(*c, *curves[k].points[i - 1].carbon.carbon) << "hotter, lower %C at " << t;
        }
        EXPECT_GT(*moreChromium[k].points[i].carbon.carbon, *c) << "more Cr, more %C at " << t;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Curve, BothReactions, ::testing::Values(Reaction::Cr2O3, Reaction::Cr3O4),
                         [](const auto& row) { return std::string(reactionData(row.param).name); });

struct GapCase {
  const char* name;
  Reaction reaction;
  double t;  // °C
  double p;  // Pa
  CarbonGap gap;
  double low = 0, high = 0;  // range of the carbon content when found
};

void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }

class Gaps : public ::testing::TestWithParam<GapCase> {};

// The curve leaves the range at its ends and only there: just inside the
// boundary temperature the root is near 0.001 or 5000 %C, just outside it is
// reported as a gap.
TEST_P(Gaps, AreReportedWhereTheRootLeavesTheRange) {
  const GapCase& g = GetParam();
  const EquilibriumCarbon e = equilibriumCarbon(g.reaction, presetLine(g.reaction), g.t, g.p, {});
  EXPECT_EQ(carbonGapId(e.gap), carbonGapId(g.gap));
  EXPECT_EQ(e.carbon.has_value(), g.gap == CarbonGap::None);
  if (e.carbon) {
    EXPECT_GE(*e.carbon, g.low);
    EXPECT_LE(*e.carbon, g.high);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Curve, Gaps,
    ::testing::Values(
        GapCase{"Cr2O3_2858C_NearLowEnd", Reaction::Cr2O3, 2858, 101325, CarbonGap::None, 0.001, 0.0011},
        GapCase{"Cr2O3_2859C", Reaction::Cr2O3, 2859, 101325, CarbonGap::BelowRange},
        GapCase{"Cr2O3_3000C", Reaction::Cr2O3, 3000, 101325, CarbonGap::BelowRange},
        GapCase{"Cr2O3_10kPa_2240C_NearLowEnd", Reaction::Cr2O3, 2240, 10000, CarbonGap::None, 0.001, 0.0011},
        GapCase{"Cr2O3_10kPa_2245C", Reaction::Cr2O3, 2245, 10000, CarbonGap::BelowRange},
        GapCase{"Cr2O3_minus261C_NearHighEnd", Reaction::Cr2O3, -261, 101325, CarbonGap::None, 4000, 5000},
        GapCase{"Cr2O3_minus262C", Reaction::Cr2O3, -262, 101325, CarbonGap::AboveRange},
        GapCase{"Cr2O3_minus272C", Reaction::Cr2O3, -272, 101325, CarbonGap::AboveRange},
        GapCase{"Cr3O4_2947C_NearLowEnd", Reaction::Cr3O4, 2947, 101325, CarbonGap::None, 0.001, 0.0011},
        GapCase{"Cr3O4_2948C", Reaction::Cr3O4, 2948, 101325, CarbonGap::BelowRange},
        GapCase{"Cr3O4_minus262C_NearHighEnd", Reaction::Cr3O4, -262, 101325, CarbonGap::None, 4000, 5000},
        GapCase{"Cr3O4_minus263C", Reaction::Cr3O4, -263, 101325, CarbonGap::AboveRange}),
    [](const auto& row) { return std::string(row.param.name); });

struct InvalidCase {
  const char* name;
  ReactionLine line;
  double t, p;
  CurveComposition comp;
};

void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }

class InvalidInputs : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidInputs, GiveNoCarbonForEitherReaction) {
  const InvalidCase& c = GetParam();
  for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    const EquilibriumCarbon e = equilibriumCarbon(reaction, c.line, c.t, c.p, c.comp);
    EXPECT_EQ(carbonGapId(e.gap), "invalid-input");
    EXPECT_FALSE(e.carbon);
  }
}

const ReactionLine row1{739938, -475.137};

INSTANTIATE_TEST_SUITE_P(Curve, InvalidInputs,
                         ::testing::Values(InvalidCase{"ZeroPressure", row1, 1650, 0, {}},
                                           InvalidCase{"NegativePressure", row1, 1650, -101325, {}},
                                           InvalidCase{"ZeroChromium", row1, 1650, 101325, {0, 9, 0, 0}},
                                           InvalidCase{"NegativeChromium", row1, 1650, 101325, {-18, 9, 0, 0}},
                                           InvalidCase{"ZeroKelvin", row1, -273, 101325, {}},
                                           InvalidCase{"BelowZeroKelvin", row1, -300, 101325, {}},
                                           InvalidCase{"NaNTemperature", row1, nan, 101325, {}},
                                           InvalidCase{"InfinitePressure", row1, 1650, inf, {}},
                                           InvalidCase{"NaNA", {nan, -475.137}, 1650, 101325, {}},
                                           InvalidCase{"InfiniteB", {739938, -inf}, 1650, 101325, {}},
                                           InvalidCase{"NaNNickel", row1, 1650, 101325, {18, nan, 0, 0}},
                                           InvalidCase{"InfiniteManganese", row1, 1650, 101325, {18, 9, 0, inf}},
                                           InvalidCase{"FreeEnergyOverflows", {1e308, 1e306}, 1650, 101325, {}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ReactionLines, ConvertTextsAsTheCalculationDoes) {
  const auto line = readReactionLine({" 739938 ", "-475.137"});
  ASSERT_TRUE(line);
  EXPECT_EQ(line->a, 739938);
  EXPECT_EQ(line->b, -475.137);
  EXPECT_FALSE(readReactionLine({"", "-475.137"}));
  EXPECT_FALSE(readReactionLine({"739938", "-475,137"}));
  EXPECT_FALSE(readReactionLine({"739938", "1e400"}));
  EXPECT_EQ(presetLine(Reaction::Cr3O4, 2).b, -459.13);
}

struct RangeCase {
  const char* name;
  TemperatureRange range;
  std::size_t count;
  double first = 0, last = 0;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class TemperatureRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(TemperatureRanges, GiveTheirPoints) {
  const RangeCase& c = GetParam();
  const std::vector<double> t = curveTemperatures(c.range);
  ASSERT_EQ(t.size(), c.count);
  if (c.count == 0) return;
  EXPECT_EQ(t.front(), c.first);
  EXPECT_EQ(t.back(), c.last);
}

INSTANTIATE_TEST_SUITE_P(
    Curve, TemperatureRanges,
    ::testing::Values(RangeCase{"Default", {}, 501, 1400, 1900},
                      RangeCase{"TenthsReachTheEnd", {1400, 1401, 0.1}, 11, 1400, 1401},
                      RangeCase{"EndNotOnAStep", {1400, 1420, 7}, 3, 1400, 1414},
                      RangeCase{"OnePoint", {1650, 1650, 5}, 1, 1650, 1650},
                      RangeCase{"MostPoints", {0, 100000, 1}, maxCurvePoints, 0, 100000},
                      RangeCase{"TooManyPoints", {0, 100001, 1}, 0}, RangeCase{"ZeroStep", {1400, 1900, 0}, 0},
                      RangeCase{"NegativeStep", {1900, 1400, -1}, 0}, RangeCase{"EndBeforeStart", {1900, 1400, 1}, 0},
                      RangeCase{"NaNStart", {nan, 1900, 1}, 0}, RangeCase{"InfiniteEnd", {1400, inf, 1}, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CurveLabels, NamePressureInPaAndAsAMultipleOfTheStandardPressure) {
  EXPECT_EQ(curvePressureLabel(101325), "101325 Pa (1.000)");
  EXPECT_EQ(curvePressureLabel(50000), "50000 Pa (0.493)");
  EXPECT_EQ(curvePressureLabel(25000), "25000 Pa (0.247)");
  EXPECT_EQ(curvePressureLabel(10000), "10000 Pa (0.099)");
  EXPECT_EQ(curvePressureLabel(12345.5), "12345.5 Pa (0.122)");
  EXPECT_EQ(curvePressureLabel(202650), "202650 Pa (2.000)");
}

// Splits tab-separated text into rows of cells.
std::vector<std::vector<std::string>> cells(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    rows.emplace_back();
    std::size_t begin = 0, tab;
    while ((tab = line.find('\t', begin)) != std::string::npos) {
      rows.back().push_back(line.substr(begin, tab - begin));
      begin = tab + 1;
    }
    rows.back().push_back(line.substr(begin));
  }
  return rows;
}

TEST(CurveFamilyTsv, HasAHeaderOneRowPerTemperatureAndEmptyGapCells) {
  // At 2850–2860 °C the 101325 Pa curve leaves the range at 2859 °C; the
  // 10000 Pa curve is below the range throughout.
  CurveFamilyInputs in;
  in.coPressures = {101325, 10000};
  in.temperatures = {2850, 2860, 5};
  const auto curves = equilibriumCurveFamily(in);
  const std::string text = curveFamilyTsv(curves);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  const auto rows = cells(text);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"t/℃", "101325 Pa (1.000)", "10000 Pa (0.099)"}));
  const std::vector<std::string> temperatures{"2850", "2855", "2860"};
  for (std::size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 3u) << text;
    EXPECT_EQ(rows[i][0], temperatures[i - 1]);
    EXPECT_EQ(rows[i][2], "");
    const std::optional<double> c = curves[0].points[i - 1].carbon.carbon;
    EXPECT_EQ(rows[i][1].empty(), !c);
    if (c) {
      EXPECT_NEAR(std::strtod(rows[i][1].c_str(), nullptr), *c, 5e-7);
    }
  }
  EXPECT_NE(rows[2][1], "");
  EXPECT_EQ(rows[3][1], "");
  EXPECT_EQ(curveFamilyTsv({}), "t/℃\n");
}

}  // namespace
}  // namespace velkarin
