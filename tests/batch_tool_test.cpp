// SPDX-License-Identifier: Apache-2.0
#include "cli/batch_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>

#include "calc/calculation.h"
#include "calc/melt_state_input.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "calc/result_presentation.h"
#include "io/csv.h"
#include "io/terminal_text.h"
#include "tests/batch_support/batch_output.h"
#include "tests/support/recording.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

using test::header;
using test::OutputTable;
using test::readOutput;

// Bit pattern of the double a cell reads back to; fails the test when the
// cell is not wholly a number.
std::uint64_t bitsOf(const std::string& cell) {
  double value = 0;
  const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  EXPECT_TRUE(ec == std::errc() && end == cell.data() + cell.size()) << "not a number: \"" << cell << "\"";
  return std::bit_cast<std::uint64_t>(value);
}

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

// The numeric result columns and where each lives in EquilibriumResult.
struct NumberColumn {
  const char* name;
  double EquilibriumResult::*field;
  ResultField computedWith;
};

const std::vector<NumberColumn> numberColumns{
    {"freeEnergyChange", &EquilibriumResult::freeEnergyChange, ResultField::FreeEnergyChange},
    {"equilibriumTemperature", &EquilibriumResult::equilibriumTemperature, ResultField::EquilibriumTemperature},
    {"equilibriumPressureRatio", &EquilibriumResult::equilibriumPressureRatio, ResultField::EquilibriumPressureRatio},
    {"trialCarbon", &EquilibriumResult::trialCarbon, ResultField::Scan},
    {"trialFreeEnergy", &EquilibriumResult::trialFreeEnergy, ResultField::Scan},
    {"carbonCoefficient", &EquilibriumResult::carbonCoefficient, ResultField::CarbonCoefficient},
    {"chromiumCoefficient", &EquilibriumResult::chromiumCoefficient, ResultField::ChromiumCoefficient},
    {"equilibriumConstant", &EquilibriumResult::equilibriumConstant, ResultField::EquilibriumConstant},
    {"pressureFromConstant", &EquilibriumResult::pressureFromConstant, ResultField::PressureFromConstant},
    {"carbonFromConstant", &EquilibriumResult::carbonFromConstant, ResultField::CarbonFromConstant},
};

// Every result column of a row against what the core computes for the same
// input: numbers bit for bit, fields after a fault empty.
void expectRowMatches(const OutputTable& table, std::size_t row, const CalculationOutcome& expected) {
  for (const NumberColumn& column : numberColumns) {
    if (column.computedWith < expected.reached) {
      EXPECT_EQ(bitsOf(table.cell(row, column.name)), bitsOf(expected.result.*column.field)) << column.name;
    } else {
      EXPECT_EQ(table.cell(row, column.name), "") << column.name;
    }
  }
  const std::optional<double>& root = expected.result.equilibriumCarbon;
  if (ResultField::Scan < expected.reached && root) {
    EXPECT_EQ(bitsOf(table.cell(row, "equilibriumCarbon")), bitsOf(*root));
  } else {
    EXPECT_EQ(table.cell(row, "equilibriumCarbon"), "");
  }
  if (ResultField::Scan < expected.reached) {
    EXPECT_EQ(table.cell(row, "scanHit"), expected.result.scanHit ? "1" : "0");
    EXPECT_EQ(table.cell(row, "trialCount"), trialCountText(expected.result.trialCount));
  } else {
    EXPECT_EQ(table.cell(row, "scanHit"), "");
    EXPECT_EQ(table.cell(row, "trialCount"), "");
  }
  if (expected.fault) {
    EXPECT_EQ(table.cell(row, "resultLine"), "");
    EXPECT_EQ(table.cell(row, "fault"), faultKindId(expected.fault->kind));
    EXPECT_EQ(table.cell(row, "message"), chinese(*expected.fault));
  } else {
    EXPECT_EQ(table.cell(row, "resultLine"), resultLine(expected.state, expected.result));
    EXPECT_EQ(table.cell(row, "fault"), "");
    EXPECT_EQ(table.cell(row, "message"), noRootNotice(expected.result));
  }
}

MeltState defaultState(Reaction reaction) {
  MeltState state;
  for (const PromptRow& prompt : promptRows()) setMeltField(state, prompt.field, promptDefault(reaction, prompt.field));
  return state;
}

ReactionConstants firstPreset(Reaction reaction) {
  const PresetRow& row = reactionData(reaction).presets.front();
  return {std::string(row.a), std::string(row.b)};
}

CalculationOutcome compute(Reaction reaction, const ReactionConstants& constants, const MeltState& state) {
  return computeEquilibrium(reaction, constants, state);
}

TEST(BatchTool, WorkedExamplesComeOutExactly) {
  const BatchRun run = runBatch(header + "Cr2O3,,,,,,,,,\nCr3O4,,,,,,,,,\n");
  ASSERT_FALSE(run.error);
  EXPECT_EQ(run.exitStatus, batchAllComputed);
  const OutputTable table = readOutput(run);
  ASSERT_EQ(table.rows.size(), 2u);

  EXPECT_EQ(
      table.cell(0, "resultLine"),
      "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   ceq=0.326   ccc=0.126");
  EXPECT_EQ(table.cell(1, "resultLine"),
            "t=1650   c=0.350   cr=18.000   Pco=101325   G=-008686   teq=1626℃   pcoeq=121437   ceq=0.300   ccc=0.292");
  EXPECT_EQ(table.cell(0, "trialCount"), "325346");
  EXPECT_EQ(table.cell(1, "trialCount"), "298878");
  for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    SCOPED_TRACE(reactionData(reaction).name);
    const std::size_t row = reaction == Reaction::Cr2O3 ? 0 : 1;
    expectRowMatches(table, row, compute(reaction, firstPreset(reaction), defaultState(reaction)));
  }
}

TEST(BatchTool, OutputEchoesTheInputThenTheResultColumns) {
  const std::string input =
      "heat, Reaction ,note,pco,mn,si,ni,cr,c,T,b,a\n"
      "24A0811,cR2o3,\"first, of the shift\",,,,,,,,,\n";
  const OutputTable table = readOutput(runBatch(input));
  std::vector<std::string> names{"heat", " Reaction ", "note", "pco", "mn", "si", "ni", "cr", "c", "T", "b", "a"};
  names.insert(names.end(), batchResultColumns().begin(), batchResultColumns().end());
  EXPECT_EQ(table.names, names);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.cell(0, "heat"), "24A0811");
  EXPECT_EQ(table.cell(0, " Reaction "), "cR2o3");
  EXPECT_EQ(table.cell(0, "note"), "first, of the shift");
  expectRowMatches(table, 0, compute(Reaction::Cr2O3, firstPreset(Reaction::Cr2O3), defaultState(Reaction::Cr2O3)));
}

// Two rows that must compute the same: one written as the engineer would
// type it, one with the plain values it stands for.
struct SameAsCase {
  const char* name;
  std::string typed;
  std::string plain;
};

void PrintTo(const SameAsCase& c, std::ostream* os) { *os << c.name; }

class BatchCellReading : public ::testing::TestWithParam<SameAsCase> {};

TEST_P(BatchCellReading, ComputesTheSameAsThePlainValues) {
  const SameAsCase& c = GetParam();
  const OutputTable table = readOutput(runBatch(header + c.typed + "\n" + c.plain + "\n"));
  ASSERT_EQ(table.rows.size(), 2u);
  for (std::string_view column : batchResultColumns()) {
    EXPECT_EQ(table.cell(0, column), table.cell(1, column)) << column;
  }
  EXPECT_EQ(table.cell(0, "fault"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cells, BatchCellReading,
    ::testing::Values(
        SameAsCase{"EmptyCellsAreTheCr2O3Defaults", "Cr2O3,,,,,,,,,", "Cr2O3,739938,-475.137,1650,2.2,18,9,0,0,101325"},
        SameAsCase{"EmptyCellsAreTheCr3O4Defaults", "Cr3O4,,,,,,,,,",
                   "Cr3O4,697890,-461.535,1650,0.35,18,9,0,0,101325"},
        SameAsCase{"BlankCellsCountAsEmpty", "Cr3O4, ,\t,  ,,,,,,", "Cr3O4,697890,-461.535,1650,0.35,18,9,0,0,101325"},
        SameAsCase{"EmptyAIsTheFirstPresetA", "Cr2O3,,-477.721,1600,1,17,8,0.3,1,50000",
                   "Cr2O3,739938,-477.721,1600,1,17,8,0.3,1,50000"},
        SameAsCase{"EmptyBIsTheFirstPresetB", "Cr3O4,661725,,1600,1,17,8,0.3,1,50000",
                   "Cr3O4,661725,-461.535,1600,1,17,8,0.3,1,50000"},
        SameAsCase{"ConstantsWithBlanksAround", "Cr2O3,  743675 , -477.721 ,,,,,,,", "Cr2O3,743675,-477.721,,,,,,,"},
        SameAsCase{"TypedUnits", "Cr2O3,,,1650℃,0.3wt%,18 %,9%,0.2 %,1.1%,50662.5 Pa",
                   "Cr2O3,,,1650,0.3,18,9,0.2,1.1,50662.5"},
        SameAsCase{"FullWidthDigits", "Cr3O4,,,１６５０,０.３５,,,,,", "Cr3O4,,,1650,0.35,,,,,"},
        SameAsCase{"InnerBlanksAndExponents", "Cr2O3,,,1 650,2.2,1.8e1,9D0,,,1.01325E5",
                   "Cr2O3,,,1650,2.2,18,9,,,101325"},
        SameAsCase{"HexadecimalAnswer", "Cr2O3,,,&H672,,&O22,,,,", "Cr2O3,,,1650,,18,,,,"},
        SameAsCase{"AnswerWithoutANumberIsZero", "Cr2O3,,,,,,none,n/a,-,", "Cr2O3,,,,,,0,0,0,"},
        SameAsCase{"ReactionAnyCaseWithBlanks", " cr3O4 ,,,,,,,,,", "Cr3O4,,,,,,,,,"}),
    [](const auto& row) { return std::string(row.param.name); });

// A row whose calculation faults: the fields computed before the fault are
// there, the rest and the result line are empty, and the run exits with 1.
struct FaultCase {
  const char* name;
  std::string row;
  Reaction reaction;
  ReactionConstants constants;
  MeltState state;  // what the row stands for
  const char* faultId;
  ResultField reached;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class BatchFaultRow : public ::testing::TestWithParam<FaultCase> {};

MeltState stateWith(Reaction reaction, MeltField field, double value) {
  MeltState state = defaultState(reaction);
  setMeltField(state, field, value);
  return state;
}

TEST_P(BatchFaultRow, KeepsTheEarlierFieldsOnly) {
  const FaultCase& c = GetParam();
  const BatchRun run = runBatch(header + "Cr2O3,,,,,,,,,\n" + c.row + "\n");
  ASSERT_FALSE(run.error);
  EXPECT_EQ(run.exitStatus, batchRowFaulted);
  const OutputTable table = readOutput(run);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.cell(0, "fault"), "");  // the good row before it is unaffected

  const CalculationOutcome expected = compute(c.reaction, c.constants, c.state);
  ASSERT_TRUE(expected.fault);
  EXPECT_EQ(faultKindId(expected.fault->kind), c.faultId);
  EXPECT_EQ(expected.reached, c.reached);
  expectRowMatches(table, 1, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BatchFaultRow,
    ::testing::Values(FaultCase{"CarbonZero", "Cr2O3,,,,0,,,,,", Reaction::Cr2O3, firstPreset(Reaction::Cr2O3),
                                stateWith(Reaction::Cr2O3, MeltField::Carbon, 0), "invalid-argument",
                                ResultField::FreeEnergyChange},
                      FaultCase{"PressureNegative", "Cr3O4,,,,,,,,,-5", Reaction::Cr3O4, firstPreset(Reaction::Cr3O4),
                                stateWith(Reaction::Cr3O4, MeltField::CoPressure, -5), "invalid-argument",
                                ResultField::FreeEnergyChange},
                      FaultCase{"ATextNotANumber",
                                "Cr2O3,7e5x,,,,,,,,",
                                Reaction::Cr2O3,
                                {"7e5x", "-475.137"},
                                defaultState(Reaction::Cr2O3),
                                "type-mismatch",
                                ResultField::FreeEnergyChange},
                      // T = 0 K: ΔG and T_eq are computed, the CO pressure divides by zero.
                      FaultCase{"ZeroKelvin", "Cr2O3,,,-273,,,,,,", Reaction::Cr2O3, firstPreset(Reaction::Cr2O3),
                                stateWith(Reaction::Cr2O3, MeltField::Temperature, -273), "division-by-zero",
                                ResultField::EquilibriumPressureRatio},
                      // 10^(−p_eq exponent) beyond the double range after ΔG and T_eq.
                      FaultCase{"PressureOverflow", "Cr2O3,,,,,,30000,,,", Reaction::Cr2O3,
                                firstPreset(Reaction::Cr2O3), stateWith(Reaction::Cr2O3, MeltField::Nickel, 30000),
                                "overflow", ResultField::EquilibriumPressureRatio},
                      // p_eq ≈ 1e305 is kept; p_eq · 101325 Pa overflows before anything is shown.
                      FaultCase{"PressureInPaOverflow",
                                "Cr2O3,," + overflowingPressureB() + ",,,,,,,",
                                Reaction::Cr2O3,
                                {"739938", overflowingPressureB()},
                                defaultState(Reaction::Cr2O3),
                                "overflow",
                                ResultField::EquilibriumPressure},
                      // At 73 K, K underflows to 0: everything up to p_K is there, C_K divides by zero.
                      FaultCase{"ConstantUnderflow", "Cr3O4,,,-200,,,,,,", Reaction::Cr3O4,
                                firstPreset(Reaction::Cr3O4), stateWith(Reaction::Cr3O4, MeltField::Temperature, -200),
                                "division-by-zero", ResultField::CarbonFromConstant}),
    [](const auto& row) { return std::string(row.param.name); });

// An answer beyond the double range faults before anything is computed,
// with the message the prompt sequence gives.
TEST(BatchTool, AnswerBeyondTheDoubleRangeIsARowFault) {
  const BatchRun run = runBatch(header + "Cr2O3,,,,,,,,1e400,\n");
  ASSERT_FALSE(run.error);
  EXPECT_EQ(run.exitStatus, batchRowFaulted);
  const OutputTable table = readOutput(run);
  ASSERT_EQ(table.rows.size(), 1u);
  MeltState state;
  std::string message;
  try {
    applyAnswer(state, promptRows()[5], "1e400");
  } catch (const FaultError& error) {
    message = chinese(error.fault());
  }
  ASSERT_FALSE(message.empty());
  EXPECT_EQ(table.cell(0, "fault"), "overflow");
  EXPECT_EQ(table.cell(0, "message"), message);
  for (std::string_view column : batchResultColumns().first(13)) EXPECT_EQ(table.cell(0, column), "") << column;
}

// A scan that runs out computes to the end: its raw values are printed, the
// message is the notice, and it is not a fault.
TEST(BatchTool, StepOverPrintsTheRawTrialAndTheContinuousRoot) {
  const BatchRun run = runBatch(header + "Cr2O3,,,1700,0.02,18,9,0.3,1.2,5000\n");
  ASSERT_FALSE(run.error);
  EXPECT_EQ(run.exitStatus, batchAllComputed);
  const OutputTable table = readOutput(run);
  ASSERT_EQ(table.rows.size(), 1u);
  MeltState state;
  for (const auto& [field, value] : std::vector<std::pair<MeltField, double>>{{MeltField::Temperature, 1700},
                                                                              {MeltField::Carbon, 0.02},
                                                                              {MeltField::Chromium, 18},
                                                                              {MeltField::Nickel, 9},
                                                                              {MeltField::Silicon, 0.3},
                                                                              {MeltField::Manganese, 1.2},
                                                                              {MeltField::CoPressure, 5000}}) {
    setMeltField(state, field, value);
  }
  const CalculationOutcome expected = compute(Reaction::Cr2O3, firstPreset(Reaction::Cr2O3), state);
  ASSERT_FALSE(expected.result.scanHit);
  EXPECT_EQ(table.cell(0, "scanHit"), "0");
  EXPECT_GT(std::stod(table.cell(0, "trialCarbon")), 5000);
  EXPECT_EQ(table.cell(0, "message"), "");
  EXPECT_EQ(table.cell(0, "equilibriumCarbon").substr(0, 6), "0.0124");
  EXPECT_NE(table.cell(0, "resultLine").find("   ceq=0.012   ccc="), std::string::npos) << table.cell(0, "resultLine");
  expectRowMatches(table, 0, expected);
}

TEST(BatchTool, BlankLinesAreSkipped) {
  const BatchRun run = runBatch("\n \n" + header + "\n,,,,,,,,,\nCr2O3,,,,,,,,,\n\t\n\nCr3O4,,,,,,,,,\n\n");
  ASSERT_FALSE(run.error) << run.error->message;
  const OutputTable table = readOutput(run);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.cell(0, "reaction"), "Cr2O3");
  EXPECT_EQ(table.cell(1, "reaction"), "Cr3O4");
}

TEST(BatchTool, HeaderOnlyGivesHeaderOnly) {
  const BatchRun run = runBatch(header);
  EXPECT_EQ(run.exitStatus, batchAllComputed);
  const OutputTable table = readOutput(run);
  EXPECT_EQ(table.names.size(), 10 + batchResultColumns().size());
  EXPECT_TRUE(table.rows.empty());
}

TEST(BatchTool, ReadsCrLfWithByteOrderMark) {
  const BatchRun run = runBatch("\xEF\xBB\xBFreaction,A,B,t,C,Cr,Ni,Si,Mn,pCO\r\nCr2O3,,,,,,,,,\r\n");
  ASSERT_FALSE(run.error);
  const OutputTable table = readOutput(run);
  EXPECT_EQ(table.names.front(), "reaction");
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.cell(0, "trialCount"), "325346");
}

}  // namespace
}  // namespace velkarin
