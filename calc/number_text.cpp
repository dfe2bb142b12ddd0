// SPDX-License-Identifier: Apache-2.0
#include "calc/number_text.h"

#include <locale.h>
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "calc/fault.h"
#include "calc/utf8.h"

namespace velkarin {
namespace {

// strtod in the "C" locale, so the point is the decimal separator whatever
// the user's locale. Overflow is OutOfRange; underflow gives the (denormal or
// zero) value strtod returns, as the number is then simply very small.
ReadResult convertC(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  errno = 0;
  const double value = strtod_l(text.c_str(), nullptr, cLocale);
  if (errno == ERANGE && std::fabs(value) > DBL_MAX / 2) return {0, ReadError::OutOfRange};
  return {value, std::nullopt};
}

// Decodes one UTF-8 code point at `pos`, advancing it; malformed bytes come
// back as U+FFFD one byte at a time, so they stop a number like any letter.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const Utf8Char decoded = decodeUtf8(text, pos);
  if (decoded.length == 0) {
    ++pos;
    return U'\uFFFD';
  }
  pos += decoded.length;
  return decoded.codePoint;
}

// One character of a prompt answer as the leading-number rule sees it:
// blanks are dropped ('\0'), full-width ASCII forms fold to ASCII, anything
// else that is not ASCII becomes a stopper ('\x7F').
char foldAnswerChar(char32_t cp) {
  if (cp == U' ' || cp == U'\t' || cp == U'\n' || cp == U'\u3000') return '\0';
  if (cp >= 0xFF01 && cp <= 0xFF5E) cp -= 0xFEE0;
  if (cp >= 0x21 && cp < 0x7F) return static_cast<char>(cp);
  return '\x7F';
}

// An A or B text with full-width forms folded to ASCII and the ideographic
// space to a blank, as a Chinese input method types them (７３９９３８,
// －475.137); any other non-ASCII character becomes '\x7F', which no number
// contains.
std::string foldConstantText(std::string_view text) {
  std::string folded;
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t cp = nextCodePoint(text, pos);
    const char c = cp == U'\u3000' ? ' ' : foldAnswerChar(cp);
    folded += c == '\0' ? static_cast<char>(cp) : c;  // ' ', '\t', '\n' stay themselves
  }
  return folded;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Octal digits -> hexadecimal digits of the same integer, via their bits.
std::string octalToHex(std::string_view octal) {
  std::string bits;
  for (char d : octal) {
    const int v = d - '0';
    bits += (v & 4) ? '1' : '0';
    bits += (v & 2) ? '1' : '0';
    bits += (v & 1) ? '1' : '0';
  }
  bits.insert(0, (4 - bits.size() % 4) % 4, '0');
  std::string hex;
  for (std::size_t i = 0; i < bits.size(); i += 4) {
    const int v = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 + (bits[i + 3] - '0');
    hex += "0123456789abcdef"[v];
  }
  return hex;
}

}  // namespace

namespace {

// The leading-number rule; `found` tells whether the answer has a number at
// all (no leading number reads as 0).
ReadResult readLeading(std::string_view answer, bool& found) {
  found = false;
  // Fold the whole answer first: blanks vanish wherever they stand.
  std::string s;
  for (std::size_t pos = 0; pos < answer.size();) {
    const char c = foldAnswerChar(nextCodePoint(answer, pos));
    if (c != '\0') s += c;
  }

  std::size_t i = 0;
  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
    const bool hex = s[1] == 'H' || s[1] == 'h';
    std::string digits;
    for (i = 2; i < s.size() && (hex ? isHexDigit(s[i]) : (s[i] >= '0' && s[i] <= '7')); ++i) digits += s[i];
    if (digits.empty()) return {0, std::nullopt};
    found = true;
    return convertC("0x" + (hex ? digits : octalToHex(digits)));
  }

  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
  std::size_t mantissaDigits = 0;
  for (; i < s.size() && isDigit(s[i]); ++i, ++mantissaDigits) number += s[i];
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    for (; i < s.size() && isDigit(s[i]); ++i, ++mantissaDigits) number += s[i];
  }
  if (mantissaDigits == 0) return {0, std::nullopt};
  found = true;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    const std::size_t firstDigit = j;
    for (; j < s.size() && isDigit(s[j]); ++j) exponent += s[j];
    if (j > firstDigit) number += exponent;  // "1e" and "1e+" read as 1
  }
  return convertC(number);
}

}  // namespace

ReadResult readLeadingNumber(std::string_view answer) {
  bool found = false;
  return readLeading(answer, found);
}

std::optional<double> readCellNumber(std::string_view cell, bool& outOfRange) {
  bool found = false;
  const ReadResult read = readLeading(cell, found);
  outOfRange = read.error.has_value();
  if (!found || read.error) return std::nullopt;
  return read.value;
}

ReadResult readConstantText(std::string_view typed) {
  const std::string folded = foldConstantText(typed);
  std::string_view text = folded;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
  }
  if (digits == 0) return {0, ReadError::NotANumber};
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) ++exponentDigits;
    if (exponentDigits == 0) return {0, ReadError::NotANumber};
  }
  if (i != text.size()) return {0, ReadError::NotANumber};
  return convertC(std::string(text));
}

namespace {

// A value's decimal digits d1 d2 … and the position of its point: the value
// is ±0.d1d2… × 10^point.
struct DecimalDigits {
  std::string digits;
  int point = 1;
};

// The shortest round-trip digits of |value|.
DecimalDigits shortestDigits(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
  (void)ec;  // 64 characters hold any double in scientific form
  const std::string_view sci(buffer, static_cast<std::size_t>(end - buffer));
  const std::size_t ePos = sci.find('e');
  DecimalDigits d;
  for (char c : sci.substr(0, ePos)) {
    if (c != '.') d.digits += c;
  }
  int exponent10 = 0;
  const std::string_view exponentText = sci.substr(ePos + (sci[ePos + 1] == '+' ? 2 : 1));
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent10);
  d.point = d.digits == "0" ? 1 : exponent10 + 1;
  return d;
}

// Rounds half away from zero at `decimals` places after the point.
void roundDigits(DecimalDigits& d, int decimals) {
  const int keep = d.point + decimals;  // digits that stay
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  if (static_cast<std::size_t>(keep) >= d.digits.size()) return;
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (!up) return;
  int k = keep - 1;
  for (; k >= 0 && d.digits[static_cast<std::size_t>(k)] == '9'; --k) d.digits[static_cast<std::size_t>(k)] = '0';
  if (k >= 0) {
    ++d.digits[static_cast<std::size_t>(k)];
  } else {
    d.digits.insert(d.digits.begin(), '1');
    ++d.point;
  }
}

}  // namespace

std::string formatPattern(double value, DigitPattern pattern) {
  if (!std::isfinite(value)) raiseFault(FaultKind::Overflow, FaultDetail::Stated, FaultSubject::DisplayNotFinite);
  int minIntegerDigits = 1;
  int decimals = 0;
  switch (pattern) {
    case DigitPattern::Whole:
      break;
    case DigitPattern::Whole4:
      minIntegerDigits = 4;
      break;
    case DigitPattern::Whole6:
      minIntegerDigits = 6;
      break;
    case DigitPattern::Decimals3:
      decimals = 3;
      break;
    case DigitPattern::Decimals6:
      decimals = 6;
      break;
  }
  DecimalDigits d = shortestDigits(value);
  roundDigits(d, decimals);

  // Lay the digits out around the point.
  const auto digitAt = [&](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < d.digits.size() ? d.digits[static_cast<std::size_t>(index)]
                                                                           : '0';
  };
  std::string integer;
  for (int k = 0; k < d.point; ++k) integer += digitAt(k);
  const std::size_t firstNonZero = integer.find_first_not_of('0');
  integer.erase(0, firstNonZero == std::string::npos ? integer.size() : firstNonZero);
  if (integer.size() < static_cast<std::size_t>(minIntegerDigits)) {
    integer.insert(0, static_cast<std::size_t>(minIntegerDigits) - integer.size(), '0');
  }
  std::string text = value < 0 ? "-" + integer : integer;
  if (decimals > 0) {
    text += '.';
    for (int k = d.point; k < d.point + decimals; ++k) text += digitAt(k);
  }
  return text;
}

std::string formatShortest(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  return std::string(buffer, end);
}

std::string formatPlain(double value) {
  char buffer[400];  // a fixed 1e308 has 309 digits, a fixed 5e-324 over 320
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return formatShortest(value);
  return std::string(buffer, end);
}

}  // namespace velkarin
