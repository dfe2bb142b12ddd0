// SPDX-License-Identifier: Apache-2.0
// Fuzzes the digit patterns with arbitrary doubles: the input's first eight
// bytes are the double's bits, the next byte picks the pattern.
//
// For every finite value the text must be: '-' exactly when the value is
// below zero, then at least the pattern's width of integer digits with no
// leading zero beyond that width, then for the decimal patterns a point and
// exactly their number of decimals; and read back, the text lies within half
// a unit of its last place of the value (plus the reading's own rounding).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "calc/number_text.h"
#include "fuzz/fuzz_check.h"

using velkarin::DigitPattern;
using velkarin::fuzz::check;

namespace {

struct PatternShape {
  DigitPattern pattern;
  std::size_t width;     // integer digits at least
  std::size_t decimals;  // digits after the point
};

constexpr PatternShape shapes[] = {
    {DigitPattern::Whole, 1, 0},     {DigitPattern::Whole4, 4, 0},    {DigitPattern::Whole6, 6, 0},
    {DigitPattern::Decimals3, 1, 3}, {DigitPattern::Decimals6, 1, 6},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void checkPattern(double value, const PatternShape& shape) {
  const std::string text = velkarin::formatPattern(value, shape.pattern);

  std::size_t i = 0;
  const bool minus = !text.empty() && text[0] == '-';
  check(minus == (value < 0), "'-' does not match the sign of the value");
  if (minus) ++i;
  const std::size_t integerStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  const std::size_t integerDigits = i - integerStart;
  check(integerDigits >= shape.width, "fewer integer digits than the pattern's width");
  check(integerDigits == shape.width || text[integerStart] != '0', "a leading zero beyond the pattern's width");
  if (shape.decimals > 0) {
    check(i < text.size() && text[i] == '.', "no decimal point");
    ++i;
    const std::size_t decimalStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    check(i - decimalStart == shape.decimals, "wrong number of decimals");
  }
  check(i == text.size(), "characters after the number");

  const double back = std::strtod(text.c_str(), nullptr);
  const double halfUnit = 0.5 * std::pow(10.0, -static_cast<double>(shape.decimals));
  const double magnitude = std::max(std::fabs(value), std::fabs(back));
  const double readingSlack = 4 * (std::nextafter(magnitude, INFINITY) - magnitude);
  check(std::fabs(back - value) <= halfUnit + readingSlack, "the text is not the value rounded");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double) + 1) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  if (!std::isfinite(value)) return 0;
  checkPattern(value, shapes[data[sizeof(double)] % std::size(shapes)]);
  return 0;
}
