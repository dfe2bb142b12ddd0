// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/chart_marks.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include "calc/blow_stage.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"

namespace velkarin {

static constexpr QRgb heatPathColour = 0xd62728;  // the heat's red
static constexpr QRgb stagePathColour = 0x303030;
static constexpr QRgb simulatedPathColour = 0x00695c;  // a dark teal no pressure's curve uses

static QPen markPen(QRgb colour, Qt::PenStyle style, double width) {
  QPen pen(QColor::fromRgb(colour));
  pen.setStyle(style);
  pen.setWidthF(width);
  return pen;
}

// A line of the marks, named for the tests and the legend.
template <class Series>
static Series* markSeries(QObject* parent, const char* objectName, const QString& name) {
  auto* series = new Series(parent);
  series->setObjectName(QString::fromUtf8(objectName));
  series->setName(name);
  return series;
}

ChartMarks::ChartMarks(QChart* chart, QValueAxis* temperature, QLogValueAxis* carbon, QObject* parent)
    : QObject(parent), chart_(chart), temperatureAxis_(temperature), carbonAxis_(carbon) {
  heatLine_ = markSeries<QLineSeries>(this, "heatPath", QStringLiteral("本窗口的计算（按先后连线）"));
  heatLine_->setPen(markPen(heatPathColour, Qt::DotLine, 1.5));
  heatPoints_ = markSeries<QScatterSeries>(this, "heatPathPoints", {});
  heatPoints_->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);  // as the heat, unlike the stages
  heatPoints_->setMarkerSize(7);
  heatPoints_->setColor(QColor::fromRgb(heatPathColour));
  heatPoints_->setBorderColor(QColor::fromRgb(heatPathColour));
  stageLine_ = markSeries<QLineSeries>(this, "stagePath", QStringLiteral("吹炼阶段"));
  stageLine_->setPen(markPen(stagePathColour, Qt::SolidLine, 1.5));
  targetLine_ = markSeries<QLineSeries>(this, "target", {});
  targetLine_->setPen(markPen(stagePathColour, Qt::DashDotLine, 1.5));
  targetMark_ = markSeries<QScatterSeries>(this, "targetReached", QStringLiteral("首个达到目标的阶段"));
  targetMark_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  targetMark_->setMarkerSize(22);
  targetMark_->setColor(Qt::transparent);
  targetMark_->setPen(markPen(stageGainColour, Qt::SolidLine, 3));
  simulatedLine_ = markSeries<QLineSeries>(this, "simulatedPath", QStringLiteral("模拟的吹炼路径"));
  simulatedLine_->setPen(markPen(simulatedPathColour, Qt::SolidLine, 2.5));
  simulatedEnds_ = markSeries<QScatterSeries>(this, "simulatedEnds", {});
  simulatedEnds_->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
  simulatedEnds_->setMarkerSize(10);
  simulatedEnds_->setColor(QColor::fromRgb(simulatedPathColour));
  simulatedEnds_->setBorderColor(Qt::white);
  loggedLine_ = markSeries<QLineSeries>(this, "loggedHeatPath", QStringLiteral("所选炉次的模拟路径"));
  loggedLine_->setPen(markPen(0xe67e22, Qt::DashLine, 2));
  loggedEnds_ = markSeries<QScatterSeries>(this, "loggedHeatEnds", QStringLiteral("所选炉次的实测终点"));
  loggedEnds_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  loggedEnds_->setMarkerSize(8);
  loggedEnds_->setColor(QColor::fromRgb(0xe67e22));
  loggedEnds_->setBorderColor(Qt::black);
  stagePoints_ = markSeries<QScatterSeries>(this, "stagePoints", {});
  stagePoints_->setMarkerSize(12);
  stagePoints_->setBorderColor(Qt::black);
  raise();
  connect(chart_, &QChart::plotAreaChanged, this, &ChartMarks::placeNumbers);
  connect(temperatureAxis_, &QValueAxis::rangeChanged, this, &ChartMarks::placeNumbers);
  connect(carbonAxis_, &QLogValueAxis::rangeChanged, this, &ChartMarks::placeNumbers);
}

QColor ChartMarks::stageColour(qsizetype index) const {
  return stagePoints_->pointConfiguration(static_cast<int>(index))
      .value(QXYSeries::PointConfiguration::Color)
      .value<QColor>();
}

QStringList ChartMarks::stageNumbers() const {
  QStringList numbers;
  for (const QGraphicsSimpleTextItem* number : numbers_) numbers << number->text();
  return numbers;
}

void ChartMarks::placeNumbers() {
  const QRectF plot = chart_->plotArea();
  for (qsizetype i = 0; i < numbers_.size() && i < stagePoints_->count(); ++i) {
    const QPointF at = chart_->mapToPosition(stagePoints_->at(static_cast<int>(i)), stagePoints_);
    QGraphicsSimpleTextItem* number = numbers_[i];
    const QRectF box = number->boundingRect();
    number->setPos(at.x() - box.width() / 2, at.y() - stagePoints_->markerSize() / 2 - box.height());
    number->setVisible(plot.contains(at));
  }
}

void ChartMarks::attach(QXYSeries* series, bool inLegend) {
  if (series->chart()) chart_->removeSeries(series);
  chart_->addSeries(series);
  series->attachAxis(temperatureAxis_);
  series->attachAxis(carbonAxis_);
  for (QLegendMarker* marker : chart_->legend()->markers(series)) marker->setVisible(inLegend && series->count() > 0);
}

void ChartMarks::raise() {
  attach(heatLine_, true);
  attach(heatPoints_, false);
  attach(targetLine_, true);
  attach(stageLine_, true);
  attach(targetMark_, true);
  attach(simulatedLine_, true);
  attach(simulatedEnds_, false);
  attach(loggedLine_, true);
  attach(loggedEnds_, true);
  // The stage points over the target's ring and the simulated path.
  attach(stagePoints_, false);
}

void ChartMarks::showHeatPath(const QList<QPointF>& heats) {
  heatLine_->replace(heats);
  heatPoints_->replace(heats.size() > 1 ? heats.first(heats.size() - 1) : QList<QPointF>());
  for (QLegendMarker* marker : chart_->legend()->markers(heatLine_)) marker->setVisible(heats.size() > 1);
}

void ChartMarks::showStages(const std::vector<std::optional<StageMark>>& stages, std::optional<double> target,
                            std::optional<std::size_t> firstAtTarget, double from, double to) {
  QList<QPointF> path;
  QList<QPointF> reached;
  QList<QRgb> fills;
  QStringList labels;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    if (!stages[i]) continue;
    const QPointF at(stages[i]->temperatureCelsius, stages[i]->carbon);
    path << at;
    if (firstAtTarget == i) reached << at;
    const std::optional<double>& margin = stages[i]->margin;
    fills << (!margin ? stageNoneColour : *margin >= 0 ? stageGainColour : stageLossColour);
    labels << QString::number(i + 1);
  }
  // One series and one number item per stage, reused from the last drawing:
  // the cost grows with the stages, not with their square.
  QHash<int, QHash<QXYSeries::PointConfiguration, QVariant>> colours;  // set at once: each set redraws the series
  colours.reserve(fills.size());
  for (qsizetype i = 0; i < fills.size(); ++i) {
    colours[static_cast<int>(i)][QXYSeries::PointConfiguration::Color] = QColor::fromRgb(fills[i]);
  }
  stagePoints_->replace(path);
  stagePoints_->setPointsConfiguration(colours);
  while (numbers_.size() > labels.size()) delete numbers_.takeLast();
  const QFont font = songFont(10, true);
  while (numbers_.size() < labels.size()) {
    auto* number = new QGraphicsSimpleTextItem(chart_);
    number->setFont(font);
    number->setZValue(10);  // over the series
    numbers_ << number;
  }
  for (qsizetype i = 0; i < labels.size(); ++i) {
    numbers_[i]->setText(labels[i]);
    numbers_[i]->setBrush(QColor::fromRgb(fills[i]));
  }
  placeNumbers();
  stageLine_->replace(path);
  targetMark_->replace(reached);
  if (target) {
    targetLine_->replace(QList<QPointF>{{from, *target}, {to, *target}});
    targetLine_->setName(QStringLiteral("目标 %1 %C").arg(toQString(targetText(*target))));
  } else {
    targetLine_->clear();
  }
  for (QXYSeries* series : {static_cast<QXYSeries*>(stageLine_), static_cast<QXYSeries*>(targetLine_),
                            static_cast<QXYSeries*>(targetMark_)}) {
    for (QLegendMarker* marker : chart_->legend()->markers(series)) marker->setVisible(series->count() > 0);
  }
}

void ChartMarks::showSimulation(const QList<QPointF>& path, const QList<QPointF>& stageEnds) {
  simulatedLine_->replace(path);
  simulatedEnds_->replace(stageEnds);
  for (QLegendMarker* marker : chart_->legend()->markers(simulatedLine_)) marker->setVisible(!path.isEmpty());
}

void ChartMarks::showLoggedHeat(const QList<QPointF>& path, const QList<QPointF>& measured) {
  loggedLine_->replace(path);
  loggedEnds_->replace(measured);
  for (QXYSeries* series : {static_cast<QXYSeries*>(loggedLine_), static_cast<QXYSeries*>(loggedEnds_)}) {
    for (QLegendMarker* marker : chart_->legend()->markers(series)) marker->setVisible(series->count() > 0);
  }
}

std::vector<double> ChartMarks::carbons() const {
  std::vector<double> values;
  for (const QXYSeries* series :
       {static_cast<const QXYSeries*>(heatLine_), static_cast<const QXYSeries*>(stageLine_),
        static_cast<const QXYSeries*>(targetLine_), static_cast<const QXYSeries*>(simulatedLine_)}) {
    for (const QPointF& p : series->points()) values.push_back(p.y());
  }
  return values;
}

}  // namespace velkarin
