#include "instance/md5.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "common/handles.h"

Text HashBytesHex(const Bytes& data, ALG_ID algorithm, int hashLength) {
  if (hashLength <= 0) return {};
  UniqueCryptProvider provider;
  if (!::CryptAcquireContextA(provider.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      !::CryptAcquireContextA(provider.put(), nullptr, nullptr, PROV_RSA_FULL, 0)) {
    return {};
  }
  UniqueCryptHash hash;
  if (!::CryptCreateHash(provider.get(), algorithm, 0, 0, hash.put())) return {};
  if (!::CryptHashData(hash.get(), DataOrNull(data), static_cast<DWORD>(data.size()), 0)) return {};
  std::vector<BYTE> digest(static_cast<std::size_t>(hashLength), 0);
  DWORD length = static_cast<DWORD>(hashLength);
  if (!::CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &length, 0)) return {};
  length = std::min<DWORD>(length, static_cast<DWORD>(hashLength));

  static constexpr char kAlphabet[] = "0123456789ABCDEF";
  Text hex;
  hex.reserve(length * 2);
  for (DWORD i = 0; i < length; ++i) {
    hex += kAlphabet[digest[i] >> 4];
    hex += kAlphabet[digest[i] & 15];
  }
  return hex;
}

Text Md5HexDigest(const Bytes& data, bool upperCase, bool short16) {
  Text digest = HashBytesHex(data, CALG_MD5, 16);
  if (!upperCase) {
    std::transform(digest.begin(), digest.end(), digest.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c + 32) : c; });
  }
  if (short16) return digest.size() >= 24 ? digest.substr(8, 16) : Text{};
  return digest;
}
