#pragma once
// A helper program of ours (the plugin host) that we talk to through its
// standard input and output. A Windows helper runs under the prefix's Wine on
// POSIX (the runner, WINEPREFIX) and is started directly on Windows; a native
// one is started directly everywhere. The helper ends when its input closes,
// which the destructor does; one that does not end soon after is killed.
//
// While we wait for an answer the wait hook (common/base/wait_hook.h) runs,
// so a windowed program keeps painting while a plugin's dialog is open.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace dravolo {

class HelperProcess {
public:
    // program: host path of the .exe. nullptr when it cannot be started.
    static std::unique_ptr<HelperProcess> Start(const std::string& program);
    // program: a native executable, started as it is.
    static std::unique_ptr<HelperProcess> StartNative(const std::string& program);
    virtual ~HelperProcess() = default;

    // False once the helper has ended or its pipe broke.
    virtual bool Send(std::span<const std::uint8_t> data) = 0;
    // Exactly out.size() bytes. Waits as long as the helper runs (a plugin's
    // dialog may stay open for minutes); false when it ends or the pipe breaks.
    virtual bool Receive(std::span<std::uint8_t> out) = 0;
};

}  // namespace dravolo
