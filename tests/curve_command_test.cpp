// SPDX-License-Identifier: Apache-2.0
#include "cli/curve_command.h"

#include "calc/plan.h"

#include <gtest/gtest.h>

#include "curve_run.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace velkarin {
namespace {

using test::CommandRun;
using test::run;

struct BadOptions {
  const char* name;
  std::vector<std::string> args;
  const char* message;  // part of the message on stderr
};

void PrintTo(const BadOptions& c, std::ostream* os) { *os << c.name; }

class BadCurveOptions : public ::testing::TestWithParam<BadOptions> {};

TEST_P(BadCurveOptions, PrintUsageOnStderrAndExit2) {
  const BadOptions& c = GetParam();
  const CommandRun r = run(c.args);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Usage: velkarin-curve"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    CurveCommand, BadCurveOptions,
    ::testing::Values(BadOptions{"UnknownOption", {"--temperature", "1650"}, "unknown option '--temperature'"},
                      BadOptions{"Positional", {"cr2o3"}, "unexpected argument 'cr2o3'"},
                      BadOptions{"MissingValue", {"--cr"}, "--cr needs a value"},
                      BadOptions{"UnknownReaction", {"--reaction", "cr2o4"}, "'cr2o4' is neither"},
                      BadOptions{"ChromiumNotANumber", {"--cr=18%"}, "--cr: '18%' is not a number"},
                      BadOptions{"ZeroChromium", {"--cr", "0"}, "--cr must be greater than 0"},
                      BadOptions{"NickelNotFinite", {"--ni", "inf"}, "--ni: 'inf' is not a number"},
                      BadOptions{"EmptyPressure", {"--pressures", "101325,,10000"}, "--pressures: '' is not a number"},
                      BadOptions{"ZeroPressure", {"--pressures", "101325,0"}, "0 Pa is not greater than 0"},
                      BadOptions{"InertOnly", {"--pressures", "3:1,0:1"}, "gas ratio '0:1' has no oxygen, so no CO"},
                      BadOptions{"RatioMissingSide", {"--pressures", "3:"}, "gas ratio '3:' misses a side"},
                      BadOptions{"CoShareAboveOne", {"--co-share", "1.5"}, "--co-share in (0, 1]"},
                      BadOptions{"ZeroTarget", {"--target", "0"}, "--target must be greater than 0"},
                      BadOptions{"TargetWithoutStages", {"--target", "0.03"}, "--target needs --stages"},
                      BadOptions{"ANotANumber", {"--a", "abc"}, "A 'abc' and B '-475.137' must both be numbers"},
                      BadOptions{"ZeroStep", {"--step", "0"}, "need step > 0"},
                      BadOptions{"EndBeforeStart", {"--from", "1900", "--to", "1400"}, "to >= from"},
                      BadOptions{"TooManyTemperatures", {"--step", "0.001"}, "at most 100001 temperatures"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CurveCommand, HelpGoesToStdoutWithStatus0) {
  const CommandRun r = run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, curveCommandUsage());
  EXPECT_EQ(r.err, "");
}

struct GoodOptions {
  const char* name;
  std::vector<std::string> args;
  CurveFamilyInputs expected;
};

void PrintTo(const GoodOptions& c, std::ostream* os) { *os << c.name; }

class GoodCurveOptions : public ::testing::TestWithParam<GoodOptions> {};

// Options land in the family inputs, and the program prints that family.
TEST_P(GoodCurveOptions, PrintTheFamilyTheyDescribe) {
  const GoodOptions& c = GetParam();
  const auto parsed = parseCurveCommand(c.args);
  ASSERT_TRUE(std::holds_alternative<CurveCommandOptions>(parsed)) << std::get<std::string>(parsed);
  const CurveFamilyInputs& in = std::get<CurveCommandOptions>(parsed).family;
  const CurveFamilyInputs& ex = c.expected;
  EXPECT_EQ(in.reaction, ex.reaction);
  EXPECT_EQ(in.line.a, ex.line.a);
  EXPECT_EQ(in.line.b, ex.line.b);
  EXPECT_EQ(in.composition.chromium, ex.composition.chromium);
  EXPECT_EQ(in.composition.nickel, ex.composition.nickel);
  EXPECT_EQ(in.composition.silicon, ex.composition.silicon);
  EXPECT_EQ(in.composition.manganese, ex.composition.manganese);
  EXPECT_EQ(in.coPressures, ex.coPressures);
  EXPECT_EQ(curveTemperatures(in.temperatures), curveTemperatures(ex.temperatures));

  const CommandRun r = run(c.args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, curveFamilyTsv(equilibriumCurveFamily(ex)));
  EXPECT_EQ(r.err, "");
}

CurveFamilyInputs family(Reaction reaction, ReactionLine line, CurveComposition comp, std::vector<double> pressures,
                         TemperatureRange range) {
  return {reaction, line, comp, std::move(pressures), range, {}};
}

const std::vector<double> defaultPressures{101325, 50000, 25000, 10000};

INSTANTIATE_TEST_SUITE_P(
    CurveCommand, GoodCurveOptions,
    ::testing::Values(
        GoodOptions{"Defaults", {}, family(Reaction::Cr2O3, {739938, -475.137}, {18, 9, 0, 0}, defaultPressures, {})},
        GoodOptions{"Cr3O4TakesItsOwnFirstPresetRow",
                    {"--reaction", "cr3o4"},
                    family(Reaction::Cr3O4, {697890, -461.535}, {18, 9, 0, 0}, defaultPressures, {})},
        GoodOptions{"AOnlyKeepsThePresetB",
                    {"--a= 743675 ", "--reaction=cr2o3"},
                    family(Reaction::Cr2O3, {743675, -475.137}, {18, 9, 0, 0}, defaultPressures, {})},
        GoodOptions{"Everything",
                    {"--reaction", "cr3o4",   "--a",  "661725", "--b",  "-438.852", "--cr",
                     "25",         "--ni=10", "--si", "0.5",    "--mn", "-1",       "--pressures",
                     "80000,2e4",  "--from",  "1500", "--to",   "1600", "--step",   "10"},
                    family(Reaction::Cr3O4, {661725, -438.852}, {25, 10, 0.5, -1}, {80000, 20000}, {1500, 1600, 10})}),
    [](const auto& row) { return std::string(row.param.name); });

// Gas ratios become pressures under --total-pressure and --co-share, and
// name their curves.
TEST(CurveCommand, GasRatiosNameTheirCurves) {
  const CommandRun r = run(
      {"--pressures", "1:1, 50000", "--total-pressure", "200000", "--co-share=0.5", "--from", "1600", "--to", "1600"});
  EXPECT_EQ(r.status, 0);
  CurveFamilyInputs expected;
  expected.coPressures = {100000, 50000};
  expected.labels = {"1:1 → 100000 Pa", ""};
  expected.temperatures = {1600, 1600, 1};
  EXPECT_EQ(r.out, curveFamilyTsv(equilibriumCurveFamily(expected)));
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "t/℃\t1:1 → 100000 Pa\t50000 Pa (0.493)");
}

struct StageFileCase {
  const char* name;
  const char* text;
  int status;
  const char* expected;  // part of stdout (status 0) or of stderr
};

// A stage file is read by its header's names, printed as the diagram's stage
// table, with the target columns when a target is given.
TEST(CurveCommand, PrintsTheStageTableOfAStageFile) {
  const std::string path = ::testing::TempDir() + "/velkarin_stages.csv";
  for (const StageFileCase& c : std::vector<StageFileCase>{
           {"English header", "t,C,gas\n1600,0.60,3:1\n\n1720,0.04,1:3\n", 0,
            "\n1\t3:1\t1600\t0.60\t86850\t0.405628\t0.365989\tCr2O3\t0.194372\t\t\t1:36.2\t5310\n"},
           {"Saved stage table", "阶段,气体比或CO分压,温度/℃,实测%C\r\n1,1:3,1720,\r\n", 0,
            "\n1\t1:3\t1720\t\t40530\t0.085783\t0.080817\tCr2O3\t\t\t1875.826\t1:12.7\t13779\n"},
           {"Bad stage", "gas,t\n0:1,1600\n", 0, "\n1\t0:1\t1600\t\t\t\t\t\t\t气体比“0:1”不含氧气，不生成CO\t\t\t\n"},
           {"No gas column", "t,C\n1600,0.6\n", 1, "line 1: the header line has no column 'gas'"},
           {"Unterminated quote", "gas,t\n\"3:1,1600\n", 1, "line 2:"},
       }) {
    std::ofstream(path, std::ios::binary) << c.text;
    const CommandRun r = run({"--stages", path, "--target", "0.03"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.expected), std::string::npos) << c.name << "\n" << r.out << r.err;
  }
  const CommandRun missing = run({"--stages", path + ".missing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("No such file"), std::string::npos) << missing.err;
}

// The notes on stderr are the tool's own English around the core's answer:
// no Chinese sentence in an English frame.
TEST(CurveCommand, StageNotesAreEnglish) {
  const std::string path = ::testing::TempDir() + "/velkarin_stage_notes.csv";
  std::ofstream(path, std::ios::binary) << "gas,t,C\n1:1,1700,0.5\n4:1,1600,\n,1600,\n3:1,hot,\n3:1,-300,\n";
  const CommandRun r = run({"--a", "-100000", "--b", "50", "--stages", path, "--target", "0.1"});
  EXPECT_EQ(r.status, 0);
  for (const char* note :
       {"stage 1: no temperature in 1400-1900 deg C brings the governing equilibrium carbon to 0.1 %C",
        "stage 3: the gas cell is empty", "stage 4: temperature 'hot' is not a number",
        "stage 5: temperature '-300' is below -273 deg C (0 K)"}) {
    EXPECT_NE(r.err.find(note), std::string::npos) << note << "\n" << r.err;
  }
  for (unsigned char c : r.err) EXPECT_LT(c, 0x80) << r.err;
  // Pure oxygen keeps 3 %C: any ratio, p_CO = P, never more.
  const CommandRun any = run({"--stages", path, "--target", "3"});
  EXPECT_NE(any.out.find("\n2\t4:1\t1600\t\t90067\t"), std::string::npos) << any.out;
  EXPECT_NE(any.out.find("\t1:0\t101325\n"), std::string::npos) << any.out;
  EXPECT_NE(any.err.find("stage 2: any gas ratio: even pure oxygen (p_CO = 101325 Pa)"), std::string::npos) << any.err;
}

// --ledger: every figure finite or the option that made it infinite
// refused by its name; a stage that cannot be booked, and a stage below its
// equilibrium whose efficiency is assumed, say so on stderr in English.
TEST(CurveCommand, LedgerRefusesWhatItCannotPrintAndSaysWhyInEnglish) {
  // The heat of 80 t from 1.5 %C, unless `more` gives its mass.
  const auto ledger = [&](const std::string& file, const std::string& text, std::vector<std::string> more) {
    const std::string path = ::testing::TempDir() + "/" + file;
    std::ofstream(path, std::ios::binary) << text;
    std::vector<std::string> args{"--stages", path, "--ledger", "--start-carbon", "1.5"};
    if (std::ranges::find(more, "--heat-mass") == more.end()) args.insert(args.end(), {"--heat-mass", "80"});
    args.insert(args.end(), more.begin(), more.end());
    return run(args);
  };
  const std::string blow = "gas,t,C,O2\n4:1,1600,0.60,950\n1:3,1650,0.30,\n";
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> options;
    int status;
    const char* err;  // part of stderr
  };
  for (const Case& c : std::vector<Case>{
           {"basicity 1e308", blow, {"--basicity", "1e308"}, 2, "--basicity: 1e+308 is so large that the CaO"},
           {"grade 1e-308", blow, {"--fesi-grade", "1e-308"}, 2, "--fesi-grade: 1e-308 is so small that the FeSi"},
           {"flow 1e-308", blow, {"--o2-flow", "1e-308"}, 2, "--o2-flow: 1e-308 is so small that a stage's minutes"},
           {"mass 1e308",
            blow,
            {"--heat-mass", "1e308"},
            2,
            "--heat-mass: 1e+308 t with --cr and --si makes the charge"},
           {"repeated O2", "gas,t,C,O2,O2\n4:1,1600,0.6,950,900\n", {}, 1, "line 1: column 'O2' appears twice"},
           {"O2 and O2/Nm³", "gas,t,C,O2,O2/Nm³\n4:1,1600,0.6,950,900\n", {}, 1, "column 'O2' appears twice"},
           {"more Cr than the bath",
            "gas,t,C,O2\n4:1,1600,0.60,20000\n",
            {},
            0,
            "stage 1: O2 '20000' Nm3 would burn 59783.4 kg of chromium, more than the 14400.0 kg left in the bath"},
           {"O2 not a number, then a good stage",
            "gas,t,C,O2\n4:1,1600,0.60,abc\n3:1,1650,0.30,250\n",
            {},
            0,
            "stage 1: O2 'abc' is not a positive number: not booked\n"},
           {"below equilibrium from η",
            "gas,t,C,O2\n4:1,1600,0.60,\n4:1,1600,0.05,\n",
            {},
            0,
            "stage 2: its end carbon is below its governing equilibrium carbon: its figures assume a decarburisation "
            "efficiency it cannot reach\n"},
       }) {
    const CommandRun r = ledger("velkarin_ledger.csv", c.text, c.options);
    EXPECT_EQ(r.status, c.status) << c.name << "\n" << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.name << "\n" << r.err;
    EXPECT_EQ(r.out.find("inf"), std::string::npos) << c.name << "\n" << r.out;
    for (unsigned char ch : r.err) EXPECT_LT(ch, 0x80) << c.name << "\n" << r.err;
    if (c.status != 0) {
      EXPECT_EQ(r.out, "") << c.name;
    }
  }
  // After the unbookable first stage the second is booked from its end carbon, alone on stderr's notes.
  const CommandRun after = ledger("velkarin_ledger.csv", "gas,t,C,O2\n4:1,1600,0.60,abc\n3:1,1650,0.30,250\n", {});
  EXPECT_NE(after.out.find("\n2\t3:1\t250.0\t83.3\t\t240.0\t223.9\t89.57\t"), std::string::npos) << after.out;
  EXPECT_EQ(after.err.find("stage 2"), std::string::npos) << after.err;
}

TEST(CurveCommand, CountsGapsPerCurveOnStderr) {
  const CommandRun r = run({"--pressures", "101325,10000", "--from", "2850", "--to", "2860", "--step", "5"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("101325 Pa (1.000): 1 of 3 temperatures"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("10000 Pa (0.099): 3 of 3 temperatures"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("(below-range: 3)"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace velkarin

namespace velkarin {
namespace {

const char* const planJson = R"({"format": "velkarin-plan", "version": 1, "reaction": "Cr2O3", "A": "739938",
  "B": "-475.137", "otherA": "697890", "otherB": "-461.535", "composition": {"Cr": "18", "Ni": "9", "Si": "0.3",
  "Mn": "1.2"}, "pressures": "3:1, 1:1, 1:3", "totalPressure": "101325", "coShare": "0.95", "bothOxides": true,
  "target": "0.03", "heat": {"mass": "80", "startCarbon": "1.5", "oxygenFlow": "40", "fesiGrade": "75",
  "basicity": "1.8"}, "stages": [{"gas": "3:1", "t": "1600", "C": "0.60", "O2": ""},
  {"gas": "1:1", "t": "1680", "C": "0.15", "O2": "300"}, {"gas": "1:3", "t": "1720", "C": "0.04", "O2": ""}],
  "note": "heat 2"})";
const char* const planStages = "gas,t,C,O2\n3:1,1600,0.60,\n1:1,1680,0.15,300\n1:3,1720,0.04,\n";
const std::vector<std::string> planOptions{"--a",        "739938",   "--b",      "-475.137", "--other-a", "697890",
                                           "--other-b",  "-461.535", "--si",     "0.3",      "--mn",      "1.2",
                                           "--co-share", "0.95",     "--target", "0.03"};
const std::vector<std::string> heatOptions{"--heat-mass", "80", "--start-carbon", "1.5", "--o2-flow", "40"};

std::string written(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// --plan prints, and a stage file with the diagram's condition rows reads
// back to, exactly what --stages with the same entries as options prints;
// an option beside the file overrides its entry.
TEST(CurveCommand, APlanPrintsWhatTheSameEntriesAsOptionsPrint) {
  const std::string plan = written("velkarin_plan.velkarin", planJson);
  const std::string stages = written("velkarin_plan_stages.csv", planStages);
  std::string conditions = "\xEF\xBB\xBF";
  for (const auto& [name, text] : planConditions(std::get<Plan>(readPlanText(planJson)))) {
    conditions += "#" + name + ",\"" + text + "\"\r\n";
  }
  const std::string saved = written("velkarin_plan_saved.csv", conditions + "\r\n" + planStages);
  struct Case {
    const char* name;
    std::vector<std::string> file, extra, options;
  };
  for (const Case& c : std::vector<Case>{
           {"table", {"--plan", plan}, {}, planOptions},
           {"ledger", {"--plan", plan}, {"--ledger"}, joined(joined(planOptions, heatOptions), {"--ledger"})},
           {"override",
            {"--plan", plan},
            {"--si", "0", "--target", "0.1"},
            {"--a", "739938", "--b", "-475.137", "--other-a", "697890", "--other-b", "-461.535", "--mn", "1.2",
             "--co-share", "0.95", "--si", "0", "--target", "0.1"}},
           {"saved csv", {"--stages", saved}, {}, planOptions},
           {"saved csv ledger",
            {"--stages", saved},
            {"--ledger"},
            joined(joined(planOptions, heatOptions), {"--ledger"})},
       }) {
    const CommandRun fromFile = run(joined(c.file, c.extra));
    const CommandRun fromOptions = run(joined({"--stages", stages}, c.options));
    EXPECT_EQ(fromFile.status, 0) << c.name << fromFile.err;
    EXPECT_EQ(fromFile.out, fromOptions.out) << c.name;
    EXPECT_EQ(fromFile.err, fromOptions.err) << c.name;
    EXPECT_GT(std::count(fromFile.out.begin(), fromFile.out.end(), '\n'), 3) << c.name << fromFile.out;
  }
  // The plan's [%Si], [%Mn] and η, not the defaults: the figures the diagram showed.
  EXPECT_NE(run({"--plan", plan}).out, run({"--stages", stages, "--target", "0.03"}).out);
}

TEST(CurveCommand, PlansAndConditionRowsThatCannotBeUsedAreRefused) {
  const std::string broken =
      written("velkarin_broken.velkarin", "{\"format\": \"velkarin-plan\",\n\"version\": 1,\n\"A\": }");
  const std::string nine = written("velkarin_nine.velkarin", R"({"format":"velkarin-plan","version":1,
    "composition":{"Ni":"nine"},"stages":[{"gas":"3:1","t":"1600"}]})");
  const std::string newer = written("velkarin_newer.velkarin", R"({"format":"velkarin-plan","version":7})");
  const std::string colour = written("velkarin_colour.csv", "#colour,red\ngas,t\n3:1,1600\n");
  const std::string reaction = written("velkarin_reaction.csv", "#reaction,CrO\ngas,t\n3:1,1600\n");
  const std::string noHeat = written("velkarin_noheat.velkarin", R"({"format":"velkarin-plan","version":1})");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  for (const Case& c : std::vector<Case>{
           {{"--plan", broken}, 1, "velkarin_broken.velkarin: line 3, column 6: not JSON"},
           {{"--plan", nine}, 1, "velkarin_nine.velkarin: composition/Ni: --ni: 'nine' is not a number"},
           {{"--plan", newer}, 1, "plan version 7 is newer than this program reads (1)"},
           {{"--plan", noHeat + ".missing"}, 1, "No such file"},
           {{"--stages", colour}, 1, "line 1: '#colour' is no condition"},
           {{"--stages", reaction}, 1, "line 1: '#reaction' is no condition"},
           {{"--plan", noHeat, "--ledger"}, 2, "--ledger needs --heat-mass and --start-carbon"},
           {{"--plan", noHeat, "--stages", colour}, 2, "--plan and --stages exclude each other"},
       }) {
    const CommandRun r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.message << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  // A valid plan with an option of the command line that is bad: the option's usage error.
  EXPECT_EQ(run({"--plan", noHeat, "--cr", "x"}).status, 2);
}

}  // namespace
}  // namespace velkarin
