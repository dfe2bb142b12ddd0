// SPDX-License-Identifier: Apache-2.0
#include "calc/csv_field.h"

#include <algorithm>

namespace velkarin {

std::string csvField(std::string_view text) {
  const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
  if (std::none_of(text.begin(), text.end(), special)) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace velkarin
