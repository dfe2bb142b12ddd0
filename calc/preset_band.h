// SPDX-License-Identifier: Apache-2.0
#pragma once

// The band of a reaction's preset rows: for each pressure of a family, the
// lowest and the highest equilibrium carbon that any preset row's A and B
// give at each temperature — how far the literature's lines lie apart.

#include <utility>
#include <vector>

#include "calc/equilibrium_curve.h"

namespace velkarin {

// One pair (low, high) per curve of `family`, point for point; a point
// where no row has an equilibrium carbon has none in the band either.
std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>> presetBand(const CurveFamilyInputs& family);

}  // namespace velkarin
