#include "tests/memcards_ui/memcards_workspace.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace dravolo::test {

namespace {

using Palette = std::array<std::uint16_t, 16>;
using Pixels = std::array<std::uint8_t, 128>;

constexpr std::uint16_t Rgb(int r, int g, int b) {
    return static_cast<std::uint16_t>((r >> 3) | ((g >> 3) << 5) | ((b >> 3) << 10));
}

// A 16x16 picture from a function giving each pixel's palette index.
template <typename Paint>
Pixels Draw(Paint paint) {
    Pixels pixels{};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const auto index = static_cast<std::uint8_t>(paint(x, y) & 0x0F);
            auto& byte = pixels[static_cast<std::size_t>(y * 8 + x / 2)];
            byte = static_cast<std::uint8_t>(x % 2 == 0 ? (byte & 0xF0) | index : (byte & 0x0F) | (index << 4));
        }
    return pixels;
}

double Distance(int x, int y, double cx, double cy) { return std::hypot(x + 0.5 - cx, y + 0.5 - cy); }

const Palette kColours = {Rgb(16, 16, 40),   Rgb(230, 40, 40),   Rgb(250, 210, 40), Rgb(40, 160, 60),
                          Rgb(60, 110, 230), Rgb(250, 250, 250), Rgb(120, 70, 30),  Rgb(250, 140, 30),
                          Rgb(0, 0, 0),      Rgb(0, 0, 0),       Rgb(0, 0, 0),      Rgb(0, 0, 0),
                          Rgb(0, 0, 0),      Rgb(0, 0, 0),       Rgb(0, 0, 0),      Rgb(0, 0, 0)};

Pixels Heart() {
    return Draw([](int x, int y) {
        const bool lobes = Distance(x, y, 5, 6) < 3.6 || Distance(x, y, 11, 6) < 3.6;
        const bool point = y >= 6 && y <= 14 && std::abs(x + 0.5 - 8) < (14 - y) * 0.95;
        return lobes || point ? 1 : 0;
    });
}
Pixels Sun() {
    return Draw([](int x, int y) {
        const double d = Distance(x, y, 8, 8);
        return d < 4.5 ? 2 : (d < 7.5 && (x + y) % 3 == 0) ? 7 : 4;
    });
}
Pixels Tree() {
    return Draw([](int x, int y) {
        if (y >= 12 && x >= 7 && x <= 8) return 6;
        return y < 12 && std::abs(x + 0.5 - 8) < (y + 1) * 0.55 ? 3 : 5;
    });
}
Pixels Disc() {
    return Draw([](int x, int y) {
        const double d = Distance(x, y, 8, 8);
        return d < 1.8 ? 0 : d < 7.5 ? ((x * 3 + y) % 5 < 2 ? 4 : 5) : 0;
    });
}

// Title bytes in Shift-JIS, as the card stores them.
const std::string kFinalFantasy =
    "\x83\x74\x83\x40\x83\x43\x83\x69\x83\x8B\x83\x74\x83\x40\x83\x93\x83\x5E"
    "\x83\x57\x81\x5B\x82\x56";  // "ファイナルファンタジー７"
const std::string kRidgeRacer =
    "\x82\x71\x82\x89\x82\x84\x82\x87\x82\x85\x81\x40\x82\x71\x82\x81\x82\x83"
    "\x82\x85\x82\x92";  // full-width "Ridge Racer"
const std::string kBoukenKiroku = "\x96\x60\x8C\xAF\x82\xCC\x8B\x4C\x98\x5E\x81\x40\x82\x50";  // "冒険の記録　１"

}  // namespace

std::string MemcardsWorkspace::HostCardPath(const std::string& name) const {
    return world_.driveC() + "/epsxe/memcards/" + name;
}

std::string MemcardsWorkspace::PutCard(const std::string& name, const std::string& bytes) const {
    std::ofstream out(HostCardPath(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return "c:\\epsxe\\memcards\\" + name;
}

std::string MemcardsWorkspace::PutDriveFile(const std::string& rest, const std::string& bytes) const {
    const std::string host = world_.driveC() + "/" + rest;
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return host;
}

std::string MemcardsWorkspace::CardBytes(const std::string& name) const {
    std::ifstream in(HostCardPath(name), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

CardBuilder MemcardsWorkspace::PlayerCard() {
    CardBuilder card;
    card.AddSave({0}, kFinalFantasy, 1, "BI")
        .SetIcon(0, kColours, Heart())
        .AddSave({1, 2, 3}, kRidgeRacer, 2, "BA")
        .SetIcon(1, kColours, Sun())
        .AddSave({4}, kBoukenKiroku, 3, "BI")
        .SetIcon(4, kColours, Tree())
        .AddSave({5}, "OLD GAME", 4, "BE")
        .SetIcon(5, kColours, Disc())
        .MarkFree({5});
    return card;
}

CardBuilder MemcardsWorkspace::SecondCard() {
    CardBuilder card;
    card.AddSave({0}, "SPYRO: YEAR OF THE DRAGON", 5, "BE")
        .SetIcon(0, kColours, Tree())
        .AddSave({2}, kFinalFantasy, 6, "BI")
        .SetIcon(2, kColours, Heart());
    return card;
}

}  // namespace dravolo::test
