// SPDX-License-Identifier: Apache-2.0
#include "calc/gas_ratio.h"

#include <algorithm>
#include <cmath>

#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"

namespace velkarin {

bool validMixture(const GasMixture& m) {
  return std::isfinite(m.totalPressure) && m.totalPressure > 0 && m.coShare > 0 && m.coShare <= 1;
}

double coPressureFromRatio(const GasRatio& ratio, const GasMixture& m) {
  if (ratio.inert == 0) return m.totalPressure;  // pure oxygen
  const double x = (2 * m.coShare) * (ratio.oxygen / ratio.inert);
  if (std::isinf(x)) return m.totalPressure;
  // For a huge ratio the rounded quotient can come out an ulp above P.
  return std::min(m.totalPressure, m.totalPressure * x / (x + 1));
}

double ratioForPressure(double coPressure, const GasMixture& m) {
  if (coPressure >= m.totalPressure) return std::numeric_limits<double>::infinity();
  const double x = coPressure / (m.totalPressure - coPressure);
  return x / (2 * m.coShare);
}

std::string pressureItemLabel(const PressureItem& item) {
  if (!item.ratio) return curvePressureLabel(item.coPressure);
  return item.text + " → " + formatPattern(item.coPressure, DigitPattern::Whole) + " Pa";
}

namespace {

constexpr std::string_view fullWidthColon = "\xEF\xBC\x9A";  // U+FF1A

PressureItemReading bad(ListProblem problem) { return {std::nullopt, problem}; }

// "a:b" with the sides read as numbers; colon at `colon`, `width` bytes wide.
PressureItemReading readRatio(std::string_view text, std::size_t colon, std::size_t width, const GasMixture& m) {
  const std::string_view left = trimmedItem(text.substr(0, colon));
  const std::string_view right = trimmedItem(text.substr(colon + width));
  if (left.empty() || right.empty()) return bad(ListProblem::RatioMissingSide);
  if (right.find(':') != std::string_view::npos || right.find(fullWidthColon) != std::string_view::npos) {
    return bad(ListProblem::RatioNotANumber);
  }
  const std::optional<double> oxygen = readFiniteNumber(left);
  const std::optional<double> inert = readFiniteNumber(right);
  if (!oxygen || !inert) return bad(ListProblem::RatioNotANumber);
  if (*oxygen < 0 || *inert < 0) return bad(ListProblem::RatioNegative);
  if (!(*oxygen > 0)) return bad(ListProblem::RatioNoOxygen);
  const GasRatio ratio{*oxygen, *inert};
  const double pressure = coPressureFromRatio(ratio, m);
  if (!(pressure >= minimumRatioPressure)) return bad(ListProblem::RatioTooSmall);
  return {PressureItem{std::string(text), pressure, ratio}, std::nullopt};
}

}  // namespace

PressureItemReading readPressureItem(std::string_view written, const GasMixture& m) {
  const std::string_view text = trimmedItem(written);
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    return readRatio(text, colon, 1, m);
  }
  if (const std::size_t colon = text.find(fullWidthColon); colon != std::string_view::npos) {
    return readRatio(text, colon, fullWidthColon.size(), m);
  }
  const std::optional<double> pressure = readFiniteNumber(text);
  if (!pressure) return bad(ListProblem::NotANumber);
  if (!(*pressure > 0)) return bad(ListProblem::NotPositive);
  return {PressureItem{std::string(text), *pressure, std::nullopt}, std::nullopt};
}

PressureListItems readPressureItems(std::string_view text, const GasMixture& m, std::size_t maxItems) {
  if (trimmedItem(text).empty()) return {{}, ListProblem::Empty, std::string(text)};
  const std::vector<std::string_view> items = listItems(text);
  if (items.size() > maxItems) return {{}, ListProblem::TooMany, {}};
  PressureListItems list;
  for (std::string_view item : items) {
    if (trimmedItem(item).empty()) return {{}, ListProblem::EmptyItem, std::string(item)};
    PressureItemReading reading = readPressureItem(item, m);
    if (reading.problem) return {{}, reading.problem, std::string(item)};
    list.items.push_back(std::move(*reading.item));
  }
  return list;
}

std::string pressureItemProblemEnglish(ListProblem problem, std::string_view written) {
  const std::string item(trimmedItem(written));
  switch (problem) {
    case ListProblem::Empty:
      return "needs at least one pressure or gas ratio";
    case ListProblem::TooMany:
      return "too many items";
    case ListProblem::EmptyItem:
    case ListProblem::NotANumber:
      return "'" + item + "' is not a number";
    case ListProblem::NotPositive:
      return item + " Pa is not greater than 0";
    case ListProblem::RatioMissingSide:
      return "gas ratio '" + item + "' misses a side (write O2:inert, e.g. 3:1)";
    case ListProblem::RatioNotANumber:
      return "gas ratio '" + item + "' is not two numbers (write O2:inert, e.g. 3:1)";
    case ListProblem::RatioNegative:
      return "gas ratio '" + item + "' has a negative side";
    case ListProblem::RatioNoOxygen:
      return "gas ratio '" + item + "' has no oxygen, so no CO";
    case ListProblem::RatioTooSmall:
      return "gas ratio '" + item + "' has too little oxygen: its CO pressure is below 1 Pa";
  }
  return "bad list";
}

std::string pressureItemsMessageEnglish(const PressureListItems& reading, std::string_view option) {
  if (!reading.problem) return {};
  return "--" + std::string(option) + ": " + pressureItemProblemEnglish(*reading.problem, reading.item);
}

}  // namespace velkarin
