// SPDX-License-Identifier: Apache-2.0
#pragma once

// The batch tool computes a whole shift of heats, one record at a time:
//
//   bytes ──> CsvReader ──> header (columns found by name) ──> one record per heat
//     ──> ReactionConstants + MeltState ──> computeEquilibrium ──> CSV row ──> BatchOutput
//
// Each row is what one press of Calculate would compute; the table and how
// its cells are read are io/heat_table.h's. A row is written as soon as it is computed, in
// input order, so memory stays flat whatever the number of rows. An input
// error stops the run at the record that has it; the rows before it have
// been written.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/line_fit.h"
#include "io/csv.h"
#include "io/input_error.h"

namespace velkarin {

// Exit statuses of velkarin-batch.
inline constexpr int batchAllComputed = 0;    // every row computed (scans that missed included)
inline constexpr int batchRowFaulted = 1;     // at least one row ended in a fault
inline constexpr int batchInputUnusable = 2;  // the input cannot be read, or a record of it is malformed
inline constexpr int batchOutputFailed = 3;   // the output cannot be written

// Where the rows go. write() throws when the bytes cannot be written (the
// caller's exception passes through runBatch).
class BatchOutput {
 public:
  virtual ~BatchOutput() = default;
  virtual void write(std::string_view bytes) = 0;
};

struct BatchOptions {
  bool byteOrderMark = false;  // start the output with a UTF-8 byte order mark (for spreadsheets)
};

struct BatchResult {
  int exitStatus = batchAllComputed;
  std::optional<BatchInputError> error;  // set exactly when exitStatus is batchInputUnusable
};

// Reads, computes and writes every record of the source. A ReadFailure of the
// source and the output's own exceptions pass through.
BatchResult runBatch(ByteSource& input, BatchOutput& output, const BatchOptions& options = {});

struct BatchRun {
  int exitStatus = batchAllComputed;
  std::string output;                    // what was written: the rows up to an input error
  std::optional<BatchInputError> error;  // set exactly when exitStatus is batchInputUnusable
};

// The ten input columns, as the header names them (matched case-insensitively,
// blanks around ignored).
std::span<const std::string_view> batchInputColumns();

// The columns appended after the echoed input columns, in order.
std::span<const std::string_view> batchResultColumns();

// Computes every row of a CSV text in memory (UTF-8, header line first).
BatchRun runBatch(std::string_view csvText, const BatchOptions& options = {});

// velkarin-batch --fit: the ΔG° line (calc/line_fit.h) of each reaction in
// the input, fitted to its heats as the batch tool reads them (the A and B
// columns may be missing and are ignored: they are what is fitted). A heat
// whose cells are no state the calculation takes is counted as excluded.
struct FitRun {
  std::vector<LineFit> fits;             // the reactions present, Cr2O3 before Cr3O4
  std::optional<BatchInputError> error;  // the input cannot be read, or a record of it is malformed
};
FitRun runFit(ByteSource& input);
FitRun runFit(std::string_view csvText);

// The fits as tab-separated text: the header row
// "reaction n A B seA seB sdG r2 excluded" and one row per fit, numbers as
// the shortest text that reads back to the same double; a fit with a
// problem has empty number cells.
std::string fitTable(const std::vector<LineFit>& fits);
// Why a fit has no numbers ("fewer than 3 usable heats (2; 1 excluded)"), or empty.
std::string fitProblemEnglish(const LineFitResult& result);

}  // namespace velkarin
