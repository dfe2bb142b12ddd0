// SPDX-License-Identifier: Apache-2.0
#pragma once

// The "宋体" (SimSun) face of the calculation windows, or the nearest Song/Ming
// face installed: QFont("宋体") alone resolves to a Latin face on machines
// without SimSun, so the families are listed in order of preference and Qt
// takes the first one present (and falls back per glyph to any CJK face).

#include <QFont>

namespace velkarin {

inline constexpr double songPointSize = 14.25;    // pt, 19 px at 96 dpi: the explicit control font
inline constexpr double windowFontPointSize = 9;  // pt, 12 px at 96 dpi: labels and buttons

QFont songFont(double pointSize, bool bold = false);

}  // namespace velkarin
