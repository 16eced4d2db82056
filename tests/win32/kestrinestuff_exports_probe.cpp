// KestrineStuff's export table without its Qt dialog, for Windows builds that
// have no Qt: the six entry points with the header's prototypes and calling
// convention, exported through the library's own kestrinestuff.def. Hosts bind
// them by their undecorated names; on 32-bit Windows the stdcall names in the
// object files are decorated ("_StartEmu@44"), so only the .def gives the
// names the hosts look up. StartEmu is the library's own (StartEmuCall); the
// dialog entries answer as the library does when no Qt application runs.

#include "optionslib/core/start_emu_call.h"
#include "optionslib/kestrinestuff.h"

extern "C" {

KsWindow KSTUFF_CALL CreateOptionDlg(KsWindow) { return 0; }
KsBool KSTUFF_CALL OptionDlg_Init(KsWindow) { return 0; }
KsBool KSTUFF_CALL OptionDlg_OnOK(KsWindow) { return 0; }
KsBool KSTUFF_CALL OptionDlg_OnCancel(KsWindow) { return 0; }
KsWindow KSTUFF_CALL CreateAboutDlg(KsWindow) { return 0; }

KsBool KSTUFF_CALL StartEmu(const char* executable, const char* videoPlugin, const char* soundPlugin,
                            const char* cdromPlugin, uintptr_t, uintptr_t, const char* card1, const char* card2,
                            uint32_t cardPathsFull, const char* cheatFile, const char* netPlugin) {
    return dravolo::kstuff::StartEmuCall(executable, videoPlugin, soundPlugin, cdromPlugin, card1, card2, cardPathsFull,
                                         cheatFile, netPlugin);
}

}  // extern "C"
