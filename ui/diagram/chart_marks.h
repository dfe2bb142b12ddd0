// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the equilibrium chart draws over its curves: the heat path (every
// completed calculation of the window whose reaction is shown, joined in the
// order they were made; the last one is the chart's emphasised heat point),
// the blow stages as a numbered path of points at their governing
// equilibrium carbon, coloured by margin, the target carbon as a horizontal
// line, a ring around the first stage at or below the target, and the
// simulated blow's path with its stage ends.

#include <QList>
#include <QObject>
#include <QPointF>
#include <QStringList>
#include <optional>
#include <vector>

class QChart;
class QColor;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;
class QXYSeries;

namespace velkarin {

// A stage as the chart draws it.
struct StageMark {
  double temperatureCelsius = 0;  // °C
  double carbon = 0;              // the governing equilibrium carbon, mass %
  std::optional<double> margin;   // measured − equilibrium, mass %; none without a measurement
};

// Fill colours of a stage point by the sign of its margin.
inline constexpr unsigned stageGainColour = 0x1a9850;  // margin ≥ 0: carbon still comes out
inline constexpr unsigned stageLossColour = 0xd73027;  // margin < 0: chromium is being lost
inline constexpr unsigned stageNoneColour = 0x808080;  // nothing measured

class ChartMarks : public QObject {
  Q_OBJECT

 public:
  ChartMarks(QChart* chart, QValueAxis* temperature, QLogValueAxis* carbon, QObject* parent);

  // The earlier heats of the path (the last one is drawn by the chart itself).
  void showHeatPath(const QList<QPointF>& heats);
  // Stage i is numbered i + 1; a stage without a point is left out of the
  // path but keeps its number. target spans the temperatures [from, to].
  void showStages(const std::vector<std::optional<StageMark>>& stages, std::optional<double> target,
                  std::optional<std::size_t> firstAtTarget, double from, double to);

  // The simulated blow: its path (°C, %C) from the start through every
  // stage's end, with each stage's end marked; empty lists remove it.
  void showSimulation(const QList<QPointF>& path, const QList<QPointF>& stageEnds);

  // A logged heat of the calibration: its path simulated under the fitted
  // k and L, and its measured stage ends; empty lists remove them.
  void showLoggedHeat(const QList<QPointF>& path, const QList<QPointF>& measured);

  // Puts every mark on top again, after the curves were replaced.
  void raise();

  // The %C values the chart's axis must reach.
  std::vector<double> carbons() const;

  QLineSeries* heatPathLine() const { return heatLine_; }
  QScatterSeries* heatPathPoints() const { return heatPoints_; }
  QLineSeries* stagePathLine() const { return stageLine_; }
  // Every stage drawn, in path order, as one series: each point has its own
  // fill, and its number stands above it in the same colour.
  QScatterSeries* stageMarks() const { return stagePoints_; }
  QColor stageColour(qsizetype index) const;
  QStringList stageNumbers() const;
  QLineSeries* simulatedPath() const { return simulatedLine_; }
  QScatterSeries* simulatedEnds() const { return simulatedEnds_; }
  QLineSeries* loggedHeatPath() const { return loggedLine_; }
  QScatterSeries* loggedHeatEnds() const { return loggedEnds_; }
  QLineSeries* targetLine() const { return targetLine_; }
  QScatterSeries* targetMark() const { return targetMark_; }

 private:
  void attach(QXYSeries* series, bool inLegend);
  // Places the stage numbers above their points (the plot area or an axis changed).
  void placeNumbers();

  QChart* chart_;
  QValueAxis* temperatureAxis_;
  QLogValueAxis* carbonAxis_;
  QLineSeries* heatLine_;
  QScatterSeries* heatPoints_;
  QLineSeries* stageLine_;
  QScatterSeries* stagePoints_;
  QList<QGraphicsSimpleTextItem*> numbers_;  // one per point of stagePoints_, children of the chart
  QLineSeries* targetLine_;
  QScatterSeries* targetMark_;
  QLineSeries* simulatedLine_;
  QScatterSeries* simulatedEnds_;
  QLineSeries* loggedLine_;
  QScatterSeries* loggedEnds_;
};

}  // namespace velkarin
