// SPDX-License-Identifier: Apache-2.0
#include "calc/plant_heat.h"

#include <cmath>

#include "calc/free_energy.h"
#include "calc/line_fit.h"

namespace velkarin {

HeatFigures heatFigures(Reaction reaction, const ReactionLine& line, const MeltState& s) {
  HeatFigures figures;
  const std::optional<double> y = equilibriumLineValue(reaction, s);
  if (!y) return figures;
  // ΔG = (A + B·T) + 19.147142·T·X = (A + B·T) − y.
  const double freeEnergy = (line.a + line.b * s.temperature) - *y;
  if (std::isfinite(freeEnergy)) figures.freeEnergy = freeEnergy;
  const CurveComposition composition{s.chromium, s.nickel, s.silicon, s.manganese};
  const EquilibriumCarbon carbon =
      equilibriumCarbon(reaction, line, s.temperature - constants::kelvinOffset, s.coPressure, composition);
  if (carbon.carbon) {
    figures.equilibriumCarbon = carbon.carbon;
    figures.margin = s.carbon - *carbon.carbon;
  }
  return figures;
}

}  // namespace velkarin
