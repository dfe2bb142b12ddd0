// SPDX-License-Identifier: Apache-2.0
// The Chinese wording of the core's codes: every sentence the desktop
// program and the command-line tools show for a refused pressure list, a
// stage's issue, a stage solve, a ledger problem or an entry of the plan,
// and the stage and ledger tables with their headings. Numbers in them are
// written by the core's one formatter (calc/number_text.h, fixedText).
#include "words/chinese.h"

#include <array>
#include <cmath>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "calc/stage_solve.h"

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

std::string chinese(const PressureListItems& reading, std::size_t maxItems) {
  if (!reading.problem) return {};
  const std::string item = messageExcerpt(reading.item);
  switch (*reading.problem) {
    case ListProblem::RatioMissingSide:
      return "气体比“" + item + "”缺少一边（写作 氧气:惰性气体，如3:1）";
    case ListProblem::RatioNotANumber:
      return "气体比“" + item + "”不是两个数字（写作 氧气:惰性气体，如3:1）";
    case ListProblem::RatioNegative:
      return "气体比“" + item + "”不能为负";
    case ListProblem::RatioNoOxygen:
      return "气体比“" + item + "”不含氧气，不生成CO";
    case ListProblem::RatioTooSmall:
      return "气体比“" + item + "”的氧气太少：CO分压低于1 Pa";
    case ListProblem::Empty:
      return "请输入至少一个CO分压";
    case ListProblem::TooMany:
      return "CO分压最多" + std::to_string(maxItems) + "个";
    case ListProblem::EmptyItem:
      return "CO分压列表中有空项";
    case ListProblem::NotANumber:
      return "CO分压“" + item + "”不是数字";
    case ListProblem::NotPositive:
      return "CO分压" + item + " Pa不大于0";
  }
  return {};
}

std::string chinese(const BlowStage& stage, const StageResult& r) {
  const auto quoted = [](const std::string& text) { return "“" + messageExcerpt(text) + "”"; };
  switch (r.issue) {
    case StageIssue::None:
      return {};
    case StageIssue::BadMixture:
      return "总压或CO生成率不对";
    case StageIssue::GasEmpty:
      return "未填气体比或CO分压";
    case StageIssue::GasBad:
      return chinese({{}, r.gasProblem, stage.gas}, 1);
    case StageIssue::TemperatureEmpty:
      return "未填温度";
    case StageIssue::TemperatureNotANumber:
      return "温度" + quoted(stage.temperature) + "不是数字";
    case StageIssue::TemperatureOutOfRange:
      return "温度" + quoted(stage.temperature) + "超出数值范围";
    case StageIssue::BelowAbsoluteZero:
      return "温度" + quoted(stage.temperature) + "低于-273℃（0 K）";
    case StageIssue::MeasuredNotPositive:
      return "实测C浓度" + quoted(stage.measuredCarbon) + "不是正数";
    case StageIssue::AtAbsoluteZero:
      return "-273℃即0 K：ΔG与C浓度无关，平衡没有定义";
    case StageIssue::PressureTooSmall:
      return "CO分压太小，其对数超出数值范围：平衡没有定义";
    case StageIssue::NoEquilibrium:
      return "在此温度和CO分压下ΔG超出数值范围：平衡没有定义";
  }
  return {};
}

std::string chinese(const StageSolution& s, double targetCarbon, const TemperatureRange& range, bool temperature) {
  const std::string target = targetText(targetCarbon);
  const std::string pressure = formatPattern(s.coPressure, DigitPattern::Whole);
  const std::string governed = "（" + reactionName(s.governing) + "控制）";
  const auto nearestText = [](const EquilibriumCarbon& c) {
    if (c.carbon) return formatPattern(*c.carbon, DigitPattern::Decimals6);
    return std::string(c.gap == CarbonGap::AboveRange ? ">5000" : c.gap == CarbonGap::BelowRange ? "<0.001" : "—");
  };
  switch (s.status) {
    case SolveStatus::StageProblem:
      return "此阶段不能计算";
    case SolveStatus::AnyRatio:
      return "在" + formatShortest(s.temperatureCelsius) + "℃下纯吹氧（p_CO = 总压" + pressure +
             " Pa）平衡C浓度也不高于" + target + "%C：任何气体比都可以";
    case SolveStatus::Found:
      if (temperature) {
        std::string text = "p_CO = " + pressure + " Pa时，熔池温度" +
                           formatPattern(s.temperatureCelsius, DigitPattern::Decimals3) + "℃使平衡C浓度为" + target +
                           "%C" + governed;
        if (s.otherCelsius) {
          text += "；" + formatPattern(*s.otherCelsius, DigitPattern::Decimals3) + "℃也达到目标";
        }
        return text;
      }
      return "在" + formatShortest(s.temperatureCelsius) + "℃下，气体比O2:惰性气体 = " + ratioText(s.ratio) +
             "（p_CO = " + pressure + " Pa）使平衡C浓度为" + target + "%C" + governed;
    case SolveStatus::NotReachable:
      if (temperature) {
        std::string text = "在" + formatShortest(range.startCelsius) + "～" + formatShortest(range.endCelsius) +
                           "℃之间没有使平衡C浓度达到" + target + "%C的温度（最接近：" + formatShortest(s.nearestAt) +
                           "℃时" + nearestText(s.nearest) + "%C";
        if (s.outsideCelsius) text += "；需要" + formatPattern(*s.outsideCelsius, DigitPattern::Whole) + "℃";
        return text + "）";
      }
      return "在" + formatShortest(s.temperatureCelsius) + "℃下没有使平衡C浓度达到" + target +
             "%C的CO分压（p_CO = " + formatShortest(s.nearestAt) + " Pa时仍为" + nearestText(s.nearest) + "%C）";
  }
  return {};
}

std::string chinese(LedgerProblem problem) {
  switch (problem) {
    case LedgerProblem::NoMass:
      return "请输入炉重W（t）";
    case LedgerProblem::MassNotPositive:
      return "炉重W必须大于0";
    case LedgerProblem::NoStartCarbon:
      return "请输入初始C浓度";
    case LedgerProblem::StartCarbonNotPositive:
      return "初始C浓度必须大于0";
    case LedgerProblem::BadCoShare:
      return "总压或CO生成率η不对";
    case LedgerProblem::BadFesiGrade:
      return "FeSi品位须大于0%、不超过100%";
    case LedgerProblem::BadBasicity:
      return "碱度须大于0";
    case LedgerProblem::BadOxygenFlow:
      return "O2流量须大于0";
    case LedgerProblem::SiliconOrChromiumNegative:
      return "[%Si]、[%Cr]不能为负";
    case LedgerProblem::HeatOutOfRange:
      return "炉重W与[%Si]、[%Cr]之积超出了数值范围";
    case LedgerProblem::StartCarbonOutOfRange:
      return "炉重W与初始%C之积超出了数值范围";
    case LedgerProblem::OxygenFlowTooSmall:
      return "O2流量太小，时间超出了数值范围";
    case LedgerProblem::FesiGradeTooSmall:
      return "FeSi品位太小，FeSi量超出了数值范围";
    case LedgerProblem::BasicityTooLarge:
      return "碱度太大，CaO量超出了数值范围";
    default:
      return {};
  }
}

std::string chinese(const LedgerStage& stage, const BlowStage& typed, const StageResult& result) {
  switch (stage.problem) {
    case LedgerProblem::None:
      return {};
    case LedgerProblem::StageNotRead:
      return chinese(typed, result);
    case LedgerProblem::NoEndCarbon:
      return "没有终点C浓度（实测%C）";
    case LedgerProblem::EndCarbonAboveStart:
      return "终点C浓度" + messageExcerpt(typed.measuredCarbon) + "%高于上一段的" + formatShortest(stage.needed) + "%";
    case LedgerProblem::OxygenNotANumber:
      return "吹氧量“" + messageExcerpt(typed.oxygen) + "”不是正数";
    case LedgerProblem::OxygenBelowCarbon:
      return "吹氧" + messageExcerpt(typed.oxygen) + " Nm³少于脱碳所需的" + fixedText(stage.needed, 1) + " Nm³";
    case LedgerProblem::NoGoverningOxide:
      return "没有控制氧化物，无法计算Cr氧化";
    case LedgerProblem::ChromiumExhausted:
      // An O2 of 1e308 burns an infinite mass: no figure for it.
      return std::isfinite(stage.needed) ? "本段要氧化" + fixedText(stage.needed, 1) + " kg Cr，多于熔池中剩下的" +
                                               fixedText(stage.chromiumLeft, 1) + " kg"
                                         : "吹氧" + messageExcerpt(typed.oxygen) + " Nm³要氧化的Cr多于熔池中剩下的" +
                                               fixedText(stage.chromiumLeft, 1) + " kg";
    case LedgerProblem::OxygenOutOfRange:
      return "吹氧量“" + messageExcerpt(typed.oxygen) + "”使数字超出了数值范围";
    case LedgerProblem::AfterUnknownCarbon:
      return "前一段的终点C浓度未知，无法计算本段的脱碳";
    default:
      return chinese(stage.problem);
  }
}

const char* const ledgerEfficiencyNote = "终点C浓度低于控制氧化物的平衡C浓度：所列数字假设了达不到的脱碳效率";

namespace {

std::string_view entryCaption(PlanEntry entry) {
  switch (entry) {
    case PlanEntry::A:
      return "A";
    case PlanEntry::B:
      return "B";
    case PlanEntry::Chromium:
      return "[%Cr]";
    case PlanEntry::Nickel:
      return "[%Ni]";
    case PlanEntry::Silicon:
      return "[%Si]";
    case PlanEntry::Manganese:
      return "[%Mn]";
    case PlanEntry::TotalPressure:
      return "总压P";
    case PlanEntry::CoShare:
      return "η";
    case PlanEntry::Pressures:
      return "CO分压";
    case PlanEntry::Target:
      return "目标C浓度";
  }
  return {};
}

}  // namespace

std::string chinese(const EntryProblem& problem) {
  const std::string name(entryCaption(problem.entry));
  switch (problem.kind) {
    case EntryProblem::Kind::NotANumber:
      return name + "“" + messageExcerpt(problem.text) + "”不是数字";
    case EntryProblem::Kind::NotPositive:
      return name + "必须大于0";
    case EntryProblem::Kind::AboveOne:
      return name + "不能大于1";
    case EntryProblem::Kind::NoPositiveNumber:
      return name + "“" + messageExcerpt(problem.text) + "”不是正数";
    case EntryProblem::Kind::PressureList:
      return chinese(problem.pressures, maxPlanCurves);
  }
  return {};
}

std::string chinese(const std::optional<EntryProblem>& problem) { return problem ? chinese(*problem) : std::string(); }

std::vector<std::string> chinese(const std::vector<EntryProblem>& problems) {
  std::vector<std::string> texts;
  for (const EntryProblem& problem : problems) texts.push_back(chinese(problem));
  return texts;
}
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

std::string_view stepOverNote() {
  return "以0.000001%C为步长的C浓度试算跨过了0～2 J/mol的判定窗口，没有命中；"
         "此值是反应自由能变ΔG=0的连续解，即与给定状态相平衡的C浓度。";
}

namespace {

constexpr std::string_view noRootAnywhere = "在0.001～5000%C之间没有找到与给定状态相平衡的C浓度值。";

// What the window says where ΔG keeps its sign over 0.001–5000 %C, per side.
struct NoRootTexts {
  CarbonGap gap;
  std::string_view note;    // its note
  std::string_view notice;  // the message after the calculation
};

constexpr std::array<NoRootTexts, 2> noRootTexts{{
    {CarbonGap::BelowRange, "在0.001～5000%C之间ΔG没有变号：平衡C浓度低于0.001%C，在此状态下熔池还可以继续脱碳。",
     "在0.001～5000%C之间没有找到与给定状态相平衡的C浓度值：平衡C浓度低于0.001%C，在此状态下熔池还可以继续脱碳。"},
    {CarbonGap::AboveRange, "在0.001～5000%C之间ΔG没有变号：平衡C浓度高于5000%C。",
     "在0.001～5000%C之间没有找到与给定状态相平衡的C浓度值：平衡C浓度高于5000%C。"},
}};

const NoRootTexts* noRootTextsOf(CarbonGap gap) {
  for (const NoRootTexts& texts : noRootTexts) {
    if (texts.gap == gap) return &texts;
  }
  return nullptr;
}

}  // namespace

std::string_view noRootNote(CarbonGap gap) {
  const NoRootTexts* texts = noRootTextsOf(gap);
  return texts ? texts->note : std::string_view();
}

std::string noRootNotice(const EquilibriumResult& result) {
  if (reportedCarbon(result)) return {};
  const NoRootTexts* texts = noRootTextsOf(result.equilibriumCarbonGap);
  return std::string(texts ? texts->notice : noRootAnywhere);
}

ResultNotes chineseResultNotes() {
  return {stepOverNote(),
          noRootNote(CarbonGap::BelowRange),
          noRootNote(CarbonGap::AboveRange),
          noRootTextsOf(CarbonGap::BelowRange)->notice,
          noRootTextsOf(CarbonGap::AboveRange)->notice,
          noRootAnywhere};
}

std::string_view chinese(FaultKind kind) {
  switch (kind) {
    case FaultKind::InvalidArgument:
      return "无效的参数";
    case FaultKind::TypeMismatch:
      return "类型不匹配";
    case FaultKind::DivisionByZero:
      return "除数为零";
    case FaultKind::Overflow:
      return "溢出";
  }
  return "无效的参数";
}

namespace {

// The name of a subject, or the whole statement of a stated one.
std::string_view subjectWords(FaultSubject subject) {
  switch (subject) {
    case FaultSubject::Temperature:
      return "温度";
    case FaultSubject::Carbon:
      return "C浓度";
    case FaultSubject::Chromium:
      return "Cr浓度";
    case FaultSubject::Nickel:
      return "Ni浓度";
    case FaultSubject::Silicon:
      return "Si浓度";
    case FaultSubject::Manganese:
      return "Mn浓度";
    case FaultSubject::CoPressure:
      return "CO分压";
    case FaultSubject::A:
      return "A";
    case FaultSubject::B:
      return "B";
    case FaultSubject::CarbonActivityLog:
      return "C的活度系数的对数lgfC";
    case FaultSubject::ChromiumActivityLog:
      return "Cr的活度系数的对数lgfCr";
    case FaultSubject::BTimesT:
      return "B·T";
    case FaultSubject::RTimesLn10:
      return "19.147142·T";
    case FaultSubject::FreeEnergyChange:
      return "反应自由能变值";
    case FaultSubject::TemperatureDenominator:
      return "平衡温度的分母";
    case FaultSubject::EquilibriumTemperature:
      return "平衡熔池温度";
    case FaultSubject::PressureExponent:
      return "平衡CO分压的指数";
    case FaultSubject::EquilibriumPressure:
      return "平衡CO分压";
    case FaultSubject::ScanFunction:
      return "C浓度试算方程y值";
    case FaultSubject::LgKSlope:
      return "lgK的系数";
    case FaultSubject::LgKIntercept:
      return "lgK的常数项";
    case FaultSubject::CarbonCoefficient:
      return "C的活度系数fc";
    case FaultSubject::ChromiumCoefficient:
      return "Cr的活度系数fcr";
    case FaultSubject::LgK:
      return "lgK";
    case FaultSubject::EquilibriumConstant:
      return "平衡常数K";
    case FaultSubject::ChromiumActivityPower:
      return "Cr活度的幂";
    case FaultSubject::ConstantOverChromium:
      return "K与Cr活度之比";
    case FaultSubject::PressureFromConstant:
      return "用平衡常数计算出来的CO分压值";
    case FaultSubject::CarbonPressureTerm:
      return "平衡C浓度的分压项";
    case FaultSubject::ChromiumOverConstant:
      return "Cr活度与K之比";
    case FaultSubject::CarbonFromConstant:
      return "由平衡常数计算出来的平衡C浓度值";
    case FaultSubject::PressureUnderflow:
      return "CO分压太小（除以101325后下溢为0），无法计算";
    case FaultSubject::TemperatureDivisorZero:
      return "计算平衡熔池温度时除数为零（B + 19.147142·lgQ = 0）";
    case FaultSubject::PressureDivisorZero:
      return "熔池温度为-273℃（0 K），计算平衡CO分压时除数为零";
    case FaultSubject::ChromiumActivityZero:
      return "Cr的活度为0（下溢），计算CO分压时除数为零";
    case FaultSubject::CarbonCoefficientZero:
      return "C的活度系数fc为0（下溢），计算平衡C浓度时除数为零";
    case FaultSubject::ConstantZero:
      return "平衡常数K为0（下溢），计算平衡C浓度时除数为零";
    case FaultSubject::DisplayNotFinite:
      return "要显示的数值不是有限数";
  }
  return {};
}

std::string faultDetail(const Fault& fault) {
  const std::string subject(subjectWords(fault.subject));
  switch (fault.detail) {
    case FaultDetail::NotValid:
      return subject + "不是有效的数值";
    case FaultDetail::OutOfRange:
      return subject + "超出了数值范围";
    case FaultDetail::NotPositive:
      return subject + "必须大于0";
    case FaultDetail::ConstantOutOfRange:
      return subject + "值超出了数值范围";
    case FaultDetail::ConstantEmpty:
      return subject + "值为空，不是数值";
    case FaultDetail::ConstantNotANumber:
      return subject + "值“" + fault.text + "”不是数值";
    case FaultDetail::AnswerOutOfRange:
      return subject + "的输入值超出了数值范围";
    case FaultDetail::TemperatureNotANumber:
      return subject + "“" + messageExcerpt(fault.text) + "”不是数字";
    case FaultDetail::Stated:
      return subject;
  }
  return subject;
}

}  // namespace

std::string chinese(const Fault& fault) {
  std::string message(chinese(fault.kind));
  message += "：";
  message += faultDetail(fault);
  return message;
}

}  // namespace velkarin
