// The strict JSON checker on its own: every JSON text passes, nothing else.
#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <string>

#include "script/json_syntax.h"

namespace {

struct SyntaxCase {
  std::string name;
  std::wstring text;
  bool valid;
};

class JsonSyntax : public testing::TestWithParam<SyntaxCase> {};

TEST_P(JsonSyntax, AcceptsExactlyJson) {
  const auto error = FindJsonSyntaxError(GetParam().text);
  EXPECT_EQ(!error.has_value(), GetParam().valid);
  if (error) {
    EXPECT_FALSE(error->message.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Valid, JsonSyntax,
    testing::Values(
        SyntaxCase{"empty_object", L"{}", true},
        SyntaxCase{"empty_array", L"[]", true},
        SyntaxCase{"scalars_at_top", L"null", true},
        SyntaxCase{"true_with_space", L" \t\r\n true \r\n", true},
        SyntaxCase{"top_level_string", L"\"x\"", true},
        SyntaxCase{"zero", L"0", true},
        SyntaxCase{"negative_zero", L"-0", true},
        SyntaxCase{"fraction_exponent", L"[-1.5e+10, 2E-3, 0.25, 1e400, 10]", true},
        SyntaxCase{"every_escape", L"\"\\\" \\\\ \\/ \\b \\f \\n \\r \\t \\u00e9 \\uD83D\\uDE00 \\uFFFF\"", true},
        SyntaxCase{"escaped_nul_and_lone_surrogate", L"[\"a\\u0000b\", \"\\udc00\"]", true},
        SyntaxCase{"raw_line_separators", L"[\"a\u2028b\u2029c\"]", true},
        SyntaxCase{"raw_non_ascii", L"{\"版本\":\"一点零\"}", true},
        SyntaxCase{"nested_mix", L"{\"a\":[{\"b\":[[],{}]},{\"c\":{\"d\":[1,[2,[3]]]}}],\"e\":\"\"}", true},
        SyntaxCase{"duplicate_names", L"{\"a\":1,\"a\":2}", true},
        SyntaxCase{"empty_member_name", L"{\"\":1}", true},
        SyntaxCase{"byte_order_mark", L"\uFEFF{}", true},
        SyntaxCase{"code_inside_a_string", L"\"1);new ActiveXObject('x');(1\"", true}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(
    Invalid, JsonSyntax,
    testing::Values(
        SyntaxCase{"empty", L"", false},
        SyntaxCase{"only_space", L"  \r\n", false},
        SyntaxCase{"trailing_comma_array", L"[1,2,]", false},
        SyntaxCase{"trailing_comma_object", L"{\"a\":1,}", false},
        SyntaxCase{"missing_element", L"[1,,2]", false},
        SyntaxCase{"single_quotes", L"{'a':1}", false},
        SyntaxCase{"unquoted_name", L"{a:1}", false},
        SyntaxCase{"line_comment", L"{} // note", false},
        SyntaxCase{"block_comment", L"/* x */ {}", false},
        SyntaxCase{"conditional_compilation", L"{}/*@cc_on @*/", false},
        SyntaxCase{"nan", L"NaN", false},
        SyntaxCase{"infinity", L"[-Infinity]", false},
        SyntaxCase{"undefined", L"undefined", false},
        SyntaxCase{"leading_zero", L"012", false},
        SyntaxCase{"negative_leading_zero", L"-01", false},
        SyntaxCase{"leading_plus", L"+1", false},
        SyntaxCase{"bare_point", L".5", false},
        SyntaxCase{"point_without_digits", L"1.", false},
        SyntaxCase{"exponent_without_digits", L"1e+", false},
        SyntaxCase{"hex_number", L"0x10", false},
        SyntaxCase{"minus_alone", L"-", false},
        SyntaxCase{"raw_tab_in_string", L"\"a\tb\"", false},
        SyntaxCase{"raw_line_feed_in_string", L"\"a\nb\"", false},
        SyntaxCase{"raw_nul_in_string", std::wstring(L"\"a\0b\"", 5), false},
        SyntaxCase{"raw_nul_after_value", std::wstring(L"{}\0", 3), false},
        SyntaxCase{"unknown_escape", L"\"\\x41\"", false},
        SyntaxCase{"short_unicode_escape", L"\"\\u12\"", false},
        SyntaxCase{"lone_backslash_at_end", L"\"abc\\\"", false},
        SyntaxCase{"unterminated_string", L"\"abc", false},
        SyntaxCase{"unclosed_array", L"[1,2", false},
        SyntaxCase{"unclosed_object", L"{\"a\":{}", false},
        SyntaxCase{"wrong_closer", L"[1}", false},
        SyntaxCase{"missing_colon", L"{\"a\" 1}", false},
        SyntaxCase{"number_as_name", L"{1:2}", false},
        SyntaxCase{"two_values", L"{} {}", false},
        SyntaxCase{"trailing_garbage", L"[1]x", false},
        SyntaxCase{"capital_true", L"True", false},
        SyntaxCase{"truncated_literal", L"nul", false},
        SyntaxCase{"byte_order_mark_inside", L"[\uFEFF1]", false},
        SyntaxCase{"call_after_value", L"1);new ActiveXObject(\"WScript.Shell\").Run(\"calc\");(1", false},
        SyntaxCase{"function_as_member", L"{\"a\":(function(){return 1})()}", false},
        SyntaxCase{"string_concatenated_with_call", L"{\"a\":\"x\"+f()+\"y\"}", false},
        SyntaxCase{"vertical_tab_as_space", L"\v[]", false},
        SyntaxCase{"non_breaking_space", L"\u00a0[]", false}),
    CaseName());

TEST(JsonSyntax, NestingUpToTheLimit) {
  const std::wstring deepest = std::wstring(kMaxJsonDepth, L'[') + std::wstring(kMaxJsonDepth, L']');
  EXPECT_FALSE(FindJsonSyntaxError(deepest).has_value());
  const std::wstring deeper = L"[" + deepest + L"]";
  EXPECT_TRUE(FindJsonSyntaxError(deeper).has_value());
  // 10,000 levels: refused without recursion, quickly.
  EXPECT_TRUE(FindJsonSyntaxError(std::wstring(10000, L'[') + std::wstring(10000, L']')).has_value());
  std::wstring nestedObjects;
  for (std::size_t i = 0; i < kMaxJsonDepth; ++i) nestedObjects += L"{\"a\":";
  nestedObjects += L"1";
  nestedObjects.append(kMaxJsonDepth, L'}');
  EXPECT_FALSE(FindJsonSyntaxError(nestedObjects).has_value());
}

TEST(JsonSyntax, ReportsWhereTheTextGoesWrong) {
  const auto error = FindJsonSyntaxError(L"{\r\n  \"a\": 1,\r\n  \"b\": tru\r\n}");
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->line, 3);
  EXPECT_EQ(error->column, 7);
  EXPECT_NE(error->message.find("第 3 行，第 8 列"), Text::npos) << error->message;
}

}  // namespace
