// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow as the engineer sets it: a ratio of oxygen to inert gas (argon or
// nitrogen) by volume, turned into the CO partial pressure over the bath.
// Each mole of O2 that burns carbon gives two moles of CO; with a share η of
// the oxygen forming CO and total pressure P,
//
//   x = 2·η·r  (r = O2 : inert),   p_CO = P·x / (x + 1)
//
// so 4:1 gives 8/9 of P, 3:1 gives 6/7, 1:1 gives 2/3 and 1:3 gives 0.4 (η = 1).
// Pure oxygen ("1:0") gives P; pure inert gas ("0:1") gives no CO at all.

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/number_list.h"

namespace velkarin {

// The least CO pressure a gas ratio may give, Pa: below it no vessel blows,
// and the pressure would show as "0 Pa".
inline constexpr double minimumRatioPressure = 1;

struct GasMixture {
  double totalPressure = 101325;  // P over the bath, Pa, > 0
  double coShare = 1;             // η, the share of the oxygen that forms CO, 0 < η ≤ 1
};

// Whether P and η are in their ranges (finite, P > 0, 0 < η ≤ 1).
bool validMixture(const GasMixture& mixture);

struct GasRatio {
  double oxygen = 1;  // parts of O2, ≥ 0
  double inert = 0;   // parts of argon or nitrogen, ≥ 0; oxygen + inert > 0
};

// p_CO in Pa of a ratio with oxygen > 0 under a valid mixture.
double coPressureFromRatio(const GasRatio& ratio, const GasMixture& mixture);

// The O2 : inert ratio r at which the mixture gives p_CO (0 < p_CO < P):
// r = x / (2η) with x = p / (P − p). Infinite (pure oxygen) for p_CO ≥ P.
double ratioForPressure(double coPressure, const GasMixture& mixture);

// One item of a pressure list: a plain pressure ("50000") or a gas ratio
// ("3:1"; a full-width colon "３：１" is read the same).
struct PressureItem {
  std::string text;               // as written, blanks trimmed
  double coPressure = 0;          // Pa
  std::optional<GasRatio> ratio;  // set for a ratio item
};

// The label of an item's curve: a ratio by its ratio and the pressure it
// gives ("3:1 → 86850 Pa"), a pressure as curvePressureLabel does.
std::string pressureItemLabel(const PressureItem& item);

// Reads one item; the problem kind where it is not good (NotANumber,
// NotPositive, or one of the ratio problems).
struct PressureItemReading {
  std::optional<PressureItem> item;
  std::optional<ListProblem> problem;
};
PressureItemReading readPressureItem(std::string_view text, const GasMixture& mixture);

// A comma-separated list of at least one and at most maxItems pressure items.
struct PressureListItems {
  std::vector<PressureItem> items;     // in the order written; empty when there is a problem
  std::optional<ListProblem> problem;  // set when the list is not good
  std::string item;                    // the offending item as written
};
PressureListItems readPressureItems(std::string_view text, const GasMixture& mixture,
                                    std::size_t maxItems = std::numeric_limits<std::size_t>::max());

// One item's problem in English ("gas ratio '0:1' has no oxygen, so no CO").
std::string pressureItemProblemEnglish(ListProblem problem, std::string_view item);

// The same problem in English, as velkarin-curve reports it for `option`.
std::string pressureItemsMessageEnglish(const PressureListItems& reading, std::string_view option);

}  // namespace velkarin
