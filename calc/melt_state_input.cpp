// SPDX-License-Identifier: Apache-2.0
#include "calc/melt_state_input.h"

#include <cmath>

#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {

const std::array<PromptRow, promptCount>& promptRows() {
  static const std::array<PromptRow, promptCount> rows{{
      {MeltField::Temperature, "请输入熔池实际温度值", "温度值℃"},
      {MeltField::Carbon, "请输入熔池实际C浓度", "C浓度值"},
      {MeltField::Chromium, "请输入熔池实际Cr浓度", "Cr浓度值"},
      {MeltField::Nickel, "请输入熔池实际Ni浓度", "Ni浓度值"},
      {MeltField::Silicon, "请输入熔池实际Si浓度", "Si浓度值"},
      {MeltField::Manganese, "请输入熔池实际Mn浓度", "Mn浓度值"},
      {MeltField::CoPressure, "请输入熔池实际CO分压", "CO分压值"},
  }};
  return rows;
}

FaultSubject faultSubjectOf(MeltField field) {
  switch (field) {
    case MeltField::Temperature:
      return FaultSubject::Temperature;
    case MeltField::Carbon:
      return FaultSubject::Carbon;
    case MeltField::Chromium:
      return FaultSubject::Chromium;
    case MeltField::Nickel:
      return FaultSubject::Nickel;
    case MeltField::Silicon:
      return FaultSubject::Silicon;
    case MeltField::Manganese:
      return FaultSubject::Manganese;
    case MeltField::CoPressure:
      return FaultSubject::CoPressure;
  }
  return FaultSubject::Temperature;
}

double promptDefault(Reaction reaction, MeltField field) {
  switch (field) {
    case MeltField::Temperature:
      return 1650;  // °C
    case MeltField::Carbon:
      return reactionData(reaction).defaultCarbon;
    case MeltField::Chromium:
      return 18;
    case MeltField::Nickel:
      return 9;
    case MeltField::Silicon:
      return 0;
    case MeltField::Manganese:
      return 0;
    case MeltField::CoPressure:
      return 101325;  // Pa
  }
  return 0;
}

void setMeltField(MeltState& state, MeltField field, double value) {
  switch (field) {
    case MeltField::Temperature:
      state.temperature = value + 273;
      break;
    case MeltField::Carbon:
      state.carbon = value;
      break;
    case MeltField::Chromium:
      state.chromium = value;
      break;
    case MeltField::Nickel:
      state.nickel = value;
      break;
    case MeltField::Silicon:
      state.silicon = value;
      break;
    case MeltField::Manganese:
      state.manganese = value;
      break;
    case MeltField::CoPressure:
      state.coPressure = value;
      break;
  }
}

void applyAnswer(MeltState& state, const PromptRow& row, std::string_view answer) {
  const ReadResult read = readLeadingNumber(answer);
  if (read.error) {
    raiseFault(FaultKind::Overflow, FaultDetail::AnswerOutOfRange, faultSubjectOf(row.field));
  }
  setMeltField(state, row.field, read.value);
}

std::variant<MeltState, Cancelled, Fault> readMeltState(Reaction reaction, PromptSource& prompts) {
  MeltState state;
  for (const PromptRow& row : promptRows()) {
    const Prompt prompt{row.text, row.title, formatShortest(promptDefault(reaction, row.field))};
    const std::optional<std::string> answer = prompts.ask(prompt);
    if (!answer) return Cancelled{};
    try {
      applyAnswer(state, row, *answer);
    } catch (const FaultError& error) {
      return error.fault();
    }
  }
  return state;
}

}  // namespace velkarin
