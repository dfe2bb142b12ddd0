// SPDX-License-Identifier: Apache-2.0
// The fast carbon scan at absurd but typeable inputs: it must stay a
// bisection and not fall back to testing all 5·10^9 trials one by one.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "calc/calculation.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/result_presentation.h"
#include "tests/support/reference_scan.h"

namespace velkarin {
namespace {

struct ExtremeCase {
  const char* name;
  Reaction reaction;
  ReactionConstants constants;
  MeltState state;
};

void PrintTo(const ExtremeCase& c, std::ostream* os) { *os << c.name; }

class ScanAtExtremes : public ::testing::TestWithParam<ExtremeCase> {};

// At T = 5e303 K ΔG at the entered carbon is finite (about 1e307 J/mol), but
// 19.147142·T times the sum of the activity terms' magnitudes is beyond the
// double range. The scan's error bound must stay finite all the same; the
// walk's last trial overflows (ΔG → −inf at 5000 %C), which is an overflow
// fault of the scan, reached within microseconds.
TEST_P(ScanAtExtremes, FaultsAtTheScanWithoutWalkingEveryTrial) {
  const ExtremeCase& c = GetParam();
  const auto start = std::chrono::steady_clock::now();
  const CalculationOutcome out = computeEquilibrium(c.reaction, c.constants, c.state);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  ASSERT_EQ(out.status, CalculationOutcome::Status::Faulted);
  EXPECT_EQ(out.fault->kind, FaultKind::Overflow);
  EXPECT_EQ(out.reached, ResultField::Scan);
  EXPECT_TRUE(std::isfinite(out.result.freeEnergyChange));
  EXPECT_LT(seconds, 1.0) << "the scan walked instead of bisecting";

  // The plain walk's last trial is where the overflow shows.
  const double a = readConstantText(c.constants.a).value, b = readConstantText(c.constants.b).value;
  const FreeEnergyInputs in{a, b, c.state, std::log(c.state.coPressure / 101325), std::log(c.state.chromium)};
  EXPECT_TRUE(std::isfinite(reference::trialFreeEnergy(c.reaction, in, 0.001)));
  EXPECT_TRUE(std::isinf(reference::trialFreeEnergy(c.reaction, in, 5000)));
}

INSTANTIATE_TEST_SUITE_P(
    HugeTemperature, ScanAtExtremes,
    ::testing::Values(
        ExtremeCase{"Cr2O3", Reaction::Cr2O3, {"739938", "-475.137"}, {5e303, 2.2, 18, 9, 0, 0, 101325}},
        ExtremeCase{"Cr3O4", Reaction::Cr3O4, {"697890", "-461.535"}, {5e303, 0.35, 18, 9, 0, 0, 101325}},
        // Far more chromium and carbon: other terms dominate the bound.
        ExtremeCase{"Cr3O4HighChromium", Reaction::Cr3O4, {"697890", "-461.535"}, {5e303, 2, 1650, 9, 0, 0, 101325}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkarin
