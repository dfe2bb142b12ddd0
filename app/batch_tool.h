#pragma once

// The batch tool computes a whole shift of heats at once:
//
//   CSV text ──> header (columns found by name) ──> one row per heat
//     ──> ReactionConstants + MeltState ──> computeEquilibrium ──> CSV text
//
// Each row is what one press of Calculate would compute: A and B are read as
// the drop-down texts are, the other cells as prompt answers are, and an
// empty cell stands for the reaction's first preset row (A, B) or the
// prompt's default (answers). The whole input is read and checked before
// anything is computed, so an input that cannot be read gives an error and
// no output at all.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velkarin {

// Exit statuses of velkarin-batch.
inline constexpr int batchAllComputed = 0;    // every row computed (a scan that ran out included)
inline constexpr int batchRowFaulted = 1;     // at least one row ended in a fault
inline constexpr int batchInputUnusable = 2;  // the input cannot be read; nothing is written

// Why the input cannot be read, and on which 1-based line of the text.
struct BatchInputError {
  int line = 0;
  std::string message;
};

struct BatchRun {
  int exitStatus = batchAllComputed;
  std::string output;                    // the CSV to write; empty when the input is unusable
  std::optional<BatchInputError> error;  // set exactly when exitStatus is batchInputUnusable
};

// The ten input columns, as the header names them (matched case-insensitively,
// blanks around ignored).
std::span<const std::string_view> batchInputColumns();

// The columns appended after the echoed input columns, in order.
std::span<const std::string_view> batchResultColumns();

// Computes every row of a CSV text (UTF-8, header line first).
BatchRun runBatch(std::string_view csvText);

}  // namespace velkarin
