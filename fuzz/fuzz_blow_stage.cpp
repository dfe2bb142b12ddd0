// SPDX-License-Identifier: Apache-2.0
// Fuzzes the blow stages: a pressure list of ratios and pressures, one stage
// (gas, temperature, measured carbon) and a target, as typed.
//
// Properties beyond "no crash": every item read has a positive, finite CO
// pressure, and a ratio's is at most P; a stage without a problem has the
// pressure of its gas item and a margin only with a measurement; a problem
// leaves nothing computed; a solve that is found gives finite values, a
// temperature within the range drawn and a positive pressure.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/blow_stage.h"
#include "calc/stage_solve.h"
#include "fuzz/fuzz_check.h"
#include "words/chinese.h"

using velkarin::fuzz::check;

namespace {

// The input's lines: list, gas, temperature, measured carbon, target.
std::vector<std::string> fields(std::string_view input) {
  std::vector<std::string> parts;
  for (std::size_t begin = 0; parts.size() < 5;) {
    const std::size_t end = input.find('\n', begin);
    parts.emplace_back(input.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
    if (end == std::string_view::npos) break;
    begin = end + 1;
  }
  parts.resize(5);
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkarin;
  const std::vector<std::string> in = fields(std::string_view(reinterpret_cast<const char*>(data), size));
  const StageSettings settings;

  const PressureListItems list = readPressureItems(in[0], settings.mixture, 12);
  check(list.problem.has_value() == list.items.empty(), "a list is neither good nor refused");
  for (const PressureItem& item : list.items) {
    check(item.coPressure > 0 && std::isfinite(item.coPressure), "an item's pressure is not positive and finite");
    if (item.ratio) check(item.coPressure <= settings.mixture.totalPressure, "a ratio gives more than P");
  }
  if (list.problem) check(!chinese(list, 12).empty(), "a refused list has no message");

  const BlowStage stage{in[1], in[2], in[3]};
  const StageResult r = evaluateStage(stage, settings);
  check((r.issue == StageIssue::None) == chinese(stage, r).empty(), "an issue without a text, or the reverse");
  if (r.issue != StageIssue::None) {
    check(!r.margin, "a stage with an issue has a margin");
    if (!r.read()) return 0;
  }
  check(r.pressure.coPressure > 0 && std::isfinite(r.pressure.coPressure), "a stage's pressure is not positive");
  check(!r.margin || r.measuredCarbon, "a margin without a measurement");
  const std::optional<double> target = readFiniteNumber(in[4]);
  if (!target || !(*target > 0)) return 0;
  const TemperatureRange range;
  for (const bool byTemperature : {true, false}) {
    const StageSolution s =
        byTemperature ? solveStageTemperature(r, settings, *target, range) : solveStagePressure(r, settings, *target);
    if (s.status != SolveStatus::StageProblem) {
      check(!chinese(s, *target, range, byTemperature).empty(), "a solve says nothing");
    }
    // A solved pressure lies in (0, P]; the temperature solve keeps the stage's own.
    if (!byTemperature && s.found()) {
      check(s.coPressure > 0 && s.coPressure <= settings.mixture.totalPressure, "a solved pressure outside (0, P]");
    }
    if (s.status != SolveStatus::Found) continue;
    // The forward check: the answer gives the target.
    const GoverningCarbon g = governingAt(settings, s.temperatureCelsius, s.coPressure);
    check(g.carbon.carbon && std::fabs(*g.carbon.carbon - *target) <= solveTolerance * *target,
          "a found answer misses the target");
    if (byTemperature) {
      check(s.temperatureCelsius >= range.startCelsius && s.temperatureCelsius <= range.endCelsius,
            "a solved temperature outside the range");
    }
  }
  return 0;
}
