// SPDX-License-Identifier: Apache-2.0
// The blow ledger: the worked example, each element balanced over a table of
// schedules, stages that cannot be booked, the Cr3O4 branch, O2 from η.

#include "calc/blow_ledger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calc/number_text.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

struct Schedule {
  const char* name;
  std::vector<BlowStage> stages;
  double silicon;      // [%Si]
  double mass;         // t
  double startCarbon;  // %C
  double coShare;      // η
};

StageSettings settingsFor(const Schedule& s) {
  StageSettings settings;
  settings.composition.silicon = s.silicon;
  settings.mixture.coShare = s.coShare;
  return settings;
}

std::vector<StageResult> evaluate(const std::vector<BlowStage>& stages, const StageSettings& settings) {
  std::vector<StageResult> results;
  for (const BlowStage& stage : stages) results.push_back(evaluateStage(stage, settings));
  return results;
}

HeatCharge heatFor(const Schedule& s) {
  HeatCharge heat;
  heat.massTonnes = s.mass;
  heat.startCarbon = s.startCarbon;
  heat.silicon = s.silicon;
  return heat;
}

const std::vector<BlowStage> example{{"4:1", "1600", "0.60", "950"},
                                     {"3:1", "1650", "0.30", "250"},
                                     {"1:1", "1700", "0.12", "180"},
                                     {"1:3", "1730", "0.05", "110"}};

// The worked heat: 80 t, C0 1.5 %, 18 %Cr, 9 %Ni, 0.3 %Si, first presets.
TEST(BlowLedger, TheWorkedHeat) {
  const Schedule s{"example", example, 0.3, 80, 1.5, 1};
  const std::vector<StageResult> results = evaluate(s.stages, settingsFor(s));
  const BlowLedger ledger = blowLedger(s.stages, results, heatFor(s), settingsFor(s).mixture);
  const std::string tsv = ledgerTsv(ledgerTable(s.stages, results, ledger));
  for (const char* line :
       {"阶段\t气体比或CO分压\tO2/Nm³\t惰性气体/Nm³\t时间/min\t脱碳/kg\t脱碳O2/Nm³\t脱碳效率/%\tSi氧化/kg\tCr氧化/kg\t"
        "氧化物\t终点%Cr\t说明\n",
        "\n1\t4:1\t950.0\t237.5\t\t720.0\t671.8\t70.72\t240.0\t268.0\tCr2O3\t17.6650\t\n",
        "\n2\t3:1\t250.0\t83.3\t\t240.0\t223.9\t89.57\t0.0\t80.6\tCr2O3\t",
        "\n3\t1:1\t180.0\t180.0\t\t144.0\t134.4\t74.64\t0.0\t141.2\t",
        "\n4\t1:3\t110.0\t330.0\t\t56.0\t52.3\t47.50\t0.0\t178.6\t",
        "\n合计\t\t1490.0\t830.8\t\t1160.0\t1082.4\t72.64\t240.0\t668.4\tCr2O3\t17.1644\t\n\n",
        "还原Si/kg\t270.8\nFeSi/kg\t361.1\nAl/kg\t346.9\nSiO2/kg\t1092.7\nCaO/kg\t1966.9\n"}) {
    EXPECT_NE(tsv.find(line), std::string::npos) << line << "\n" << tsv;
  }
  EXPECT_NEAR(ledger.totals->chromiumOxidised / (18 * 800), 0.0464, 0.0001);  // 4.6 % of the charge chromium
}

// Carbon, silicon, chromium and oxygen each balance, whatever the schedule.
TEST(BlowLedger, EveryElementBalances) {
  const std::vector<Schedule> schedules{
      {"example", example, 0.3, 80, 1.5, 1},
      {"no silicon, O2 from eta",
       {{"3:1", "1600", "0.8"}, {"1:1", "1680", "0.2"}, {"1:3", "1720", "0.05"}},
       0,
       60,
       1.2,
       0.8},
      {"silicon outlasts a stage", {{"4:1", "1580", "1.2", "900"}, {"3:1", "1650", "0.5", "900"}}, 0.6, 100, 1.8, 1},
      {"hot Cr3O4 stage", {{"1:3", "1900", "0.02", "200"}}, 0.1, 40, 0.2, 1},
      {"a pressure item", {{"20000", "1750", "0.04", "150"}}, 0.2, 50, 0.3, 1},
  };
  for (const Schedule& s : schedules) {
    const StageSettings settings = settingsFor(s);
    const std::vector<StageResult> results = evaluate(s.stages, settings);
    const BlowLedger ledger = blowLedger(s.stages, results, heatFor(s), settings.mixture);
    ASSERT_TRUE(ledger.totals) << s.name;
    const LedgerStage& t = *ledger.totals;
    const double kgPerPercent = s.mass * 10;
    const double lastCarbon = *results.back().measuredCarbon;
    EXPECT_NEAR(t.carbonRemoved, (s.startCarbon - lastCarbon) * kgPerPercent, 1e-9 * kgPerPercent) << s.name;
    double oxygenBooked = 0, reductionKmol = 0;
    for (const LedgerStage& stage : ledger.stages) {
      const double perOxygen = stage.oxide == Reaction::Cr2O3 ? 4.0 / 3.0 : 1.5;  // kmol Cr per kmol O2
      oxygenBooked += stage.carbonOxygen + stage.siliconOxidised / molar::silicon * molar::volume +
                      stage.chromiumOxidised / molar::chromium / perOxygen * molar::volume;
      reductionKmol += stage.chromiumOxidised / molar::chromium * (stage.oxide == Reaction::Cr2O3 ? 0.75 : 2.0 / 3);
      EXPECT_GE(stage.chromiumOxidised, 0) << s.name;
      if (s.coShare < 1 && stage.problem == LedgerProblem::None && !stage.oxygenTyped) {
        EXPECT_NEAR(stage.oxygen, stage.carbonOxygen / s.coShare, 1e-9 * stage.oxygen) << s.name;
      }
    }
    EXPECT_NEAR(oxygenBooked, t.oxygen, 1e-9 * t.oxygen) << s.name;
    EXPECT_LE(t.siliconOxidised, s.silicon * kgPerPercent * (1 + 1e-12)) << s.name;
    EXPECT_NEAR(t.chromiumAfter * kgPerPercent + t.chromiumOxidised, 18 * kgPerPercent, 1e-9 * kgPerPercent) << s.name;
    EXPECT_NEAR(ledger.reduction->silicon, reductionKmol * molar::silicon, 1e-9 + 1e-9 * reductionKmol) << s.name;
    EXPECT_NEAR(ledger.reduction->silica, (t.siliconOxidised / molar::silicon + reductionKmol) * molar::silica,
                1e-9 * (1 + t.oxygen))
        << s.name;
    EXPECT_NEAR(ledger.reduction->slag, 2.8 * ledger.reduction->silica, 1e-9 * (1 + ledger.reduction->slag));
  }
}

TEST(BlowLedger, CrThreeOFourBranch) {
  const Schedule s{"hot", {{"1:3", "1900", "0.02", "200"}}, 0, 40, 0.2, 1};
  const StageSettings settings = settingsFor(s);
  const std::vector<StageResult> results = evaluate(s.stages, settings);
  ASSERT_EQ(results[0].governing, Reaction::Cr3O4);
  const BlowLedger ledger = blowLedger(s.stages, results, heatFor(s), settings.mixture);
  const LedgerStage& stage = ledger.stages[0];
  EXPECT_EQ(stage.oxide, Reaction::Cr3O4);
  const double rest = (stage.oxygen - stage.carbonOxygen) / molar::volume;
  EXPECT_NEAR(stage.chromiumOxidised, rest * 1.5 * molar::chromium, 1e-9 * stage.chromiumOxidised);
  EXPECT_NEAR(ledger.reduction->aluminium, stage.chromiumOxidised / molar::chromium * 8 / 9 * molar::aluminium,
              1e-9 * ledger.reduction->aluminium);
}

// What cannot be booked says why, with no totals and no negative amount.
struct RefusedCase {
  const char* name;
  std::vector<BlowStage> stages;
  HeatCharge heat;
  double coShare;
  const char* note;  // part of a row's 说明
};

TEST(BlowLedger, WhatCannotBeBookedSaysWhy) {
  HeatCharge good;
  good.massTonnes = 80;
  good.startCarbon = 1.5;
  HeatCharge noMass = good, noCarbon = good, badGrade = good;
  noMass.massTonnes.reset();
  noCarbon.startCarbon.reset();
  badGrade.fesiGrade = 120;
  HeatCharge zeroMass = good;
  zeroMass.massTonnes = 0;
  HeatCharge tinyMass = good, hugeMass = good, hugeBasicity = good, tinyGrade = good, tinyFlow = good;
  tinyMass.massTonnes = 1e-300;
  hugeMass.massTonnes = 1e308;
  hugeBasicity.basicity = 1e308;
  tinyGrade.fesiGrade = 1e-308;
  tinyFlow.oxygenFlow = 1e-308;
  HeatCharge hugeStartCarbon = good;
  hugeStartCarbon.startCarbon = 1e306;
  const std::vector<BlowStage> burnsChromium{{"4:1", "1600", "0.6", "950"}};
  const std::vector<RefusedCase> cases{
      {"O2 below carbon",
       {{"4:1", "1600", "0.6", "950"}, {"3:1", "1650", "0.3", "200"}},
       good,
       1,
       "吹氧200 Nm³少于脱碳所需的223.9 Nm³"},
      {"end carbon above start",
       {{"4:1", "1600", "0.6"}, {"3:1", "1650", "0.8"}},
       good,
       1,
       "终点C浓度0.8%高于上一段的0.6%"},
      {"no end carbon", {{"4:1", "1600", ""}}, good, 1, "没有终点C浓度（实测%C）"},
      {"O2 not a number", {{"4:1", "1600", "0.6", "x"}}, good, 1, "吹氧量“x”不是正数"},
      {"bad stage", {{"0:1", "1600", "0.6"}}, good, 1, "气体比“0:1”不含氧气，不生成CO"},
      {"no mass", {{"4:1", "1600", "0.6"}}, noMass, 1, "请输入炉重W（t）"},
      {"zero mass", {{"4:1", "1600", "0.6"}}, zeroMass, 1, "炉重W必须大于0"},
      {"no start carbon", {{"4:1", "1600", "0.6"}}, noCarbon, 1, "请输入初始C浓度"},
      {"grade", {{"4:1", "1600", "0.6"}}, badGrade, 1, "FeSi品位须大于0%、不超过100%"},
      {"eta", {{"4:1", "1600", "0.6"}}, good, 1.5, "总压或CO生成率η不对"},
      {"more Cr than the bath holds",
       {{"4:1", "1600", "0.6", "20000"}, {"3:1", "1650", "0.3", "250"}},
       good,
       1,
       "本段要氧化59783.4 kg Cr，多于熔池中剩下的14400.0 kg"},
      {"O2 1e308", {{"4:1", "1600", "0.6", "1e308"}}, good, 1, "吹氧1e308 Nm³要氧化的Cr多于熔池中剩下的14400.0 kg"},
      {"the second stage takes the last Cr",
       {{"4:1", "1600", "0.6", "10000"}, {"3:1", "1650", "0.3", "10000"}},
       good,
       1,
       "多于熔池中剩下的"},
      {"mass 1e-300", burnsChromium, tinyMass, 1, "本段要氧化2938.4 kg Cr，多于熔池中剩下的0.0 kg"},
      {"mass 1e308", burnsChromium, hugeMass, 1, "炉重W与[%Si]、[%Cr]之积超出了数值范围"},
      {"start carbon 1e306", burnsChromium, hugeStartCarbon, 1, "炉重W与初始%C之积超出了数值范围"},
      {"basicity 1e308", burnsChromium, hugeBasicity, 1, "碱度太大，CaO量超出了数值范围"},
      {"grade 1e-308", burnsChromium, tinyGrade, 1, "FeSi品位太小，FeSi量超出了数值范围"},
      {"flow 1e-308", burnsChromium, tinyFlow, 1, "O2流量太小，时间超出了数值范围"},
      {"after a stage without end carbon, O2 below the carbon of both",
       {{"4:1", "1600", ""}, {"3:1", "1650", "0.3", "250"}},
       good,
       1,
       "前一段的终点C浓度未知，无法计算本段的脱碳"},
      {"after a stage that cannot be read",
       {{"0:1", "1600", "0.6", "950"}, {"3:1", "1650", "0.3", "250"}},
       good,
       1,
       "前一段的终点C浓度未知，无法计算本段的脱碳"},
  };
  for (const RefusedCase& c : cases) {
    StageSettings settings;
    settings.mixture.coShare = c.coShare;
    const std::vector<StageResult> results = evaluate(c.stages, settings);
    const BlowLedger ledger = blowLedger(c.stages, results, c.heat, settings.mixture);
    EXPECT_FALSE(ledger.totals) << c.name;
    EXPECT_FALSE(ledger.reduction) << c.name;
    const std::string tsv = ledgerTsv(ledgerTable(c.stages, results, ledger));
    EXPECT_NE(tsv.find(c.note), std::string::npos) << c.name << "\n" << tsv;
    EXPECT_EQ(tsv.find('-'), std::string::npos) << c.name << "\n" << tsv;  // no negative amount
    EXPECT_NE(tsv.find("还原Si/kg\t\n"), std::string::npos) << c.name;
    EXPECT_EQ(tsv.find("inf"), std::string::npos) << c.name << "\n" << tsv;
    EXPECT_EQ(tsv.find("nan"), std::string::npos) << c.name << "\n" << tsv;
  }
}

// A stage that cannot be booked still hands on its end carbon: the stage
// after it books its own carbon, not that of both (no false "too little O2").
TEST(BlowLedger, TheStageAfterOneThatCannotBeBookedRunsFromItsEndCarbon) {
  HeatCharge heat;
  heat.massTonnes = 80;
  heat.startCarbon = 1.5;
  struct Case {
    const char* name;
    BlowStage first;
    const char* secondOxygen;  // the second stage's O2 cell (3:1, 1650 °C, 0.30 %C)
    const char* secondRow;     // the second stage's row, up to its Cr
  };
  for (const Case& c : std::vector<Case>{
           {"O2 not a number",
            {"4:1", "1600", "0.60", "abc"},
            "250",
            "2\t3:1\t250.0\t83.3\t\t240.0\t223.9\t89.57\t0.0\t"},
           {"O2 below its carbon",
            {"4:1", "1600", "0.60", "100"},
            "250",
            "2\t3:1\t250.0\t83.3\t\t240.0\t223.9\t89.57\t0.0\t"},
           {"more Cr than the bath", {"4:1", "1600", "0.60", "20000"}, "250", "2\t3:1\t250.0\t83.3\t\t240.0\t223.9\t"},
           // No end carbon: the second runs from C0, and with an empty O2 it books both.
           {"no end carbon, then O2 from η",
            {"4:1", "1600", "", ""},
            "",
            "2\t3:1\t895.7\t298.6\t\t960.0\t895.7\t100.00\t"},
       }) {
    const std::vector<BlowStage> stages{c.first, {"3:1", "1650", "0.30", c.secondOxygen}};
    const std::vector<StageResult> results = evaluate(stages, StageSettings{});
    const BlowLedger ledger = blowLedger(stages, results, heat, StageSettings{}.mixture);
    ASSERT_EQ(ledger.stages.size(), 2U) << c.name;
    EXPECT_NE(ledger.stages[0].problem, LedgerProblem::None) << c.name;
    EXPECT_EQ(ledger.stages[1].problem, LedgerProblem::None) << c.name;
    EXPECT_FALSE(ledger.totals) << c.name;
    const std::string tsv = ledgerTsv(ledgerTable(stages, results, ledger));
    EXPECT_NE(tsv.find(std::string("\n") + c.secondRow), std::string::npos) << c.name << "\n" << tsv;
  }
}

// Extreme but readable entries: every figure the ledger prints is finite,
// and its [%Cr] never below 0.
TEST(BlowLedger, EveryPrintedFigureIsFinite) {
  for (const char* oxygen : {"", "950", "20000", "1e300", "1e308", "1e-308"}) {
    for (const double mass : {80.0, 1e-300, 1e-310, 1e300, 1e308}) {
      for (const double flow : {45.0, 1e-308, 1e308}) {
        for (const auto& [grade, basicity] : {std::pair{75.0, 1.8}, std::pair{1e-308, 1.8}, std::pair{75.0, 1e308}}) {
          HeatCharge heat;
          heat.massTonnes = mass;
          heat.startCarbon = 1.5;
          heat.silicon = 0.3;
          heat.oxygenFlow = flow;
          heat.fesiGrade = grade;
          heat.basicity = basicity;
          const std::vector<BlowStage> stages{{"4:1", "1600", "0.60", oxygen}, {"1:3", "1650", "0.30", "250"}};
          StageSettings settings;
          settings.composition.silicon = 0.3;
          const std::vector<StageResult> results = evaluate(stages, settings);
          const BlowLedger ledger = blowLedger(stages, results, heat, settings.mixture);
          const std::string tsv = ledgerTsv(ledgerTable(stages, results, ledger));
          const std::string name = std::string(oxygen) + " Nm3, " + formatShortest(mass) + " t, " +
                                   formatShortest(flow) + " Nm3/min, " + formatShortest(grade) + " %, " +
                                   formatShortest(basicity);
          EXPECT_EQ(tsv.find("inf"), std::string::npos) << name << "\n" << tsv;
          EXPECT_EQ(tsv.find("nan"), std::string::npos) << name << "\n" << tsv;
          for (const LedgerStage& s : ledger.stages) {
            if (s.problem == LedgerProblem::None) {
              EXPECT_GE(s.chromiumAfter, 0) << name;
            }
          }
        }
      }
    }
  }
}

// A booked stage whose end carbon is below its governing equilibrium
// carbon, with the efficiency from η or no chromium burnt, says its figures
// assume an efficiency it cannot reach; one above equilibrium, or one whose
// typed O2 burns chromium (its Cr shows the loss), does not.
TEST(BlowLedger, AStageBelowEquilibriumSaysItsEfficiencyCannotBeReached) {
  HeatCharge heat;
  heat.massTonnes = 80;
  heat.startCarbon = 1.5;
  heat.silicon = 0.3;  // 240 kg Si: takes 191.5 Nm³ of O2 before any Cr burns
  StageSettings settings;
  settings.composition.silicon = 0.3;
  struct Case {
    const char* name;
    BlowStage second;  // after 4:1, 1600 °C, 0.60 %C (margin +0.18)
    bool note;
  };
  for (const Case& c : std::vector<Case>{
           {"below equilibrium, O2 from η", {"4:1", "1600", "0.05", ""}, true},
           {"below equilibrium, typed O2 that burns only Si", {"4:1", "1600", "0.05", "500"}, true},
           {"below equilibrium, typed O2 that burns Cr", {"4:1", "1600", "0.05", "800"}, false},
           {"above equilibrium, O2 from η", {"4:1", "1600", "0.55", ""}, false},
       }) {
    const std::vector<BlowStage> stages{{"4:1", "1600", "0.60", ""}, c.second};
    const std::vector<StageResult> results = evaluate(stages, settings);
    const BlowLedger ledger = blowLedger(stages, results, heat, settings.mixture);
    ASSERT_EQ(ledger.stages.size(), 2U);
    ASSERT_EQ(ledger.stages[1].margin.value_or(0) < 0, c.name[0] == 'b') << c.name;
    EXPECT_FALSE(ledger.stages[0].efficiencyUnreachable) << c.name;
    EXPECT_EQ(ledger.stages[1].efficiencyUnreachable, c.note) << c.name;
    ASSERT_TRUE(ledger.totals) << c.name;  // a note, not a problem
    const LedgerTable table = ledgerTable(stages, results, ledger);
    EXPECT_EQ(table.rows[1].back(), "") << c.name;
    EXPECT_EQ(table.rows[2].back(), c.note ? ledgerEfficiencyNote : "") << c.name;
  }
}

}  // namespace
}  // namespace velkarin
