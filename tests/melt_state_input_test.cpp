// SPDX-License-Identifier: Apache-2.0
#include "calc/melt_state_input.h"
#include "words/chinese.h"

#include <gtest/gtest.h>

#include "tests/support/recording.h"

namespace velkarin {
namespace {

TEST(Prompts, AskTheSevenQuestionsInOrderWithEachWindowsDefaults) {
  struct Expected {
    const char* text;
    const char* title;
    const char* cr2o3Default;
    const char* cr3o4Default;
  };
  const Expected expected[] = {
      {"请输入熔池实际温度值", "温度值℃", "1650", "1650"},      {"请输入熔池实际C浓度", "C浓度值", "2.2", "0.35"},
      {"请输入熔池实际Cr浓度", "Cr浓度值", "18", "18"},         {"请输入熔池实际Ni浓度", "Ni浓度值", "9", "9"},
      {"请输入熔池实际Si浓度", "Si浓度值", "0", "0"},           {"请输入熔池实际Mn浓度", "Mn浓度值", "0", "0"},
      {"请输入熔池实际CO分压", "CO分压值", "101325", "101325"},
  };
  for (Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
    ScriptedPrompts prompts({}, /*useDefaults=*/true);
    const auto result = readMeltState(reaction, prompts);
    ASSERT_TRUE(std::holds_alternative<MeltState>(result));
    ASSERT_EQ(prompts.asked.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
      EXPECT_EQ(prompts.asked[i].text, expected[i].text);
      EXPECT_EQ(prompts.asked[i].title, expected[i].title);
      EXPECT_EQ(prompts.asked[i].defaultAnswer,
                reaction == Reaction::Cr2O3 ? expected[i].cr2o3Default : expected[i].cr3o4Default);
    }
    const MeltState& s = std::get<MeltState>(result);
    EXPECT_EQ(s.temperature, 1923);
    EXPECT_EQ(s.carbon, reaction == Reaction::Cr2O3 ? 2.2 : 0.35);
    EXPECT_EQ(s.chromium, 18);
    EXPECT_EQ(s.nickel, 9);
    EXPECT_EQ(s.silicon, 0);
    EXPECT_EQ(s.manganese, 0);
    EXPECT_EQ(s.coPressure, 101325);
  }
}

TEST(Prompts, EmptyConfirmedAnswerReadsAsZeroAndTheNextPromptFollows) {
  ScriptedPrompts prompts({"", "", "", "", "", "", ""});
  const auto result = readMeltState(Reaction::Cr2O3, prompts);
  ASSERT_TRUE(std::holds_alternative<MeltState>(result));
  EXPECT_EQ(std::get<MeltState>(result).temperature, 273);
  EXPECT_EQ(std::get<MeltState>(result).carbon, 0);
  EXPECT_EQ(prompts.asked.size(), 7u);
}

TEST(Prompts, CancelStopsTheSequence) {
  for (std::size_t cancelAt = 0; cancelAt < 7; ++cancelAt) {
    std::vector<std::optional<std::string>> answers(7, std::string("1"));
    answers[cancelAt] = std::nullopt;
    ScriptedPrompts prompts(answers);
    const auto result = readMeltState(Reaction::Cr3O4, prompts);
    EXPECT_TRUE(std::holds_alternative<Cancelled>(result)) << cancelAt;
    EXPECT_EQ(prompts.asked.size(), cancelAt + 1);
  }
}

TEST(Prompts, AnswerBeyondTheRangeFaultsBeforeTheNextPrompt) {
  ScriptedPrompts prompts({"1650", "2.2", "1e999"});
  const auto result = readMeltState(Reaction::Cr2O3, prompts);
  ASSERT_TRUE(std::holds_alternative<Fault>(result));
  EXPECT_EQ(std::get<Fault>(result).kind, FaultKind::Overflow);
  EXPECT_NE(chinese(std::get<Fault>(result)).find("Cr浓度"), std::string::npos);
  EXPECT_EQ(prompts.asked.size(), 3u);
}

TEST(Prompts, AnswersAreReadByTheLeadingNumberRule) {
  ScriptedPrompts prompts({"1 650℃", "0.3wt", "１８", "abc", "1.5e2", "&H10", "101325Pa"});
  const auto result = readMeltState(Reaction::Cr2O3, prompts);
  ASSERT_TRUE(std::holds_alternative<MeltState>(result));
  const MeltState& s = std::get<MeltState>(result);
  EXPECT_EQ(s.temperature, 1923);
  EXPECT_EQ(s.carbon, 0.3);
  EXPECT_EQ(s.chromium, 18);
  EXPECT_EQ(s.nickel, 0);
  EXPECT_EQ(s.silicon, 150);
  EXPECT_EQ(s.manganese, 16);
  EXPECT_EQ(s.coPressure, 101325);
}

}  // namespace
}  // namespace velkarin
