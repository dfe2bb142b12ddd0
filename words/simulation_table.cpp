// SPDX-License-Identifier: Apache-2.0
// The words and numbers of the simulated blow's tables: the stage table, the
// reduction, the path, and the texts of problems and notes.
#include "words/simulation_table.h"

#include <string>
#include <vector>

#include "calc/bath_model.h"
#include "calc/blow_ledger.h"
#include "calc/blow_stage.h"
#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

std::string kg(double v) { return fixedText(v, 1); }
std::string percent4(double v) { return fixedText(v, 4); }

std::string problemText(const SimulatedStage& s, std::string_view gas) {
  switch (s.problem) {
    case SimulationProblem::GasBad: {
      StageResult result;
      result.issue = StageIssue::GasBad;
      result.gasProblem = s.gasProblem;
      return chinese(BlowStage{std::string(gas), {}, {}}, result);
    }
    case SimulationProblem::NoEndCriterion:
      return "既没有吹氧量也没有终点C浓度";
    case SimulationProblem::OxygenNegative:
      return "吹氧量须为不小于0的数";
    case SimulationProblem::EndCarbonNotPositive:
      return "终点C浓度须大于0";
    case SimulationProblem::AdditionNegative:
      return "石灰、废钢量不能为负";
    case SimulationProblem::NoEquilibrium:
      return "熔池状态下两个反应都没有平衡C浓度";
    case SimulationProblem::ChromiumExhausted:
      return "本段会把熔池中的Cr全部氧化";
    case SimulationProblem::BathFrozen:
      return "熔池温度会降到" + fixedText(bath::frozenCelsius, 0) + "℃以下：钢水已凝固，无法吹炼";
    case SimulationProblem::IntegrationFailed:
      return "积分达不到所需精度";
    case SimulationProblem::AfterProblem:
      return "前面一段无法计算";
    default:
      return {};
  }
}

std::vector<std::string> stageRow(std::string first, std::string gas, const SimulatedStage* s, std::string note) {
  if (!s) return {std::move(first), std::move(gas), "", "", "", "", "", "", "", "", "", "", "", "", std::move(note)};
  return {std::move(first),
          std::move(gas),
          kg(s->oxygen),
          kg(s->inert),
          fixedText(s->minutes, 2),
          percent4(s->endCarbon),
          percent4(s->endChromium),
          percent4(s->endSilicon),
          fixedText(s->endTemperature, 1),
          kg(s->carbonBurnt),
          kg(s->chromiumBurnt),
          kg(s->siliconBurnt),
          fixedText(s->efficiency * 100, 2),
          s->criticalCarbon ? percent4(*s->criticalCarbon) : std::string(),
          std::move(note)};
}

}  // namespace

std::string simulatedStageText(const SimulatedStage& s, std::string_view gas) {
  if (s.problem != SimulationProblem::None) return problemText(s, gas);
  std::string text;
  const auto add = [&](const std::string& note) { text += (text.empty() ? "" : "；") + note; };
  if (s.notes & noteBits(SimulationNote::EndCarbonNotBelowStart)) {
    add("终点C浓度不低于本段开始时的" + percent4(s.endCarbon) + "%，本段不吹氧");
  }
  if (s.notes & noteBits(SimulationNote::EndCarbonNotReached)) {
    add("吹到本段脱碳所需氧量的3倍仍未到终点C浓度，在此结束");
  }
  if (s.notes & noteBits(SimulationNote::TemperatureOutside)) {
    if (s.lowestTemperature < bath::lowestBathCelsius) {
      add("熔池温度降到" + fixedText(s.lowestTemperature, 1) + "℃，接近液相线");
    }
    if (s.highestTemperature > bath::highestBathCelsius) {
      add("熔池温度升到" + fixedText(s.highestTemperature, 1) + "℃，超出炉衬的承受范围");
    }
  }
  return text;
}

std::vector<std::vector<std::string>> simulationRows(const BlowSimulation& sim,
                                                     const std::vector<SimulationStage>& stages) {
  std::vector<std::vector<std::string>> rows{{"阶段", "气体比或CO分压", "O2/Nm³", "惰性气体/Nm³", "时间/min", "终点%C",
                                              "终点%Cr", "终点%Si", "终点温度/℃", "脱碳/kg", "Cr氧化/kg", "Si氧化/kg",
                                              "脱碳效率/%", "临界%C", "说明"}};
  for (std::size_t i = 0; i < stages.size(); ++i) {
    const SimulatedStage* s = i < sim.stages.size() ? &sim.stages[i] : nullptr;
    const bool good = s && s->problem == SimulationProblem::None;
    rows.push_back(stageRow(std::to_string(i + 1), std::string(trimmedItem(stages[i].gas)), good ? s : nullptr,
                            s ? simulatedStageText(*s, trimmedItem(stages[i].gas)) : std::string()));
  }
  rows.push_back(stageRow("合计", "", sim.totals ? &*sim.totals : nullptr, ""));
  return rows;
}

std::vector<std::vector<std::string>> reductionRows(const BlowSimulation& sim) {
  std::vector<std::vector<std::string>> rows;
  const SimulatedReduction* r = sim.reduction ? &*sim.reduction : nullptr;
  const auto line = [&](const char* label, double SimulatedReduction::*field, int decimals) {
    rows.push_back({label, r ? fixedText(r->*field, decimals) : std::string()});
  };
  line("还原Si/kg", &SimulatedReduction::silicon, 1);
  line("FeSi/kg", &SimulatedReduction::fesi, 1);
  line("CaO/kg", &SimulatedReduction::lime, 1);
  line("渣量/kg", &SimulatedReduction::slag, 1);
  line("出钢温度/℃", &SimulatedReduction::tapTemperature, 1);
  line("出钢%Cr", &SimulatedReduction::tapChromium, 4);
  return rows;
}

std::string simulationTsv(const BlowSimulation& sim, const std::vector<SimulationStage>& stages) {
  std::string text = stageTableTsv(simulationRows(sim, stages)) + "\n";
  for (const std::vector<std::string>& row : reductionRows(sim)) text += row[0] + "\t" + row[1] + "\n";
  return text;
}

std::string trajectoryTsv(const BlowSimulation& sim) {
  std::vector<std::vector<std::string>> rows{
      {"时间/min", "O2/Nm³", "%C", "%Cr", "%Si", "温度/℃", "平衡%C", "控制氧化物"}};
  for (const PathSample& p : sim.path) {
    rows.push_back({fixedText(p.minutes, 2), kg(p.oxygen), percent4(p.carbon), percent4(p.chromium),
                    percent4(p.silicon), fixedText(p.temperature, 1),
                    p.equilibriumCarbon ? percent4(*p.equilibriumCarbon) : std::string(),
                    p.oxide ? std::string(reactionData(*p.oxide).name) : std::string()});
  }
  return stageTableTsv(rows);
}

}  // namespace velkarin
