// The signature check of downloaded updates, with a key pair of these tests:
// signatures made by openssl (as scripts/sign-update makes them) over a small
// file are accepted only for exactly that file and that key.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/case_name.h"
#include "update/update_signature.h"

namespace {

// The public point X‖Y of the test key.
constexpr UpdatePublicKey kTestKey = {
    0x6a, 0x57, 0x03, 0xe9, 0x4c, 0xfd, 0xce, 0x70, 0xdb, 0x45, 0x74, 0x48, 0xc1, 0x55, 0x72, 0x60,
    0x74, 0x74, 0x6a, 0xfa, 0x49, 0x49, 0x40, 0x55, 0x79, 0xf8, 0xa9, 0xa8, 0x67, 0x98, 0xe3, 0x63,
    0x89, 0x46, 0xb8, 0xf4, 0x02, 0x6a, 0x98, 0xcc, 0x88, 0x55, 0xd1, 0x63, 0x9a, 0x82, 0x14, 0xab,
    0x0f, 0x0a, 0x87, 0xc3, 0xef, 0xe1, 0x25, 0xee, 0xd8, 0x02, 0x81, 0xd7, 0x51, 0x97, 0xc6, 0xad};

const Text kPayload = "payload bytes of a new version";
// By the test key over kPayload.
const Text kSigned =
    "aacd0e723accf88c421af108a6e375aebb6c13caad76a54c64d5f9b32e7ab406"
    "0361bf775be87c82b9d7b27fc6161deb36c68dea538307e0afd869cb7126ba17";
// By another key over kPayload.
const Text kOtherKey =
    "5188bf231d5f542ae7fb0346735fd4b44a93051b08dbd9095498864fbfaa2bf4"
    "c94d9cdc0a76989cf977c9b5f763a07e1e36cf615c1ff34925434d8a162861cd";
// By the test key over the payload with its last byte changed.
const Text kOtherBytes =
    "f759a90d07b672c374c54ecf9155a17c1327418e19873c86bb763bef928331f3"
    "8cf4b2b1879bb7a61f17d2a853ced39e1ccf697b16427862105065f75870d75f";

Text Upper(Text text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
  return text;
}

// text with the byte at index replaced by c.
Text WithByte(Text text, std::size_t index, char c) {
  text[index] = c;
  return text;
}

struct SignatureCase {
  const char* name;
  Text signature;
  bool accepted;
};

class UpdateSignatureTest : public testing::TestWithParam<SignatureCase> {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    path_ = Text(folder) + "update_signature_test_" + std::to_string(GetCurrentProcessId()) + ".file";
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, kPayload.data(), static_cast<DWORD>(kPayload.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(wrote);
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }

  Text path_;
};

TEST_P(UpdateSignatureTest, VerifiesOnlyTheRightSignature) {
  EXPECT_EQ(VerifyFileSignature(path_, GetParam().signature, kTestKey), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, UpdateSignatureTest,
    testing::Values(SignatureCase{"valid", kSigned, true},
                    SignatureCase{"valid_in_capitals", Upper(kSigned), true},
                    SignatureCase{"missing", "", false},
                    SignatureCase{"127_digits", kSigned.substr(0, 127), false},
                    SignatureCase{"129_digits", kSigned + "0", false},
                    SignatureCase{"not_hex", WithByte(kSigned, 0, 'g'), false},
                    SignatureCase{"blank_inside", WithByte(kSigned, 64, ' '), false},
                    SignatureCase{"other_key", kOtherKey, false},
                    SignatureCase{"other_bytes", kOtherBytes, false},
                    SignatureCase{"all_zero", Text(128, '0'), false}),
    CaseName());

TEST(UpdateSignature, FileThatCannotBeReadIsRefused) {
  EXPECT_FALSE(VerifyFileSignature("C:\\no such folder\\Update.file", kSigned, kTestKey));
}

TEST(UpdateSignature, ParsesExactlyOneHundredTwentyEightHexDigits) {
  const auto parsed = ParseSignature(kSigned);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ((*parsed)[0], 0xaa);
  EXPECT_EQ((*parsed)[63], 0x17);
  EXPECT_FALSE(ParseSignature(kSigned.substr(0, 126)).has_value());
}

TEST(UpdateSignature, BuildCarriesAPublisherKeyOtherThanTheTestKey) {
  EXPECT_NE(PublisherKey(), UpdatePublicKey{});
  EXPECT_NE(PublisherKey(), kTestKey);
}

}  // namespace
