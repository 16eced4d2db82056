#pragma once
// SHA-1 and SHA-256 (FIPS 180-4) and HMAC-SHA1 (RFC 2104): the hashes the
// PSP, PS3 and PS Vita card and save formats carry.

#include <array>
#include <cstdint>
#include <span>

namespace dravolo::memcard {

using Sha1Digest = std::array<std::uint8_t, 20>;
using Sha256Digest = std::array<std::uint8_t, 32>;

Sha1Digest Sha1(std::span<const std::uint8_t> data);
Sha256Digest Sha256(std::span<const std::uint8_t> data);
Sha1Digest HmacSha1(std::span<const std::uint8_t> key, std::span<const std::uint8_t> message);

}  // namespace dravolo::memcard
