#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/case_name.h"

#include "net/text_encoding.h"

namespace {

Bytes B(std::initializer_list<int> values) {
  Bytes bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

TEST(TextToWide, EmptyTextGivesEmptyArrayWithNullData) {
  const Bytes wide = TextToWide("");
  EXPECT_TRUE(wide.empty());
  EXPECT_EQ(WideOrNull(wide), nullptr);
  EXPECT_TRUE(TextToWide("", true).empty());
}

TEST(TextToWide, TerminatorIncludedUnlessTrimmed) {
  EXPECT_EQ(TextToWide("/"), B({0x2F, 0, 0, 0}));
  EXPECT_EQ(TextToWide("/", true), B({0x2F, 0}));
}

TEST(TextToWide, ChineseUsesProcessCodePage) {
  EXPECT_EQ(TextToWide("中"), B({0x2D, 0x4E, 0, 0}));  // U+4E2D
}

TEST(TextToWide, StopsAtEmbeddedNul) {
  const Text text("ab\0cd", 5);
  EXPECT_EQ(TextToWide(text), B({'a', 0, 'b', 0, 0, 0}));
}

TEST(MultiByteToWide, GivenCodePage) {
  EXPECT_EQ(MultiByteToWide(B({0xE4, 0xB8, 0xAD}), CP_UTF8), B({0x2D, 0x4E, 0, 0}));
  EXPECT_EQ(MultiByteToWide(B({0xD6, 0xD0}), 936), B({0x2D, 0x4E, 0, 0}));
  EXPECT_TRUE(MultiByteToWide(B({0, 'a'}), CP_UTF8).empty());
  EXPECT_TRUE(MultiByteToWide({}, CP_UTF8).empty());
}

struct TrimCase {
  const char* name;
  Bytes input;
  bool appendTerminator;
  Bytes expected;
};

class TrimWideAtNulTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimWideAtNulTest, Cuts) {
  EXPECT_EQ(TrimWideAtNul(GetParam().input, GetParam().appendTerminator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimWideAtNulTest,
    testing::Values(
        TrimCase{"empty", {}, true, {}},
        TrimCase{"one_byte", B({0x41}), true, {}},
        TrimCase{"odd_without_zero_keeps_whole_units", B({0x41, 0, 0x42, 0, 0x43}), false,
                 B({0x41, 0, 0x42, 0})},
        TrimCase{"starts_with_zero", B({0, 0, 0x41, 0}), true, {}},
        TrimCase{"cut_in_middle", B({0x41, 0, 0, 0, 0x42, 0}), false, B({0x41, 0})},
        TrimCase{"cut_and_terminate", B({0x41, 0, 0, 0, 0x42, 0}), true, B({0x41, 0, 0, 0})},
        TrimCase{"zero_byte_inside_unit_is_not_nul", B({0x00, 0x4E, 0, 0}), false, B({0x00, 0x4E})},
        TrimCase{"no_zero_terminated_on_request", B({0x41, 0}), true, B({0x41, 0, 0, 0})}),
    CaseName());

TEST(WideToText, UnterminatedArrayConvertsWhole) {
  EXPECT_EQ(WideToText(B({'a', 0, 'b', 0}), 936), "ab");
}

TEST(WideToText, StopsAtZeroUnitInMiddle) {
  EXPECT_EQ(WideToText(B({'a', 0, 0, 0, 'b', 0}), 936), "a");
}

TEST(WideToText, EmptyAndLeadingZero) {
  EXPECT_EQ(WideToText({}, 936), "");
  EXPECT_EQ(WideToText(B({0, 0, 'a', 0}), 936), "");
}

TEST(WideToText, OddTrailingByteIsNotReadPastTheEnd) {
  EXPECT_EQ(WideToText(B({'a', 0, 'b'}), 936), "ab");
}

TEST(WideToText, OmittedCodePageIsSystemAnsi) {
  EXPECT_EQ(WideToText(B({0x2D, 0x4E})), "中");
}

TEST(WideToText, UnmappableBecomesDefaultCharacter) {
  // U+0E01 (Thai) has no form in code page 936.
  EXPECT_EQ(WideToText(B({0x01, 0x0E, 'x', 0}), 936), "?x");
}

TEST(Utf8ToText, CjkCharacter) {
  EXPECT_EQ(Utf8ToText(B({0xE4, 0xB8, 0xAD})), Text("\xD6\xD0"));
}

TEST(Utf8ToText, StopsAtZeroByte) {
  EXPECT_EQ(Utf8ToText(B({'o', 'k', 0, 'x'})), "ok");
}

TEST(Utf8ToText, EmojiBecomesDefaultCharacterNotError) {
  // U+1F600 as UTF-8, between two letters.
  // Each half of the surrogate pair may become a default character of its own.
  const Text text = Utf8ToText(B({'a', 0xF0, 0x9F, 0x98, 0x80, 'b'}));
  EXPECT_THAT(text, testing::AnyOf("a?b", "a??b"));
}

TEST(Utf8ToText, RoundTripOfWindowTexts) {
  const Text texts[] = {"飞梭助手", "停止连点", "坐标记录热键F5被占用，坐标记录功能将无法使用"};
  for (const Text& text : texts) {
    EXPECT_EQ(WideToText(TextToWide(text), static_cast<unsigned>(ProcessCodePage)), text);
  }
}

}  // namespace
