// SPDX-License-Identifier: Apache-2.0
// The simulation's k and L fitted to a heat log of 1,000 heats of 5 stages
// (made by the simulation with noise): the fit to all heats and the 5-fold
// cross-validation, on two threads; must take under 10 s. And reading such
// a log (5,000 rows) into heats: under 1 s.

#include <benchmark/benchmark.h>

#include "calc/blow_calibration.h"
#include "io/heat_log.h"
#include "synthetic_heats.h"

namespace velkarin {
namespace {

const std::vector<LoggedHeat>& thousandHeats() {
  static const std::vector<LoggedHeat> heats = test::syntheticHeatLog(1000, 5, 0.45, 2.0, 0.10, 10, 2026);
  return heats;
}

void calibrateThousandHeats(benchmark::State& state) {
  const std::vector<LoggedHeat>& heats = thousandHeats();
  Calibration fit;
  for (auto _ : state) {
    fit = calibrateBlow(heats);
    benchmark::DoNotOptimize(fit.rateConstant);
  }
  if (fit.problem != CalibrationProblem::None) state.SkipWithError("no fit");
  state.counters["k"] = fit.rateConstant;
  state.counters["L"] = fit.heatLoss;
  state.counters["iterations"] = static_cast<double>(fit.iterations);
}
BENCHMARK(calibrateThousandHeats)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void readThousandHeatLog(benchmark::State& state) {
  const std::string csv = test::heatLogCsv(thousandHeats());
  std::size_t heats = 0;
  for (auto _ : state) {
    heats = readHeatLog(csv, SimulationHeat{}).heats.size();
    benchmark::DoNotOptimize(heats);
  }
  state.counters["heats"] = static_cast<double>(heats);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * csv.size()));
}
BENCHMARK(readThousandHeatLog)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velkarin
