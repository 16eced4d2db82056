// AES-128, SHA-1, SHA-256 and HMAC-SHA1 against their published test vectors,
// and the PS1 save signature against a vector made with openssl's AES and
// Python's hmac module.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/memcard/aes128.h"
#include "common/memcard/psx_signature.h"
#include "common/memcard/sha.h"

namespace dravolo::memcard {
namespace {

template <typename Bytes>
std::string Hex(const Bytes& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) text += {digits[b >> 4], digits[b & 15]};
    return text;
}

std::vector<std::uint8_t> Of(std::string_view text) { return {text.begin(), text.end()}; }

TEST(Crypto, AesAgainstFips197AndSp800_38a) {
    AesKey key;
    AesBlock plain;
    for (std::uint8_t i = 0; i < 16; ++i) key[i] = i, plain[i] = static_cast<std::uint8_t>(i * 0x11);
    const Aes128 aes(key);
    const AesBlock cipher = aes.Encrypt(plain);
    EXPECT_EQ(Hex(cipher), "69c4e0d86a7b0430d8cdb78070b4c55a");
    EXPECT_EQ(aes.Decrypt(cipher), plain);

    const Aes128 cbc({0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c});
    const AesBlock iv = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    std::vector<std::uint8_t> data = {0x6b, 0xc1, 0xbe, 0xe2, 0x2e, 0x40, 0x9f, 0x96,
                                      0xe9, 0x3d, 0x7e, 0x11, 0x73, 0x93, 0x17, 0x2a};
    const std::vector<std::uint8_t> original = data;
    cbc.EncryptCbc(data, iv);
    EXPECT_EQ(Hex(data), "7649abac8119b246cee98e9b12e9197d");
    cbc.DecryptCbc(data, iv);
    EXPECT_EQ(data, original);
}

TEST(Crypto, ShaAndHmacAgainstTheirVectors) {
    EXPECT_EQ(Hex(Sha1(Of("abc"))), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Hex(Sha1(Of(""))), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Hex(Sha1(std::vector<std::uint8_t>(1000000, 'a'))).substr(0, 16), "34aa973cd4c4daa4");
    EXPECT_EQ(Hex(Sha256(Of("abc"))), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the padding needs a second block.
    EXPECT_EQ(Hex(Sha256(std::vector<std::uint8_t>(56, 'a'))),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(Hex(HmacSha1(Of("Jefe"), Of("what do ya want for nothing?"))),
              "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    // RFC 2202 case 6: a key longer than a block is hashed first.
    EXPECT_EQ(Hex(HmacSha1(std::vector<std::uint8_t>(80, 0xAA),
                           Of("Test Using Larger Than Block-Size Key - Hash Key First"))),
              "aa4ae5e15272d00e95705637ce8a3b55ed402112");
}

TEST(Crypto, PsxSignatureMatchesAnIndependentComputation) {
    std::vector<std::uint8_t> file(0x100);
    for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (std::uint8_t i = 0; i < 20; ++i) file[0x0C + i] = static_cast<std::uint8_t>(i + 1);
    EXPECT_EQ(Hex(PsxSignature(file, 0x0C, 0x20)), "0d0bdb45cf2d57777ebba14fc12d6e9c82063774");

    SignPsxFile(file, 0x0C, 0x20);
    EXPECT_TRUE(HasValidPsxSignature(file, 0x0C, 0x20));
    file[0x90] ^= 1;
    EXPECT_FALSE(HasValidPsxSignature(file, 0x0C, 0x20));
}

}  // namespace
}  // namespace dravolo::memcard
