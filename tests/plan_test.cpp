// SPDX-License-Identifier: Apache-2.0
// The plan file: every member survives a round trip exactly as typed,
// members this version does not know are kept in place, and files that are
// no plan are refused with what and where.

#include "calc/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace velkarin {
namespace {

// A plan with every member away from its default, in texts a user may type.
Plan oddPlan() {
  Plan plan;
  plan.reaction = Reaction::Cr3O4;
  plan.constants = {" 7.4e5 ", "-475,137"};
  plan.otherConstants = {"697890", "\"quoted\" \\ back"};
  plan.composition = {"１８", "9.", "0.3", ""};
  plan.pressures = "3:1, 1:1,\t1:3";
  plan.totalPressure = "101325 Pa";
  plan.coShare = "0.9";
  plan.bothOxides = true;
  plan.target = "0.03";
  plan.heat = {"80", "1.5", "", "72", "2"};
  plan.stages = {{"3:1", "1600", "0.60", ""}, {"", "1650℃", "", "120"}, {"1:3", "", "x", "\n"}};
  plan.note = "第2炉\n换枪后\u00a0——\ttab";
  return plan;
}

Plan readOk(const std::string& text) {
  auto read = readPlanText(text);
  if (const auto* error = std::get_if<PlanFileError>(&read)) {
    ADD_FAILURE() << planFileErrorEnglish(*error) << " in\n" << text;
    return {};
  }
  return std::get<Plan>(read);
}

TEST(PlanFile, EveryMemberRoundTripsExactlyAndTheTextIsStable) {
  const Plan plan = oddPlan();
  const std::string text = planText(plan);
  const Plan back = readOk(text);
  EXPECT_EQ(back, plan);
  EXPECT_EQ(planText(back), text);
  EXPECT_EQ(readOk(planText(Plan())), Plan());
}

TEST(PlanFile, TheIssuedExampleReadsAsWritten) {
  const Plan plan = readOk(R"({"format": "velkarin-plan", "version": 1, "reaction": "Cr2O3", "A": "739938",
    "B": "-475.137", "otherA": "697890", "otherB": "-461.535", "composition": {"Cr": "18", "Ni": "9",
    "Si": "0.3", "Mn": "1.2"}, "pressures": "3:1, 1:1, 1:3", "totalPressure": "101325", "coShare": "1",
    "bothOxides": true, "target": "0.03", "heat": {"mass": "80", "startCarbon": "1.5", "oxygenFlow": "",
    "fesiGrade": "75", "basicity": "1.8"}, "stages": [{"gas": "3:1", "t": "1600", "C": "0.60", "O2": ""}],
    "note": ""})");
  EXPECT_EQ(plan.composition.silicon, "0.3");
  EXPECT_EQ(plan.composition.manganese, "1.2");
  EXPECT_EQ(plan.otherConstants.b, "-461.535");
  EXPECT_TRUE(plan.bothOxides);
  ASSERT_EQ(plan.stages.size(), 1U);
  EXPECT_EQ(plan.stages[0], (BlowStage{"3:1", "1600", "0.60", ""}));
  EXPECT_EQ(plan.heat.mass, "80");
}

TEST(PlanFile, MissingMembersTakeDefaultsAndNumbersReadAsTheirText) {
  EXPECT_EQ(readOk(R"({"format":"velkarin-plan","version":1})"), Plan());
  const Plan plan = readOk(R"({"format":"velkarin-plan","version":1,"A":739938,"composition":{"Cr":18.5},
    "stages":[{"t":1600,"C":0.6}]})");
  EXPECT_EQ(plan.constants.a, "739938");
  EXPECT_EQ(plan.constants.b, Plan().constants.b);
  EXPECT_EQ(plan.composition.chromium, "18.5");
  EXPECT_EQ(plan.stages.at(0), (BlowStage{"", "1600", "0.6", ""}));
}

TEST(PlanFile, UnknownMembersAreKeptInTheirPlaces) {
  const Plan plan = readOk(R"({"format":"velkarin-plan","version":1,"shift":{"crew":"B","n":[1,2]},
    "heat":{"mass":"80","ladle":7},"stages":[{"gas":"3:1","sample":"S1"},{"gas":"1:1"}],"note":"x"})");
  EXPECT_EQ(plan.extraMembers.size(), 3U);
  const std::string text = planText(plan);
  const Plan back = readOk(text);
  EXPECT_EQ(back, plan);
  // Where they stand in the written file: the ladle in the heat, the sample in its stage.
  EXPECT_NE(text.find("\"shift\": {\n    \"crew\": \"B\""), std::string::npos) << text;
  EXPECT_LT(text.find("\"ladle\": 7"), text.find("\"stages\"")) << text;
  EXPECT_LT(text.find("\"sample\": \"S1\""), text.find("\"1:1\"")) << text;
}

TEST(PlanFile, FilesThatAreNoPlanAreRefusedWithWhatAndWhere) {
  struct Case {
    std::string text;
    PlanFault fault;
    std::size_t line, column;  // NotJson only
    std::string member;
  };
  const std::string head = R"({"format":"velkarin-plan","version":1,)";
  const Case cases[] = {
      {"", PlanFault::NotJson, 1, 1, ""},
      {"{\"format\": \"velkarin-plan\",\n  \"version\": 1,\n  \"A\": }", PlanFault::NotJson, 3, 8, ""},
      {"{\"format\":\"velkarin-plan\",\"version\":1}\ngarbage", PlanFault::NotJson, 2, 1, ""},
      {"[]", PlanFault::NotAPlan, 0, 0, ""},
      {R"({"format":"velkarin-stages","version":1})", PlanFault::NotAPlan, 0, 0, ""},
      {R"({"format":"velkarin-plan"})", PlanFault::NoVersion, 0, 0, "version"},
      {R"({"format":"velkarin-plan","version":"1"})", PlanFault::NoVersion, 0, 0, "version"},
      {R"({"format":"velkarin-plan","version":0})", PlanFault::NoVersion, 0, 0, "version"},
      {R"({"format":"velkarin-plan","version":2})", PlanFault::NewerVersion, 0, 0, "2"},
      {head + R"("A":true})", PlanFault::BadMember, 0, 0, "A"},
      {head + R"("reaction":"CrO"})", PlanFault::BadMember, 0, 0, "reaction"},
      {head + R"("bothOxides":"yes"})", PlanFault::BadMember, 0, 0, "bothOxides"},
      {head + R"("heat":[]})", PlanFault::BadMember, 0, 0, "heat"},
      {head + R"("composition":{"Cr":null}})", PlanFault::BadMember, 0, 0, "composition/Cr"},
      {head + R"("stages":{}})", PlanFault::BadMember, 0, 0, "stages"},
      {head + R"("stages":[{"gas":"3:1"},{"t":[1600]}]})", PlanFault::BadMember, 0, 0, "stages/2/t"},
      {head + R"("note":5})", PlanFault::BadMember, 0, 0, "note"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto read = readPlanText(c.text);
    ASSERT_TRUE(std::holds_alternative<PlanFileError>(read));
    const PlanFileError& error = std::get<PlanFileError>(read);
    EXPECT_EQ(error.fault, c.fault) << planFileErrorEnglish(error);
    if (c.fault == PlanFault::NotJson) {
      EXPECT_EQ(error.line, c.line);
      EXPECT_EQ(error.column, c.column);
      EXPECT_NE(planFileErrorEnglish(error).find("line " + std::to_string(c.line) + ", column "), std::string::npos);
    } else {
      EXPECT_EQ(error.member, c.member);
    }
  }
}

TEST(PlanConditions, EveryConditionSetsBackTheMemberItCameFrom) {
  const Plan odd = oddPlan();
  Plan plan;
  const auto conditions = planConditions(odd);
  EXPECT_EQ(conditions.size(), 19U);
  for (const auto& [name, text] : conditions) EXPECT_TRUE(setPlanCondition(plan, name, text)) << name;
  plan.stages = odd.stages;
  plan.note = odd.note;
  EXPECT_EQ(plan, odd);
  for (const auto& [name, text] : std::initializer_list<std::pair<const char*, const char*>>{
           {"reaction", "cr2o3"}, {"bothOxides", "1"}, {"stages", ""}, {"note", "x"}, {"heat", ""}, {"Cr", "18"}}) {
    EXPECT_FALSE(setPlanCondition(plan, name, text)) << name;
  }
  EXPECT_EQ(plan, odd);
}

}  // namespace
}  // namespace velkarin
