// SPDX-License-Identifier: Apache-2.0
#pragma once

// One CSV field as RFC 4180 writes it: the batch tool's rows and the
// calculation window's saved result list both use it.

#include <string>
#include <string_view>

namespace velkarin {

// Quoted (quotes doubled) when it holds a comma, a quote, a CR or an LF, as is otherwise.
std::string csvField(std::string_view text);

}  // namespace velkarin
