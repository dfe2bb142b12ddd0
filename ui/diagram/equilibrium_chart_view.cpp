// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/equilibrium_chart_view.h"

#include <QContextMenuEvent>
#include <QGraphicsTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QPainter>
#include <QScatterSeries>
#include <QStringList>
#include <QTextDocument>
#include <QTextOption>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

#include "calc/number_text.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/diagram/chart_marks.h"

namespace velkarin {

// Line colours by curve, in the order of the pressures; red is kept for the heat.
static constexpr std::array<QRgb, 12> curveColours{
    0x1f77b4, 0xff7f0e, 0x2ca02c, 0x9467bd, 0x8c564b, 0xe377c2,
    0x7f7f7f, 0xbcbd22, 0x17becf, 0x393b79, 0x637939, 0x843c39,
};
static constexpr QRgb heatColour = 0xd62728;

// The %C axis when there is nothing to show: 0.001–10 %C.
static constexpr double emptyCarbonMin = 0.001;  // mass %
static constexpr double emptyCarbonMax = 10;     // mass %

static QColor curveColour(std::size_t curve) { return QColor::fromRgb(curveColours[curve % curveColours.size()]); }

// The stretches of a curve between its gaps, as chart points (t °C, %C).
static std::vector<QList<QPointF>> segmentsOf(const EquilibriumCurve& curve) {
  std::vector<QList<QPointF>> segments;
  bool open = false;
  for (const CurvePoint& point : curve.points) {
    if (!point.carbon.carbon) {
      open = false;
      continue;
    }
    if (!open) segments.emplace_back();
    open = true;
    segments.back().append(QPointF(point.temperatureCelsius, *point.carbon.carbon));
  }
  return segments;
}

EquilibriumChartView::EquilibriumChartView(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("chart"));
  setRenderHint(QPainter::Antialiasing);
  chart()->setTitleFont(songFont(11));
  // Beside the chart, one entry a line: a label is never cut to fit a row.
  chart()->legend()->setAlignment(Qt::AlignRight);
  chart()->legend()->setFont(songFont(9));
  createAxes();
  marks_ = new ChartMarks(chart(), temperatureAxis_, carbonAxis_, this);
  createHeatSeries();
  export_ = new ChartExport(*this);
  readout_ = new ChartReadout(*this);
  connect(readout_, &ChartReadout::described, this, &EquilibriumChartView::pointDescribed);
  connect(chart(), &QChart::plotAreaChanged, this, [this] {
    fitTemperatureTicks();
    placeHeatLabel();
  });
}

void EquilibriumChartView::createAxes() {
  temperatureAxis_ = new QValueAxis(this);
  temperatureAxis_->setTitleText(QStringLiteral("熔池温度 t [℃]"));
  temperatureAxis_->setLabelFormat(QStringLiteral("%.0f"));
  temperatureAxis_->setTickCount(11);
  temperatureAxis_->setMinorTickCount(4);
  temperatureAxis_->setTitleFont(songFont(10));
  chart()->addAxis(temperatureAxis_, Qt::AlignBottom);

  carbonAxis_ = new QLogValueAxis(this);
  carbonAxis_->setTitleText(QStringLiteral("平衡C浓度 [%C]"));
  carbonAxis_->setBase(10);
  carbonAxis_->setLabelFormat(QStringLiteral("%g"));
  carbonAxis_->setMinorTickCount(-1);  // 2 … 9 within each decade
  carbonAxis_->setTitleFont(songFont(10));
  carbonAxis_->setRange(emptyCarbonMin, emptyCarbonMax);
  chart()->addAxis(carbonAxis_, Qt::AlignLeft);
}

void EquilibriumChartView::createHeatSeries() {
  heatSeries_ = new QScatterSeries(this);
  heatSeries_->setObjectName(QStringLiteral("heat"));
  heatSeries_->setName(QStringLiteral("上次计算的炉次"));
  // A diamond: the stages are round, and red too where chromium is lost.
  heatSeries_->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
  heatSeries_->setMarkerSize(13);
  heatSeries_->setColor(QColor::fromRgb(heatColour));
  heatSeries_->setBorderColor(Qt::black);
  heatSeries_->setPointLabelsFormat(QStringLiteral("@xPoint ℃, @yPoint %C"));
  heatSeries_->setPointLabelsFont(songFont(9));
  heatSeries_->setPointLabelsColor(QColor::fromRgb(heatColour));
  heatSeries_->setPointLabelsVisible(true);
  chart()->addSeries(heatSeries_);
  heatSeries_->attachAxis(temperatureAxis_);
  heatSeries_->attachAxis(carbonAxis_);
  connect(heatSeries_, &QScatterSeries::hovered, this, [this](const QPointF&, bool state) {
    if (state) readout_->describeHeat();
  });
  connect(heatSeries_, &QScatterSeries::clicked, this, [this](const QPointF&) { readout_->describeHeat(); });
  for (QLegendMarker* marker : chart()->legend()->markers(heatSeries_)) marker->setVisible(false);
  heatLabel_ = new QScatterSeries(this);
  heatLabel_->setObjectName(QStringLiteral("heatLabelBelow"));
  heatLabel_->setMarkerSize(1);
  heatLabel_->setColor(Qt::transparent);
  heatLabel_->setBorderColor(Qt::transparent);
  heatLabel_->setPointLabelsFont(songFont(9));
  heatLabel_->setPointLabelsColor(QColor::fromRgb(heatColour));
  chart()->addSeries(heatLabel_);
  heatLabel_->attachAxis(temperatureAxis_);
  heatLabel_->attachAxis(carbonAxis_);
  for (QLegendMarker* marker : chart()->legend()->markers(heatLabel_)) marker->setVisible(false);
}

void EquilibriumChartView::setChartTitle(const QString& title) {
  title_ = title;
  layoutTitle();
}

// The title is a text item of the chart's own scene, so pictures of the
// view carry it; the chart's top margin makes room for its lines.
void EquilibriumChartView::layoutTitle() {
  if (!titleItem_) {
    titleItem_ = new QGraphicsTextItem(chart());
    titleItem_->setFont(songFont(10));
    titleItem_->setDefaultTextColor(chart()->titleBrush().color());
  }
  constexpr int side = 10;  // px
  const qreal width = std::max<qreal>(100, chart()->size().width() - 2 * side);
  // A redraw with the same title at the same width changes nothing: the
  // chart is laid out again only when the title's lines do change.
  if (titleItem_->toPlainText() == title_ && titleItem_->textWidth() == width) return;
  titleItem_->setTextWidth(width);
  QTextOption centred(Qt::AlignHCenter);
  centred.setWrapMode(QTextOption::WordWrap);
  titleItem_->document()->setDefaultTextOption(centred);
  titleItem_->setPlainText(title_);
  titleItem_->setPos(side, 4);
  const int height = title_.isEmpty() ? 0 : static_cast<int>(std::ceil(titleItem_->boundingRect().height()));
  const QMargins margins(side, height + 6, side, side);
  if (chart()->margins() != margins) chart()->setMargins(margins);
  fitTemperatureTicks();
}

// Temperature ticks at a step whose labels fit between them: never "14…".
void EquilibriumChartView::fitTemperatureTicks() {
  const QFontMetrics metrics(temperatureAxis_->labelsFont());
  const qreal labelWidth = metrics.horizontalAdvance(QStringLiteral("18880")) + 8;
  const qreal plotWidth = chart()->plotArea().width();
  const double span = temperatureAxis_->max() - temperatureAxis_->min();
  int intervals = 10;
  for (int candidate : {10, 5, 2, 1}) {
    intervals = candidate;
    if (plotWidth / candidate >= labelWidth) break;
  }
  if (!(span > 0)) intervals = 1;
  if (temperatureAxis_->tickCount() != intervals + 1) temperatureAxis_->setTickCount(intervals + 1);
}

void EquilibriumChartView::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  layoutTitle();
}

// Never shorter than the chart needs for its title, legend and both axes:
// a chart squeezed below that would be cut at the bottom, so the window
// (and the workspace around it) grows or scrolls instead.
QSize EquilibriumChartView::minimumSizeHint() const {
  const QSizeF chartMinimum = chart()->effectiveSizeHint(Qt::MinimumSize);
  return QSize(380, std::max(300, static_cast<int>(std::ceil(chartMinimum.height())) + 4));
}

// Series beyond the first `keep` of the pool leave the chart.
void EquilibriumChartView::removeCurveSeries(std::size_t keep) {
  while (pool_.size() > keep) {
    chart()->removeSeries(pool_.back());
    delete pool_.back();
    pool_.pop_back();
  }
}

// Stretch number `index` of all curves, for `curve`: the pool's series of that
// number, set up again, or a new one. Reusing the series keeps the chart from
// building its items and legend anew on every redraw.
QLineSeries* EquilibriumChartView::addSegment(std::size_t index, std::size_t curve, const QList<QPointF>& points) {
  QLineSeries* series = nullptr;
  if (index < pool_.size()) {
    series = pool_[index];
    disconnect(series, nullptr, this, nullptr);
  } else {
    series = new QLineSeries(this);
    // Axes first, points last: the chart lays a series' points out (and
    // strokes its outline for the pointer) on every change of its domain.
    chart()->addSeries(series);
    series->attachAxis(temperatureAxis_);
    series->attachAxis(carbonAxis_);
    pool_.push_back(series);
  }
  const CurveStyle& style = styles_[curve];
  series->setName(style.legend.isEmpty() ? toQString(curves_[curve].label) : style.legend);
  QPen pen(curveColour(style.colour));
  pen.setWidthF(2);
  if (style.dashed) pen.setStyle(Qt::DashLine);
  series->setPen(pen);
  series->replace(points);
  const bool inLegend = curveSeries_[curve].isEmpty() && inLegend_[curve];  // a curve's first stretch
  for (QLegendMarker* marker : chart()->legend()->markers(series)) marker->setVisible(inLegend);
  connect(series, &QLineSeries::hovered, this, [this, curve, series](const QPointF& pointer, bool state) {
    if (state) {
      readout_->describe(curve, *series, pointer);
    } else {
      QToolTip::hideText();
    }
  });
  connect(series, &QLineSeries::clicked, this,
          [this, curve, series](const QPointF& pointer) { readout_->describe(curve, *series, pointer); });
  curveSeries_[curve].append(series);
  return series;
}

void EquilibriumChartView::contextMenuEvent(QContextMenuEvent* event) {
  export_->menu()->popup(event->globalPos());
  event->accept();
}

void EquilibriumChartView::showCurves(std::vector<EquilibriumCurve> curves, std::vector<CurveStyle> styles) {
  curves_ = std::move(curves);
  styles_ = std::move(styles);
  for (std::size_t i = styles_.size(); i < curves_.size(); ++i) styles_.push_back({i, false, std::nullopt, {}, {}});
  curveSeries_.assign(curves_.size(), {});
  // One legend entry per text: a pressure listed twice draws the same line
  // twice, and a dashed curve shares its colour with the solid one.
  inLegend_.assign(curves_.size(), false);
  QStringList named;
  for (std::size_t curve = 0; curve < curves_.size(); ++curve) {
    const QString name = styles_[curve].legend.isEmpty() ? toQString(curves_[curve].label) : styles_[curve].legend;
    if (styles_[curve].dashed || named.contains(name)) continue;
    inLegend_[curve] = true;
    named << name;
  }
  const std::size_t before = pool_.size();
  std::size_t used = 0;
  for (std::size_t curve = 0; curve < curves_.size(); ++curve) {
    for (const QList<QPointF>& points : segmentsOf(curves_[curve])) addSegment(used++, curve, points);
  }
  removeCurveSeries(used);
  if (used > before) {
    // New lines went on top: the marks and the heat go back above them (and
    // their legend entries after theirs).
    marks_->raise();
    raiseHeat();
  }

  if (!curves_.empty() && !curves_.front().points.empty()) {
    temperatureAxis_->setRange(curves_.front().points.front().temperatureCelsius,
                               curves_.front().points.back().temperatureCelsius);
  }
  updateCarbonRange();
  clipHeatLabel();
  readout_->refresh();
}

void EquilibriumChartView::showHeats(const std::vector<HeatMark>& heats) {
  heat_ = heats.empty() ? std::nullopt : std::optional(heats.back());
  QList<QPointF> path;
  for (const HeatMark& heat : heats) path << QPointF(heat.temperatureCelsius, heat.carbon);
  // A heat outside the temperatures drawn (3000 °C) is named in the status
  // line; its path would run off the chart.
  QList<QPointF> inside;
  for (const QPointF& p : path) {
    if (p.x() >= temperatureAxis_->min() && p.x() <= temperatureAxis_->max()) inside << p;
  }
  marks_->showHeatPath(inside);
  if (heat_) {
    heatSeries_->replace(QList<QPointF>{path.back()});
  } else {
    heatSeries_->clear();
  }
  for (QLegendMarker* marker : chart()->legend()->markers(heatSeries_)) marker->setVisible(heat_.has_value());
  updateCarbonRange();
  clipHeatLabel();
  readout_->refresh();
}

void EquilibriumChartView::showStages(const std::vector<std::optional<StageMark>>& stages, std::optional<double> target,
                                      std::optional<std::size_t> firstAtTarget) {
  marks_->showStages(stages, target, firstAtTarget, temperatureAxis_->min(), temperatureAxis_->max());
  updateCarbonRange();
}

void EquilibriumChartView::showSimulation(const QList<QPointF>& path, const QList<QPointF>& stageEnds) {
  marks_->showSimulation(path, stageEnds);
  updateCarbonRange();
}

void EquilibriumChartView::showLoggedHeat(const QList<QPointF>& path, const QList<QPointF>& measured) {
  marks_->showLoggedHeat(path, measured);
  updateCarbonRange();
}

// The heat point back on top of everything, its legend entry last.
void EquilibriumChartView::raiseHeat() {
  chart()->removeSeries(heatSeries_);
  chart()->addSeries(heatSeries_);
  heatSeries_->attachAxis(temperatureAxis_);
  heatSeries_->attachAxis(carbonAxis_);
  for (QLegendMarker* marker : chart()->legend()->markers(heatSeries_)) marker->setVisible(heat_.has_value());
}

// The heat's label may reach beyond the plot area, near its top edge; a heat
// outside the temperatures drawn is not shown, and neither is its label.
void EquilibriumChartView::clipHeatLabel() {
  const bool inside = heat_ && heat_->temperatureCelsius >= temperatureAxis_->min() &&
                      heat_->temperatureCelsius <= temperatureAxis_->max();
  heatSeries_->setPointLabelsClipping(!inside);
}

// Whole decades from below the lowest to above the highest %C shown (curves
// and a heat with a positive carbon content), so the axis labels read
// 0.001, 0.01, 0.1, 1, 10.
void EquilibriumChartView::updateCarbonRange() {
  double low = HUGE_VAL;
  double high = 0;
  for (const EquilibriumCurve& curve : curves_) {
    for (const CurvePoint& point : curve.points) {
      if (!point.carbon.carbon) continue;
      low = std::min(low, *point.carbon.carbon);
      high = std::max(high, *point.carbon.carbon);
    }
  }
  for (double carbon : marks_->carbons()) {
    if (!(carbon > 0) || !std::isfinite(carbon)) continue;
    low = std::min(low, carbon);
    high = std::max(high, carbon);
  }
  if (!(low <= high)) {
    carbonAxis_->setRange(emptyCarbonMin, emptyCarbonMax);
    return;
  }
  const double lowDecade = std::pow(10.0, std::floor(std::log10(low)));
  double highDecade = std::pow(10.0, std::ceil(std::log10(high)));
  if (!(highDecade > lowDecade)) highDecade = lowDecade * 10;
  // A hair below the lowest decade: Qt leaves out the label of a decade that
  // lies exactly on the axis's lower end.
  carbonAxis_->setRange(lowDecade * 0.9999, highDecade);
  placeHeatLabel();
}

// The heat's label sits above its point; where the target line would strike
// through it, a label-only point a little below the heat shows it instead.
void EquilibriumChartView::placeHeatLabel() {
  const QLineSeries* target = marks_->targetLine();
  const QRectF plot = chart()->plotArea();
  bool below = false;
  if (heat_ && target->count() > 0 && plot.height() > 0 && heat_->carbon > 0) {
    const double decades = std::log10(carbonAxis_->max() / carbonAxis_->min());
    const double pixelsPerDecade = plot.height() / decades;
    const double labelHeight = QFontMetrics(heatSeries_->pointLabelsFont()).height();
    const double above = (heatSeries_->markerSize() / 2 + labelHeight + 2) / pixelsPerDecade;  // decades
    const double offset = std::log10(target->at(0).y() / heat_->carbon);
    below = offset >= 0 && offset <= above;
    if (below) {
      const double down = (heatSeries_->markerSize() / 2 + labelHeight + 4) / pixelsPerDecade;
      heatLabel_->replace(QList<QPointF>{{heat_->temperatureCelsius, heat_->carbon / std::pow(10.0, down)}});
      heatLabel_->setPointLabelsFormat(
          QStringLiteral("%1 ℃, %2 %C")
              .arg(toQString(formatPlain(heat_->temperatureCelsius)), toQString(formatPlain(heat_->carbon))));
    }
  }
  heatSeries_->setPointLabelsVisible(!below);
  heatLabel_->setPointLabelsVisible(below);
  if (!below) heatLabel_->clear();
}

}  // namespace velkarin
