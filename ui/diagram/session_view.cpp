// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/session_view.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <array>
#include <string_view>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/plan_members.h"
#include "calc/reaction_data.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/chart_marks.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "words/chinese.h"

namespace velkarin {

using namespace diagram;

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

void drawCurves(EquilibriumChartView& chart, const Plan& plan, const PlanSession& session) {
  std::vector<EquilibriumCurve> curves = session.curves();
  if (!plan.bothOxides) {
    chart.showCurves(std::move(curves));
    return;
  }
  const std::size_t count = curves.size() / 2;
  const QString first = toQString(reactionData(session.entries().family.reaction).name);
  const QString dashed = toQString(reactionData(otherReaction(session.entries().family.reaction)).name);
  std::vector<CurveStyle> styles;
  for (std::size_t i = 0; i < count; ++i) {
    // The legend names the pressure once: the label without its reaction.
    const QString label = toQString(curves[i].label).mid(first.size() + 1);
    styles.push_back({i, false, count + i, first, label});
  }
  for (std::size_t i = 0; i < count; ++i) styles.push_back({i, true, i, dashed, {}});
  chart.showCurves(std::move(curves), std::move(styles));
}

void drawStages(EquilibriumChartView& chart, const PlanSession& session) {
  std::vector<std::optional<StageMark>> marks;
  for (const StageResult& r : session.stages().results) {
    const std::optional<double> carbon = governingCarbon(r);
    marks.push_back(carbon ? std::optional(StageMark{r.temperatureCelsius, *carbon, r.margin}) : std::nullopt);
  }
  chart.showStages(marks, session.stages().target.value, session.stages().reached);
}

void drawHeatPath(EquilibriumChartView& chart, const PlanSession& session) {
  std::vector<HeatMark> heats;
  for (const MeltState& state : session.heatPath()) {
    heats.push_back({state.temperature - constants::kelvinOffset, state.carbon, state.coPressure});
  }
  chart.showHeats(heats);
}

void drawSimulation(EquilibriumChartView& chart, const PlanSession& session) {
  QList<QPointF> path, ends;
  if (const std::optional<BlowSimulation>& sim = session.simulation()) {
    for (const PathSample& p : sim->path) path << QPointF(p.temperature, p.carbon);
    for (const SimulatedStage& stage : sim->stages) {
      if (stage.problem == SimulationProblem::None) ends << QPointF(stage.endTemperature, stage.endCarbon);
    }
  }
  chart.showSimulation(path, ends);
}

void drawSession(EquilibriumChartView& chart, const Plan& plan, const PlanSession& session) {
  drawCurves(chart, plan, session);
  drawStages(chart, session);
  drawSimulation(chart, session);
  chart.setChartTitle(chartTitle(plan, session));
  drawHeatPath(chart, session);
}

QString chartTitle(const Plan& plan, const PlanSession& session) {
  if (session.curves().empty()) return {};  // nothing of the plan could be read
  const CurveFamilyInputs& family = session.entries().family;
  const CurveComposition& c = family.composition;
  const QString composition =
      QStringLiteral("[%Cr]=%1  [%Ni]=%2  [%Si]=%3  [%Mn]=%4")
          .arg(shortest(c.chromium), shortest(c.nickel), shortest(c.silicon), shortest(c.manganese));
  const auto line = [](Reaction reaction, const ReactionLine& l) {
    return QStringLiteral("%1  A=%2 J/mol  B=%3 J/(mol·K)")
        .arg(toQString(reactionRows[reactionIndex(reaction)].equation), shortest(l.a), shortest(l.b));
  };
  if (!plan.bothOxides) return line(family.reaction, family.line) + QLatin1Char('\n') + composition;
  // Both oxides: each by its name and line style, A and B, units once.
  const auto named = [](Reaction reaction, const ReactionLine& l, const QString& style) {
    return QStringLiteral("%1（%2）A=%3 B=%4")
        .arg(toQString(reactionData(reaction).name), style, shortest(l.a), shortest(l.b));
  };
  return named(family.reaction, family.line, QStringLiteral("实线")) + QStringLiteral("；") +
         named(otherReaction(family.reaction), session.otherLine(), QStringLiteral("虚线")) + QLatin1Char('\n') +
         composition + QStringLiteral("    A：J/mol，B：J/(mol·K)");
}

QString entriesProblemText(const PlanSession& session) {
  if (session.problems().empty()) return {};
  QString text;
  for (const std::string& problem : chinese(session.problems())) {
    text += (text.isEmpty() ? QString() : QStringLiteral("；")) + toQString(problem);
  }
  return text + (session.keepsLast() ? QStringLiteral("。仍显示上次的曲线。") : QStringLiteral("。"));
}

QString stageNote(const Plan& plan, const PlanSession& session) {
  const std::vector<BlowStage>& stages = plan.stages;
  const StageEvaluation& evaluation = session.stages();
  QStringList problems;
  for (std::size_t i = 0; i < stages.size() && i < evaluation.results.size(); ++i) {
    const StageResult& r = evaluation.results[i];
    const bool blank = trimmedItem(stages[i].gas).empty() && trimmedItem(stages[i].temperature).empty();
    if (r.issue != StageIssue::None && !blank) {
      problems << QStringLiteral("第%1段：%2").arg(i + 1).arg(toQString(chinese(stages[i], r)));
    }
  }
  const std::optional<double>& target = evaluation.target.value;
  const std::optional<std::size_t>& reached = evaluation.reached;
  if (evaluation.target.problem) problems << toQString(chinese(evaluation.target.problem));
  if (target && !stages.empty()) {
    const QString text = toQString(targetText(*target));
    problems << (reached ? QStringLiteral("第%1段的平衡C浓度首先达到目标%2%C").arg(*reached + 1).arg(text)
                         : QStringLiteral("没有阶段的平衡C浓度达到目标%1%C").arg(text));
  }
  return problems.join(QStringLiteral("；"));
}

QString simulationNote(const Plan& plan, const PlanSession& session) {
  if (!session.simulating()) return {};
  if (session.simulationInput().problem) return textProblem(plan, *session.simulationInput().problem);
  if (!session.simulation()) return heatProblem(session.simulationProblem());
  if (!session.simulation()->totals) return QStringLiteral("有阶段无法模拟，见吹炼模拟表中的说明");
  return {};
}

QString sessionStatus(const Plan& plan, const PlanSession& session, const QString& startNote) {
  QStringList notes;
  if (!startNote.isEmpty()) notes << startNote;
  if (session.otherNote() != OtherLineNote::None && plan.bothOxides) {
    const QString name = toQString(reactionData(otherReaction(plan.reaction)).name);
    notes << (session.otherNote() == OtherLineNote::PlanNotNumbers
                  ? QStringLiteral("方案中%1的A、B不是数字，%1改用第一行预设值").arg(name)
                  : QStringLiteral("%1窗口的A、B不是数字，%1改用第一行预设值").arg(name));
  }
  if (const QString stages = stageNote(plan, session); !stages.isEmpty()) notes << stages;
  if (const QString simulated = simulationNote(plan, session); !simulated.isEmpty()) {
    notes << QStringLiteral("模拟：") + simulated;
  }
  const std::vector<EquilibriumCurve>& curves = session.curves();
  for (const EquilibriumCurve& curve : curves) {
    qsizetype gaps = 0;
    for (const CurvePoint& point : curve.points) gaps += point.carbon.carbon ? 0 : 1;
    if (gaps > 0) {
      notes << QStringLiteral("%1：有%2个温度在0.001～5000%C之间没有平衡C浓度（曲线中断）")
                   .arg(toQString(curve.label))
                   .arg(gaps);
    }
  }
  const std::vector<MeltState>& path = session.heatPath();
  if (!path.empty() && !curves.empty() && !curves.front().points.empty()) {
    const double celsius = path.back().temperature - constants::kelvinOffset;
    if (!(celsius >= curves.front().points.front().temperatureCelsius &&
          celsius <= curves.front().points.back().temperatureCelsius)) {
      notes << QStringLiteral("上次计算的炉次（t=%1℃）在图的温度范围之外").arg(shortest(celsius));
    }
  }
  const QString problem = entriesProblemText(session);
  const QString other = notes.join(QStringLiteral("；"));
  if (problem.isEmpty()) return other;
  return other.isEmpty() ? problem : problem + QLatin1Char(' ') + other;
}

}  // namespace velkarin
