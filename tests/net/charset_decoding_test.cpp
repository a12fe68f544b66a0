#include <gtest/gtest.h>

#include "tests/case_name.h"

#include "net/charset_decoding.h"

namespace {

Bytes B(const Text& text) { return TextBytes(text); }

const Text kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文 in UTF-8
const Text kBig5Chinese = "\xA4\xA4\xA4\xE5";          // 中文 in Big5

// Each operation initialises COM itself; the tests' thread has none.
class CharsetDecodingTest : public testing::Test {};

TEST_F(CharsetDecodingTest, CodePagesWindowsKnowsByName) {
  const struct {
    const char* name;
    unsigned codePage;
  } known[] = {{"utf-8", 65001}, {"UTF-8", 65001}, {"gbk", 936},        {"gb2312", 936},
               {"big5", 950},    {"iso-8859-1", 28591}, {"windows-1252", 1252}};
  for (const auto& k : known) {
    EXPECT_EQ(CodePageOfCharset(k.name), k.codePage) << k.name;
  }
  EXPECT_EQ(CodePageOfCharset("x-nothing"), std::nullopt);
  EXPECT_EQ(CodePageOfCharset(""), std::nullopt);
}

TEST_F(CharsetDecodingTest, DecodesTheNamedCharsetOrNothing) {
  EXPECT_EQ(DecodeCharset(B("a" + kUtf8Chinese), "utf-8"), Text("a中文"));
  EXPECT_EQ(DecodeCharset(B(kBig5Chinese), "big5"), Text("中文"));
  EXPECT_EQ(DecodeCharset(B("plain"), "x-nothing"), std::nullopt);
}

struct MetaCase {
  const char* name;
  Text page;
  Text charset;
};

class FindMetaCharsetTest : public testing::TestWithParam<MetaCase> {};

TEST_P(FindMetaCharsetTest, Finds) { EXPECT_EQ(FindMetaCharset(GetParam().page), GetParam().charset); }

INSTANTIATE_TEST_SUITE_P(
    Cases, FindMetaCharsetTest,
    testing::Values(
        MetaCase{"quoted", "<html><meta charset=\"utf-8\">", "utf-8"},
        MetaCase{"unquoted", "<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">", "utf-8"},
        MetaCase{"upper_case_tag", "<META CHARSET=gbk>", "gbk"},
        MetaCase{"first_of_two", "<meta charset=big5><meta charset=utf-8>", "big5"},
        MetaCase{"no_meta", "<html><body>charset=utf-8</body></html>", ""},
        MetaCase{"beyond_1024_bytes", Text(1024, ' ') + "<meta charset=utf-8>", ""},
        MetaCase{"chinese_before", "中文<meta charset='utf-8'>", "utf-8"}),
    CaseName());

// Counts the messages dispatched to a message-only window.
class Counter {
 public:
  Counter()
      : window_(CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~Counter() { DestroyWindow(window_); }
  void Post() const { PostMessageA(window_, WM_NULL, 0, 0); }
  [[nodiscard]] bool Queued() const {
    MSG message;
    return PeekMessageA(&message, window_, 0, 0, PM_NOREMOVE) != FALSE;
  }

 private:
  HWND window_;
};

TEST_F(CharsetDecodingTest, RedecodesAllButGbkAndKeepsWhatItCannot) {
  EXPECT_EQ(RedecodeByMetaCharset("<meta charset=utf-8>" + kUtf8Chinese), "<meta charset=utf-8>中文");
  EXPECT_EQ(RedecodeByMetaCharset("<meta charset=\"big5\">" + kBig5Chinese), "<meta charset=\"big5\">中文");
  // gbk and gb2312 (exactly so) are the text's own code page: left alone.
  for (const char* name : {"gbk", "gb2312"}) {
    const Text page = Text("<meta charset=") + name + ">" + kUtf8Chinese;
    EXPECT_EQ(RedecodeByMetaCharset(page), page) << name;
  }
  const Text unknown = "<meta charset=x-nothing>" + kUtf8Chinese;
  EXPECT_EQ(RedecodeByMetaCharset(unknown), unknown);
  EXPECT_EQ(RedecodeByMetaCharset("no tag"), "no tag");
}

TEST_F(CharsetDecodingTest, TextEndsAtTheFirstZeroByte) {
  EXPECT_EQ(RedecodeByMetaCharset(Text("ab\0cd", 5)), "ab");
  EXPECT_EQ(RedecodeByMetaCharset(Text("\0<meta charset=utf-8>", 21)), "");
  const Text decoded = "<meta charset=utf-8>" + kUtf8Chinese;
  EXPECT_EQ(RedecodeByMetaCharset(decoded + Text("\0tail", 5)), "<meta charset=utf-8>中文");
}

TEST_F(CharsetDecodingTest, ProcessesPendingMessagesAfterTheSearch) {
  const Counter counter;
  for (const Text page : {"<meta charset=gbk>", "{\"json\": 1}"}) {
    counter.Post();
    ASSERT_TRUE(counter.Queued());
    (void)RedecodeByMetaCharset(page);
    EXPECT_FALSE(counter.Queued()) << page;
  }
}

}  // namespace
