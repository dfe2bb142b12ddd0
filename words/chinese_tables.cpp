// SPDX-License-Identifier: Apache-2.0
// The stage table and the blow ledger as cells, with their Chinese headings
// and the sentences of words/chinese.h in their 说明 cells.
#include <cmath>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

std::string reactionName(Reaction reaction) { return std::string(reactionData(reaction).name); }

// A root with six decimals, or the side of the range where it lies, as the
// calculation window writes it.
std::string carbonText(const EquilibriumCarbon& carbon) {
  if (carbon.carbon) return formatPattern(*carbon.carbon, DigitPattern::Decimals6);
  return std::string(noRootText(carbon.gap));
}

std::vector<std::string> ledgerRow(std::string first, std::string gas, const LedgerStage& s, std::string note) {
  const auto kg = [](double v) { return fixedText(v, 1); };
  if (s.problem != LedgerProblem::None) {
    return {std::move(first), std::move(gas), "", "", "", "", "", "", "", "", "", "", std::move(note)};
  }
  return {std::move(first),
          std::move(gas),
          kg(s.oxygen),
          kg(s.inert),
          s.minutes ? kg(*s.minutes) : std::string(),
          kg(s.carbonRemoved),
          kg(s.carbonOxygen),
          fixedText(s.efficiency * 100, 2),
          kg(s.siliconOxidised),
          kg(s.chromiumOxidised),
          s.chromiumOxidised > 0 ? reactionName(s.oxide) : std::string(),
          fixedText(s.chromiumAfter, 4),
          std::move(note)};
}

}  // namespace

std::vector<std::vector<std::string>> stageTable(std::span<const BlowStage> stages,
                                                 std::span<const StageResult> results) {
  std::vector<std::vector<std::string>> table{{"阶段", "气体比或CO分压", "温度/℃", "实测%C", "p_CO/Pa", "Cr2O3平衡%C",
                                               "Cr3O4平衡%C", "控制氧化物", "余量%C", "说明"}};
  for (std::size_t i = 0; i < stages.size() && i < results.size(); ++i) {
    const BlowStage& stage = stages[i];
    const StageResult& r = results[i];
    std::vector<std::string> row{std::to_string(i + 1), std::string(trimmedItem(stage.gas)),
                                 std::string(trimmedItem(stage.temperature)),
                                 std::string(trimmedItem(stage.measuredCarbon))};
    if (!r.read()) {
      row.insert(row.end(), {"", "", "", "", "", chinese(stage, r)});
    } else {
      row.push_back(formatPattern(r.pressure.coPressure, DigitPattern::Whole));
      row.push_back(carbonText(r.carbon[0]));
      row.push_back(carbonText(r.carbon[1]));
      row.push_back(r.governing ? reactionName(*r.governing) : "");
      row.push_back(r.margin ? formatPattern(*r.margin, DigitPattern::Decimals6) : "");
      row.push_back(chinese(stage, r));
    }
    table.push_back(std::move(row));
  }
  return table;
}

LedgerTable ledgerTable(std::span<const BlowStage> stages, std::span<const StageResult> results,
                        const BlowLedger& ledger) {
  LedgerTable table;
  table.rows.push_back({"阶段", "气体比或CO分压", "O2/Nm³", "惰性气体/Nm³", "时间/min", "脱碳/kg", "脱碳O2/Nm³",
                        "脱碳效率/%", "Si氧化/kg", "Cr氧化/kg", "氧化物", "终点%Cr", "说明"});
  const std::string heatNote = chinese(ledger.problem);
  for (std::size_t i = 0; i < stages.size(); ++i) {
    const std::string gas(trimmedItem(stages[i].gas));
    if (ledger.problem != LedgerProblem::None || i >= ledger.stages.size()) {
      LedgerStage blank;
      blank.problem = ledger.problem;
      table.rows.push_back(ledgerRow(std::to_string(i + 1), gas, blank, heatNote));
      continue;
    }
    const LedgerStage& s = ledger.stages[i];
    std::string note = i < results.size() ? chinese(s, stages[i], results[i]) : std::string();
    if (s.problem == LedgerProblem::None && s.efficiencyUnreachable) note = ledgerEfficiencyNote;
    table.rows.push_back(ledgerRow(std::to_string(i + 1), gas, s, note));
  }
  LedgerStage none;
  none.problem = LedgerProblem::StageNotRead;
  table.rows.push_back(ledgerRow("合计", "", ledger.totals ? *ledger.totals : none, ""));
  const auto value = [&](double Reduction::*field) {
    return ledger.reduction ? fixedText((*ledger.reduction).*field, 1) : std::string();
  };
  table.reduction = {{"还原Si/kg", value(&Reduction::silicon)}, {"FeSi/kg", value(&Reduction::fesi)},
                     {"Al/kg", value(&Reduction::aluminium)},   {"SiO2/kg", value(&Reduction::silica)},
                     {"CaO/kg", value(&Reduction::lime)},       {"渣量/kg", value(&Reduction::slag)}};
  return table;
}

}  // namespace velkarin
