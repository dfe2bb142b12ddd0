// SPDX-License-Identifier: Apache-2.0
#include "io/terminal_text.h"

#include <cstdio>

#include "calc/utf8.h"

namespace velkarin {

std::string terminalText(std::string_view text) {
  std::string shown;
  char hex[16];
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = decodeUtf8(text, pos);
    if (c.length == 0) {
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(text[pos]));
      shown += hex;
      ++pos;
      continue;
    }
    if (c.codePoint == '\t') {
      shown += "\\t";
    } else if (c.codePoint == '\n') {
      shown += "\\n";
    } else if (c.codePoint == '\r') {
      shown += "\\r";
    } else if (c.codePoint < 0x20 || c.codePoint == 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c.codePoint));
      shown += hex;
    } else if (c.codePoint >= 0x80 && c.codePoint <= 0x9F) {
      std::snprintf(hex, sizeof hex, "\\u{%02X}", static_cast<unsigned>(c.codePoint));
      shown += hex;
    } else {
      shown.append(text.substr(pos, c.length));
    }
    pos += c.length;
  }
  return shown;
}

}  // namespace velkarin
