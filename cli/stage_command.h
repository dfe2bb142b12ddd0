// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-curve --stages FILE: the stage table of a blow schedule on the
// command line, as the diagram's stage table computes it.

#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calc/blow_stage.h"
#include "calc/stage_solve.h"
#include "cli/csv.h"

namespace velkarin {

struct CurveCommandOptions;

// The stages of a CSV text: a header row naming the columns — gas (or
// 气体比或CO分压), t (or 温度/℃) and, optionally, C (or 实测%C), in any order
// among others — then one stage per row; blank rows are skipped. The message
// of the first problem instead ("line 3: …").
std::variant<std::vector<BlowStage>, std::string> readStageText(std::string_view text);

// The same, streaming from a source: memory stays flat per record, and a
// file of more than maxStages stages is refused.
std::variant<std::vector<BlowStage>, std::string> readStages(ByteSource& source);

// The bounds of a stage file: stages, and bytes read.
inline constexpr std::size_t maxStages = 100000;
inline constexpr std::size_t maxStageFileBytes = std::size_t{64} << 20;

// A stage's issue and a solve's answer as the notes on stderr word them, in
// English like every message of the tool; empty where there is nothing to say.
std::string stageIssueEnglish(const BlowStage& stage, const StageResult& result);
std::string solutionNoteEnglish(const StageSolution& solution, double targetCarbon, const TemperatureRange& range,
                                bool temperature);

// Reads options.stageFile and prints its stage table as tab-separated text;
// with a target carbon, three more columns: the temperature, gas ratio and
// p_CO at which each stage reaches it. Returns curveExitOk, or curveExitInput
// (message on err) when the file cannot be read or is not a stage table.
int runStageTable(const CurveCommandOptions& options, std::ostream& out, std::ostream& err);

}  // namespace velkarin
