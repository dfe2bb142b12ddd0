// SPDX-License-Identifier: Apache-2.0
// Timings of one whole calculation and of the carbon scan alone.
//
//   Calculation/<case>      computeEquilibrium: every formula, the scan and
//                           the continuous root
//   Scan/<case>/fast        the core's closed-form scan (scanCarbon)
//   Scan/<case>/plain       the same scan walked trial by trial (the reference)
//
//   Root/<case>             the continuous equilibrium carbon alone (signChangeCarbon)
//
// Cases: the two worked examples (preset row 1, all default answers); states
// whose scan steps over its window, where the equilibrium carbon is so low
// that ΔG falls by more than 2 J/mol per trial (a vacuum treatment at 1650 °C
// and 2000 Pa CO, about 0.007 %C; the late blow at 1700 °C and 5000 Pa, about
// 0.012 %C); a bath at 3000 °C, where ΔG is below zero from the first trial on
// (no root in range); and absurd inputs: 1e18 %Cr with A moved to put ΔG's
// zero near 0.3 %C, and terms of 1e100 that cancel. A run-out walked plainly
// takes about 5·10^9 trials, so its plain figure is for the first 10^6 trials
// only; items_per_second gives the trial rate of the plain walk. Each case
// checks once that it computes what it claims before it is timed. Targets:
// any calculation at most 0.1 ms, no absurd input above 10 ms.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "calc/calculation.h"
#include "calc/carbon_scan.h"
#include "calc/equilibrium_curve.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/result_presentation.h"
#include "tests/support/reference_scan.h"

namespace velkarin {
namespace {

struct Case {
  Reaction reaction;
  double a;  // J/mol
  double b;  // J/(mol·K)
  MeltState state;
  bool hits;  // whether its scan meets the window
};

// Preset row 1 and the default answers of each window (1650 °C = 1923 K).
const Case cr2o3Worked{Reaction::Cr2O3, 739938, -475.137, {1923, 2.2, 18, 9, 0, 0, 101325}, true};
const Case cr3o4Worked{Reaction::Cr3O4, 697890, -461.535, {1923, 0.35, 18, 9, 0, 0, 101325}, true};
const Case cr2o3Vacuum{Reaction::Cr2O3, 739938, -475.137, {1923, 2.2, 18, 9, 0, 0, 2000}, false};
const Case cr2o3Hot{Reaction::Cr2O3, 739938, -475.137, {3273, 2.2, 18, 9, 0, 0, 101325}, false};
const Case cr2o3LateBlow{Reaction::Cr2O3, 739938, -475.137, {1973, 0.02, 18, 9, 0.3, 1.2, 5000}, false};
const Case cr3o4Cancelling{
    Reaction::Cr3O4, -1.162596167145819e+103, -447.357, {1434.99 + 273, 0.0999, 15.3, -1e100, 0.33, 0, 200000}, false};

// 1e18 %Cr, A moved so that ΔG(0.3 %C) is 0 (to rounding).
Case hugeChromium() {
  Case c{Reaction::Cr2O3, 0, -475.137, {1923, 0.3, 1e18, 9, 0, 0, 101325}, false};
  const FreeEnergyInputs in{0, c.b, c.state, std::log(c.state.coPressure / 101325), std::log(c.state.chromium)};
  c.a = -Cr2O3FreeEnergy(in)(0.3);
  return c;
}
const Case cr2o3HugeChromium = hugeChromium();

constexpr std::int64_t plainRunOutTrials = 1'000'000;

FreeEnergyInputs inputsOf(const Case& c) {
  return {c.a, c.b, c.state, std::log(c.state.coPressure / 101325), std::log(c.state.chromium)};
}

ScanResult fastScan(const Case& c) {
  const FreeEnergyInputs in = inputsOf(c);
  return withFreeEnergy(c.reaction, in, [](const auto& f) { return scanCarbon(f); });
}

// The drop-down texts of A and B for a case: the shortest text of each double.
ReactionConstants constantsOf(const Case& c) { return {formatShortest(c.a), formatShortest(c.b)}; }

void calculation(benchmark::State& st, const Case& c) {
  const ReactionConstants constants = constantsOf(c);
  const CalculationOutcome check = computeEquilibrium(c.reaction, constants, c.state);
  // The absurd cases fault after the scan (an activity coefficient underflows to 0).
  if (!check.computed(ResultField::Scan) || check.result.scanHit != c.hits) {
    st.SkipWithError("the case does not compute as described");
    return;
  }
  for (auto _ : st) {
    CalculationOutcome out = computeEquilibrium(c.reaction, constants, c.state);
    benchmark::DoNotOptimize(out);
  }
}

void root(benchmark::State& st, const Case& c) {
  const FreeEnergyInputs in = inputsOf(c);
  for (auto _ : st) {
    EquilibriumCarbon r = withFreeEnergy(c.reaction, in, [](const auto& f) { return signChangeCarbon(f); });
    benchmark::DoNotOptimize(r);
  }
}

void fast(benchmark::State& st, const Case& c) {
  if (fastScan(c).hit != c.hits) {
    st.SkipWithError("the case does not scan as described");
    return;
  }
  const FreeEnergyInputs in = inputsOf(c);
  for (auto _ : st) {
    ScanResult r = withFreeEnergy(c.reaction, in, [](const auto& f) { return scanCarbon(f); });
    benchmark::DoNotOptimize(r);
  }
}

// The plain walk; a scan that runs out is cut after plainRunOutTrials trials.
void plain(benchmark::State& st, const Case& c) {
  const FreeEnergyInputs in = inputsOf(c);
  const std::int64_t limit = c.hits ? std::int64_t{5'000'000'000} : plainRunOutTrials;
  const ScanResult check = reference::plainCarbonScan(c.reaction, in, limit);
  const ScanResult expected = fastScan(c);
  if (c.hits && (!check.hit || check.trialCarbon != expected.trialCarbon || check.trialCount != expected.trialCount)) {
    st.SkipWithError("the plain walk does not find the fast scan's hit");
    return;
  }
  const std::int64_t trials = check.trialCount.value_or(0) + (check.hit ? 1 : 0);
  for (auto _ : st) {
    ScanResult r = reference::plainCarbonScan(c.reaction, in, limit);
    benchmark::DoNotOptimize(r);
  }
  st.SetItemsProcessed(st.iterations() * trials);
}

BENCHMARK_CAPTURE(calculation, Cr2O3, cr2o3Worked)->Name("Calculation/Cr2O3/worked")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculation, Cr3O4, cr3o4Worked)->Name("Calculation/Cr3O4/worked")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculation, Vacuum, cr2o3Vacuum)
    ->Name("Calculation/Cr2O3/step-over-vacuum")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculation, Hot, cr2o3Hot)->Name("Calculation/Cr2O3/no-root-hot")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculation, LateBlow, cr2o3LateBlow)
    ->Name("Calculation/Cr2O3/step-over-late-blow")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculation, HugeChromium, cr2o3HugeChromium)
    ->Name("Calculation/Cr2O3/absurd-chromium-1e18")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(calculation, Cancelling, cr3o4Cancelling)
    ->Name("Calculation/Cr3O4/absurd-cancelling-terms")
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_CAPTURE(root, Cr2O3, cr2o3Worked)->Name("Root/Cr2O3/worked")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(root, LateBlow, cr2o3LateBlow)->Name("Root/Cr2O3/step-over-late-blow")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(root, HugeChromium, cr2o3HugeChromium)
    ->Name("Root/Cr2O3/absurd-chromium-1e18")
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_CAPTURE(fast, Cr2O3, cr2o3Worked)->Name("Scan/Cr2O3/fast")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plain, Cr2O3, cr2o3Worked)->Name("Scan/Cr2O3/plain")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fast, Cr3O4, cr3o4Worked)->Name("Scan/Cr3O4/fast")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plain, Cr3O4, cr3o4Worked)->Name("Scan/Cr3O4/plain")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fast, Vacuum, cr2o3Vacuum)->Name("Scan/Cr2O3-step-over-vacuum/fast")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(plain, Vacuum, cr2o3Vacuum)
    ->Name("Scan/Cr2O3-step-over-vacuum/plain-first-1000000-trials")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velkarin
