// SPDX-License-Identifier: Apache-2.0
#pragma once

// Numbers typed into an entry or an option, read one way for the equilibrium
// diagram and the curve tool: each number as the A/B texts are read (blanks
// around one decimal number, the point as decimal separator, full-width
// forms allowed) and finite; a list of items separated by commas, and what
// can be wrong with one (gas_ratio.h reads the pressure lists).

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkarin {

// The text without blanks and tabs at its ends.
std::string_view trimmedItem(std::string_view text);

// What a message quotes of a typed text: its first line, trimmed, at most
// maxExcerptCharacters characters, with "…" where it was cut — so a whole
// pasted column never fills the status line.
inline constexpr std::size_t maxExcerptCharacters = 24;
std::string messageExcerpt(std::string_view text);

// The items of a comma-separated list, as written (blanks kept).
std::vector<std::string_view> listItems(std::string_view text);

// A finite number in the form of the A/B texts, or nothing.
std::optional<double> readFiniteNumber(std::string_view text);

// What is wrong with a list, in the order it is checked.
enum class ListProblem {
  Empty,        // nothing but blanks
  TooMany,      // more items than allowed
  EmptyItem,    // ",," or a comma at an end
  NotANumber,   // an item that is not one finite number
  NotPositive,  // an item ≤ 0 where values must be positive
  // Gas ratio items ("O2:inert") of a pressure list:
  RatioMissingSide,  // "3:" or ":1"
  RatioNotANumber,   // a side that is not one finite number, or a second colon
  RatioNegative,     // a side below 0
  RatioNoOxygen,     // "0:1": pure inert gas forms no CO
  RatioTooSmall,     // so little oxygen that p_CO is below minimumRatioPressure ("1e-300:1")
};

}  // namespace velkarin
