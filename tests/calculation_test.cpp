#include "calc/calculation.h"

#include <gtest/gtest.h>

#include "tests/recording.h"

namespace velkarin {
namespace {

struct WorkedExample {
  const char* name;
  Reaction reaction;
  ReactionConstants constants;
  std::vector<std::string> boxes;  // Text1 … Text8
  std::string line;
  std::string clipboard;
};

void PrintTo(const WorkedExample& ex, std::ostream* os) { *os << ex.name; }

class WorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExamples, ComeOutExactlyWithAllDefaults) {
  const WorkedExample& ex = GetParam();
  ScriptedPrompts prompts(std::vector<std::optional<std::string>>(7, std::nullopt), /*useDefaults=*/true);
  RecordingSink sink;
  const CalculationOutcome out = runCalculation(ex.reaction, ex.constants, prompts, sink);
  ASSERT_EQ(out.status, CalculationOutcome::Status::Completed);
  for (int box = 1; box <= 8; ++box) {
    EXPECT_EQ(sink.box(box), ex.boxes[static_cast<std::size_t>(box - 1)]) << "Text" << box;
  }
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(sink.lines[0], ex.line);
  ASSERT_TRUE(sink.clipboard.has_value());
  EXPECT_EQ(*sink.clipboard, ex.clipboard);
  EXPECT_TRUE(sink.notices.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothReactions, WorkedExamples,
    ::testing::Values(
        WorkedExample{"Cr2O3",
                      Reaction::Cr2O3,
                      {"739938", "-475.137"},
                      {"1349", "1764649", "-137074", "0.326346", "1.888809", "325346", "1764505", "0.126333"},
                      "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   pcoeq=1764649   "
                      "ceq=0.326   ccc=0.126",
                      "0.326346"},
        WorkedExample{"Cr3O4",
                      Reaction::Cr3O4,
                      {"697890", "-461.535"},
                      {"1626", "121437", "-8686", "0.299878", "1.920888", "298878", "121465", "0.291967"},
                      "t=1650   c=0.350   cr=18.000   Pco=101325   G=-008686   teq=1626℃   pcoeq=121437   "
                      "ceq=0.300   ccc=0.292",
                      "0.299878"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkarin
