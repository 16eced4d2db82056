#include "common/memcard/sha.h"

#include <algorithm>
#include <vector>

namespace dravolo::memcard {

namespace {

constexpr std::size_t kBlock = 64;

constexpr std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
constexpr std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::uint32_t Big32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}
void PutBig32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// Feeds every 64-byte block of the message with its padding (a 1 bit, zeros,
// the length in bits as a big-endian 64-bit number) to `compress`.
template <typename Compress>
void ForEachBlock(std::span<const std::uint8_t> data, Compress compress) {
    const std::size_t whole = data.size() / kBlock * kBlock;
    for (std::size_t at = 0; at < whole; at += kBlock) compress(data.data() + at);
    std::uint8_t tail[2 * kBlock] = {};
    const std::size_t rest = data.size() - whole;
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(whole), data.end(), tail);
    tail[rest] = 0x80;
    const std::size_t tailSize = rest + 9 <= kBlock ? kBlock : 2 * kBlock;
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailSize - 1 - static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    for (std::size_t at = 0; at < tailSize; at += kBlock) compress(tail + at);
}

}  // namespace

Sha1Digest Sha1(std::span<const std::uint8_t> data) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    ForEachBlock(data, [&h](const std::uint8_t* block) {
        std::uint32_t w[80];
        for (int t = 0; t < 16; ++t) w[t] = Big32(block + 4 * t);
        for (int t = 16; t < 80; ++t) w[t] = Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int t = 0; t < 80; ++t) {
            std::uint32_t f, k;
            if (t < 20) f = (b & c) | (~b & d), k = 0x5A827999;
            else if (t < 40) f = b ^ c ^ d, k = 0x6ED9EBA1;
            else if (t < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
            else f = b ^ c ^ d, k = 0xCA62C1D6;
            const std::uint32_t temp = Rotl(a, 5) + f + e + k + w[t];
            e = d;
            d = c;
            c = Rotl(b, 30);
            b = a;
            a = temp;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    });
    Sha1Digest digest;
    for (int i = 0; i < 5; ++i) PutBig32(digest.data() + 4 * i, h[i]);
    return digest;
}

Sha256Digest Sha256(std::span<const std::uint8_t> data) {
    static constexpr std::uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    ForEachBlock(data, [&h](const std::uint8_t* block) {
        std::uint32_t w[64];
        for (int t = 0; t < 16; ++t) w[t] = Big32(block + 4 * t);
        for (int t = 16; t < 64; ++t) {
            const std::uint32_t s0 = Rotr(w[t - 15], 7) ^ Rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
            const std::uint32_t s1 = Rotr(w[t - 2], 17) ^ Rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
            w[t] = w[t - 16] + s0 + w[t - 7] + s1;
        }
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int t = 0; t < 64; ++t) {
            const std::uint32_t t1 = hh + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[t] + w[t];
            const std::uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += hh;
    });
    Sha256Digest digest;
    for (int i = 0; i < 8; ++i) PutBig32(digest.data() + 4 * i, h[i]);
    return digest;
}

Sha1Digest HmacSha1(std::span<const std::uint8_t> key, std::span<const std::uint8_t> message) {
    std::uint8_t block[kBlock] = {};
    if (key.size() > kBlock) {
        const Sha1Digest shortened = Sha1(key);
        std::copy(shortened.begin(), shortened.end(), block);
    } else {
        std::copy(key.begin(), key.end(), block);
    }
    std::vector<std::uint8_t> inner(kBlock + message.size());
    for (std::size_t i = 0; i < kBlock; ++i) inner[i] = block[i] ^ 0x36;
    std::copy(message.begin(), message.end(), inner.begin() + kBlock);
    const Sha1Digest innerHash = Sha1(inner);
    std::uint8_t outer[kBlock + 20];
    for (std::size_t i = 0; i < kBlock; ++i) outer[i] = block[i] ^ 0x5C;
    std::copy(innerHash.begin(), innerHash.end(), outer + kBlock);
    return Sha1(outer);
}

}  // namespace dravolo::memcard
