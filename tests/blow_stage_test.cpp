// SPDX-License-Identifier: Apache-2.0
// Blow stages: gas ratio → CO pressure, ratio items in a pressure list, the
// stage evaluation (governing oxide, margin) and the inverse solves checked
// against the forward equilibrium carbon.

#include "calc/blow_stage.h"
#include "calc/fault.h"
#include "calc/number_text.h"
#include "calc/root_finding.h"
#include "calc/stage_solve.h"
#include "words/chinese.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace velkarin {
namespace {

struct RatioCase {
  const char* text;
  GasMixture mixture;
  double pressure;  // Pa
};

TEST(GasRatio, GivesTheCoPressureOfTheBlow) {
  const std::vector<RatioCase> cases{
      {"4:1", {}, 101325.0 * 8 / 9},
      {"3:1", {}, 86850},
      {"1:1", {}, 67550},
      {"1:3", {}, 40530},
      {"1:0", {}, 101325},
      {"３：１", {}, 86850},
      {" 2 : 0.5 ", {}, 90066.6666666667},
      {"1:1", {200000, 1}, 200000.0 * 2 / 3},
      {"1:1", {101325, 0.5}, 50662.5},
      {"1:3", {101325, 0.75}, 101325.0 / 3},
  };
  for (const RatioCase& c : cases) {
    const PressureItemReading reading = readPressureItem(c.text, c.mixture);
    ASSERT_TRUE(reading.item) << c.text;
    EXPECT_TRUE(reading.item->ratio) << c.text;
    EXPECT_NEAR(reading.item->coPressure, c.pressure, c.pressure * 1e-12) << c.text;
    EXPECT_LE(reading.item->coPressure, c.mixture.totalPressure) << c.text;
    // The inverse gives the ratio back.
    if (reading.item->ratio->inert > 0) {
      EXPECT_NEAR(ratioForPressure(reading.item->coPressure, c.mixture),
                  reading.item->ratio->oxygen / reading.item->ratio->inert, 1e-9)
          << c.text;
    }
  }
  EXPECT_TRUE(std::isinf(ratioForPressure(101325, {})));
}

struct ListCase {
  const char* text;
  std::vector<std::string> labels;  // empty: a problem
  const char* message;
};

TEST(PressureItems, MixRatiosAndPressuresOrSayWhy) {
  const std::vector<ListCase> cases{
      {"3:1, 50000", {"3:1 → 86850 Pa", "50000 Pa (0.493)"}, ""},
      {"1:3,1:1,4:1", {"1:3 → 40530 Pa", "1:1 → 67550 Pa", "4:1 → 90067 Pa"}, ""},
      {"3:", {}, "气体比“3:”缺少一边（写作 氧气:惰性气体，如3:1）"},
      {"101325, :1", {}, "气体比“:1”缺少一边（写作 氧气:惰性气体，如3:1）"},
      {"a:1", {}, "气体比“a:1”不是两个数字（写作 氧气:惰性气体，如3:1）"},
      {"1:2:3", {}, "气体比“1:2:3”不是两个数字（写作 氧气:惰性气体，如3:1）"},
      {"-1:3", {}, "气体比“-1:3”不能为负"},
      {"1:-3", {}, "气体比“1:-3”不能为负"},
      {"0:1", {}, "气体比“0:1”不含氧气，不生成CO"},
      {"0:0", {}, "气体比“0:0”不含氧气，不生成CO"},
      {"1e-300:1e300", {}, "气体比“1e-300:1e300”的氧气太少：CO分压低于1 Pa"},  // p_CO underflows to 0
      {"1e-300:1", {}, "气体比“1e-300:1”的氧气太少：CO分压低于1 Pa"},          // would show as "→ 0 Pa"
      {"3:1,,5000", {}, "CO分压列表中有空项"},
      {"abc", {}, "CO分压“abc”不是数字"},
      {"0", {}, "CO分压0 Pa不大于0"},
  };
  for (const ListCase& c : cases) {
    const PressureListItems reading = readPressureItems(c.text, {}, 12);
    std::vector<std::string> labels;
    for (const PressureItem& item : reading.items) labels.push_back(pressureItemLabel(item));
    EXPECT_EQ(labels, c.labels) << c.text;
    EXPECT_EQ(chinese(reading, 12), c.message) << c.text;
  }
  EXPECT_EQ(pressureItemsMessageEnglish(readPressureItems("0:1", {}), "pressures"),
            "--pressures: gas ratio '0:1' has no oxygen, so no CO");
}

// 18 %Cr 9 %Ni and both first presets: at 1:3 the Cr2O3 root is the higher at
// 1500 °C, the Cr3O4 root at 1900 °C.
struct GoverningCase {
  const char* temperature;
  const char* measured;
  Reaction governing;
  bool chromiumLost;  // margin < 0
};

TEST(BlowStage, HigherRootGovernsAndTheMarginIsMeasuredMinusIt) {
  const StageSettings settings;
  for (const GoverningCase& c : std::vector<GoverningCase>{{"1500", "0.6", Reaction::Cr2O3, false},
                                                           {"1500", "0.3", Reaction::Cr2O3, true},
                                                           {"1900", "0.02", Reaction::Cr3O4, true},
                                                           {"1900", "0.05", Reaction::Cr3O4, false}}) {
    const StageResult r = evaluateStage({"1:3", c.temperature, c.measured}, settings);
    ASSERT_EQ(r.issue, StageIssue::None) << c.temperature;
    ASSERT_EQ(r.governing, c.governing) << c.temperature;
    const std::size_t other = c.governing == Reaction::Cr2O3 ? 1 : 0;
    EXPECT_GT(*governingCarbon(r), *r.carbon[other].carbon) << c.temperature;
    const double t = std::stod(c.temperature);
    const EquilibriumCarbon forward =
        equilibriumCarbon(c.governing, settings.lines[1 - other], t, 40530, settings.composition);
    EXPECT_EQ(*governingCarbon(r), *forward.carbon);
    EXPECT_EQ(*r.margin, std::stod(c.measured) - *forward.carbon);
    EXPECT_EQ(*r.margin < 0, c.chromiumLost) << c.temperature << " " << c.measured;
  }
  EXPECT_FALSE(evaluateStage({"1:3", "1600", ""}, settings).margin);  // nothing measured
}

// Stage rows read t and C as the prompts do, and every row that computes
// nothing says why in its 说明 cell.
struct StageRowCase {
  BlowStage stage;
  StageIssue issue;
  const char* text;  // the 说明 cell
};

TEST(BlowStage, RowsReadLikeThePromptsAndSayWhyTheyComputeNothing) {
  const StageSettings settings;
  const std::vector<StageRowCase> cases{
      {{"3:1", "1650℃", "0.3%"}, StageIssue::None, ""},
      {{"3:1", "１６５０", "０.３"}, StageIssue::None, ""},
      {{"", "1600", ""}, StageIssue::GasEmpty, "未填气体比或CO分压"},
      {{"0:1", "1600", ""}, StageIssue::GasBad, "气体比“0:1”不含氧气，不生成CO"},
      {{"1e-300:1", "1600", ""}, StageIssue::GasBad, "气体比“1e-300:1”的氧气太少：CO分压低于1 Pa"},
      {{"3:1", " ", ""}, StageIssue::TemperatureEmpty, "未填温度"},
      {{"3:1", "hot", ""}, StageIssue::TemperatureNotANumber, "温度“hot”不是数字"},
      {{"3:1", "1e400", ""}, StageIssue::TemperatureOutOfRange, "温度“1e400”超出数值范围"},
      {{"3:1", "-300", ""}, StageIssue::BelowAbsoluteZero, "温度“-300”低于-273℃（0 K）"},
      {{"3:1", "-273.0000001", ""}, StageIssue::BelowAbsoluteZero, "温度“-273.0000001”低于-273℃（0 K）"},
      {{"3:1", "1600", "-1"}, StageIssue::MeasuredNotPositive, "实测C浓度“-1”不是正数"},
      {{"3:1", "1600", "x"}, StageIssue::MeasuredNotPositive, "实测C浓度“x”不是正数"},
      {{"3:1", "-273", ""}, StageIssue::AtAbsoluteZero, "-273℃即0 K：ΔG与C浓度无关，平衡没有定义"},
      {{"4.9e-324", "1600", ""}, StageIssue::PressureTooSmall, "CO分压太小，其对数超出数值范围：平衡没有定义"},
      {{"3:1", "1e308", ""}, StageIssue::NoEquilibrium, "在此温度和CO分压下ΔG超出数值范围：平衡没有定义"},
  };
  for (const StageRowCase& c : cases) {
    const StageResult r = evaluateStage(c.stage, settings);
    EXPECT_EQ(r.issue, c.issue) << c.stage.gas << " " << c.stage.temperature;
    const auto table = stageTable(std::vector<BlowStage>{c.stage}, std::vector<StageResult>{r});
    EXPECT_EQ(table[1].back(), c.text) << c.stage.gas << " " << c.stage.temperature;
    // A row that computes nothing has no governing oxide and no margin.
    if (c.issue != StageIssue::None) {
      EXPECT_FALSE(r.governing || r.margin) << c.stage.temperature;
    }
  }
  const StageResult read = evaluateStage({"3:1", "1650℃", "0.3%"}, settings);
  EXPECT_EQ(read.temperatureCelsius, 1650);
  EXPECT_EQ(read.measuredCarbon, 0.3);
}

// One rule for the governing oxide: a root above the range governs over any
// other; below the range or undefined never governs.
TEST(BlowStage, OneRuleForTheGoverningOxide) {
  const EquilibriumCarbon low{0.01, CarbonGap::None}, high{0.5, CarbonGap::None};
  const EquilibriumCarbon above{std::nullopt, CarbonGap::AboveRange}, below{std::nullopt, CarbonGap::BelowRange};
  const EquilibriumCarbon invalid{std::nullopt, CarbonGap::InvalidInput};
  struct Case {
    EquilibriumCarbon cr2o3, cr3o4;
    std::optional<Reaction> governing;
  };
  for (const Case& c : std::vector<Case>{{low, high, Reaction::Cr3O4},
                                         {high, low, Reaction::Cr2O3},
                                         {above, high, Reaction::Cr2O3},
                                         {high, above, Reaction::Cr3O4},
                                         {below, low, Reaction::Cr3O4},
                                         {invalid, low, Reaction::Cr3O4},
                                         {below, below, std::nullopt},
                                         {invalid, below, std::nullopt},
                                         {low, low, Reaction::Cr2O3}}) {
    EXPECT_EQ(governingOxide({c.cr2o3, c.cr3o4}), c.governing);
    if (c.governing) {
      const bool first = *c.governing == Reaction::Cr2O3;
      EXPECT_EQ(governsOver(c.cr2o3, c.cr3o4), first && !(c.cr2o3.carbon == c.cr3o4.carbon));
      EXPECT_EQ(governsOver(c.cr3o4, c.cr2o3), !first);
    }
  }
}

TEST(BlowStage, FirstStageAtTheTarget) {
  const StageSettings settings;
  std::vector<StageResult> results;
  for (const BlowStage& stage : std::vector<BlowStage>{
           {"3:1", "1600", "0.6"}, {"1:1", "1680", "0.15"}, {"1:3", "1720", "0.04"}, {"0:1", "1750", ""}}) {
    results.push_back(evaluateStage(stage, settings));
  }
  EXPECT_EQ(firstStageAtTarget(results, 0.2), std::optional<std::size_t>(1));
  EXPECT_EQ(firstStageAtTarget(results, 0.09), std::optional<std::size_t>(2));
  EXPECT_EQ(firstStageAtTarget(results, 0.03), std::nullopt);
  const std::string tsv = stageTableTsv(stageTable(std::vector<BlowStage>{{"3:1", "1600", "0.6"}}, results));
  EXPECT_EQ(tsv.substr(0, tsv.find('\n')),
            "阶段\t气体比或CO分压\t温度/℃\t实测%C\tp_CO/Pa\tCr2O3平衡%C\tCr3O4平衡%C\t控制氧化物\t余量%C\t说明");
  EXPECT_NE(tsv.find("\n1\t3:1\t1600\t0.6\t86850\t"), std::string::npos) << tsv;
}

// The forward calculation a solve is checked against: both reactions' roots
// at (t, p), the higher governing.
std::optional<double> forwardGoverning(const StageSettings& s, double t, double p) {
  std::array<EquilibriumCarbon, 2> c;
  for (Reaction r : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    c[static_cast<std::size_t>(r)] = equilibriumCarbon(r, s.lines[static_cast<std::size_t>(r)], t, p, s.composition);
  }
  const std::optional<Reaction> g = governingOxide(c);
  return g ? c[static_cast<std::size_t>(*g)].carbon : std::nullopt;
}

// The sign of G − target at (t, p): −1 below (or below the range), +1 above
// (or above the range), 0 where not defined.
int sideOfTarget(const StageSettings& s, double t, double p, double target) {
  const GoverningCarbon g = governingAt(s, t, p);
  if (g.carbon.carbon) return *g.carbon.carbon > target ? 1 : *g.carbon.carbon < target ? -1 : 0;
  return g.carbon.gap == CarbonGap::AboveRange ? 1 : g.carbon.gap == CarbonGap::BelowRange ? -1 : 0;
}

struct LineCase {
  const char* name;
  std::array<ReactionLine, 2> lines;
};

// Every found answer reaches the target in the forward calculation of both
// reactions; every "not reachable" is true (G − target has one sign over the
// whole range, sampled every 2 °C). Presets and typed lines of both slopes.
TEST(StageSolve, EveryAnswerPassesTheForwardCheckAndEveryNoIsTrue) {
  const std::vector<LineCase> lines{
      {"presets", {presetLine(Reaction::Cr2O3), presetLine(Reaction::Cr3O4)}},
      {"other presets", {presetLine(Reaction::Cr2O3, 2), presetLine(Reaction::Cr3O4, 1)}},
      {"rising Cr2O3", {ReactionLine{-100000, 50}, presetLine(Reaction::Cr3O4)}},
      {"rising Cr3O4", {presetLine(Reaction::Cr2O3), ReactionLine{-100000, 50}}},
  };
  const TemperatureRange range;
  int found = 0, notReachable = 0, anyRatio = 0;
  for (const LineCase& line : lines) {
    StageSettings settings;
    settings.lines = line.lines;
    for (const BlowStage& stage : std::vector<BlowStage>{{"4:1", "1400", ""},
                                                         {"3:1", "1600", ""},
                                                         {"1:1", "1700", ""},
                                                         {"1:3", "1800", ""},
                                                         {"20000", "1900", ""}}) {
      const StageResult r = evaluateStage(stage, settings);
      ASSERT_EQ(r.issue, StageIssue::None);
      for (double target : {0.005, 0.03, 0.1, 0.5, 3.0}) {
        const std::string where =
            std::string(line.name) + " " + stage.gas + " " + stage.temperature + " " + formatShortest(target);
        for (const bool byTemperature : {true, false}) {
          const StageSolution s = byTemperature ? solveStageTemperature(r, settings, target, range)
                                                : solveStagePressure(r, settings, target);
          const std::string text = where + (byTemperature ? " T: " : " p: ") + chinese(s, target, range, byTemperature);
          ASSERT_NE(s.status, SolveStatus::StageProblem) << text;
          EXPECT_GT(s.coPressure, 0) << text;
          EXPECT_LE(s.coPressure, settings.mixture.totalPressure) << text;
          if (s.status == SolveStatus::Found) {
            ++found;
            const std::optional<double> g = forwardGoverning(settings, s.temperatureCelsius, s.coPressure);
            ASSERT_TRUE(g) << text;
            EXPECT_NEAR(*g, target, target * 1e-9) << text;
            EXPECT_GE(s.temperatureCelsius, range.startCelsius) << text;
            EXPECT_LE(s.temperatureCelsius, range.endCelsius) << text;
          } else if (s.status == SolveStatus::AnyRatio) {
            ++anyRatio;
            EXPECT_EQ(s.coPressure, settings.mixture.totalPressure) << text;
            EXPECT_LT(sideOfTarget(settings, s.temperatureCelsius, s.coPressure, target), 1) << text;
          } else {
            ++notReachable;
            std::set<int> sides;
            if (byTemperature) {
              for (double t = range.startCelsius; t <= range.endCelsius; t += 2) {
                sides.insert(sideOfTarget(settings, t, r.pressure.coPressure, target));
              }
            } else {
              for (double lnP = 0; lnP <= std::log(settings.mixture.totalPressure); lnP += 0.05) {
                sides.insert(sideOfTarget(settings, r.temperatureCelsius, std::exp(lnP), target));
              }
            }
            sides.erase(0);
            EXPECT_EQ(sides.size(), 1u) << text;
          }
        }
      }
    }
  }
  EXPECT_GT(found, 80);  // of 200 solves
  EXPECT_GT(notReachable, 10);
  EXPECT_GT(anyRatio, 5);
}

// The cases that were answered wrongly: a rising line whose temperature
// solve took the other oxide's root, and pure oxygen reported with a p_CO
// above the total pressure.
TEST(StageSolve, RisingLineAndPureOxygen) {
  StageSettings settings;
  settings.lines[0] = {-100000, 50};
  const StageResult stage = evaluateStage({"1:1", "1700", "0.5"}, settings);
  const StageSolution hot = solveStageTemperature(stage, settings, 0.1, {});
  if (hot.status == SolveStatus::Found) {
    EXPECT_NEAR(*forwardGoverning(settings, hot.temperatureCelsius, stage.pressure.coPressure), 0.1, 1e-10);
  } else {
    EXPECT_EQ(hot.status, SolveStatus::NotReachable);
  }
  EXPECT_GT(std::fabs(hot.temperatureCelsius - 1761.701), 0.01) << chinese(hot, 0.1, {}, true);

  const StageSettings presets;
  const StageResult blow = evaluateStage({"4:1", "1600", ""}, presets);
  const StageSolution any = solveStagePressure(blow, presets, 3);
  EXPECT_EQ(any.status, SolveStatus::AnyRatio);
  EXPECT_EQ(any.coPressure, 101325);
  EXPECT_EQ(ratioText(any.ratio), "1:0");
  EXPECT_EQ(chinese(any, 3, {}, false),
            "在1600℃下纯吹氧（p_CO = 总压101325 Pa）平衡C浓度也不高于3%C：任何气体比都可以");

  // A stage at 0 °C: carbon is stable, only a p_CO far below 1 Pa would
  // reach the target — no answer rather than a ratio of 1:7.7e41.
  const StageSolution cold = solveStagePressure(evaluateStage({"1:1", "-0", ""}, presets), presets, 0.03);
  EXPECT_EQ(cold.status, SolveStatus::NotReachable);
  EXPECT_EQ(cold.nearestAt, minimumRatioPressure);

  const StageSolution none = solveStageTemperature(blow, presets, 0.001, {});
  EXPECT_EQ(none.status, SolveStatus::NotReachable);
  EXPECT_NE(chinese(none, 0.001, {}, true).find("在1400～1900℃之间没有使平衡C浓度达到0.001%C的温度（最接近：1900℃时"),
            std::string::npos)
      << chinese(none, 0.001, {}, true);
}

struct RatioTextCase {
  double ratio;
  const char* text;
};

TEST(StageSolve, RatiosToThreeSignificantDigits) {
  for (const RatioTextCase& c : std::vector<RatioTextCase>{{2.3456, "2.35:1"},
                                                           {1.0 / 3, "1:3"},
                                                           {1 / 12.7, "1:12.7"},
                                                           {12345.6, "12300:1"},
                                                           {99.96, "100:1"},
                                                           {1, "1:1"},
                                                           {std::numeric_limits<double>::infinity(), "1:0"}}) {
    EXPECT_EQ(ratioText(c.ratio), c.text) << c.ratio;
  }
  EXPECT_EQ(targetText(0.03), "0.03");
  EXPECT_EQ(targetText(0.1234567), "0.1234567");
}

// The root finders claim a root only where the bracket closed.
TEST(RootFinding, ConvergenceIsReportedNotAssumed) {
  const auto falling = [](double c) { return 0.05 - c; };
  EXPECT_EQ(solveFalling(falling).gap, CarbonGap::None);
  EXPECT_EQ(*solveFalling(falling).carbon, 0.05);
  EXPECT_EQ(solveFalling(falling, 2).gap, CarbonGap::NotConverged);

  const auto cube = [](double x) { return x * x * x - 2; };
  const BracketedRoot root = bracketRoot(cube, 0, 2, 1e-15);
  EXPECT_TRUE(root.converged);
  EXPECT_NEAR(root.x, std::cbrt(2.0), 1e-14);
  EXPECT_FALSE(bracketRoot(cube, 0, 2, 1e-15, 2).converged);
  EXPECT_FALSE(bracketRoot(cube, 2, 3, 1e-15).converged);  // no sign change

  // No pattern text is made of an infinity or a NaN.
  for (double v : {std::numeric_limits<double>::infinity(), std::nan("")}) {
    EXPECT_THROW(formatPattern(v, DigitPattern::Decimals6), FaultError);
  }
}

// A reaction's index is its place in the arrays by reaction: the default
// lines are each reaction's preset there, and a line set at one reaction's
// index moves that reaction's equilibrium carbon alone.
TEST(ReactionIndex, PlacesEachReactionInTheArraysByReaction) {
  const BlowStage stage{"3:1", "1650", "0.3", ""};
  const StageResult standard = evaluateStage(stage, StageSettings{});
  for (const Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    const Reaction other = otherReaction(reaction);
    EXPECT_NE(other, reaction);
    EXPECT_EQ(otherReaction(other), reaction);
    EXPECT_EQ(reactionIndex(reaction) + reactionIndex(other), 1U);
    StageSettings settings;
    EXPECT_EQ(settings.lines[reactionIndex(reaction)].a, presetLine(reaction).a);
    EXPECT_EQ(settings.lines[reactionIndex(reaction)].b, presetLine(reaction).b);
    settings.lines[reactionIndex(reaction)].a += 5000;  // a larger ΔG°: more carbon at equilibrium
    const StageResult moved = evaluateStage(stage, settings);
    ASSERT_TRUE(moved.carbon[reactionIndex(reaction)].carbon && standard.carbon[reactionIndex(reaction)].carbon);
    EXPECT_GT(*moved.carbon[reactionIndex(reaction)].carbon, *standard.carbon[reactionIndex(reaction)].carbon);
    EXPECT_EQ(moved.carbon[reactionIndex(other)].carbon, standard.carbon[reactionIndex(other)].carbon);
  }
}

}  // namespace
}  // namespace velkarin
