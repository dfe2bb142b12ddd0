// SPDX-License-Identifier: Apache-2.0
// The blow simulation: mass, oxygen and energy balances, the limits of the
// rate constant, the gas, additions, end criteria and bad input.
#include "calc/blow_simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/bath_model.h"
#include "simulation_heat.h"

namespace velkarin {
namespace {

using test::heat80;
using test::toCarbon;

SimulationStage withOxygen(std::string gas, double oxygen, InertGas inert = InertGas::Argon) {
  return {std::move(gas), oxygen, std::nullopt, 0, 0, inert};
}

double near(double expected, double relative) { return std::abs(expected) * relative + 1e-12; }

struct Schedule {
  std::string name;
  SimulationHeat heat;
  std::vector<SimulationStage> stages;
};

std::vector<Schedule> schedules() {
  SimulationHeat slow = heat80();
  slow.rateConstant = 0.05;
  slow.mixture.coShare = 0.8;
  slow.slagMass = 1500;
  return {
      {"three_stages_to_carbon", heat80(), {toCarbon("3:1", 0.6), toCarbon("1:1", 0.2), toCarbon("1:3", 0.08)}},
      {"additions_and_nitrogen",
       heat80(),
       {toCarbon("4:1", 0.8, 2000, 3000), withOxygen("1:1", 400, InertGas::Nitrogen), toCarbon("50000", 0.1, 500)}},
      {"slow_transport_low_eta", slow, {withOxygen("3:1", 600), withOxygen("1:2", 500), withOxygen("1:0", 200)}},
  };
}

class Balances : public testing::TestWithParam<Schedule> {};

// Carbon, silicon, chromium, oxygen and slag close stage by stage.
TEST_P(Balances, CloseStageByStage) {
  const Schedule& s = GetParam();
  const BlowSimulation sim = simulateBlow(s.heat, s.stages);
  ASSERT_EQ(sim.problem, SimulationProblem::None);
  ASSERT_TRUE(sim.totals);
  double mass = 1000 * *s.heat.massTonnes, carbon = *s.heat.startCarbon, chromium = s.heat.composition.chromium;
  double silicon = s.heat.composition.silicon, slag = s.heat.slagMass;
  for (std::size_t i = 0; i < s.stages.size(); ++i) {
    const SimulatedStage& st = sim.stages[i];
    ASSERT_EQ(st.problem, SimulationProblem::None) << i;
    const double startMass = mass + s.stages[i].scrap;
    EXPECT_DOUBLE_EQ(st.bathMass, startMass);
    // Scrap brings the bath's [%Cr] and neither C nor Si.
    const double carbonKg = carbon * mass / 100, siliconKg = silicon * mass / 100,
                 chromiumKg = chromium * startMass / 100;
    EXPECT_NEAR(carbonKg - st.carbonBurnt, st.endCarbon * startMass / 100, near(carbonKg, 1e-12)) << i;
    EXPECT_NEAR(siliconKg - st.siliconBurnt, st.endSilicon * startMass / 100, near(siliconKg, 1e-12)) << i;
    EXPECT_NEAR(chromiumKg - st.chromiumBurnt, st.endChromium * startMass / 100, near(chromiumKg, 1e-12)) << i;
    const double cr2o3 = st.chromiumBurnt - st.chromiumToCr3O4;
    const double oxygenKmol = st.carbonBurnt * 0.5 / molar::carbon + st.siliconBurnt / molar::silicon +
                              cr2o3 * 0.75 / molar::chromium + st.chromiumToCr3O4 * (2.0 / 3.0) / molar::chromium;
    EXPECT_NEAR(oxygenKmol * molar::volume, st.oxygen, near(st.oxygen, 1e-9)) << i;
    slag += s.stages[i].lime + st.siliconBurnt * molar::silica / molar::silicon +
            cr2o3 * oxidePerChromium(Reaction::Cr2O3) + st.chromiumToCr3O4 * oxidePerChromium(Reaction::Cr3O4);
    EXPECT_NEAR(st.slagMass, slag, near(slag, 1e-9)) << i;
    EXPECT_NEAR(st.oxygen, *s.heat.oxygenFlow * st.minutes, near(st.oxygen, 1e-12)) << i;
    mass = startMass, carbon = st.endCarbon, chromium = st.endChromium, silicon = st.endSilicon;
  }
  // The tap wins back every kilogram burnt: the charge's chromium and the scrap's.
  double charged = s.heat.composition.chromium * 1000 * *s.heat.massTonnes / 100;
  double before = s.heat.composition.chromium;
  for (std::size_t i = 0; i < s.stages.size(); ++i) {
    charged += s.stages[i].scrap * before / 100;
    before = sim.stages[i].endChromium;
  }
  EXPECT_NEAR(sim.reduction->tapChromium * mass / 100, charged, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Schedules, Balances, testing::ValuesIn(schedules()),
                         [](const auto& row) { return row.param.name; });

// Above the critical carbon with η = 1 every mole of O2 burns carbon at r_sup,
// so dT/dt = a − b·(T − 25) has a closed form: the integrated heat balance
// must close on it.
struct EnergyRow {
  std::string name, gas;
  InertGas inert;
  double inertPerOxygen;  // F_inert / F
  double gasCapacity;     // kJ/(Nm³·K)
};

class Energy : public testing::TestWithParam<EnergyRow> {};

TEST_P(Energy, ClosesOverASupplyLimitedStage) {
  const EnergyRow& row = GetParam();
  SimulationHeat h = heat80();
  h.startCarbon = 3;
  h.composition.silicon = 0;
  h.slagMass = 800;
  const BlowSimulation sim = simulateBlow(h, std::vector{withOxygen(row.gas, 600, row.inert)});
  ASSERT_EQ(sim.problem, SimulationProblem::None);
  const SimulatedStage& st = sim.stages.at(0);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  ASSERT_FALSE(st.criticalCarbon);
  const double capacity = 0.82 * 80000 + 1.25 * 800;                       // kJ/K
  const double supply = 2 * 60 / molar::volume * molar::carbon;            // kg C/min
  const double a = (1000 * 9.0 * supply - 1.5 * 0.82 * 80000) / capacity;  // K/min
  const double b = row.gasCapacity * 60 * row.inertPerOxygen / capacity;   // 1/min
  const double t = 10;                                                     // 600 Nm³ at 60 Nm³/min
  const double expected = b == 0 ? 1550 + a * t : 25 + a / b + (1550 - 25 - a / b) * std::exp(-b * t);
  EXPECT_NEAR(st.minutes, t, 1e-12);
  EXPECT_NEAR(st.carbonBurnt, supply * t, 1e-9);
  EXPECT_NEAR(st.chromiumBurnt, 0, 1e-9);
  EXPECT_NEAR((st.endTemperature - 1550) * capacity, (expected - 1550) * capacity,
              1e-6 * std::abs((expected - 1550) * capacity));
  EXPECT_NEAR(st.inert, 600 * row.inertPerOxygen, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Gases, Energy,
                         testing::Values(EnergyRow{"pure_oxygen", "1:0", InertGas::Argon, 0, 0.928},
                                         EnergyRow{"argon_1_1", "1:1", InertGas::Argon, 1, 0.928},
                                         EnergyRow{"nitrogen_3_1", "3:1", InertGas::Nitrogen, 1.0 / 3, 1.47},
                                         EnergyRow{"argon_1_2", "1:2", InertGas::Argon, 2, 0.928}),
                         [](const auto& row) { return row.param.name; });

// The heat loss L enters alone: two heats apart only in L end ΔL·t apart.
TEST(Energy, HeatLossCoolsByLPerMinute) {
  SimulationHeat h = heat80();
  h.startCarbon = 3;
  h.composition.silicon = 0;
  SimulationHeat colder = h;
  colder.heatLoss = 4;
  const std::vector stages{withOxygen("1:0", 480)};
  const double warm = simulateBlow(h, stages).stages.at(0).endTemperature;
  const double cold = simulateBlow(colder, stages).stages.at(0).endTemperature;
  EXPECT_NEAR(warm - cold, (4 - 1.5) * 8.0, 1e-7);
}

// A stage of no oxygen blows nothing: no time passes, nothing burns.
TEST(Energy, StageWithoutOxygenChangesNothing) {
  const BlowSimulation sim = simulateBlow(heat80(), std::vector{withOxygen("1:1", 0)});
  const SimulatedStage& st = sim.stages.at(0);
  ASSERT_EQ(st.problem, SimulationProblem::None);
  EXPECT_EQ(st.minutes, 0);
  EXPECT_EQ(st.carbonBurnt, 0);
  EXPECT_EQ(st.endTemperature, 1550);
  EXPECT_DOUBLE_EQ(st.endCarbon, 1.6);
}

}  // namespace
}  // namespace velkarin
