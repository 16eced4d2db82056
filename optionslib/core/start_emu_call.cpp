#include "optionslib/core/start_emu_call.h"

#include <string>

#include "common/platform/registry.h"
#include "optionslib/core/emu_start.h"
#include "optionslib/core/start_error.h"

namespace dravolo::kstuff {

namespace {
std::string Text(const char* text) { return text ? std::string(text) : std::string(); }
}  // namespace

KsBool StartEmuCall(const char* executable, const char* videoPlugin, const char* soundPlugin, const char* cdromPlugin,
                    const char* card1, const char* card2, uint32_t cardPathsFull, const char* cheatFile,
                    const char* netPlugin) {
    EmuStartRequest request;
    request.executable = Text(executable);
    request.videoPlugin = Text(videoPlugin);
    request.soundPlugin = Text(soundPlugin);
    request.cdromPlugin = Text(cdromPlugin);
    request.card1 = Text(card1);
    request.card2 = Text(card2);
    request.cardPathsFull = cardPathsFull != 0;
    request.cheatFile = Text(cheatFile);
    request.netPlugin = Text(netPlugin);
    auto registry = OpenSystemRegistry();
    if (!registry) {
        SetSystemLastError(LastErrorFor(EmuStartError::NotStarted, 0));
        return 0;
    }
    // The creation's own reason is taken at once: closing keys may overwrite it.
    unsigned long startError = 0;
    const ProcessStarter start = DefaultProcessStarter();
    EmuStartError error = EmuStartError::None;
    const bool started = StartEmulator(
        *registry, request,
        [&](std::string_view line) {
            if (start(line)) return true;
            startError = SystemLastError();
            return false;
        },
        &error);
    registry.reset();
    if (started) return 1;
    SetSystemLastError(LastErrorFor(error, startError));
    return 0;
}

}  // namespace dravolo::kstuff
