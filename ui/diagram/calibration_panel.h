// SPDX-License-Identifier: Apache-2.0
#pragma once

// 模型校准, a sheet of the equilibrium diagram once a heat log is imported:
// the blow simulation's k and L fitted to the log (± their standard errors,
// their correlation, the heats and ends used and left out, the training and
// the held-out errors), parity plots of the predicted against the measured
// end %C (logarithmic) and end temperature with their 1:1 lines, and the
// heats with their own errors; a click on a heat asks for its simulated path
// on the chart. 采用 asks for k and L in the simulation's entries.
//
// Controls: calibrationResult, adoptCalibration, copyCalibration,
// calibrationHeats, carbonParity, temperatureParity.

#include <QWidget>
#include <optional>
#include <vector>

#include "calc/blow_calibration.h"

class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QTableWidget;

namespace velkarin {

// k and L as 采用 writes them: to the digits their standard errors justify
// (two significant digits of the error), never in exponent form.
QString calibrationFigureText(double value, double standardError);
// Whether 采用 asks first: a held-out error more than twice the training one.
bool calibrationNeedsQuestion(const Calibration& fit);
// The fit in one line of the window's words, or why there is none.
QString calibrationSummary(const Calibration& fit, std::size_t leftOut);

class CalibrationPanel : public QWidget {
  Q_OBJECT

 public:
  explicit CalibrationPanel(QWidget* parent = nullptr);

  // Shows a fit of `heats`; `leftOut` heats of the log had a row that could
  // not be read.
  void showCalibration(const Calibration& fit, const std::vector<LoggedHeat>& heats, std::size_t leftOut);
  QString resultText() const;
  QTableWidget* heatsTable() const { return heats_; }
  QScatterSeries* carbonPoints() const { return carbonPoints_; }
  QScatterSeries* temperaturePoints() const { return temperaturePoints_; }
  QPushButton* adoptButton() const { return adopt_; }
  // velkarin-batch --calibrate's table of the fit.
  QString tsv() const { return tsv_; }

 signals:
  void adoptRequested();
  void heatChosen(std::size_t heat);  // index into the heats shown

 private:
  QChartView* parityChart(const char* name, const QString& title, bool logarithmic, QScatterSeries*& points,
                          QLineSeries*& diagonal);
  void fillHeats(const Calibration& fit, const std::vector<LoggedHeat>& heats);
  void showParity(const Calibration& fit);

  QLabel* result_ = nullptr;
  QPushButton* adopt_ = nullptr;
  QTableWidget* heats_ = nullptr;
  QChartView* carbonChart_ = nullptr;
  QChartView* temperatureChart_ = nullptr;
  QScatterSeries* carbonPoints_ = nullptr;
  QScatterSeries* temperaturePoints_ = nullptr;
  QLineSeries* carbonDiagonal_ = nullptr;
  QLineSeries* temperatureDiagonal_ = nullptr;
  QString tsv_;
};

}  // namespace velkarin
