// SPDX-License-Identifier: Apache-2.0
// What the plan file's reader needs beside its parser events: places in the
// text (line and column, the start of too deep a nesting), the parser's own
// words, and the last value of a repeated member.
#include <algorithm>
#include <cstdint>
#include <functional>

#include "calc/plan_members.h"

namespace velkarin {

// The byte at which nesting first goes deeper than `limit` (1-based, as the
// parser counts positions); brackets inside strings do not count.
std::size_t tooDeepAt(std::string_view text, std::size_t limit) {
  std::size_t depth = 0;
  bool inString = false, escaped = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return i + 1;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return text.size();
}

// The parser's own words without its "[json.exception.parse_error.101] parse
// error at line 1, column 2: " prefix: the place is given apart.
std::string parserWords(const char* what) {
  std::string words = what;
  const std::size_t colon = words.find(": ");
  if (colon != std::string::npos) return words.substr(colon + 2);
  const std::size_t bracket = words.find("] ");
  return bracket == std::string::npos ? words : words.substr(bracket + 2);
}

// A repeated member name: the last value holds, in the place of the first,
// as a JSON object reads. Places are grouped by a hash of their text first,
// so that a file of a million distinct members costs one sort of numbers.
void keepLastOfEachPath(std::vector<PlanExtraMember>& extras) {
  std::vector<std::pair<std::size_t, std::uint32_t>> order(extras.size());  // hash, index
  for (std::uint32_t i = 0; i < extras.size(); ++i) order[i] = {std::hash<std::string>{}(extras[i].path), i};
  std::sort(order.begin(), order.end());
  std::vector<bool> dropped(extras.size(), false);
  for (std::size_t run = 0; run < order.size();) {
    std::size_t end = run + 1;
    while (end < order.size() && order[end].first == order[run].first) ++end;
    // Within one hash, equal places in file order (the indices are sorted).
    for (std::size_t i = run; i < end; ++i) {
      const std::uint32_t first = order[i].second;
      if (dropped[first]) continue;
      for (std::size_t j = i + 1; j < end; ++j) {
        const std::uint32_t later = order[j].second;
        if (dropped[later] || extras[later].path != extras[first].path) continue;
        extras[first].json = std::move(extras[later].json);
        dropped[later] = true;
      }
    }
    run = end;
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < extras.size(); ++i) {
    if (dropped[i]) continue;
    if (kept != i) extras[kept] = std::move(extras[i]);
    ++kept;
  }
  extras.resize(kept);
}

// Line and column (1-based, in bytes) of the byte at `position` (1-based,
// as the JSON parser counts).
std::pair<std::size_t, std::size_t> lineAndColumn(std::string_view text, std::size_t position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  std::size_t line = 1, lineStart = 0;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  return {line, end - lineStart + 1};
}

}  // namespace velkarin
