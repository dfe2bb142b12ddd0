// SPDX-License-Identifier: Apache-2.0
// The blow stages of the equilibrium diagram: each stage of the table
// evaluated for both oxides under the diagram's composition, P and η, drawn
// on the chart, and solved for the target on request.

#include <QLabel>
#include <QStringList>
#include <optional>

#include "calc/number_list.h"
#include "calc/plan_evaluation.h"
#include "calc/stage_solve.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/ledger_panel.h"
#include "ui/diagram/session_view.h"
#include "ui/diagram/stage_table.h"
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

void EquilibriumDiagramWindow::showStages() {
  const StageEvaluation& evaluated = session_->stages();
  // An answer of 求温度/求气体比 describes the stages as they were: any change
  // to the stages, the target or an entry ends it.
  stageTable_->showSolution(QString());
  stageTable_->showResults(evaluated.results, evaluated.reached);
  ledgerPanel_->showLedger(plan().stages, evaluated.results, evaluated.ledger);
  drawStages(*chartView_, *session_);
}

// Solves the current stage for the target: its temperature (at its p_CO) or
// its gas ratio (at its temperature).
void EquilibriumDiagramWindow::solveStage(bool temperature) {
  const std::optional<std::size_t> row = stageTable_->currentStage();
  const std::optional<double> target = stageTable_->target();
  if (!row || *row >= session_->stages().results.size()) {
    stageTable_->showSolution(QStringLiteral("请先添加一个阶段并选中它"));
    return;
  }
  if (!target) {
    stageTable_->showSolution(QStringLiteral("请先输入目标C浓度"));
    return;
  }
  const StageResult& stage = session_->stages().results[*row];
  const BlowStage typed = stageTable_->stages()[*row];
  const QString name =
      QStringLiteral("第%1段（%2，%3℃）")
          .arg(*row + 1)
          .arg(toQString(std::string(trimmedItem(typed.gas))), toQString(std::string(trimmedItem(typed.temperature))));
  const StageSolution solution = temperature ? solveStageTemperature(stage, session_->stages().settings, *target,
                                                                     session_->entries().family.temperatures)
                                             : solveStagePressure(stage, session_->stages().settings, *target);
  const std::string answer = solution.status == SolveStatus::StageProblem
                                 ? chinese(typed, stage)
                                 : chinese(solution, *target, session_->entries().family.temperatures, temperature);
  QString note;
  if (const std::optional<double> celsius = temperature ? answeredCelsius(solution) : std::nullopt;
      celsius && !(*celsius >= usualLowCelsius && *celsius <= usualHighCelsius)) {
    note = QStringLiteral("（超出常用的%1～%2℃）").arg(usualLowCelsius).arg(usualHighCelsius);
  }
  stageTable_->showSolution(name + QStringLiteral("：") + toQString(answer) + note);
}

}  // namespace velkarin
