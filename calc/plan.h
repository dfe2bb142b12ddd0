// SPDX-License-Identifier: Apache-2.0
#pragma once

// A plan: everything the equilibrium diagram holds, as the user typed it —
// the shown reaction with its A and B, the other oxide's A and B, the
// composition, the pressure list, P and η, whether both oxides are drawn,
// the target, the heat of the blow ledger, the stages and a free note. Texts
// are kept exactly as typed, so that a plan opened again shows what was
// saved; reading them into numbers is the calculation's business.
//
// The plan file (*.velkarin) is this value as UTF-8 JSON:
//   {"format": "velkarin-plan", "version": 1, "reaction": "Cr2O3", "A": "…",
//    "B": "…", "otherA": "…", "otherB": "…",
//    "composition": {"Cr": "18", "Ni": "9", "Si": "0", "Mn": "0"},
//    "pressures": "…", "totalPressure": "101325", "coShare": "1",
//    "bothOxides": false, "target": "", "heat": {"mass": "", "startCarbon": "",
//    "oxygenFlow": "", "fesiGrade": "75", "basicity": "1.8"},
//    "stages": [{"gas": "3:1", "t": "1600", "C": "0.60", "O2": ""}], "note": ""}
// The simulation's heat members ("startTemperature", "slagMass",
// "rateConstant", "heatLoss", "reductionTime") follow in "heat", and a
// stage's "lime", "scrap" and "inert" after its "O2", each only where it is
// not its default.
// A missing member takes its default; a member this version does not know
// is kept and written back; a number where a text is expected is read as
// the text of that number.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "calc/blow_stage.h"
#include "calc/records.h"

namespace velkarin {

struct PlanComposition {
  std::string chromium = "18";  // [%Cr], mass %
  std::string nickel = "9";     // [%Ni], mass %
  std::string silicon = "0";    // [%Si], mass %
  std::string manganese = "0";  // [%Mn], mass %
  bool operator==(const PlanComposition&) const = default;
};

// The heat of the blow ledger: W (t), C0 (mass %), O2 flow (Nm³/min, may be
// empty), the FeSi grade (mass % Si) and the slag basicity CaO/SiO2.
struct PlanHeat {
  std::string mass;
  std::string startCarbon;
  std::string oxygenFlow;
  std::string fesiGrade = "75";
  std::string basicity = "1.8";
  // The blow simulation's own: the start temperature T0 (°C; empty: none),
  // the start slag S0 (kg), the rate constant k (1/min), the heat loss L
  // (°C/min) and the reduction time (min). A file holds these only where
  // they differ from their defaults, so a plan that never simulated is
  // written as before.
  std::string startTemperature{};
  std::string slagMass = "0";
  std::string rateConstant = "0.30";
  std::string heatLoss = "1.5";
  std::string reductionTime = "5";
  bool operator==(const PlanHeat&) const = default;
};

// A member of the file this version does not know: where it was (its
// members' names from the top, "heat/colour", or "stages/2/colour" by stage
// number; within a name "~" stands as "~0" and "/" as "~1", so "my/colour"
// at the top is "my~1colour") and its JSON text.
struct PlanExtraMember {
  std::string path;
  std::string json;
  bool operator==(const PlanExtraMember&) const = default;
};

struct Plan {
  Reaction reaction = Reaction::Cr2O3;
  ReactionConstants constants;       // A (J/mol), B (J/(mol·K)) of the shown reaction
  ReactionConstants otherConstants;  // of the other reaction
  PlanComposition composition;
  std::string pressures = "101325, 50000, 25000, 10000";  // CO pressures, Pa, and gas ratios
  std::string totalPressure = "101325";                   // P, Pa
  std::string coShare = "1";                              // η
  bool bothOxides = false;
  std::string target;  // target carbon, mass %; empty: none
  PlanHeat heat;
  std::vector<BlowStage> stages;
  std::string note;
  std::vector<PlanExtraMember> extraMembers;

  Plan();                              // A and B of both reactions: their first preset rows
  bool operator==(const Plan&) const;  // the extra members in any order
};

// The reaction not shown (defined in calc/records.h).
Reaction otherReaction(Reaction reaction);

// The file's name for a reaction ("Cr2O3"), and back (nothing for another text).
std::string_view planReactionName(Reaction reaction);
std::optional<Reaction> planReaction(std::string_view name);

// The text members of a plan other than the stages and the note, by their
// place in the file ("A", "composition/Cr", "heat/mass", …), in the file's
// order; "reaction" and "bothOxides" ("true"/"false") among them as texts.
std::vector<std::pair<std::string, std::string>> planConditions(const Plan& plan);
// Sets one of them from its text; false for a name it does not have or a
// reaction or bothOxides text that is not one of its values.
bool setPlanCondition(Plan& plan, std::string_view name, const std::string& text);

// Why a plan file cannot be read.
enum class PlanFault {
  NotJson,           // broken JSON, at line and column
  NotAPlan,          // not an object, or its "format" is not "velkarin-plan"
  NoVersion,         // "version" missing or not a whole number ≥ 1
  NewerVersion,      // written by a newer program: version > planVersion
  BadMember,         // a member of the wrong kind (member names it)
  TooManyStages,     // more than maxPlanStages
  TooDeep,           // objects and arrays nested deeper than the reader's bound, from line and column
  NumberOutOfRange,  // a number beyond a double's range, at line and column (member: its place)
};
struct PlanFileError {
  PlanFault fault = PlanFault::NotJson;
  std::size_t line = 0;  // NotJson, TooDeep, NumberOutOfRange: 1-based line and column (in bytes)
  std::size_t column = 0;
  std::string member;  // BadMember, NumberOutOfRange: its place ("stages/3/t"); NewerVersion: the version
  std::string detail;  // NotJson, NumberOutOfRange: the parser's words; BadMember: what it should be
};

inline constexpr int planVersion = 1;
inline constexpr std::size_t maxPlanStages = 100000;
inline constexpr std::size_t maxPlanFileBytes = std::size_t{64} << 20;

std::variant<Plan, PlanFileError> readPlanText(std::string_view text);
// The plan as the file's text: members in the order above, two-space
// indented, the extra members back in their places, a final line end. Never
// throws: an extra member whose text is not JSON, whose name is taken by a
// member of this version, or whose place names no object (a stage deleted
// since the file was read) is left out.
std::string planText(const Plan& plan);

// The reason in English, for the command-line tools ("line 3, column 7: …").
std::string planFileErrorEnglish(const PlanFileError& error);

}  // namespace velkarin
