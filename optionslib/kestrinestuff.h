/* KestrineStuff: the ePSXe options dialog and a one-call ePSXe start, as plain
 * C exports loaded at run time and bound by name.
 *
 * Windows are passed as the platform's native window ids: an HWND on Windows,
 * the host's QWidget::winId() elsewhere; the library finds them with
 * QWidget::find, so the host and the library must share one Qt. On 32-bit
 * Windows every export uses the standard calling convention (callee pops) and
 * is exported undecorated through kestrinestuff.def. */
#ifndef KESTRINESTUFF_H
#define KESTRINESTUFF_H

#include <stdint.h>

#include "common/platform/calling_convention.h"

#define KSTUFF_CALL DRAVOLO_STDCALL
#define KSTUFF_EXPORT DRAVOLO_EXPORT

#ifdef __cplusplus
extern "C" {
#endif

typedef uintptr_t KsWindow; /* native window id; 0 is none */
typedef int KsBool;         /* Windows BOOL: nonzero is TRUE */

/* A new options dialog: a child of parent, hidden until the host shows it; 0
 * when parent is not a widget of this process's Qt (QWidget::find cannot see
 * it) or no QApplication runs. */
KSTUFF_EXPORT KsWindow KSTUFF_CALL CreateOptionDlg(KsWindow parent);
/* Fills the dialog from the interface key and puts the stored pad settings
 * into ePSXe's key. TRUE; FALSE only when dialog is not an options dialog. */
KSTUFF_EXPORT KsBool KSTUFF_CALL OptionDlg_Init(KsWindow dialog);
/* Writes the dialog's options into the interface key and copies ePSXe's pad
 * settings back. TRUE; FALSE when dialog is not an options dialog, and when
 * the BIOS path is longer than 259 bytes: the dialog then tells the user and
 * nothing is written. */
KSTUFF_EXPORT KsBool KSTUFF_CALL OptionDlg_OnOK(KsWindow dialog);
/* Writes nothing. TRUE; FALSE only when dialog is not an options dialog. */
KSTUFF_EXPORT KsBool KSTUFF_CALL OptionDlg_OnCancel(KsWindow dialog);
/* A new, visible about panel inside parent; 0 as for CreateOptionDlg. */
KSTUFF_EXPORT KsWindow KSTUFF_CALL CreateAboutDlg(KsWindow parent);

/* Writes the plugins and the interface key's options into ePSXe's key and
 * starts ePSXe; nonzero when the process was created. reserved5/6 are
 * ignored; a null text stands for an empty one. executable goes onto the
 * command line quoted (a path already in quotes is accepted); the card folder
 * is its folder (last backslash or slash) + "\memcards\", and a path without
 * a separator has none, so relative card names are passed as given. The cheat
 * file and the cards are quoted by the C run-time's rules.
 *
 * Refused, with 0 returned and nothing written or started:
 *   - an empty executable, or a text argument holding a '"' character;
 *   - an interface "CmdLine", "BIOS" or "Pad1" ... "Pad11" over 259 bytes;
 *   - a command line that would not fit 2047 characters.
 *
 * Whenever it returns 0, StartEmu says why in the system's last-error value
 * (GetLastError() on Windows, errno elsewhere):
 *   ERROR_INVALID_PARAMETER / EINVAL       empty executable, '"' in an argument
 *   ERROR_MORE_DATA / EOVERFLOW            an interface text over 259 bytes
 *   ERROR_FILENAME_EXCED_RANGE / E2BIG     command line over 2047 characters
 *   otherwise                              the process creation's own error
 *                                          (ERROR_FILE_NOT_FOUND / ENOENT when
 *                                          the program was not found)
 * See optionslib/core/emu_start.h. */
KSTUFF_EXPORT KsBool KSTUFF_CALL StartEmu(const char* executable, const char* videoPlugin, const char* soundPlugin,
                                          const char* cdromPlugin, uintptr_t reserved5, uintptr_t reserved6,
                                          const char* card1, const char* card2, uint32_t cardPathsFull,
                                          const char* cheatFile, const char* netPlugin);

/* Pointer types for hosts that bind the exports by name. */
typedef KsWindow(KSTUFF_CALL* CreateOptionDlgProc)(KsWindow);
typedef KsBool(KSTUFF_CALL* OptionDlgProc)(KsWindow);
typedef KsWindow(KSTUFF_CALL* CreateAboutDlgProc)(KsWindow);
typedef KsBool(KSTUFF_CALL* StartEmuProc)(const char*, const char*, const char*, const char*, uintptr_t, uintptr_t,
                                          const char*, const char*, uint32_t, const char*, const char*);

#ifdef __cplusplus
}
#endif

#endif /* KESTRINESTUFF_H */
