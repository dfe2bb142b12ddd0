#pragma once

// The Calculate action of a calculation window, without the window:
//
//   ReactionConstants (drop-down texts) ──┐
//   PromptSource (seven answers) ── MeltState ──> Cr2O3/Cr3O4 formulas ──> CalculationOutcome
//     ──> presentOutcome ──> ResultSink
//
// The formulas run in a fixed order and record how far they got; the first
// fault ends the calculation there. Nothing is shown while they run: the
// presenter then hands each group of results that was computed to the sink in
// the window's order, so a fault leaves exactly the earlier hand-offs done. A
// cancelled prompt ends the action before any hand-off.

#include "calc/calculation_outcome.h"
#include "calc/melt_state_input.h"
#include "calc/records.h"
#include "calc/result_presentation.h"

namespace velkarin {

// Computes every quantity for a given melt state. Touches nothing but its
// result, so it may run on any thread.
CalculationOutcome computeEquilibrium(Reaction reaction, const ReactionConstants& constants, const MeltState& state);

// The whole action in one go: asks the seven prompts, computes, presents.
CalculationOutcome runCalculation(Reaction reaction, const ReactionConstants& constants, PromptSource& prompts,
                                  ResultSink& sink);

}  // namespace velkarin
