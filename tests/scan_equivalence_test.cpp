// SPDX-License-Identifier: Apache-2.0
// The fast carbon scan against the plain trial-by-trial walk, bit for bit, on
// random realistic melt states of both reactions and on states built to put a
// trial right at an edge of the (0, 2) J/mol window.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "calc/carbon_scan.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "tests/support/reference_scan.h"

namespace velkarin {
namespace {

// splitmix64: the same sequence on every platform and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A value in [low, high] with `decimals` decimals, as an engineer would type it.
  double typed(double low, double high, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const auto steps = static_cast<std::uint64_t>(std::llround((high - low) * scale));
    return readConstantText(formatShortest(low + static_cast<double>(next() % (steps + 1)) / scale)).value;
  }
  std::size_t index(std::size_t size) { return static_cast<std::size_t>(next() % size); }

 private:
  std::uint64_t state_;
};

struct ScanCase {
  std::string name;
  Reaction reaction;
  FreeEnergyInputs inputs;
};

FreeEnergyInputs inputsFor(double a, double b, const MeltState& s) {
  return {a, b, s, std::log(s.coPressure / 101325), std::log(s.chromium)};
}

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

ScanCase realisticCase(Random& random, int number, double minCelsius, double maxCelsius) {
  const Reaction reaction = random.next() % 2 ? Reaction::Cr2O3 : Reaction::Cr3O4;
  const auto& presets = reactionData(reaction).presets;
  const PresetRow& row = presets[random.index(presets.size())];
  MeltState s;
  s.temperature = random.typed(minCelsius, maxCelsius, 0) + 273;
  s.carbon = random.typed(0.05, 3, 2);
  s.chromium = random.typed(5, 30, 1);
  s.nickel = random.typed(0, 20, 1);
  s.silicon = random.typed(0, 1, 2);
  s.manganese = random.typed(0, 2, 2);
  s.coPressure = random.typed(2000, 101325, 0);
  const double a = readConstantText(row.a).value;
  const double b = readConstantText(row.b).value;
  return {"realistic_" + std::to_string(number), reaction, inputsFor(a, b, s)};
}

// Whether the equilibrium carbon lies in 0.03–4 %C by the reference formula:
// there ΔG falls by well under 2 J/mol per trial (no step-over below about
// 2400 °C), and the walk hits within walkLimit trials.
bool hitsEarly(const ScanCase& c) {
  return reference::trialFreeEnergy(c.reaction, c.inputs, 0.03) > 2 &&
         reference::trialFreeEnergy(c.reaction, c.inputs, 4.0) < 0;
}

// A realistic state up to 1700 °C whose walk hits early; a late-blow state
// whose equilibrium carbon lies below 0.03 %C is drawn again.
ScanCase earlyHitCase(Random& random, int number) {
  ScanCase c = realisticCase(random, number, 1400, 1700);
  while (!hitsEarly(c)) c = realisticCase(random, number, 1400, 1700);
  return c;
}

// Moves A so that ΔG at trial `index` is `target` J/mol (to rounding): the
// scan's decision there then hangs on the last bits.
ScanCase edgeCase(Random& random, int number, double target) {
  ScanCase c = earlyHitCase(random, number);
  if (random.next() % 4 == 0) c.inputs.state.temperature = -random.typed(1, 2000, 0);  // ΔG rising with c
  const auto index = 30'000 + static_cast<std::int64_t>(random.next() % 1'500'000);    // 0.031–1.531 %C
  const double trial = TrialSequence::scanSequence().value(index);
  c.inputs.a += target - reference::trialFreeEnergy(c.reaction, c.inputs, trial);
  c.name = "edge_" + std::to_string(number);
  return c;
}

// States every plain walk can finish within walkLimit trials.
std::vector<ScanCase> cases(std::uint64_t seed, int realistic, int edges) {
  Random random(seed);
  std::vector<ScanCase> all;
  for (int i = 0; i < realistic; ++i) all.push_back(earlyHitCase(random, i));
  for (int i = 0; i < edges; ++i) all.push_back(edgeCase(random, i, i % 2 ? 2.0 : 0.0));
  return all;
}

ScanResult fastScan(const ScanCase& c) {
  return withFreeEnergy(c.reaction, c.inputs, [](const auto& f) { return scanCarbon(f); });
}

void expectSame(const ScanResult& fast, const ScanResult& plain, const std::string& name) {
  EXPECT_EQ(fast.hit, plain.hit) << name;
  EXPECT_EQ(fast.trialCarbon, plain.trialCarbon) << name;
  EXPECT_EQ(fast.trialFreeEnergy, plain.trialFreeEnergy) << name;
  EXPECT_EQ(fast.trialCount, plain.trialCount) << name;
}

// The walk is cut at this many trials; every state of a table must end
// sooner, since a walk that runs out (5·10^9 trials, half a minute) belongs
// in the long suite.
constexpr std::int64_t walkLimit = 4'000'000;

void expectSameScans(const std::vector<ScanCase>& all) {
  std::size_t compared = 0;
  for (const ScanCase& c : all) {
    const ScanResult plain = reference::plainCarbonScan(c.reaction, c.inputs, walkLimit);
    if (!plain.hit && plain.trialCount == walkLimit) {
      ADD_FAILURE() << c.name << ": the plain walk did not end within " << walkLimit << " trials";
      continue;
    }
    expectSame(fastScan(c), plain, c.name);
    ++compared;
  }
  EXPECT_EQ(compared, all.size());
}

TEST(ScanEquivalence, RandomRealisticAndEdgeStates) { expectSameScans(cases(20261209, 240, 120)); }

// VELKARIN_LONG_TESTS=1: thousands more, and walks that run out.
TEST(ScanEquivalenceLong, ThousandsMoreStates) {
  if (!std::getenv("VELKARIN_LONG_TESTS")) GTEST_SKIP() << "set VELKARIN_LONG_TESTS=1 to run";
  expectSameScans(cases(99, 3000, 2000));
}

// Above 2000 °C the equilibrium carbon is low and ΔG falls by more than
// 2 J/mol per trial near its zero: the scan steps over the window and walks
// on to 5000 %C (a few still hit). Each state is walked in full.
std::vector<ScanCase> runOutCases() {
  Random random(7);
  std::vector<ScanCase> all;
  for (int i = 0; i < 10; ++i) all.push_back(realisticCase(random, i, 2000, 2600));
  // Cr2O3 row 1 at 3000 °C: the equilibrium carbon lies below 0.001 %C.
  all.push_back({"below_range", Reaction::Cr2O3, inputsFor(739938, -475.137, {3273, 0.01, 18, 9, 0, 0, 101325})});
  return all;
}

class ScanEquivalenceRunOut : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanEquivalenceRunOut, MatchesTheFullWalk) {
  if (!std::getenv("VELKARIN_LONG_TESTS")) GTEST_SKIP() << "set VELKARIN_LONG_TESTS=1 to run";
  const ScanCase& c = GetParam();
  expectSame(fastScan(c), reference::plainCarbonScan(c.reaction, c.inputs), c.name);
}

INSTANTIATE_TEST_SUITE_P(Long, ScanEquivalenceRunOut, ::testing::ValuesIn(runOutCases()),
                         [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace velkarin
