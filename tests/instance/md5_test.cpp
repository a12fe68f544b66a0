#include <gtest/gtest.h>

#include "tests/case_name.h"

#include "instance/md5.h"

namespace {

struct DigestCase {
  const char* name;
  Text input;
  const char* md5;  // lower case, computed independently
};

class Md5Test : public testing::TestWithParam<DigestCase> {};

TEST_P(Md5Test, DefaultFormIsLowerCase32) {
  EXPECT_EQ(Md5HexDigest(TextBytes(GetParam().input)), GetParam().md5);
}

TEST_P(Md5Test, UpperCase) {
  Text upper = GetParam().md5;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(Md5HexDigest(TextBytes(GetParam().input), true), upper);
  EXPECT_EQ(HashBytesHex(TextBytes(GetParam().input), CALG_MD5, 16), upper);
}

TEST_P(Md5Test, Short16IsCharacters9To24) {
  EXPECT_EQ(Md5HexDigest(TextBytes(GetParam().input), false, true), Text(GetParam().md5).substr(8, 16));
}

INSTANTIATE_TEST_SUITE_P(
    Digests, Md5Test,
    testing::Values(
        DigestCase{"empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
        DigestCase{"abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
        DigestCase{"fox", "The quick brown fox jumps over the lazy dog",
                   "9e107d9d372bb6826bd81d3542a419d6"},
        DigestCase{"chinese", "中文", "bcce109775e8e1972e9f5fcda3e12895"},
        // The instance guard's default event name.
        DigestCase{"default_event_name", "ibfiy，xwpj，bm", "a76440f1b68eb2f235383cc39b85b3b1"}),
    CaseName());

TEST(Md5, EmbeddedZeroBytesAreHashed) {
  const Bytes data{'a', 0, 'b'};
  EXPECT_EQ(Md5HexDigest(data), "70350f6027bce3713f6b76473084309b");
}

TEST(Md5, UpperAndShortTogether) {
  EXPECT_EQ(Md5HexDigest({}, true, true), "8F00B204E9800998");
}

TEST(HashBytesHex, OtherAlgorithmAndLengths) {
  EXPECT_EQ(HashBytesHex(TextBytes("abc"), CALG_SHA1, 20), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(HashBytesHex(TextBytes("abc"), CALG_MD5, 0), "");
  // A buffer too small for the digest is a failure, not a truncated digest.
  EXPECT_EQ(HashBytesHex(TextBytes("abc"), CALG_MD5, 8), "");
}

TEST(HashBytesHex, UnknownAlgorithmGivesEmptyText) {
  EXPECT_EQ(HashBytesHex(TextBytes("abc"), 0x7FFF, 16), "");
  EXPECT_EQ(Md5HexDigest({}, false, true).size(), 16u);
}

}  // namespace
