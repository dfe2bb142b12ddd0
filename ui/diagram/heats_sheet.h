// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plant's heats on the equilibrium diagram: imported from the batch
// tool's input CSV on a worker (a progress dialog with 取消 past 0.2 s), each
// heat against its own equilibrium carbon on the chart, in 炉次数据 and in
// the parity plot 实测对比; the ΔG° line fitted to the ticked heats and
// adopted into A and B on request (one undoable step); the band of the
// preset rows. The sheet and the parity tab appear with the first heats.

#include <QObject>
#include <QPointF>
#include <QString>
#include <optional>

#include "ui/diagram/sheet_places.h"
#include "ui/model/plant_heats.h"

namespace velkarin {

class EquilibriumChartView;
class HeatOverlay;
class HeatsPanel;
class PlanDocument;
class PlanSession;

class HeatsSheet : public QObject {
  Q_OBJECT

 public:
  HeatsSheet(PlanDocument& document, const PlanSession& session, const SheetPlaces& places);

  // 导入炉次数据…: the reason, in Chinese, when nothing was imported (the
  // heats shown stay); the same in a message box.
  std::optional<QString> importHeats(const QString& path);
  void askAndImportHeats(const QString& path);
  // The heats under the lines shown now (after the curves changed).
  void show();
  // 拟合ΔG° and 采用 (asking first when R² is below 0.5 or A or B lies
  // outside the span of the preset rows); false when nothing was adopted.
  void fitHeats();
  bool adoptFit();

  const PlantHeats& heats() const { return heats_; }
  HeatsPanel* panel() const { return panel_; }
  HeatOverlay* overlay() const { return overlay_; }

 private:
  HeatLines lines() const;
  void showPoints();
  void describeHeatAt(const QPointF& point);
  void showFittedCurves();
  void showPresetRange();

  PlanDocument& document_;
  const PlanSession& session_;
  SheetPlaces places_;
  PlantHeats heats_;
  HeatsPanel* panel_ = nullptr;
  HeatOverlay* overlay_ = nullptr;  // created with the first heats
  bool pointsShown_ = false;        // the chart and parity plot show the heats under the lines shown
};

}  // namespace velkarin
