#include "ui/diagram_input.h"

#include <QStringList>
#include <cmath>

#include "calc/number_text.h"

namespace velkarin {

// A finite number in the form of the A/B texts.
static std::optional<double> readNumber(const QString& text) {
  const ReadResult read = readConstantText(text.toStdString());
  if (read.error || !std::isfinite(read.value)) return std::nullopt;
  return read.value;
}

NumberReading readDiagramNumber(const QString& name, const QString& text, bool positive) {
  const std::optional<double> number = readNumber(text);
  if (!number) return {std::nullopt, QStringLiteral("%1“%2”不是数字").arg(name, text.trimmed())};
  if (positive && !(*number > 0)) return {std::nullopt, QStringLiteral("%1必须大于0").arg(name)};
  return {number, {}};
}

PressureListReading readPressureList(const QString& text) {
  if (text.trimmed().isEmpty()) return {{}, QStringLiteral("请输入至少一个CO分压")};
  const QStringList items = text.split(QLatin1Char(','));
  if (static_cast<std::size_t>(items.size()) > maxDiagramCurves) {
    return {{}, QStringLiteral("CO分压最多%1个").arg(maxDiagramCurves)};
  }
  PressureListReading reading;
  for (const QString& item : items) {
    const std::optional<double> number = readNumber(item);
    if (!number) {
      const QString shown = item.trimmed();
      return {{},
              shown.isEmpty() ? QStringLiteral("CO分压列表中有空项") : QStringLiteral("CO分压“%1”不是数字").arg(shown)};
    }
    if (!(*number > 0)) return {{}, QStringLiteral("CO分压%1 Pa不大于0").arg(item.trimmed())};
    reading.pressures.push_back(*number);
  }
  return reading;
}

QString defaultPressureListText() {
  QStringList items;
  for (double pressure : defaultCurvePressures) items << QString::fromStdString(formatShortest(pressure));
  return items.join(QStringLiteral(", "));
}

}  // namespace velkarin
