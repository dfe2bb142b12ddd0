// SPDX-License-Identifier: Apache-2.0
// Lists of plain pressures as the diagram's pressure entry and the curve
// tool's --pressures read them, with the message the diagram shows for each
// problem (gas ratio items: blow_stage_test).

#include "calc/gas_ratio.h"
#include "words/chinese.h"

#include <gtest/gtest.h>

namespace velkarin {
namespace {

struct ListCase {
  const char* name;
  const char* text;
  std::vector<double> values;  // empty: a problem
  const char* message;         // the pressure list's message; "" when good
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class PressureLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(PressureLists, ReadOrSayWhy) {
  const ListCase& c = GetParam();
  const PressureListItems reading = readPressureItems(c.text, {}, 12);
  std::vector<double> values;
  for (const PressureItem& item : reading.items) values.push_back(item.coPressure);
  EXPECT_EQ(values, c.values);
  EXPECT_EQ(reading.problem.has_value(), c.values.empty());
  EXPECT_EQ(chinese(reading, 12), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PressureLists,
    ::testing::Values(
        ListCase{"Default", "101325, 50000, 25000, 10000", {101325, 50000, 25000, 10000}, ""},
        ListCase{"One", "50662.5", {50662.5}, ""}, ListCase{"BlanksAndExponent", " 1e5 ,\t2.5E4 ", {100000, 25000}, ""},
        ListCase{"OrderKeptRepeatsAllowed", "100,20000,100", {100, 20000, 100}, ""},
        ListCase{"Twelve", "1,2,3,4,5,6,7,8,9,10,11,12", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, ""},
        ListCase{"FullWidthNumbers", "１０１３２５, ５００００", {101325, 50000}, ""},
        ListCase{"Thirteen", "1,2,3,4,5,6,7,8,9,10,11,12,13", {}, "CO分压最多12个"},
        ListCase{"NothingButBlanks", "  ", {}, "请输入至少一个CO分压"},
        ListCase{"EmptyItem", "101325,,5000", {}, "CO分压列表中有空项"},
        ListCase{"TrailingComma", "101325,", {}, "CO分压列表中有空项"},
        ListCase{"NotANumber", "101325, abc", {}, "CO分压“abc”不是数字"},
        ListCase{"Semicolons", "101325; 50000", {}, "CO分压“101325; 50000”不是数字"},
        ListCase{"Unit", "101325 Pa", {}, "CO分压“101325 Pa”不是数字"},
        ListCase{"BeyondDouble", "1e400", {}, "CO分压“1e400”不是数字"},
        ListCase{"NaN", "nan", {}, "CO分压“nan”不是数字"}, ListCase{"Infinity", "inf", {}, "CO分压“inf”不是数字"},
        ListCase{"Zero", "50000, 0", {}, "CO分压0 Pa不大于0"}, ListCase{"Negative", "-5", {}, "CO分压-5 Pa不大于0"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkarin
