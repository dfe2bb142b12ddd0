// SPDX-License-Identifier: Apache-2.0
// The bath model's rates: the held oxide's Newton solves against the
// bracketing solve with full equilibrium solves, and the crossing value.
#include "calc/bath_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calc/blow_simulation.h"
#include "calc/free_energy.h"
#include "simulation_heat.h"

namespace velkarin {
namespace {

// 80 t of steel with 9 %Ni and 1 %Mn blown with 60 Nm³/min of O2 and
// `inertFlow` Nm³/min of argon.
BathConditions conditions(double inertFlow, double rateConstant) {
  BathConditions c;
  c.lines = {presetLine(Reaction::Cr2O3), presetLine(Reaction::Cr3O4)};
  c.nickel = 9;
  c.manganese = 1;
  c.bathMass = c.heatMass = 80000;
  c.oxygen = 60 / molar::volume;
  c.inertFlow = inertFlow;
  c.inert = inertFlow / molar::volume;
  c.gasHeatCapacity = bath::argonHeatCapacity;
  c.rateConstant = rateConstant;
  c.heatLoss = 1.5;
  return c;
}

BathState state(double carbon, double chromium, double celsius) {
  BathState y{};
  y[carbonKg] = carbon * 800;  // mass % of 80 t
  y[chromiumKg] = chromium * 800;
  y[temperatureC] = celsius;
  y[slagKg] = 1000;
  return y;
}

struct RatesRow {
  std::string name;
  double inertFlow, rateConstant;
  double carbon, chromium, celsius;  // mass %, mass %, °C
};

class HeldRates : public testing::TestWithParam<RatesRow> {};

// With the governing oxide held, the Newton solves give the rates of the
// bracketing solve over r with the full equilibrium solve in each step.
TEST_P(HeldRates, EqualTheBracketingSolve) {
  const RatesRow& row = GetParam();
  const BathState y = state(row.carbon, row.chromium, row.celsius);
  const BathModel governed(conditions(row.inertFlow, row.rateConstant));
  const BathRates reference = governed.rates(y);
  ASSERT_TRUE(reference.equilibrium);
  BathConditions held = conditions(row.inertFlow, row.rateConstant);
  held.heldOxide = reference.equilibrium->oxide;
  const BathModel model(held);
  // Twice: the second call starts its Newton steps from the first's roots.
  for (int call = 0; call < 2; ++call) {
    const BathRates r = model.rates(y);
    ASSERT_TRUE(r.equilibrium);
    EXPECT_EQ(r.supplyLimited, reference.supplyLimited);
    EXPECT_EQ(r.equilibrium->oxide, reference.equilibrium->oxide);
    EXPECT_NEAR(r.carbon, reference.carbon, 1e-13 * reference.supply);
    EXPECT_NEAR(r.equilibrium->carbon, reference.equilibrium->carbon, 1e-12 * reference.equilibrium->carbon);
    // Below the critical carbon the held oxide need not govern at p(r_sup)
    // too, so there only the sign of the excess is the same.
    if (reference.supplyLimited) {
      EXPECT_NEAR(r.excess, reference.excess, 1e-12 * reference.supply);
    } else {
      EXPECT_LT(r.excess, 0);
    }
    EXPECT_NEAR(r.chromium, reference.chromium, 1e-12 * reference.supply * 40);
    EXPECT_NEAR(r.pressure, reference.pressure, 1e-12 * reference.pressure);
  }
}

INSTANTIATE_TEST_SUITE_P(
    States, HeldRates,
    testing::Values(RatesRow{"supply_limited", 20, 0.3, 1.2, 18, 1600},
                    RatesRow{"transport_argon_1_1", 60, 0.3, 0.15, 18, 1650},
                    RatesRow{"transport_argon_1_3", 180, 0.3, 0.06, 17, 1700},
                    RatesRow{"transport_slow", 30, 0.05, 0.4, 16, 1750},
                    RatesRow{"transport_fast_k", 120, 2000, 0.08, 18, 1680},
                    RatesRow{"pure_oxygen", 0, 0.3, 0.2, 18, 1700}, RatesRow{"low_chromium_hot", 60, 0.3, 0.1, 8, 1850},
                    // At 2077 °C both roots lie below 0.001 %C at p(r): the floor's rate k·M·[%C]/100.
                    RatesRow{"both_at_the_floor", 240, 0.05, 0.2, 12.6, 2077.4},
                    // A little more carbon: r_C pinned where the Cr3O4 root enters the range.
                    RatesRow{"pinned_at_the_foot", 240, 0.05, 0.237, 12.6, 2077.4}),
    [](const auto& row) { return row.param.name; });

// The crossing value is the held oxide's equilibrium carbon less the other's
// at p(r_C), whichever oxide is held.
TEST(Crossing, IsTheHeldLeadOverTheOther) {
  for (const double celsius : {1600.0, 1700.0, 1800.0}) {
    const BathState y = state(0.2, 18, celsius);
    BathConditions c = conditions(60, 0.3);
    for (const Reaction held : {Reaction::Cr2O3, Reaction::Cr3O4}) {
      c.heldOxide = held;
      const BathModel model(c);
      const BathRates r = model.rates(y);
      ASSERT_TRUE(r.equilibrium);
      const CurveComposition comp{18, 9, 0, 1};
      const Reaction other = held == Reaction::Cr2O3 ? Reaction::Cr3O4 : Reaction::Cr2O3;
      const auto own = equilibriumCarbon(held, c.lines[static_cast<std::size_t>(held)], celsius, r.pressure, comp);
      const auto rival = equilibriumCarbon(other, c.lines[static_cast<std::size_t>(other)], celsius, r.pressure, comp);
      ASSERT_TRUE(own.carbon && rival.carbon) << celsius;
      EXPECT_NEAR(model.crossing(y, r), *own.carbon - *rival.carbon, 1e-12) << celsius;
    }
  }
}

// The ΔG of Cr2O3 less that of Cr3O4 at a sample's equilibrium carbon, J/mol:
// their CO terms cancel, so it is zero where the two equilibria cross at any p.
double freeEnergyGap(const PathSample& p, const SimulationHeat& h) {
  MeltState s;
  s.temperature = p.temperature + constants::kelvinOffset;
  s.chromium = p.chromium;
  s.nickel = h.composition.nickel;
  s.silicon = p.silicon;
  s.manganese = h.composition.manganese;
  const double lnChromium = std::log(p.chromium);
  const Cr2O3FreeEnergy cr2o3({h.lines[0].a, h.lines[0].b, s, 0, lnChromium});
  const Cr3O4FreeEnergy cr3o4({h.lines[1].a, h.lines[1].b, s, 0, lnChromium});
  return cr2o3(*p.equilibriumCarbon) - cr3o4(*p.equilibriumCarbon);
}

// The governing oxide changes at a sample of its own, placed where the two
// equilibrium carbons are equal; none changes between samples unseen.
TEST(Crossing, OxideChangesWhereTheEquilibriaMeet) {
  SimulationHeat h = test::heat80();
  h.rateConstant = 0.05;
  const std::vector<SimulationStage> stages{test::toCarbon("1:0", 0.9),
                                            {"5:1", 400, {}, 0, 0, InertGas::Argon},
                                            test::toCarbon("25000", 0.2, 0, 3000),
                                            test::toCarbon("1:4", 0.03)};
  const BlowSimulation sim = simulateBlow(h, stages);
  ASSERT_TRUE(sim.totals);
  int crossings = 0;
  for (std::size_t i = 1; i < sim.path.size(); ++i) {
    const PathSample &before = sim.path[i - 1], &at = sim.path[i];
    ASSERT_TRUE(before.oxide && at.oxide && at.equilibriumCarbon);
    // A stage's first sample shares its time with the last one's end, and
    // an equilibrium at the floor of the range has no crossing.
    if (*before.oxide == *at.oxide || at.minutes == before.minutes || *at.equilibriumCarbon < 0.001) continue;
    ++crossings;
    EXPECT_NEAR(freeEnergyGap(at, h), 0, 1e-3) << at.minutes;  // J/mol
  }
  EXPECT_GE(crossings, 2);
}

// A heat (found by a random search over heats and preset lines) whose bath
// reaches the crossing where each oxide's own burning would carry it back:
// Cr2O3 burns less chromium per O2 but heats more. Switching there would
// chatter until the stage gives up; the bath rides the crossing instead,
// both equilibria equal, until burning to Cr3O4 leads away from it.
SimulationHeat ridingHeat() {
  SimulationHeat h;
  h.massTonnes = 80;
  h.startCarbon = 0.805639;
  h.startTemperature = 1619.3;
  h.oxygenFlow = 63.6197;
  h.heatLoss = 20.7292;
  h.composition = {18.8829, 9.67407, 0.0447318, 0.80607};
  h.rateConstant = 0.369039;
  h.lines = {presetLine(Reaction::Cr2O3, 0), presetLine(Reaction::Cr3O4, 1)};
  return h;
}

std::vector<SimulationStage> ridingStages() {
  return {{"2.02:1", 930.531, {}, 0, 0, InertGas::Argon}, {"4.97:1", 931.545, {}, 0, 0, InertGas::Argon}};
}

TEST(Crossing, BathRidesItWhereEachOxideLeadsBack) {
  const SimulationHeat h = ridingHeat();
  const BlowSimulation sim = simulateBlow(h, ridingStages());
  ASSERT_EQ(sim.stages.at(0).problem, SimulationProblem::None);
  ASSERT_TRUE(sim.totals);
  // The samples on the crossing: where the ride begins and where it ends,
  // apart by more than a grid step's fraction, the equilibria equal at both.
  std::vector<double> on;
  for (const PathSample& p : sim.path) {
    if (p.equilibriumCarbon && std::abs(freeEnergyGap(p, h)) < 1e-3) on.push_back(p.minutes);
  }
  ASSERT_EQ(on.size(), 2u);
  EXPECT_GT(on[1] - on[0], 0.1);
  // Chromium burnt to both oxides in the stage of the ride.
  const SimulatedStage& st = sim.stages[0];
  EXPECT_GT(st.chromiumToCr3O4, 0);
  EXPECT_GT(st.chromiumBurnt - st.chromiumToCr3O4, 0);
}

// Riding the crossing, the share to Cr2O3 keeps the two equilibria equal:
// the lead's drift with that share is nil, and it lies strictly between the
// drifts of either oxide alone, which have opposite signs.
TEST(Crossing, ShareHoldsTheLead) {
  const SimulationHeat h = ridingHeat();
  const BlowSimulation sim = simulateBlow(h, ridingStages());
  const auto start = std::find_if(sim.path.begin(), sim.path.end(), [&](const PathSample& p) {
    return p.equilibriumCarbon && std::abs(freeEnergyGap(p, h)) < 1e-3;
  });
  ASSERT_NE(start, sim.path.end());
  // The bath of that sample, in the first stage's conditions.
  BathConditions c = conditions(63.6197 / 2.02, h.rateConstant);
  c.lines = h.lines;
  c.nickel = h.composition.nickel;
  c.manganese = h.composition.manganese;
  c.oxygen = 63.6197 / molar::volume;
  c.heatLoss = h.heatLoss;
  c.heldOxide = start->oxide;
  const BathModel model(c);
  BathState y = state(start->carbon, start->chromium, start->temperature);
  y[siliconKg] = 0;
  const BathRates r = model.rates(y);
  const double share = model.cr2o3Share(y, r);
  ASSERT_GT(share, 0);
  ASSERT_LT(share, 1);
  const double alone2 = model.crossingDrift(y, r, 1), alone3 = model.crossingDrift(y, r, 0);
  EXPECT_LT(alone2 * alone3, 0);
  EXPECT_NEAR(model.crossingDrift(y, r, share), 0, 1e-6 * std::abs(alone2 - alone3));
}

}  // namespace
}  // namespace velkarin
