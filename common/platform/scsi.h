#pragma once
// SCSI/MMC command transport for reading CD drives. One interface carries the
// command blocks byte for byte and brings back the SCSI status and sense data;
// beneath it sit the system's ways of reaching a drive:
//
//   ScsiInterface::Aspi         Windows: "WNASPI32" loaded at run time
//                               (SRB_HAInquiry, SRB_GDEVBlock, SRB_ExecSCSICmd,
//                               SRB_GetSetTimeouts). Not available on Linux:
//                               Init() answers NotInstalled.
//   ScsiInterface::PassThrough  Windows: IOCTL_SCSI_PASS_THROUGH_DIRECT on the
//                               drive letters' device handles, drives found
//                               through the "\\.\SCSIn:" ports.
//                               Linux: SG_IO on /dev/sr*, host/target/LUN as
//                               adapter/target/LUN.
//
// Virtual drives (virtual_drive.h) join either interface as extra drives when
// DRAVOLO_VIRTUAL_CD names raw .bin images.
//
// The transports only carry commands; retries, diagnostics and the meaning of
// the answers belong to the CD access object above them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo {

enum class ScsiInterface { Aspi, PassThrough };

struct ScsiAddress {
    std::uint8_t adapter = 0;
    std::uint8_t target = 0;
    std::uint8_t lun = 0;
    friend bool operator==(const ScsiAddress&, const ScsiAddress&) = default;
};

enum class ScsiDirection { None, In, Out };

// SCSI status byte values and sense keys we act upon.
inline constexpr std::uint8_t kScsiStatusGood = 0x00;
inline constexpr std::uint8_t kScsiStatusCheckCondition = 0x02;
inline constexpr std::uint8_t kSenseNoSense = 0x0;
inline constexpr std::uint8_t kSenseNotReady = 0x2;
inline constexpr std::uint8_t kSenseMediumError = 0x3;
inline constexpr std::uint8_t kSenseIllegalRequest = 0x5;
inline constexpr std::uint8_t kSenseUnitAttention = 0x6;

inline constexpr std::size_t kSenseBufferSize = 32;

// What came back from one command.
struct ScsiStatus {
    // The system carried the request (ioctl/DeviceIoControl succeeded, the
    // SRB was accepted). False: systemError says why.
    bool delivered = false;
    unsigned long systemError = 0;
    std::uint8_t scsiStatus = 0;
    // The host adapter reported an error of its own (ASPI SRB status neither
    // completed nor a target status): not good even with a good target status.
    bool adapterError = false;
    std::array<std::uint8_t, kSenseBufferSize> sense{};  // fixed-format sense data

    bool Good() const { return delivered && !adapterError && scsiStatus == kScsiStatusGood; }
    std::uint8_t SenseKey() const { return sense[2] & 0x0F; }
    std::uint8_t Asc() const { return sense[12]; }
    std::uint8_t Ascq() const { return sense[13]; }
    bool IsUnitAttention() const {
        return scsiStatus == kScsiStatusCheckCondition && SenseKey() == kSenseUnitAttention;
    }
};

// A check-condition answer with fixed-format sense data (response code 0x70).
ScsiStatus CheckCondition(std::uint8_t senseKey, std::uint8_t asc, std::uint8_t ascq);
ScsiStatus GoodStatus();

// One CD drive found by a transport.
struct ScsiDriveInfo {
    ScsiAddress address;
    std::string adapterName;  // ASPI: the host adapter's 16-character identifier
    std::string driveName;    // from the standard inquiry data
};

// Failures of bringing an interface up.
enum class ScsiInitError {
    None,
    NotInstalled,        // ASPI files missing, or ASPI on a system without it
    LibraryNotLoaded,    // "WNASPI32" did not load
    EntryPointsMissing,  // GetASPI32SupportInfo / SendASPI32Command absent
    SupportInfoFailed,   // GetASPI32SupportInfo reported neither completed nor "no adapters"
    NoDevices,           // no SCSI port / CD device could be opened
    OutOfMemory,         // the transfer buffer could not be allocated
};

// Receives the lines of the device lookup log ("cdrdevnames.log").
class DeviceLog {
public:
    virtual ~DeviceLog() = default;
    virtual void Write(std::string_view line) = 0;
};

// An open way to one drive: a device handle (pass-through) or just the
// address the requests go to (ASPI).
class ScsiHandle {
public:
    virtual ~ScsiHandle() = default;
    virtual ScsiAddress Address() const = 0;
    // data: the whole transfer buffer; its size is the transfer length.
    virtual ScsiStatus Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                               std::span<std::uint8_t> data) = 0;
};

class ScsiTransport {
public:
    virtual ~ScsiTransport() = default;
    virtual ScsiInterface Interface() const = 0;
    // Brings the interface up and finds its CD drives. Safe to call again.
    virtual ScsiInitError Init() = 0;
    // False when the host adapter inquiry fails (ASPI); the list is then empty.
    virtual bool Enumerate(std::vector<ScsiDriveInfo>& drives) = 0;
    // Finds the drive at `address`. Pass-through looks through the system's CD
    // devices and writes the lookup to `log` when given; nullptr when none matches.
    virtual std::unique_ptr<ScsiHandle> Open(const ScsiAddress& address, DeviceLog* log) = 0;
};

// The system's transport for an interface, with the virtual drives of
// DRAVOLO_VIRTUAL_CD appended (see virtual_drive.h).
std::unique_ptr<ScsiTransport> OpenSystemScsiTransport(ScsiInterface which);
// Only the system's own transport (defined per operating system).
std::unique_ptr<ScsiTransport> OpenNativeScsiTransport(ScsiInterface which);

// The drive name an interface shows for standard inquiry data: ASPI takes
// bytes 8-34 (vendor, product, first three characters of the revision),
// Windows pass-through bytes 16-35 (product and revision), Linux SG_IO bytes
// 8-35 (vendor, product, revision). Short data gives what there is.
std::string DriveNameFromInquiry(ScsiInterface which, std::span<const std::uint8_t> inquiry);

// The command blocks, byte for byte (multi-byte numbers big-endian).
namespace scsi_cdb {
inline constexpr std::uint8_t kTestUnitReady = 0x00;
inline constexpr std::uint8_t kInquiry = 0x12;
inline constexpr std::uint8_t kReadCapacity = 0x25;
inline constexpr std::uint8_t kReadToc = 0x43;
inline constexpr std::uint8_t kSetCdSpeed = 0xBB;
inline constexpr std::uint8_t kReadCd = 0xBE;

inline constexpr std::size_t kInquiryLength = 36;
inline constexpr std::size_t kReadCapacityLength = 8;
inline constexpr std::size_t kReadTocLength = 804;
// READ CD byte 9: sync, all headers, user data, EDC/ECC - 2352 bytes a sector.
inline constexpr std::uint8_t kReadCdRawFlags = 0xF8;

std::array<std::uint8_t, 6> TestUnitReady();
std::array<std::uint8_t, 6> Inquiry();
std::array<std::uint8_t, 10> ReadCapacity();
std::array<std::uint8_t, 10> ReadToc();
std::array<std::uint8_t, 12> SetCdSpeed(std::uint16_t readKbPerSecond);
std::array<std::uint8_t, 12> ReadCd(std::uint32_t firstBlock, std::uint8_t count);
}  // namespace scsi_cdb

std::uint32_t LoadBigEndian32(const std::uint8_t* p);
std::uint16_t LoadBigEndian16(const std::uint8_t* p);
void StoreBigEndian32(std::uint8_t* p, std::uint32_t v);
void StoreBigEndian16(std::uint8_t* p, std::uint16_t v);

}  // namespace dravolo
