#include "tests/support/disc_builder.h"

#include <cstdio>
#include <fstream>

namespace dravolo::test {

namespace {

std::uint8_t Bcd(std::uint32_t v) { return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10)); }

}  // namespace

std::uint8_t DiscBuilder::Pattern(std::uint32_t sector, std::size_t offset) {
    return static_cast<std::uint8_t>((sector * 131u + offset * 7u + (sector >> 8)) & 0xFF);
}

DiscBuilder& DiscBuilder::AddTrack(TrackKind kind, std::uint32_t sectors, std::uint8_t audioByte15) {
    const std::uint32_t start = SectorCount();
    tracks_.push_back({kind, start});
    for (std::uint32_t s = start; s < start + sectors; ++s) {
        std::uint8_t sector[kSectorSize];
        for (std::size_t i = 0; i < kSectorSize; ++i) sector[i] = Pattern(s, i);
        if (kind == TrackKind::Audio) {
            sector[15] = audioByte15;
        } else {
            // Sync pattern, then the header: minute, second, frame (BCD, with
            // the two-second lead-in) and the mode byte.
            sector[0] = 0x00;
            for (int i = 1; i <= 10; ++i) sector[i] = 0xFF;
            sector[11] = 0x00;
            const std::uint32_t address = s + 150;
            sector[12] = Bcd(address / 75 / 60);
            sector[13] = Bcd(address / 75 % 60);
            sector[14] = Bcd(address % 75);
            sector[15] = kind == TrackKind::Mode1 ? 1 : 2;
        }
        image_.insert(image_.end(), sector, sector + kSectorSize);
    }
    return *this;
}

Bytes DiscBuilder::Range(std::uint32_t first, std::uint32_t last) const {
    return Bytes(image_.begin() + static_cast<std::ptrdiff_t>(first * kSectorSize),
                 image_.begin() + static_cast<std::ptrdiff_t>((last + 1) * kSectorSize));
}

std::string DiscBuilder::WriteTo(const std::string& dir, const std::string& name, bool withCue) const {
    const std::string bin = dir + "/" + name + ".bin";
    std::ofstream(bin, std::ios::binary)
        .write(reinterpret_cast<const char*>(image_.data()), static_cast<std::streamsize>(image_.size()));
    if (withCue) {
        std::ofstream cue(dir + "/" + name + ".cue", std::ios::binary);
        cue << "FILE \"" << name << ".bin\" BINARY\r\n";
        for (std::size_t i = 0; i < tracks_.size(); ++i) {
            const char* type = tracks_[i].kind == TrackKind::Audio   ? "AUDIO"
                               : tracks_[i].kind == TrackKind::Mode1 ? "MODE1/2352"
                                                                     : "MODE2/2352";
            char lines[96];
            const std::uint32_t s = tracks_[i].start;
            std::snprintf(lines, sizeof lines, "  TRACK %02zu %s\r\n    INDEX 01 %02u:%02u:%02u\r\n", i + 1, type,
                          s / 75 / 60, s / 75 % 60, s % 75);
            cue << lines;
        }
    }
    return bin;
}

}  // namespace dravolo::test
