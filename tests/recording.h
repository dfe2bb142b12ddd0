#pragma once

// Test doubles of the calculation's two interfaces: prompts answered from a
// script, and a sink that records every hand-off in order.

#include <optional>
#include <string>
#include <vector>

#include "calc/free_energy.h"
#include "calc/melt_state_input.h"
#include "calc/number_text.h"
#include "calc/result_presentation.h"

namespace velkarin {

// Answers prompt i with answers[i]; nullopt means Cancel, unless useDefaults
// is set, in which case nullopt confirms the pre-filled default.
class ScriptedPrompts : public PromptSource {
 public:
  explicit ScriptedPrompts(std::vector<std::optional<std::string>> answers, bool useDefaults = false)
      : answers_(std::move(answers)), useDefaults_(useDefaults) {}

  std::optional<std::string> ask(const Prompt& prompt) override {
    asked.push_back(prompt);
    const std::size_t i = asked.size() - 1;
    const std::optional<std::string> answer = i < answers_.size() ? answers_[i] : std::nullopt;
    if (!answer && useDefaults_) return prompt.defaultAnswer;
    return answer;
  }

  std::vector<Prompt> asked;

 private:
  std::vector<std::optional<std::string>> answers_;
  bool useDefaults_;
};

class RecordingSink : public ResultSink {
 public:
  void setOutput(OutputBox box, const std::string& text, const std::string& note) override {
    boxes[static_cast<int>(box) - 1] = text;
    notes[static_cast<int>(box) - 1] = note;
    events.push_back("Text" + std::to_string(static_cast<int>(box)));
  }
  void appendResultLine(const std::string& line) override {
    lines.push_back(line);
    events.push_back("line");
  }
  void setClipboard(const std::optional<std::string>& text) override {
    clipboard = text;
    clipboardSet = true;
    events.push_back("clipboard");
  }
  void notify(const std::string& message) override {
    notices.push_back(message);
    events.push_back("notice");
  }

  const std::optional<std::string>& box(int number) const { return boxes[number - 1]; }

  std::optional<std::string> boxes[8];  // unset: never written
  std::string notes[8];                 // the note of each box's last text
  std::vector<std::string> lines;
  std::optional<std::string> clipboard;
  bool clipboardSet = false;
  std::vector<std::string> notices;
  std::vector<std::string> events;  // hand-offs in order
};

// The B text (J/(mol·K)) with which Cr2O3 row 1's A at the default state
// (1650 °C, 2.2 %C, 18 %Cr, 9 %Ni, 101325 Pa) gives p_eq ≈ 10^305: finite,
// while p_eq · 101325 Pa is beyond the double range.
inline std::string overflowingPressureB() {
  const MeltState s{1923, 2.2, 18, 9, 0, 0, 101325};
  const double rt = 19.147142 * s.temperature;
  const double s0 = Cr2O3FreeEnergy({739938, 0, s, 0, std::log(s.chromium)}).logSumWithoutPressure(s.carbon);
  return formatShortest(((-739938 - rt * s0) - 305 * 3 * rt) / s.temperature);
}

}  // namespace velkarin
