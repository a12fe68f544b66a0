// RegexObject against the system's VBScript regular-expression component.
#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <memory>

#include "script/regex_object.h"

namespace {

const Text kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

struct SearchCase {
  std::string name;
  Text pattern;
  Text subject;
  bool caseSensitive;
  bool quotePlaceholder;
  bool ran;
  std::int32_t matchCount;
  Text group1;  // group 1 of match 1
};

class RegexSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(RegexSearch, FindsGroupOne) {
  const SearchCase& c = GetParam();
  RegexObject regex;
  EXPECT_EQ(regex.Search(c.pattern, c.subject, c.caseSensitive, true, true, c.quotePlaceholder), c.ran);
  EXPECT_EQ(regex.MatchCount(), c.matchCount);
  EXPECT_EQ(regex.GetSubmatch(1, 1), c.group1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegexSearch,
    testing::Values(
        SearchCase{"charset_quoted", kCharsetPattern,
                   "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=\"UTF-8\"></head>",
                   false, false, true, 1, "UTF-8"},
        SearchCase{"charset_unquoted", kCharsetPattern, "<meta charset=UTF-8>", false, false, true, 1, "UTF-8"},
        SearchCase{"charset_upper_case_tag", kCharsetPattern, "<META HTTP-EQUIV=x CHARSET=gbk>", false, false,
                   true, 1, "gbk"},
        SearchCase{"case_sensitive_misses_upper_case", kCharsetPattern, "<META CHARSET=gbk>", true, false, true,
                   0, ""},
        SearchCase{"no_match", kCharsetPattern, "<html>没有字符集</html>", false, false, true, 0, ""},
        SearchCase{"empty_subject", kCharsetPattern, "", false, false, true, 0, ""},
        SearchCase{"invalid_pattern", "(", "((", false, false, false, 0, ""},
        SearchCase{"placeholder_expanded", "=#引号(\\w+)#引号", "a=\"gbk\" b=#引号x#引号", false, true, true,
                   1, "gbk"},
        SearchCase{"placeholder_literal_without_flag", "=#引号(\\w+)#引号", "a=\"gbk\" b=#引号x#引号", false,
                   false, true, 1, "x"},
        SearchCase{"group_not_taking_part", "(a)|(b)", "b", false, false, true, 1, ""},
        SearchCase{"chinese_group", "版本(\\d+)", "新版本12", false, false, true, 1, "12"}),
    CaseName());

TEST(RegexObject, ReadsBeforeAnySearchAreEmpty) {
  RegexObject regex;
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.Replace("x"), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  std::int32_t position = 7;
  EXPECT_EQ(regex.GetMatch(1, &position), "");
  EXPECT_EQ(position, -1);
  EXPECT_EQ(regex.SubmatchCount(), 0);
}

TEST(RegexObject, RejectedPatternLeavesEveryReadEmpty) {
  RegexObject regex;
  ASSERT_TRUE(regex.Search("(\\d+)", "12 34"));
  EXPECT_FALSE(regex.Search("a(b", "ab a(b"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.GetMatch(1), "");
  EXPECT_EQ(regex.GetSubmatch(1, 1), "");
  EXPECT_EQ(regex.SubmatchCount(), 0);
}

TEST(RegexObject, MatchesAndGroupsByIndex) {
  RegexObject regex;
  ASSERT_TRUE(regex.Search("(\\w)(\\d)", "a1 b2 c3"));
  EXPECT_EQ(regex.MatchCount(), 3);
  EXPECT_EQ(regex.SubmatchCount(), 2);
  EXPECT_EQ(regex.GetMatch(1), "a1");
  EXPECT_EQ(regex.GetMatch(3), "c3");
  EXPECT_EQ(regex.GetSubmatch(2, 1), "b");
  EXPECT_EQ(regex.GetSubmatch(3, 2), "3");
  // Out of range on either side reads as empty.
  EXPECT_EQ(regex.GetMatch(0), "");
  EXPECT_EQ(regex.GetMatch(4), "");
  EXPECT_EQ(regex.GetSubmatch(1, 3), "");
  EXPECT_EQ(regex.GetSubmatch(1, 0), "");
}

TEST(RegexObject, OptionsReachTheEngine) {
  RegexObject regex;
  ASSERT_TRUE(regex.Search("^x", "x\nx", false, true, true));
  EXPECT_EQ(regex.MatchCount(), 2);
  ASSERT_TRUE(regex.Search("^x", "x\nx", false, false, true));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Search("x", "x\nx", false, true, false));
  EXPECT_EQ(regex.MatchCount(), 1);
  // No single-line mode: a dot stops at a line break.
  ASSERT_TRUE(regex.Search("a.b", "a\nb"));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObject, PatternAndReplace) {
  RegexObject regex;
  ASSERT_TRUE(regex.Search("(\\d+)次", "点12次，再点345次"));
  EXPECT_EQ(regex.GetPattern(), "(\\d+)次");
  EXPECT_EQ(regex.Replace("[$1]"), "点[12]，再点[345]");
  ASSERT_TRUE(regex.Search("(\\d+)次", "点12次，再点345次", false, true, false));
  EXPECT_EQ(regex.Replace("#"), "点#，再点345次");
  ASSERT_TRUE(regex.Search("#引号", "\"", false, true, true, true));
  EXPECT_EQ(regex.GetPattern(), "\"");
}

struct PositionCase {
  std::string name;
  Text pattern;
  Text subject;
  std::int32_t matchIndex;
  std::int32_t groupIndex;  // 0: the whole match
  Text expected;
  std::int32_t position;
};

class RegexPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(RegexPosition, CountsBytesOfTheSubject) {
  const PositionCase& c = GetParam();
  RegexObject regex;
  ASSERT_TRUE(regex.Search(c.pattern, c.subject, true));
  std::int32_t position = -2;
  const Text found = c.groupIndex == 0 ? regex.GetMatch(c.matchIndex, &position)
                                       : regex.GetSubmatch(c.matchIndex, c.groupIndex, &position);
  EXPECT_EQ(found, c.expected);
  EXPECT_EQ(position, c.position);
  if (position >= 0) {
    EXPECT_EQ(c.subject.substr(static_cast<std::size_t>(position), found.size()), found);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegexPosition,
    testing::Values(
        PositionCase{"ascii", "b+", "aabbb", 1, 0, "bbb", 2},
        // Three double-byte characters: FirstIndex 3, byte offset 6.
        PositionCase{"after_double_byte", "ab", "中文字ab", 1, 0, "ab", 6},
        // An equal, earlier match lies between FirstIndex and the real offset.
        PositionCase{"second_equal_match", "ab", "中中中ab ab", 2, 0, "ab", 9},
        // A trail byte followed by the text must not be taken for a match:
        // "詁" is 0xD4 0x61, whose trail byte is "a".
        PositionCase{"trail_byte_not_matched", ".x(a)", "詁xa", 1, 1, "a", 3},
        PositionCase{"group_after_double_byte", "版本(\\d+)", "新的版本12", 1, 1, "12", 8},
        PositionCase{"group_case_differs_before", "a.(b)", "aBb", 1, 1, "b", 2},
        PositionCase{"missing_match", "x", "abc", 1, 0, "", -1},
        PositionCase{"group_not_taking_part", "(a)|(b)", "b", 1, 1, "", -1}),
    CaseName());

TEST(RegexObject, CopySharesResultsAndOutlivesTheOriginal) {
  auto original = std::make_unique<RegexObject>();
  ASSERT_TRUE(original->Search("(\\d)", "x1y2"));
  RegexObject copy(*original);
  original.reset();
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(copy.GetSubmatch(2, 1), "2");
  EXPECT_EQ(copy.Replace("#"), "x#y#");
  // A new search of the copy leaves nothing shared behind.
  ASSERT_TRUE(copy.Search("y", "yy"));
  EXPECT_EQ(copy.MatchCount(), 2);
}

TEST(RegexObject, ComInitialisationIsBalanced) {
  // With COM left uninitialised on this thread, a balanced object leaves it so.
  { RegexObject regex; RegexObject copy(regex); (void)copy; }
  const HRESULT probe = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(probe, S_OK);
  if (SUCCEEDED(probe)) ::CoUninitialize();
}

}  // namespace
