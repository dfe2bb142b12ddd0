// SPDX-License-Identifier: Apache-2.0
// velkarin-batch --fit, and the diagram's import of the plant's heats, which
// reads the same table of heats.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "calc/line_fit.h"
#include "calc/number_text.h"
#include "cli/batch_tool.h"
#include "io/csv.h"
#include "io/plant_heats_read.h"

namespace velkarin {
namespace {

// --fit: the fitted line per reaction present, the header exactly, empty
// numbers where a reaction has too few heats, faulted rows counted.
TEST(BatchFit, FitsEachReactionPresent) {
  // Three Cr2O3 heats at their equilibrium under the first preset row, one
  // faulted (C 0), and two Cr3O4 heats; no A and B columns.
  const std::string csv =
      "id,reaction,t,C,Cr,Ni,Si,Mn,pCO\n"
      "h1,Cr2O3,1600,0.405628,18,9,0,0,86850\n"
      "h2,Cr2O3,1680,0.184467,18,9,0,0,67550\n"
      "h3,cr2o3,1720,0.085783,18,9,0,0,40530\n"
      "h4,Cr2O3,1650,0,18,9,0,0,50000\n"
      "\n"
      "h5,Cr3O4,1650,0.2,18,9,0,0,50000\n"
      "h6,Cr3O4,1700,0.1,18,9,0,0,50000\n";
  const FitRun run = runFit(csv);
  ASSERT_FALSE(run.error);
  ASSERT_EQ(run.fits.size(), 2U);
  const LineFitResult cr2o3 = run.fits[0].result();
  EXPECT_EQ(cr2o3.problem, LineFitProblem::None);
  EXPECT_EQ(cr2o3.n, 3U);
  EXPECT_EQ(cr2o3.excluded, 1U);
  EXPECT_NEAR(cr2o3.a, 739938, 20);  // the sampled carbons are rounded to 6 decimals
  EXPECT_NEAR(cr2o3.b, -475.137, 0.01);
  EXPECT_EQ(run.fits[1].result().problem, LineFitProblem::TooFewHeats);

  const std::string table = fitTable(run.fits);
  EXPECT_EQ(table.substr(0, table.find('\n')), "reaction\tn\tA\tB\tseA\tseB\tsdG\tr2\texcluded");
  EXPECT_NE(table.find("\nCr2O3\t3\t" + formatShortest(cr2o3.a) + "\t" + formatShortest(cr2o3.b) + "\t"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("\nCr3O4\t2\t\t\t\t\t\t\t0\n"), std::string::npos) << table;
  EXPECT_EQ(fitProblemEnglish(run.fits[1].result()), "fewer than 3 usable heats (2 usable, 0 excluded): no line");
  // Each fitted number reads back to the double it was.
  for (double value : {cr2o3.a, cr2o3.b, cr2o3.seA, cr2o3.seB, cr2o3.sdG, cr2o3.r2}) {
    EXPECT_EQ(std::stod(formatShortest(value)), value);
  }
}

// A t cell without a temperature is a faulted heat, not one at 0 °C; a heat
// whose figures leave the number range makes the fit a problem, not NaN.
TEST(BatchFit, TemperaturesThatAreNoNumberAndSumsBeyondTheRange) {
  const std::string heading = "id,reaction,t,C,Cr,Ni,Si,Mn,pCO\n";
  const std::string heats =
      "h1,Cr2O3,1600,0.405628,18,9,0,0,86850\n"
      "h2,Cr2O3,1680,0.184467,18,9,0,0,67550\n"
      "h3,Cr2O3,1720,0.085783,18,9,0,0,40530\n";
  struct Case {
    const char* name;
    std::string t;  // the fourth heat's t cell
    LineFitProblem problem;
    std::size_t n, excluded;
  };
  for (const Case& c : std::vector<Case>{
           {"nan", "nan", LineFitProblem::None, 3, 1},
           {"inf", "inf", LineFitProblem::None, 3, 1},
           {"-inf", "-inf", LineFitProblem::None, 3, 1},
           {"C hexadecimal", "0x700", LineFitProblem::None, 3, 1},
           {"letters", "abc", LineFitProblem::None, 3, 1},
           {"with its unit", "1650℃", LineFitProblem::None, 4, 0},
           {"empty: the default 1650", "", LineFitProblem::None, 4, 0},
           {"leading zeros", "01650", LineFitProblem::None, 4, 0},
           {"1e160", "1e160", LineFitProblem::OutOfRange, 4, 0},
           {"1e250", "1e250", LineFitProblem::OutOfRange, 4, 0},
           {"1e307: its dG is beyond the range", "1e307", LineFitProblem::None, 3, 1},
       }) {
    const FitRun run = runFit(heading + heats + "h4,Cr2O3," + c.t + ",0.3,18,9,0,0,50000\n");
    ASSERT_FALSE(run.error) << c.name;
    ASSERT_EQ(run.fits.size(), 1U) << c.name;
    const LineFitResult r = run.fits[0].result();
    EXPECT_EQ(r.problem, c.problem) << c.name;
    EXPECT_EQ(r.n, c.n) << c.name;
    EXPECT_EQ(r.excluded, c.excluded) << c.name;
    const std::string table = fitTable(run.fits);
    EXPECT_EQ(table.find("nan"), std::string::npos) << c.name << "\n" << table;
    EXPECT_EQ(table.find("inf"), std::string::npos) << c.name << "\n" << table;
    if (c.problem == LineFitProblem::OutOfRange) {
      EXPECT_NE(table.find("\nCr2O3\t4\t\t\t\t\t\t\t0\n"), std::string::npos) << c.name << "\n" << table;
      EXPECT_EQ(fitProblemEnglish(r),
                "the sums of the fit are beyond the number range (a temperature or dG too large) (4 usable, 0 "
                "excluded): no line");
    }
  }
}

// The diagram's import reads the t cell as the fit does: the heat is kept,
// with the reason, and not fitted.
TEST(BatchFit, ImportedHeatWithoutATemperatureSaysWhy) {
  const std::string csv =
      "heat,reaction,t,C,Cr,Ni,Si,Mn,pCO\n"
      "a,Cr2O3,nan,0.3,18,9,0,0,50000\n"
      "b,Cr2O3,0x700,0.3,18,9,0,0,50000\n"
      "c,Cr2O3,1650,0.3,18,9,0,0,50000\n";
  StringSource source(csv);
  const PlantHeatsRead read = readPlantHeats(source);
  ASSERT_FALSE(read.error);
  ASSERT_EQ(read.heats.size(), 3U);
  EXPECT_FALSE(read.heats[0].fitted);
  EXPECT_EQ(read.heats[0].fault, "类型不匹配：温度“nan”不是数字");
  EXPECT_FALSE(read.heats[1].fitted);
  EXPECT_EQ(read.heats[1].fault, "类型不匹配：温度“0x700”不是数字");
  EXPECT_TRUE(read.heats[2].fitted);
  EXPECT_TRUE(read.heats[2].fault.empty());
}

TEST(BatchFit, InputThatCannotBeReadIsAnInputError) {
  for (const auto& [csv, message] : std::vector<std::pair<std::string, std::string>>{
           {"reaction,t,C,Cr,Ni,Si,Mn\nCr2O3,1600,0.4,18,9,0,0\n", "lacks the column(s) pCO"},
           {"reaction,t,C,Cr,Ni,Si,Mn,pCO\nCrO,1600,0.4,18,9,0,0,1\n", "unknown reaction"},
           {"reaction,t,C,Cr,Ni,Si,Mn,pCO\nCr2O3,1600\n", "2 fields"},
           {"", "no header line"},
       }) {
    const FitRun run = runFit(csv);
    ASSERT_TRUE(run.error) << csv;
    EXPECT_NE(describe(*run.error).find(message), std::string::npos) << describe(*run.error);
  }
}

}  // namespace
}  // namespace velkarin
