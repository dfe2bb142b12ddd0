#include "calc/result_presentation.h"

#include "calc/number_text.h"
#include "calc/reaction_data.h"

namespace velkarin {

using constants::kelvinOffset;
using constants::standardPressure;

std::string trialCountText(const std::optional<std::int64_t>& count) {
  return count ? std::to_string(*count) : std::string();
}

std::string resultLine(const MeltState& state, const EquilibriumResult& result) {
  const char* sep = "   ";
  std::string line = "t=" + formatPattern(state.temperature - kelvinOffset, DigitPattern::Whole4);
  line += sep + std::string("c=") + formatPattern(state.carbon, DigitPattern::Decimals3);
  line += sep + std::string("cr=") + formatPattern(state.chromium, DigitPattern::Decimals3);
  line += sep + std::string("Pco=") + formatPattern(state.coPressure, DigitPattern::Whole);
  line += sep + std::string("G=") + formatPattern(result.freeEnergyChange, DigitPattern::Whole6);
  line += sep + std::string("teq=") +
          formatPattern(result.equilibriumTemperature - kelvinOffset, DigitPattern::Whole4) + "℃";
  line += sep + std::string("pcoeq=") +
          formatPattern(result.equilibriumPressureRatio * standardPressure, DigitPattern::Whole);
  line += sep + std::string("ceq=") +
          (result.scanHit ? formatPattern(result.trialCarbon, DigitPattern::Decimals3) : std::string("未找到"));
  line += sep + std::string("ccc=") + formatPattern(result.carbonFromConstant, DigitPattern::Decimals3);
  return line;
}

std::string_view scanRunOutNotice() { return "在0.001～5000%C之间没有找到与给定状态相平衡的C浓度值。"; }

void presentFirstResults(ResultSink& sink, const EquilibriumResult& result) {
  sink.setOutput(OutputBox::Text1, formatPattern(result.equilibriumTemperature - kelvinOffset, DigitPattern::Whole));
  sink.setOutput(OutputBox::Text2,
                 formatPattern(result.equilibriumPressureRatio * standardPressure, DigitPattern::Whole));
  sink.setOutput(OutputBox::Text3, formatPattern(result.freeEnergyChange, DigitPattern::Whole));
}

void presentScan(ResultSink& sink, const EquilibriumResult& result) {
  if (result.scanHit) {
    sink.setOutput(OutputBox::Text4, formatPattern(result.trialCarbon, DigitPattern::Decimals6));
    sink.setOutput(OutputBox::Text5, formatPattern(result.trialFreeEnergy, DigitPattern::Decimals6));
    sink.setOutput(OutputBox::Text6, trialCountText(result.trialCount));
  } else {
    // No equilibrium carbon was found: the boxes must not go on showing
    // another state's scan results.
    sink.setOutput(OutputBox::Text4, std::string());
    sink.setOutput(OutputBox::Text5, std::string());
    sink.setOutput(OutputBox::Text6, std::string());
  }
}

void presentPressureFromConstant(ResultSink& sink, const EquilibriumResult& result) {
  sink.setOutput(OutputBox::Text7, formatPattern(result.pressureFromConstant, DigitPattern::Whole));
}

void presentCarbonFromConstant(ResultSink& sink, const EquilibriumResult& result) {
  sink.setOutput(OutputBox::Text8, formatPattern(result.carbonFromConstant, DigitPattern::Decimals6));
}

void presentCompletion(ResultSink& sink, const MeltState& state, const EquilibriumResult& result) {
  sink.appendResultLine(resultLine(state, result));
  if (result.scanHit) {
    sink.setClipboard(formatPattern(result.trialCarbon, DigitPattern::Decimals6));
  } else {
    sink.setClipboard(std::nullopt);
    sink.notify(std::string(scanRunOutNotice()));
  }
}

}  // namespace velkarin
