// SPDX-License-Identifier: Apache-2.0
#include "tests/support/recording.h"

#include <cmath>

#include "calc/free_energy.h"
#include "calc/number_text.h"

namespace velkarin {

std::optional<std::string> ScriptedPrompts::ask(const Prompt& prompt) {
  asked.push_back(prompt);
  const std::size_t i = asked.size() - 1;
  const std::optional<std::string> answer = i < answers_.size() ? answers_[i] : std::nullopt;
  if (!answer && useDefaults_) return prompt.defaultAnswer;
  return answer;
}

const char* handOffName(ResultText quantity) {
  constexpr const char* names[resultTextCount]{"teq", "pcoeq", "G", "ceq", "y", "trials", "pcoK", "ccc"};
  return names[static_cast<std::size_t>(quantity)];
}

void RecordingSink::setOutput(ResultText quantity, const std::string& text, const std::string& note) {
  texts[static_cast<std::size_t>(quantity)] = text;
  notes[static_cast<std::size_t>(quantity)] = note;
  events.push_back(handOffName(quantity));
}
void RecordingSink::appendResultLine(const std::string& line) {
  lines.push_back(line);
  events.push_back("line");
}
void RecordingSink::setClipboard(const std::optional<std::string>& text) {
  clipboard = text;
  clipboardSet = true;
  events.push_back("clipboard");
}
void RecordingSink::notify(const std::string& message) {
  notices.push_back(message);
  events.push_back("notice");
}

std::string overflowingPressureB() {
  const MeltState s{1923, 2.2, 18, 9, 0, 0, 101325};
  const double rt = 19.147142 * s.temperature;
  const double s0 = Cr2O3FreeEnergy({739938, 0, s, 0, std::log(s.chromium)}).logSumWithoutPressure(s.carbon);
  return formatShortest(((-739938 - rt * s0) - 305 * 3 * rt) / s.temperature);
}

}  // namespace velkarin
