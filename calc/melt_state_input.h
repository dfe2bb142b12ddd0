// SPDX-License-Identifier: Apache-2.0
#pragma once

// The opening sequence of a calculation: seven modal prompts, one after the
// other, whose answers fill a MeltState.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "calc/fault.h"
#include "calc/records.h"

namespace velkarin {

// One prompt as the dialog shows it.
struct Prompt {
  std::string_view text;      // "请输入熔池实际温度值", …
  std::string_view title;     // "温度值℃", …
  std::string defaultAnswer;  // pre-filled text: the default's shortest decimal form
};

// Where the answers come from: a real input dialog in the window, a table in
// the tests. ask() returns the confirmed text, or nothing when the user
// cancelled (distinct from an empty confirmed answer).
class PromptSource {
 public:
  virtual ~PromptSource() = default;
  virtual std::optional<std::string> ask(const Prompt& prompt) = 0;
};

// The fields of MeltState in prompt order.
enum class MeltField { Temperature, Carbon, Chromium, Nickel, Silicon, Manganese, CoPressure };

inline constexpr std::size_t promptCount = 7;

struct PromptRow {
  MeltField field;
  std::string_view text;
  std::string_view title;
};

// The quantity a field's answer is, as a fault names it.
FaultSubject faultSubjectOf(MeltField field);

// The seven prompts in the order they are asked.
const std::array<PromptRow, promptCount>& promptRows();

// The default answer of a prompt for a reaction (°C for the temperature).
double promptDefault(Reaction reaction, MeltField field);

// Stores an answer's value (°C for the temperature) into its field of state.
void setMeltField(MeltState& state, MeltField field, double value);

// The user cancelled a prompt: the calculation ends with nothing changed.
struct Cancelled {};

// Asks the seven prompts with the reaction's defaults and fills a MeltState.
// Returns Cancelled as soon as a prompt is cancelled, or a Fault when an
// answer's number is beyond the double range (no further prompt is asked).
std::variant<MeltState, Cancelled, Fault> readMeltState(Reaction reaction, PromptSource& prompts);

// Reads one answer by the leading-number rule into its field of state;
// throws FaultError (overflow) when the number is beyond the double range.
void applyAnswer(MeltState& state, const PromptRow& row, std::string_view answer);

}  // namespace velkarin
