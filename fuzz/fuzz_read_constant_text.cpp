// SPDX-License-Identifier: Apache-2.0
// Fuzzes the reading of the A and B drop-down texts with arbitrary bytes.
//
// The C library's strtod in the "C" locale is the independent oracle: a text
// is accepted exactly when, after blanks (space, tab) around it are removed,
// strtod consumes all of it and it is a plain decimal number (strtod also
// takes hexadecimal, "inf", "nan" and leading line breaks, which A and B do
// not). Full-width forms (U+FF01–U+FF5E) and the ideographic space U+3000
// count as their ASCII forms, as a Chinese input method types them; the
// oracle folds their bytes itself. Accepted texts give strtod's value, which is finite, and their
// shortest text reads back to the identical double.

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calc/number_text.h"
#include "fuzz/fuzz_check.h"

using velkarin::fuzz::check;
using velkarin::fuzz::sameBits;

namespace {

struct Strtod {
  bool wholeText = false;  // strtod consumed every character
  bool overflow = false;   // ERANGE with an infinite result
  double value = 0;
};

Strtod cStrtod(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  char* end = nullptr;
  errno = 0;
  Strtod r;
  r.value = strtod_l(text.c_str(), &end, cLocale);
  r.overflow = errno == ERANGE && std::isinf(r.value);
  r.wholeText = !text.empty() && end == text.c_str() + text.size();
  return r;
}

// Characters by which strtod reads what is not a plain decimal number:
// hexadecimal, infinities, NaNs, and the white space it skips in front.
bool hasNonDecimalForm(std::string_view text) { return text.find_first_of("xXiInN\n\v\f\r") != std::string_view::npos; }

// U+FF01–U+FF5E (EF BC 81 … EF BD 9E) to ASCII 0x21–0x7E, U+3000 (E3 80 80)
// to a space; every other byte as it is.
std::string foldFullWidth(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    if (i + 2 < text.size() && at(i) == 0xEF && at(i + 1) == 0xBC && at(i + 2) >= 0x81 && at(i + 2) <= 0xBF) {
      out += static_cast<char>(at(i + 2) - 0x81 + 0x21);
      i += 2;
    } else if (i + 2 < text.size() && at(i) == 0xEF && at(i + 1) == 0xBD && at(i + 2) >= 0x80 && at(i + 2) <= 0x9E) {
      out += static_cast<char>(at(i + 2) - 0x80 + 0x60);
      i += 2;
    } else if (i + 2 < text.size() && at(i) == 0xE3 && at(i + 1) == 0x80 && at(i + 2) == 0x80) {
      out += ' ';
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const velkarin::ReadResult read = velkarin::readConstantText(text);

  const std::string folded = foldFullWidth(text);
  std::string_view trimmed = folded;
  while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t')) trimmed.remove_prefix(1);
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.remove_suffix(1);
  const std::string core(trimmed);
  const Strtod oracle = cStrtod(core);
  const bool decimal = oracle.wholeText && !hasNonDecimalForm(core) && core.find('\0') == std::string::npos;

  if (!decimal) {
    check(read.error == velkarin::ReadError::NotANumber, "a text that is not one decimal number was accepted");
    return 0;
  }
  if (oracle.overflow) {
    check(read.error == velkarin::ReadError::OutOfRange, "a number beyond the double range was not OutOfRange");
    return 0;
  }
  check(!read.error, "a decimal number was rejected");
  check(sameBits(read.value, oracle.value), "the value differs from strtod's");
  check(std::isfinite(read.value), "an accepted text is not finite");

  const velkarin::ReadResult again = velkarin::readConstantText(velkarin::formatShortest(read.value));
  check(!again.error && sameBits(again.value, read.value), "the shortest text does not read back");
  return 0;
}
