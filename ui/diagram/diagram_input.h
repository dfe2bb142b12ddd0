// SPDX-License-Identifier: Apache-2.0
#pragma once

// Reads the texts typed into the controls of the equilibrium diagram into the
// numbers of CurveFamilyInputs. Numbers are written as the A/B texts are (the
// core's readConstantText: blanks around one decimal number, the point as
// decimal separator) and must be finite. A reading that fails carries a
// Simplified Chinese message for the window's status line and no value.

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "calc/gas_ratio.h"

namespace velkarin {

// One number entry (A, B, a composition). `name` ("A", "[%Cr]", …) goes into
// the message; `positive` requires a value > 0 (Cr, whose logarithm the
// activity takes).
struct NumberReading {
  std::optional<double> value;  // in the unit of the entry
  QString problem;              // empty when value is set
};
NumberReading readDiagramNumber(const QString& name, const QString& text, bool positive = false);

// The most curves one diagram draws; more would not be told apart.
inline constexpr std::size_t maxDiagramCurves = 12;

// A comma-separated list of CO partial pressures, Pa, each > 0, and gas
// ratios ("3:1", converted under the mixture), at least one and at most
// maxDiagramCurves. Blanks around the items are allowed; an empty item is not.
struct PressureListReading {
  std::vector<PressureItem> items;  // in the order written
  QString problem;                  // empty when the list is good
};
PressureListReading readPressureList(const QString& text, const GasMixture& mixture);

// The default list of the pressure field: "101325, 50000, 25000, 10000".
QString defaultPressureListText();

}  // namespace velkarin
