// SPDX-License-Identifier: Apache-2.0
// Fuzzes the leading-number reading of prompt answers with arbitrary bytes.
//
// Properties: no crash or sanitizer report; the only error is OutOfRange and
// without it the value is finite; blanks before and after the answer change
// nothing; and the value's shortest text reads back to the identical double,
// both as a prompt answer and as an A/B text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calc/number_text.h"
#include "fuzz/fuzz_check.h"

using velkarin::fuzz::check;
using velkarin::fuzz::sameBits;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  const velkarin::ReadResult read = velkarin::readLeadingNumber(answer);

  const std::string padded = " \t\u3000" + std::string(answer) + "\n ";
  const velkarin::ReadResult paddedRead = velkarin::readLeadingNumber(padded);
  check(paddedRead.error == read.error && sameBits(paddedRead.value, read.value),
        "blanks around the answer change its value");

  if (read.error) {
    check(*read.error == velkarin::ReadError::OutOfRange, "a prompt answer gave an error other than OutOfRange");
    return 0;
  }
  check(std::isfinite(read.value), "a prompt answer read without error is not finite");

  const std::string shortest = velkarin::formatShortest(read.value);
  const velkarin::ReadResult again = velkarin::readLeadingNumber(shortest);
  check(!again.error && sameBits(again.value, read.value), "the shortest text does not read back as an answer");
  const velkarin::ReadResult asConstant = velkarin::readConstantText(shortest);
  check(!asConstant.error && sameBits(asConstant.value, read.value),
        "the shortest text does not read back as an A/B text");
  return 0;
}
