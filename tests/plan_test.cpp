// SPDX-License-Identifier: Apache-2.0
// The plan file and what a plan gives: every member survives a round trip
// exactly as typed, members this version does not know are kept in place,
// files that are no plan are refused with what and where, and a plan's
// entries, stages, target and ledger are evaluated without a window.

#include "calc/plan.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "calc/number_text.h"
#include "calc/plan_evaluation.h"
#include "calc/plan_file.h"
#include "words/chinese.h"

#include <cstdio>
#include <string>
#include <utility>
#include <variant>

namespace velkarin {
namespace {

// A plan with every member away from its default, in texts a user may type.
Plan oddPlan() {
  Plan plan;
  plan.reaction = Reaction::Cr3O4;
  plan.constants = {" 7.4e5 ", "-475,137"};
  plan.otherConstants = {"697890", "\"quoted\" \\ back"};
  plan.composition = {"１８", "9.", "0.3", ""};
  plan.pressures = "3:1, 1:1,\t1:3";
  plan.totalPressure = "101325 Pa";
  plan.coShare = "0.9";
  plan.bothOxides = true;
  plan.target = "0.03";
  plan.heat = {"80", "1.5", "", "72", "2"};
  plan.stages = {{"3:1", "1600", "0.60", ""}, {"", "1650℃", "", "120"}, {"1:3", "", "x", "\n"}};
  plan.note = "第2炉\n换枪后\u00a0——\ttab";
  return plan;
}

Plan readOk(const std::string& text) {
  auto read = readPlanText(text);
  if (const auto* error = std::get_if<PlanFileError>(&read)) {
    ADD_FAILURE() << planFileErrorEnglish(*error) << " in\n" << text;
    return {};
  }
  return std::get<Plan>(read);
}

TEST(PlanFile, EveryMemberRoundTripsExactlyAndTheTextIsStable) {
  const Plan plan = oddPlan();
  const std::string text = planText(plan);
  const Plan back = readOk(text);
  EXPECT_EQ(back, plan);
  EXPECT_EQ(planText(back), text);
  EXPECT_EQ(readOk(planText(Plan())), Plan());
}

TEST(PlanFile, TheIssuedExampleReadsAsWritten) {
  const Plan plan = readOk(R"({"format": "velkarin-plan", "version": 1, "reaction": "Cr2O3", "A": "739938",
    "B": "-475.137", "otherA": "697890", "otherB": "-461.535", "composition": {"Cr": "18", "Ni": "9",
    "Si": "0.3", "Mn": "1.2"}, "pressures": "3:1, 1:1, 1:3", "totalPressure": "101325", "coShare": "1",
    "bothOxides": true, "target": "0.03", "heat": {"mass": "80", "startCarbon": "1.5", "oxygenFlow": "",
    "fesiGrade": "75", "basicity": "1.8"}, "stages": [{"gas": "3:1", "t": "1600", "C": "0.60", "O2": ""}],
    "note": ""})");
  EXPECT_EQ(plan.composition.silicon, "0.3");
  EXPECT_EQ(plan.composition.manganese, "1.2");
  EXPECT_EQ(plan.otherConstants.b, "-461.535");
  EXPECT_TRUE(plan.bothOxides);
  ASSERT_EQ(plan.stages.size(), 1U);
  EXPECT_EQ(plan.stages[0], (BlowStage{"3:1", "1600", "0.60", ""}));
  EXPECT_EQ(plan.heat.mass, "80");
}

TEST(PlanFile, MissingMembersTakeDefaultsAndNumbersReadAsTheirText) {
  EXPECT_EQ(readOk(R"({"format":"velkarin-plan","version":1})"), Plan());
  const Plan plan = readOk(R"({"format":"velkarin-plan","version":1,"A":739938,"composition":{"Cr":18.5},
    "stages":[{"t":1600,"C":0.6}]})");
  EXPECT_EQ(plan.constants.a, "739938");
  EXPECT_EQ(plan.constants.b, Plan().constants.b);
  EXPECT_EQ(plan.composition.chromium, "18.5");
  EXPECT_EQ(plan.stages.at(0), (BlowStage{"", "1600", "0.6", ""}));
}

TEST(PlanFile, UnknownMembersAreKeptInTheirPlaces) {
  const Plan plan = readOk(R"({"format":"velkarin-plan","version":1,"shift":{"crew":"B","n":[1,2]},
    "heat":{"mass":"80","ladle":7},"stages":[{"gas":"3:1","sample":"S1"},{"gas":"1:1"}],"note":"x"})");
  EXPECT_EQ(plan.extraMembers.size(), 3U);
  const std::string text = planText(plan);
  const Plan back = readOk(text);
  EXPECT_EQ(back, plan);
  // Where they stand in the written file: the ladle in the heat, the sample in its stage.
  EXPECT_NE(text.find("\"shift\": {\n    \"crew\": \"B\""), std::string::npos) << text;
  EXPECT_LT(text.find("\"ladle\": 7"), text.find("\"stages\"")) << text;
  EXPECT_LT(text.find("\"sample\": \"S1\""), text.find("\"1:1\"")) << text;
}

TEST(PlanFile, FilesThatAreNoPlanAreRefusedWithWhatAndWhere) {
  struct Case {
    std::string text;
    PlanFault fault;
    std::size_t line, column;  // NotJson only
    std::string member;
  };
  const std::string head = R"({"format":"velkarin-plan","version":1,)";
  const Case cases[] = {
      {"", PlanFault::NotJson, 1, 1, ""},
      {"{\"format\": \"velkarin-plan\",\n  \"version\": 1,\n  \"A\": }", PlanFault::NotJson, 3, 8, ""},
      {"{\"format\":\"velkarin-plan\",\"version\":1}\ngarbage", PlanFault::NotJson, 2, 1, ""},
      {std::string("{\"format\":\"velkarin-plan\",\"version\":1}\n\0{\"A\":1}", 48), PlanFault::NotJson, 2, 1, ""},
      {"[]", PlanFault::NotAPlan, 0, 0, ""},
      {R"({"format":"velkarin-stages","version":1})", PlanFault::NotAPlan, 0, 0, ""},
      {R"({"format":"velkarin-plan"})", PlanFault::NoVersion, 0, 0, "version"},
      {R"({"format":"velkarin-plan","version":"1"})", PlanFault::NoVersion, 0, 0, "version"},
      {R"({"format":"velkarin-plan","version":0})", PlanFault::NoVersion, 0, 0, "version"},
      {R"({"format":"velkarin-plan","version":2})", PlanFault::NewerVersion, 0, 0, "2"},
      {head + R"("A":true})", PlanFault::BadMember, 0, 0, "A"},
      {head + R"("reaction":"CrO"})", PlanFault::BadMember, 0, 0, "reaction"},
      {head + R"("bothOxides":"yes"})", PlanFault::BadMember, 0, 0, "bothOxides"},
      {head + R"("heat":[]})", PlanFault::BadMember, 0, 0, "heat"},
      {head + R"("composition":{"Cr":null}})", PlanFault::BadMember, 0, 0, "composition/Cr"},
      {head + R"("stages":{}})", PlanFault::BadMember, 0, 0, "stages"},
      {head + R"("stages":[{"gas":"3:1"},{"t":[1600]}]})", PlanFault::BadMember, 0, 0, "stages/2/t"},
      {head + R"("note":5})", PlanFault::BadMember, 0, 0, "note"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto read = readPlanText(c.text);
    ASSERT_TRUE(std::holds_alternative<PlanFileError>(read));
    const PlanFileError& error = std::get<PlanFileError>(read);
    EXPECT_EQ(error.fault, c.fault) << planFileErrorEnglish(error);
    if (c.fault == PlanFault::NotJson) {
      EXPECT_EQ(error.line, c.line);
      EXPECT_EQ(error.column, c.column);
      EXPECT_NE(planFileErrorEnglish(error).find("line " + std::to_string(c.line) + ", column "), std::string::npos);
    } else {
      EXPECT_EQ(error.member, c.member);
    }
  }
}

// Hostile and damaged files: a number beyond a double, nesting without end,
// names that hold the place separator. Each is refused with its place or
// read and written back whole; none may throw or overflow the stack.
TEST(PlanFile, HostileFilesAreRefusedWithTheirPlaceOrKeptWhole) {
  const std::string head = R"({"format":"velkarin-plan","version":1,)";
  struct Refused {
    std::string text;
    PlanFault fault;
    std::size_t column;
    std::string member;
  };
  const Refused refused[] = {
      {head + R"("A":1e400})", PlanFault::NumberOutOfRange, 43, "A"},  // the column where the number starts
      {head + R"("A":-1e400})", PlanFault::NumberOutOfRange, 43, "A"},
      {head + R"("shift":{"n":[1,2e999]}})", PlanFault::NumberOutOfRange, 55, "shift"},
      {head + R"("stages":[{},{"t":1e309}]})", PlanFault::NumberOutOfRange, 57, "stages/2/t"},
      {R"({"format":"velkarin-plan","version":1e400})", PlanFault::NumberOutOfRange, 37, "version"},
      // The root and 63 more containers are allowed; the 65th opens at column 69.
      {R"({"x":)" + std::string(100, '[') + std::string(100, ']') + "}", PlanFault::TooDeep, 69, ""},
      {head + R"("x":")" + std::string(100, '[') + R"(",)" + R"("y":)" + std::string(70, '['), PlanFault::TooDeep,
       head.size() + 111 + 64, ""},
  };
  for (const Refused& c : refused) {
    SCOPED_TRACE(c.text.substr(0, 120));
    const auto read = readPlanText(c.text);
    ASSERT_TRUE(std::holds_alternative<PlanFileError>(read));
    const PlanFileError& error = std::get<PlanFileError>(read);
    EXPECT_EQ(error.fault, c.fault) << planFileErrorEnglish(error);
    EXPECT_EQ(error.line, 1U);
    EXPECT_EQ(error.column, c.column) << planFileErrorEnglish(error);
    EXPECT_EQ(error.member, c.member);
  }
  // 65,000 levels: refused without recursing.
  const std::string deep = head + R"("x":)" + std::string(65000, '[') + std::string(65000, ']') + "}";
  EXPECT_EQ(std::get<PlanFileError>(readPlanText(deep)).fault, PlanFault::TooDeep);

  // Names holding "/" or "~", at the top, in the composition and in a stage,
  // and a top-level name that reads like a stage's place: all kept, written
  // back in their places, and read again the same.
  const Plan plan = readOk(head + R"("stages/x/y":1,"my/colour":"red","a~1b":[2],"stages/1/gas":"no",)" +
                           R"("composition":{"x/y":{"z/w":3}},"stages":[{"q/r":4,"gas":"3:1"}]})");
  EXPECT_EQ(plan.stages.at(0).gas, "3:1");
  const std::vector<std::string> paths = {"stages~1x~1y",   "my~1colour",       "a~01b",
                                          "stages~11~1gas", "composition/x~1y", "stages/1/q~1r"};
  ASSERT_EQ(plan.extraMembers.size(), paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(plan.extraMembers[i].path, paths[i]);
  const std::string text = planText(plan);
  EXPECT_NE(text.find("\"x/y\": {\n      \"z/w\": 3\n    }"), std::string::npos) << text;
  EXPECT_EQ(readOk(text), plan);
  EXPECT_EQ(planText(readOk(text)), text);

  // A repeated name: the last value holds, as JSON reads it.
  EXPECT_EQ(readOk(head + R"("k":1,"k":2,"A":"1","A":"2"})").extraMembers, (std::vector<PlanExtraMember>{{"k", "2"}}));
}

// The file is laid out exactly as a JSON library lays out a document with
// two-space indentation, unknown members included, and nothing a program
// puts in a plan makes the writer throw.
TEST(PlanFile, TheWrittenLayoutIsTheLibrarysAndNeverThrows) {
  Plan plan = oddPlan();
  plan.extraMembers = {{"shift", R"({"crew":"B","n":[1,2.5,{"x":[]},{}],"e":[],"o":{}})"},
                       {"heat/ladle", "7"},
                       {"stages/2/sample", R"("S\"1")"},
                       {"composition/deep", "[[[]]]"}};
  const std::string text = planText(plan);
  EXPECT_EQ(text, nlohmann::ordered_json::parse(text).dump(2) + "\n");
  EXPECT_EQ(readOk(text), plan);

  // Places that name no object (a stage deleted since), texts that are no
  // JSON, names a member of this version has: left out without throwing,
  // and the file still reads.
  plan.extraMembers = {{"stages/x/y", "1"}, {"stages/9/t", "2"}, {"stages/99999999999999999999/t", "3"},
                       {"bad", "{"},        {"A", "\"taken\""},  {"heat/mass", "5"},
                       {"kept", "[1]"}};
  const Plan back = readOk(planText(plan));
  EXPECT_EQ(back.constants.a, plan.constants.a);
  EXPECT_EQ(back.heat.mass, plan.heat.mass);
  EXPECT_EQ(back.extraMembers, (std::vector<PlanExtraMember>{{"kept", "[1]"}}));

  // A top-level name that reads like a member's place is no member.
  const Plan odd = readOk(R"({"format":"velkarin-plan","version":1,"composition/Cr":"99","heat/mass":"5"})");
  EXPECT_EQ(odd.composition.chromium, Plan().composition.chromium);
  EXPECT_EQ(odd.heat.mass, Plan().heat.mass);
  EXPECT_EQ(odd.extraMembers.size(), 2U);
}

TEST(PlanConditions, EveryConditionSetsBackTheMemberItCameFrom) {
  const Plan odd = oddPlan();
  Plan plan;
  const auto conditions = planConditions(odd);
  EXPECT_EQ(conditions.size(), 19U);
  for (const auto& [name, text] : conditions) EXPECT_TRUE(setPlanCondition(plan, name, text)) << name;
  plan.stages = odd.stages;
  plan.note = odd.note;
  EXPECT_EQ(plan, odd);
  for (const auto& [name, text] : std::initializer_list<std::pair<const char*, const char*>>{
           {"reaction", "cr2o3"}, {"bothOxides", "1"}, {"stages", ""}, {"note", "x"}, {"heat", ""}, {"Cr", "18"}}) {
    EXPECT_FALSE(setPlanCondition(plan, name, text)) << name;
  }
  EXPECT_EQ(plan, odd);
}

}  // namespace
}  // namespace velkarin

namespace velkarin {
namespace {

// A plan's entries read as the diagram reads them, problems in its words
// and in entry order.
TEST(PlanEvaluation, EntriesReadOrSayWhyInOrder) {
  EXPECT_TRUE(readPlanEntries(Plan()).read());
  EXPECT_EQ(readPlanEntries(Plan()).family.coPressures, (std::vector<double>{101325, 50000, 25000, 10000}));
  struct Case {
    void (*change)(Plan&);
    std::vector<std::string> problems;
  };
  for (const Case& c : std::vector<Case>{
           {[](Plan& p) { p.constants.a = "x"; }, {"A“x”不是数字"}},
           {[](Plan& p) {
              p.constants = {"", "y"};
            },
            {"A“”不是数字", "B“y”不是数字"}},
           {[](Plan& p) { p.composition.chromium = "0"; }, {"[%Cr]必须大于0"}},
           {[](Plan& p) { p.composition.nickel = "-1"; }, {}},  // only Cr must be positive
           {[](Plan& p) {
              p.coShare = "1.5";
              p.totalPressure = "0";
            },
            {"总压P必须大于0", "η不能大于1"}},
           {[](Plan& p) { p.pressures = "3:1,,1:3"; }, {"*"}},
           {[](Plan& p) { p.pressures = "1,2,3,4,5,6,7,8,9,10,11,12,13"; }, {"*"}},
       }) {
    Plan plan;
    c.change(plan);
    const PlanReading reading = readPlanEntries(plan);
    if (c.problems == std::vector<std::string>{"*"}) {
      EXPECT_EQ(reading.problems.size(), 1U) << plan.pressures;  // the pressure list's own message
    } else {
      EXPECT_EQ(chinese(reading.problems), c.problems);
    }
  }
}

// The stages, the target and the ledger of a plan: the issue's figure
// (0.397590 with 0.3 %Si and 1.2 %Mn), the ratio curves of both oxides.
TEST(PlanEvaluation, StagesTargetAndLedgerFollowThePlan) {
  Plan plan;
  plan.composition = {"18", "9", "0.3", "1.2"};
  plan.pressures = "3:1, 1:3";
  plan.bothOxides = true;
  plan.target = "0.1";
  plan.heat.mass = "80";
  plan.heat.startCarbon = "1.5";
  plan.stages = {{"3:1", "1600", "0.60", ""}, {"1:3", "1700", "0.10", ""}};
  const PlanReading entries = readPlanEntries(plan);
  ASSERT_TRUE(entries.read());
  const StageEvaluation e = evaluateStages(plan, entries, *otherLineOf(plan));
  ASSERT_EQ(e.results.size(), 2U);
  EXPECT_EQ(formatPattern(*e.results[0].carbon[0].carbon, DigitPattern::Decimals6), "0.397590");
  EXPECT_EQ(e.reached, std::optional<std::size_t>(1));
  ASSERT_TRUE(e.ledger.totals.has_value());
  EXPECT_EQ(e.heat.silicon, 0.3);

  plan.target = "zero";
  plan.heat.mass.clear();
  const StageEvaluation bad = evaluateStages(plan, entries, *otherLineOf(plan));
  EXPECT_EQ(chinese(bad.target.problem), "目标C浓度“zero”不是正数");
  EXPECT_FALSE(bad.reached);
  EXPECT_FALSE(bad.ledger.totals.has_value());

  const std::vector<EquilibriumCurve> curves = planCurves(entries, *otherLineOf(plan), true);
  ASSERT_EQ(curves.size(), 4U);
  EXPECT_EQ(curves[0].label.rfind("Cr2O3 3:1", 0), 0U) << curves[0].label;
  EXPECT_EQ(curves[2].label.rfind("Cr3O4 3:1", 0), 0U) << curves[2].label;
  EXPECT_EQ(planCurves(entries, *otherLineOf(plan), false).size(), 2U);
  plan.otherConstants.b = "?";
  EXPECT_FALSE(otherLineOf(plan));
}

}  // namespace
}  // namespace velkarin

namespace velkarin {

// The one way a plan file is read from the disk: a plan, the disk's refusal
// (with nothing of the file kept) or the text's, each said in English.
TEST(PlanFileOnDisk, ReadsAPlanOrSaysWhyNot) {
  const std::string folder = ::testing::TempDir();
  const std::string good = folder + "/good.velkarin", broken = folder + "/broken.velkarin";
  Plan plan;
  plan.note = "早班";
  for (const auto& [path, text] : {std::pair{good, planText(plan)}, std::pair{broken, std::string("{\"format\":")}}) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  struct Case {
    std::string path;
    bool read;
    FileReadFault fault;
    bool textRefused;
    std::string english;  // a part of the reason
  };
  for (const Case& c : {Case{good, true, FileReadFault::None, false, ""},
                        Case{folder + "/absent.velkarin", false, FileReadFault::CannotOpen, false, "No such file"},
                        Case{folder, false, FileReadFault::NotRegular, false, "not a regular file"},
                        Case{broken, false, FileReadFault::None, true, "line 1"}}) {
    SCOPED_TRACE(c.path);
    const PlanFileRead read = readPlanFile(c.path);
    EXPECT_EQ(read.plan.has_value(), c.read);
    if (read.plan) {
      EXPECT_EQ(*read.plan, plan);
    }
    EXPECT_EQ(read.file.fault, c.fault);
    EXPECT_TRUE(read.file.bytes.empty());
    EXPECT_EQ(read.error.has_value(), c.textRefused);
    const std::string english = planFileReadEnglish(read);
    EXPECT_EQ(english.empty(), c.read);
    EXPECT_NE(english.find(c.english), std::string::npos) << english;
  }
}

}  // namespace velkarin
