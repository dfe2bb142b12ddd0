// SPDX-License-Identifier: Apache-2.0
#include "calc/plan_evaluation.h"

#include <array>
#include <cmath>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {
namespace {

struct CompositionEntry {
  PlanEntry entry;
  std::string PlanComposition::*text;
  double CurveComposition::*value;
  bool positive;  // Cr, whose logarithm the activity takes
};
constexpr std::array<CompositionEntry, 4> compositionEntries{{
    {PlanEntry::Chromium, &PlanComposition::chromium, &CurveComposition::chromium, true},
    {PlanEntry::Nickel, &PlanComposition::nickel, &CurveComposition::nickel, false},
    {PlanEntry::Silicon, &PlanComposition::silicon, &CurveComposition::silicon, false},
    {PlanEntry::Manganese, &PlanComposition::manganese, &CurveComposition::manganese, false},
}};

std::optional<double> heatEntry(const std::string& text) {
  if (trimmedItem(text).empty()) return std::nullopt;
  return readFiniteNumber(text).value_or(std::nan(""));
}

}  // namespace

EntryReading readEntry(PlanEntry entry, const std::string& text, bool positive) {
  const std::optional<double> number = readFiniteNumber(text);
  if (!number) return {std::nullopt, EntryProblem{EntryProblem::Kind::NotANumber, entry, text, {}}};
  if (positive && !(*number > 0)) return {std::nullopt, EntryProblem{EntryProblem::Kind::NotPositive, entry, text, {}}};
  return {number, std::nullopt};
}

PlanReading readPlanEntries(const Plan& plan) {
  PlanReading r;
  r.family.reaction = plan.reaction;
  if (const std::optional<ReactionLine> line = readReactionLine(plan.constants)) {
    r.family.line = *line;
  } else {
    // The same reader, entry by entry, to say which one it is.
    for (const auto& [entry, text] :
         {std::pair{PlanEntry::A, &plan.constants.a}, std::pair{PlanEntry::B, &plan.constants.b}}) {
      const EntryReading reading = readEntry(entry, *text);
      if (!reading.value) r.problems.push_back(*reading.problem);
    }
  }
  for (const CompositionEntry& entry : compositionEntries) {
    const EntryReading reading = readEntry(entry.entry, plan.composition.*entry.text, entry.positive);
    if (reading.value) {
      r.family.composition.*entry.value = *reading.value;
    } else {
      r.problems.push_back(*reading.problem);
    }
  }
  const EntryReading total = readEntry(PlanEntry::TotalPressure, plan.totalPressure, true);
  const EntryReading share = readEntry(PlanEntry::CoShare, plan.coShare, true);
  if (!total.value) r.problems.push_back(*total.problem);
  if (!share.value) r.problems.push_back(*share.problem);
  if (share.value && *share.value > 1) {
    r.problems.push_back(EntryProblem{EntryProblem::Kind::AboveOne, PlanEntry::CoShare, plan.coShare, {}});
  }
  if (total.value) r.mixture.totalPressure = *total.value;
  if (share.value) r.mixture.coShare = *share.value;
  if (!r.problems.empty()) return r;
  PressureListItems pressures = readPressureItems(plan.pressures, r.mixture, maxPlanCurves);
  if (pressures.problem) {
    r.problems.push_back(
        EntryProblem{EntryProblem::Kind::PressureList, PlanEntry::Pressures, plan.pressures, pressures});
    return r;
  }
  r.family.coPressures.clear();
  for (const PressureItem& item : pressures.items) {
    r.family.coPressures.push_back(item.coPressure);
    r.family.labels.push_back(item.ratio ? pressureItemLabel(item) : std::string());
  }
  return r;
}

std::optional<ReactionLine> otherLineOf(const Plan& plan) { return readReactionLine(plan.otherConstants); }

TargetReading readTarget(const std::string& text) {
  if (trimmedItem(text).empty()) return {};
  const std::optional<double> value = readFiniteNumber(text);
  if (value && *value > 0) return {value, std::nullopt};
  return {std::nullopt, EntryProblem{EntryProblem::Kind::NoPositiveNumber, PlanEntry::Target, text, {}}};
}

HeatCharge heatOf(const PlanHeat& entries, double silicon, double chromium) {
  HeatCharge heat;
  heat.massTonnes = heatEntry(entries.mass);
  heat.startCarbon = heatEntry(entries.startCarbon);
  heat.oxygenFlow = heatEntry(entries.oxygenFlow);
  heat.fesiGrade = readFiniteNumber(entries.fesiGrade).value_or(std::nan(""));
  heat.basicity = readFiniteNumber(entries.basicity).value_or(std::nan(""));
  heat.silicon = silicon;
  heat.chromium = chromium;
  return heat;
}

StageEvaluation evaluateStages(const Plan& plan, const PlanReading& entries, const ReactionLine& otherLine) {
  StageEvaluation e;
  const Reaction shown = entries.family.reaction;
  e.settings.lines[reactionIndex(shown)] = entries.family.line;
  e.settings.lines[reactionIndex(otherReaction(shown))] = otherLine;
  e.settings.composition = entries.family.composition;
  e.settings.mixture = entries.mixture;
  e.results.reserve(plan.stages.size());
  for (const BlowStage& stage : plan.stages) e.results.push_back(evaluateStage(stage, e.settings));
  e.target = readTarget(plan.target);
  if (e.target.value) e.reached = firstStageAtTarget(e.results, *e.target.value);
  e.heat = heatOf(plan.heat, e.settings.composition.silicon, e.settings.composition.chromium);
  e.ledger = blowLedger(plan.stages, e.results, e.heat, e.settings.mixture);
  return e;
}

std::vector<EquilibriumCurve> planCurves(const PlanReading& entries, const ReactionLine& otherLine, bool bothOxides) {
  std::vector<EquilibriumCurve> curves = equilibriumCurveFamily(entries.family);
  if (!bothOxides) return curves;
  CurveFamilyInputs other = entries.family;
  other.reaction = otherReaction(entries.family.reaction);
  other.line = otherLine;
  std::vector<EquilibriumCurve> second = equilibriumCurveFamily(other);
  const std::string first(reactionData(entries.family.reaction).name);
  const std::string dashed(reactionData(other.reaction).name);
  for (EquilibriumCurve& curve : curves) curve.label = first + " " + curve.label;
  for (EquilibriumCurve& curve : second) curve.label = dashed + " " + curve.label;
  curves.insert(curves.end(), std::make_move_iterator(second.begin()), std::make_move_iterator(second.end()));
  return curves;
}

}  // namespace velkarin
