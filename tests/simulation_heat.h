// SPDX-License-Identifier: Apache-2.0
#pragma once

// The simulation tests' heat: 80 t of 18/9 steel with 0.3 %Si and 1 %Mn from
// 1.6 %C and 1550 °C, blown with 60 Nm³/min; and a stage blown to a carbon.

#include <optional>
#include <string>
#include <utility>

#include "calc/blow_simulation.h"

namespace velkarin::test {

inline SimulationHeat heat80() {
  SimulationHeat h;
  h.massTonnes = 80;
  h.startCarbon = 1.6;
  h.startTemperature = 1550;
  h.oxygenFlow = 60;
  h.composition = {18, 9, 0.3, 1};
  return h;
}

inline SimulationStage toCarbon(std::string gas, double carbon, double lime = 0, double scrap = 0) {
  return {std::move(gas), std::nullopt, carbon, lime, scrap, InertGas::Argon};
}

}  // namespace velkarin::test
