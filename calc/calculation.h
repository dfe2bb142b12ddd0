// SPDX-License-Identifier: Apache-2.0
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

#include <variant>

#include "calc/calculation_outcome.h"
#include "calc/melt_state_input.h"
#include "calc/records.h"
#include "calc/result_presentation.h"

namespace velkarin {

// Computes every quantity for a given melt state. Touches nothing but its
// result, so it may run on any thread.
CalculationOutcome computeEquilibrium(Reaction reaction, const ReactionConstants& constants, const MeltState& state);

// What the prompts gave: everything the computation needs, copied, so it may
// run on a worker while the window goes on.
struct CalculationRequest {
  Reaction reaction = Reaction::Cr2O3;
  ReactionConstants constants;
  MeltState state;
};

// The first step of the action: the seven prompts. A request to compute, or
// the outcome that ends the action here (Cancelled, or Faulted by an answer
// beyond the double range; nothing is presented for either).
std::variant<CalculationRequest, CalculationOutcome> askCalculation(Reaction reaction,
                                                                    const ReactionConstants& constants,
                                                                    PromptSource& prompts);

// The whole action in one go: askCalculation, computeEquilibrium,
// presentOutcome. The window runs the same steps with the computation on a
// worker; the batch tool asks its prompts of a row's cells.
CalculationOutcome runCalculation(Reaction reaction, const ReactionConstants& constants, PromptSource& prompts,
                                  ResultSink& sink, const ResultNotes& notes);

}  // namespace velkarin
