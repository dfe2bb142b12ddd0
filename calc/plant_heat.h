// SPDX-License-Identifier: Apache-2.0
#pragma once

// A plant's own heat as the diagram holds it (read from the batch tool's
// input CSV), and its figures against an equilibrium line: ΔG at its state,
// the equilibrium carbon at its own temperature, p_CO and composition, and
// its margin (measured − equilibrium, mass %).

#include <cstdint>
#include <optional>
#include <string>

#include "calc/equilibrium_curve.h"
#include "calc/records.h"

namespace velkarin {

struct PlantHeat {
  std::uint64_t line = 0;  // its line in the file
  std::string id;          // its heat or id cell; empty when the file has neither
  Reaction reaction = Reaction::Cr2O3;
  std::optional<MeltState> state;  // nothing when its cells are no state the calculation takes
  std::string fault;               // why it computes nothing (the calculation's message); empty otherwise
  bool fitted = true;              // ticked: taken into the fit
};

struct HeatFigures {
  std::optional<double> freeEnergy;         // ΔG, J/mol
  std::optional<double> equilibriumCarbon;  // mass %
  std::optional<double> margin;             // measured − equilibrium, mass %
};

HeatFigures heatFigures(Reaction reaction, const ReactionLine& line, const MeltState& state);

}  // namespace velkarin
