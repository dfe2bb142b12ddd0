// Blow stages: gas ratio → CO pressure, ratio items in a pressure list, the
// stage evaluation (governing oxide, margin) and the inverse solves checked
// against the forward equilibrium carbon.

#include "calc/blow_stage.h"

#include <gtest/gtest.h>

#include <cmath>

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
      {"1e-300:1e300", {}, "气体比“1e-300:1e300”不含氧气，不生成CO"},  // p_CO underflows to 0
      {"3:1,,5000", {}, "CO分压列表中有空项"},
      {"abc", {}, "CO分压“abc”不是数字"},
      {"0", {}, "CO分压0 Pa不大于0"},
  };
  for (const ListCase& c : cases) {
    const PressureListItems reading = readPressureItems(c.text, {}, 12);
    std::vector<std::string> labels;
    for (const PressureItem& item : reading.items) labels.push_back(pressureItemLabel(item));
    EXPECT_EQ(labels, c.labels) << c.text;
    EXPECT_EQ(pressureItemsMessage(reading, 12), c.message) << c.text;
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
    ASSERT_EQ(r.problem, "") << c.temperature;
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
  EXPECT_EQ(evaluateStage({"1:3", "hot", ""}, settings).problem, "温度“hot”不是数字");
  EXPECT_EQ(evaluateStage({"1:3", "1600", "-1"}, settings).problem, "实测C浓度“-1”不是正数");
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

// The solved temperature and pressure, put back into the forward
// calculation, give the target for the governing reaction and no more than
// the target for the other.
TEST(BlowStage, InverseSolvesAgreeWithTheForwardCalculation) {
  StageSettings settings;
  const TemperatureRange range;
  int found = 0;
  for (const auto& lines :
       {settings.lines, std::array<ReactionLine, 2>{presetLine(Reaction::Cr2O3, 2), presetLine(Reaction::Cr3O4, 1)}}) {
    settings.lines = lines;
    for (const BlowStage& stage :
         std::vector<BlowStage>{{"3:1", "1600", ""}, {"1:1", "1680", ""}, {"1:3", "1720", ""}, {"20000", "1800", ""}}) {
      const StageResult r = evaluateStage(stage, settings);
      for (double target : {0.03, 0.1, 0.3}) {
        const StageSolution hot = solveStageTemperature(r, settings, target, range);
        const StageSolution blow = solveStagePressure(r, settings, target);
        for (const StageSolution& s : {hot, blow}) {
          if (!s.found) {
            EXPECT_TRUE(s.temperatureCelsius < range.startCelsius || s.temperatureCelsius > range.endCelsius)
                << stage.gas << " " << target << ": " << s.message;
            continue;
          }
          ++found;
          for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
            const EquilibriumCarbon c = equilibriumCarbon(reaction, settings.lines[static_cast<std::size_t>(reaction)],
                                                          s.temperatureCelsius, s.coPressure, settings.composition);
            ASSERT_TRUE(c.carbon) << stage.gas;
            if (reaction == s.governing) {
              EXPECT_NEAR(*c.carbon, target, target * 1e-9) << stage.gas << " " << target << ": " << s.message;
            } else {
              EXPECT_LE(*c.carbon, target * (1 + 1e-9)) << stage.gas << " " << target;
            }
          }
        }
      }
    }
  }
  EXPECT_GE(found, 40);  // of 48 solves; the rest need a temperature outside 1400–1900 °C
}

TEST(BlowStage, InverseSolvesSayWhenThereIsNoAnswerInRange) {
  const StageSettings settings;
  const StageResult r = evaluateStage({"4:1", "1600", ""}, settings);
  const StageSolution cold = solveStageTemperature(r, settings, 0.001, {});
  EXPECT_FALSE(cold.found);
  EXPECT_NE(cold.message.find("在1400～1900℃之间没有使平衡C浓度达到0.001%C的温度"), std::string::npos) << cold.message;
  const StageSolution anyRatio = solveStagePressure(r, settings, 3);  // 3 %C: even pure oxygen stays below
  EXPECT_TRUE(anyRatio.found);
  EXPECT_TRUE(std::isinf(anyRatio.ratio));
  EXPECT_EQ(ratioText(anyRatio.ratio), "1:0");
  EXPECT_EQ(ratioText(2.3456), "2.35:1");
  EXPECT_EQ(ratioText(1.0 / 3), "1:3");
}

}  // namespace
}  // namespace velkarin
