// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/diagram_input.h"

#include <QStringList>

#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"
#include "ui/common/qt_text.h"

namespace velkarin {

QString defaultPressureListText() {
  QStringList items;
  for (double pressure : defaultCurvePressures) items << toQString(formatShortest(pressure));
  return items.join(QStringLiteral(", "));
}

}  // namespace velkarin
