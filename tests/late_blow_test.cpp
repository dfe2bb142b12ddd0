// SPDX-License-Identifier: Apache-2.0
// The late blow: the equilibrium carbon where the 0.000001 %C scan steps over
// its window, the states without a root in range, and absurd inputs that the
// scan must still decide as the plain walk would.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/calculation.h"
#include "calc/equilibrium_curve.h"
#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "tests/support/recording.h"
#include "tests/support/reference_scan.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

FreeEnergyInputs inputsFor(double a, double b, const MeltState& s) {
  return {a, b, s, std::log(s.coPressure / 101325), std::log(s.chromium)};
}

// An independent bracketing of the sign change of the reference ΔG(c):
// bisection on ln c until the bracket is two adjacent doubles. Empty when ΔG
// has one sign at both ends of [0.001, 5000].
std::optional<double> bisectedRoot(Reaction reaction, const FreeEnergyInputs& in) {
  double lo = 0.001, hi = 5000;
  const double sLo = std::copysign(1.0, reference::trialFreeEnergy(reaction, in, lo));
  if (std::copysign(1.0, reference::trialFreeEnergy(reaction, in, hi)) == sLo) return std::nullopt;
  while (std::nextafter(lo, hi) < hi) {
    double mid = std::sqrt(lo) * std::sqrt(hi);
    if (!(mid > lo && mid < hi)) mid = lo + (hi - lo) / 2;
    if (std::copysign(1.0, reference::trialFreeEnergy(reaction, in, mid)) == sLo) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

struct LateBlowCase {
  const char* name;
  Reaction reaction;
  double celsius;
  double carbon, chromium, nickel, silicon, manganese;  // mass %
  double coPressure;                                    // Pa
};

void PrintTo(const LateBlowCase& c, std::ostream* os) { *os << c.name; }

class StepOver : public ::testing::TestWithParam<LateBlowCase> {};

// Where ΔG falls by more than 2 J/mol from one trial to the next near its
// zero, no trial lands in (0, 2): the window shows the continuous root,
// marked, and the list line and clipboard carry it.
TEST_P(StepOver, ShowsTheContinuousRootMarked) {
  const LateBlowCase& c = GetParam();
  const PresetRow& row = reactionData(c.reaction).presets.front();
  const MeltState s{c.celsius + 273, c.carbon, c.chromium, c.nickel, c.silicon, c.manganese, c.coPressure};
  const CalculationOutcome out = computeEquilibrium(c.reaction, {std::string(row.a), std::string(row.b)}, s);
  ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
  const EquilibriumResult& r = out.result;
  ASSERT_FALSE(r.scanHit);

  const FreeEnergyInputs in = inputsFor(readConstantText(row.a).value, readConstantText(row.b).value, s);
  const ScanResult walk = reference::plainCarbonScan(c.reaction, in, 2'000'000);
  EXPECT_FALSE(walk.hit) << "the walk hits within its first 2·10^6 trials";
  const std::optional<double> expected = bisectedRoot(c.reaction, in);
  ASSERT_TRUE(expected && r.equilibriumCarbon);
  EXPECT_NEAR(*r.equilibriumCarbon, *expected, 1e-9 * *expected);
  EXPECT_EQ(r.equilibriumCarbonGap, CarbonGap::None);
  EXPECT_LT(std::fabs(r.equilibriumCarbonFreeEnergy), 1e-6);

  RecordingSink sink;
  presentOutcome(sink, out, chineseResultNotes());
  const std::string shown = formatPattern(*r.equilibriumCarbon, DigitPattern::Decimals6);
  EXPECT_EQ(sink.text(ResultText::ScanCarbon), shown);
  EXPECT_EQ(sink.note(ResultText::ScanCarbon), stepOverNote());
  EXPECT_EQ(sink.text(ResultText::ScanFreeEnergy),
            formatPattern(r.equilibriumCarbonFreeEnergy, DigitPattern::Decimals6));
  EXPECT_EQ(sink.text(ResultText::TrialCount), "");
  EXPECT_EQ(sink.note(ResultText::ScanFreeEnergy) + sink.note(ResultText::TrialCount), "");
  ASSERT_EQ(sink.lines.size(), 1u);
  const std::string ceq = "   ceq=" + formatPattern(*r.equilibriumCarbon, DigitPattern::Decimals3) + "   ccc=";
  EXPECT_NE(sink.lines[0].find(ceq), std::string::npos) << sink.lines[0];
  EXPECT_EQ(sink.clipboard, shown);
  EXPECT_TRUE(sink.notices.empty()) << "no notice after a step-over";
}

INSTANTIATE_TEST_SUITE_P(
    LowPressure, StepOver,
    ::testing::Values(LateBlowCase{"Cr2O3_1700C_5000Pa", Reaction::Cr2O3, 1700, 0.02, 18, 9, 0.3, 1.2, 5000},
                      LateBlowCase{"Cr2O3_1650C_2000Pa", Reaction::Cr2O3, 1650, 0.02, 18, 9, 0, 0, 2000},
                      LateBlowCase{"Cr3O4_1750C_2000Pa", Reaction::Cr3O4, 1750, 0.02, 12, 9, 0.3, 1.2, 2000},
                      LateBlowCase{"Cr3O4_1800C_2000Pa", Reaction::Cr3O4, 1800, 0.03, 25, 9, 0, 0, 2000}),
    [](const auto& row) { return std::string(row.param.name); });

// A hit keeps every scan figure; the continuous root is computed beside it.
TEST(Hit, KeepsTheScansFiguresAndAddsTheRoot) {
  const MeltState s{1923, 0.35, 18, 9, 0, 0, 101325};
  const CalculationOutcome out = computeEquilibrium(Reaction::Cr3O4, {"697890", "-461.535"}, s);
  ASSERT_TRUE(out.result.scanHit);
  EXPECT_EQ(out.result.trialCarbon, reference::plainCarbonScan(Reaction::Cr3O4, 697890, -461.535, s).trialCarbon);
  ASSERT_TRUE(out.result.equilibriumCarbon);
  EXPECT_GT(*out.result.equilibriumCarbon, out.result.trialCarbon);  // the scan stops just short of the zero
  EXPECT_LT(*out.result.equilibriumCarbon, out.result.trialCarbon + 0.00002);
  RecordingSink sink;
  presentOutcome(sink, out, chineseResultNotes());
  for (const std::string& note : sink.notes) EXPECT_EQ(note, "");
  EXPECT_EQ(sink.clipboard, "0.299878");
}

struct NoRootCase {
  const char* name;
  ReactionConstants constants;
  MeltState state;
  CarbonGap gap;
  std::string text4;
  bool completes;  // above 5000 %C the equilibrium constant underflows at C_K: a fault after PressureFromConstant
};

void PrintTo(const NoRootCase& c, std::ostream* os) { *os << c.name; }

class NoRoot : public ::testing::TestWithParam<NoRootCase> {};

TEST_P(NoRoot, NamesTheSideInTheCarbonTextAndTheNotice) {
  const NoRootCase& c = GetParam();
  RecordingSink sink;
  sink.text(ResultText::ScanFreeEnergy) = "1.888809";  // an earlier calculation's scan result
  const CalculationOutcome out = computeEquilibrium(Reaction::Cr2O3, c.constants, c.state);
  presentOutcome(sink, out, chineseResultNotes());
  EXPECT_FALSE(out.result.scanHit);
  EXPECT_FALSE(out.result.equilibriumCarbon);
  EXPECT_EQ(out.result.equilibriumCarbonGap, c.gap);
  EXPECT_EQ(sink.text(ResultText::ScanCarbon), c.text4);
  EXPECT_EQ(sink.note(ResultText::ScanCarbon), noRootNote(c.gap));
  EXPECT_NE(sink.note(ResultText::ScanCarbon), "");
  EXPECT_EQ(sink.text(ResultText::ScanFreeEnergy), "");
  EXPECT_EQ(sink.text(ResultText::TrialCount), "");
  if (!c.completes) {
    EXPECT_EQ(out.status, CalculationOutcome::Status::Faulted);
    EXPECT_TRUE(sink.lines.empty());
    return;
  }
  ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_NE(sink.lines[0].find("   ceq=未找到   ccc="), std::string::npos) << sink.lines[0];
  EXPECT_TRUE(sink.clipboardSet);
  EXPECT_FALSE(sink.clipboard.has_value());
  ASSERT_EQ(sink.notices.size(), 1u);
  EXPECT_NE(sink.notices[0].find("低于0.001%C"), std::string::npos) << sink.notices[0];
  EXPECT_EQ(sink.events.back(), "notice");
}

INSTANTIATE_TEST_SUITE_P(
    BothSides, NoRoot,
    ::testing::Values(
        // At 3000 °C the equilibrium carbon of the Cr2O3 reaction lies below 0.001 %C.
        NoRootCase{
            "below", {"739938", "-475.137"}, {3273, 0.01, 18, 9, 0, 0, 101325}, CarbonGap::BelowRange, "<0.001", true},
        // At 10 K ΔG stays positive up to 5000 %C.
        NoRootCase{
            "above", {"739938", "-475.137"}, {10, 2.2, 18, 9, 0, 0, 101325}, CarbonGap::AboveRange, ">5000", false}),
    [](const auto& row) { return std::string(row.param.name); });

// Absurd but typeable inputs: compositions of 1e15 % and more with A moved so
// that ΔG is zero near 0.3 %C, huge A, B and T, and huge terms that cancel.
// The scan decides them in a bisection (their time is in the benchmark); its
// answer must be the plain walk's as far as the walk can be followed here
// (the whole walk with VELKARIN_LONG_TESTS=1).
struct AbsurdCase {
  const char* name;
  Reaction reaction;
  double a, b;  // A (NaN: moved to put ΔG(0.3 %C) at 0), B
  MeltState state;
};

void PrintTo(const AbsurdCase& c, std::ostream* os) { *os << c.name; }

class AbsurdInputs : public ::testing::TestWithParam<AbsurdCase> {};

TEST_P(AbsurdInputs, ScanAnswersAsTheWalkAndTheRootIsBracketed) {
  const AbsurdCase& c = GetParam();
  FreeEnergyInputs in = inputsFor(std::isnan(c.a) ? 0 : c.a, c.b, c.state);
  if (std::isnan(c.a)) in.a = -reference::trialFreeEnergy(c.reaction, in, 0.3);
  const ScanResult fast = withFreeEnergy(c.reaction, in, [](const auto& f) { return scanCarbon(f); });
  const bool longRun = std::getenv("VELKARIN_LONG_TESTS") != nullptr;
  const std::int64_t limit = longRun ? std::numeric_limits<std::int64_t>::max() : 1'000'000;
  const ScanResult walk = reference::plainCarbonScan(c.reaction, in, limit);
  if (walk.hit || walk.trialCount != limit) {
    EXPECT_EQ(fast.hit, walk.hit);
    EXPECT_EQ(fast.trialCarbon, walk.trialCarbon);
    EXPECT_EQ(fast.trialFreeEnergy, walk.trialFreeEnergy);
    EXPECT_EQ(fast.trialCount, walk.trialCount);
  } else {
    EXPECT_TRUE(!fast.hit || fast.trialCount.value_or(0) >= limit) << "the scan hits where the walk does not";
  }

  // At these magnitudes ΔG is a staircase of rounded values, flat at 0 over a
  // stretch or jumping across it: any c where it is 0, or where it changes
  // sign between neighbouring doubles, is a correct root.
  const EquilibriumCarbon root = withFreeEnergy(c.reaction, in, [](const auto& f) { return signChangeCarbon(f); });
  const auto g = [&](double x) { return reference::trialFreeEnergy(c.reaction, in, x); };
  const bool oneSign = (g(0.001) > 0 && g(5000) > 0) || (g(0.001) < 0 && g(5000) < 0);
  ASSERT_EQ(root.carbon.has_value(), !oneSign);
  if (root.carbon) {
    const double below = g(std::nextafter(*root.carbon, 0.0)), at = g(*root.carbon);
    const double above = g(std::nextafter(*root.carbon, 1e300));
    EXPECT_TRUE(at == 0 || (below > 0 && at < 0) || (below < 0 && at > 0) || (at > 0 && above < 0) ||
                (at < 0 && above > 0))
        << "no sign change at " << *root.carbon << ": " << below << ", " << at << ", " << above;
  }
}

constexpr double tuned = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Family, AbsurdInputs,
    ::testing::Values(
        AbsurdCase{"Cr2O3_chromium_1e15", Reaction::Cr2O3, tuned, -475.137, {1923, 0.3, 1e15, 9, 0, 0, 101325}},
        AbsurdCase{"Cr3O4_chromium_1e15", Reaction::Cr3O4, tuned, -461.535, {1923, 0.3, 1e15, 9, 0, 0, 101325}},
        AbsurdCase{"Cr2O3_chromium_1e16", Reaction::Cr2O3, tuned, -475.137, {1923, 0.3, 1e16, 9, 0, 0, 101325}},
        AbsurdCase{"Cr3O4_chromium_1e17", Reaction::Cr3O4, tuned, -461.535, {1923, 0.3, 1e17, 9, 0, 0, 101325}},
        AbsurdCase{"Cr2O3_chromium_1e18", Reaction::Cr2O3, tuned, -475.137, {1923, 0.3, 1e18, 9, 0, 0, 101325}},
        AbsurdCase{"Cr3O4_chromium_1e18", Reaction::Cr3O4, tuned, -461.535, {1923, 0.3, 1e18, 9, 0, 0, 101325}},
        AbsurdCase{"Cr2O3_nickel_1e18", Reaction::Cr2O3, tuned, -475.137, {1923, 0.3, 18, 1e18, 0, 0, 101325}},
        AbsurdCase{"Cr3O4_silicon_1e18", Reaction::Cr3O4, tuned, -461.535, {1923, 0.3, 18, 9, 1e18, 0, 101325}},
        AbsurdCase{"Cr2O3_manganese_1e18", Reaction::Cr2O3, tuned, -475.137, {1923, 0.3, 18, 9, 0, 1e18, 101325}},
        AbsurdCase{"Cr3O4_manganese_1e17", Reaction::Cr3O4, tuned, -461.535, {1923, 0.3, 18, 9, 0, 1e17, 101325}},
        AbsurdCase{"Cr2O3_chromium_1e12", Reaction::Cr2O3, tuned, -475.137, {1923, 0.3, 1e12, 9, 0, 0, 101325}},
        AbsurdCase{"Cr2O3_huge_A_B", Reaction::Cr2O3, 1e300, -1e296, {1923, 0.3, 18, 9, 0, 0, 101325}},
        AbsurdCase{"Cr3O4_huge_T", Reaction::Cr3O4, 697890, -461.535, {1e250, 0.3, 18, 9, 0, 0, 101325}},
        AbsurdCase{
            "Cr2O3_small_T_huge_chromium", Reaction::Cr2O3, tuned, -475.137, {0.001, 0.3, 1e18, 9, 0, 0, 101325}},
        // Terms of 1e100 that cancel: ΔG is flat at its rounding near 0.
        AbsurdCase{"Cr3O4_cancelling_terms",
                   Reaction::Cr3O4,
                   -1.162596167145819e+103,
                   -447.357,
                   {1434.99 + 273, 0.0999, 15.3, -1e100, 0.33, 0, 200000}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkarin
