#include <gtest/gtest.h>

#include "tests/case_name.h"
#include "tests/net/text_case.h"

#include "net/text_pieces.h"

namespace {

// "\xB0\x41" is one double-byte character whose second byte is "A".
const Text kTrailA = "\xB0\x41";

// ---- splitting and trimming -----------------------------------------------

struct SplitCase {
  const char* name;
  Text text;
  Text separator;
  TextList pieces;
};

class SplitTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, Pieces) {
  EXPECT_EQ(SplitText(GetParam().text, GetParam().separator), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTextTest,
    testing::Values(SplitCase{"empty_text_no_pieces", "", ";", {}},
                    SplitCase{"no_separator_one_piece", "abc", ";", {"abc"}},
                    SplitCase{"two_in_a_row_empty_piece", "a;;b", ";", {"a", "", "b"}},
                    SplitCase{"leading_separator_leading_empty", ";a", ";", {"", "a"}},
                    SplitCase{"trailing_separator_no_trailing_piece", "a;b;", ";", {"a", "b"}},
                    SplitCase{"only_separator", ";", ";", {""}},
                    SplitCase{"multi_byte_separator", "a=1; b=2; c", "; ", {"a=1", "b=2", "c"}},
                    SplitCase{"crlf_lines", "A: 1\r\n\r\nB: 2\r\n", "\r\n", {"A: 1", "", "B: 2"}},
                    SplitCase{"never_inside_a_character", kTrailA + "A" + kTrailA, "A", {kTrailA, kTrailA}}),
    CaseName());


class TrimSpacesTest : public testing::TestWithParam<TextCase> {};

TEST_P(TrimSpacesTest, Trims) { EXPECT_EQ(TrimSpaces(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimSpacesTest,
    testing::Values(TextCase{"ascii_spaces", "  a b  ", "a b"},
                    TextCase{"full_width_spaces", "\xA1\xA1 a\xA1\xA1", "a"},
                    TextCase{"only_spaces", " \xA1\xA1 ", ""},
                    TextCase{"empty", "", ""},
                    TextCase{"tabs_stay", "\ta\t", "\ta\t"},
                    // B0 A1 is a character, so the A1 A1 that follows it is a space...
                    TextCase{"space_after_character", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
                    // ...but its second byte and a lone A1 are not.
                    TextCase{"trail_byte_is_no_space", "\xB0\xA1\xA1", "\xB0\xA1\xA1"}),
    CaseName());

TEST(ReplaceAllText, EveryOccurrenceCaseSensitiveUnlessAsked) {
  EXPECT_EQ(ReplaceAllText("a#引号b#引号", "#引号", "\""), "a\"b\"");
  EXPECT_EQ(ReplaceAllText("Set-Cookie: x set-cookie:y", "Set-Cookie:", ""), " x set-cookie:y");
  EXPECT_EQ(ReplaceAllText("Set-Cookie: x set-cookie:y", "Set-Cookie:", "", true), " x y");
  EXPECT_EQ(ReplaceAllText(kTrailA + "A", "A", "-"), kTrailA + "-");
  EXPECT_EQ(ReplaceAllText("abc", "", "-"), "abc");
}

// ---- cutting at markers ----------------------------------------------------

// TextBefore and TextAfter take the same arguments; one table holds both.
using Cut = Text (*)(const Text&, const Text&, std::int32_t, bool);

struct CutCase {
  const char* name;
  Cut cut;
  Text text;
  Text marker;
  std::int32_t start;
  bool ignoreCase;
  Text expected;
};

class TextCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(TextCutTest, Cuts) {
  const CutCase& c = GetParam();
  EXPECT_EQ(c.cut(c.text, c.marker, c.start, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextCutTest,
    testing::Values(CutCase{"before_header_name", TextBefore, "Set-Cookie: a=1", ": ", 0, false, "Set-Cookie"},
                    CutCase{"before_no_marker", TextBefore, "BadHeaderLine", ": ", 0, false, ""},
                    CutCase{"before_first_occurrence", TextBefore, "a,b,c", ",", 0, false, "a"},
                    CutCase{"before_start_1_same_as_0", TextBefore, "a,b,c", ",", 1, false, "a"},
                    CutCase{"before_forward_from_start", TextBefore, "a,b,c", ",", 3, false, "a,b"},
                    CutCase{"before_start_past_end", TextBefore, "a,b,c", ",", 9, false, ""},
                    CutCase{"before_minus_one_last_in_whole_text", TextBefore, "a,b,c", ",", -1, false, "a,b"},
                    CutCase{"before_minus_two_last_within_len_minus_2", TextBefore, "a,b,c", ",", -2, false, "a"},
                    CutCase{"before_minus_four_nothing_within_len_minus_4", TextBefore, "a,b,c", ",", -4, false, ""},
                    CutCase{"before_marker_must_lie_wholly_within", TextBefore, "ab;;cd", ";;", -3, false, ""},
                    CutCase{"before_negative_longer_than_text", TextBefore, "a,b", ",", -9, false, ""},
                    CutCase{"before_case_sensitive_by_default", TextBefore, "aXb", "x", 0, false, ""},
                    CutCase{"before_ignore_case", TextBefore, "aXb", "x", 0, true, "a"},
                    CutCase{"before_ignore_case_backwards", TextBefore, "xAxA", "a", -1, true, "xAx"},
                    CutCase{"before_never_from_second_byte", TextBefore, kTrailA + "A", "A", 0, false, kTrailA},
                    CutCase{"after_last_occurrence", TextAfter, "a,b,c", ",", 0, false, "c"},
                    CutCase{"after_last_within_len_minus_start", TextAfter, "a,b,c", ",", 2, false, "b,c"},
                    CutCase{"after_start_longer_than_text", TextAfter, "a,b,c", ",", 9, false, ""},
                    CutCase{"after_minus_one_first_from_position_1", TextAfter, "a,b,c", ",", -1, false, "b,c"},
                    CutCase{"after_minus_three_first_from_position_3", TextAfter, "a,b,c", ",", -3, false, "c"},
                    CutCase{"after_minus_past_end", TextAfter, "a,b,c", ",", -9, false, ""},
                    CutCase{"after_header_value", TextAfter, "Connection: keep-alive", "Connection: ", 0, false, "keep-alive"},
                    CutCase{"after_marker_at_end_gives_empty", TextAfter, "a,", ",", 0, false, ""},
                    CutCase{"after_not_found", TextAfter, "abc", ",", 0, false, ""},
                    CutCase{"after_ignore_case", TextAfter, "K=1;k=2", "K=", 0, true, "2"},
                    CutCase{"after_never_from_second_byte", TextAfter, "A" + kTrailA, "A", 0, false, kTrailA}),
    CaseName());

struct BetweenCase {
  const char* name;
  Text text;
  Text left;
  Text right;
  std::int32_t start;
  bool ignoreCase;
  Text expected;
};

class TextBetweenTest : public testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTest, Cuts) {
  const BetweenCase& c = GetParam();
  EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetweenTest,
    testing::Values(
        BetweenCase{"cookie_keeps_leading_space", "Set-Cookie: sid=42; path=/", "Set-Cookie:", ";", 1, false, " sid=42"},
        BetweenCase{"quote_placeholder", "<a href=\"x.html\">", "href=#引号", "#引号", 1, false, "x.html"},
        BetweenCase{"placeholder_in_both_markers", "k=\"v\"", "#引号", "#引号", 1, false, "v"},
        BetweenCase{"no_left", "abc", "[", "]", 1, false, ""},
        BetweenCase{"no_right_after_left", "]a[b", "[", "]", 1, false, ""},
        BetweenCase{"from_start_position", "[a][b]", "[", "]", 4, false, "b"},
        BetweenCase{"start_0_from_beginning", "[a][b]", "[", "]", 0, false, "a"},
        BetweenCase{"empty_between", "[]", "[", "]", 1, false, ""},
        BetweenCase{"ignore_case", "<META>x</meta>", "<meta>", "</META>", 1, true, "x"},
        BetweenCase{"case_sensitive_by_default", "<META>x</meta>", "<meta>", "</meta>", 1, false, ""},
        BetweenCase{"never_from_second_byte", "[" + kTrailA + "]A]", "[", "A]", 1, false, kTrailA + "]"}),
    CaseName());

// ---- characters and distinct pieces ---------------------------------------

struct CharactersCase {
  const char* name;
  Text text;
  TextList pieces;
};

class SplitCharactersTest : public testing::TestWithParam<CharactersCase> {};

TEST_P(SplitCharactersTest, Pieces) {
  TextList pieces{"left over"};
  EXPECT_EQ(SplitCharacters(GetParam().text, pieces), static_cast<std::int32_t>(GetParam().pieces.size()));
  EXPECT_EQ(pieces, GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCharactersTest,
    testing::Values(CharactersCase{"empty_clears", "", {}},
                    CharactersCase{"ascii", "ab", {"a", "b"}},
                    CharactersCase{"double_byte", "\xD6\xD0" "a", {"\xD6\xD0", "a"}},
                    CharactersCase{"lone_lead_byte_at_end", "a\xD6", {"a", "\xD6"}},
                    CharactersCase{"crlf_is_one_piece", "\r\nx", {"\r\n", "x"}},
                    CharactersCase{"cr_alone", "\rx", {"\r", "x"}},
                    CharactersCase{"byte_80_is_single", "\x80" "a", {"\x80", "a"}}),
    CaseName());

TEST(IndexOfText, OneBasedOrMinusOne) {
  const TextList list{"a", "b", "a"};
  EXPECT_EQ(IndexOfText(list, "a"), 1);
  EXPECT_EQ(IndexOfText(list, "b"), 2);
  EXPECT_EQ(IndexOfText(list, "A"), -1);
  EXPECT_EQ(IndexOfText({}, ""), -1);
}

struct DistinctCase {
  const char* name;
  Text text;
  Text separator;
  bool splitBySeparator;
  Text expected;
};

class JoinDistinctTest : public testing::TestWithParam<DistinctCase> {};

TEST_P(JoinDistinctTest, Joins) {
  const DistinctCase& c = GetParam();
  EXPECT_EQ(JoinDistinct(c.text, c.separator, c.splitBySeparator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinDistinctTest,
    testing::Values(DistinctCase{"characters_cjk", "\xD6\xD0\xD6\xD0\x61", ",", false, "\xD6\xD0\x2C\x61"},
                    DistinctCase{"characters_crlf", "\r\n\r\nx", "|", false, "\r\n|x"},
                    DistinctCase{"pieces", "a; b; a; c; b", "; ", true, "a; b; c"},
                    DistinctCase{"empty_piece_kept_once", "a;;b;", ";", true, "a;;b"},
                    DistinctCase{"empty", "", "; ", true, ""}),
    CaseName());

}  // namespace
