// SPDX-License-Identifier: Apache-2.0
#pragma once

// The chart of the equilibrium diagram: equilibrium %C (logarithmic axis)
// against bath temperature °C, one line per CO partial pressure as the core's
// equilibriumCurveFamily computed it, and the heat of the last calculation as
// a marked point. A gap of a curve (no equilibrium carbon in 0.001–5000 %C)
// splits the curve into separate line series, so no line is drawn across it;
// the first series of a curve carries its legend entry, the others share its
// colour and stay out of the legend.
//
// A hover or click on a line reports the curve point nearest the pointer
// (temperature, %C and pressure, as computed, not read back from pixels). The
// right-click menu saves the chart as PNG or SVG and copies the curve data as
// tab-separated text (curveFamilyTsv) to the clipboard.

#include <QChartView>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "calc/equilibrium_curve.h"
#include "ui/diagram/chart_export.h"
#include "ui/diagram/chart_readout.h"

class QAction;
class QGraphicsTextItem;
class QLineSeries;
class QLogValueAxis;
class QMenu;
class QScatterSeries;
class QValueAxis;

namespace velkarin {

class ChartMarks;
struct StageMark;

// How a curve is drawn: its colour (by the index of its pressure, so the two
// oxides' curves of one pressure share it), dashed for the second oxide, and
// the curve of the other oxide at the same pressure, which the pointer
// readout compares it with to name the governing oxide.
struct CurveStyle {
  std::size_t colour = 0;
  bool dashed = false;
  std::optional<std::size_t> partner;  // index of the other oxide's curve
  QString oxide;                       // "Cr2O3"; empty when one oxide is shown
  // The curve's legend entry; empty: its label. A dashed curve has none (it
  // shares its colour with the solid one of the same pressure).
  QString legend;
};

// The heat of a completed calculation, placed on the diagram.
struct HeatMark {
  double temperatureCelsius = 0;  // °C, the bath temperature entered
  double carbon = 0;              // [%C], mass %, the carbon content entered
  double coPressure = 0;          // Pa, the CO partial pressure entered
};

enum class ImageFormat { Png, Svg };

class EquilibriumChartView : public QChartView {
  Q_OBJECT

 public:
  explicit EquilibriumChartView(QWidget* parent = nullptr);

  // Replaces the curves shown; the %C axis spans whole decades around them
  // and the marks. Without styles, curve i has colour i and is solid.
  void showCurves(std::vector<EquilibriumCurve> curves, std::vector<CurveStyle> styles = {});
  // Places the heats of the path, the last one emphasised, or removes them.
  void showHeats(const std::vector<HeatMark>& heats);
  // The stage path, the target line across the temperatures drawn and the
  // ring of the first stage at or below it (see ChartMarks); the %C axis
  // reaches them.
  void showStages(const std::vector<std::optional<StageMark>>& stages, std::optional<double> target,
                  std::optional<std::size_t> firstAtTarget);
  // The simulated blow's path (°C, %C) and its stage ends (see ChartMarks).
  void showSimulation(const QList<QPointF>& path, const QList<QPointF>& stageEnds);
  // A logged heat's simulated path and measured ends (see ChartMarks).
  void showLoggedHeat(const QList<QPointF>& path, const QList<QPointF>& measured);
  ChartMarks* marks() const { return marks_; }
  // The title above the plot, one line per "\n", each wrapped at the
  // chart's width and never cut (Qt Charts' own title elides).
  void setChartTitle(const QString& title);
  const QString& chartTitle() const { return title_; }

  const std::vector<EquilibriumCurve>& curves() const { return curves_; }
  // The line series of curve `index` (one per stretch between gaps), in rising temperature.
  const QList<QLineSeries*>& curveSeries(std::size_t index) const { return curveSeries_.at(index); }
  QScatterSeries* heatSeries() const { return heatSeries_; }
  const std::optional<HeatMark>& heat() const { return heat_; }  // the last heat
  QValueAxis* temperatureAxis() const { return temperatureAxis_; }
  QLogValueAxis* carbonAxis() const { return carbonAxis_; }
  QMenu* contextMenu() const { return export_->menu(); }

  // Writes the chart as it is shown, at the view's size (see ChartExport);
  // the reason when it cannot. saveImage says a failure in a message box.
  std::optional<QString> writeImage(const QString& path, ImageFormat format) {
    return export_->writeImage(path, format);
  }
  bool saveImage(const QString& path, ImageFormat format) { return export_->saveImage(path, format); }
  // Puts curveFamilyTsv of the curves shown on the clipboard as plain text.
  void copyCurveData() const { export_->copyCurveData(); }
  // How each curve shown is drawn.
  const std::vector<CurveStyle>& styles() const { return styles_; }

 signals:
  // The description of the point under the pointer after a hover or a click.
  void pointDescribed(const QString& text);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 public:
  QSize minimumSizeHint() const override;

 protected:
 private:
  void createAxes();
  void layoutTitle();
  void placeHeatLabel();
  void fitTemperatureTicks();
  void createHeatSeries();
  void raiseHeat();
  void removeCurveSeries(std::size_t keep);
  QLineSeries* addSegment(std::size_t index, std::size_t curve, const QList<QPointF>& points);
  void updateCarbonRange();
  void clipHeatLabel();

  std::vector<EquilibriumCurve> curves_;
  std::vector<CurveStyle> styles_;                // per curve
  std::vector<QList<QLineSeries*>> curveSeries_;  // per curve, its stretches between gaps
  std::vector<bool> inLegend_;                    // per curve: its first stretch has the legend entry
  std::vector<QLineSeries*> pool_;                // every stretch's series, in the chart's order
  std::optional<HeatMark> heat_;
  QString title_;
  QGraphicsTextItem* titleItem_ = nullptr;
  QScatterSeries* heatSeries_ = nullptr;
  QScatterSeries* heatLabel_ = nullptr;    // the heat's label where it goes below the point
  QValueAxis* temperatureAxis_ = nullptr;  // °C
  QLogValueAxis* carbonAxis_ = nullptr;    // mass %, base 10
  ChartExport* export_ = nullptr;          // the right-click menu and the exports
  ChartReadout* readout_ = nullptr;        // what the pointer is over
  ChartMarks* marks_ = nullptr;
};

}  // namespace velkarin
