// SPDX-License-Identifier: Apache-2.0
#pragma once

// The equilibrium diagram "平衡曲线图": the widget MainFrame puts into a
// resizable QMdiSubWindow. Controls on top choose the reaction, a preset pair
// of A and B (or typed values), Cr, Ni, Si, Mn and the list of CO partial
// pressures; on every change the window reads them into CurveFamilyInputs,
// has the core compute equilibriumCurveFamily and hands the curves to its
// EquilibriumChartView. An entry that cannot be read keeps the last good
// curves and says why in the status line.
//
// The frame tells the window about completed calculations (setLastHeat); the
// heat of the calculation window whose reaction is shown is the marked point.
//
// The widget carries the objectName "EquilibriumDiagram"; its controls are
// named reaction, preset, A, B, Cr, Ni, Si, Mn, pressures, status, pointer
// and chart.

#include <QPointF>
#include <QWidget>
#include <array>
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
#include "ui/diagram/entries_bar.h"
#include "ui/diagram/file_drop.h"
#include "ui/model/plan_session.h"

class QCheckBox;
class QTabWidget;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSplitter;

namespace velkarin {

class EquilibriumChartView;
class HeatOverlay;
class HeatsPanel;
class LedgerPanel;
class SimulationPanel;
class CalibrationPanel;
class EntryBindings;
class HeatsSheet;
class BlowSheets;
class CalibrationSheet;
class PlanDocument;
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

  Reaction reaction() const;
  // The inputs of the curves shown: the last entries that could be read.
  const CurveFamilyInputs& inputs() const;
  EquilibriumChartView* chartView() const { return chartView_; }
  QString statusText() const;

  // The melt states of the completed calculations of a reaction's window, in
  // the order they were made (empty: none, the list was cleared, or the
  // window was discarded). The shown reaction's are the heat path.
  void setHeatPath(Reaction reaction, const std::vector<MeltState>& states);

  // The A or B text of a reaction's calculation window changed: the other
  // oxide's curves and the stages follow it.
  void windowConstantsChanged(Reaction reaction);

  StageTable* stageTable() const { return stageTable_; }
  LedgerPanel* ledgerPanel() const { return ledgerPanel_; }
  // The stage results of the stages in the table, and the settings they were
  // evaluated under.
  const std::vector<StageResult>& stageResults() const;
  const StageSettings& stageSettings() const;
  // The other oxide's curves are drawn too.
  bool bothOxides() const;

  // Whether the diagram may be discarded: true when nothing was changed, or
  // when the user answers the question with 保存 (and the plan is saved) or
  // 不保存 (asked once).
  bool mayClose();
  // The same question before another plan replaces this one; not remembered.
  bool mayReplace();

  // The plan shown: the entries, the target, the stages, the heat and the
  // note as typed, the other oxide's A and B as used.
  const Plan& plan() const;
  // Shows a plan as it was saved; afterwards nothing is modified and the
  // undo history of the stages is empty.
  void setPlan(const Plan& plan);
  // The plan's file ("" for a plan never saved); the title names it.
  QString planPath() const;
  // The plan as a document: its file, its unknown members, its changes.
  PlanDocument& document() const { return *document_; }
  // What is computed from it.
  PlanSession& session() const { return *session_; }
  // Shows a plan read from `path`: setPlan, and the plan belongs to the file.
  void showPlan(const Plan& plan, const QString& path);
  // Reads a plan file and shows it; the reason, in Chinese, when it cannot.
  std::optional<QString> openPlanFile(const QString& path);
  // 打开方案…, a dropped plan, the program's argument: asks first when the
  // plan shown was changed, then opens it; a file that cannot be read is
  // said in a message box. False then or when the user kept the plan shown.
  bool askAndOpenPlan(const QString& path);
  // A plan dropped on the diagram or the frame opens, a CSV's heats are imported.
  void openDroppedFile(const DroppedFile& file);
  // Writes the plan to `path` whole or not at all (the old file stays on a
  // failure); the reason when it cannot. The plan then belongs to `path`.
  std::optional<QString> savePlanFile(const QString& path);
  // 保存方案 and 方案另存为…: to the plan's file or one asked for; false when
  // cancelled or not written (the reason shown in a message box).
  bool savePlan();
  bool savePlanAs();

  // Reads the controls and redraws the whole family (every change calls it).
  void redraw();

  // 导入炉次数据…: the heats of a CSV file as the batch tool reads it (on a
  // worker, with a progress dialog and 取消 past 0.2 s); the reason, in
  // Chinese, when nothing was imported (the heats shown stay).
  std::optional<QString> importHeats(const QString& path);
  // The same, the reason in a message box.
  void askAndImportHeats(const QString& path);
  const std::vector<PlantHeat>& plantHeats() const;
  const std::vector<HeatFigures>& heatFigures() const;
  HeatsPanel* heatsPanel() const;
  HeatOverlay* heatOverlay() const;
  // 拟合ΔG° on the ticked heats of the shown reaction, and 采用: the fitted
  // A and B into the entries, asking first when R² is below 0.5 or A or B
  // lies outside the span of the reaction's preset rows. False when nothing
  // was adopted.
  void fitHeats();
  bool adoptFit();
  const std::optional<ReactionLine>& fittedLine() const;

  // 吹炼模拟: the blow simulated from the plan while 模拟 is on (nothing
  // otherwise, or where it cannot be), and 采用模拟温度, which puts each
  // simulated stage's end temperature into its t cell as one undoable step.
  SimulationPanel* simulationPanel() const { return simulationPanel_; }
  const std::optional<BlowSimulation>& simulation() const;
  void adoptSimulatedTemperatures();

  // 导入炉次记录…: a heat log read and the simulation's k and L fitted to it
  // on a worker (progress and 取消 past 0.2 s), shown in 模型校准; the
  // reason, in Chinese, when nothing was fitted (what was shown stays).
  std::optional<QString> importHeatLog(const QString& path);
  void askAndImportHeatLog(const QString& path);
  CalibrationPanel* calibrationPanel() const;
  const std::optional<Calibration>& calibration() const;
  const std::vector<LoggedHeat>& loggedHeats() const;
  // 采用: k and L into the simulation's entries as one undoable step (the
  // stage table's Ctrl+Z); asks first when the held-out error is more than
  // twice the training error. False when nothing was adopted.
  bool adoptCalibration();
  // Draws a logged heat's path under the fitted k and L, and its measured ends.
  void showLoggedHeat(std::size_t heat);

 signals:
  // The plan now belongs to `path` (opened or saved; "" for none).
  void planFileChanged(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void followDocument();
  void entryChanged(const QString& place);
  void showChanges(PlanSession::Changes what);
  void createControls();
  QSplitter* createChartAndStages();
  QTabWidget* createSheets();
  QHBoxLayout* createStatusRow();
  void showStatus();
  bool askToSave(const QString& question);
  void showPlanTitle();

  QString startNote_;                  // why the start values were replaced; kept until A or B change
  bool closeConfirmed_ = false;        // the user chose 不保存 in the close question
  PlanDocument* document_ = nullptr;   // the plan, its file and its undo history
  PlanSession* session_ = nullptr;     // what is computed from the plan
  EntryBindings* bindings_ = nullptr;  // the line edits that show the plan's entries

  EntriesBar* entries_ = nullptr;
  QTabWidget* chartTabs_ = nullptr;   // the chart, and once heats are imported 实测对比
  QTabWidget* sheetTabs_ = nullptr;   // 物料平衡, and once heats are imported 炉次数据
  HeatsSheet* heatsSheet_ = nullptr;  // the plant's heats: 炉次数据, 实测对比 and their points
  StageTable* stageTable_ = nullptr;
  LedgerPanel* ledgerPanel_ = nullptr;
  SimulationPanel* simulationPanel_ = nullptr;
  BlowSheets* blowSheets_ = nullptr;              // the stages' answers, 物料平衡 and 吹炼模拟
  CalibrationSheet* calibrationSheet_ = nullptr;  // 模型校准: k and L fitted to a heat log
  EquilibriumChartView* chartView_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* pointer_ = nullptr;
};

}  // namespace velkarin
