// SPDX-License-Identifier: Apache-2.0
#include "calc/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace velkarin {
namespace {

struct LeadingCase {
  const char* name;
  std::string answer;
  double value;
};

void PrintTo(const LeadingCase& c, std::ostream* os) { *os << c.name; }

class LeadingNumber : public ::testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumber, ReadsTheLeadingNumber) {
  const ReadResult r = readLeadingNumber(GetParam().answer);
  ASSERT_FALSE(r.error.has_value());
  EXPECT_EQ(r.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LeadingNumber,
    ::testing::Values(
        LeadingCase{"plain", "1650", 1650}, LeadingCase{"default_carbon", "2.2", 2.2},
        LeadingCase{"unit_after", "1650℃", 1650}, LeadingCase{"letters_after", "0.3wt", 0.3},
        LeadingCase{"inner_blank", "1 650", 1650}, LeadingCase{"tab_and_line_feed", "\t1\n6", 16},
        LeadingCase{"letters_only", "abc", 0}, LeadingCase{"empty", "", 0}, LeadingCase{"blanks_only", "   ", 0},
        LeadingCase{"exponent", "1.5e2", 150}, LeadingCase{"d_exponent", "1.5D2", 150},
        LeadingCase{"negative_exponent", "25E-1", 2.5}, LeadingCase{"blank_in_exponent", "1 e 2", 100},
        LeadingCase{"bare_exponent_letter", "1e", 1}, LeadingCase{"exponent_sign_only", "1e+", 1},
        LeadingCase{"second_point_stops", "1.2.3", 1.2}, LeadingCase{"leading_point", ".5", 0.5},
        LeadingCase{"trailing_point", "5.", 5}, LeadingCase{"negative", "-5", -5}, LeadingCase{"plus", "+7", 7},
        LeadingCase{"negative_fraction", "-.25", -0.25}, LeadingCase{"two_signs", "+-1", 0},
        LeadingCase{"sign_only", "-", 0}, LeadingCase{"point_only", ".", 0}, LeadingCase{"hex", "&H1F", 31},
        LeadingCase{"hex_lower", "&hff", 255}, LeadingCase{"hex_no_digits", "&H", 0}, LeadingCase{"octal", "&O17", 15},
        LeadingCase{"octal_stops_at_8", "&O178", 15},
        LeadingCase{"hex_beyond_53_bits", "&H20000000000001", 9007199254740992.0},
        LeadingCase{"full_width_digits", "１６５０", 1650}, LeadingCase{"full_width_point", "２．２", 2.2},
        LeadingCase{"full_width_minus", "－５", -5}, LeadingCase{"full_width_exponent", "1Ｅ2", 100},
        LeadingCase{"ideographic_space", "\u3000１ ６５０\u3000", 1650}, LeadingCase{"underflow_is_zero", "1e-400", 0},
        LeadingCase{"malformed_utf8_stops",
                    "12\xff"
                    "3",
                    12},
        LeadingCase{"overlong_digit_stops",
                    "12\xC0\xB1"
                    "3",
                    12}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LeadingNumberRange, NumbersBeyondTheDoubleRangeAreOutOfRange) {
  for (const std::string& answer :
       {std::string("1e400"), std::string("-1e400"), std::string("1E309"), std::string("&H") + std::string(300, 'F'),
        std::string("&O") + std::string(400, '7'), std::string(400, '9')}) {
    const ReadResult r = readLeadingNumber(answer);
    ASSERT_TRUE(r.error.has_value()) << answer;
    EXPECT_EQ(*r.error, ReadError::OutOfRange) << answer;
  }
}

struct ConstantCase {
  const char* name;
  std::string text;
  std::optional<double> value;  // nullopt: not a number
};

void PrintTo(const ConstantCase& c, std::ostream* os) { *os << c.name; }

class ConstantText : public ::testing::TestWithParam<ConstantCase> {};

TEST_P(ConstantText, ReadsWholeNumbersOnly) {
  const ReadResult r = readConstantText(GetParam().text);
  if (GetParam().value) {
    ASSERT_FALSE(r.error.has_value()) << GetParam().text;
    EXPECT_EQ(r.value, *GetParam().value);
  } else {
    ASSERT_TRUE(r.error.has_value()) << GetParam().text;
    EXPECT_EQ(*r.error, ReadError::NotANumber);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConstantText,
    ::testing::Values(
        ConstantCase{"preset_a", "739938", 739938}, ConstantCase{"preset_b", "-475.137", -475.137},
        ConstantCase{"two_decimals", "-459.13", -459.13}, ConstantCase{"blanks_around", "  -475.137\t ", -475.137},
        ConstantCase{"exponent", "7.39938E5", 739938}, ConstantCase{"plus", "+1e3", 1000},
        ConstantCase{"leading_point", ".5", 0.5}, ConstantCase{"trailing_point", "5.", 5},
        ConstantCase{"empty", "", std::nullopt}, ConstantCase{"blanks", "   ", std::nullopt},
        ConstantCase{"letters", "abc", std::nullopt}, ConstantCase{"two_numbers", "1 2", std::nullopt},
        ConstantCase{"trailing_letters", "739938J", std::nullopt}, ConstantCase{"nan", "nan", std::nullopt},
        ConstantCase{"inf", "inf", std::nullopt}, ConstantCase{"hex", "0x10", std::nullopt},
        ConstantCase{"group_separator", "739,938", std::nullopt},
        ConstantCase{"comma_decimal", "-475,137", std::nullopt}, ConstantCase{"bare_exponent", "1e", std::nullopt},
        ConstantCase{"sign_only", "-", std::nullopt}, ConstantCase{"double_sign", "--1", std::nullopt},
        // As a Chinese input method types them: full-width forms and U+3000 blanks read as the prompts read them.
        ConstantCase{"full_width", "７３９９３８", 739938},
        ConstantCase{"ideographic_blanks", "\u3000739938\u3000", 739938},
        ConstantCase{"full_width_minus", "－475.137", -475.137},
        ConstantCase{"full_width_two_numbers", "７３\u3000９", std::nullopt},
        ConstantCase{"other_non_ascii", "739938℃", std::nullopt},
        ConstantCase{"malformed_utf8",
                     "7399\xC0\xB8"
                     "38",
                     std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ConstantTextRange, HugeTextIsOutOfRange) {
  const ReadResult r = readConstantText("1e400");
  ASSERT_TRUE(r.error.has_value());
  EXPECT_EQ(*r.error, ReadError::OutOfRange);
}

struct PatternCase {
  const char* name;
  double value;
  DigitPattern pattern;
  const char* text;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

class Pattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(Pattern, FormatsAsThePatternSays) {
  EXPECT_EQ(formatPattern(GetParam().value, GetParam().pattern), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Pattern,
    ::testing::Values(PatternCase{"whole", -137074.4, DigitPattern::Whole, "-137074"},
                      PatternCase{"half_up", 2.5, DigitPattern::Whole, "3"},
                      PatternCase{"half_away_negative", -2.5, DigitPattern::Whole, "-3"},
                      PatternCase{"half_of_one", 0.5, DigitPattern::Whole, "1"},
                      PatternCase{"just_below_half", 0.49999999999999994, DigitPattern::Whole, "0"},
                      PatternCase{"zero", 0, DigitPattern::Whole, "0"},
                      PatternCase{"negative_zero", -0.0, DigitPattern::Whole, "0"},
                      PatternCase{"large_in_full", 1e20, DigitPattern::Whole, "100000000000000000000"},
                      PatternCase{"tiny", 1e-300, DigitPattern::Whole, "0"},
                      PatternCase{"four_padded", 50, DigitPattern::Whole4, "0050"},
                      PatternCase{"four_negative", -5, DigitPattern::Whole4, "-0005"},
                      PatternCase{"four_longer", 12345678, DigitPattern::Whole4, "12345678"},
                      PatternCase{"six_padded", 1234.4, DigitPattern::Whole6, "001234"},
                      PatternCase{"six_negative", -50, DigitPattern::Whole6, "-000050"},
                      PatternCase{"three_decimals", 2.2, DigitPattern::Decimals3, "2.200"},
                      PatternCase{"shortest_form_tie", 1.0005, DigitPattern::Decimals3, "1.001"},
                      PatternCase{"carry_into_integer", 99.9996, DigitPattern::Decimals3, "100.000"},
                      PatternCase{"rounds_up_from_below_range", 0.0005, DigitPattern::Decimals3, "0.001"},
                      PatternCase{"rounds_to_zero", 0.00004, DigitPattern::Decimals3, "0.000"},
                      PatternCase{"negative_rounding_to_zero_keeps_sign", -0.0004, DigitPattern::Decimals3, "-0.000"},
                      PatternCase{"six_decimals", 0.32634600000000002, DigitPattern::Decimals6, "0.326346"},
                      PatternCase{"six_half", 5e-7, DigitPattern::Decimals6, "0.000001"},
                      PatternCase{"six_below_half", 4.9e-7, DigitPattern::Decimals6, "0.000000"},
                      PatternCase{"six_large", 5000.0000009999, DigitPattern::Decimals6, "5000.000001"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Shortest, ReadsBackToTheSameDouble) {
  for (double v :
       {0.1, 1650.0, 2.2, 0.35, 101325.0, -475.137, 1e-300, 5e-324, 1.7976931348623157e308, 0.32634600000000002}) {
    const std::string text = formatShortest(v);
    EXPECT_EQ(readConstantText(text).value, v) << text;
  }
  EXPECT_EQ(formatShortest(1650), "1650");
  EXPECT_EQ(formatShortest(0.35), "0.35");
}

}  // namespace
}  // namespace velkarin
