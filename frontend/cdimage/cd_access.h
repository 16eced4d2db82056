#pragma once
// The CD access object: finds the CD drives, tests them, reads their capacity
// and table of contents, sets their read speed and reads raw 2352-byte sectors
// in chunks of 26. Every operation exists in an ASPI and a pass-through form;
// the process-wide interface mode picks the form (3 pass-through, anything
// else ASPI).
//
// Diagnostics go to the diagnostics stream (standard output) and, for the
// pass-through device lookup, to "cdrdevnames.log" in the current directory.
// Interface failures are told once, through the owner's Prompter, at Init.
//
// No lock: the extraction worker calls ReadRaw, SetSpeed and TestUnitReady
// while the dialog issues no commands.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/base/prompter.h"
#include "common/platform/scsi.h"

namespace dravolo {

inline constexpr std::size_t kRawSectorSize = 2352;
inline constexpr int kChunkSectors = 26;
inline constexpr std::size_t kTransferBufferSize = kRawSectorSize * kChunkSectors;  // 61152
static_assert(kTransferBufferSize == 61152);

inline constexpr int kInterfaceModeAspi = 1;
inline constexpr int kInterfaceModePassThrough = 3;

// The Windows family's default: 3 (pass-through) on NT 4.0 or later, 1 (ASPI)
// on Windows 95/98/ME.
int DefaultInterfaceMode();
inline ScsiInterface InterfaceForMode(int mode) {
    return mode == kInterfaceModePassThrough ? ScsiInterface::PassThrough : ScsiInterface::Aspi;
}

// Read speed in kB/s for a speed index: 1 -> 176 ... 6 -> 2800; 0, 7 and any
// other value -> 65535, the drive's maximum.
std::uint16_t ReadSpeedForIndex(int speedIndex);

struct CdDrive {
    std::uint8_t adapter = 0;
    std::uint8_t target = 0;
    std::uint8_t lun = 0;
    std::string adapterName;
    std::string driveName;
};

enum TrackMode : std::uint8_t { kTrackAudio = 0, kTrackMode1 = 1, kTrackMode2 = 2 };

struct TocEntry {
    std::uint8_t track = 0;  // 0-based
    std::int32_t start = 0;  // logical block address of the track's first sector
    std::uint8_t mode = 0;   // from byte 15 of that sector, 0 when above 2
    bool dataTrack = true;   // the TOC's control field: data (true) or audio
    friend bool operator==(const TocEntry&, const TocEntry&) = default;
};

// Decodes a READ TOC (format 0) answer into start addresses and control bits;
// the modes are filled in by reading each track's first sector.
std::vector<TocEntry> DecodeTocAddresses(const std::uint8_t* toc, std::size_t size);

class CdAccess {
public:
    using TransportFactory = std::function<std::unique_ptr<ScsiTransport>(ScsiInterface)>;

    // diagnostics: where the standard-output lines go (nullptr: nowhere).
    // logPath: the device lookup log, a Windows path (relative to the current directory).
    explicit CdAccess(TransportFactory factory = OpenSystemScsiTransport, std::ostream* diagnostics = nullptr,
                      std::string logPath = "cdrdevnames.log");
    ~CdAccess();
    CdAccess(const CdAccess&) = delete;
    CdAccess& operator=(const CdAccess&) = delete;

    // Where the diagnostic lines go from now on (nullptr: nowhere). The window
    // keeps standard output; dravolo-cli sends them to standard error so that
    // its tables stand alone on standard output.
    void SetDiagnostics(std::ostream* diagnostics) { diagnostics_ = diagnostics; }

    // The process-wide interface mode.
    int interfaceMode() const { return interfaceMode_; }
    void SetInterfaceMode(int mode) { interfaceMode_ = mode; }
    ScsiInterface CurrentInterface() const { return InterfaceForMode(interfaceMode_); }

    // 1 when the interface is usable (also when it already was), else 0.
    // owner receives the interface's failure messages.
    int Init(ScsiInterface which, Prompter* owner);
    bool IsInitialised(ScsiInterface which) const;
    bool CurrentInitialised() const { return IsInitialised(CurrentInterface()); }

    // The drives of the interface in force, in the order found.
    const std::vector<CdDrive>& Drives() const;
    const std::vector<TocEntry>& Toc() const { return toc_; }
    // Forgets the tracks, e.g. when the drive turns out to have no disc: they
    // described a disc that may have gone.
    void ClearToc() { toc_.clear(); }

    // 1 ready, 0 not ready. A unit attention (the medium changed, or the
    // drive was reset) is the drive's news, not its state: the test is made
    // once more after one.
    int TestUnitReady(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun);
    // Sectors on the disc (last block address + 1); 0 on failure.
    std::uint32_t ReadCapacity(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun);
    int ReadToc(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun);
    int SetSpeed(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun, int speedIndex);

    // Pass-through: the device whose SCSI address matches, looked up anew and
    // logged to "cdrdevnames.log"; nullptr stands for the invalid handle.
    std::unique_ptr<ScsiHandle> FindDriveHandle(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun);
    // The drive for a run of ReadRaw calls in the form in force: pass-through
    // looks the handle up once, ASPI just addresses the drive.
    std::unique_ptr<ScsiHandle> OpenDrive(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun);
    // count <= 26 sectors from `first` into the transfer buffer (sector i at
    // 2352*i): 1 when all are there, -1 on failure. A failed bulk read (with
    // its one retry) is read again sector by sector without retries.
    int ReadRaw(ScsiHandle* drive, std::int32_t first, int count);
    // The same reads into `into` instead of the transfer buffer; `into` must
    // hold a whole transfer (61152 bytes), which is what the drive is given
    // whatever the count, as with the transfer buffer. -1 when it is smaller.
    int ReadRaw(ScsiHandle* drive, std::int32_t first, int count, std::span<std::uint8_t> into);
    // Reads count <= 26 sectors from `first` one by one into their places in
    // `into` (a whole transfer), each without retries, going past the ones
    // that fail: those are filled with zeros and appended to `unreadable`.
    // -1 when nothing can be read for want of room or interface, else the
    // number of sectors that failed.
    int ReadRawSectorsZeroingBad(ScsiHandle* drive, std::int32_t first, int count, std::span<std::uint8_t> into,
                                 std::vector<std::int32_t>& unreadable);
    // The transfer buffer of the interface in force (61152 bytes), or nullptr
    // before that interface is initialised.
    const std::uint8_t* Buffer() const;

private:
    struct InterfaceState {
        std::unique_ptr<ScsiTransport> transport;
        std::vector<std::uint8_t> buffer;
        std::vector<CdDrive> drives;
        bool initialised = false;
    };
    InterfaceState& State(ScsiInterface which) { return which == ScsiInterface::Aspi ? aspi_ : passThrough_; }
    const InterfaceState& State(ScsiInterface which) const {
        return which == ScsiInterface::Aspi ? aspi_ : passThrough_;
    }
    int InitAspi(Prompter* owner);
    int InitPassThrough(Prompter* owner);
    void Enumerate(InterfaceState& state);
    // One command in the form in force, with up to `retries` retries.
    ScsiStatus Send(ScsiHandle* drive, std::span<const std::uint8_t> cdb, ScsiDirection direction,
                    std::span<std::uint8_t> data, int retries);
    ScsiStatus SendOnce(ScsiHandle* drive, std::span<const std::uint8_t> cdb, ScsiDirection direction,
                        std::span<std::uint8_t> data);
    void Diagnostic(const char* format, unsigned long a, unsigned long b, unsigned long c);

    TransportFactory factory_;
    std::ostream* diagnostics_;
    std::string logPath_;
    int interfaceMode_;
    InterfaceState aspi_, passThrough_;
    std::vector<TocEntry> toc_;
};

// The one CD access object of the program (dialog and dravolo-cli), reading
// the system's drives and writing its diagnostics to standard output.
CdAccess& TheCdAccess();

}  // namespace dravolo
