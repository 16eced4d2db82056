#pragma once
// The signature the PSP (.vmp cards) and the PS3 (.psv saves) check on PS1
// data: a 20-byte seed stored in the file is turned into an HMAC key with
// AES-128 under a fixed public key, and the signature is HMAC-SHA1 of the
// whole file with the signature field zeroed.

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/memcard/sha.h"

namespace dravolo::memcard {

inline constexpr std::size_t kSignatureSeedSize = 20;
inline constexpr std::size_t kSignatureSize = 20;

// The signature `file` should carry; `seedOffset` and `signatureOffset` are
// where the seed and the signature lie in it (both inside the file).
Sha1Digest PsxSignature(std::span<const std::uint8_t> file, std::size_t seedOffset, std::size_t signatureOffset);

// Writes a fresh seed (the SHA-1 of the file with seed and signature zeroed)
// and the matching signature into `file`.
void SignPsxFile(std::span<std::uint8_t> file, std::size_t seedOffset, std::size_t signatureOffset);

bool HasValidPsxSignature(std::span<const std::uint8_t> file, std::size_t seedOffset, std::size_t signatureOffset);

}  // namespace dravolo::memcard
