// SPDX-License-Identifier: Apache-2.0
#pragma once

// The Chinese words of the core's answers, in one place: the core returns
// values and codes (a fault, a problem of the pressure list, a stage's issue, a
// solve's status, a ledger problem, an entry of the plan that does not
// read), and the desktop program and the command-line tools word them here,
// the same sentence in the window, the table and the batch tool's files.
// The stage table and the blow ledger as cells, with their Chinese headings,
// are here too; the simulated blow's tables are words/simulation_table.h. Texts the calculation windows themselves show
// (the prompts, the presets' tooltips, the result line) stay with the core's data.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/blow_ledger.h"
#include "calc/blow_stage.h"
#include "calc/equilibrium_curve.h"
#include "calc/fault.h"
#include "calc/gas_ratio.h"
#include "calc/plan_evaluation.h"
#include "calc/result_presentation.h"

namespace velkarin {

// calc/stage_solve.h, not included: its GoverningCarbon is not the bath
// model's, and the readers include both.
struct StageSolution;

// A fault's kind as the user sees it, and the whole message: the kind's
// name, a full-width colon and the detail naming the input or quantity.
std::string_view chinese(FaultKind kind);
std::string chinese(const Fault& fault);

// Why a pressure list (or a stage's one gas item) is refused; empty when it
// reads. `maxItems` is the most items the list takes.
std::string chinese(const PressureListItems& reading, std::size_t maxItems);

// A stage's issue, as the table's 说明 cell and the window show it; empty
// for StageIssue::None.
std::string chinese(const BlowStage& stage, const StageResult& result);

// A solution as the window shows it (for StageProblem the window shows the
// stage's issue instead).
std::string chinese(const StageSolution& solution, double targetCarbon, const TemperatureRange& range,
                    bool temperature);

// A problem of the ledger's heat.
std::string chinese(LedgerProblem heatProblem);
// A problem of a booked stage (the stage's own issue for StageNotRead).
std::string chinese(const LedgerStage& stage, const BlowStage& typed, const StageResult& result);
// The 说明 of a booked stage with efficiencyUnreachable.
extern const char* const ledgerEfficiencyNote;

// Why an entry of the plan gives no number ("[%Cr]“x”不是数字",
// "[%Cr]必须大于0"); nothing: empty.
std::string chinese(const EntryProblem& problem);
std::string chinese(const std::optional<EntryProblem>& problem);
std::vector<std::string> chinese(const std::vector<EntryProblem>& problems);

// The note of the ScanCarbon text after a step-over, and where no root lies
// in range (for BelowRange and AboveRange; empty otherwise).
std::string_view stepOverNote();
std::string_view noRootNote(CarbonGap gap);
// The notice after a calculation whose ΔG keeps its sign over 0.001–5000 %C;
// it names the side. Empty where there is an equilibrium carbon.
std::string noRootNotice(const EquilibriumResult& result);
// These as the presenter takes them (calc/result_presentation.h).
ResultNotes chineseResultNotes();

// The stage table: a header row, then one row per stage (number, gas, t,
// measured %C, p_CO, the two equilibrium carbons, the governing oxide, the
// margin; a stage with a problem has its texts and the problem only).
std::vector<std::vector<std::string>> stageTable(std::span<const BlowStage> stages,
                                                 std::span<const StageResult> results);

// The ledger as a table, as the window and velkarin-curve show it: the
// header row, one row per stage, the 合计 row; then the reduction as
// label–number pairs. Nm³ and kg with one decimal, % with two, [%Cr] with
// four; empty where not computable. The 说明 of each stage row needs the
// stage's texts and results: pass them as for blowLedger.
LedgerTable ledgerTable(std::span<const BlowStage> stages, std::span<const StageResult> results,
                        const BlowLedger& ledger);

}  // namespace velkarin
