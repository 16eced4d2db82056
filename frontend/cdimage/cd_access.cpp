#include "frontend/cdimage/cd_access.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

#include "common/platform/windows_family.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

// ERROR_INVALID_HANDLE: what a command against the invalid handle reports.
constexpr unsigned long kInvalidHandleError = 6;
constexpr int kPassThroughReadyAttempts = 7;

// "cdrdevnames.log", created anew for every lookup so that it always
// describes the last one; nothing is logged when it cannot be created.
class FileDeviceLog : public DeviceLog {
public:
    explicit FileDeviceLog(const std::string& path) : file_(WinFile::Open(path, WinFile::Mode::CreateAlways)) {}
    bool ok() const { return file_ != nullptr; }
    void Write(std::string_view line) override {
        if (file_) file_->Write(line.data(), line.size());
    }

private:
    std::unique_ptr<WinFile> file_;
};

}  // namespace

int DefaultInterfaceMode() {
    return CurrentWindowsFamily() == WindowsFamily::NT ? kInterfaceModePassThrough : kInterfaceModeAspi;
}

std::uint16_t ReadSpeedForIndex(int speedIndex) {
    switch (speedIndex) {
    case 1: return 176;
    case 2: return 353;
    case 3: return 528;
    case 4: return 706;
    case 5: return 1400;
    case 6: return 2800;
    default: return 65535;
    }
}

std::vector<TocEntry> DecodeTocAddresses(const std::uint8_t* toc, std::size_t size) {
    std::vector<TocEntry> entries;
    if (size < 4) return entries;
    // Byte 3 is the last track number; the disc's first track is taken to be
    // track 1. Only descriptors inside the answer are read.
    const std::size_t count = std::min<std::size_t>(toc[3], (size - 4) / 8);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* d = toc + 4 + 8 * i;
        TocEntry entry;
        entry.track = static_cast<std::uint8_t>(i);
        entry.start = static_cast<std::int32_t>(LoadBigEndian32(d + 4));
        entry.dataTrack = (d[1] & 0x04) != 0;
        entries.push_back(entry);
    }
    return entries;
}

CdAccess::CdAccess(TransportFactory factory, std::ostream* diagnostics, std::string logPath)
    : factory_(std::move(factory)),
      diagnostics_(diagnostics),
      logPath_(std::move(logPath)),
      interfaceMode_(DefaultInterfaceMode()) {}

CdAccess::~CdAccess() = default;

CdAccess& TheCdAccess() {
    static CdAccess access(OpenSystemScsiTransport, &std::cout);
    return access;
}

void CdAccess::Diagnostic(const char* format, unsigned long a, unsigned long b, unsigned long c) {
    if (!diagnostics_) return;
    char line[160];
    std::snprintf(line, sizeof line, format, a, b, c);
    *diagnostics_ << line << std::flush;
}

bool CdAccess::IsInitialised(ScsiInterface which) const { return State(which).initialised; }

const std::vector<CdDrive>& CdAccess::Drives() const { return State(CurrentInterface()).drives; }

const std::uint8_t* CdAccess::Buffer() const {
    const auto& state = State(CurrentInterface());
    return state.buffer.empty() ? nullptr : state.buffer.data();
}

int CdAccess::Init(ScsiInterface which, Prompter* owner) {
    if (IsInitialised(which)) return 1;
    auto& state = State(which);
    if (!state.transport) state.transport = factory_(which);
    if (!state.transport) return 0;
    return which == ScsiInterface::Aspi ? InitAspi(owner) : InitPassThrough(owner);
}

int CdAccess::InitAspi(Prompter* owner) {
    auto& state = aspi_;
    switch (state.transport->Init()) {
    case ScsiInitError::None: break;
    case ScsiInitError::NotInstalled:
        Diagnostic("Error: Unable to find suitable aspi installation.\n", 0, 0, 0);
        return 0;
    case ScsiInitError::LibraryNotLoaded: Diagnostic("Cannot initialize ASPI libraries!\n", 0, 0, 0); return 0;
    case ScsiInitError::SupportInfoFailed:
        if (owner) owner->Tell("Initialization failed!\n", "ERROR", PromptIcon::Stop);
        return 0;
    default: return 0;
    }
    state.buffer.assign(kTransferBufferSize, 0);
    state.initialised = true;
    state.drives.clear();
    std::vector<ScsiDriveInfo> found;
    if (!state.transport->Enumerate(found) && owner)
        owner->Tell("Host adapter inquiry failed.", "Adapter Error", PromptIcon::Stop);
    for (const auto& d : found)
        state.drives.push_back({d.address.adapter, d.address.target, d.address.lun, d.adapterName, d.driveName});
    return 1;
}

int CdAccess::InitPassThrough(Prompter* owner) {
    auto& state = passThrough_;
    state.drives.clear();
    switch (state.transport->Init()) {
    case ScsiInitError::None: break;
    case ScsiInitError::NoDevices:
        if (owner)
            owner->Tell("IOCTL: Couldn't find any SCSI device/initialization error.\n", "IOCTL Error",
                        PromptIcon::Stop);
        return 0;
    default: return 0;
    }
    std::vector<ScsiDriveInfo> found;
    state.transport->Enumerate(found);
    for (const auto& d : found)
        state.drives.push_back({d.address.adapter, d.address.target, d.address.lun, d.adapterName, d.driveName});
    state.buffer.assign(kTransferBufferSize, 0);
    state.initialised = true;
    return 1;
}

std::unique_ptr<ScsiHandle> CdAccess::FindDriveHandle(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun) {
    auto& state = passThrough_;
    if (!state.initialised) return nullptr;
    FileDeviceLog log(logPath_);
    return state.transport->Open({adapter, target, lun}, log.ok() ? &log : nullptr);
}

std::unique_ptr<ScsiHandle> CdAccess::OpenDrive(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun) {
    if (CurrentInterface() == ScsiInterface::PassThrough) return FindDriveHandle(adapter, target, lun);
    auto& state = aspi_;
    if (!state.initialised) return nullptr;
    return state.transport->Open({adapter, target, lun}, nullptr);
}

ScsiStatus CdAccess::SendOnce(ScsiHandle* drive, std::span<const std::uint8_t> cdb, ScsiDirection direction,
                              std::span<std::uint8_t> data) {
    if (!drive) {
        ScsiStatus status;
        status.systemError = kInvalidHandleError;
        return status;
    }
    return drive->Execute(cdb, direction, data);
}

ScsiStatus CdAccess::Send(ScsiHandle* drive, std::span<const std::uint8_t> cdb, ScsiDirection direction,
                          std::span<std::uint8_t> data, int retries) {
    const bool passThrough = CurrentInterface() == ScsiInterface::PassThrough;
    while (true) {
        const ScsiStatus status = SendOnce(drive, cdb, direction, data);
        if (status.Good()) return status;
        if (passThrough) {
            if (!status.delivered)
                Diagnostic(" * IOCTL: Error executing SRB.. status: %ld\n", status.systemError, 0, 0);
            else Diagnostic(" * IOCTL Sensekey: %X %X %X\n", status.SenseKey(), status.Asc(), status.Ascq());
            // A changed medium is reported at once: the next answer would be stale.
            if (status.IsUnitAttention() || retries-- <= 0) return status;
        } else {
            // SendASPI32Command refusing the request fails at once.
            if (!status.delivered || retries <= 0 || status.IsUnitAttention()) return status;
            Diagnostic(" * ASPI Sensekey: %X, %X, %X\n", status.SenseKey(), status.Asc(), status.Ascq());
            --retries;
        }
    }
}

int CdAccess::TestUnitReady(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun) {
    if (!CurrentInitialised()) return 0;
    auto drive = OpenDrive(adapter, target, lun);
    const auto cdb = scsi_cdb::TestUnitReady();
    // After a disc change the drive answers the first command with a unit
    // attention whatever its state; without a second look every fresh
    // process would find a drive with a disc "not ready".
    bool attentionSeen = false;
    if (CurrentInterface() == ScsiInterface::Aspi) {
        while (true) {
            const ScsiStatus status = Send(drive.get(), cdb, ScsiDirection::None, {}, 0);
            if (status.IsUnitAttention() && !attentionSeen) {
                attentionSeen = true;
                continue;
            }
            return status.Good() || (status.delivered && status.SenseKey() == kSenseNoSense) ? 1 : 0;
        }
    }
    for (int attempt = 0; attempt < kPassThroughReadyAttempts; ++attempt) {
        const ScsiStatus status = Send(drive.get(), cdb, ScsiDirection::None, {}, 0);
        if (!status.delivered) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (status.scsiStatus == 0 && status.SenseKey() == 0 && status.Asc() == 0 && status.Ascq() == 0) return 1;
        if (status.IsUnitAttention()) {
            if (attentionSeen) return 0;
            attentionSeen = true;
        }
    }
    return 0;
}

std::uint32_t CdAccess::ReadCapacity(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun) {
    if (!CurrentInitialised()) return 0;
    auto drive = OpenDrive(adapter, target, lun);
    std::uint8_t answer[scsi_cdb::kReadCapacityLength] = {};
    if (!Send(drive.get(), scsi_cdb::ReadCapacity(), ScsiDirection::In, answer, 1).Good()) return 0;
    return LoadBigEndian32(answer) + 1;
}

int CdAccess::ReadToc(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun) {
    // Emptied first, so a failed read never leaves the previous disc's tracks behind.
    toc_.clear();
    if (!CurrentInitialised()) return 0;
    auto drive = OpenDrive(adapter, target, lun);
    std::vector<std::uint8_t> answer(scsi_cdb::kReadTocLength, 0);
    if (!Send(drive.get(), scsi_cdb::ReadToc(), ScsiDirection::In, answer, 1).Good()) return 0;
    std::vector<TocEntry> entries = DecodeTocAddresses(answer.data(), answer.size());
    for (TocEntry& entry : entries) {
        // The sector's mode byte; an unreadable first sector counts as audio
        // rather than taking whatever the buffer held before.
        const bool read = ReadRaw(drive.get(), entry.start, 1) == 1;
        const std::uint8_t modeByte = read ? Buffer()[15] : 0;
        entry.mode = modeByte > 2 ? 0 : modeByte;
    }
    toc_ = std::move(entries);
    return 1;
}

int CdAccess::SetSpeed(std::uint8_t adapter, std::uint8_t target, std::uint8_t lun, int speedIndex) {
    if (!CurrentInitialised()) return 0;
    auto drive = OpenDrive(adapter, target, lun);
    const auto cdb = scsi_cdb::SetCdSpeed(ReadSpeedForIndex(speedIndex));
    return Send(drive.get(), cdb, ScsiDirection::Out, {}, 1).Good() ? 1 : 0;
}

int CdAccess::ReadRaw(ScsiHandle* drive, std::int32_t first, int count) {
    return ReadRaw(drive, first, count, State(CurrentInterface()).buffer);
}

int CdAccess::ReadRaw(ScsiHandle* drive, std::int32_t first, int count, std::span<std::uint8_t> into) {
    if (!CurrentInitialised() || count < 0 || count > kChunkSectors || into.size() < kTransferBufferSize) return -1;
    if (count == 0) return 1;
    const std::span<std::uint8_t> buffer = into.first(kTransferBufferSize);
    const auto bulk = scsi_cdb::ReadCd(static_cast<std::uint32_t>(first), static_cast<std::uint8_t>(count));
    if (Send(drive, bulk, ScsiDirection::In, buffer, 1).Good()) return 1;
    // Sector by sector, each into its place, without retries.
    for (int i = 0; i < count; ++i) {
        const auto single = scsi_cdb::ReadCd(static_cast<std::uint32_t>(first + i), 1);
        if (!Send(drive, single, ScsiDirection::In, buffer.subspan(kRawSectorSize * i, kRawSectorSize), 0).Good())
            return -1;
    }
    return 1;
}

int CdAccess::ReadRawSectorsZeroingBad(ScsiHandle* drive, std::int32_t first, int count, std::span<std::uint8_t> into,
                                       std::vector<std::int32_t>& unreadable) {
    if (!CurrentInitialised() || count < 0 || count > kChunkSectors || into.size() < kTransferBufferSize) return -1;
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        const std::span<std::uint8_t> sector =
            into.subspan(kRawSectorSize * static_cast<std::size_t>(i), kRawSectorSize);
        const auto single = scsi_cdb::ReadCd(static_cast<std::uint32_t>(first + i), 1);
        if (Send(drive, single, ScsiDirection::In, sector, 0).Good()) continue;
        // A failed read may have left part of a sector behind.
        std::fill(sector.begin(), sector.end(), std::uint8_t{0});
        unreadable.push_back(first + i);
        ++failed;
    }
    return failed;
}

}  // namespace dravolo
