// KestrineStuff's export table without its Qt dialog, for Windows builds that
// have no Qt: the six entry points with the header's prototypes and calling
// convention, exported through the library's own kestrinestuff.def. Hosts bind
// them by their undecorated names; on 32-bit Windows the stdcall names in the
// object files are decorated ("_StartEmu@44"), so only the .def gives the
// names the hosts look up. StartEmu is the real one; the dialog entries answer
// as the library does when no Qt application runs.

#include <string>

#include "common/platform/registry.h"
#include "optionslib/core/emu_start.h"
#include "optionslib/core/pad_config.h"
#include "optionslib/kestrinestuff.h"

using namespace dravolo;
using namespace dravolo::kstuff;

namespace {
std::string Text(const char* text) { return text ? std::string(text) : std::string(); }
}  // namespace

extern "C" {

KsWindow KSTUFF_CALL CreateOptionDlg(KsWindow) { return 0; }
KsBool KSTUFF_CALL OptionDlg_Init(KsWindow) { return 0; }
KsBool KSTUFF_CALL OptionDlg_OnOK(KsWindow) { return 0; }
KsBool KSTUFF_CALL OptionDlg_OnCancel(KsWindow) { return 0; }
KsWindow KSTUFF_CALL CreateAboutDlg(KsWindow) { return 0; }

KsBool KSTUFF_CALL StartEmu(const char* executable, const char* videoPlugin, const char* soundPlugin,
                            const char* cdromPlugin, uintptr_t, uintptr_t, const char* card1, const char* card2,
                            uint32_t cardPathsFull, const char* cheatFile, const char* netPlugin) {
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
    return registry && StartEmulator(*registry, request, DefaultProcessStarter()) ? 1 : 0;
}

}  // extern "C"
