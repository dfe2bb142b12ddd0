// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow simulation calibrated on the diagram: a heat log read and the
// simulation's k and L fitted to it on a worker (progress and 取消 past
// 0.2 s), shown in 模型校准 (a sheet once a log is imported), a logged
// heat's path drawn on the chart, and the fitted k and L adopted into the
// simulation's entries as one undoable step.

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "calc/blow_calibration.h"
#include "ui/diagram/sheet_places.h"

namespace velkarin {

class CalibrationPanel;
class PlanDocument;
class PlanSession;

class CalibrationSheet : public QObject {
  Q_OBJECT

 public:
  CalibrationSheet(PlanDocument& document, const PlanSession& session, const SheetPlaces& places);

  // 导入炉次记录…: the reason, in Chinese, when nothing was fitted (what was
  // shown stays); the same in a message box.
  std::optional<QString> importHeatLog(const QString& path);
  void askAndImportHeatLog(const QString& path);
  // 采用: asks first when the held-out error is more than twice the
  // training error. False when nothing was adopted.
  bool adoptCalibration();
  // Draws a logged heat's path under the fitted k and L, and its measured ends.
  void showLoggedHeat(std::size_t heat);

  CalibrationPanel* panel() const { return calibrationPanel_; }
  const std::optional<Calibration>& calibration() const { return calibration_; }
  const std::vector<LoggedHeat>& loggedHeats() const { return loggedHeats_; }

 private:
  PlanDocument& document_;
  const PlanSession& session_;
  SheetPlaces places_;
  CalibrationPanel* calibrationPanel_ = nullptr;
  std::vector<LoggedHeat> loggedHeats_;     // the imported log's heats that could be read
  std::size_t loggedLeftOut_ = 0;           // its heats with a row that could not be read
  std::optional<Calibration> calibration_;  // k and L fitted to loggedHeats_
};

}  // namespace velkarin
