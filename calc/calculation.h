#pragma once

// The Calculate action of a calculation window, without the window:
//
//   ReactionConstants (drop-down texts) ──┐
//   PromptSource (seven answers) ── MeltState ──> Cr2O3/Cr3O4 formulas ──> ResultSink
//
// The formulas run in a fixed order and hand each group of results to the
// sink as soon as it is known (first results, scan, Text7, Text8, list line,
// clipboard). The first fault ends the calculation with exactly the earlier
// hand-offs done; a cancelled prompt ends it before any hand-off.

#include <optional>

#include "calc/fault.h"
#include "calc/melt_state_input.h"
#include "calc/records.h"
#include "calc/result_presentation.h"

namespace velkarin {

struct CalculationOutcome {
  enum class Status { Completed, Cancelled, Faulted };
  Status status = Status::Completed;
  MeltState state;           // the answers (meaningful once all seven were read)
  EquilibriumResult result;  // fields before `reached` are computed
  ResultField reached = ResultField::FreeEnergyChange;
  std::optional<Fault> fault;  // set when Faulted
};

// Computes every quantity for a given melt state, handing results to sink.
CalculationOutcome computeEquilibrium(Reaction reaction, const ReactionConstants& constants, const MeltState& state,
                                      ResultSink& sink);

// The whole action: asks the seven prompts, then computes.
CalculationOutcome runCalculation(Reaction reaction, const ReactionConstants& constants, PromptSource& prompts,
                                  ResultSink& sink);

}  // namespace velkarin
