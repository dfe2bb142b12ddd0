// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plan file's members by place, shared by its reader and its writer.
// A place is the members' names from the top joined by "/" ("heat/mass",
// "stages/2/t", by stage number from 1); within a name, "~" is written "~0"
// and "/" is written "~1" (as in a JSON Pointer), so that every place names
// one member whatever its name holds.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/plan.h"

namespace velkarin {

// Nesting deeper than this many objects and arrays is refused.
inline constexpr std::size_t maxPlanDepth = 64;

// A member of a plan other than the stages and the note, named once for
// every reader of it: its place in the file ("composition/Cr"), the option
// of velkarin-curve that gives it ("cr"; empty: none), whether an empty text
// means "not given" (no target, no O2 flow: its option is then not given
// either), and its text field (nullptr for the reaction and bothOxides,
// which are no texts). The stage table's conditions (planConditions, also
// the "#A,739938" rows of a saved stage table) come first, in the file's
// order; the simulation's heat members, which a file holds only where they
// differ from their defaults, after them.
struct PlanMember {
  std::string_view place;
  std::string_view option;
  bool optional;
  bool condition;  // one of planConditions; else one of the simulation's heat members
  std::string* (*field)(Plan&);
};
std::span<const PlanMember> planMembers();
// The member at a place, or the one an option gives; nullptr for none.
const PlanMember* planMemberAt(std::string_view place);
const PlanMember* planMemberOfOption(std::string_view option);

// The field of a text member of the plan other than the stages and the
// note ("A", "composition/Cr", …); nullptr for another place.
std::string* planTextField(Plan& plan, std::string_view path);
// The field of a stage's member ("gas", "t", "C", "O2", "lime", "scrap",
// "inert"); nullptr for another name.
std::string* stageTextField(BlowStage& stage, std::string_view name);

// The members the file holds beside planConditions: the simulation's heat
// members that differ from their defaults (by place, "heat/slagMass"), and a
// stage's members with its optional ones left out where empty; name and text.
std::vector<std::pair<std::string_view, std::string_view>> writtenSimulationMembers(const Plan& plan);
std::vector<std::pair<std::string_view, std::string_view>> writtenStageMembers(const BlowStage& stage);

// One member's name as it stands in a place, and back.
std::string escapePlanName(std::string_view name);
// The names of a place, unescaped.
std::vector<std::string> planPathNames(std::string_view path);

// The byte at which nesting first goes deeper than `limit` (1-based, as the
// JSON parser counts positions; brackets inside strings do not count).
std::size_t tooDeepAt(std::string_view text, std::size_t limit);
// Line and column (1-based, in bytes) of the byte at `position` (1-based).
std::pair<std::size_t, std::size_t> lineAndColumn(std::string_view text, std::size_t position);
// The parser's message without its "[json.exception…] parse error at …: " prefix.
std::string parserWords(const char* what);
// A repeated place keeps the last value, in the position of the first.
void keepLastOfEachPath(std::vector<PlanExtraMember>& extras);

}  // namespace velkarin
