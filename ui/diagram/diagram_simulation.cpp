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
#include "ui/diagram/simulation_panel.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_session.h"

namespace velkarin {

namespace {

// The window's names of the plan's members the simulation reads.
struct MemberName {
  std::string_view member;
  const char* name;
};
constexpr std::array<MemberName, 15> memberNames{{
    {"heat/mass", "钢水量W"},
    {"heat/startCarbon", "初始%C"},
    {"heat/oxygenFlow", "O2流量"},
    {"heat/fesiGrade", "FeSi品位"},
    {"heat/basicity", "碱度"},
    {"heat/startTemperature", "初始温度"},
    {"heat/slagMass", "初始渣量"},
    {"heat/rateConstant", "脱碳速率常数"},
    {"heat/heatLoss", "散热"},
    {"heat/reductionTime", "还原时间"},
    {"O2", "O2"},
    {"C", "实测%C"},
    {"lime", "石灰"},
    {"scrap", "废钢"},
    {"inert", "惰性气体"},
}};

QString memberName(std::string_view member) {
  for (const MemberName& row : memberNames) {
    if (row.member == member) return QString::fromUtf8(row.name);
  }
  return toQString(std::string(member));
}

QString textProblem(const Plan& plan, const SimulationTextProblem& problem) {
  if (problem.stage == 0) {
    std::string text = *planTextField(const_cast<Plan&>(plan), problem.member);  // only read
    return QStringLiteral("%1“%2”不是数字").arg(memberName(problem.member), toQString(messageExcerpt(text)));
  }
  BlowStage stage = plan.stages.at(problem.stage - 1);
  const std::string text = *stageTextField(stage, problem.member);
  if (problem.member == "inert") {
    return QStringLiteral("第%1段的惰性气体“%2”应为Ar或N2").arg(problem.stage).arg(toQString(messageExcerpt(text)));
  }
  return QStringLiteral("第%1段的%2“%3”不是数字")
      .arg(problem.stage)
      .arg(memberName(problem.member), toQString(messageExcerpt(text)));
}

// Why the heat cannot be simulated, in the window's words.
QString heatProblem(SimulationProblem problem) {
  switch (problem) {
    case SimulationProblem::NoMass:
      return QStringLiteral("请在物料平衡中填写钢水量W");
    case SimulationProblem::MassNotPositive:
      return QStringLiteral("钢水量W必须大于0");
    case SimulationProblem::NoStartCarbon:
      return QStringLiteral("请在物料平衡中填写初始%C");
    case SimulationProblem::StartCarbonNotPositive:
      return QStringLiteral("初始%C必须大于0");
    case SimulationProblem::NoStartTemperature:
      return QStringLiteral("请填写初始温度");
    case SimulationProblem::StartTemperatureBad:
      return QStringLiteral("初始温度须高于−273℃且不高于2861℃（铁的沸点）");
    case SimulationProblem::NoOxygenFlow:
      return QStringLiteral("请在物料平衡中填写O2流量（Nm³/min）");
    case SimulationProblem::OxygenFlowNotPositive:
      return QStringLiteral("O2流量必须大于0");
    case SimulationProblem::BadMixture:
      return QStringLiteral("总压P必须大于0，η须在0～1之间");
    case SimulationProblem::BadComposition:
      return QStringLiteral("[%Cr]必须大于0，[%Ni]、[%Si]、[%Mn]不能为负");
    case SimulationProblem::BadSlagMass:
      return QStringLiteral("初始渣量不能为负");
    case SimulationProblem::BadRateConstant:
      return QStringLiteral("脱碳速率常数不能为负");
    case SimulationProblem::BadHeatLoss:
      return QStringLiteral("散热不能为负");
    case SimulationProblem::BadReductionTime:
      return QStringLiteral("还原时间不能为负");
    case SimulationProblem::BadFesiGrade:
      return QStringLiteral("FeSi品位须大于0且不大于100");
    case SimulationProblem::BadBasicity:
      return QStringLiteral("碱度必须大于0");
    case SimulationProblem::NoStages:
      return QStringLiteral("请先在吹炼阶段表中添加阶段");
    case SimulationProblem::HeatOutOfRange:
      return QStringLiteral("钢水量W太大，熔池的数值超出数的范围");
    default:
      return QStringLiteral("无法模拟");
  }
}

}  // namespace

void EquilibriumDiagramWindow::simulationToggled(bool on) {
  stageTable_->showSimulationColumns(on);
  if (on) sheetTabs_->setCurrentWidget(simulationPanel_);
  session_->setSimulating(on);
}

// The simulation as the session computed it, in 吹炼模拟 and on the chart.
void EquilibriumDiagramWindow::showSimulation() {
  const std::optional<BlowSimulation>& sim = session_->simulation();
  const PlanSimulationInput& input = session_->simulationInput();
  // Off and nothing shown: nothing to clear (a redraw without the simulation costs nothing more).
  const bool shown = !chartView_->marks()->simulatedPath()->points().isEmpty();
  if (!session_->simulating() && !shown && simulationIdle_) return;
  // The sheet's own line holds one line; the status line says it whole.
  simulationIdle_ = !session_->simulating();
  simulationNote_.clear();
  QList<QPointF> path, ends;
  if (!session_->simulating()) {
    simulationPanel_->showProblem(QStringLiteral("勾选“模拟”后按各阶段预测吹炼过程"));
  } else if (input.problem) {
    simulationNote_ = textProblem(plan(), *input.problem);
    simulationPanel_->showProblem(simulationNote_);
  } else if (!sim) {
    simulationNote_ = heatProblem(session_->simulationProblem());
    simulationPanel_->showProblem(simulationNote_);
  } else {
    if (!sim->totals) simulationNote_ = QStringLiteral("有阶段无法模拟，见吹炼模拟表中的说明");
    for (const PathSample& p : sim->path) path << QPointF(p.temperature, p.carbon);
    for (const SimulatedStage& stage : sim->stages) {
      if (stage.problem == SimulationProblem::None) ends << QPointF(stage.endTemperature, stage.endCarbon);
    }
    simulationPanel_->showSimulation(*sim, input.stages, plan().stages);
  }
  chartView_->showSimulation(path, ends);
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
