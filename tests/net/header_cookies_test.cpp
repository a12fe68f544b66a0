#include <gtest/gtest.h>

#include "tests/case_name.h"
#include "tests/net/text_case.h"

#include "net/header_cookies.h"

namespace {


class NormaliseHeaderBlockTest : public testing::TestWithParam<TextCase> {};

TEST_P(NormaliseHeaderBlockTest, Rewrites) {
  EXPECT_EQ(NormaliseHeaderBlock(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseHeaderBlockTest,
    testing::Values(
        TextCase{"drops_lines_without_colon", "a: 1\r\n\r\nno colon here\r\nb-c: 2\r\n", "A: 1\r\nB-C: 2"},
        TextCase{"empty", "", ""},
        TextCase{"only_colonless_lines", "x\r\ny\r\n", ""},
        TextCase{"each_part_capitalised", "content-type: text/html", "Content-Type: text/html"},
        TextCase{"three_parts", "x-requested-with: a", "X-Requested-With: a"},
        TextCase{"nothing_lowered", "ACCEPT: */*\r\naccept-LANGUAGE: zh", "ACCEPT: */*\r\nAccept-LANGUAGE: zh"},
        TextCase{"value_untouched", "host: a:b-c", "Host: a:b-c"},
        TextCase{"trailing_dash_kept_from_line", "x-: v", "X-: v"},
        TextCase{"leading_dash", "-a: 1", "-A: 1"},
        TextCase{"empty_name", ": v", ": v"},
        TextCase{"chinese_name_unchanged", "中-a: 1", "中-A: 1"}),
    CaseName());

struct HeaderValueCase {
  const char* name;
  Text block;
  Text header;
  Text expected;
};

class GetHeaderValueTest : public testing::TestWithParam<HeaderValueCase> {};

TEST_P(GetHeaderValueTest, Looks) {
  EXPECT_EQ(GetHeaderValue(GetParam().block, GetParam().header), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetHeaderValueTest,
    testing::Values(
        HeaderValueCase{"single", "Connection: keep-alive", "Connection", "keep-alive"},
        HeaderValueCase{"first_piece_beginning_with_name_wins", "Connection-Extra: x\r\nConnection: close",
                        "Connection", ""},
        HeaderValueCase{"later_line", "A: 1\r\nB: 2\r\n", "B", "2"},
        HeaderValueCase{"missing", "A: 1", "B", ""},
        HeaderValueCase{"name_case_sensitive", "connection: close", "Connection", ""},
        HeaderValueCase{"last_marker_in_line", "X: a X: b", "X", "b"},
        HeaderValueCase{"no_space_after_colon", "X:a", "X", ""}),
    CaseName());

TEST(CookieName, BeforeFirstEqualsTrimmed) {
  EXPECT_EQ(CookieName("a=1"), "a");
  EXPECT_EQ(CookieName(" b =2=3"), "b");
  EXPECT_EQ(CookieName("flag"), "flag");
  EXPECT_EQ(CookieName("=x"), "");
}

TEST(HasCookieNamed, ExactName) {
  const TextList items{"a=1", " sid =2"};
  EXPECT_TRUE(HasCookieNamed(items, "sid"));
  EXPECT_FALSE(HasCookieNamed(items, "A"));
  EXPECT_FALSE(HasCookieNamed(items, "a=1"));
  EXPECT_FALSE(HasCookieNamed({}, ""));
}

struct MergeCase {
  const char* name;
  Text oldCookies;
  Text newCookies;
  Text merged;
  Text newAfter;  // the trimmed form left in the new-cookies variable
};

class MergeCookiesTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookiesTest, Merges) {
  Text oldCookies = GetParam().oldCookies;
  Text newCookies = GetParam().newCookies;
  EXPECT_EQ(MergeCookies(oldCookies, newCookies), GetParam().merged);
  EXPECT_EQ(oldCookies, GetParam().merged);
  EXPECT_EQ(newCookies, GetParam().newAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeCookiesTest,
    testing::Values(MergeCase{"server_replaces_and_old_follow", "a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3; c=4"},
                    MergeCase{"deleted_dropped_final_semicolon", "a=1; b=2;", "a=deleted", "b=2", "a=deleted"},
                    MergeCase{"repeated_old_once", "a=1; a=1", "", "a=1", ""},
                    MergeCase{"both_trimmed", " x=1 ", "\xA1\xA1y=2;  ", "y=2; x=1", "y=2; "},
                    MergeCase{"old_deleted_also_dropped", "a=deleted; b=1", "", "b=1", ""},
                    MergeCase{"nothing", "", "", "", ""},
                    MergeCase{"repeated_new_once", "", "c=1; c=1; d=2", "c=1; d=2", "c=1; c=1; d=2"}),
    CaseName());

}  // namespace
