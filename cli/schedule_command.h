// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-curve --stages FILE and --plan FILE: the file's stages and
// conditions made into a plan, the command line's options set on its
// members, and the plan evaluated as the diagram evaluates it
// (calc/plan_evaluation.h), printed as the stage table or the blow ledger.

#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "calc/plan.h"
#include "calc/plan_evaluation.h"

namespace velkarin {

struct CurveCommandOptions;

// The plan of a schedule: `base` (a plan file's plan, or for a stage file a
// default plan holding its stages), then the file's conditions in their
// order — each only where the command line gives no option of its member,
// an empty optional one (target, the heat's) skipped — then the command
// line's members. A and B left to no one are the first preset row of the
// plan's reaction (of the other reaction for otherA and otherB); an
// optional member left to no one takes its default.
struct SchedulePlan {
  Plan plan;
  std::set<std::string> fromFile;  // the places the file's conditions gave
  std::set<std::string> given;     // those and the command line's
};
// The message of the first condition its option refuses, after its place
// ("composition/Ni: --ni: 'x' is not a number"; a member given twice by the
// file: "A: --a given twice"), instead.
std::variant<SchedulePlan, std::string> schedulePlan(Plan base,
                                                     const std::vector<std::pair<std::string, std::string>>& conditions,
                                                     const CurveCommandOptions& options);

// Prints the evaluation of a plan's stages: the stage table, with a target
// three more columns (the temperature in options.family.temperatures, the
// gas ratio and p_CO at which each stage reaches it), or with --ledger the
// blow ledger; notes on `err`. curveExitUsage when the ledger's figures of
// the heat are beyond the number range.
int printStageEvaluation(const StageEvaluation& evaluation, const std::vector<BlowStage>& stages,
                         const CurveCommandOptions& options, std::ostream& out, std::ostream& err);

// --stages FILE or --plan FILE: reads the file, makes its plan and prints
// its evaluation. Returns curveExitOk, curveExitInput (message on err) when
// the file cannot be read, is no stage table or plan, or a condition of it
// is no valid value, or curveExitUsage when the options together are not
// (--ledger without the heat's mass).
int runSchedule(const CurveCommandOptions& options, std::ostream& out, std::ostream& err);

}  // namespace velkarin
