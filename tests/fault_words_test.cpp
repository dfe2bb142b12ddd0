// SPDX-License-Identifier: Apache-2.0
// The words of faults, byte for byte: the batch tool's fault and message
// columns for each form of detail (spreadsheets read them), and the faults
// the calculation raises outside a batch row.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "calc/calculation.h"
#include "calc/melt_state_input.h"
#include "calc/number_text.h"
#include "cli/batch_tool.h"
#include "tests/batch_support/batch_output.h"
#include "words/chinese.h"

namespace velkarin {
namespace {

using test::OutputTable;
using test::readOutput;

struct FaultRow {
  const char* name;
  std::string cells;  // reaction, A, B, t, C, Cr, Ni, Si, Mn, pCO
  const char* fault;
  const char* message;
};

class BatchFaultWords : public testing::TestWithParam<FaultRow> {};

TEST_P(BatchFaultWords, MessageColumnIsTheFaultsWords) {
  const FaultRow& c = GetParam();
  const BatchRun run = runBatch(test::header + c.cells + "\n");
  ASSERT_FALSE(run.error) << describe(*run.error);
  const OutputTable table = readOutput(run);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.cell(0, "fault"), c.fault);
  EXPECT_EQ(table.cell(0, "message"), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BatchFaultWords,
    testing::Values(
        FaultRow{"a_not_a_number", "Cr2O3,abc,-475.137,1650,2.2,18,9,0,0,101325", "type-mismatch",
                 "类型不匹配：A值“abc”不是数值"},
        FaultRow{"b_not_a_number", "Cr2O3,739938,x,1650,2.2,18,9,0,0,101325", "type-mismatch",
                 "类型不匹配：B值“x”不是数值"},
        FaultRow{"a_out_of_range", "Cr2O3,1e400,-475.137,1650,2.2,18,9,0,0,101325", "overflow",
                 "溢出：A值超出了数值范围"},
        FaultRow{"b_out_of_range", "Cr2O3,739938,1e400,1650,2.2,18,9,0,0,101325", "overflow",
                 "溢出：B值超出了数值范围"},
        FaultRow{"chromium_zero", "Cr2O3,,,1650,2.2,0,9,0,0,101325", "invalid-argument", "无效的参数：Cr浓度必须大于0"},
        FaultRow{"carbon_zero", "Cr2O3,,,1650,0,18,9,0,0,101325", "invalid-argument", "无效的参数：C浓度必须大于0"},
        FaultRow{"pressure_zero", "Cr2O3,,,1650,2.2,18,9,0,0,0", "invalid-argument", "无效的参数：CO分压必须大于0"},
        FaultRow{"pressure_underflows", "Cr2O3,,,1650,2.2,18,9,0,0,1e-320", "invalid-argument",
                 "无效的参数：CO分压太小（除以101325后下溢为0），无法计算"},
        FaultRow{"absolute_zero", "Cr3O4,,,-273,2.2,18,9,0,0,101325", "division-by-zero",
                 "除数为零：熔池温度为-273℃（0 K），计算平衡CO分压时除数为零"},
        FaultRow{"temperature_answer", "Cr2O3,,,1e400,2.2,18,9,0,0,101325", "overflow",
                 "溢出：温度的输入值超出了数值范围"},
        FaultRow{"carbon_answer", "Cr2O3,,,1650,1e400,18,9,0,0,101325", "overflow",
                 "溢出：C浓度的输入值超出了数值范围"},
        FaultRow{"chromium_answer", "Cr2O3,,,1650,2.2,1e400,9,0,0,101325", "overflow",
                 "溢出：Cr浓度的输入值超出了数值范围"},
        FaultRow{"nickel_answer", "Cr2O3,,,1650,2.2,18,1e400,0,0,101325", "overflow",
                 "溢出：Ni浓度的输入值超出了数值范围"},
        FaultRow{"silicon_answer", "Cr2O3,,,1650,2.2,18,9,1e400,0,101325", "overflow",
                 "溢出：Si浓度的输入值超出了数值范围"},
        FaultRow{"manganese_answer", "Cr2O3,,,1650,2.2,18,9,0,1e400,101325", "overflow",
                 "溢出：Mn浓度的输入值超出了数值范围"},
        FaultRow{"pressure_answer", "Cr2O3,,,1650,2.2,18,9,0,0,1e400", "overflow",
                 "溢出：CO分压的输入值超出了数值范围"},
        FaultRow{"equilibrium_pressure", "Cr2O3,,,1650,2.2,18,9,1e300,0,101325", "overflow",
                 "溢出：平衡CO分压超出了数值范围"},
        FaultRow{"free_energy", "Cr3O4,,,1650,2.2,18,1e308,0,0,101325", "overflow",
                 "溢出：反应自由能变值超出了数值范围"},
        FaultRow{"b_times_t", "Cr2O3,1e308,1e308,1650,2.2,18,9,0,0,101325", "overflow", "溢出：B·T超出了数值范围"},
        FaultRow{"chromium_activity_underflows", "Cr2O3,739938,-475.137,1650,2.2,1e-300,9,0,0,101325",
                 "division-by-zero", "除数为零：Cr的活度为0（下溢），计算CO分压时除数为零"},
        FaultRow{"constant_underflows", "Cr3O4,1e300,1e300,1650,2.2,18,9,0,0,101325", "division-by-zero",
                 "除数为零：平衡常数K为0（下溢），计算平衡C浓度时除数为零"},
        FaultRow{"no_root_notice", "Cr2O3,739938,-475.137,1650,2.2,18,9,1e3,0,101325", "",
                 "在0.001～5000%C之间没有找到与给定状态相平衡的C浓度值：平衡C浓度低于0.001%"
                 "C，在此状态下熔池还可以继续脱碳。"}),
    [](const testing::TestParamInfo<FaultRow>& row) { return std::string(row.param.name); });

// An empty A or B never reaches a batch row (it stands for the preset row).
TEST(FaultWords, EmptyConstantSaysSo) {
  MeltState state;
  state.temperature = 1923;
  state.carbon = 2.2;
  state.chromium = 18;
  state.coPressure = 101325;
  const CalculationOutcome out = computeEquilibrium(Reaction::Cr2O3, {"", "-475.137"}, state);
  ASSERT_TRUE(out.fault);
  EXPECT_EQ(chinese(*out.fault), "类型不匹配：A值为空，不是数值");
}

TEST(FaultWords, NumberThatCannotBeShownSaysSo) {
  try {
    formatPattern(std::numeric_limits<double>::quiet_NaN(), DigitPattern::Whole);
    FAIL() << "a NaN was formatted";
  } catch (const FaultError& error) {
    EXPECT_EQ(error.fault().kind, FaultKind::Overflow);
    EXPECT_EQ(chinese(error.fault()), "溢出：要显示的数值不是有限数");
  }
}

}  // namespace
}  // namespace velkarin
