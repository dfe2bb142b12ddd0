// SPDX-License-Identifier: Apache-2.0
#pragma once

// The text the diagram's pressure list starts with. The entries themselves
// are read by the core (calc/plan_evaluation.h), as a plan's.

#include <QString>

namespace velkarin {

// The default list of the pressure field: "101325, 50000, 25000, 10000".
QString defaultPressureListText();

}  // namespace velkarin
