#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <climits>

#include "common/text.h"

namespace {

struct TextToIntCase {
  const char* name;
  Text input;
  std::int32_t expected;
};

class TextToIntTest : public testing::TestWithParam<TextToIntCase> {};

TEST_P(TextToIntTest, Converts) { EXPECT_EQ(TextToInt(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntTest,
    testing::Values(
        TextToIntCase{"plain", "1000", 1000},
        TextToIntCase{"empty", "", 0},
        TextToIntCase{"letters", "abc", 0},
        TextToIntCase{"exponent_stops_at_e", "1e3", 1},
        TextToIntCase{"decimal_point_stops", "12.9", 12},
        TextToIntCase{"leading_blanks", " \t\r\n 42", 42},
        TextToIntCase{"trailing_text", "50ms", 50},
        TextToIntCase{"minus", "-1", -1},
        TextToIntCase{"plus", "+7", 7},
        TextToIntCase{"two_signs", "--5", 0},
        TextToIntCase{"sign_then_blank", "- 5", 0},
        TextToIntCase{"max", "2147483647", INT_MAX},
        TextToIntCase{"wraps_past_max", "2147483648", INT_MIN},
        TextToIntCase{"min", "-2147483648", INT_MIN},
        TextToIntCase{"wraps_2_pow_32", "4294967297", 1},
        TextToIntCase{"full_width_digits", "１２３", 123},
        TextToIntCase{"full_width_minus", "－１", -1},
        TextToIntCase{"full_width_plus", "＋９", 9},
        TextToIntCase{"ideographic_space", "　　８", 8},
        TextToIntCase{"mixed_widths", "1２3", 123},
        TextToIntCase{"full_width_letter_stops", "１ｅ３", 1},
        TextToIntCase{"other_chinese_stops", "5次", 5},
        TextToIntCase{"chinese_first", "次5", 0},
        TextToIntCase{"lone_lead_byte_at_end", "7\xA3", 7}),
    CaseName());

TEST(IntToText, Decimal) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(116), "116");
  EXPECT_EQ(IntToText(-111), "-111");
  EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
}

TEST(RealToText, ShortestFormUpTo13Digits) {
  EXPECT_EQ(RealToText(2.0), "2");
  EXPECT_EQ(RealToText(-111.0), "-111");
  EXPECT_EQ(RealToText(2147483648.0), "2147483648");
  EXPECT_EQ(RealToText(0.5), "0.5");
  EXPECT_EQ(RealToText(1.0 / 3.0), "0.3333333333333");
  EXPECT_EQ(RealToText(1e20), "1e+20");
  EXPECT_EQ(RealToText(0.0), "0");
}

// ---- find-text -------------------------------------------------------------

struct FindCase {
  const char* name;
  Text text;
  Text part;
  std::size_t position;
};

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, Position) {
  EXPECT_EQ(FindText(GetParam().text, GetParam().part), GetParam().position);
}

// Searching from a later character boundary skips earlier matches.
TEST(FindTextFrom, StartsAtTheGivenBoundary) {
  EXPECT_EQ(FindText("abcabc", "abc", 1), 3u);
  EXPECT_EQ(FindText("助手助手", "助手", 2), 4u);
  EXPECT_EQ(FindText("abc", "", 3), 3u);
  EXPECT_EQ(FindText("abc", "a", 4), Text::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTest,
    testing::Values(
        FindCase{"ascii_middle", "abcabc", "ca", 2},
        FindCase{"whole_text", "abc", "abc", 0},
        FindCase{"longer_part", "ab", "abc", Text::npos},
        FindCase{"case_sensitive", "ProbeWindow", "probe", Text::npos},
        FindCase{"empty_part_in_text", "abc", "", 0},
        FindCase{"empty_part_in_empty_text", "", "", Text::npos},
        FindCase{"part_in_empty_text", "", "a", Text::npos},
        FindCase{"chinese", "飞梭助手", "助手", 4},
        // "飞梭" is B7 C9 CB F3: C9 CB spans two characters.
        FindCase{"not_across_characters", "飞梭", "\xC9\xCB", Text::npos},
        // 0x81 0x41 is one character; its trail byte is not an 'A'.
        FindCase{"not_on_a_trail_byte", "\x81\x41", "A", Text::npos},
        FindCase{"after_a_trail_byte_lookalike", "\x81\x41" "A", "A", 2},
        FindCase{"lone_lead_byte_at_end", "a\x81", "\x81", 1}),
    CaseName());

}  // namespace
