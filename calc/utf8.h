// SPDX-License-Identifier: Apache-2.0
#pragma once

// The one UTF-8 decoder of the program: the CSV reader, the prompt answers
// and the A/B texts all read their bytes through it.

#include <cstddef>
#include <string_view>

namespace velkarin {

struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;  // bytes; 0 when the bytes at the position are not well-formed UTF-8
};

// Decodes the character at `pos` (< text.size()). Malformed means a stray
// continuation byte, an overlong form, a surrogate, a value beyond U+10FFFF
// or a sequence cut short; it comes back with length 0.
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);

}  // namespace velkarin
