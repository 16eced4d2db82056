#include "common/memcard/aes128.h"

#include <algorithm>

namespace dravolo::memcard {

namespace {

constexpr int kRounds = 10;

// GF(2^8) with the AES polynomial x^8 + x^4 + x^3 + x + 1.
constexpr std::uint8_t Times2(std::uint8_t x) {
    return static_cast<std::uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1B : 0x00));
}
constexpr std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
    std::uint8_t product = 0;
    for (int i = 0; i < 8; ++i) {
        if (b & 1) product ^= a;
        a = Times2(a);
        b >>= 1;
    }
    return product;
}
constexpr std::uint8_t Inverse(std::uint8_t x) {
    if (x == 0) return 0;
    std::uint8_t result = 1;  // x^254 is the inverse
    for (int i = 0; i < 254; ++i) result = Multiply(result, x);
    return result;
}
constexpr std::uint8_t RotateLeft(std::uint8_t x, int n) {
    return static_cast<std::uint8_t>((x << n) | (x >> (8 - n)));
}

struct Tables {
    std::array<std::uint8_t, 256> sbox{}, inverse{};
    // Products with the MixColumns constants, for speed.
    std::array<std::uint8_t, 256> times2{}, times3{}, times9{}, times11{}, times13{}, times14{};
};

// The S-box from its definition: the multiplicative inverse, then the affine map.
constexpr Tables MakeTables() {
    Tables t;
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t b = Inverse(static_cast<std::uint8_t>(i));
        const auto s = static_cast<std::uint8_t>(b ^ RotateLeft(b, 1) ^ RotateLeft(b, 2) ^ RotateLeft(b, 3) ^
                                                 RotateLeft(b, 4) ^ 0x63);
        t.sbox[static_cast<std::size_t>(i)] = s;
        t.inverse[s] = static_cast<std::uint8_t>(i);
        const auto x = static_cast<std::uint8_t>(i);
        const auto at = static_cast<std::size_t>(i);
        t.times2[at] = Multiply(x, 2);
        t.times3[at] = Multiply(x, 3);
        t.times9[at] = Multiply(x, 9);
        t.times11[at] = Multiply(x, 11);
        t.times13[at] = Multiply(x, 13);
        t.times14[at] = Multiply(x, 14);
    }
    return t;
}
constexpr Tables kTables = MakeTables();
static_assert(kTables.sbox[0x00] == 0x63 && kTables.sbox[0x53] == 0xED);

using State = AesBlock;  // column-major: byte 4*c + r is row r of column c

void AddRoundKey(State& s, const std::uint8_t* key) {
    for (std::size_t i = 0; i < 16; ++i) s[i] ^= key[i];
}

void SubBytes(State& s, const std::array<std::uint8_t, 256>& box) {
    for (std::uint8_t& b : s) b = box[b];
}

void ShiftRows(State& s, bool inverse) {
    State t = s;
    for (int r = 1; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const int from = inverse ? (c - r + 4) % 4 : (c + r) % 4;
            s[static_cast<std::size_t>(4 * c + r)] = t[static_cast<std::size_t>(4 * from + r)];
        }
}

void MixColumns(State& s, bool inverse) {
    const Tables& t = kTables;
    for (std::size_t c = 0; c < 4; ++c) {
        const std::uint8_t a0 = s[4 * c], a1 = s[4 * c + 1], a2 = s[4 * c + 2], a3 = s[4 * c + 3];
        if (!inverse) {
            s[4 * c] = static_cast<std::uint8_t>(t.times2[a0] ^ t.times3[a1] ^ a2 ^ a3);
            s[4 * c + 1] = static_cast<std::uint8_t>(a0 ^ t.times2[a1] ^ t.times3[a2] ^ a3);
            s[4 * c + 2] = static_cast<std::uint8_t>(a0 ^ a1 ^ t.times2[a2] ^ t.times3[a3]);
            s[4 * c + 3] = static_cast<std::uint8_t>(t.times3[a0] ^ a1 ^ a2 ^ t.times2[a3]);
        } else {
            s[4 * c] = static_cast<std::uint8_t>(t.times14[a0] ^ t.times11[a1] ^ t.times13[a2] ^ t.times9[a3]);
            s[4 * c + 1] = static_cast<std::uint8_t>(t.times9[a0] ^ t.times14[a1] ^ t.times11[a2] ^ t.times13[a3]);
            s[4 * c + 2] = static_cast<std::uint8_t>(t.times13[a0] ^ t.times9[a1] ^ t.times14[a2] ^ t.times11[a3]);
            s[4 * c + 3] = static_cast<std::uint8_t>(t.times11[a0] ^ t.times13[a1] ^ t.times9[a2] ^ t.times14[a3]);
        }
    }
}

}  // namespace

Aes128::Aes128(const AesKey& key) {
    std::copy(key.begin(), key.end(), roundKeys_.begin());
    std::uint8_t rcon = 1;
    for (std::size_t i = 16; i < roundKeys_.size(); i += 4) {
        std::uint8_t word[4] = {roundKeys_[i - 4], roundKeys_[i - 3], roundKeys_[i - 2], roundKeys_[i - 1]};
        if (i % 16 == 0) {
            const std::uint8_t first = word[0];
            word[0] = static_cast<std::uint8_t>(kTables.sbox[word[1]] ^ rcon);
            word[1] = kTables.sbox[word[2]];
            word[2] = kTables.sbox[word[3]];
            word[3] = kTables.sbox[first];
            rcon = Times2(rcon);
        }
        for (std::size_t j = 0; j < 4; ++j) roundKeys_[i + j] = roundKeys_[i + j - 16] ^ word[j];
    }
}

AesBlock Aes128::Encrypt(const AesBlock& in) const {
    State s = in;
    AddRoundKey(s, roundKeys_.data());
    for (int round = 1; round <= kRounds; ++round) {
        SubBytes(s, kTables.sbox);
        ShiftRows(s, false);
        if (round != kRounds) MixColumns(s, false);
        AddRoundKey(s, roundKeys_.data() + 16 * round);
    }
    return s;
}

AesBlock Aes128::Decrypt(const AesBlock& in) const {
    State s = in;
    AddRoundKey(s, roundKeys_.data() + 16 * kRounds);
    for (int round = kRounds - 1; round >= 0; --round) {
        ShiftRows(s, true);
        SubBytes(s, kTables.inverse);
        AddRoundKey(s, roundKeys_.data() + 16 * round);
        if (round != 0) MixColumns(s, true);
    }
    return s;
}

void Aes128::EncryptCbc(std::span<std::uint8_t> data, const AesBlock& iv) const {
    AesBlock chain = iv;
    for (std::size_t at = 0; at + 16 <= data.size(); at += 16) {
        AesBlock block;
        for (std::size_t i = 0; i < 16; ++i) block[i] = data[at + i] ^ chain[i];
        chain = Encrypt(block);
        std::copy(chain.begin(), chain.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

void Aes128::DecryptCbc(std::span<std::uint8_t> data, const AesBlock& iv) const {
    AesBlock chain = iv;
    for (std::size_t at = 0; at + 16 <= data.size(); at += 16) {
        AesBlock cipher;
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), 16, cipher.begin());
        const AesBlock plain = Decrypt(cipher);
        for (std::size_t i = 0; i < 16; ++i) data[at + i] = plain[i] ^ chain[i];
        chain = cipher;
    }
}

}  // namespace dravolo::memcard
