#pragma once
// Whether a downloaded program comes from its publisher: an ECDSA P-256
// signature over the SHA-256 of the file, 64 bytes r‖s written as 128 hex
// digits, checked with CNG against a public key of the build.

#include <windows.h>

#include <array>
#include <optional>

#include "common/text.h"

// r‖s, 32 bytes each.
using UpdateSignature = std::array<BYTE, 64>;
// The curve point X‖Y, 32 bytes each.
using UpdatePublicKey = std::array<BYTE, 64>;

// The publisher's key that this build carries.
[[nodiscard]] const UpdatePublicKey& PublisherKey() noexcept;

// The 64 bytes of exactly 128 hex digits (either case); nothing otherwise.
[[nodiscard]] std::optional<UpdateSignature> ParseSignature(const Text& hex) noexcept;

// True only when the file can be read whole and signatureHex is a valid
// signature of its SHA-256 under key.
[[nodiscard]] bool VerifyFileSignature(const Text& path, const Text& signatureHex,
                                       const UpdatePublicKey& key = PublisherKey()) noexcept;
