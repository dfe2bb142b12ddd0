// SPDX-License-Identifier: Apache-2.0
#include "calc/result_presentation.h"

#include <gtest/gtest.h>

namespace velkarin {
namespace {

TEST(ResultLine, PadsSignsAndJoinsWithThreeBlanks) {
  struct Row {
    const char* name;
    double celsius, freeEnergy;
    const char* expectedStart;
  };
  const Row rows[] = {
      {"warm", 50, 1234.4, "t=0050   c=2.200   cr=18.000   Pco=101325   G=001234   "},
      {"below_zero", -5, -50, "t=-0005   c=2.200   cr=18.000   Pco=101325   G=-000050   "},
  };
  for (const Row& row : rows) {
    const MeltState state{row.celsius + 273, 2.2, 18, 9, 0, 0, 101325};
    EquilibriumResult result;
    result.freeEnergyChange = row.freeEnergy;
    result.equilibriumTemperature = 1349.4 + 273;
    result.equilibriumPressureRatio = 1764649.0 / 101325;
    result.scanHit = true;
    result.trialCarbon = 0.326346;
    result.carbonFromConstant = 0.126333;
    const std::string line = resultLine(state, result);
    EXPECT_EQ(line.rfind(row.expectedStart, 0), 0u) << row.name << ": " << line;
    EXPECT_NE(line.find("teq=1349℃   pcoeq=1764649   ceq=0.326   ccc=0.126"), std::string::npos) << line;
    EXPECT_EQ(line.back(), '6') << "nothing follows the last value";
  }
}

// The saved list as CSV: one column per piece with its unit, teq without
// its ℃, 未找到 kept; a line that is not a ResultLine stays whole in one cell.
TEST(ResultListCsv, SplitsEachLineIntoItsPieces) {
  const std::string header = "t/℃,c/%,cr/%,Pco/Pa,G/(J/mol),teq/℃,pcoeq/Pa,ceq/%,ccc/%\r\n";
  EXPECT_EQ(resultListCsv({}), header);
  EXPECT_EQ(resultListCsv({"t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   "
                           "ceq=0.326   ccc=0.126",
                           "t=3000   c=0.010   cr=18.000   Pco=101325   G=-954291   teq=1349℃   pcoeq=1   "
                           "ceq=未找到   ccc=0.000",
                           "a note, \"typed\""}),
            header + "1650,2.200,18.000,101325,-137074,1349,1764649,0.326,0.126\r\n" +
                "3000,0.010,18.000,101325,-954291,1349,1,未找到,0.000\r\n" + "\"a note, \"\"typed\"\"\"\r\n");
}

}  // namespace
}  // namespace velkarin
