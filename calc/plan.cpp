// SPDX-License-Identifier: Apache-2.0
#include "calc/plan.h"

#include <algorithm>
#include <tuple>

#include "calc/equilibrium_curve.h"
#include "calc/plan_members.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

// The extra members in an order of their own: a file read back after a save
// has its top-level extras after the known members.
std::vector<PlanExtraMember> sortedExtras(std::vector<PlanExtraMember> extras) {
  std::sort(extras.begin(), extras.end(), [](const PlanExtraMember& x, const PlanExtraMember& y) {
    return std::tie(x.path, x.json) < std::tie(y.path, y.json);
  });
  return extras;
}

}  // namespace

Plan::Plan() : constants(presetConstants(Reaction::Cr2O3)), otherConstants(presetConstants(Reaction::Cr3O4)) {}

bool Plan::operator==(const Plan& other) const {
  return reaction == other.reaction && constants.a == other.constants.a && constants.b == other.constants.b &&
         otherConstants.a == other.otherConstants.a && otherConstants.b == other.otherConstants.b &&
         composition == other.composition && pressures == other.pressures && totalPressure == other.totalPressure &&
         coShare == other.coShare && bothOxides == other.bothOxides && target == other.target && heat == other.heat &&
         stages == other.stages && note == other.note && sortedExtras(extraMembers) == sortedExtras(other.extraMembers);
}

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
  for (const PlanMember& member : planMembers()) {
    if (!member.condition) continue;
    if (member.field) {
      conditions.emplace_back(std::string(member.place), *member.field(readable));
    } else if (member.place == "reaction") {
      conditions.emplace_back("reaction", std::string(planReactionName(plan.reaction)));
    } else {
      conditions.emplace_back("bothOxides", plan.bothOxides ? "true" : "false");
    }
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
