// SPDX-License-Identifier: Apache-2.0
// The plant's heat log: a log written from heats reads back as those heats,
// a row that cannot be read leaves its whole heat out with its line and
// reason, and a file that is no heat log is refused.

#include "io/heat_log.h"

#include <gtest/gtest.h>

#include "synthetic_heats.h"

namespace velkarin {
namespace {

const std::string header = "heat,stage,W,C0,T0,F,Cr,Ni,Si,Mn,gas,O2,lime,scrap,inert,C,t\n";
const std::string h1 =
    "H1,1,80,1.6,1550,60,18,9,0.3,1,4:1,600,2000,,,0.8,1600\n"
    "H1,2,,,,,,,,,1:1,300,,1500,N2,,1650\n";
const std::string h2 = "H2,1,70,1.5,1560,55,17,8,0.2,1,3:1,500,,,,0.7,\n";

TEST(HeatLog, ALogReadsBackAsItsHeats) {
  const std::vector<LoggedHeat> heats = test::syntheticHeatLog(3, 4, 0.45, 2.0, 0, 0, 3);
  const HeatLogRead read = readHeatLog(test::heatLogCsv(heats), SimulationHeat{});
  ASSERT_FALSE(read.error);
  EXPECT_TRUE(read.faults.empty());
  ASSERT_EQ(read.heats.size(), 3u);
  EXPECT_EQ(read.heats[2].id, "H3");
  EXPECT_EQ(read.heats[2].stages.size(), 4u);
  EXPECT_NEAR(*read.heats[1].heat.massTonnes, *heats[1].heat.massTonnes, 0.05);
  EXPECT_NEAR(*read.heats[1].endTemperature[3], *heats[1].endTemperature[3], 0.5);

  const HeatLogRead mine = readHeatLog(header + h1 + h2, SimulationHeat{});
  ASSERT_EQ(mine.heats.size(), 2u);
  const LoggedHeat& first = mine.heats[0];
  EXPECT_EQ(first.heat.composition.manganese, 1);
  EXPECT_EQ(first.stages[0].lime, 2000);
  EXPECT_EQ(first.stages[1].scrap, 1500);
  EXPECT_EQ(first.stages[1].inert, InertGas::Nitrogen);
  EXPECT_FALSE(first.endCarbon[1]);
  EXPECT_EQ(first.endTemperature[1], 1650);
  EXPECT_FALSE(mine.heats[1].endTemperature[0]);
}

TEST(HeatLog, AFaultedRowLeavesItsHeatOut) {
  struct Case {
    const char* what;
    std::string row;  // H3's second row, after its good first one
    const char* message;
  };
  const std::string h3 = "H3,1,80,1.6,1550,60,18,9,0.3,1,4:1,600,,,,0.8,1600\n";
  const Case cases[] = {
      {"a bad O2", "H3,2,,,,,,,,,1:1,lots,,,,,\n", "O2 'lots' is not a number"},
      {"a stage out of order", "H3,3,,,,,,,,,1:1,300,,,,,\n", "stage '3' where stage 2 comes next"},
      {"another W", "H3,2,81,,,,,,,,1:1,300,,,,,\n", "W differs from the heat's first row"},
      {"no O2", "H3,2,,,,,,,,,1:1,,,,,,\n", "no O2 blown"},
      {"C of 0", "H3,2,,,,,,,,,1:1,300,,,,0,\n", "C '0' is not between 0.0001 and 100 %"},
      {"C of 1e-300", "H3,2,,,,,,,,,1:1,300,,,,1e-300,\n", "C '1e-300' is not between 0.0001 and 100 %"},
      {"t of 1e300", "H3,2,,,,,,,,,1:1,300,,,,,1e300\n", "t '1e300' is not between 0 and 3000 °C"},
      {"negative lime", "H3,2,,,,,,,,,1:1,300,-5,,,,\n", "lime '-5' is not between 0 and 1000000 kg"},
      {"helium", "H3,2,,,,,,,,,1:1,300,,,He,,\n", "inert 'He' is neither Ar nor N2"},
  };
  for (const Case& c : cases) {
    const HeatLogRead read = readHeatLog(header + h1 + h3 + c.row + h2, SimulationHeat{});
    ASSERT_FALSE(read.error) << c.what;
    ASSERT_EQ(read.heats.size(), 2u) << c.what;
    EXPECT_EQ(read.heats[1].id, "H2") << c.what;
    ASSERT_EQ(read.faults.size(), 1u) << c.what;
    EXPECT_EQ(read.faults[0].line, 5u) << c.what;
    EXPECT_EQ(read.faults[0].heat, "H3") << c.what;
    EXPECT_EQ(read.faults[0].message, c.message) << c.what;
    EXPECT_EQ(read.excluded, 1u) << c.what;
  }
  struct FirstRow {
    const char* row;
    const char* message;
  };
  for (const FirstRow& f :
       {FirstRow{"H9,1,80,1.6,1550,60,,9,0.3,1,4:1,600,,,,,\n", "no Cr on the heat's first row"},
        FirstRow{"H9,1,1e300,1.6,1550,60,18,9,0.3,1,4:1,600,,,,,\n", "W '1e300' is not between 0 and 10000 t"},
        FirstRow{"H9,1,80,1.6,1550,0,18,9,0.3,1,4:1,600,,,,,\n", "F '0' is not between 0 and 100000 Nm³/min"}}) {
    const HeatLogRead read = readHeatLog(header + f.row, {});
    ASSERT_EQ(read.faults.size(), 1u) << f.row;
    EXPECT_EQ(read.faults[0].message, f.message) << f.row;
  }
}

// A heat whose rows stand in two places is left out whole, and once.
TEST(HeatLog, AHeatSplitOverTwoPlacesIsLeftOutWhole) {
  const std::string again = "H1,3,,,,,,,,,1:3,200,,,,,1660\n";
  const HeatLogRead read = readHeatLog(header + h1 + h2 + again + again, SimulationHeat{});
  ASSERT_EQ(read.heats.size(), 1u);
  EXPECT_EQ(read.heats[0].id, "H2");
  EXPECT_EQ(read.excluded, 1u);
  ASSERT_EQ(read.faults.size(), 1u);
  EXPECT_EQ(read.faults[0].line, 5u);
  EXPECT_EQ(read.faults[0].message, "heat 'H1' has rows elsewhere; a heat's rows stand together");
}

TEST(HeatLog, AFileThatIsNoHeatLogIsRefused) {
  for (const std::string& text :
       {std::string("gas,t,C\n3:1,1600,0.6\n"), std::string(), std::string("heat,stage,gas,O2,O2\n")}) {
    EXPECT_TRUE(readHeatLog(text, SimulationHeat{}).error) << text;
  }
  const HeatLogRead broken = readHeatLog(header + "H1,1,\"80\n", SimulationHeat{});
  ASSERT_TRUE(broken.error);
  EXPECT_EQ(broken.error->line, 2u);
}

}  // namespace
}  // namespace velkarin
