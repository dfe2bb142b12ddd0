// SPDX-License-Identifier: Apache-2.0
#pragma once

// Text <-> number conversions of the calculation: the leading-number rule for
// prompt answers, the strict reading of the A and B drop-down texts, the digit
// patterns of the output boxes and the shortest round-trip text.

#include <optional>
#include <string>
#include <string_view>

namespace velkarin {

// Why a text did not give a number.
enum class ReadError {
  NotANumber,  // A/B text that is not wholly one decimal number
  OutOfRange,  // a number beyond the double range (1e400, a huge &H…)
};

struct ReadResult {
  double value = 0;
  std::optional<ReadError> error;
};

// Reads a prompt answer by the leading-number rule: blanks (space, tab, line
// feed, ideographic space) are skipped wherever they occur; an optional sign,
// digits, an optional point with digits and an optional exponent (E or D) are
// read; reading stops at the first character that cannot continue the number.
// "&H…" and "&O…" are hexadecimal and octal integers. Full-width digits, point,
// signs and exponent letters read as their ASCII forms. No leading number
// gives 0. The only error is OutOfRange.
ReadResult readLeadingNumber(std::string_view answer);

// A cell of a table read by the same rule ("1650℃", "１６５０"), but a cell
// with no leading number at all gives nothing rather than 0; so does a number
// beyond the double range, which sets outOfRange.
std::optional<double> readCellNumber(std::string_view cell, bool& outOfRange);

// Reads an A or B text: optional blanks around one decimal number (optional
// sign, digits with an optional point, optional exponent). The point is the
// decimal separator in every locale; group separators are not accepted.
ReadResult readConstantText(std::string_view text);

// The digit patterns of the output texts.
enum class DigitPattern {
  Whole,      // "0"
  Whole4,     // "0000"
  Whole6,     // "000000"
  Decimals3,  // "0.000"
  Decimals6,  // "0.000000"
};

// Formats a finite number by pattern: rounded half away from zero, applied to
// the number's shortest round-trip decimal form; integer digits padded with
// zeros to the pattern's width, never cut; a negative number gets "-" in front
// of its padded digits. The decimal separator is always a point. A value
// that is not finite is refused with an Overflow fault (FaultError): callers
// check first, so no pattern text is ever made of an infinity or a NaN.
std::string formatPattern(double value, DigitPattern pattern);

// The shortest text that reads back to the identical double.
std::string formatShortest(double value);

// The same digits in plain notation, never with an exponent: "100000" where
// formatShortest gives "1e+05", "0.00001" for "1e-05". For labels and titles.
std::string formatPlain(double value);

}  // namespace velkarin
