// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/blow_sheets.h"

#include <QLineSeries>
#include <QPointF>
#include <QSignalBlocker>
#include <QTabWidget>
#include <optional>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan_evaluation.h"
#include "calc/stage_solve.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/session_view.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"
#include "words/chinese.h"

namespace velkarin {

namespace {

// The bath temperatures of usual practice, °C: a solved temperature outside
// them is noted as beyond it.
constexpr double usualLowCelsius = 1400;
constexpr double usualHighCelsius = 1800;

// The temperature 求温度 answers with, °C: the one found in the diagram's
// range, or the one outside it that would reach the target; none otherwise.
std::optional<double> answeredCelsius(const StageSolution& solution) {
  if (solution.status == SolveStatus::Found) return solution.temperatureCelsius;
  if (solution.status == SolveStatus::NotReachable) return solution.outsideCelsius;
  return std::nullopt;
}

}  // namespace

BlowSheets::BlowSheets(const PlanDocument& document, PlanSession& session, const SheetPlaces& places,
                       const BlowViews& views)
    : QObject(places.window),
      document_(document),
      session_(session),
      places_(places),
      stages_(views.stages),
      ledger_(views.ledger),
      simulation_(views.simulation) {
  connect(stages_, &StageTable::solveTemperature, this, [this] { solveStage(true); });
  connect(stages_, &StageTable::solveRatio, this, [this] { solveStage(false); });
  connect(simulation_, &SimulationPanel::simulatingToggled, this, &BlowSheets::simulationToggled);
  connect(simulation_, &SimulationPanel::adoptRequested, this, &BlowSheets::adoptSimulatedTemperatures);
}

// A plan with a start temperature was simulated: it opens simulated.
void BlowSheets::simulateAsSaved(const Plan& plan) {
  const QSignalBlocker block(simulation_);
  simulation_->setSimulating(!trimmedItem(plan.heat.startTemperature).empty());
  stages_->showSimulationColumns(simulation_->simulating());
  session_.setSimulating(simulation_->simulating());
}

void BlowSheets::showStages() {
  const StageEvaluation& evaluated = session_.stages();
  // An answer of 求温度/求气体比 describes the stages as they were: any change
  // to the stages, the target or an entry ends it.
  stages_->showSolution(QString());
  stages_->showResults(evaluated.results, evaluated.reached);
  ledger_->showLedger(document_.plan().stages, evaluated.results, evaluated.ledger);
  drawStages(*places_.chart, session_);
}

// Solves the current stage for the target: its temperature (at its p_CO) or
// its gas ratio (at its temperature).
void BlowSheets::solveStage(bool temperature) {
  const std::optional<std::size_t> row = stages_->currentStage();
  const std::optional<double> target = stages_->target();
  if (!row || *row >= session_.stages().results.size()) {
    stages_->showSolution(QStringLiteral("请先添加一个阶段并选中它"));
    return;
  }
  if (!target) {
    stages_->showSolution(QStringLiteral("请先输入目标C浓度"));
    return;
  }
  const StageResult& stage = session_.stages().results[*row];
  const BlowStage typed = stages_->stages()[*row];
  const QString name =
      QStringLiteral("第%1段（%2，%3℃）")
          .arg(*row + 1)
          .arg(toQString(std::string(trimmedItem(typed.gas))), toQString(std::string(trimmedItem(typed.temperature))));
  const StageSolution solution = temperature ? solveStageTemperature(stage, session_.stages().settings, *target,
                                                                     session_.entries().family.temperatures)
                                             : solveStagePressure(stage, session_.stages().settings, *target);
  const std::string answer = solution.status == SolveStatus::StageProblem
                                 ? chinese(typed, stage)
                                 : chinese(solution, *target, session_.entries().family.temperatures, temperature);
  QString note;
  if (const std::optional<double> celsius = temperature ? answeredCelsius(solution) : std::nullopt;
      celsius && !(*celsius >= usualLowCelsius && *celsius <= usualHighCelsius)) {
    note = QStringLiteral("（超出常用的%1～%2℃）").arg(usualLowCelsius).arg(usualHighCelsius);
  }
  stages_->showSolution(name + QStringLiteral("：") + toQString(answer) + note);
}

void BlowSheets::simulationToggled(bool on) {
  stages_->showSimulationColumns(on);
  if (on) places_.sheetTabs->setCurrentWidget(simulation_);
  session_.setSimulating(on);
}

// The simulation as the session computed it, in 吹炼模拟 and on the chart.
void BlowSheets::showSimulation() {
  // Off and nothing shown: nothing to clear (a redraw without the simulation costs nothing more).
  const bool shown = !places_.chart->marks()->simulatedPath()->points().isEmpty();
  if (!session_.simulating() && !shown && simulationIdle_) return;
  simulationIdle_ = !session_.simulating();
  if (const std::optional<BlowSimulation>& sim = session_.simulation()) {
    simulation_->showSimulation(*sim, session_.simulationInput().stages, document_.plan().stages);
  } else {
    // The sheet's own line holds one line; the status line says it whole.
    simulation_->showProblem(session_.simulating() ? simulationNote(document_.plan(), session_)
                                                   : QStringLiteral("勾选“模拟”后按各阶段预测吹炼过程"));
  }
  drawSimulation(*places_.chart, session_);
}

// Each simulated stage's end temperature into its t cell, as one undoable step.
void BlowSheets::adoptSimulatedTemperatures() {
  const std::optional<BlowSimulation>& simulated = session_.simulation();
  if (!simulated) return;
  const std::vector<BlowStage>& stages = document_.plan().stages;
  std::vector<QString> texts;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    const bool ended = i < simulated->stages.size() && simulated->stages[i].problem == SimulationProblem::None;
    texts.push_back(ended ? toQString(fixedText(simulated->stages[i].endTemperature, 1))
                          : toQString(stages[i].temperature));
  }
  stages_->setColumnTexts(StageTable::Temperature, texts, QStringLiteral("采用模拟温度"));
}

}  // namespace velkarin
