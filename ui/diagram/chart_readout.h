// SPDX-License-Identifier: Apache-2.0
#pragma once

// The pointer readout of the equilibrium chart: the computed curve point
// nearest the pointer (with both oxides, which one governs there) or the
// heat's inputs — as computed, never read back from pixels — shown as a
// tooltip and told to the window; described again whenever the chart
// changes, and forgotten when what it described is gone.

#include <QObject>
#include <QPointF>
#include <QString>
#include <cstddef>
#include <optional>

class QLineSeries;

namespace velkarin {

class EquilibriumChartView;

class ChartReadout : public QObject {
  Q_OBJECT

 public:
  explicit ChartReadout(EquilibriumChartView& view);

  // The computed point of `curve` nearest the pointer's temperature within
  // the stretch `series` under the pointer.
  void describe(std::size_t curve, const QLineSeries& series, const QPointF& pointer);
  void describeHeat();
  // After the chart changed.
  void refresh();

 signals:
  void described(const QString& text);  // empty: nothing is described any more

 private:
  void describePoint(std::size_t curve, std::size_t point);
  void report(const QString& text);

  EquilibriumChartView& view_;
  // What was last described: a curve and the temperature of its point, or
  // (no curve) the heat.
  struct Described {
    std::optional<std::size_t> curve;
    double temperatureCelsius = 0;
  };
  std::optional<Described> described_;
};

}  // namespace velkarin
