// SPDX-License-Identifier: Apache-2.0
#include "calc/calculation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc/free_energy.h"
#include "calc/number_text.h"
#include "tests/support/recording.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

struct WorkedExample {
  const char* name;
  Reaction reaction;
  ReactionConstants constants;
  std::vector<std::string> texts;  // in ResultText order
  std::string line;
  std::string clipboard;
};

void PrintTo(const WorkedExample& ex, std::ostream* os) { *os << ex.name; }

class WorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExamples, ComeOutExactlyWithAllDefaults) {
  const WorkedExample& ex = GetParam();
  ScriptedPrompts prompts(std::vector<std::optional<std::string>>(7, std::nullopt), /*useDefaults=*/true);
  RecordingSink sink;
  const CalculationOutcome out = runCalculation(ex.reaction, ex.constants, prompts, sink, chineseResultNotes());
  ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
  for (std::size_t q = 0; q < resultTextCount; ++q) {
    EXPECT_EQ(sink.texts[q], ex.texts[q]) << handOffName(static_cast<ResultText>(q));
  }
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(sink.lines[0], ex.line);
  ASSERT_TRUE(sink.clipboard.has_value());
  EXPECT_EQ(*sink.clipboard, ex.clipboard);
  EXPECT_TRUE(sink.notices.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothReactions, WorkedExamples,
    ::testing::Values(
        WorkedExample{"Cr2O3",
                      Reaction::Cr2O3,
                      {"739938", "-475.137"},
                      {"1349", "1764649", "-137074", "0.326346", "1.888809", "325346", "1764505", "0.126333"},
                      "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   "
                      "ceq=0.326   ccc=0.126",
                      "0.326346"},
        WorkedExample{"Cr3O4",
                      Reaction::Cr3O4,
                      {"697890", "-461.535"},
                      {"1626", "121437", "-8686", "0.299878", "1.920888", "298878", "121465", "0.291967"},
                      "t=1650   c=0.350   cr=18.000   Pco=101325   G=-008686   teq=1626℃   pcoeq=121437   "
                      "ceq=0.300   ccc=0.292",
                      "0.299878"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkarin

namespace velkarin {
namespace {

const std::vector<std::string> allHandOffs{"teq",    "pcoeq", "G",   "ceq",  "y",
                                           "trials", "pcoK",  "ccc", "line", "clipboard"};
const std::vector<std::string> firstSix{"teq", "pcoeq", "G", "ceq", "y", "trials"};

// Answers in prompt order: t (°C), C, Cr, Ni, Si, Mn, pCO (Pa).
std::vector<std::optional<std::string>> answers(std::string t, std::string c, std::string cr = "18",
                                                std::string ni = "9", std::string si = "0", std::string mn = "0",
                                                std::string p = "101325") {
  return {t, c, cr, ni, si, mn, p};
}

struct FaultCase {
  const char* name;
  Reaction reaction;
  ReactionConstants constants;
  std::vector<std::optional<std::string>> answers;
  FaultKind kind;
  std::string messagePart;            // the message names the input or quantity
  std::vector<std::string> handOffs;  // what reached the window before the fault
  ResultField reached;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, StopWithExactlyTheEarlierHandOffsDone) {
  const FaultCase& c = GetParam();
  ScriptedPrompts prompts(c.answers);
  RecordingSink sink;
  const CalculationOutcome out = runCalculation(c.reaction, c.constants, prompts, sink, chineseResultNotes());
  ASSERT_EQ(out.status, CalculationOutcome::Status::Faulted);
  ASSERT_TRUE(out.fault.has_value());
  EXPECT_EQ(out.fault->kind, c.kind);
  EXPECT_NE(chinese(*out.fault).find(c.messagePart), std::string::npos) << chinese(*out.fault);
  EXPECT_EQ(sink.events, c.handOffs);
  EXPECT_TRUE(sink.lines.empty());
  EXPECT_FALSE(sink.clipboardSet);
  EXPECT_EQ(out.reached, c.reached);
}

const ReactionConstants cr2o3Row1{"739938", "-475.137"};
const ReactionConstants cr3o4Row1{"697890", "-461.535"};

INSTANTIATE_TEST_SUITE_P(InOrderOfTheSteps, Faults,
                         ::testing::Values(FaultCase{"pressure_underflows",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("1650", "2.2", "18", "9", "0", "0", "1e-320"),
                                                     FaultKind::InvalidArgument,
                                                     "CO分压太小",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"pressure_in_pa_overflows",
                                                     Reaction::Cr2O3,
                                                     {"739938", overflowingPressureB()},
                                                     answers("1650", "2.2"),
                                                     FaultKind::Overflow,
                                                     "平衡CO分压",
                                                     {},
                                                     ResultField::EquilibriumPressure},
                                           FaultCase{"carbon_zero",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("1650", "0"),
                                                     FaultKind::InvalidArgument,
                                                     "C浓度必须大于0",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"empty_carbon_answer_reads_as_zero",
                                                     Reaction::Cr3O4,
                                                     cr3o4Row1,
                                                     answers("1650", ""),
                                                     FaultKind::InvalidArgument,
                                                     "C浓度必须大于0",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"chromium_negative",
                                                     Reaction::Cr3O4,
                                                     cr3o4Row1,
                                                     answers("1650", "0.35", "-1"),
                                                     FaultKind::InvalidArgument,
                                                     "Cr浓度必须大于0",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"pressure_zero_before_bad_a",
                                                     Reaction::Cr2O3,
                                                     {"abc", "-475.137"},
                                                     answers("1650", "2.2", "18", "9", "0", "0", "0"),
                                                     FaultKind::InvalidArgument,
                                                     "CO分压必须大于0",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"pressure_before_chromium_and_carbon",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("1650", "0", "0", "9", "0", "0", "-5"),
                                                     FaultKind::InvalidArgument,
                                                     "CO分压",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"a_not_a_number",
                                                     Reaction::Cr2O3,
                                                     {"abc", "-475.137"},
                                                     answers("1650", "2.2"),
                                                     FaultKind::TypeMismatch,
                                                     "A值“abc”",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"b_before_a",
                                                     Reaction::Cr3O4,
                                                     {"x", "y"},
                                                     answers("1650", "0.35"),
                                                     FaultKind::TypeMismatch,
                                                     "B值",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"a_empty",
                                                     Reaction::Cr2O3,
                                                     {"", "-475.137"},
                                                     answers("1650", "2.2"),
                                                     FaultKind::TypeMismatch,
                                                     "A值为空",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"a_beyond_range",
                                                     Reaction::Cr2O3,
                                                     {"1e400", "-475.137"},
                                                     answers("1650", "2.2"),
                                                     FaultKind::Overflow,
                                                     "A值",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"answer_beyond_range",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("1650", "1e400"),
                                                     FaultKind::Overflow,
                                                     "C浓度",
                                                     {},
                                                     ResultField::FreeEnergyChange},
                                           FaultCase{"absolute_zero_temperature",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("-273", "2.2"),
                                                     FaultKind::DivisionByZero,
                                                     "-273",
                                                     {},
                                                     ResultField::EquilibriumPressureRatio},
                                           FaultCase{"absolute_zero_cr3o4",
                                                     Reaction::Cr3O4,
                                                     cr3o4Row1,
                                                     answers("-273", "0.35"),
                                                     FaultKind::DivisionByZero,
                                                     "-273",
                                                     {},
                                                     ResultField::EquilibriumPressureRatio},
                                           FaultCase{"equilibrium_pressure_overflow",
                                                     Reaction::Cr2O3,
                                                     {"-1e6", "-475.137"},
                                                     answers("-272.999", "2.2"),
                                                     FaultKind::Overflow,
                                                     "平衡CO分压",
                                                     {},
                                                     ResultField::EquilibriumPressureRatio},
                                           FaultCase{"carbon_coefficient_overflow",
                                                     Reaction::Cr2O3,
                                                     {"1e8", "-475.137"},
                                                     answers("1650", "2.2", "18", "9", "0", "-30000"),
                                                     FaultKind::Overflow,
                                                     "fc",
                                                     firstSix,
                                                     ResultField::CarbonCoefficient},
                                           FaultCase{"carbon_coefficient_overflow_cr3o4",
                                                     Reaction::Cr3O4,
                                                     {"1e8", "-475.137"},
                                                     answers("1650", "0.35", "18", "9", "0", "-30000"),
                                                     FaultKind::Overflow,
                                                     "fc",
                                                     firstSix,
                                                     ResultField::CarbonCoefficient},
                                           FaultCase{"constant_underflows_at_low_temperature",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("-272.999", "2.2"),
                                                     FaultKind::DivisionByZero,
                                                     "平衡常数K为0",
                                                     {"teq", "pcoeq", "G", "ceq", "y", "trials", "pcoK"},
                                                     ResultField::CarbonFromConstant},
                                           FaultCase{"carbon_coefficient_underflows",
                                                     Reaction::Cr2O3,
                                                     cr2o3Row1,
                                                     answers("1650", "2.2", "100000"),
                                                     FaultKind::DivisionByZero,
                                                     "fc为0",
                                                     {"teq", "pcoeq", "G", "ceq", "y", "trials", "pcoK"},
                                                     ResultField::CarbonFromConstant}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Faults, TemperatureDenominatorZeroIsADivisionByZero) {
  // B chosen so that B + 19.147142·X(C) is exactly 0 at the default state.
  const MeltState state{1923, 2.2, 18, 9, 0, 0, 101325};
  const Cr2O3FreeEnergy f({739938, 0, state, std::log(state.coPressure / 101325), std::log(state.chromium)});
  const double b = -(19.147142 * f.logSum(state.carbon));
  RecordingSink sink;
  const CalculationOutcome out = computeEquilibrium(Reaction::Cr2O3, {"739938", formatShortest(b)}, state);
  presentOutcome(sink, out, chineseResultNotes());
  ASSERT_EQ(out.status, CalculationOutcome::Status::Faulted);
  EXPECT_EQ(out.fault->kind, FaultKind::DivisionByZero);
  EXPECT_TRUE(sink.events.empty());
}

TEST(Faults, EmptyAStillAsksAllSevenPrompts) {
  ScriptedPrompts prompts({}, /*useDefaults=*/true);
  RecordingSink sink;
  runCalculation(Reaction::Cr2O3, {"", "-475.137"}, prompts, sink, chineseResultNotes());
  EXPECT_EQ(prompts.asked.size(), 7u);
}

TEST(Cancel, EndsTheCalculationAtOnceWithNothingHandedOn) {
  ScriptedPrompts prompts({"1650", "2.2", std::nullopt, "9"});
  RecordingSink sink;
  const CalculationOutcome out = runCalculation(Reaction::Cr2O3, cr2o3Row1, prompts, sink, chineseResultNotes());
  EXPECT_EQ(out.status, CalculationOutcome::Status::Cancelled);
  EXPECT_FALSE(out.fault.has_value());
  EXPECT_EQ(prompts.asked.size(), 3u);
  EXPECT_TRUE(sink.events.empty());
}

TEST(Completion, HandsOffInTheFixedOrder) {
  ScriptedPrompts prompts({}, /*useDefaults=*/true);
  RecordingSink sink;
  const CalculationOutcome out = runCalculation(Reaction::Cr3O4, cr3o4Row1, prompts, sink, chineseResultNotes());
  EXPECT_EQ(out.status, CalculationOutcome::Status::Completed);
  EXPECT_EQ(out.reached, ResultField::All);
  EXPECT_EQ(sink.events, allHandOffs);
}

TEST(Completion, CarbonDoesNotMoveTheScanButMovesTheOtherResults) {
  ScriptedPrompts prompts(answers("1650", "0.35"));
  RecordingSink sink;
  runCalculation(Reaction::Cr2O3, cr2o3Row1, prompts, sink, chineseResultNotes());
  EXPECT_EQ(sink.text(ResultText::FreeEnergyChange), "-3930");
  EXPECT_EQ(sink.text(ResultText::EquilibriumTemperature), "1640");
  EXPECT_EQ(sink.text(ResultText::EquilibriumPressure), "109975");
  EXPECT_EQ(sink.text(ResultText::ScanCarbon), "0.326346");
  EXPECT_EQ(sink.text(ResultText::TrialCount), "325346");
  EXPECT_EQ(sink.text(ResultText::CarbonFromConstant), "0.322490");
}

TEST(Completion, EquilibriumConstantIsBuiltFromTheRoundedCoefficients) {
  struct Row {
    Reaction reaction;
    ReactionConstants constants;
    std::string carbon;
    double slope, intercept;  // a′ and b′ as their texts show them
  };
  for (const Row& row : {Row{Reaction::Cr2O3, cr2o3Row1, "2.2", -38645, 24.815},
                         Row{Reaction::Cr3O4, cr3o4Row1, "0.35", -36449, 24.105}}) {
    ScriptedPrompts prompts(answers("1650", row.carbon));
    NullResultSink sink;
    const CalculationOutcome out = runCalculation(row.reaction, row.constants, prompts, sink, chineseResultNotes());
    EXPECT_EQ(out.result.equilibriumConstant, std::pow(10.0, row.slope / 1923 + row.intercept));
  }
}

TEST(Completion, TemperatureIsHeldInKelvinWithOffset273) {
  ScriptedPrompts prompts(answers("1650", "2.2"));
  NullResultSink sink;
  const CalculationOutcome out = runCalculation(Reaction::Cr2O3, cr2o3Row1, prompts, sink, chineseResultNotes());
  EXPECT_EQ(out.state.temperature, 1923);
}

TEST(Scan, FirstTrialHitLeavesTheCountEmpty) {
  // A chosen so that ΔG at the first trial (0.001 %C) is about 1 J/mol.
  const MeltState state{1923, 2.2, 18, 9, 0, 0, 101325};
  const double b = -475.137;
  const Cr2O3FreeEnergy f({0, b, state, std::log(state.coPressure / 101325), std::log(state.chromium)});
  const double a = 1 - f(0.001);
  RecordingSink sink;
  const CalculationOutcome out = computeEquilibrium(Reaction::Cr2O3, {formatShortest(a), "-475.137"}, state);
  presentOutcome(sink, out, chineseResultNotes());
  ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
  ASSERT_TRUE(out.result.scanHit);
  EXPECT_EQ(out.result.trialCarbon, 0.001);
  EXPECT_FALSE(out.result.trialCount.has_value());
  EXPECT_EQ(sink.text(ResultText::ScanCarbon), "0.001000");
  EXPECT_EQ(sink.text(ResultText::TrialCount), "");
}

}  // namespace
}  // namespace velkarin
