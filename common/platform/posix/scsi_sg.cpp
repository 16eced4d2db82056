// Linux: the CD devices /dev/sr* through SG_IO. This is the pass-through
// ("IOCTL") interface here; the SCSI host, target and LUN of each device serve
// as adapter, target and LUN. ASPI does not exist on Linux.

#include <fcntl.h>
#include <glob.h>
#include <scsi/scsi.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/platform/scsi.h"

namespace dravolo {

namespace {

constexpr unsigned kTimeoutMs = 30000;

std::vector<std::string> CdDevices() {
    std::vector<std::string> paths;
    glob_t found{};
    if (glob("/dev/sr[0-9]*", 0, nullptr, &found) == 0) {
        for (std::size_t i = 0; i < found.gl_pathc; ++i) paths.emplace_back(found.gl_pathv[i]);
    }
    globfree(&found);
    // /dev/sr10 after /dev/sr9.
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return paths;
}

// Read and write with shared access first, as the drive letters are opened on
// Windows; read-only when that is refused. O_NONBLOCK opens a drive without a disc.
int OpenDevice(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd;
}

struct IdLun {
    int devId = 0;
    int hostUniqueId = 0;
};

bool DeviceAddress(int fd, ScsiAddress& address) {
    IdLun idlun;
    if (ioctl(fd, SCSI_IOCTL_GET_IDLUN, &idlun) != 0) return false;
    address.target = static_cast<std::uint8_t>(idlun.devId & 0xFF);
    address.lun = static_cast<std::uint8_t>((idlun.devId >> 8) & 0xFF);
    address.adapter = static_cast<std::uint8_t>((idlun.devId >> 24) & 0xFF);
    return true;
}

ScsiStatus SgExecute(int fd, std::span<const std::uint8_t> cdb, ScsiDirection direction, std::span<std::uint8_t> data) {
    ScsiStatus status;
    sg_io_hdr_t io{};
    io.interface_id = 'S';
    io.cmdp = const_cast<unsigned char*>(cdb.data());
    io.cmd_len = static_cast<unsigned char>(cdb.size());
    // A command without data (SET CD SPEED is sent "out" with none) moves nothing.
    if (data.empty()) direction = ScsiDirection::None;
    io.dxfer_direction = direction == ScsiDirection::In    ? SG_DXFER_FROM_DEV
                         : direction == ScsiDirection::Out ? SG_DXFER_TO_DEV
                                                           : SG_DXFER_NONE;
    io.dxferp = direction == ScsiDirection::None ? nullptr : data.data();
    io.dxfer_len = direction == ScsiDirection::None ? 0 : static_cast<unsigned>(data.size());
    io.sbp = status.sense.data();
    io.mx_sb_len = static_cast<unsigned char>(status.sense.size());
    io.timeout = kTimeoutMs;
    if (ioctl(fd, SG_IO, &io) != 0) {
        status.systemError = static_cast<unsigned long>(errno);
        return status;
    }
    status.delivered = true;
    status.scsiStatus = io.status;
    // A transport or host failure without a target status is still a failure.
    if (status.scsiStatus == 0 && (io.host_status != 0 || (io.driver_status & 0x0F) != 0)) {
        status.delivered = false;
        status.systemError = EIO;
    }
    return status;
}

class SgHandle : public ScsiHandle {
public:
    SgHandle(int fd, ScsiAddress address) : fd_(fd), address_(address) {}
    ~SgHandle() override { close(fd_); }
    ScsiAddress Address() const override { return address_; }
    ScsiStatus Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                       std::span<std::uint8_t> data) override {
        return SgExecute(fd_, cdb, direction, data);
    }

private:
    int fd_;
    ScsiAddress address_;
};

std::string Format(const char* format, long a, long b, long c) {
    char line[160];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

class SgTransport : public ScsiTransport {
public:
    ScsiInterface Interface() const override { return ScsiInterface::PassThrough; }

    ScsiInitError Init() override {
        drives_.clear();
        for (const std::string& path : CdDevices()) {
            const int fd = OpenDevice(path);
            if (fd < 0) continue;
            ScsiAddress address;
            std::uint8_t inquiry[scsi_cdb::kInquiryLength];
            std::memset(inquiry, ' ', sizeof inquiry);
            const auto cdb = scsi_cdb::Inquiry();
            if (DeviceAddress(fd, address) && SgExecute(fd, cdb, ScsiDirection::In, inquiry).Good() &&
                (inquiry[0] & 0x1F) == 0x05) {
                drives_.push_back({address, " ", DriveNameFromInquiry(ScsiInterface::PassThrough, inquiry)});
            }
            close(fd);
        }
        return drives_.empty() ? ScsiInitError::NoDevices : ScsiInitError::None;
    }

    bool Enumerate(std::vector<ScsiDriveInfo>& drives) override {
        drives.insert(drives.end(), drives_.begin(), drives_.end());
        return true;
    }

    std::unique_ptr<ScsiHandle> Open(const ScsiAddress& wanted, DeviceLog* log) override {
        auto write = [&](const std::string& line) {
            if (log) log->Write(line);
        };
        for (const std::string& path : CdDevices()) {
            write("device: " + path + "\n");
            const int fd = OpenDevice(path);
            if (fd < 0) {
                write("\t\t\tCannot get file handle.\n");
                continue;
            }
            ScsiAddress address;
            if (!DeviceAddress(fd, address)) {
                char line[300];
                std::snprintf(line, sizeof line, "\t\t\tError: %ld on drive: %s\n", static_cast<long>(errno),
                              path.c_str());
                write(line);
                close(fd);
                continue;
            }
            write(Format("\t\t\tAdapter: %ld:%ld:%ld\n", address.adapter, address.target, address.lun));
            if (address == wanted) return std::make_unique<SgHandle>(fd, address);
            close(fd);
        }
        return nullptr;
    }

private:
    std::vector<ScsiDriveInfo> drives_;
};

// Choosing ASPI on Linux fails the way a Windows system without the ASPI
// files does.
class NoAspiTransport : public ScsiTransport {
public:
    ScsiInterface Interface() const override { return ScsiInterface::Aspi; }
    ScsiInitError Init() override { return ScsiInitError::NotInstalled; }
    bool Enumerate(std::vector<ScsiDriveInfo>&) override { return true; }
    std::unique_ptr<ScsiHandle> Open(const ScsiAddress&, DeviceLog*) override { return nullptr; }
};

}  // namespace

std::unique_ptr<ScsiTransport> OpenNativeScsiTransport(ScsiInterface which) {
    if (which == ScsiInterface::Aspi) return std::make_unique<NoAspiTransport>();
    return std::make_unique<SgTransport>();
}

}  // namespace dravolo
