#pragma once
// Virtual CD drives: raw images of 2352-byte sectors that answer the same
// command blocks as a real drive, with proper sense data. The tests and the
// demo workspace read "discs" through them, and on a machine without a drive
// they let the ISO tool be tried out.
//
// DRAVOLO_VIRTUAL_CD names the images, separated by ';'. Each entry is a path
// (a host path, or a Windows path as winfs.h maps it; it may not contain ',' or
// ';') optionally followed by faults, separated by ',':
//
//   bad=N         sector N cannot be read (MEDIUM ERROR, 3/11/00)
//   bad=N-M       sectors N to M cannot be read
//   notready      no disc in the drive: every medium command answers
//                 NOT READY, 2/3A/00 (INQUIRY still answers)
//   attention     the first medium command answers UNIT ATTENTION, 6/28/00
//                 (medium may have changed), once
//
//   DRAVOLO_VIRTUAL_CD='/discs/game.bin;/discs/scratched.bin,bad=1000-1010'
//
// Tracks: when a cue sheet with the image's name and the extension ".cue"
// lies beside it, its TRACK / INDEX 01 lines give the track starts (AUDIO
// tracks are reported as audio in the TOC); otherwise the image is one data
// track. A trailing part of the file shorter than a sector is ignored.
//
// The drives join whichever interface is chosen as extra drives, after the
// system's own: adapter = the first adapter number after the system's drives,
// target = position in the list (eight to an adapter), LUN 0.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/scsi.h"

namespace dravolo {

struct VirtualDisc {
    std::string imagePath;
    struct Range {
        std::uint32_t first = 0, last = 0;
    };
    std::vector<Range> badSectors;
    bool notReady = false;
    bool unitAttention = false;
};

// Parses the variable's text; nullopt (with a reason) for a malformed entry.
std::optional<std::vector<VirtualDisc>> ParseVirtualCdList(std::string_view text, std::string* error = nullptr);
// The discs DRAVOLO_VIRTUAL_CD names; empty when unset or malformed (a
// malformed value is reported once on stderr).
std::vector<VirtualDisc> VirtualDiscsFromEnvironment();

// One drive with one disc. Thread-safe: commands may come from a worker thread.
class VirtualDrive {
public:
    explicit VirtualDrive(VirtualDisc setup);
    ~VirtualDrive();

    ScsiStatus Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction, std::span<std::uint8_t> data);

    // Puts another disc in (its own faults with it): what the drive answers
    // from the next command on. A real drive reports the change with a unit
    // attention; the new disc's `unitAttention` says whether this one does.
    void ChangeDisc(VirtualDisc disc);

    const VirtualDisc& setup() const { return disc_; }
    std::uint32_t SectorCount() const { return sectorCount_; }
    // Every command block received, in order (for tests).
    std::vector<std::vector<std::uint8_t>> Commands() const;
    void ClearCommands();
    std::uint16_t LastSpeed() const;

private:
    struct Track {
        std::uint32_t start = 0;
        bool audio = false;
    };
    bool IsMediumCommand(std::uint8_t opcode) const;
    bool IsBad(std::uint32_t sector) const;
    ScsiStatus Inquiry(std::span<std::uint8_t> data);
    ScsiStatus ReadCapacity(std::span<std::uint8_t> data);
    ScsiStatus ReadToc(std::span<std::uint8_t> data);
    ScsiStatus ReadCd(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data);
    void Load(VirtualDisc disc);
    void LoadTracks();

    // The image, read at an offset (defined per system in the .cpp).
    class ImageFile;

    VirtualDisc disc_;
    std::unique_ptr<ImageFile> file_;
    std::uint32_t sectorCount_ = 0;
    std::vector<Track> tracks_;
    mutable std::mutex mutex_;
    bool attentionPending_ = false;
    std::uint16_t speed_ = 0;
    std::vector<std::vector<std::uint8_t>> commands_;
};

// The virtual drives as a transport of their own.
class VirtualScsiTransport : public ScsiTransport {
public:
    VirtualScsiTransport(ScsiInterface which, std::vector<VirtualDisc> discs);
    VirtualScsiTransport(ScsiInterface which, std::vector<std::shared_ptr<VirtualDrive>> drives);

    ScsiInterface Interface() const override { return interface_; }
    ScsiInitError Init() override;
    bool Enumerate(std::vector<ScsiDriveInfo>& drives) override;
    std::unique_ptr<ScsiHandle> Open(const ScsiAddress& address, DeviceLog* log) override;

    // Drives are numbered from this adapter on.
    void SetFirstAdapter(std::uint8_t adapter) { firstAdapter_ = adapter; }
    ScsiAddress AddressOf(std::size_t index) const;
    const std::vector<std::shared_ptr<VirtualDrive>>& drives() const { return drives_; }

private:
    ScsiInterface interface_;
    std::vector<std::shared_ptr<VirtualDrive>> drives_;
    std::uint8_t firstAdapter_ = 0;
};

// The system's transport with virtual drives after its own. When the system
// finds no device at all the virtual drives alone make the interface usable;
// an interface that is missing (ASPI not installed) stays missing.
class CombinedScsiTransport : public ScsiTransport {
public:
    CombinedScsiTransport(std::unique_ptr<ScsiTransport> native, std::unique_ptr<VirtualScsiTransport> virtualDrives);

    ScsiInterface Interface() const override { return virtual_->Interface(); }
    ScsiInitError Init() override;
    bool Enumerate(std::vector<ScsiDriveInfo>& drives) override;
    std::unique_ptr<ScsiHandle> Open(const ScsiAddress& address, DeviceLog* log) override;

private:
    std::unique_ptr<ScsiTransport> native_;
    std::unique_ptr<VirtualScsiTransport> virtual_;
    bool nativeUsable_ = false;
};

}  // namespace dravolo
