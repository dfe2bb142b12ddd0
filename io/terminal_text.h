// SPDX-License-Identifier: Apache-2.0
#pragma once

// Text from an input file quoted in a message for the terminal: control
// characters (C0, DEL and the C1 range U+0080–U+009F) are shown escaped, so a
// cell holding escape sequences cannot move the cursor or recolour the
// terminal. Bytes that are not UTF-8 are escaped too.

#include <string>
#include <string_view>

namespace velkarin {

// "\t", "\n", "\r" and "\\xNN" (or "\\u{NN}" for C1) in place of control
// characters; the backslash itself stays as it is.
std::string terminalText(std::string_view text);

}  // namespace velkarin
