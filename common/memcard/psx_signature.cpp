#include "common/memcard/psx_signature.h"

#include <algorithm>
#include <vector>

#include "common/memcard/aes128.h"

namespace dravolo::memcard {

namespace {

// The public key and IV of PS1 saves on the PSP and the PS3.
constexpr AesKey kSaveKey = {0xAB, 0x5A, 0xBC, 0x9F, 0xC1, 0xF4, 0x9D, 0xE6,
                             0xA0, 0x51, 0xDB, 0xAE, 0xFA, 0x51, 0x88, 0x59};
constexpr AesBlock kSaveIv = {0xB3, 0x0F, 0xFE, 0xED, 0xB7, 0xDC, 0x5E, 0xB7,
                              0x13, 0x3D, 0xA6, 0x0D, 0x1B, 0x6B, 0x2C, 0xDC};
constexpr std::size_t kHmacKeySize = 64;

// The HMAC key: the seed's first block decrypted, xored with the IV, then the
// same block encrypted, xored with the seed's last four bytes; only the first
// 20 bytes count, the rest of the 64 are zero.
std::array<std::uint8_t, kHmacKeySize> SaltFromSeed(std::span<const std::uint8_t> seed) {
    const Aes128 aes(kSaveKey);
    AesBlock first;
    std::copy_n(seed.begin(), 16, first.begin());
    const AesBlock decrypted = aes.Decrypt(first);
    const AesBlock encrypted = aes.Encrypt(first);
    std::array<std::uint8_t, kHmacKeySize> salt{};
    for (std::size_t i = 0; i < 16; ++i) salt[i] = decrypted[i] ^ kSaveIv[i];
    for (std::size_t i = 0; i < 4; ++i) salt[16 + i] = encrypted[i] ^ seed[16 + i];
    return salt;
}

}  // namespace

Sha1Digest PsxSignature(std::span<const std::uint8_t> file, std::size_t seedOffset, std::size_t signatureOffset) {
    const auto salt = SaltFromSeed(file.subspan(seedOffset, kSignatureSeedSize));
    std::vector<std::uint8_t> zeroed(file.begin(), file.end());
    std::fill_n(zeroed.begin() + static_cast<std::ptrdiff_t>(signatureOffset), kSignatureSize, std::uint8_t{0});
    return HmacSha1(salt, zeroed);
}

void SignPsxFile(std::span<std::uint8_t> file, std::size_t seedOffset, std::size_t signatureOffset) {
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(seedOffset), kSignatureSeedSize, std::uint8_t{0});
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(signatureOffset), kSignatureSize, std::uint8_t{0});
    const Sha1Digest seed = Sha1(file);
    std::copy(seed.begin(), seed.end(), file.begin() + static_cast<std::ptrdiff_t>(seedOffset));
    const Sha1Digest signature = PsxSignature(file, seedOffset, signatureOffset);
    std::copy(signature.begin(), signature.end(), file.begin() + static_cast<std::ptrdiff_t>(signatureOffset));
}

bool HasValidPsxSignature(std::span<const std::uint8_t> file, std::size_t seedOffset, std::size_t signatureOffset) {
    const Sha1Digest expected = PsxSignature(file, seedOffset, signatureOffset);
    return std::equal(expected.begin(), expected.end(), file.begin() + static_cast<std::ptrdiff_t>(signatureOffset));
}

}  // namespace dravolo::memcard
