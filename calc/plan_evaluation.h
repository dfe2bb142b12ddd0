// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a plan gives: its entries read into numbers (or why they cannot be,
// as codes that words/chinese.h words), the curves they describe, and its stages
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

// The entries of a plan that are read into numbers.
enum class PlanEntry { A, B, Chromium, Nickel, Silicon, Manganese, TotalPressure, CoShare, Pressures, Target };

// Why an entry gives no number.
struct EntryProblem {
  enum class Kind {
    NotANumber,        // the text is no number
    NotPositive,       // a number, but the entry must be above 0
    AboveOne,          // η above 1
    NoPositiveNumber,  // the target: no number, or not above 0
    PressureList,      // the pressure list is refused: `pressures` tells why
  };
  Kind kind = Kind::NotANumber;
  PlanEntry entry = PlanEntry::A;
  std::string text;             // the entry as typed
  PressureListItems pressures;  // for PressureList
};

// One number entry: its value, or the problem.
struct EntryReading {
  std::optional<double> value;
  std::optional<EntryProblem> problem;  // set exactly when value is not
};
// `positive` requires a value > 0.
EntryReading readEntry(PlanEntry entry, const std::string& text, bool positive = false);

// The entries that draw the curves: A and B of the shown reaction, the
// composition, P and η, the pressure list.
struct PlanReading {
  std::vector<EntryProblem> problems;  // in entry order; empty when everything reads
  CurveFamilyInputs family;            // the shown reaction's curves, its labels for ratio items
  GasMixture mixture;                  // P and η
  bool read() const { return problems.empty(); }
};
PlanReading readPlanEntries(const Plan& plan);

// A and B of the reaction not shown: the plan's texts, or (nothing) where
// they are no numbers.
std::optional<ReactionLine> otherLineOf(const Plan& plan);

// The target entry: nothing when empty; the problem when it is no positive number.
struct TargetReading {
  std::optional<double> value;  // mass %
  std::optional<EntryProblem> problem;
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
