#pragma once
// Hex digests through the system's default cryptographic provider.

#include <windows.h>
#include <wincrypt.h>

#include "common/text.h"

// Upper-case hex digest of data, two characters a byte; empty on any failure.
[[nodiscard]] Text HashBytesHex(const Bytes& data, ALG_ID algorithm, int hashLength);

// MD5 of data: lower case unless upperCase; with short16 only the middle 16
// characters (positions 9 to 24 counted from 1).
[[nodiscard]] Text Md5HexDigest(const Bytes& data, bool upperCase = false, bool short16 = false);
