// SPDX-License-Identifier: Apache-2.0
#include "calc/plan.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "calc/plan_members.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

ReactionConstants firstPreset(Reaction reaction) {
  const PresetRow& row = reactionData(reaction).presets[0];
  return {std::string(row.a), std::string(row.b)};
}

// The text members other than reaction and bothOxides, by place.
struct TextMember {
  std::string_view path;
  std::string* (*field)(Plan&);
};
constexpr std::array<TextMember, 17> textMembers{{
    {"A", [](Plan& p) { return &p.constants.a; }},
    {"B", [](Plan& p) { return &p.constants.b; }},
    {"otherA", [](Plan& p) { return &p.otherConstants.a; }},
    {"otherB", [](Plan& p) { return &p.otherConstants.b; }},
    {"composition/Cr", [](Plan& p) { return &p.composition.chromium; }},
    {"composition/Ni", [](Plan& p) { return &p.composition.nickel; }},
    {"composition/Si", [](Plan& p) { return &p.composition.silicon; }},
    {"composition/Mn", [](Plan& p) { return &p.composition.manganese; }},
    {"pressures", [](Plan& p) { return &p.pressures; }},
    {"totalPressure", [](Plan& p) { return &p.totalPressure; }},
    {"coShare", [](Plan& p) { return &p.coShare; }},
    {"target", [](Plan& p) { return &p.target; }},
    {"heat/mass", [](Plan& p) { return &p.heat.mass; }},
    {"heat/startCarbon", [](Plan& p) { return &p.heat.startCarbon; }},
    {"heat/oxygenFlow", [](Plan& p) { return &p.heat.oxygenFlow; }},
    {"heat/fesiGrade", [](Plan& p) { return &p.heat.fesiGrade; }},
    {"heat/basicity", [](Plan& p) { return &p.heat.basicity; }},
}};

// The simulation's heat members, written only where they differ from the default.
struct OptionalMember {
  std::string_view path;
  std::string PlanHeat::*field;
  std::string_view standard;  // the default, as PlanHeat has it
};
constexpr std::array<OptionalMember, 5> simulationMembers{{
    {"heat/startTemperature", &PlanHeat::startTemperature, ""},
    {"heat/slagMass", &PlanHeat::slagMass, "0"},
    {"heat/rateConstant", &PlanHeat::rateConstant, "0.30"},
    {"heat/heatLoss", &PlanHeat::heatLoss, "1.5"},
    {"heat/reductionTime", &PlanHeat::reductionTime, "5"},
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

// The extra members in an order of their own: a file read back after a save
// has its top-level extras after the known members.
std::vector<PlanExtraMember> sortedExtras(std::vector<PlanExtraMember> extras) {
  std::sort(extras.begin(), extras.end(), [](const PlanExtraMember& x, const PlanExtraMember& y) {
    return std::tie(x.path, x.json) < std::tie(y.path, y.json);
  });
  return extras;
}

}  // namespace

Plan::Plan() : constants(firstPreset(Reaction::Cr2O3)), otherConstants(firstPreset(Reaction::Cr3O4)) {}

bool Plan::operator==(const Plan& other) const {
  return reaction == other.reaction && constants.a == other.constants.a && constants.b == other.constants.b &&
         otherConstants.a == other.otherConstants.a && otherConstants.b == other.otherConstants.b &&
         composition == other.composition && pressures == other.pressures && totalPressure == other.totalPressure &&
         coShare == other.coShare && bothOxides == other.bothOxides && target == other.target && heat == other.heat &&
         stages == other.stages && note == other.note && sortedExtras(extraMembers) == sortedExtras(other.extraMembers);
}

Reaction otherReaction(Reaction reaction) { return reaction == Reaction::Cr2O3 ? Reaction::Cr3O4 : Reaction::Cr2O3; }

std::string_view planReactionName(Reaction reaction) { return reactionData(reaction).name; }

std::optional<Reaction> planReaction(std::string_view name) {
  for (const Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    if (name == reactionData(reaction).name) return reaction;
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> planConditions(const Plan& plan) {
  Plan& readable = const_cast<Plan&>(plan);  // the fields are only read
  std::vector<std::pair<std::string, std::string>> conditions;
  conditions.emplace_back("reaction", std::string(planReactionName(plan.reaction)));
  for (const TextMember& member : textMembers) {
    conditions.emplace_back(std::string(member.path), *member.field(readable));
    if (member.path == "coShare") conditions.emplace_back("bothOxides", plan.bothOxides ? "true" : "false");
  }
  return conditions;
}

bool setPlanCondition(Plan& plan, std::string_view name, const std::string& text) {
  if (name == "reaction") {
    const std::optional<Reaction> reaction = planReaction(text);
    if (reaction) plan.reaction = *reaction;
    return reaction.has_value();
  }
  if (name == "bothOxides") {
    if (text != "true" && text != "false") return false;
    plan.bothOxides = text == "true";
    return true;
  }
  std::string* field = planTextField(plan, name);
  if (field) *field = text;
  return field != nullptr;
}

std::string* planTextField(Plan& plan, std::string_view path) {
  for (const TextMember& member : textMembers) {
    if (member.path == path) return member.field(plan);
  }
  for (const OptionalMember& member : simulationMembers) {
    if (member.path == path) return &(plan.heat.*member.field);
  }
  return nullptr;
}

std::vector<std::pair<std::string_view, std::string_view>> writtenSimulationMembers(const PlanHeat& heat) {
  std::vector<std::pair<std::string_view, std::string_view>> written;
  for (const OptionalMember& member : simulationMembers) {
    if (heat.*member.field != member.standard) written.emplace_back(member.path, heat.*member.field);
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

std::string escapePlanName(std::string_view name) {
  std::string escaped;
  escaped.reserve(name.size());
  for (const char c : name) {
    if (c == '~') {
      escaped += "~0";
    } else if (c == '/') {
      escaped += "~1";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::vector<std::string> planPathNames(std::string_view path) {
  std::vector<std::string> names(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '/') {
      names.emplace_back();
    } else if (path[i] == '~' && i + 1 < path.size() && (path[i + 1] == '0' || path[i + 1] == '1')) {
      names.back() += path[++i] == '0' ? '~' : '/';
    } else {
      names.back() += path[i];
    }
  }
  return names;
}

std::string planFileErrorEnglish(const PlanFileError& error) {
  switch (error.fault) {
    case PlanFault::NotJson:
      return "line " + std::to_string(error.line) + ", column " + std::to_string(error.column) +
             ": not JSON: " + error.detail;
    case PlanFault::NotAPlan:
      return "not a Velkarin plan (no \"format\": \"velkarin-plan\")";
    case PlanFault::NoVersion:
      return "the plan has no \"version\" (a whole number, 1 or more)";
    case PlanFault::NewerVersion:
      return "plan version " + error.member + " is newer than this program reads (" + std::to_string(planVersion) +
             "); update Velkarin";
    case PlanFault::BadMember:
      return "member \"" + error.member + "\" must be " + error.detail;
    case PlanFault::TooManyStages:
      return "more than " + std::to_string(maxPlanStages) + " stages";
    case PlanFault::TooDeep:
      return "line " + std::to_string(error.line) + ", column " + std::to_string(error.column) + ": nested more than " +
             std::to_string(maxPlanDepth) + " levels deep";
    case PlanFault::NumberOutOfRange:
      return "line " + std::to_string(error.line) + ", column " + std::to_string(error.column) +
             (error.member.empty() ? std::string() : " (member \"" + error.member + "\")") +
             ": a number out of range: " + error.detail;
  }
  return {};
}

}  // namespace velkarin
