// Windows: ASPI through "WNASPI32", loaded at run time. The request blocks are
// those published with the ASPI for Win32 interface, byte-packed.

#include "common/platform/windows_api.h"

#include <cstdio>
#include <cstring>

#include "common/platform/scsi.h"
#include "common/platform/windows_family.h"

namespace dravolo {

namespace {

// Commands, statuses and flags of the ASPI interface.
constexpr BYTE SC_HA_INQUIRY = 0x00;
constexpr BYTE SC_GET_DEV_TYPE = 0x01;
constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;
constexpr BYTE SC_GETSET_TIMEOUTS = 0x08;
constexpr BYTE SS_PENDING = 0x00;
constexpr BYTE SS_COMP = 0x01;
constexpr BYTE SS_ERR = 0x04;
constexpr BYTE SS_NO_ADAPTERS = 0xE8;
constexpr BYTE SRB_DIR_IN = 0x08;
constexpr BYTE SRB_DIR_OUT = 0x10;
constexpr BYTE SRB_EVENT_NOTIFY = 0x40;
constexpr BYTE DTYPE_CDROM = 0x05;
constexpr BYTE SENSE_LEN = 14;

#pragma pack(push, 1)
struct SRB_HAInquiry {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE HA_Count;
    BYTE HA_SCSI_ID;
    BYTE HA_ManagerId[16];
    BYTE HA_Identifier[16];
    BYTE HA_Unique[16];
    WORD HA_Rsvd1;
};

struct SRB_GDEVBlock {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    BYTE SRB_DeviceType;
    BYTE SRB_Rsvd1;
};

struct SRB_ExecSCSICmd {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    WORD SRB_Rsvd1;
    DWORD SRB_BufLen;
    BYTE* SRB_BufPointer;
    BYTE SRB_SenseLen;
    BYTE SRB_CDBLen;
    BYTE SRB_HaStat;
    BYTE SRB_TargStat;
    void* SRB_PostProc;
    BYTE SRB_Rsvd2[20];
    BYTE CDBByte[16];
    BYTE SenseArea[SENSE_LEN + 2];
};

struct SRB_GetSetTimeouts {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    DWORD SRB_Timeout;
};
#pragma pack(pop)

using GetSupportInfoFn = DWORD(__cdecl*)();
using SendCommandFn = DWORD(__cdecl*)(void*);

bool SystemFileExists(const char* systemDir, const char* name) {
    char path[MAX_PATH + 64];
    std::snprintf(path, sizeof path, "%s%s", systemDir, name);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The ASPI files that must be in the system directory for the family.
bool AspiInstalled() {
    char dir[MAX_PATH];
    const UINT length = GetSystemDirectoryA(dir, sizeof dir);
    if (length == 0 || length >= sizeof dir) return false;
    if (CurrentWindowsFamily() == WindowsFamily::NT)
        return SystemFileExists(dir, "\\wnaspi32.dll") && SystemFileExists(dir, "\\drivers\\aspi32.sys");
    return SystemFileExists(dir, "\\wnaspi32.dll") && SystemFileExists(dir, "\\winaspi.dll") &&
           SystemFileExists(dir, "\\aspienum.vxd") && SystemFileExists(dir, "\\iosubsys\\apix.vxd");
}

class AspiTransport;

class AspiHandle : public ScsiHandle {
public:
    AspiHandle(SendCommandFn send, ScsiAddress address) : send_(send), address_(address) {}
    ScsiAddress Address() const override { return address_; }
    ScsiStatus Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                       std::span<std::uint8_t> data) override;

private:
    SendCommandFn send_;
    ScsiAddress address_;
};

ScsiStatus AspiHandle::Execute(std::span<const std::uint8_t> cdb, ScsiDirection direction,
                               std::span<std::uint8_t> data) {
    SRB_ExecSCSICmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = address_.adapter;
    srb.SRB_Target = address_.target;
    srb.SRB_Lun = address_.lun;
    srb.SRB_Flags = direction == ScsiDirection::In ? SRB_DIR_IN : direction == ScsiDirection::Out ? SRB_DIR_OUT : 0;
    srb.SRB_BufLen = direction == ScsiDirection::None ? 0 : static_cast<DWORD>(data.size());
    srb.SRB_BufPointer = direction == ScsiDirection::None ? nullptr : data.data();
    srb.SRB_SenseLen = SENSE_LEN;
    srb.SRB_CDBLen = static_cast<BYTE>(cdb.size() > 16 ? 16 : cdb.size());
    std::memcpy(srb.CDBByte, cdb.data(), srb.SRB_CDBLen);

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (event) {
        srb.SRB_Flags |= SRB_EVENT_NOTIFY;
        srb.SRB_PostProc = event;
    }
    ScsiStatus status;
    const DWORD sent = send_(&srb);
    if (sent == SS_ERR) {
        if (event) CloseHandle(event);
        status.systemError = SS_ERR;
        return status;
    }
    if (sent == SS_PENDING) {
        if (event) {
            WaitForSingleObject(event, INFINITE);
        } else {
            while (*static_cast<volatile BYTE*>(&srb.SRB_Status) == SS_PENDING) Sleep(1);
        }
    }
    if (event) CloseHandle(event);
    status.delivered = true;
    if (srb.SRB_Status == SS_COMP) return status;
    status.scsiStatus = srb.SRB_TargStat;
    status.adapterError = srb.SRB_TargStat == 0;
    std::memcpy(status.sense.data(), srb.SenseArea, SENSE_LEN);
    return status;
}

class AspiTransport : public ScsiTransport {
public:
    ~AspiTransport() override {
        if (library_) FreeLibrary(library_);
    }

    ScsiInterface Interface() const override { return ScsiInterface::Aspi; }

    ScsiInitError Init() override {
        if (library_) return ScsiInitError::None;
        if (!AspiInstalled()) return ScsiInitError::NotInstalled;
        HMODULE library = LoadLibraryA("WNASPI32");
        if (!library) return ScsiInitError::LibraryNotLoaded;
        auto send =
            reinterpret_cast<SendCommandFn>(reinterpret_cast<void*>(GetProcAddress(library, "SendASPI32Command")));
        auto info = reinterpret_cast<GetSupportInfoFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "GetASPI32SupportInfo")));
        if (!send || !info) {
            FreeLibrary(library);
            return ScsiInitError::EntryPointsMissing;
        }
        const BYTE state = static_cast<BYTE>((info() >> 8) & 0xFF);
        if (state != SS_COMP && state != SS_NO_ADAPTERS) {
            FreeLibrary(library);
            return ScsiInitError::SupportInfoFailed;
        }
        SRB_GetSetTimeouts timeouts;
        std::memset(&timeouts, 0, sizeof timeouts);
        timeouts.SRB_Cmd = SC_GETSET_TIMEOUTS;
        timeouts.SRB_Flags = SRB_DIR_OUT;  // set
        timeouts.SRB_HaId = 0xFF;
        timeouts.SRB_Target = 0xFF;
        timeouts.SRB_Lun = 0xFF;
        timeouts.SRB_Timeout = 60;
        send(&timeouts);
        library_ = library;
        send_ = send;
        return ScsiInitError::None;
    }

    bool Enumerate(std::vector<ScsiDriveInfo>& drives) override {
        if (!send_) return false;
        SRB_HAInquiry first;
        if (!AdapterInquiry(0, first)) return false;
        for (BYTE adapter = 0; adapter < first.HA_Count; ++adapter) {
            SRB_HAInquiry inquiry;
            if (!AdapterInquiry(adapter, inquiry)) continue;
            const std::string adapterName(reinterpret_cast<const char*>(inquiry.HA_Identifier), 16);
            for (BYTE target = 0; target < 8; ++target) {
                for (BYTE lun = 0; lun < 8; ++lun) {
                    SRB_GDEVBlock device;
                    std::memset(&device, 0, sizeof device);
                    device.SRB_Cmd = SC_GET_DEV_TYPE;
                    device.SRB_HaId = adapter;
                    device.SRB_Target = target;
                    device.SRB_Lun = lun;
                    send_(&device);
                    if (device.SRB_Status != SS_COMP || device.SRB_DeviceType != DTYPE_CDROM) continue;
                    // INQUIRY without a retry; blanks where the drive sends nothing.
                    std::uint8_t data[scsi_cdb::kInquiryLength];
                    std::memset(data, ' ', sizeof data);
                    AspiHandle handle(send_, {adapter, target, lun});
                    if (!handle.Execute(scsi_cdb::Inquiry(), ScsiDirection::In, data).Good()) continue;
                    drives.push_back(
                        {{adapter, target, lun}, adapterName, DriveNameFromInquiry(ScsiInterface::Aspi, data)});
                }
            }
        }
        return true;
    }

    std::unique_ptr<ScsiHandle> Open(const ScsiAddress& address, DeviceLog*) override {
        if (!send_) return nullptr;
        return std::make_unique<AspiHandle>(send_, address);
    }

private:
    bool AdapterInquiry(BYTE adapter, SRB_HAInquiry& inquiry) {
        std::memset(&inquiry, 0, sizeof inquiry);
        inquiry.SRB_Cmd = SC_HA_INQUIRY;
        inquiry.SRB_HaId = adapter;
        send_(&inquiry);
        return inquiry.SRB_Status == SS_COMP;
    }

    HMODULE library_ = nullptr;
    SendCommandFn send_ = nullptr;
};

}  // namespace

std::unique_ptr<ScsiTransport> OpenAspiTransport() { return std::make_unique<AspiTransport>(); }

}  // namespace dravolo
