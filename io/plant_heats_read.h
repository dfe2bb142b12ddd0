// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plant's heats for the diagram: a table of heats (io/heat_table.h) read
// one heat per row in file order, each with its melt state, or with the
// reason its cells are no state the calculation takes (the A and B columns
// may be missing and are ignored). A heat's name is its "heat" column, else
// its "id" column.

#include <functional>
#include <optional>
#include <vector>

#include "calc/plant_heat.h"
#include "io/csv.h"
#include "io/input_error.h"

namespace velkarin {

// `cancelled` is set when the reading ended early; `error` when the input
// cannot be read or a record of it is malformed (then `heats` is empty).
struct PlantHeatsRead {
  std::vector<PlantHeat> heats;
  std::optional<BatchInputError> error;
  bool cancelled = false;
};

// `keepGoing` is asked between rows; when it says no, the reading ends with
// what it has. A ReadFailure of the source passes through.
PlantHeatsRead readPlantHeats(ByteSource& input, const std::function<bool()>& keepGoing = {});

}  // namespace velkarin
