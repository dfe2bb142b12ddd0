// SPDX-License-Identifier: Apache-2.0
#pragma once

// The stage table's text going out and coming in: what a paste holds (the
// table's own copy, a spreadsheet's rows with or without their header, or
// one value for the current cell), and the CSV file of the table with the
// plan's conditions as "#name,text" rows above it.

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calc/blow_stage.h"

namespace velkarin {

struct PastedStages {
  std::optional<QString> value;   // one value without a tab: for the current cell
  std::vector<BlowStage> stages;  // otherwise the rows, in order
};

// Lines end in \n or \r\n; blank lines are skipped. The table's own copy
// starts with 阶段 and has no O2 (its columns: stage, gas, t, C); a
// spreadsheet's rows are gas, t, C, O2, lime, scrap, inert, under an
// optional header row that names gas (or 气体比或CO分压) first.
PastedStages readPastedStages(const QString& text);

// The CSV (UTF-8 with its byte-order mark) of the stages and their results,
// under the conditions' rows and a blank line when there are conditions.
QByteArray stageCsvBytes(const std::vector<std::pair<std::string, std::string>>& conditions,
                         const std::vector<BlowStage>& stages, const std::vector<StageResult>& results);

}  // namespace velkarin
