// Command blocks, sense data and drive names: the parts of the SCSI layer that
// are the same on every system.

#include "common/platform/scsi.h"

#include <algorithm>

#include "common/platform/virtual_drive.h"

namespace dravolo {

std::uint32_t LoadBigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::uint16_t LoadBigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
void StoreBigEndian32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}
void StoreBigEndian16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

ScsiStatus CheckCondition(std::uint8_t senseKey, std::uint8_t asc, std::uint8_t ascq) {
    ScsiStatus status;
    status.delivered = true;
    status.scsiStatus = kScsiStatusCheckCondition;
    status.sense[0] = 0x70;  // current error, fixed format
    status.sense[2] = senseKey & 0x0F;
    status.sense[7] = 10;  // additional sense length: bytes 8-17
    status.sense[12] = asc;
    status.sense[13] = ascq;
    return status;
}

ScsiStatus GoodStatus() {
    ScsiStatus status;
    status.delivered = true;
    return status;
}

std::string DriveNameFromInquiry(ScsiInterface which, std::span<const std::uint8_t> inquiry) {
    std::size_t first = 8, last = 35;  // vendor, product, revision
    if (which == ScsiInterface::Aspi) {
        last = 34;
    } else {
#ifdef _WIN32
        first = 16;
#endif
    }
    std::string name;
    for (std::size_t i = first; i <= last && i < inquiry.size(); ++i) {
        // Inquiry strings are ASCII; a zero byte would cut the name short in a
        // C string, so it becomes a blank here.
        name.push_back(inquiry[i] == 0 ? ' ' : static_cast<char>(inquiry[i]));
    }
    return name;
}

namespace scsi_cdb {

std::array<std::uint8_t, 6> TestUnitReady() { return {0, 0, 0, 0, 0, 0}; }

std::array<std::uint8_t, 6> Inquiry() { return {kInquiry, 0x00, 0x00, 0x00, kInquiryLength, 0x00}; }

std::array<std::uint8_t, 10> ReadCapacity() { return {kReadCapacity, 0, 0, 0, 0, 0, 0, 0, 0, 0}; }

std::array<std::uint8_t, 10> ReadToc() {
    // Format 0 from track 0; allocation length 0x0324 = 804 bytes.
    return {kReadToc, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x24, 0x00};
}

std::array<std::uint8_t, 12> SetCdSpeed(std::uint16_t readKbPerSecond) {
    std::array<std::uint8_t, 12> cdb{};
    cdb[0] = kSetCdSpeed;
    StoreBigEndian16(&cdb[2], readKbPerSecond);
    // Bytes 4-5: write speed 0; the rest reserved.
    return cdb;
}

std::array<std::uint8_t, 12> ReadCd(std::uint32_t firstBlock, std::uint8_t count) {
    std::array<std::uint8_t, 12> cdb{};
    cdb[0] = kReadCd;
    cdb[1] = 0x00;  // any sector type
    StoreBigEndian32(&cdb[2], firstBlock);
    cdb[6] = 0x00;  // transfer length, three bytes
    cdb[7] = 0x00;
    cdb[8] = count;
    cdb[9] = kReadCdRawFlags;
    cdb[10] = 0x00;  // no sub-channel data
    return cdb;
}

}  // namespace scsi_cdb

std::unique_ptr<ScsiTransport> OpenSystemScsiTransport(ScsiInterface which) {
    auto native = OpenNativeScsiTransport(which);
    auto discs = VirtualDiscsFromEnvironment();
    if (discs.empty()) return native;
    return std::make_unique<CombinedScsiTransport>(std::move(native),
                                                   std::make_unique<VirtualScsiTransport>(which, std::move(discs)));
}

}  // namespace dravolo
