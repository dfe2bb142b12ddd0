// SPDX-License-Identifier: Apache-2.0
#pragma once

// Test doubles of the calculation's two interfaces: prompts answered from a
// script, and a sink that records every hand-off in order.

#include <optional>
#include <string>
#include <vector>

#include "calc/melt_state_input.h"
#include "calc/result_presentation.h"

namespace velkarin {

// Answers prompt i with answers[i]; nullopt means Cancel, unless useDefaults
// is set, in which case nullopt confirms the pre-filled default.
class ScriptedPrompts : public PromptSource {
 public:
  explicit ScriptedPrompts(std::vector<std::optional<std::string>> answers, bool useDefaults = false)
      : answers_(std::move(answers)), useDefaults_(useDefaults) {}

  std::optional<std::string> ask(const Prompt& prompt) override;

  std::vector<Prompt> asked;

 private:
  std::vector<std::optional<std::string>> answers_;
  bool useDefaults_;
};

// Short name of a result text in RecordingSink::events.
const char* handOffName(ResultText quantity);

class RecordingSink : public ResultSink {
 public:
  void setOutput(ResultText quantity, const std::string& text, const std::string& note) override;
  void appendResultLine(const std::string& line) override;
  void setClipboard(const std::optional<std::string>& text) override;
  void notify(const std::string& message) override;

  std::optional<std::string>& text(ResultText q) { return texts[static_cast<std::size_t>(q)]; }
  const std::string& note(ResultText q) const { return notes[static_cast<std::size_t>(q)]; }

  std::optional<std::string> texts[resultTextCount];  // unset: never written
  std::string notes[resultTextCount];                 // the note of each quantity's last text
  std::vector<std::string> lines;
  std::optional<std::string> clipboard;
  bool clipboardSet = false;
  std::vector<std::string> notices;
  std::vector<std::string> events;  // hand-offs in order: handOffName of each text, "line", …
};

// The B text (J/(mol·K)) with which Cr2O3 row 1's A at the default state
// (1650 °C, 2.2 %C, 18 %Cr, 9 %Ni, 101325 Pa) gives p_eq ≈ 10^305: finite,
// while p_eq · 101325 Pa is beyond the double range.
std::string overflowingPressureB();

}  // namespace velkarin
