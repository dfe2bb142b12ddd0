// SPDX-License-Identifier: Apache-2.0
// The plan's members, each named once: its place in the file, its option of
// velkarin-curve, whether empty means "not given", and its field; and a
// stage's members. The file's reader and writer, planConditions and the
// command line all look members up here.
#include <array>

#include "calc/plan_members.h"

namespace velkarin {
namespace {

constexpr std::array<PlanMember, 24> members{{
    {"reaction", "reaction", false, true, nullptr},
    {"A", "a", false, true, [](Plan& p) { return &p.constants.a; }},
    {"B", "b", false, true, [](Plan& p) { return &p.constants.b; }},
    {"otherA", "other-a", false, true, [](Plan& p) { return &p.otherConstants.a; }},
    {"otherB", "other-b", false, true, [](Plan& p) { return &p.otherConstants.b; }},
    {"composition/Cr", "cr", false, true, [](Plan& p) { return &p.composition.chromium; }},
    {"composition/Ni", "ni", false, true, [](Plan& p) { return &p.composition.nickel; }},
    {"composition/Si", "si", false, true, [](Plan& p) { return &p.composition.silicon; }},
    {"composition/Mn", "mn", false, true, [](Plan& p) { return &p.composition.manganese; }},
    {"pressures", "pressures", false, true, [](Plan& p) { return &p.pressures; }},
    {"totalPressure", "total-pressure", false, true, [](Plan& p) { return &p.totalPressure; }},
    {"coShare", "co-share", false, true, [](Plan& p) { return &p.coShare; }},
    {"bothOxides", "", false, true, nullptr},
    {"target", "target", true, true, [](Plan& p) { return &p.target; }},
    {"heat/mass", "heat-mass", true, true, [](Plan& p) { return &p.heat.mass; }},
    {"heat/startCarbon", "start-carbon", true, true, [](Plan& p) { return &p.heat.startCarbon; }},
    {"heat/oxygenFlow", "o2-flow", true, true, [](Plan& p) { return &p.heat.oxygenFlow; }},
    {"heat/fesiGrade", "fesi-grade", true, true, [](Plan& p) { return &p.heat.fesiGrade; }},
    {"heat/basicity", "basicity", true, true, [](Plan& p) { return &p.heat.basicity; }},
    // The simulation's: written only where they differ from the default.
    {"heat/startTemperature", "start-temperature", true, false, [](Plan& p) { return &p.heat.startTemperature; }},
    {"heat/slagMass", "slag-mass", false, false, [](Plan& p) { return &p.heat.slagMass; }},
    {"heat/rateConstant", "rate-constant", false, false, [](Plan& p) { return &p.heat.rateConstant; }},
    {"heat/heatLoss", "heat-loss", false, false, [](Plan& p) { return &p.heat.heatLoss; }},
    {"heat/reductionTime", "reduction-time", false, false, [](Plan& p) { return &p.heat.reductionTime; }},
}};

// A stage's members; the last three are written only where not empty.
struct StageMember {
  std::string_view name;
  std::string BlowStage::*field;
};
constexpr std::array<StageMember, 7> stageMembers{{
    {"gas", &BlowStage::gas},
    {"t", &BlowStage::temperature},
    {"C", &BlowStage::measuredCarbon},
    {"O2", &BlowStage::oxygen},
    {"lime", &BlowStage::lime},
    {"scrap", &BlowStage::scrap},
    {"inert", &BlowStage::inert},
}};
constexpr std::size_t alwaysWrittenStageMembers = 4;

}  // namespace

std::span<const PlanMember> planMembers() { return members; }

const PlanMember* planMemberAt(std::string_view place) {
  for (const PlanMember& member : members) {
    if (member.place == place) return &member;
  }
  return nullptr;
}

const PlanMember* planMemberOfOption(std::string_view option) {
  for (const PlanMember& member : members) {
    if (!option.empty() && member.option == option) return &member;
  }
  return nullptr;
}

std::string* planTextField(Plan& plan, std::string_view path) {
  const PlanMember* member = planMemberAt(path);
  return member && member->field ? member->field(plan) : nullptr;
}

std::vector<std::pair<std::string_view, std::string_view>> writtenSimulationMembers(const Plan& plan) {
  static Plan standard;                      // the defaults; only read
  Plan& readable = const_cast<Plan&>(plan);  // the fields are only read
  std::vector<std::pair<std::string_view, std::string_view>> written;
  for (const PlanMember& member : members) {
    if (member.condition) continue;
    const std::string& value = *member.field(readable);
    if (value != *member.field(standard)) written.emplace_back(member.place, value);
  }
  return written;
}

std::vector<std::pair<std::string_view, std::string_view>> writtenStageMembers(const BlowStage& stage) {
  std::vector<std::pair<std::string_view, std::string_view>> written;
  for (std::size_t i = 0; i < stageMembers.size(); ++i) {
    const std::string& value = stage.*stageMembers[i].field;
    if (i < alwaysWrittenStageMembers || !value.empty()) written.emplace_back(stageMembers[i].name, value);
  }
  return written;
}

std::string* stageTextField(BlowStage& stage, std::string_view name) {
  for (const StageMember& member : stageMembers) {
    if (member.name == name) return &(stage.*member.field);
  }
  return nullptr;
}

}  // namespace velkarin
