// SPDX-License-Identifier: Apache-2.0
#include "cli/schedule_command.h"

#include <gtest/gtest.h>

#include <fstream>

#include "calc/plan.h"
#include "calc/plan_members.h"
#include "calc/reaction_data.h"
#include "cli/curve_command.h"
#include "curve_run.h"

namespace velkarin {
namespace {

using test::CommandRun;
using test::run;

CurveCommandOptions parsed(const std::vector<std::string>& args) {
  auto options = parseCurveCommand(args);
  EXPECT_TRUE(std::holds_alternative<CurveCommandOptions>(options)) << std::get<std::string>(options);
  return std::get<CurveCommandOptions>(options);
}

std::string member(const Plan& plan, const std::string& place) {
  for (const auto& [name, text] : planConditions(plan)) {
    if (name == place) return text;
  }
  ADD_FAILURE() << "no member " << place;
  return {};
}

// The file's conditions where the command line gives none, the command
// line's over them, the presets of the plan's own reaction for A and B no
// one gave, and an empty optional condition as not given.
TEST(SchedulePlan, TheCommandLineOverridesTheFileAndPresetsFillTheRest) {
  using Conditions = std::vector<std::pair<std::string, std::string>>;
  const std::string_view cr3o4A = reactionData(Reaction::Cr3O4).presets[0].a;
  const std::string_view cr2o3B = reactionData(Reaction::Cr2O3).presets[0].b;
  struct Case {
    const char* name;
    Conditions conditions;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> expected;  // place, text
    std::vector<std::string> fromFile;
  };
  for (const Case& c : std::vector<Case>{
           {"file only",
            {{"composition/Ni", "8"}, {"target", "0.05"}},
            {},
            {{"composition/Ni", "8"}, {"target", "0.05"}},
            {"composition/Ni", "target"}},
           {"option wins", {{"composition/Ni", "8"}}, {"--ni", "7.5"}, {{"composition/Ni", "7.5"}}, {}},
           {"reaction's presets",
            {{"reaction", "Cr3O4"}},
            {},
            {{"reaction", "Cr3O4"}, {"A", std::string(cr3o4A)}, {"otherB", std::string(cr2o3B)}},
            {"reaction"}},
           {"option's reaction", {}, {"--reaction", "cr3o4"}, {{"reaction", "Cr3O4"}, {"A", std::string(cr3o4A)}}, {}},
           {"empty optional skipped",
            {{"target", "0.03"}, {"target", " "}, {"heat/fesiGrade", ""}},
            {},
            {{"target", "0.03"}, {"heat/fesiGrade", "75"}},
            {"target"}},
           {"no option, not taken",
            {{"bothOxides", "true"}, {"heat/slagMass", "x"}},
            {},
            {{"bothOxides", "false"}},
            {}},
       }) {
    const auto made = schedulePlan(Plan(), c.conditions, parsed(c.args));
    ASSERT_TRUE(std::holds_alternative<SchedulePlan>(made)) << c.name << ": " << std::get<std::string>(made);
    const SchedulePlan& s = std::get<SchedulePlan>(made);
    for (const auto& [place, text] : c.expected) EXPECT_EQ(member(s.plan, place), text) << c.name << ": " << place;
    EXPECT_EQ(s.fromFile, std::set<std::string>(c.fromFile.begin(), c.fromFile.end())) << c.name;
    EXPECT_EQ(s.plan.heat.slagMass, "0") << c.name;  // a simulation member is no stage table's condition
  }
}

// A condition its option refuses, or one the file gives twice, names its
// place; where the command line gives the member, the file's is not read.
TEST(SchedulePlan, AConditionItsOptionRefusesNamesItsPlace) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> conditions;
    std::vector<std::string> args;
    const char* message;  // empty: the plan is made
  };
  for (const Case& c : std::vector<Case>{
           {{{"composition/Cr", "0"}}, {}, "composition/Cr: --cr must be greater than 0"},
           {{{"composition/Cr", "0"}}, {"--cr", "17"}, ""},
           {{{"heat/fesiGrade", "101"}}, {}, "heat/fesiGrade: --fesi-grade must be in (0, 100]"},
           {{{"target", "x"}}, {}, "target: --target: 'x' is not a number"},
           {{{"A", "1"}, {"B", "2"}, {"A", "3"}}, {}, "A: --a given twice"},
           {{{"reaction", "Cr3O4"}, {"reaction", "Cr3O4"}}, {}, "reaction: --reaction given twice"},
           {{{"target", "0.1"}, {"target", ""}}, {}, ""},  // an empty optional one is not given at all
           {{{"A", "x"}}, {}, ""},                         // A and B are read together, later
           {{{"heat/slagMass", "x"}, {"heat/slagMass", "y"}}, {}, ""},
       }) {
    const auto made = schedulePlan(Plan(), c.conditions, parsed(c.args));
    const auto* message = std::get_if<std::string>(&made);
    EXPECT_EQ(message ? *message : std::string(), c.message);
  }
}

std::string written(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A and B, P and η, the pressure list read together: refused as the file's
// (status 1, after its place) when the option the message names came from
// the file, else as the command line's (status 2, with the usage).
TEST(SchedulePlan, MembersThatDoNotGoTogetherAreTheFilesOrTheCommandLines) {
  const std::string table = "gas,t,C\n3:1,1600,0.5\n";
  struct Case {
    const char* file;
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  for (const Case& c : std::vector<Case>{
           {"#A,x\n", {}, 1, ": A: --a/--b: A 'x' and B '-475.137' must both be numbers\n"},
           {"#B,y\n", {}, 2, "velkarin-curve: --a/--b: A '739938' and B 'y' must both be numbers\n\nUsage:"},
           {"#B,y\n", {"--a", "1"}, 2, "velkarin-curve: --a/--b: A '1' and B 'y'"},
           {"#otherA,z\n", {}, 1, ": otherA: --other-a/--other-b: A 'z'"},
           {"#totalPressure,0\n", {}, 1, ": totalPressure: --total-pressure must be greater than 0"},
           {"#coShare,2\n", {}, 2, "velkarin-curve: --total-pressure must be greater than 0 and --co-share in (0, 1]"},
           {"#pressures,0:1\n", {}, 1, ": pressures: --pressures"},
           {"#pressures,abc\n", {"--total-pressure", "50000"}, 1, ": pressures: --pressures"},
           {"#pressures,3:1\n", {"--co-share", "0.5"}, 0, ""},
           {"#coShare,x\n", {}, 1, ": coShare: --co-share: 'x' is not a number"},
       }) {
    const std::string path = written("velkarin_together.csv", std::string(c.file) + table);
    std::vector<std::string> args{"--stages", path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CommandRun r = run(args);
    EXPECT_EQ(r.status, c.status) << c.file << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.file << r.err;
    EXPECT_EQ(r.out.empty(), c.status != 0) << c.file;
  }
}

// A stage file naming its reaction and only its A takes B, and the other
// reaction's A and B, from the presets of that reaction, as --reaction does.
TEST(SchedulePlan, AStageFileNamingItsReactionTakesThatReactionsPresets) {
  const std::string table = "gas,t,C\n3:1,1600,0.5\n1:1,1700,0.1\n";
  const std::string named = written("velkarin_named.csv", "#reaction,Cr3O4\n#A,700000\n" + table);
  const std::string plain = written("velkarin_plain.csv", table);
  const CommandRun fromFile = run({"--stages", named, "--target", "0.05"});
  const CommandRun fromOption = run({"--stages", plain, "--reaction", "cr3o4", "--a", "700000", "--target", "0.05"});
  EXPECT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_EQ(fromFile.out, fromOption.out);
  EXPECT_EQ(fromFile.err, fromOption.err);
  EXPECT_NE(fromFile.out, run({"--stages", plain, "--a", "700000", "--target", "0.05"}).out);
}

// Every option that gives a plan member records it by its place with the
// text as given; a stage table's condition reads back to its option.
TEST(SchedulePlan, EveryMembersOptionRecordsItsPlace) {
  for (const PlanMember& member : planMembers()) {
    if (member.option.empty()) continue;
    const std::string option(member.option);
    const std::string value = option == "reaction" ? "cr3o4" : "1";
    std::vector<std::string> args{"--stages", "unread.csv", "--" + option, value};
    if (!member.condition) args.push_back("--simulate");
    const CurveCommandOptions options = parsed(args);
    ASSERT_EQ(options.members.size(), 1U) << option;
    EXPECT_EQ(options.members[0].first, member.place);
    EXPECT_EQ(options.members[0].second, option == "reaction" ? "Cr3O4" : value);
    EXPECT_EQ(conditionOfOption(option), member.place);
    const std::optional<MemberOption> back = optionOfCondition(member.place);
    EXPECT_EQ(back.has_value(), member.condition) << option;
    if (back) {
      EXPECT_EQ(back->option, member.option);
      EXPECT_EQ(back->optional, member.optional);
    }
  }
  EXPECT_FALSE(optionOfCondition("bothOxides"));
  EXPECT_EQ(conditionOfOption("from"), "");
}

}  // namespace
}  // namespace velkarin
