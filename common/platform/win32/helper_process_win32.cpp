// The helper is started with anonymous pipes as its standard input and
// output. Only the helper's ends are inheritable, so when it ends the output
// pipe breaks and a waiting read returns at once.

#include "common/platform/windows_api.h"

#include <algorithm>

#include "common/platform/helper_process.h"
#include "common/platform/process.h"

namespace dravolo {

namespace {

constexpr DWORD kEndGraceMs = 3000;

class PipeHelperProcess : public HelperProcess {
public:
    PipeHelperProcess(HANDLE process, HANDLE toChild, HANDLE fromChild)
        : process_(process), toChild_(toChild), fromChild_(fromChild) {}

    ~PipeHelperProcess() override {
        CloseHandle(toChild_);
        if (WaitForSingleObject(process_, kEndGraceMs) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(fromChild_);
        CloseHandle(process_);
    }

    bool Send(std::span<const std::uint8_t> data) override {
        std::size_t done = 0;
        while (done < data.size()) {
            DWORD n = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
            if (!WriteFile(toChild_, data.data() + done, chunk, &n, nullptr) || n == 0) return false;
            done += n;
        }
        return true;
    }

    bool Receive(std::span<std::uint8_t> out) override {
        std::size_t done = 0;
        while (done < out.size()) {
            DWORD n = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 20));
            if (!ReadFile(fromChild_, out.data() + done, chunk, &n, nullptr) || n == 0) return false;
            done += n;
        }
        return true;
    }

private:
    HANDLE process_, toChild_, fromChild_;
};

}  // namespace

std::unique_ptr<HelperProcess> HelperProcess::Start(const std::string& program) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childIn = nullptr, toChild = nullptr, fromChild = nullptr, childOut = nullptr;
    if (!CreatePipe(&childIn, &toChild, &inheritable, 0)) return nullptr;
    if (!CreatePipe(&fromChild, &childOut, &inheritable, 0)) {
        CloseHandle(childIn);
        CloseHandle(toChild);
        return nullptr;
    }
    // Our ends stay with us.
    SetHandleInformation(toChild, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromChild, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childIn;
    startup.hStdOutput = childOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    std::string commandLine = QuoteArgument(program);
    const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(childIn);
    CloseHandle(childOut);
    if (!started) {
        CloseHandle(toChild);
        CloseHandle(fromChild);
        return nullptr;
    }
    CloseHandle(info.hThread);
    return std::make_unique<PipeHelperProcess>(info.hProcess, toChild, fromChild);
}

// On Windows every helper is a Windows program.
std::unique_ptr<HelperProcess> HelperProcess::StartNative(const std::string& program) { return Start(program); }

}  // namespace dravolo
