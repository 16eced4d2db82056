#pragma once
// Raw CD images for tests: tracks of Mode 1, Mode 2 or audio sectors, 2352
// bytes each, written as a ".bin" with an optional cue sheet beside it, and
// the DRAVOLO_VIRTUAL_CD entry that serves them with faults. Sectors are
// built from the CD layout directly (sync, BCD header, mode byte) and filled
// with a pattern of their address, so any misplaced sector shows.

#include <cstdint>
#include <string>
#include <vector>

#include "common/base/bytes.h"

namespace dravolo::test {

enum class TrackKind { Mode1, Mode2, Audio };

class DiscBuilder {
public:
    static constexpr std::size_t kSectorSize = 2352;

    // Audio sectors carry `audioByte15` at offset 15, which is what a drive
    // reading the sector raw reports as its "mode".
    DiscBuilder& AddTrack(TrackKind kind, std::uint32_t sectors, std::uint8_t audioByte15 = 0x5A);

    std::uint32_t SectorCount() const { return static_cast<std::uint32_t>(image_.size() / kSectorSize); }
    std::uint32_t TrackStart(std::size_t track) const { return tracks_.at(track).start; }
    const Bytes& image() const { return image_; }
    // Bytes of sectors [first, last].
    Bytes Range(std::uint32_t first, std::uint32_t last) const;

    // Writes dir/name.bin (and dir/name.cue when withCue); returns the .bin path.
    std::string WriteTo(const std::string& dir, const std::string& name, bool withCue = true) const;

    static std::uint8_t Pattern(std::uint32_t sector, std::size_t offset);

private:
    struct Track {
        TrackKind kind;
        std::uint32_t start;
    };
    std::vector<Track> tracks_;
    Bytes image_;
};

}  // namespace dravolo::test
