// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/heat_overlay.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>
#include <unordered_set>

#include "ui/diagram/chart_marks.h"
#include "ui/diagram/equilibrium_chart_view.h"

namespace velkarin {

namespace {

QList<QPointF> pointsOf(const EquilibriumCurve& curve) {
  QList<QPointF> points;
  for (const CurvePoint& point : curve.points) {
    if (point.carbon.carbon) points.append({point.temperatureCelsius, *point.carbon.carbon});
  }
  return points;
}

void hideLegend(QChart& chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
}

}  // namespace

HeatOverlay::HeatOverlay(EquilibriumChartView& view) : QObject(&view), view_(view) {}

void HeatOverlay::attach(QAbstractSeries* series) {
  view_.chart()->addSeries(series);
  series->attachAxis(view_.temperatureAxis());
  series->attachAxis(view_.carbonAxis());
}

QScatterSeries* HeatOverlay::addScatter(unsigned colour, const QString& name) {
  auto* series = new QScatterSeries(this);
  series->setName(name);
  series->setMarkerSize(5);
  series->setColor(QColor::fromRgb(colour));
  series->setBorderColor(QColor::fromRgb(colour));
  attach(series);
  connect(series, &QScatterSeries::hovered, this, [this](const QPointF& point, bool state) {
    if (state) emit heatHovered(point);
  });
  return series;
}

// One point per cell of 4 × 4 pixels of the plot (a point is drawn 5 px
// wide): what cannot be seen is not drawn.
std::vector<QPointF> HeatOverlay::onePerPixel(const std::vector<QPointF>& points) const {
  const QRectF plot = view_.chart()->plotArea();
  const double t0 = view_.temperatureAxis()->min(), t1 = view_.temperatureAxis()->max();
  const double c0 = std::log10(view_.carbonAxis()->min()), c1 = std::log10(view_.carbonAxis()->max());
  const double width = std::max(plot.width(), 100.0) / 4, height = std::max(plot.height(), 100.0) / 4;
  std::unordered_set<long long> taken;
  std::vector<QPointF> kept;
  for (const QPointF& p : points) {
    if (!(p.y() > 0)) continue;
    const long long x = std::llround((p.x() - t0) / (t1 - t0) * width);
    const long long y = std::llround((std::log10(p.y()) - c0) / (c1 - c0) * height);
    if (taken.insert(x * 1000003 + y).second) kept.push_back(p);
  }
  return kept;
}

void HeatOverlay::showHeats(const std::vector<QPointF>& gaining, const std::vector<QPointF>& losing) {
  if (!gaining_) {
    gaining_ = addScatter(stageGainColour, QStringLiteral("炉次（余量≥0）"));
    losing_ = addScatter(stageLossColour, QStringLiteral("炉次（余量＜0）"));
  }
  for (auto [series, points] : {std::pair{gaining_, &gaining}, std::pair{losing_, &losing}}) {
    const std::vector<QPointF> kept = onePerPixel(*points);
    series->replace(QList<QPointF>(kept.begin(), kept.end()));
    // No legend entries: the colours are the stage margins' (green: above its
    // own equilibrium carbon, red: below), and the legend keeps its height.
    hideLegend(*view_.chart(), series);
  }
}

void HeatOverlay::showFitted(const std::vector<EquilibriumCurve>& curves) {
  for (QLineSeries* series : fitted_) {
    view_.chart()->removeSeries(series);
    delete series;
  }
  fitted_.clear();
  for (std::size_t i = 0; i < curves.size(); ++i) {
    auto* series = new QLineSeries(this);
    series->setName(QStringLiteral("拟合ΔG°"));
    const QList<QLineSeries*>& shown = view_.curveSeries(std::min(i, view_.curves().size() - 1));
    QPen pen(shown.isEmpty() ? QColor(Qt::black) : shown.front()->color(), 1.6, Qt::DashDotLine);
    series->setPen(pen);
    series->replace(pointsOf(curves[i]));
    attach(series);
    if (i > 0) hideLegend(*view_.chart(), series);
    fitted_.push_back(series);
  }
}

void HeatOverlay::showBands(const std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>>& bands) {
  for (QAreaSeries* series : bands_) {
    view_.chart()->removeSeries(series);
    delete series;
  }
  bands_.clear();
  for (std::size_t i = 0; i < bands.size(); ++i) {
    auto* lower = new QLineSeries(this);
    auto* upper = new QLineSeries(this);
    lower->replace(pointsOf(bands[i].first));
    upper->replace(pointsOf(bands[i].second));
    auto* area = new QAreaSeries(upper, lower);
    area->setParent(this);
    area->setName(QStringLiteral("预设范围"));
    const QList<QLineSeries*>& shown = view_.curveSeries(std::min(i, view_.curves().size() - 1));
    QColor colour = shown.isEmpty() ? QColor(Qt::gray) : shown.front()->color();
    colour.setAlpha(45);
    area->setColor(colour);
    area->setBorderColor(Qt::transparent);
    attach(area);
    if (i > 0) hideLegend(*view_.chart(), area);
    bands_.push_back(area);
  }
}

}  // namespace velkarin
