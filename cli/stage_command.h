// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-curve --stages FILE: the stage table of a blow schedule on the
// command line, as the diagram's stage table computes it.

#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "calc/blow_ledger.h"
#include "calc/blow_stage.h"
#include "calc/stage_solve.h"
#include "io/csv.h"

namespace velkarin {

struct CurveCommandOptions;

// A stage file: its stages, and the conditions its rows before the header
// give ("#A,739938": the plan member A with the text 739938), in order.
struct StageDocument {
  std::vector<BlowStage> stages;
  std::vector<std::pair<std::string, std::string>> conditions;
};

// The stages of a CSV text: condition rows, then a header row naming the
// columns — gas (or 气体比或CO分压), t (or 温度/℃) and, optionally, C (or
// 实测%C) and O2, in any order among others — then one stage per row; blank
// rows are skipped. The message of the first problem instead ("line 3: …"),
// among them a condition row naming no plan member.
std::variant<StageDocument, std::string> readStageText(std::string_view text);

// The same, streaming from a source: memory stays flat per record, and a
// file of more than maxStages stages is refused.
std::variant<StageDocument, std::string> readStages(ByteSource& source);

// The bounds of a stage file: stages, and bytes read.
inline constexpr std::size_t maxStages = 100000;
inline constexpr std::size_t maxStageFileBytes = std::size_t{64} << 20;

// A stage's issue and a solve's answer as the notes on stderr word them, in
// English like every message of the tool; empty where there is nothing to say.
std::string stageIssueEnglish(const BlowStage& stage, const StageResult& result);
// A stage of the ledger as its note on stderr words it: why it cannot be
// booked, or that its figures assume an efficiency it cannot reach.
std::string ledgerStageEnglish(const LedgerStage& stage, const BlowStage& typed, const StageResult& result);
// A problem of the heat that the ledger meets only in its figures (a value
// in range that makes one beyond the double range), named by its option;
// empty for the others (the options refuse those themselves).
std::string ledgerHeatEnglish(LedgerProblem problem, const CurveCommandOptions& options);
std::string ledgerHeatEnglish(LedgerProblem problem, const HeatCharge& heat);
std::string solutionNoteEnglish(const StageSolution& solution, double targetCarbon, const TemperatureRange& range,
                                bool temperature);

}  // namespace velkarin
