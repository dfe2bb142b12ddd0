// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium diagram "平衡曲线图": the widget MainFrame puts into a
// resizable QMdiSubWindow, where a blow is planned, booked, simulated and
// checked against the plant's heats. The plan lives in a PlanDocument (every
// edit an undoable step), what it gives in a PlanSession; the window builds
// the views over them (diagram_layout.h), wires them, and handles closing
// and dropped files. Each view reads the model and sends its edits to it; an
// entry that cannot be read keeps the last good curves and says why in the
// status line.
//
// The frame tells the window about completed calculations (setHeatPath); the
// heats of the calculation window whose reaction is shown are the marked path.
//
// The widget carries the objectName "EquilibriumDiagram"; its controls are
// named reaction, preset, A, B, Cr, Ni, Si, Mn, pressures, status, pointer
// and chart.

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "calc/blow_calibration.h"
#include "calc/blow_simulation.h"
#include "calc/blow_stage.h"
#include "calc/equilibrium_curve.h"
#include "calc/plan.h"
#include "calc/plan_evaluation.h"
#include "calc/plant_heat.h"
#include "calc/records.h"
#include "ui/diagram/blow_sheets.h"
#include "ui/diagram/calibration_sheet.h"
#include "ui/diagram/diagram_layout.h"
#include "ui/diagram/entries_bar.h"
#include "ui/diagram/file_drop.h"
#include "ui/diagram/heats_sheet.h"
#include "ui/diagram/plan_files.h"
#include "ui/model/plan_session.h"

namespace velkarin {

class CalibrationPanel;
class EntryBindings;
class EquilibriumChartView;
class HeatOverlay;
class HeatsPanel;
class LedgerPanel;
class PlanDocument;
class SimulationPanel;
class StageTable;

// What a new diagram starts from: the reaction, A and B texts of the
// calculation window it is opened from, and the composition of that window's
// last completed calculation.
struct DiagramStart {
  Reaction reaction = Reaction::Cr2O3;
  ReactionConstants constants = presetConstants(Reaction::Cr2O3);  // A (J/mol), B (J/(mol·K)) texts
  CurveComposition composition;                                    // mass %; the prompt defaults when none
  QString source;  // the window the values come from ("Form1"), for the status line
  // The A and B texts of a reaction's calculation window, as typed now;
  // nothing when that window does not exist.
  std::function<std::optional<ReactionConstants>(Reaction)> windowConstants;
};

class EquilibriumDiagramWindow : public QWidget {
  Q_OBJECT

 public:
  explicit EquilibriumDiagramWindow(const DiagramStart& start, QWidget* parent = nullptr);

  // The plan as a document (its file, its unknown members, its undo
  // history) and what is computed from it.
  PlanDocument& document() const { return *document_; }
  PlanSession& session() const { return *session_; }
  // The plan shown: the entries, the target, the stages, the heat and the
  // note as typed, the other oxide's A and B as used.
  const Plan& plan() const;
  // Shows a plan as it was saved; afterwards nothing is modified and the
  // undo history is empty.
  void setPlan(const Plan& plan);

  Reaction reaction() const;
  // The inputs of the curves shown: the last entries that could be read.
  const CurveFamilyInputs& inputs() const;
  // The stage results of the plan's stages, and the settings they were evaluated under.
  const std::vector<StageResult>& stageResults() const;
  const StageSettings& stageSettings() const;
  bool bothOxides() const;  // the other oxide's curves are drawn too
  QString statusText() const;
  // Computes and redraws everything again.
  void redraw();

  // The melt states of the completed calculations of a reaction's window, in
  // the order they were made (empty: none, the list was cleared, or the
  // window was discarded). The shown reaction's are the heat path.
  void setHeatPath(Reaction reaction, const std::vector<MeltState>& states);
  // The A or B text of a reaction's calculation window changed: the other
  // oxide's curves and the stages follow it.
  void windowConstantsChanged(Reaction reaction);

  EquilibriumChartView* chartView() const { return parts_.chart; }
  StageTable* stageTable() const { return parts_.stages; }
  LedgerPanel* ledgerPanel() const { return parts_.ledger; }
  SimulationPanel* simulationPanel() const { return parts_.simulation; }

  // The plan's file (see PlanFiles): open, save, the close question.
  QString planPath() const;
  bool mayClose() { return files_->mayClose(); }
  bool mayReplace() { return files_->mayReplace(); }
  void showPlan(const Plan& plan, const QString& path) { files_->show(plan, path); }
  std::optional<QString> openPlanFile(const QString& path) { return files_->open(path); }
  bool askAndOpenPlan(const QString& path) { return files_->askAndOpen(path); }
  std::optional<QString> savePlanFile(const QString& path) { return files_->saveTo(path); }
  bool savePlan() { return files_->save(); }
  bool savePlanAs() { return files_->saveAs(); }
  // A plan dropped on the diagram or the frame opens, a CSV's heats are imported.
  void openDroppedFile(const DroppedFile& file);

  // The plant's heats (see HeatsSheet).
  std::optional<QString> importHeats(const QString& path) { return heats_->importHeats(path); }
  void askAndImportHeats(const QString& path) { heats_->askAndImportHeats(path); }
  const std::vector<PlantHeat>& plantHeats() const { return heats_->heats().heats(); }
  const std::vector<HeatFigures>& heatFigures() const { return heats_->heats().figures(); }
  HeatsPanel* heatsPanel() const { return heats_->panel(); }
  HeatOverlay* heatOverlay() const { return heats_->overlay(); }
  void fitHeats() { heats_->fitHeats(); }
  bool adoptFit() { return heats_->adoptFit(); }
  const std::optional<ReactionLine>& fittedLine() const { return heats_->heats().fittedLine(); }

  // 吹炼模拟 (see BlowSheets): the blow as simulated while 模拟 is on.
  const std::optional<BlowSimulation>& simulation() const;
  void adoptSimulatedTemperatures() { blow_->adoptSimulatedTemperatures(); }

  // 模型校准 (see CalibrationSheet).
  std::optional<QString> importHeatLog(const QString& path) { return calibration_->importHeatLog(path); }
  void askAndImportHeatLog(const QString& path) { calibration_->askAndImportHeatLog(path); }
  CalibrationPanel* calibrationPanel() const { return calibration_->panel(); }
  const std::optional<Calibration>& calibration() const { return calibration_->calibration(); }
  const std::vector<LoggedHeat>& loggedHeats() const { return calibration_->loggedHeats(); }
  bool adoptCalibration() { return calibration_->adoptCalibration(); }
  void showLoggedHeat(std::size_t heat) { calibration_->showLoggedHeat(heat); }

 signals:
  // The plan now belongs to `path` (opened or saved; "" for none).
  void planFileChanged(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void showChanges(PlanSession::Changes what);
  void showStatus();

  PlanDocument* document_ = nullptr;   // the plan, its file and its undo history
  PlanSession* session_ = nullptr;     // what is computed from the plan
  EntryBindings* bindings_ = nullptr;  // the line edits that show the plan's entries
  DiagramParts parts_;                 // the views
  PlanFiles* files_ = nullptr;
  HeatsSheet* heats_ = nullptr;
  BlowSheets* blow_ = nullptr;
  CalibrationSheet* calibration_ = nullptr;
  QString startNote_;  // why the start values were replaced; kept until A or B change
};

}  // namespace velkarin
