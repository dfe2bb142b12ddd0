// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a plan gives: its entries read into numbers (or why they cannot be,
// in the diagram's Chinese words), the curves they describe, and its stages
// evaluated under them with the target and the blow ledger. The diagram
// window reads its controls into a Plan and shows what these functions
// return; nothing here needs a window.

#include <optional>
#include <string>
#include <vector>

#include "calc/blow_ledger.h"
#include "calc/blow_stage.h"
#include "calc/equilibrium_curve.h"
#include "calc/gas_ratio.h"
#include "calc/plan.h"

namespace velkarin {

// The most curves one diagram draws; more would not be told apart.
inline constexpr std::size_t maxPlanCurves = 12;

// One number entry: its value, or the problem ("[%Cr]“x”不是数字", "[%Cr]必须大于0").
struct EntryReading {
  std::optional<double> value;
  std::string problem;  // empty when value is set
};
// `name` goes into the message; `positive` requires a value > 0.
EntryReading readEntry(const std::string& name, const std::string& text, bool positive = false);

// The entries that draw the curves: A and B of the shown reaction, the
// composition, P and η, the pressure list.
struct PlanReading {
  std::vector<std::string> problems;  // in entry order; empty when everything reads
  CurveFamilyInputs family;           // the shown reaction's curves, its labels for ratio items
  GasMixture mixture;                 // P and η
  bool read() const { return problems.empty(); }
};
PlanReading readPlanEntries(const Plan& plan);

// A and B of the reaction not shown: the plan's texts, or (nothing) where
// they are no numbers.
std::optional<ReactionLine> otherLineOf(const Plan& plan);

// The target entry: nothing when empty; the problem when it is no positive number.
struct TargetReading {
  std::optional<double> value;  // mass %
  std::string problem;
};
TargetReading readTarget(const std::string& text);

// The heat of the ledger from its entries, with the melt's [%Si] and [%Cr]
// (an entry that is no number is NaN, which the ledger refuses).
HeatCharge heatOf(const PlanHeat& heat, double silicon, double chromium);

// The stages of a plan under entries read before (the last that could be
// read: the diagram keeps showing them while an entry is being typed).
struct StageEvaluation {
  StageSettings settings;
  std::vector<StageResult> results;  // one per stage
  TargetReading target;
  std::optional<std::size_t> reached;  // the first stage whose governing carbon is at or below the target
  HeatCharge heat;
  BlowLedger ledger;
};
StageEvaluation evaluateStages(const Plan& plan, const PlanReading& entries, const ReactionLine& otherLine);

// The curves of the shown reaction and, with both oxides, the other's after
// them (each labelled with its reaction's name in front when both are drawn).
std::vector<EquilibriumCurve> planCurves(const PlanReading& entries, const ReactionLine& otherLine, bool bothOxides);

}  // namespace velkarin
