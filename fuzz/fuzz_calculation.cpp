// SPDX-License-Identifier: Apache-2.0
// Fuzzes a whole Calculate action from text: the input's first byte picks the
// reaction (its lowest bit), the rest is split into lines: A, B, then the
// seven prompt answers (a missing line confirms the prompt's default).
//
// Properties: the action completes or faults, never anything else; a
// completed one has only finite results, a scan hit inside its window at a
// trial between 0.001 and 5000 %C, or a run-out with every trial counted;
// and a hit within the first 20 000 trials is the trial-by-trial walk's hit,
// bit for bit.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calculation.h"
#include "calc/carbon_scan.h"
#include "calc/number_text.h"
#include "calc/result_presentation.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/recording.h"
#include "tests/support/reference_scan.h"
#include "words/chinese.h"

using velkarin::fuzz::check;
using velkarin::fuzz::sameBits;

namespace {

constexpr std::int64_t walkedTrials = 20000;  // hits this early are also walked plainly

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void checkCompleted(velkarin::Reaction reaction, const velkarin::ReactionConstants& constants,
                    const velkarin::CalculationOutcome& out) {
  const velkarin::EquilibriumResult& r = out.result;
  check(out.reached == velkarin::ResultField::All, "a completed calculation did not reach every field");
  for (double x : {r.freeEnergyChange, r.equilibriumTemperature, r.equilibriumPressureRatio, r.trialCarbon,
                   r.trialFreeEnergy, r.carbonCoefficient, r.chromiumCoefficient, r.equilibriumConstant,
                   r.pressureFromConstant, r.carbonFromConstant}) {
    check(std::isfinite(x), "a completed calculation has a result that is not finite");
  }
  const velkarin::TrialSequence& trials = velkarin::TrialSequence::scanSequence();
  if (!r.scanHit) {
    check(r.trialCarbon > 5000, "a run-out does not end beyond 5000 %C");
    check(r.trialCount == trials.size(), "a run-out does not count every trial");
    return;
  }
  check(r.trialFreeEnergy > 0 && r.trialFreeEnergy < 2, "a hit outside the window (0, 2) J/mol");
  check(r.trialCarbon >= 0.001 && r.trialCarbon <= 5000, "a hit outside 0.001 … 5000 %C");
  check(!r.trialCount || (*r.trialCount >= 1 && *r.trialCount < trials.size()), "a hit with an impossible count");
  check(sameBits(r.trialCarbon, trials.value(r.trialCount.value_or(0))), "the hit is not the trial of its count");

  if (r.trialCount.value_or(0) < walkedTrials) {
    const double a = velkarin::readConstantText(constants.a).value;
    const double b = velkarin::readConstantText(constants.b).value;
    const velkarin::ScanResult walked = velkarin::reference::plainCarbonScan(reaction, a, b, out.state, walkedTrials);
    check(walked.hit, "the walk does not hit where the fast scan does");
    check(sameBits(walked.trialCarbon, r.trialCarbon) && sameBits(walked.trialFreeEnergy, r.trialFreeEnergy) &&
              walked.trialCount == r.trialCount,
          "the walk's hit differs from the fast scan's");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const velkarin::Reaction reaction = (data[0] & 1) ? velkarin::Reaction::Cr3O4 : velkarin::Reaction::Cr2O3;
  std::vector<std::string> lines = splitLines(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  lines.resize(2 + velkarin::promptCount);
  const velkarin::ReactionConstants constants{lines[0], lines[1]};
  std::vector<std::optional<std::string>> answers;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    answers.push_back(lines[i].empty() ? std::nullopt : std::optional<std::string>(lines[i]));
  }

  velkarin::ScriptedPrompts prompts(answers, /*useDefaults=*/true);
  velkarin::NullResultSink sink;
  const velkarin::CalculationOutcome out =
      velkarin::runCalculation(reaction, constants, prompts, sink, velkarin::chineseResultNotes());
  switch (out.status) {
    case velkarin::CalculationOutcome::Status::Completed:
      checkCompleted(reaction, constants, out);
      break;
    case velkarin::CalculationOutcome::Status::Faulted:
      check(out.fault.has_value() && !velkarin::chinese(*out.fault).empty(), "a fault without a message");
      break;
    case velkarin::CalculationOutcome::Status::Cancelled:
      check(false, "no prompt was cancelled");
      break;
  }
  return 0;
}
