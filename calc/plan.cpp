// SPDX-License-Identifier: Apache-2.0
#include "calc/plan.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <tuple>

#include "calc/reaction_data.h"

namespace velkarin {
namespace {

using Json = nlohmann::ordered_json;

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

struct StageMember {
  std::string_view name;
  std::string BlowStage::*field;
};
constexpr std::array<StageMember, 4> stageMembers{{
    {"gas", &BlowStage::gas},
    {"t", &BlowStage::temperature},
    {"C", &BlowStage::measuredCarbon},
    {"O2", &BlowStage::oxygen},
}};

std::string* findText(Plan& plan, std::string_view path) {
  for (const TextMember& member : textMembers) {
    if (member.path == path) return member.field(plan);
  }
  return nullptr;
}

// Thrown while reading a member of the wrong kind.
struct MemberFault {
  std::string member;
  std::string detail;
};

std::string textOf(const Json& value, const std::string& member) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number()) return value.dump();  // a script's 18 is the text "18"
  throw MemberFault{member, "a text"};
}

void readObjectMembers(Plan& plan, const Json& object, const std::string& prefix) {
  if (!object.is_object()) throw MemberFault{prefix, "an object"};
  for (const auto& [name, value] : object.items()) {
    const std::string path = prefix + "/" + name;
    if (std::string* field = findText(plan, path)) {
      *field = textOf(value, path);
    } else {
      plan.extraMembers.push_back({path, value.dump()});
    }
  }
}

void readStage(Plan& plan, const Json& object, std::size_t index) {
  const std::string prefix = "stages/" + std::to_string(index);
  if (!object.is_object()) throw MemberFault{prefix, "an object"};
  BlowStage stage;
  for (const auto& item : object.items()) {
    const std::string& name = item.key();
    const Json& value = item.value();
    const auto known =
        std::find_if(stageMembers.begin(), stageMembers.end(), [&](const StageMember& m) { return m.name == name; });
    if (known == stageMembers.end()) {
      plan.extraMembers.push_back({prefix + "/" + name, value.dump()});
    } else {
      stage.*known->field = textOf(value, prefix + "/" + name);
    }
  }
  plan.stages.push_back(std::move(stage));
}

void readMembers(Plan& plan, const Json& document) {
  for (const auto& [name, value] : document.items()) {
    if (name == "format" || name == "version") continue;
    if (name == "reaction") {
      const std::optional<Reaction> reaction =
          value.is_string() ? planReaction(value.get<std::string>()) : std::nullopt;
      if (!reaction) throw MemberFault{name, "\"Cr2O3\" or \"Cr3O4\""};
      plan.reaction = *reaction;
    } else if (name == "bothOxides") {
      if (!value.is_boolean()) throw MemberFault{name, "true or false"};
      plan.bothOxides = value.get<bool>();
    } else if (name == "note") {
      if (!value.is_string()) throw MemberFault{name, "a text"};
      plan.note = value.get<std::string>();
    } else if (name == "composition" || name == "heat") {
      readObjectMembers(plan, value, name);
    } else if (name == "stages") {
      if (!value.is_array()) throw MemberFault{name, "an array of stages"};
      if (value.size() > maxPlanStages) throw MemberFault{name, {}};
      for (std::size_t i = 0; i < value.size(); ++i) readStage(plan, value[i], i + 1);
    } else if (std::string* field = findText(plan, name)) {
      *field = textOf(value, name);
    } else {
      plan.extraMembers.push_back({name, value.dump()});
    }
  }
}

// Line and column (1-based, in bytes) of the byte at `position` (1-based,
// as the JSON parser counts).
std::pair<std::size_t, std::size_t> lineAndColumn(std::string_view text, std::size_t position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  std::size_t line = 1, lineStart = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  return {line, end - lineStart + 1};
}

// The parser's own words without its "[json.exception.parse_error.101] parse
// error at line 1, column 2: " prefix: the place is given apart.
std::string parserWords(const char* what) {
  std::string words = what;
  const std::size_t colon = words.find(": ");
  return colon == std::string::npos ? words : words.substr(colon + 2);
}

Json* objectAt(Json& document, std::string_view path) {
  Json* at = &document;
  std::size_t start = 0;
  for (std::size_t slash = path.find('/'); slash != std::string_view::npos; slash = path.find('/', start)) {
    const std::string name(path.substr(start, slash - start));
    if (at->is_array()) {
      const std::size_t index = std::stoul(name);
      if (index == 0 || index > at->size()) return nullptr;
      at = &(*at)[index - 1];
    } else if (at->is_object() && at->contains(name)) {
      at = &(*at)[name];
    } else {
      return nullptr;
    }
    start = slash + 1;
  }
  return at->is_object() ? at : nullptr;
}

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
  std::string* field = findText(plan, name);
  if (field) *field = text;
  return field != nullptr;
}

std::variant<Plan, PlanFileError> readPlanText(std::string_view text) {
  Json document;
  try {
    document = Json::parse(text);
  } catch (const Json::parse_error& error) {
    const auto [line, column] = lineAndColumn(text, error.byte);
    return PlanFileError{PlanFault::NotJson, line, column, {}, parserWords(error.what())};
  }
  if (!document.is_object() || !document.contains("format") || document["format"] != "velkarin-plan") {
    return PlanFileError{PlanFault::NotAPlan, 0, 0, {}, {}};
  }
  const auto version = document.find("version");
  if (version == document.end() || !version->is_number_integer() || *version < 1) {
    return PlanFileError{PlanFault::NoVersion, 0, 0, "version", {}};
  }
  if (*version > planVersion) return PlanFileError{PlanFault::NewerVersion, 0, 0, version->dump(), {}};
  Plan plan;
  try {
    readMembers(plan, document);
  } catch (const MemberFault& fault) {
    if (fault.member == "stages" && fault.detail.empty()) {
      return PlanFileError{PlanFault::TooManyStages, 0, 0, fault.member, {}};
    }
    return PlanFileError{PlanFault::BadMember, 0, 0, fault.member, fault.detail};
  }
  return plan;
}

std::string planText(const Plan& plan) {
  Json document;
  document["format"] = "velkarin-plan";
  document["version"] = planVersion;
  for (const auto& [path, text] : planConditions(plan)) {
    const std::size_t slash = path.find('/');
    Json& value = slash == std::string::npos ? document[path] : document[path.substr(0, slash)][path.substr(slash + 1)];
    if (path == "bothOxides") {
      value = plan.bothOxides;
    } else {
      value = text;
    }
  }
  Json stages = Json::array();
  for (const BlowStage& stage : plan.stages) {
    Json row = Json::object();
    for (const StageMember& member : stageMembers) row[std::string(member.name)] = stage.*member.field;
    stages.push_back(std::move(row));
  }
  document["stages"] = std::move(stages);
  document["note"] = plan.note;
  for (const PlanExtraMember& extra : plan.extraMembers) {
    const std::size_t slash = extra.path.rfind('/');
    Json* object = slash == std::string::npos ? &document : objectAt(document, extra.path.substr(0, slash + 1));
    const std::string name = slash == std::string::npos ? extra.path : extra.path.substr(slash + 1);
    if (object && !object->contains(name)) (*object)[name] = Json::parse(extra.json);
  }
  // Texts typed in the window are UTF-8; a stray byte is written as U+FFFD
  // rather than losing the whole plan.
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
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
  }
  return {};
}

}  // namespace velkarin
