#include "update/update_signature.h"

#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "common/handles.h"
#include "update/publisher_key.h"

namespace {

inline void CloseAlgorithm(BCRYPT_ALG_HANDLE h) noexcept { ::BCryptCloseAlgorithmProvider(h, 0); }
inline void DestroyKey(BCRYPT_KEY_HANDLE h) noexcept { ::BCryptDestroyKey(h); }
inline void DestroyHash(BCRYPT_HASH_HANDLE h) noexcept { ::BCryptDestroyHash(h); }
using UniqueAlgorithm = UniqueAny<handle_detail::NullIsEmpty<BCRYPT_ALG_HANDLE, CloseAlgorithm>>;
using UniqueKey = UniqueAny<handle_detail::NullIsEmpty<BCRYPT_KEY_HANDLE, DestroyKey>>;
using UniqueHash = UniqueAny<handle_detail::NullIsEmpty<BCRYPT_HASH_HANDLE, DestroyHash>>;

constexpr ULONG kDigestBytes = 32;
constexpr DWORD kReadChunk = 64 * 1024;

bool Succeeded(NTSTATUS status) noexcept { return status >= 0; }

int HexValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// SHA-256 of the whole file; false when it cannot be read to its end.
bool HashFile(const Text& path, std::array<BYTE, kDigestBytes>& digest) noexcept {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  UniqueAlgorithm algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return false;
  UniqueHash hash;
  if (!Succeeded(::BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0))) return false;
  std::vector<BYTE> buffer(kReadChunk);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer.data(), kReadChunk, &read, nullptr)) return false;
    if (read == 0) break;
    if (!Succeeded(::BCryptHashData(hash.get(), buffer.data(), read, 0))) return false;
  }
  return Succeeded(::BCryptFinishHash(hash.get(), digest.data(), kDigestBytes, 0));
}

}  // namespace

const UpdatePublicKey& PublisherKey() noexcept {
  static const UpdatePublicKey key = kPublisherKeyPoint;
  return key;
}

std::optional<UpdateSignature> ParseSignature(const Text& hex) noexcept {
  UpdateSignature signature{};
  if (hex.size() != signature.size() * 2) return std::nullopt;
  for (std::size_t i = 0; i < signature.size(); ++i) {
    const int high = HexValue(hex[2 * i]);
    const int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    signature[i] = static_cast<BYTE>(high * 16 + low);
  }
  return signature;
}

bool VerifyFileSignature(const Text& path, const Text& signatureHex, const UpdatePublicKey& key) noexcept {
  std::optional<UpdateSignature> signature = ParseSignature(signatureHex);
  if (!signature) return false;
  std::array<BYTE, kDigestBytes> digest{};
  if (!HashFile(path, digest)) return false;

  // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
  std::array<BYTE, sizeof(BCRYPT_ECCKEY_BLOB) + UpdatePublicKey{}.size()> blob{};
  const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, static_cast<ULONG>(key.size() / 2)};
  std::memcpy(blob.data(), &header, sizeof header);
  std::memcpy(blob.data() + sizeof header, key.data(), key.size());

  UniqueAlgorithm algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) {
    return false;
  }
  UniqueKey publicKey;
  if (!Succeeded(::BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, publicKey.put(), blob.data(),
                                       static_cast<ULONG>(blob.size()), 0))) {
    return false;
  }
  return ::BCryptVerifySignature(publicKey.get(), nullptr, digest.data(), kDigestBytes, signature->data(),
                                 static_cast<ULONG>(signature->size()), 0) == 0;
}
