#pragma once
// AES-128 (FIPS-197) on single 16-byte blocks, and CBC over whole blocks: what
// the PSP, PS3 and PS Vita card and save formats use for their signatures and
// encryption. Not meant for anything secret; the keys are public constants.

#include <array>
#include <cstdint>
#include <span>

namespace dravolo::memcard {

using AesBlock = std::array<std::uint8_t, 16>;
using AesKey = std::array<std::uint8_t, 16>;

class Aes128 {
public:
    explicit Aes128(const AesKey& key);
    AesBlock Encrypt(const AesBlock& in) const;
    AesBlock Decrypt(const AesBlock& in) const;

    // In place; `data` must be a whole number of blocks.
    void EncryptCbc(std::span<std::uint8_t> data, const AesBlock& iv) const;
    void DecryptCbc(std::span<std::uint8_t> data, const AesBlock& iv) const;

private:
    std::array<std::uint8_t, 176> roundKeys_{};  // 11 round keys of 16 bytes
};

}  // namespace dravolo::memcard
