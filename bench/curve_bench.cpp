// SPDX-License-Identifier: Apache-2.0
// The whole default equilibrium diagram: 4 CO pressures × 1400–1900 °C at
// 1 °C (2004 roots), as the diagram window recomputes it on every change; and
// one root alone. The diagram must stay well under 50 ms. Also a blow stage
// evaluated (two roots) and the two inverse solves, each under 1 ms.

#include <benchmark/benchmark.h>

#include "calc/blow_ledger.h"
#include "calc/blow_stage.h"
#include "calc/equilibrium_curve.h"
#include "calc/number_text.h"
#include "calc/stage_solve.h"
#include "cli/stage_command.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

void defaultFamily(benchmark::State& state, Reaction reaction) {
  CurveFamilyInputs in;
  in.reaction = reaction;
  in.line = presetLine(reaction);
  for (auto _ : state) {
    std::vector<EquilibriumCurve> curves = equilibriumCurveFamily(in);
    benchmark::DoNotOptimize(curves.data());
  }
  state.counters["roots"] =
      benchmark::Counter(static_cast<double>(in.coPressures.size() * curveTemperatures(in.temperatures).size()),
                         benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(defaultFamily, Cr2O3, Reaction::Cr2O3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(defaultFamily, Cr3O4, Reaction::Cr3O4)->Unit(benchmark::kMillisecond);

void defaultFamilyAsText(benchmark::State& state) {
  const std::vector<EquilibriumCurve> curves = equilibriumCurveFamily({});
  for (auto _ : state) {
    std::string text = curveFamilyTsv(curves);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(defaultFamilyAsText)->Unit(benchmark::kMillisecond);

void oneRoot(benchmark::State& state) {
  const ReactionLine line = presetLine(Reaction::Cr2O3);
  double t = 1650;
  for (auto _ : state) {
    benchmark::DoNotOptimize(t);
    EquilibriumCarbon c = equilibriumCarbon(Reaction::Cr2O3, line, t, 101325, {});
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(oneRoot);

void stageEvaluation(benchmark::State& state) {
  const StageSettings settings;
  const BlowStage stage{"1:1", "1680", "0.15"};
  for (auto _ : state) {
    StageResult r = evaluateStage(stage, settings);
    benchmark::DoNotOptimize(r.margin);
  }
}
BENCHMARK(stageEvaluation)->Unit(benchmark::kMicrosecond);

void inverseSolves(benchmark::State& state, bool temperature) {
  const StageSettings settings;
  const StageResult stage = evaluateStage({"1:1", "1680", "0.15"}, settings);
  for (auto _ : state) {
    StageSolution s =
        temperature ? solveStageTemperature(stage, settings, 0.1, {}) : solveStagePressure(stage, settings, 0.1);
    benchmark::DoNotOptimize(s.coPressure);
  }
}
BENCHMARK_CAPTURE(inverseSolves, temperature, true)->Unit(benchmark::kMicrosecond);

// velkarin-curve --stages on a file of the most stages it takes (100,000):
// read through the streaming CSV reader, every stage evaluated and the table
// made. Target: well under a second.
void largestStageFile(benchmark::State& state) {
  std::string text = "gas,t,C\n";
  for (std::size_t i = 0; i < maxStages; ++i) text += i % 2 ? "3:1,1600,0.60\n" : "1:3,1720,0.04\n";
  const StageSettings settings;
  for (auto _ : state) {
    StringSource source(text);
    auto read = readStages(source);
    const auto& stages = std::get<StageDocument>(read).stages;
    std::vector<StageResult> results;
    results.reserve(stages.size());
    for (const BlowStage& stage : stages) results.push_back(evaluateStage(stage, settings));
    const std::string table = stageTableTsv(stageTable(stages, results));
    benchmark::DoNotOptimize(table.size());
  }
}
BENCHMARK(largestStageFile)->Unit(benchmark::kMillisecond);

// The blow ledger of a 12-stage schedule (stages evaluated beforehand, as
// the diagram has them). Target: well under 1 ms.
void ledgerOfTwelveStages(benchmark::State& state) {
  StageSettings settings;
  settings.composition.silicon = 0.3;
  std::vector<BlowStage> stages;
  for (int i = 0; i < 12; ++i) {
    stages.push_back({i < 4   ? "4:1"
                      : i < 8 ? "1:1"
                              : "1:3",
                      std::to_string(1580 + 12 * i), formatShortest(1.4 - 0.11 * i), i % 2 ? "" : "300"});
  }
  std::vector<StageResult> results;
  for (const BlowStage& stage : stages) results.push_back(evaluateStage(stage, settings));
  HeatCharge heat;
  heat.massTonnes = 80;
  heat.startCarbon = 1.5;
  heat.silicon = 0.3;
  heat.oxygenFlow = 60;
  for (auto _ : state) {
    const BlowLedger ledger = blowLedger(stages, results, heat, settings.mixture);
    const std::string text = ledgerTsv(ledgerTable(stages, results, ledger));
    benchmark::DoNotOptimize(text.size());
  }
}
BENCHMARK(ledgerOfTwelveStages)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(inverseSolves, ratio, false)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velkarin
