// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the plant's heats add to the equilibrium chart: the heats of the
// shown reaction as points (green where they are above their own
// equilibrium carbon, red below), the curves of a fitted ΔG° line
// (dash-dot, in the colour of their pressure) and the band of the published
// constants (for each pressure, between the lowest and the highest curve of
// the reaction's preset rows).
//
// Points that would fall within 4 pixels of each other are drawn once: a
// hundred thousand heats draw as at most a few thousand points.

#include <QObject>
#include <QPointF>
#include <utility>
#include <vector>

#include "calc/equilibrium_curve.h"

class QAbstractSeries;
class QAreaSeries;
class QLineSeries;
class QScatterSeries;

namespace velkarin {

class EquilibriumChartView;

class HeatOverlay : public QObject {
  Q_OBJECT

 public:
  explicit HeatOverlay(EquilibriumChartView& view);

  // The heats as (t °C, measured %C), by the sign of their margin.
  void showHeats(const std::vector<QPointF>& gaining, const std::vector<QPointF>& losing);
  // Curves of the fitted line, curve i in the colour of pressure i; none: removed.
  void showFitted(const std::vector<EquilibriumCurve>& curves);
  // For each pressure its lowest and highest curve (points by temperature); none: removed.
  void showBands(const std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>>& bands);

  QScatterSeries* gainingSeries() const { return gaining_; }
  QScatterSeries* losingSeries() const { return losing_; }
  const std::vector<QLineSeries*>& fittedSeries() const { return fitted_; }
  const std::vector<QAreaSeries*>& bandSeries() const { return bands_; }
 signals:
  // The pointer is over a heat's point (t °C, %C as drawn).
  void heatHovered(const QPointF& point);

 private:
  QScatterSeries* addScatter(unsigned colour, const QString& name);
  std::vector<QPointF> onePerPixel(const std::vector<QPointF>& points) const;
  void attach(QAbstractSeries* series);

  EquilibriumChartView& view_;
  QScatterSeries* gaining_ = nullptr;
  QScatterSeries* losing_ = nullptr;
  std::vector<QLineSeries*> fitted_;
  std::vector<QAreaSeries*> bands_;
};

}  // namespace velkarin
