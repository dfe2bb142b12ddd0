// SPDX-License-Identifier: Apache-2.0
#include "calc/preset_band.h"

#include <string>

#include "calc/reaction_data.h"

namespace velkarin {

std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>> presetBand(const CurveFamilyInputs& family) {
  std::vector<std::vector<EquilibriumCurve>> families;
  for (const PresetRow& row : reactionData(family.reaction).presets) {
    CurveFamilyInputs preset = family;
    if (const std::optional<ReactionLine> line = readReactionLine({std::string(row.a), std::string(row.b)})) {
      preset.line = *line;
      families.push_back(equilibriumCurveFamily(preset));
    }
  }
  std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>> bands;
  for (std::size_t p = 0; !families.empty() && p < families.front().size(); ++p) {
    EquilibriumCurve low = families.front()[p], high = families.front()[p];
    for (const std::vector<EquilibriumCurve>& curves : families) {
      for (std::size_t k = 0; k < curves[p].points.size(); ++k) {
        const std::optional<double>& c = curves[p].points[k].carbon.carbon;
        if (!c) continue;
        std::optional<double>& lo = low.points[k].carbon.carbon;
        std::optional<double>& hi = high.points[k].carbon.carbon;
        if (!lo || *c < *lo) lo = c;
        if (!hi || *c > *hi) hi = c;
      }
    }
    bands.emplace_back(std::move(low), std::move(high));
  }
  return bands;
}

}  // namespace velkarin
