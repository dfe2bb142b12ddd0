// SPDX-License-Identifier: Apache-2.0
// The blow simulation of the equilibrium diagram: the plan's heat and stages
// simulated in time while 模拟 is on, shown in 吹炼模拟 and drawn on the
// chart, and the simulated end temperatures adopted into the stage table.

#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QTabWidget>
#include <array>
#include <string_view>

#include "calc/blow_ledger.h"
#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan_members.h"
#include "calc/plan_simulation.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/session_view.h"
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_session.h"

namespace velkarin {

void EquilibriumDiagramWindow::simulationToggled(bool on) {
  stageTable_->showSimulationColumns(on);
  if (on) sheetTabs_->setCurrentWidget(simulationPanel_);
  session_->setSimulating(on);
}

// The simulation as the session computed it, in 吹炼模拟 and on the chart.
void EquilibriumDiagramWindow::showSimulation() {
  // Off and nothing shown: nothing to clear (a redraw without the simulation costs nothing more).
  const bool shown = !chartView_->marks()->simulatedPath()->points().isEmpty();
  if (!session_->simulating() && !shown && simulationIdle_) return;
  simulationIdle_ = !session_->simulating();
  if (const std::optional<BlowSimulation>& sim = session_->simulation()) {
    simulationPanel_->showSimulation(*sim, session_->simulationInput().stages, plan().stages);
  } else {
    // The sheet's own line holds one line; the status line says it whole.
    simulationPanel_->showProblem(session_->simulating() ? simulationNote(plan(), *session_)
                                                         : QStringLiteral("勾选“模拟”后按各阶段预测吹炼过程"));
  }
  drawSimulation(*chartView_, *session_);
}

void EquilibriumDiagramWindow::adoptSimulatedTemperatures() {
  const std::optional<BlowSimulation>& simulation_ = session_->simulation();
  if (!simulation_) return;
  const std::vector<BlowStage> stages = stageTable_->stages();
  std::vector<QString> texts;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    const bool simulated = i < simulation_->stages.size() && simulation_->stages[i].problem == SimulationProblem::None;
    texts.push_back(simulated ? toQString(fixedText(simulation_->stages[i].endTemperature, 1))
                              : toQString(stages[i].temperature));
  }
  stageTable_->setColumnTexts(StageTable::Temperature, texts, QStringLiteral("采用模拟温度"));
}

}  // namespace velkarin
