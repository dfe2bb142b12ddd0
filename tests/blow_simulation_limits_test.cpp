// SPDX-License-Identifier: Apache-2.0
// The blow simulation at its limits: k = 0 and a large k, pure oxygen, the
// critical carbon, end criteria, additions, chromium running out, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calc/bath_model.h"
#include "calc/blow_simulation.h"
#include "simulation_heat.h"

namespace velkarin {
namespace {

using test::heat80;
using test::toCarbon;

SimulationStage withOxygen(std::string gas, double oxygen, double lime = 0, double scrap = 0) {
  return {std::move(gas), oxygen, std::nullopt, lime, scrap, InertGas::Argon};
}

// k = 0: no carbon leaves; the oxygen burns silicon, then chromium.
TEST(RateConstant, ZeroSendsAllOxygenToSiliconThenChromium) {
  SimulationHeat h = heat80();
  h.rateConstant = 0;
  const BlowSimulation sim = simulateBlow(h, std::vector{withOxygen("3:1", 400)});
  const SimulatedStage& st = sim.stages.at(0);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  EXPECT_EQ(st.carbonBurnt, 0);
  EXPECT_EQ(st.efficiency, 0);
  const double oxygenKmol = 400 / molar::volume;
  const double silicon = 0.3 * 800;  // kg
  EXPECT_NEAR(st.siliconBurnt, silicon, 1e-9);
  const double rest = oxygenKmol - silicon / molar::silicon;
  const double cr3o4 = st.chromiumToCr3O4, cr2o3 = st.chromiumBurnt - cr3o4;
  EXPECT_NEAR(cr2o3 * 0.75 / molar::chromium + cr3o4 * (2.0 / 3.0) / molar::chromium, rest, 1e-9);
  EXPECT_GT(st.chromiumBurnt, 0);
}

// A large k holds the bath on its equilibrium once below the critical carbon.
TEST(RateConstant, LargeKeepsThePathOnTheEquilibrium) {
  SimulationHeat h = heat80();
  h.rateConstant = 2000;
  h.composition.silicon = 0;
  const BlowSimulation sim = simulateBlow(h, std::vector{toCarbon("1:2", 0.05)});
  const SimulatedStage& st = sim.stages.at(0);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  ASSERT_TRUE(st.criticalCarbon);
  int below = 0;
  for (const PathSample& p : sim.path) {
    if (p.carbon >= *st.criticalCarbon) continue;
    ASSERT_TRUE(p.equilibriumCarbon);
    EXPECT_NEAR(p.carbon, *p.equilibriumCarbon, 1e-4) << p.minutes;
    ++below;
  }
  EXPECT_GT(below, 3);
}

// The critical carbon is where g(r_sup) = r_sup: k·M·([%C] − C_eq(P_sup))/100 = r_sup.
TEST(CriticalCarbon, IsWhereTransportMeetsTheSupply) {
  SimulationHeat h = heat80();
  h.composition.silicon = 0;
  const BlowSimulation sim = simulateBlow(h, std::vector{toCarbon("1:1", 0.1)});
  const SimulatedStage& st = sim.stages.at(0);
  ASSERT_TRUE(st.criticalCarbon);
  const auto at = std::find_if(sim.path.begin(), sim.path.end(),
                               [&](const PathSample& p) { return p.carbon == *st.criticalCarbon; });
  ASSERT_NE(at, sim.path.end());
  const auto eq = governingEquilibrium(h.lines, at->temperature, st.gasPressure, {at->chromium, 9, at->silicon, 1});
  ASSERT_TRUE(eq);
  const double supply = 2 * 60 / molar::volume * molar::carbon;
  EXPECT_NEAR(0.30 * 80000 * (*st.criticalCarbon - eq->carbon) / 100, supply, supply * 1e-8);
  // A stage starting below it has none.
  const BlowSimulation low = simulateBlow(h, std::vector{toCarbon("1:1", 0.1), toCarbon("1:3", 0.05)});
  EXPECT_FALSE(low.stages.at(1).criticalCarbon);
}

// Pure oxygen keeps p_CO at P; a ratio gives the ledger's p_CO.
TEST(Gas, RatioAndPressureItems) {
  struct Row {
    const char* gas;
    double pressure;
  };
  for (const Row row :
       {Row{"1:0", 101325}, Row{"3:1", 101325 * 6.0 / 7}, Row{"1:1", 101325 * 2.0 / 3}, Row{"50000", 50000}}) {
    const BlowSimulation sim = simulateBlow(heat80(), std::vector{withOxygen(row.gas, 100)});
    ASSERT_EQ(sim.stages.at(0).problem, SimulationProblem::None) << row.gas;
    EXPECT_NEAR(sim.stages[0].gasPressure, row.pressure, 1e-9 * row.pressure) << row.gas;
  }
  const BlowSimulation pure = simulateBlow(heat80(), std::vector{withOxygen("1:0", 100)});
  EXPECT_EQ(pure.stages[0].inert, 0);
  EXPECT_EQ(pure.stages[0].gasPressure, 101325);
}

// Scrap and lime at a stage's start: mass, dilution and the heat they take.
TEST(Additions, ScrapAndLimeStep) {
  SimulationHeat h = heat80();
  h.slagMass = 1000;
  const BlowSimulation sim = simulateBlow(h, std::vector{withOxygen("1:1", 0, 2000, 5000)});
  const SimulatedStage& st = sim.stages.at(0);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  EXPECT_EQ(st.bathMass, 85000);
  EXPECT_NEAR(st.endCarbon, 1.6 * 80000 / 85000, 1e-12);
  EXPECT_NEAR(st.endSilicon, 0.3 * 80000 / 85000, 1e-12);
  EXPECT_NEAR(st.endChromium, 18, 1e-12);
  EXPECT_EQ(st.slagMass, 3000);
  const double drop = (1.39 * 5000 + 1.55 * 2000) * 1000 / (0.82 * 85000 + 1.25 * 3000);
  EXPECT_NEAR(st.endTemperature, 1550 - drop, 1e-9);
  // The lime of the stages counts against the reduction's CaO.
  ASSERT_TRUE(sim.reduction);
  EXPECT_EQ(sim.reduction->lime, 0);
  EXPECT_NEAR(sim.reduction->slag, 1000 + 2000, 1e-9);
}

TEST(EndCarbon, AtOrAboveTheStartBlowsNothing) {
  const BlowSimulation sim = simulateBlow(heat80(), std::vector{toCarbon("3:1", 0.5), toCarbon("1:1", 0.5)});
  const SimulatedStage& st = sim.stages.at(1);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  EXPECT_TRUE(st.notes & noteBits(SimulationNote::EndCarbonNotBelowStart));
  EXPECT_EQ(st.oxygen, 0);
  EXPECT_EQ(st.carbonBurnt, 0);
  EXPECT_EQ(sim.stages[0].notes & noteBits(SimulationNote::EndCarbonNotBelowStart), 0u);
  EXPECT_NEAR(sim.stages[0].endCarbon, 0.5, 1e-12);
}

// Unreachable: 0.0001 %C lies below the equilibrium at 1:0; the stage stops
// at three times the oxygen its carbon alone would take.
TEST(EndCarbon, UnreachableStopsAtThreeTimesItsOxygen) {
  const BlowSimulation sim = simulateBlow(heat80(), std::vector{toCarbon("1:0", 0.3), toCarbon("1:0", 0.001)});
  const SimulatedStage& st = sim.stages.at(1);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  EXPECT_TRUE(st.notes & noteBits(SimulationNote::EndCarbonNotReached));
  const double cap = 3 * (0.3 - 0.001) * 800 * 0.5 / molar::carbon * molar::volume;
  EXPECT_NEAR(st.oxygen, cap, 1e-9 * cap);
  EXPECT_GT(st.endCarbon, 0.001);
}

// A slow bath whose chromium burns where the Cr2O3 and Cr3O4 equilibria
// cross: the change of governing oxide is an event, so the blow ends (it
// used to switch within every trial step and never finish).
TEST(Chromium, BathOnTheOxidesCrossingFinishes) {
  SimulationHeat h = heat80();
  h.rateConstant = 0.05;
  const BlowSimulation sim = simulateBlow(h, std::vector{toCarbon("1:0", 0.9), withOxygen("5:1", 400),
                                                         toCarbon("25000", 0.2, 0, 3000), toCarbon("1:4", 0.03)});
  ASSERT_TRUE(sim.totals);
  bool both[2] = {false, false};
  for (const PathSample& p : sim.path) {
    if (p.oxide) both[static_cast<int>(*p.oxide)] = true;
  }
  EXPECT_TRUE(both[0] && both[1]);
  EXPECT_GT(sim.totals->chromiumToCr3O4, 0);
  EXPECT_GT(sim.totals->chromiumBurnt, sim.totals->chromiumToCr3O4);
}

TEST(Chromium, ExhaustedIsAProblemNotANegativeMass) {
  SimulationHeat h = heat80();
  h.composition.chromium = 0.05;
  h.rateConstant = 0;
  const BlowSimulation sim = simulateBlow(h, std::vector{withOxygen("1:1", 2000), withOxygen("1:1", 10)});
  EXPECT_EQ(sim.stages.at(0).problem, SimulationProblem::ChromiumExhausted);
  EXPECT_EQ(sim.stages.at(1).problem, SimulationProblem::AfterProblem);
  EXPECT_FALSE(sim.totals);
  EXPECT_FALSE(sim.reduction);
  for (const PathSample& p : sim.path) EXPECT_GE(p.chromium, -1e-9);
}

TEST(Input, BadHeatOrStageIsAProblem) {
  struct Row {
    const char* name;
    void (*change)(SimulationHeat&, SimulationStage&);
    SimulationProblem heat, stage;
  };
  using P = SimulationProblem;
  const Row rows[] = {
      {"no_mass", [](SimulationHeat& h, SimulationStage&) { h.massTonnes.reset(); }, P::NoMass, P::None},
      {"negative_mass", [](SimulationHeat& h, SimulationStage&) { h.massTonnes = -1; }, P::MassNotPositive, P::None},
      {"no_carbon", [](SimulationHeat& h, SimulationStage&) { h.startCarbon.reset(); }, P::NoStartCarbon, P::None},
      {"no_temperature", [](SimulationHeat& h, SimulationStage&) { h.startTemperature.reset(); }, P::NoStartTemperature,
       P::None},
      {"below_absolute_zero", [](SimulationHeat& h, SimulationStage&) { h.startTemperature = -300; },
       P::StartTemperatureBad, P::None},
      {"above_iron_boiling", [](SimulationHeat& h, SimulationStage&) { h.startTemperature = 1e300; },
       P::StartTemperatureBad, P::None},
      {"no_flow", [](SimulationHeat& h, SimulationStage&) { h.oxygenFlow.reset(); }, P::NoOxygenFlow, P::None},
      {"zero_flow", [](SimulationHeat& h, SimulationStage&) { h.oxygenFlow = 0; }, P::OxygenFlowNotPositive, P::None},
      {"eta_above_1", [](SimulationHeat& h, SimulationStage&) { h.mixture.coShare = 1.5; }, P::BadMixture, P::None},
      {"no_chromium", [](SimulationHeat& h, SimulationStage&) { h.composition.chromium = 0; }, P::BadComposition,
       P::None},
      {"negative_k", [](SimulationHeat& h, SimulationStage&) { h.rateConstant = -0.1; }, P::BadRateConstant, P::None},
      {"negative_loss", [](SimulationHeat& h, SimulationStage&) { h.heatLoss = -1; }, P::BadHeatLoss, P::None},
      {"negative_slag", [](SimulationHeat& h, SimulationStage&) { h.slagMass = -1; }, P::BadSlagMass, P::None},
      {"mass_beyond_range", [](SimulationHeat& h, SimulationStage&) { h.massTonnes = 1e306; }, P::HeatOutOfRange,
       P::None},
      {"grade_zero", [](SimulationHeat& h, SimulationStage&) { h.fesiGrade = 0; }, P::BadFesiGrade, P::None},
      {"bad_gas", [](SimulationHeat&, SimulationStage& s) { s.gas = "0:1"; }, P::None, P::GasBad},
      {"frozen_by_a_trickle", [](SimulationHeat& h, SimulationStage&) { h.oxygenFlow = 0.001; }, P::None,
       P::BathFrozen},
      {"no_end", [](SimulationHeat&, SimulationStage& s) { s.endCarbon.reset(); }, P::None, P::NoEndCriterion},
      {"negative_oxygen", [](SimulationHeat&, SimulationStage& s) { s.oxygen = -5; }, P::None, P::OxygenNegative},
      {"zero_end_carbon", [](SimulationHeat&, SimulationStage& s) { s.endCarbon = 0; }, P::None,
       P::EndCarbonNotPositive},
      {"negative_lime", [](SimulationHeat&, SimulationStage& s) { s.lime = -1; }, P::None, P::AdditionNegative},
  };
  for (const Row& row : rows) {
    SimulationHeat h = heat80();
    SimulationStage s = toCarbon("3:1", 0.8);
    row.change(h, s);
    const BlowSimulation sim = simulateBlow(h, std::vector{s});
    EXPECT_EQ(sim.problem, row.heat) << row.name;
    if (row.heat != P::None) {
      EXPECT_TRUE(sim.stages.empty()) << row.name;
      continue;
    }
    ASSERT_EQ(sim.stages.size(), 1u) << row.name;
    EXPECT_EQ(sim.stages[0].problem, row.stage) << row.name;
    EXPECT_FALSE(sim.totals) << row.name;
  }
  EXPECT_EQ(simulateBlow(heat80(), std::vector<SimulationStage>{}).problem, P::NoStages);
}

}  // namespace
}  // namespace velkarin
