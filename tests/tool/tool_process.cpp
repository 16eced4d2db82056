#include "tests/tool/tool_process.h"

#ifdef _WIN32
#include "common/platform/process.h"
#include "common/platform/windows_api.h"
#else
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

#include <cstdint>

namespace dravolo::test {

namespace {

std::vector<std::string> WithPipeNumber(const std::vector<std::string>& args, const std::string& number) {
    std::vector<std::string> out;
    for (std::string arg : args) {
        for (auto at = arg.find("{pipe}"); at != std::string::npos; at = arg.find("{pipe}", at + number.size()))
            arg.replace(at, 6, number);
        out.push_back(std::move(arg));
    }
    return out;
}

}  // namespace

#ifdef _WIN32

PipeRun RunWithReportPipe(const std::string& program, const std::vector<std::string>& args) {
    PipeRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);  // only the write end goes to the tool
    std::string line = QuoteArgument(program);
    for (const std::string& arg : WithPipeNumber(args, std::to_string(reinterpret_cast<std::uintptr_t>(writeEnd))))
        line += " " + QuoteArgument(arg);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);  // the pipe breaks once the tool's copy is gone too
    if (started) {
        std::uint8_t buffer[8192];
        DWORD n = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
            run.written.insert(run.written.end(), buffer, buffer + n);
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.hProcess, &code))
            run.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

#else

PipeRun RunWithReportPipe(const std::string& program, const std::vector<std::string>& args) {
    PipeRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    const std::vector<std::string> full = WithPipeNumber(args, std::to_string(fds[1]));
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : full) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (pid > 0) {
        std::uint8_t buffer[8192];
        for (;;) {
            const ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n <= 0) break;
            run.written.insert(run.written.end(), buffer, buffer + n);
        }
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    }
    close(fds[0]);
    return run;
}

#endif

}  // namespace dravolo::test
