// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plant's heat log for the simulation's calibration: CSV, a header row
// naming the columns (any order, case-insensitive), then one row per stage
// of each heat in blowing order:
//   heat           the heat's id; its rows stand together
//   stage          1, 2, … in order
//   W, C0, T0, F   t, mass %, °C, Nm³/min: on the heat's first row; later
//                  rows may repeat them or leave them empty
//   Cr, Ni, Si, Mn mass %, likewise
//   gas, O2        the stage's gas ratio or CO pressure, Nm³ blown
//   lime, scrap    kg added at the stage's start (optional)
//   inert          Ar or N2 (optional, empty Ar)
//   C, t           measured at the stage's end, mass % and °C (each optional)
// A row that cannot be read is a fault with its line and reason; a heat with
// a faulted row is left out whole.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/blow_calibration.h"
#include "io/csv.h"
#include "io/input_error.h"

namespace velkarin {

struct HeatLogFault {
  LineNumber line = 0;
  std::string heat;     // the heat left out for it
  std::string message;  // English
};

struct HeatLogRead {
  std::vector<LoggedHeat> heats;  // the heats every row of which could be read
  std::vector<HeatLogFault> faults;
  std::size_t excluded = 0;              // heats left out for a faulted row
  std::optional<BatchInputError> error;  // the input cannot be read, or is no heat log
  bool cancelled = false;
};

// `settings` gives each heat its reaction lines, P and η; `keepGoing` is
// asked between rows (the reading ends with what it has when it says no).
HeatLogRead readHeatLog(ByteSource& input, const SimulationHeat& settings, const std::function<bool()>& keepGoing = {});
HeatLogRead readHeatLog(std::string_view text, const SimulationHeat& settings);

// velkarin-batch --calibrate's row and header, and --residuals' rows
// (numbers in their shortest round-trip form, empty where there are none).
std::string calibrationTable(const Calibration& fit, std::size_t excluded);
std::string residualTable(const Calibration& fit, const std::vector<LoggedHeat>& heats);
// Why there is no fit ("fewer than 3 heats that can be simulated (2; 1 left out)"), or empty.
std::string calibrationProblemEnglish(const Calibration& fit);

}  // namespace velkarin
