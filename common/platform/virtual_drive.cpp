// A raw image behind the command blocks of a CD drive.

#include "common/platform/virtual_drive.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "common/base/text.h"
#include "common/platform/winfs.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/platform/posix/fd_io.h"
#endif

namespace dravolo {

namespace {

constexpr std::size_t kRawSector = 2352;
constexpr std::uint8_t kLeadOutTrack = 0xAA;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return parts;
}

std::optional<std::uint32_t> ParseSector(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "mm:ss:ff" of a cue sheet as a block address.
std::optional<std::uint32_t> ParseMsf(std::string_view text) {
    const auto parts = Split(text, ':');
    if (parts.size() != 3) return std::nullopt;
    const auto m = ParseSector(parts[0]), s = ParseSector(parts[1]), f = ParseSector(parts[2]);
    if (!m || !s || !f || *s >= 60 || *f >= 75) return std::nullopt;
    return (*m * 60 + *s) * 75 + *f;
}

std::string CuePathFor(const std::string& imagePath) {
    const std::size_t slash = imagePath.find_last_of("/\\");
    const std::size_t dot = imagePath.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return imagePath.substr(0, dot) + ".cue";
    return imagePath + ".cue";
}

// Fixed inquiry data: a CD-ROM device, removable, with our vendor strings.
constexpr char kVendor[] = "DRAVOLO ";
constexpr char kProduct[] = "VIRTUAL CD-ROM  ";
constexpr char kRevision[] = "1.00";

}  // namespace

std::optional<std::vector<VirtualDisc>> ParseVirtualCdList(std::string_view text, std::string* error) {
    std::vector<VirtualDisc> discs;
    auto fail = [&](std::string why) -> std::optional<std::vector<VirtualDisc>> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    for (std::string_view entry : Split(text, ';')) {
        entry = Trim(entry);
        if (entry.empty()) continue;
        const auto fields = Split(entry, ',');
        VirtualDisc disc;
        disc.imagePath = std::string(Trim(fields[0]));
        if (disc.imagePath.empty()) return fail("an entry has no image path");
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const std::string_view field = Trim(fields[i]);
            if (field == "notready") {
                disc.notReady = true;
            } else if (field == "attention") {
                disc.unitAttention = true;
            } else if (field.starts_with("bad=")) {
                const std::string_view range = field.substr(4);
                const std::size_t dash = range.find('-');
                const auto first = ParseSector(range.substr(0, dash));
                const auto last = dash == std::string_view::npos ? first : ParseSector(range.substr(dash + 1));
                if (!first || !last || *last < *first) return fail("bad sector range '" + std::string(range) + "'");
                disc.badSectors.push_back({*first, *last});
            } else {
                return fail("unknown fault '" + std::string(field) + "'");
            }
        }
        discs.push_back(std::move(disc));
    }
    return discs;
}

std::vector<VirtualDisc> VirtualDiscsFromEnvironment() {
    const char* value = std::getenv("DRAVOLO_VIRTUAL_CD");
    if (!value || !*value) return {};
    std::string why;
    auto discs = ParseVirtualCdList(value, &why);
    if (!discs) {
        static bool told = false;
        if (!told) std::fprintf(stderr, "DRAVOLO_VIRTUAL_CD ignored: %s\n", why.c_str());
        told = true;
        return {};
    }
    return *discs;
}

// ---------------------------------------------------------------------------

// Every READ CD reads the image at an offset. On POSIX that is one pread; a
// seek and a read would be two system calls for each 26-sector transfer.
class VirtualDrive::ImageFile {
public:
#ifndef _WIN32
    static std::unique_ptr<ImageFile> Open(std::string_view path) {
        const int fd = open(ToHostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        auto file = std::unique_ptr<ImageFile>(new ImageFile(fd));
        struct stat st {};
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
        file->size_ = static_cast<std::uint64_t>(st.st_size);
        // Extraction reads the image front to back: ask for a larger read-ahead.
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return file;
    }
    ~ImageFile() { close(fd_); }

    // All `size` bytes at `offset`, or false (an error, or the end of the file).
    bool ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) {
        return posix::ReadAllAt(fd_, data, size, static_cast<off_t>(offset));
    }
    std::uint64_t Size() const { return size_; }

private:
    explicit ImageFile(int fd) : fd_(fd) {}
    int fd_;
    std::uint64_t size_ = 0;
#else
    static std::unique_ptr<ImageFile> Open(std::string_view path) {
        auto file = WinFile::Open(path, WinFile::Mode::Read);
        if (!file) return nullptr;
        const std::uint64_t size = file->Size().value_or(0);
        return std::unique_ptr<ImageFile>(new ImageFile(std::move(file), size));
    }

    bool ReadAt(std::uint64_t offset, std::uint8_t* data, std::size_t size) {
        if (!file_->Seek(offset)) return false;
        for (std::size_t done = 0; done < size;) {
            // A read may return less than asked.
            std::size_t got = 0;
            if (!file_->Read(data + done, size - done, got) || got == 0) return false;
            done += got;
        }
        return true;
    }
    std::uint64_t Size() const { return size_; }

private:
    ImageFile(std::unique_ptr<WinFile> file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::unique_ptr<WinFile> file_;
    std::uint64_t size_ = 0;
#endif
};

VirtualDrive::VirtualDrive(VirtualDisc setup) { Load(std::move(setup)); }

void VirtualDrive::Load(VirtualDisc disc) {
    disc_ = std::move(disc);
    file_ = ImageFile::Open(disc_.imagePath);
    sectorCount_ = 0;
    if (file_) {
        const auto size = file_->Size();
        sectorCount_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(size / kRawSector, 0xFFFFFFFFu));
    }
    attentionPending_ = disc_.unitAttention;
    LoadTracks();
}

void VirtualDrive::ChangeDisc(VirtualDisc disc) {
    std::lock_guard lock(mutex_);
    Load(std::move(disc));
}

VirtualDrive::~VirtualDrive() = default;

void VirtualDrive::LoadTracks() {
    tracks_.clear();
    const std::string cuePath = CuePathFor(disc_.imagePath);
    if (const auto cue = ReadWholeFile(cuePath)) {
        std::istringstream lines(std::string(cue->begin(), cue->end()));
        std::string line;
        bool pendingAudio = false, inTrack = false;
        while (std::getline(lines, line)) {
            std::istringstream words{std::string(Trim(line))};
            std::string keyword, a, b;
            words >> keyword >> a >> b;
            keyword = UpperAnsi(keyword);
            if (keyword == "TRACK") {
                inTrack = true;
                pendingAudio = UpperAnsi(b) == "AUDIO";
            } else if (keyword == "INDEX" && inTrack && ParseSector(a) == 1u) {
                if (const auto start = ParseMsf(b)) tracks_.push_back({*start, pendingAudio});
                inTrack = false;
            }
        }
        std::sort(tracks_.begin(), tracks_.end(), [](const Track& x, const Track& y) { return x.start < y.start; });
        tracks_.erase(std::remove_if(tracks_.begin(), tracks_.end(),
                                     [&](const Track& t) { return sectorCount_ > 0 && t.start >= sectorCount_; }),
                      tracks_.end());
        if (tracks_.size() > 99) tracks_.resize(99);
    }
    if (tracks_.empty()) tracks_.push_back({0, false});
}

bool VirtualDrive::IsMediumCommand(std::uint8_t opcode) const {
    // INQUIRY answers with or without a disc and never reports unit attention.
    return opcode != scsi_cdb::kInquiry;
}

bool VirtualDrive::IsBad(std::uint32_t sector) const {
    return std::any_of(disc_.badSectors.begin(), disc_.badSectors.end(),
                       [&](const VirtualDisc::Range& r) { return sector >= r.first && sector <= r.last; });
}

std::vector<std::vector<std::uint8_t>> VirtualDrive::Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

void VirtualDrive::ClearCommands() {
    std::lock_guard lock(mutex_);
    commands_.clear();
}

std::uint16_t VirtualDrive::LastSpeed() const {
    std::lock_guard lock(mutex_);
    return speed_;
}

ScsiStatus VirtualDrive::Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                                 std::span<std::uint8_t> data) {
    std::lock_guard lock(mutex_);
    commands_.emplace_back(cdb.begin(), cdb.end());
    if (cdb.empty()) return CheckCondition(kSenseIllegalRequest, 0x20, 0x00);
    const std::uint8_t opcode = cdb[0];
    const bool wantsData = opcode == scsi_cdb::kInquiry || opcode == scsi_cdb::kReadCapacity ||
                           opcode == scsi_cdb::kReadToc || opcode == scsi_cdb::kReadCd;
    if (wantsData && direction != ScsiDirection::In) return CheckCondition(kSenseIllegalRequest, 0x24, 0x00);

    if (IsMediumCommand(opcode)) {
        if (attentionPending_) {
            attentionPending_ = false;
            return CheckCondition(kSenseUnitAttention, 0x28, 0x00);
        }
        if (disc_.notReady || !file_) return CheckCondition(kSenseNotReady, 0x3A, 0x00);
    }
    switch (opcode) {
    case scsi_cdb::kTestUnitReady:
        return cdb.size() == 6 ? GoodStatus() : CheckCondition(kSenseIllegalRequest, 0x24, 0x00);
    case scsi_cdb::kInquiry: return Inquiry(data);
    case scsi_cdb::kReadCapacity: return ReadCapacity(data);
    case scsi_cdb::kReadToc:
        return cdb.size() >= 10 ? ReadToc(data.first(std::min<std::size_t>(data.size(), LoadBigEndian16(&cdb[7]))))
                                : CheckCondition(kSenseIllegalRequest, 0x24, 0x00);
    case scsi_cdb::kSetCdSpeed:
        if (cdb.size() < 12) return CheckCondition(kSenseIllegalRequest, 0x24, 0x00);
        speed_ = LoadBigEndian16(&cdb[2]);
        return GoodStatus();
    case scsi_cdb::kReadCd: return ReadCd(cdb, data);
    default: return CheckCondition(kSenseIllegalRequest, 0x20, 0x00);  // invalid command operation code
    }
}

ScsiStatus VirtualDrive::Inquiry(std::span<std::uint8_t> data) {
    std::uint8_t inquiry[36] = {};
    inquiry[0] = 0x05;  // CD-ROM device
    inquiry[1] = 0x80;  // removable medium
    inquiry[2] = 0x02;
    inquiry[3] = 0x02;
    inquiry[4] = 31;  // additional length
    std::memcpy(inquiry + 8, kVendor, 8);
    std::memcpy(inquiry + 16, kProduct, 16);
    std::memcpy(inquiry + 32, kRevision, 4);
    std::memcpy(data.data(), inquiry, std::min(data.size(), sizeof inquiry));
    return GoodStatus();
}

ScsiStatus VirtualDrive::ReadCapacity(std::span<std::uint8_t> data) {
    std::uint8_t answer[8];
    StoreBigEndian32(answer, sectorCount_ - 1);  // an empty image answers 0xFFFFFFFF
    StoreBigEndian32(answer + 4, 2048);
    std::memcpy(data.data(), answer, std::min(data.size(), sizeof answer));
    return GoodStatus();
}

ScsiStatus VirtualDrive::ReadToc(std::span<std::uint8_t> data) {
    std::vector<std::uint8_t> toc(4);
    toc[2] = 1;
    toc[3] = static_cast<std::uint8_t>(tracks_.size());
    auto descriptor = [&](std::uint8_t number, bool audio, std::uint32_t start) {
        std::uint8_t d[8] = {};
        d[1] = audio ? 0x10 : 0x14;  // ADR 1, control: data track bit
        d[2] = number;
        StoreBigEndian32(d + 4, start);
        toc.insert(toc.end(), d, d + 8);
    };
    for (std::size_t i = 0; i < tracks_.size(); ++i)
        descriptor(static_cast<std::uint8_t>(i + 1), tracks_[i].audio, tracks_[i].start);
    descriptor(kLeadOutTrack, false, sectorCount_);
    StoreBigEndian16(&toc[0], static_cast<std::uint16_t>(toc.size() - 2));
    std::memcpy(data.data(), toc.data(), std::min(data.size(), toc.size()));
    return GoodStatus();
}

ScsiStatus VirtualDrive::ReadCd(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data) {
    if (cdb.size() < 12 || cdb[9] != scsi_cdb::kReadCdRawFlags || cdb[10] != 0)
        return CheckCondition(kSenseIllegalRequest, 0x24, 0x00);
    const std::uint32_t first = LoadBigEndian32(&cdb[2]);
    const std::uint32_t count = (std::uint32_t{cdb[6]} << 16) | (std::uint32_t{cdb[7]} << 8) | cdb[8];
    if (count == 0) return GoodStatus();
    if (first >= sectorCount_ || count > sectorCount_ - first) return CheckCondition(kSenseIllegalRequest, 0x21, 0x00);
    if (data.size() < std::size_t{count} * kRawSector) return CheckCondition(kSenseIllegalRequest, 0x24, 0x00);
    // A drive stops at the first sector it cannot read; what came before it
    // is in the buffer, but the command as a whole fails.
    std::uint32_t readable = count;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (IsBad(first + i)) {
            readable = i;
            break;
        }
    }
    // The end of the file is a medium error.
    const std::size_t want = std::size_t{readable} * kRawSector;
    if (want > 0 && !file_->ReadAt(std::uint64_t{first} * kRawSector, data.data(), want))
        return CheckCondition(kSenseMediumError, 0x11, 0x00);
    if (readable != count) return CheckCondition(kSenseMediumError, 0x11, 0x00);  // unrecovered read error
    return GoodStatus();
}

// ---------------------------------------------------------------------------

namespace {

class VirtualHandle : public ScsiHandle {
public:
    VirtualHandle(std::shared_ptr<VirtualDrive> drive, ScsiAddress address)
        : drive_(std::move(drive)), address_(address) {}
    ScsiAddress Address() const override { return address_; }
    ScsiStatus Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                       std::span<std::uint8_t> data) override {
        return drive_->Execute(cdb, direction, data);
    }

private:
    std::shared_ptr<VirtualDrive> drive_;
    ScsiAddress address_;
};

std::string Printf(const char* format, long a, long b, long c) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

}  // namespace

VirtualScsiTransport::VirtualScsiTransport(ScsiInterface which, std::vector<VirtualDisc> discs) : interface_(which) {
    for (auto& disc : discs) drives_.push_back(std::make_shared<VirtualDrive>(std::move(disc)));
}

VirtualScsiTransport::VirtualScsiTransport(ScsiInterface which, std::vector<std::shared_ptr<VirtualDrive>> drives)
    : interface_(which), drives_(std::move(drives)) {}

ScsiInitError VirtualScsiTransport::Init() { return drives_.empty() ? ScsiInitError::NoDevices : ScsiInitError::None; }

ScsiAddress VirtualScsiTransport::AddressOf(std::size_t index) const {
    return {static_cast<std::uint8_t>(firstAdapter_ + index / 8), static_cast<std::uint8_t>(index % 8), 0};
}

bool VirtualScsiTransport::Enumerate(std::vector<ScsiDriveInfo>& drives) {
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        std::uint8_t inquiry[scsi_cdb::kInquiryLength];
        std::memset(inquiry, ' ', sizeof inquiry);
        const auto cdb = scsi_cdb::Inquiry();
        if (!drives_[i]->Execute(cdb, ScsiDirection::In, inquiry).Good()) continue;
        drives.push_back({AddressOf(i), "VIRTUAL CD      ", DriveNameFromInquiry(interface_, inquiry)});
    }
    return true;
}

std::unique_ptr<ScsiHandle> VirtualScsiTransport::Open(const ScsiAddress& address, DeviceLog* log) {
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        const ScsiAddress at = AddressOf(i);
        if (log) {
            log->Write("device: virtual:" + drives_[i]->setup().imagePath + "\n");
            log->Write(Printf("\t\t\tAdapter: %ld:%ld:%ld\n", at.adapter, at.target, at.lun));
        }
        if (at == address) return std::make_unique<VirtualHandle>(drives_[i], at);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------

CombinedScsiTransport::CombinedScsiTransport(std::unique_ptr<ScsiTransport> native,
                                             std::unique_ptr<VirtualScsiTransport> virtualDrives)
    : native_(std::move(native)), virtual_(std::move(virtualDrives)) {}

ScsiInitError CombinedScsiTransport::Init() {
    const ScsiInitError error = native_ ? native_->Init() : ScsiInitError::NoDevices;
    nativeUsable_ = error == ScsiInitError::None;
    if (error == ScsiInitError::NoDevices) return virtual_->Init();
    return error;
}

bool CombinedScsiTransport::Enumerate(std::vector<ScsiDriveInfo>& drives) {
    bool ok = true;
    if (nativeUsable_) ok = native_->Enumerate(drives);
    std::uint8_t nextAdapter = 0;
    for (const auto& d : drives)
        nextAdapter = std::max<std::uint8_t>(nextAdapter, static_cast<std::uint8_t>(d.address.adapter + 1));
    virtual_->SetFirstAdapter(nextAdapter);
    virtual_->Enumerate(drives);
    return ok;
}

std::unique_ptr<ScsiHandle> CombinedScsiTransport::Open(const ScsiAddress& address, DeviceLog* log) {
    if (nativeUsable_) {
        if (auto handle = native_->Open(address, log)) return handle;
    }
    return virtual_->Open(address, log);
}

}  // namespace dravolo
