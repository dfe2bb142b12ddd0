// SPDX-License-Identifier: Apache-2.0
#pragma once

// The one conversion of the core's UTF-8 texts into Qt's strings.

#include <QString>
#include <string_view>

namespace velkarin {

inline QString toQString(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace velkarin
