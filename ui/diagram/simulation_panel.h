// SPDX-License-Identifier: Apache-2.0
#pragma once

// 吹炼模拟 beside 物料平衡: the simulation's own heat entries (初始温度,
// 初始渣量, 脱碳速率常数, 散热, 还原时间), the 模拟 switch that draws the
// predicted path on the chart and shows the stage table's simulation
// columns, the simulated stage table as velkarin-curve --simulate prints it
// (with the stages' typed %C and t beside the prediction), the reduction,
// and time charts of %C and %Cr (logarithmic) and of the bath temperature.
//
// Controls: startTemperature, slagMass, rateConstant, heatLoss,
// reductionTime, simulate, adoptSimulatedTemperatures, copySimulation,
// saveSimulation, simulationStatus, simulationTable, carbonTimeChart,
// temperatureTimeChart.

#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calc/blow_simulation.h"
#include "calc/plan.h"

class QCheckBox;
class QChartView;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QTableWidget;

namespace velkarin {

class SimulationPanel : public QWidget {
  Q_OBJECT

 public:
  explicit SimulationPanel(QWidget* parent = nullptr);

  bool simulating() const;
  void setSimulating(bool on);

  // Shows a simulation of the typed stages (`stages` as read, `typed` as the
  // stage table has them), or only `problem` (Chinese) where there is none.
  void showSimulation(const BlowSimulation& simulation, const std::vector<SimulationStage>& stages,
                      const std::vector<BlowStage>& typed);
  void showProblem(const QString& problem);

  QTableWidget* table() const { return table_; }
  QString statusText() const;
  // The table as velkarin-curve --simulate prints it.
  QString tsv() const { return tsv_; }
  std::optional<QString> writeCsv(const QString& path) const;
  QLineSeries* carbonSeries() const { return carbon_; }
  QLineSeries* chromiumSeries() const { return chromium_; }
  QLineSeries* temperatureSeries() const { return temperature_; }
  QPushButton* adoptButton() const { return adopt_; }

 signals:
  void simulatingToggled(bool on);
  void adoptRequested();  // 采用模拟温度

 private:
  QGridLayout* createEntries();
  QHBoxLayout* createButtons();
  QLineEdit* addEntry(const char* name, const QString& text, const QString& tip);
  void createCharts();
  void fillTable(const std::vector<std::vector<std::string>>& rows, const std::vector<BlowStage>& typed);
  void showPath(const std::vector<PathSample>& path);
  void askAndSave();
  void showStatus(const QString& text);

  std::array<QLineEdit*, 5> entries_{};  // in the order of entryRows
  QCheckBox* simulate_ = nullptr;
  QPushButton* adopt_ = nullptr;
  QLabel* status_ = nullptr;
  QTableWidget* table_ = nullptr;
  QChartView* carbonChart_ = nullptr;
  QChartView* temperatureChart_ = nullptr;
  QLineSeries* carbon_ = nullptr;
  QLineSeries* chromium_ = nullptr;
  QLineSeries* temperature_ = nullptr;
  QString tsv_;
  QByteArray csv_;
};

}  // namespace velkarin
