// SPDX-License-Identifier: Apache-2.0
// A six-stage blow of an 80 t heat simulated in time (calc/blow_simulation.h):
// the path from 1.6 %C to the reduction, as velkarin-curve --simulate runs
// it. Must stay well under 5 ms.

#include <benchmark/benchmark.h>

#include <vector>

#include "calc/blow_simulation.h"
#include "simulation_heat.h"

namespace velkarin {
namespace {

void sixStageBlow(benchmark::State& state) {
  const SimulationHeat heat = test::heat80();
  const auto stage = [](const char* gas, std::optional<double> oxygen, std::optional<double> carbon, double lime,
                        double scrap) { return SimulationStage{gas, oxygen, carbon, lime, scrap, InertGas::Argon}; };
  const std::vector<SimulationStage> stages{
      stage("4:1", {}, 0.8, 2000, 0), stage("3:1", {}, 0.5, 0, 2000), stage("2:1", {}, 0.3, 0, 1000),
      stage("1:1", {}, 0.15, 500, 0), stage("1:2", 250, {}, 0, 0),    stage("1:3", 200, {}, 0, 0),
  };
  std::size_t samples = 0;
  for (auto _ : state) {
    const BlowSimulation sim = simulateBlow(heat, stages);
    samples = sim.path.size();
    benchmark::DoNotOptimize(sim.totals);
  }
  state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(sixStageBlow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velkarin
