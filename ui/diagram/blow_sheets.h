// SPDX-License-Identifier: Apache-2.0
#pragma once

// The blow as the diagram plans it: the stage table's computed columns and
// its solves for the target (求温度 noting an answer beyond 1400–1800 ℃),
// 物料平衡's ledger, the stages on the chart, and 吹炼模拟 — the blow
// simulated while 模拟 is on, drawn on the chart, its end temperatures
// adopted into the stage table as one undoable step.

#include <QObject>

#include "calc/plan.h"
#include "ui/diagram/sheet_places.h"

namespace velkarin {

class LedgerPanel;
class PlanDocument;
class PlanSession;
class SimulationPanel;
class StageTable;

struct BlowViews {
  StageTable* stages = nullptr;
  LedgerPanel* ledger = nullptr;
  SimulationPanel* simulation = nullptr;
};

class BlowSheets : public QObject {
  Q_OBJECT

 public:
  BlowSheets(const PlanDocument& document, PlanSession& session, const SheetPlaces& places, const BlowViews& views);

  // What the session computed of the stages and of the simulation.
  void showStages();
  void showSimulation();
  // 模拟 as a plan opened was saved: on when it has a start temperature.
  void simulateAsSaved(const Plan& plan);
  void adoptSimulatedTemperatures();

 private:
  void solveStage(bool temperature);
  void simulationToggled(bool on);

  const PlanDocument& document_;
  PlanSession& session_;
  SheetPlaces places_;
  StageTable* stages_;
  LedgerPanel* ledger_;
  SimulationPanel* simulation_;
  bool simulationIdle_ = false;  // 模拟 is off and the sheet says so
};

}  // namespace velkarin
