// SPDX-License-Identifier: Apache-2.0
// A plan's simulation: its entries and stage cells read into the simulation's
// heat and stages (a text that is no number named by its place), and the
// plan file keeping them — written only where they differ from their
// defaults, so that a plan that never simulated is written as before.

#include "calc/plan_simulation.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "calc/plan.h"

namespace velkarin {
namespace {

Plan simulatedPlan() {
  Plan plan;
  plan.composition = {"18", "9", "0.3", "1"};
  plan.heat.mass = "80";
  plan.heat.startCarbon = "1.6";
  plan.heat.oxygenFlow = "60";
  plan.heat.startTemperature = "1550";
  plan.stages = {{"4:1", "", "0.8", "", "2000", "", ""}, {"1:2", "", "", "250", "", "500", "N2"}};
  return plan;
}

StageSettings settings() {
  StageSettings s;
  s.composition = {18, 9, 0.3, 1};
  return s;
}

TEST(PlanSimulation, TextsReadIntoTheHeatAndTheStages) {
  const PlanSimulationInput input = simulationInput(simulatedPlan(), settings());
  ASSERT_FALSE(input.problem);
  EXPECT_EQ(input.heat.massTonnes, 80);
  EXPECT_EQ(input.heat.startTemperature, 1550);
  EXPECT_EQ(input.heat.rateConstant, 0.30);  // the defaults, as typed
  EXPECT_EQ(input.heat.reductionMinutes, 5);
  EXPECT_EQ(input.heat.composition.manganese, 1);
  ASSERT_EQ(input.stages.size(), 2u);
  EXPECT_FALSE(input.stages[0].oxygen);
  EXPECT_EQ(input.stages[0].endCarbon, 0.8);
  EXPECT_EQ(input.stages[0].lime, 2000);
  EXPECT_EQ(input.stages[0].inert, InertGas::Argon);
  EXPECT_EQ(input.stages[1].oxygen, 250);
  EXPECT_EQ(input.stages[1].scrap, 500);
  EXPECT_EQ(input.stages[1].inert, InertGas::Nitrogen);
  // The same blow as the core's own from these numbers.
  const std::optional<BlowSimulation> sim = simulatePlan(input);
  ASSERT_TRUE(sim && sim->totals);
  EXPECT_EQ(sim->stages[0].endCarbon, simulateBlow(input.heat, input.stages).stages[0].endCarbon);
}

TEST(PlanSimulation, TheFirstTextThatIsNoNumberIsNamed) {
  struct Case {
    const char* what;
    void (*edit)(Plan&);
    std::string_view member;
    std::size_t stage;
  };
  const Case cases[] = {
      {"start temperature", [](Plan& p) { p.heat.startTemperature = "1550℃"; }, "heat/startTemperature", 0},
      {"rate constant", [](Plan& p) { p.heat.rateConstant = "fast"; }, "heat/rateConstant", 0},
      {"heat before stage", [](Plan& p) { p.heat.heatLoss = "x", p.stages[0].lime = "y"; }, "heat/heatLoss", 0},
      {"lime", [](Plan& p) { p.stages[1].lime = "1e"; }, "lime", 2},
      {"O2", [](Plan& p) { p.stages[0].oxygen = "lots"; }, "O2", 1},
      {"inert", [](Plan& p) { p.stages[1].inert = "He"; }, "inert", 2},
  };
  for (const Case& c : cases) {
    Plan plan = simulatedPlan();
    c.edit(plan);
    const PlanSimulationInput input = simulationInput(plan, settings());
    ASSERT_TRUE(input.problem) << c.what;
    EXPECT_EQ(input.problem->member, c.member) << c.what;
    EXPECT_EQ(input.problem->stage, c.stage) << c.what;
    EXPECT_FALSE(simulatePlan(input)) << c.what;
  }
  // Empty cells are no problem: no oxygen given, no addition, Ar; an empty
  // heat figure is left to the simulation to ask for.
  Plan empty = simulatedPlan();
  empty.stages[1] = {"1:2", "", "", "250"};
  empty.heat.startTemperature = " ";
  const PlanSimulationInput input = simulationInput(empty, settings());
  EXPECT_FALSE(input.problem);
  EXPECT_EQ(input.stages[1].scrap, 0);
  EXPECT_FALSE(input.heat.startTemperature);
  EXPECT_EQ(simulatePlan(input)->problem, SimulationProblem::NoStartTemperature);
}

TEST(PlanSimulation, TheFileKeepsWhatIsNotDefault) {
  const Plan plan = simulatedPlan();
  const std::string text = planText(plan);
  const auto read = readPlanText(text);
  ASSERT_TRUE(std::holds_alternative<Plan>(read));
  EXPECT_EQ(std::get<Plan>(read), plan);
  EXPECT_NE(text.find("\"startTemperature\": \"1550\""), std::string::npos);
  EXPECT_NE(text.find("\"lime\": \"2000\""), std::string::npos);
  EXPECT_NE(text.find("\"inert\": \"N2\""), std::string::npos);
  // Defaults are left out: a plan that never simulated is written as before.
  for (const char* name : {"slagMass", "rateConstant", "heatLoss", "reductionTime"}) {
    EXPECT_EQ(text.find(name), std::string::npos) << name;
  }
  Plan before = plan;
  before.heat.startTemperature.clear();
  before.stages = {{"4:1", "1600", "0.8", ""}};
  const std::string old = planText(before);
  for (const char* name : {"startTemperature", "lime", "scrap", "inert"}) {
    EXPECT_EQ(old.find(name), std::string::npos) << name;
  }
  // A member read with its default text is the default, and not written.
  Plan withDefault = std::get<Plan>(readPlanText(R"({"format": "velkarin-plan", "version": 1,
      "heat": {"rateConstant": "0.30", "heatLoss": "2"}, "stages": [{"gas": "1:1", "scrap": ""}]})"));
  EXPECT_EQ(withDefault.heat.heatLoss, "2");
  EXPECT_EQ(planText(withDefault).find("rateConstant"), std::string::npos);
  EXPECT_NE(planText(withDefault).find("\"heatLoss\": \"2\""), std::string::npos);
}

}  // namespace
}  // namespace velkarin
