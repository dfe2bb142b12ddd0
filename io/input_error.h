// SPDX-License-Identifier: Apache-2.0
#pragma once

// Why an input file cannot be read (the shift of heats, the plant's heats,
// the heat log): the 1-based line and, where there is one, the column.

#include <optional>
#include <string>

#include "io/csv.h"

namespace velkarin {

// The column is the header's name for it, or "field N" before the header is
// known; the message is English.
struct BatchInputError {
  LineNumber line = 0;
  std::optional<std::string> column;
  std::string message;
};

// "line 7, column pCO: <message>", or "line 7: <message>".
std::string describe(const BatchInputError& error);

}  // namespace velkarin
