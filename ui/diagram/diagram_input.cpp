// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/diagram_input.h"

#include <QStringList>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "ui/common/qt_text.h"

namespace velkarin {

NumberReading readDiagramNumber(const QString& name, const QString& text, bool positive) {
  const std::optional<double> number = readFiniteNumber(text.toStdString());
  if (!number)
    return {std::nullopt, QStringLiteral("%1“%2”不是数字").arg(name, toQString(messageExcerpt(text.toStdString())))};
  if (positive && !(*number > 0)) return {std::nullopt, QStringLiteral("%1必须大于0").arg(name)};
  return {number, {}};
}

PressureListReading readPressureList(const QString& text, const GasMixture& mixture) {
  PressureListItems reading = readPressureItems(text.toStdString(), mixture, maxDiagramCurves);
  if (reading.problem) return {{}, toQString(pressureItemsMessage(reading, maxDiagramCurves))};
  return {std::move(reading.items), {}};
}

QString defaultPressureListText() {
  QStringList items;
  for (double pressure : defaultCurvePressures) items << toQString(formatShortest(pressure));
  return items.join(QStringLiteral(", "));
}

}  // namespace velkarin
