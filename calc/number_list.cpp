// SPDX-License-Identifier: Apache-2.0
#include "calc/number_list.h"

#include <cmath>

#include "calc/number_text.h"
#include "calc/utf8.h"

namespace velkarin {

std::string messageExcerpt(std::string_view text) {
  const std::size_t lineEnd = text.find_first_of("\r\n");
  const bool moreLines = lineEnd != std::string_view::npos && !trimmedItem(text.substr(lineEnd)).empty();
  const std::string_view line = trimmedItem(text.substr(0, lineEnd));
  std::size_t pos = 0, characters = 0;
  while (pos < line.size() && characters < maxExcerptCharacters) {
    const std::size_t length = decodeUtf8(line, pos).length;
    pos += length == 0 ? 1 : length;
    ++characters;
  }
  std::string excerpt(line.substr(0, pos));
  if (pos < line.size() || moreLines) excerpt += "…";
  return excerpt;
}

std::string_view trimmedItem(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> listItems(std::string_view text) {
  std::vector<std::string_view> items;
  for (std::size_t begin = 0;;) {
    const std::size_t comma = text.find(',', begin);
    items.push_back(text.substr(begin, comma == std::string_view::npos ? std::string_view::npos : comma - begin));
    if (comma == std::string_view::npos) return items;
    begin = comma + 1;
  }
}

std::optional<double> readFiniteNumber(std::string_view text) {
  const ReadResult read = readConstantText(text);
  if (read.error || !std::isfinite(read.value)) return std::nullopt;
  return read.value;
}

}  // namespace velkarin
