// SPDX-License-Identifier: Apache-2.0
// velkarin-curve --simulate: the header, a worked run checked against the
// balances by hand, the path, refused input, and the integrator's tolerance.
#include "cli/simulate_command.h"

#include <gtest/gtest.h>

#include "curve_run.h"
#include "simulation_heat.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calc/blow_ledger.h"
#include "cli/curve_command.h"

namespace velkarin {
namespace {

using test::CommandRun;
using test::run;

std::string stageFile(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::vector<std::string> heatArgs(const std::string& path) {
  return {"--simulate", "--stages",  path, "--heat-mass", "80", "--start-carbon", "2.5", "--start-temperature",
          "1550",       "--o2-flow", "60", "--si",        "0"};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::vector<std::string> cells(const std::string& row) {
  std::vector<std::string> out(1);
  for (char ch : row) {
    if (ch == '\t') {
      out.emplace_back();
    } else {
      out.back() += ch;
    }
  }
  return out;
}

constexpr const char* header =
    "阶段\t气体比或CO分压\tO2/Nm³\t惰性气体/Nm³\t时间/min\t终点%C\t终点%Cr\t终点%Si\t终点温度/℃\t脱碳/kg\tCr氧化/"
    "kg\tSi氧化/kg\t脱碳效率/%\t临界%C\t说明";

// Pure oxygen above the critical carbon burns only carbon, at r_sup: every
// figure of the first row follows by hand.
TEST(SimulateCommand, WorkedRunClosesByHand) {
  const std::string path = stageFile("velkarin_sim_worked.csv", "gas,O2,C\n1:0,,1.5\n1:1,200,\n");
  const CommandRun r = run(heatArgs(path));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> rows = lines(r.out);
  ASSERT_EQ(rows.size(), 11u) << r.out;
  EXPECT_EQ(rows[0], header);
  const double oxygen = 800 * 0.5 / molar::carbon * molar::volume;  // Nm³ for 800 kg C
  const double minutes = oxygen / 60;
  const double supply = 2 * 60 / molar::volume * molar::carbon;  // kg C/min
  const double rise = (9000 * supply - 1.5 * 0.82 * 80000) / (0.82 * 80000) * minutes;
  EXPECT_EQ(rows[1], "1\t1:0\t" + fixedText(oxygen, 1) + "\t0.0\t" + fixedText(minutes, 2) +
                         "\t1.5000\t18.0000\t0.0000\t" + fixedText(1550 + rise, 1) + "\t800.0\t0.0\t0.0\t100.00\t\t");
  const std::vector<std::string> second = cells(rows[2]), total = cells(rows[3]);
  ASSERT_EQ(second.size(), 15u);
  EXPECT_EQ(std::vector(second.begin(), second.begin() + 5),
            (std::vector<std::string>{"2", "1:1", "200.0", "200.0", "3.33"}));
  ASSERT_EQ(total.size(), 15u);
  EXPECT_EQ(total[0], "合计");
  EXPECT_EQ(total[2], fixedText(oxygen + 200, 1));
  EXPECT_EQ(total[5], second[5]);  // the end carbon of the last stage
  EXPECT_EQ(rows[4], "");
  const char* labels[] = {"还原Si/kg\t", "FeSi/kg\t", "CaO/kg\t", "渣量/kg\t", "出钢温度/℃\t", "出钢%Cr\t"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(rows[5 + i].rfind(labels[i], 0), 0u) << rows[5 + i];
  EXPECT_EQ(rows[10], "出钢%Cr\t18.0000");
}

TEST(SimulateCommand, TrajectoryIsTheSampledPath) {
  const std::string path = stageFile("velkarin_sim_path.csv", "gas,O2\n1:0,150\n3:1,90\n");
  std::vector<std::string> args = heatArgs(path);
  args.push_back("--trajectory");
  const CommandRun r = run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> rows = lines(r.out);
  EXPECT_EQ(rows.at(0), "时间/min\tO2/Nm³\t%C\t%Cr\t%Si\t温度/℃\t平衡%C\t控制氧化物");
  // 150 Nm³ at 60 Nm³/min: 2.5 min, then 1.5 min more; samples every 0.5 min and at each stage's end and start.
  std::vector<std::string> times;
  for (std::size_t i = 1; i < rows.size(); ++i) times.push_back(rows[i].substr(0, rows[i].find('\t')));
  const std::vector<std::string> expected{"0.00", "0.50", "1.00", "1.50", "2.00",
                                          "2.50", "2.50", "3.00", "3.50", "4.00"};
  EXPECT_EQ(times, expected) << r.out;
  EXPECT_NE(rows.back().find("\t240.0\t"), std::string::npos) << rows.back();
}

struct Refused {
  const char* name;
  const char* file;                // the stage file's text
  std::vector<std::string> extra;  // options besides the heat's
  int status;
  const char* message;
};

TEST(SimulateCommand, RefusesWhatItCannotReadOrDo) {
  const Refused cases[] = {
      {"bad_oxygen_cell", "gas,O2\n3:1,lots\n", {}, 1, "line 2: O2 'lots' is not a number"},
      {"bad_inert", "gas,O2,inert\n3:1,100,He\n", {}, 1, "inert 'He' is neither Ar nor N2"},
      {"no_gas_column", "O2,C\n100,0.5\n", {}, 1, "no column named gas"},
      {"column_twice", "gas,C,终点%C\n3:1,0.5,0.4\n", {}, 1, "named twice"},
      {"no_stages", "gas,O2\n", {}, 1, "no stages"},
      {"negative_k", "gas,O2\n3:1,100\n", {"--rate-constant", "-1"}, 2, "--rate-constant must not be negative"},
      {"with_ledger", "gas,O2\n3:1,100\n", {"--ledger"}, 2, "--simulate excludes --ledger"},
      {"below_zero_kelvin", "gas,O2\n3:1,100\n", {"--start-temperature", "-300"}, 2, "above -273"},
  };
  for (const Refused& c : cases) {
    std::vector<std::string> args = heatArgs(stageFile("velkarin_sim_refused.csv", c.file));
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
      if (!c.extra.empty() && args[i] == c.extra[0])
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    }
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CommandRun r = run(args);
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.name;
  }
  EXPECT_EQ(run({"--simulate", "--stages", "/nonexistent/stages.csv", "--heat-mass", "80"}).status, 1);
  EXPECT_EQ(run({"--trajectory"}).status, 2);
  EXPECT_EQ(run({"--heat-loss", "2"}).status, 2);
  EXPECT_EQ(run({"--simulate", "--heat-mass", "80"}).status, 2);
  const std::string good = stageFile("velkarin_sim_good.csv", "gas,O2\n3:1,100\n");
  const CommandRun noTemperature =
      run({"--simulate", "--stages", good, "--heat-mass", "80", "--start-carbon", "1", "--o2-flow", "60"});
  EXPECT_EQ(noTemperature.status, 2);
  EXPECT_NE(noTemperature.err.find("--simulate needs --start-temperature"), std::string::npos);
}

TEST(SimulateCommand, StageProblemsAndNotesAreWordedInTheTable) {
  const std::string path = stageFile("velkarin_sim_notes.csv", "gas,O2,C\n3:1,,2.6\n0:1,100,\n3:1,100,\n");
  const CommandRun r = run(heatArgs(path));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> rows = lines(r.out);
  EXPECT_NE(rows.at(1).find("终点C浓度不低于本段开始时的2.5000%，本段不吹氧"), std::string::npos) << rows[1];
  EXPECT_NE(rows.at(2).find("不含氧气"), std::string::npos) << rows[2];
  EXPECT_NE(rows.at(3).find("前面一段无法计算"), std::string::npos) << rows[3];
  EXPECT_EQ(rows.at(4), "合计\t\t\t\t\t\t\t\t\t\t\t\t\t\t");
  EXPECT_EQ(rows.at(11), "出钢%Cr\t");
  EXPECT_NE(r.err.find("stage 2 cannot be simulated"), std::string::npos) << r.err;
}

// A tenfold tighter tolerance changes no printed digit: of schedules that
// blow through the critical carbon, additions and pressure items; of a slow
// bath (k = 0.05 1/min) whose chromium burns across the point where the
// Cr2O3 and Cr3O4 equilibria cross, where the governing oxide changes; and of
// a heat that rides that crossing a while, burning chromium to both oxides
// (each oxide's own burning would carry the bath back over it).
struct ToleranceCase {
  const char* name;
  SimulationHeat heat;
  std::vector<SimulationStage> stages;
};

SimulationHeat toleranceHeat(double rateConstant) {
  SimulationHeat heat = test::heat80();
  heat.rateConstant = rateConstant;
  return heat;
}

SimulationHeat ridingHeat() {
  SimulationHeat heat;
  heat.massTonnes = 80;
  heat.startCarbon = 0.805639;
  heat.startTemperature = 1619.3;
  heat.oxygenFlow = 63.6197;
  heat.heatLoss = 20.7292;
  heat.composition = {18.8829, 9.67407, 0.0447318, 0.80607};
  heat.rateConstant = 0.369039;
  heat.lines = {presetLine(Reaction::Cr2O3, 0), presetLine(Reaction::Cr3O4, 1)};
  return heat;
}

TEST(SimulateCommand, TighterToleranceChangesNoDigit) {
  const auto stage = [](std::string gas, std::optional<double> o2, std::optional<double> c, double lime = 0,
                        double scrap = 0) {
    return SimulationStage{std::move(gas), o2, c, lime, scrap, InertGas::Argon};
  };
  const ToleranceCase cases[] = {
      {"critical_and_additions",
       toleranceHeat(0.30),
       {stage("3:1", {}, 0.6, 2000), stage("1:1", {}, 0.2, 0, 1500), stage("1:2", {}, 0.08), stage("1:3", 300, {})}},
      {"pressure_item",
       toleranceHeat(0.30),
       {stage("4:1", 700, {}), stage("2:1", {}, 0.3), stage("50000", {}, 0.1, 800), stage("1:4", 250, {})}},
      {"oxides_crossing",
       toleranceHeat(0.05),
       {stage("1:0", {}, 0.9), stage("5:1", 400, {}), stage("25000", {}, 0.2, 0, 3000), stage("1:4", {}, 0.03)}},
      {"riding_the_crossing", ridingHeat(), {stage("2.02:1", 930.531, {}), stage("4.97:1", 931.545, {})}},
  };
  for (const ToleranceCase& c : cases) {
    const BlowSimulation normal = simulateBlow(c.heat, c.stages);
    const BlowSimulation tight = simulateBlow(c.heat, c.stages, SimulationTolerance{1e-10, 1e-8});
    ASSERT_TRUE(normal.totals) << c.name;
    ASSERT_TRUE(tight.totals) << c.name;
    EXPECT_EQ(simulationTsv(normal, c.stages), simulationTsv(tight, c.stages)) << c.name;
    EXPECT_EQ(trajectoryTsv(normal), trajectoryTsv(tight)) << c.name;
  }
}

}  // namespace
}  // namespace velkarin
