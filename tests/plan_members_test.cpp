// SPDX-License-Identifier: Apache-2.0
#include "calc/plan_members.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>

#include "calc/plan.h"

namespace velkarin {
namespace {

// Each member names a place, an option and a field of its own: a text set
// through one member's field changes that member alone, and reads back
// through its place, by planConditions and through the file.
TEST(PlanMembers, EachMemberIsOneFieldOfItsOwn) {
  std::set<std::string_view> places, options;
  std::set<const std::string*> fields;
  Plan plan;
  for (const PlanMember& member : planMembers()) {
    EXPECT_TRUE(places.insert(member.place).second) << member.place;
    EXPECT_EQ(planMemberAt(member.place), &member);
    if (!member.option.empty()) {
      EXPECT_TRUE(options.insert(member.option).second) << member.option;
      EXPECT_EQ(planMemberOfOption(member.option), &member);
    }
    if (!member.field) continue;
    std::string* field = member.field(plan);
    EXPECT_TRUE(fields.insert(field).second) << member.place;
    EXPECT_EQ(planTextField(plan, member.place), field);
    Plan changed;
    *member.field(changed) = "x" + std::string(member.place);
    Plan back;
    EXPECT_TRUE(setPlanCondition(back, member.place, *member.field(changed)));
    EXPECT_EQ(back, changed) << member.place;
    EXPECT_NE(changed, Plan()) << member.place;
    const auto read = readPlanText(planText(changed));
    ASSERT_TRUE(std::holds_alternative<Plan>(read)) << member.place;
    EXPECT_EQ(std::get<Plan>(read), changed) << member.place;
  }
  EXPECT_EQ(planMemberAt("note"), nullptr);
  EXPECT_EQ(planMemberOfOption(""), nullptr);
  EXPECT_EQ(planMemberOfOption("from"), nullptr);
}

// planConditions are the condition members in the table's order; the
// simulation's are written only where they differ from their defaults.
TEST(PlanMembers, ConditionsAndWrittenSimulationMembersFollowTheTable) {
  Plan plan;
  const auto conditions = planConditions(plan);
  std::size_t next = 0;
  for (const PlanMember& member : planMembers()) {
    if (!member.condition) continue;
    ASSERT_LT(next, conditions.size());
    EXPECT_EQ(conditions[next++].first, member.place);
  }
  EXPECT_EQ(next, conditions.size());
  EXPECT_TRUE(writtenSimulationMembers(plan).empty());
  for (const PlanMember& member : planMembers()) {
    if (member.condition) continue;
    Plan changed;
    *member.field(changed) = "7.25";
    const auto written = writtenSimulationMembers(changed);
    ASSERT_EQ(written.size(), 1U) << member.place;
    EXPECT_EQ(written[0].first, member.place);
    EXPECT_EQ(written[0].second, "7.25");
  }
}

}  // namespace
}  // namespace velkarin
