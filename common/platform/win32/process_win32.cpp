// Starting programs with CreateProcessA; Windows finds the program itself.

#include "common/platform/windows_api.h"

#include "common/platform/dry_run.h"
#include "common/platform/process.h"

namespace dravolo {

namespace {

bool Create(std::string_view commandLine, std::string_view workingDir, const StartOptions& options,
            PROCESS_INFORMATION& pi) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (options.showWindow) {
        si.dwFlags |= STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(*options.showWindow);
    }
    if (options.position) {
        si.dwFlags |= STARTF_USEPOSITION;
        si.dwX = static_cast<DWORD>(options.position->x);
        si.dwY = static_cast<DWORD>(options.position->y);
    }
    // CreateProcessA may write into the command line: give it its own copy.
    std::string line(commandLine);
    const std::string dir(workingDir);
    const DWORD flags = options.newConsole ? CREATE_NEW_CONSOLE : 0;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          dir.empty() ? nullptr : dir.c_str(), &si, &pi) != 0;
}

}  // namespace

bool StartProcess(std::string_view commandLine, std::string_view workingDir, const StartOptions& options) {
    if (auto* dry = ActiveDryRun()) {
        dry->StartProgram(commandLine, workingDir, false);
        return ResolveProgram(commandLine, workingDir).has_value();
    }
    PROCESS_INFORMATION pi{};
    if (!Create(commandLine, workingDir, options, pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

std::optional<int> RunAndWait(std::string_view commandLine, std::string_view workingDir, const StartOptions& options) {
    if (auto* dry = ActiveDryRun()) {
        dry->StartProgram(commandLine, workingDir, true);
        if (!ResolveProgram(commandLine, workingDir)) return std::nullopt;
        return 0;
    }
    PROCESS_INFORMATION pi{};
    if (!Create(commandLine, workingDir, options, pi)) return std::nullopt;
    CloseHandle(pi.hThread);
    DWORD code = 0;
    const bool ok =
        WaitForSingleObject(pi.hProcess, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (!ok) return std::nullopt;
    return static_cast<int>(code);
}

std::string OwnProgramDirectory() {
    std::string buffer(32768, '\0');
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size()) return {};
    buffer.resize(n);
    const auto slash = buffer.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : buffer.substr(0, slash);
}

}  // namespace dravolo
