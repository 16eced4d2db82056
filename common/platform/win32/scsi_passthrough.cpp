// Windows NT: the SCSI pass-through. Drives are found through the SCSI ports
// ("\\.\SCSIn:") and reached through their drive letters' device handles with
// IOCTL_SCSI_PASS_THROUGH_DIRECT.

#include "common/platform/windows_api.h"
#include <winioctl.h>  // the IOCTL codes the lean headers leave out
#include <ntddscsi.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "common/platform/scsi.h"

namespace dravolo {

namespace {

constexpr DWORD kInquiryBufferSize = 2048;
constexpr UCHAR kSenseLength = 24;
constexpr ULONG kTimeoutSeconds = 30;

// The pass-through block followed by its sense area (80 bytes on 32-bit
// Windows: 44 of SCSI_PASS_THROUGH_DIRECT, 4 of padding, 32 of sense).
struct PassThroughBlock {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;
    UCHAR sense[32];
};

class PassThroughHandle : public ScsiHandle {
public:
    PassThroughHandle(HANDLE handle, ScsiAddress address) : handle_(handle), address_(address) {}
    ~PassThroughHandle() override { CloseHandle(handle_); }
    ScsiAddress Address() const override { return address_; }

    ScsiStatus Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                       std::span<std::uint8_t> data) override {
        PassThroughBlock block;
        std::memset(&block, 0, sizeof block);
        block.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
        block.sptd.PathId = address_.adapter;
        block.sptd.TargetId = address_.target;
        block.sptd.Lun = address_.lun;
        block.sptd.CdbLength = static_cast<UCHAR>(cdb.size() > 16 ? 16 : cdb.size());
        block.sptd.SenseInfoLength = kSenseLength;
        block.sptd.DataIn = direction == ScsiDirection::In ? 1 : 0;
        block.sptd.DataTransferLength = direction == ScsiDirection::None ? 0 : static_cast<ULONG>(data.size());
        block.sptd.TimeOutValue = kTimeoutSeconds;
        block.sptd.DataBuffer = direction == ScsiDirection::None ? nullptr : data.data();
        block.sptd.SenseInfoOffset = offsetof(PassThroughBlock, sense);
        std::memcpy(block.sptd.Cdb, cdb.data(), block.sptd.CdbLength);

        DWORD returned = 0;
        ScsiStatus status;
        const BOOL done = DeviceIoControl(handle_, IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, sizeof block, &block,
                                          sizeof block, &returned, nullptr);
        const DWORD error = done ? 0 : GetLastError();
        if (!done && error != 0) {
            status.systemError = error;
            return status;
        }
        status.delivered = true;
        status.scsiStatus = block.sptd.ScsiStatus;
        std::memcpy(status.sense.data(), block.sense, kSenseLength);
        return status;
    }

private:
    HANDLE handle_;
    ScsiAddress address_;
};

class PassThroughTransport : public ScsiTransport {
public:
    ScsiInterface Interface() const override { return ScsiInterface::PassThrough; }

    ScsiInitError Init() override {
        drives_.clear();
        for (int port = 0;; ++port) {
            char name[32];
            std::snprintf(name, sizeof name, "\\\\.\\SCSI%d:", port);
            HANDLE handle = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                if (port == 0) return ScsiInitError::NoDevices;
                break;
            }
            ReadPort(handle, port);
            // The port handles are only needed for the inquiry data.
            CloseHandle(handle);
        }
        return ScsiInitError::None;
    }

    bool Enumerate(std::vector<ScsiDriveInfo>& drives) override {
        drives.insert(drives.end(), drives_.begin(), drives_.end());
        return true;
    }

    // The drive letter whose SCSI address matches, as logged in "cdrdevnames.log".
    std::unique_ptr<ScsiHandle> Open(const ScsiAddress& wanted, DeviceLog* log) override {
        auto write = [&](const char* line) {
            if (log) log->Write(line);
        };
        for (char letter = 'C'; letter <= 'Z'; ++letter) {
            const char root[] = {letter, ':', '\\', 0};
            if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
            char path[16], line[128];
            std::snprintf(path, sizeof path, "\\\\.\\%c:", letter);
            std::snprintf(line, sizeof line, "device: %s\n", path);
            write(line);
            HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE)
                handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                write("\t\t\tCannot get file handle.\n");
                continue;
            }
            SCSI_ADDRESS address;
            std::memset(&address, 0, sizeof address);
            address.Length = sizeof address;
            address.PortNumber = 0xFF;
            address.TargetId = 0xFF;
            address.Lun = 0xFF;
            DWORD returned = 0;
            if (!DeviceIoControl(handle, IOCTL_SCSI_GET_ADDRESS, nullptr, 0, &address, sizeof address, &returned,
                                 nullptr)) {
                std::snprintf(line, sizeof line, "\t\t\tError: %ld on drive: %c:\n", static_cast<long>(GetLastError()),
                              letter);
                write(line);
            } else {
                std::snprintf(line, sizeof line, "\t\t\tAdapter: %ld:%ld:%ld\n", static_cast<long>(address.PortNumber),
                              static_cast<long>(address.TargetId), static_cast<long>(address.Lun));
                write(line);
                // The path id is not compared: the port, target and LUN name the drive.
                if (address.PortNumber == wanted.adapter && address.TargetId == wanted.target &&
                    address.Lun == wanted.lun)
                    return std::make_unique<PassThroughHandle>(handle, wanted);
            }
            CloseHandle(handle);
        }
        return nullptr;
    }

private:
    void ReadPort(HANDLE handle, int port) {
        alignas(8) UCHAR buffer[kInquiryBufferSize];
        std::memset(buffer, 0, sizeof buffer);
        DWORD returned = 0;
        if (!DeviceIoControl(handle, IOCTL_SCSI_GET_INQUIRY_DATA, nullptr, 0, buffer, sizeof buffer, &returned,
                             nullptr))
            return;
        const auto* info = reinterpret_cast<const SCSI_ADAPTER_BUS_INFO*>(buffer);
        const std::size_t busArray = offsetof(SCSI_ADAPTER_BUS_INFO, BusData);
        for (UCHAR bus = 0; bus < info->NumberOfBuses; ++bus) {
            if (busArray + (bus + 1u) * sizeof(SCSI_BUS_DATA) > sizeof buffer) break;
            ULONG offset = info->BusData[bus].InquiryDataOffset;
            // Follow the chain of entries, never outside the buffer and never in a loop.
            for (int guard = 0; offset != 0 && guard < 256; ++guard) {
                if (offset + offsetof(SCSI_INQUIRY_DATA, InquiryData) > sizeof buffer) break;
                const auto* entry = reinterpret_cast<const SCSI_INQUIRY_DATA*>(buffer + offset);
                const std::size_t dataAt = offset + offsetof(SCSI_INQUIRY_DATA, InquiryData);
                const std::size_t length = entry->InquiryDataLength;
                if (length > 0 && dataAt + length <= sizeof buffer && entry->InquiryData[0] == 0x05) {
                    drives_.push_back({{static_cast<std::uint8_t>(port), entry->TargetId, entry->Lun},
                                       " ",
                                       DriveNameFromInquiry(ScsiInterface::PassThrough,
                                                            std::span<const std::uint8_t>(buffer + dataAt, length))});
                }
                offset = entry->NextInquiryDataOffset;
            }
        }
    }

    std::vector<ScsiDriveInfo> drives_;
};

}  // namespace

std::unique_ptr<ScsiTransport> OpenPassThroughTransport() { return std::make_unique<PassThroughTransport>(); }

}  // namespace dravolo
