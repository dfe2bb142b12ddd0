// SPDX-License-Identifier: Apache-2.0
// Checks the trial-by-trial reference scan itself: it must give the worked
// examples' scan results, agree with the core's fast scan bit for bit, and
// stop at a trial limit as documented (the benchmark relies on that).

#include "tests/support/reference_scan.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "calc/carbon_scan.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"

namespace velkarin {
namespace {

FreeEnergyInputs inputsOf(double a, double b, const MeltState& s) {
  return {a, b, s, std::log(s.coPressure / 101325), std::log(s.chromium)};
}

ScanResult fastScan(Reaction reaction, const FreeEnergyInputs& in) {
  return withFreeEnergy(reaction, in, [](const auto& f) { return scanCarbon(f); });
}

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

struct ScanCase {
  const char* name;
  Reaction reaction;
  double a;  // J/mol
  double b;  // J/(mol·K)
  MeltState state;
  // Expected as the window shows them: Text4, Text5 ("0.000000"), Text6.
  std::string trialCarbon;
  std::string trialFreeEnergy;
  std::optional<std::int64_t> trialCount;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class ReferenceScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ReferenceScan, GivesTheWorkedResultsAndMatchesTheFastScanBitForBit) {
  const ScanCase& c = GetParam();
  const FreeEnergyInputs in = inputsOf(c.a, c.b, c.state);
  const ScanResult plain = reference::plainCarbonScan(c.reaction, in);

  ASSERT_TRUE(plain.hit);
  EXPECT_EQ(formatPattern(plain.trialCarbon, DigitPattern::Decimals6), c.trialCarbon);
  EXPECT_EQ(formatPattern(plain.trialFreeEnergy, DigitPattern::Decimals6), c.trialFreeEnergy);
  EXPECT_EQ(plain.trialCount, c.trialCount);

  const ScanResult fast = fastScan(c.reaction, in);
  EXPECT_EQ(fast.hit, plain.hit);
  EXPECT_EQ(bits(fast.trialCarbon), bits(plain.trialCarbon));
  EXPECT_EQ(bits(fast.trialFreeEnergy), bits(plain.trialFreeEnergy));
  EXPECT_EQ(fast.trialCount, plain.trialCount);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, ReferenceScan,
                         ::testing::Values(ScanCase{"Cr2O3",
                                                    Reaction::Cr2O3,
                                                    739938,
                                                    -475.137,
                                                    {1923, 2.2, 18, 9, 0, 0, 101325},
                                                    "0.326346",
                                                    "1.888809",
                                                    325346},
                                           // The scan does not depend on the entered carbon content.
                                           ScanCase{"Cr2O3AtC035",
                                                    Reaction::Cr2O3,
                                                    739938,
                                                    -475.137,
                                                    {1923, 0.35, 18, 9, 0, 0, 101325},
                                                    "0.326346",
                                                    "1.888809",
                                                    325346},
                                           ScanCase{"Cr3O4",
                                                    Reaction::Cr3O4,
                                                    697890,
                                                    -461.535,
                                                    {1923, 0.35, 18, 9, 0, 0, 101325},
                                                    "0.299878",
                                                    "1.920888",
                                                    298878}),
                         [](const auto& row) { return std::string(row.param.name); });

// A run that the first trial already hits keeps its count empty; A is chosen
// so that ΔG at 0.001 %C is about 1 J/mol.
TEST(ReferenceScanEdges, FirstTrialHitLeavesTheCountEmpty) {
  const MeltState s{1923, 2.2, 18, 9, 0, 0, 101325};
  const double withoutA = reference::cr2o3TrialFreeEnergy(inputsOf(0, -475.137, s), 0.001);
  const FreeEnergyInputs in = inputsOf(1 - withoutA, -475.137, s);

  const ScanResult plain = reference::plainCarbonScan(Reaction::Cr2O3, in);
  ASSERT_TRUE(plain.hit);
  EXPECT_EQ(plain.trialCarbon, 0.001);
  EXPECT_FALSE(plain.trialCount.has_value());

  const ScanResult fast = fastScan(Reaction::Cr2O3, in);
  EXPECT_TRUE(fast.hit);
  EXPECT_EQ(bits(fast.trialFreeEnergy), bits(plain.trialFreeEnergy));
  EXPECT_FALSE(fast.trialCount.has_value());
}

// With a trial limit the walk ends as if the scan ended there: no hit, the
// count is the limit, and the trial value is the next accumulated one.
TEST(ReferenceScanEdges, TrialLimitEndsTheWalkLikeARunOut) {
  const FreeEnergyInputs in = inputsOf(739938, -475.137, {1923, 2.2, 18, 9, 0, 0, 101325});
  constexpr std::int64_t limit = 1000;
  const ScanResult cut = reference::plainCarbonScan(Reaction::Cr2O3, in, limit);
  EXPECT_FALSE(cut.hit);
  EXPECT_EQ(cut.trialCount, limit);
  double last = 0.001;  // trial limit − 1, accumulated as the scan does
  for (std::int64_t i = 1; i < limit; ++i) last += 0.000001;
  EXPECT_EQ(bits(cut.trialCarbon), bits(last + 0.000001));
  EXPECT_EQ(bits(cut.trialFreeEnergy), bits(reference::cr2o3TrialFreeEnergy(in, last)));
}

}  // namespace
}  // namespace velkarin
