// SPDX-License-Identifier: Apache-2.0
// The Chinese sentences of the core's codes (words/chinese.h): a refused
// pressure list, a stage's issue, a stage solve, a ledger problem, an entry
// of the plan, and the notes and notice of the result presentation. The
// faults' words are in chinese_faults.cpp, the stage and ledger tables in
// chinese_tables.cpp. Numbers in them are written by the core's one
// formatter (calc/number_text.h, fixedText).
#include "words/chinese.h"

#include <array>

#include "calc/number_list.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "calc/stage_solve.h"

namespace velkarin {
namespace {

std::string reactionName(Reaction reaction) { return std::string(reactionData(reaction).name); }

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

}  // namespace velkarin
