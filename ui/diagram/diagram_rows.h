// SPDX-License-Identifier: Apache-2.0
#pragma once

// The tables and small helpers the equilibrium diagram window's sources
// share: its composition entries, its two reactions, and the pointer hint.

#include <QString>
#include <array>
#include <cstddef>

#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"
#include "ui/common/qt_text.h"

namespace velkarin::diagram {

// The composition entries, in the order of their fields.
struct CompositionRow {
  const char* name;                 // objectName of the entry
  const char* place;                // its place in the plan
  const char* caption;              // label in front of it
  double CurveComposition::*field;  // mass %
  bool positive;                    // must be > 0
};
constexpr std::array<CompositionRow, 4> compositionRows{{
    {"Cr", "composition/Cr", "[%Cr]", &CurveComposition::chromium, true},
    {"Ni", "composition/Ni", "[%Ni]", &CurveComposition::nickel, false},
    {"Si", "composition/Si", "[%Si]", &CurveComposition::silicon, false},
    {"Mn", "composition/Mn", "[%Mn]", &CurveComposition::manganese, false},
}};

struct ReactionRow {
  Reaction reaction;
  const char* equation;  // the reaction as the chart title shows it
};
constexpr std::array<ReactionRow, 2> reactionRows{{
    {Reaction::Cr2O3, "3[C]+Cr2O3=2[Cr]+3CO"},
    {Reaction::Cr3O4, "3[C]+3/4Cr3O4=9/4[Cr]+3CO"},
}};

// A number for a label or title: its shortest digits, never in exponent form.
inline QString shortest(double value) { return toQString(formatPlain(value)); }

inline const QString pointerHint = QStringLiteral("把鼠标指向曲线可读出温度、C浓度和CO分压；右键可保存图片或复制数据");

}  // namespace velkarin::diagram
