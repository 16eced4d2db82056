// The library's entry points. Each call opens what it needs and releases it
// before returning: the library keeps no state between calls.

#include <QApplication>
#include <QWidget>

#include "common/platform/registry.h"
#include "optionslib/about_panel.h"
#include "optionslib/core/bios_list.h"
#include "optionslib/core/module_path.h"
#include "optionslib/core/option_store.h"
#include "optionslib/core/start_emu_call.h"
#include "optionslib/kestrinestuff.h"
#include "optionslib/options_dialog.h"

using namespace dravolo;
using namespace dravolo::kstuff;

namespace {

constexpr KsBool kTrue = 1;
constexpr KsBool kFalse = 0;

// Widgets need the host's application object; without one, or without a
// parent of this process, there is nothing to create a child in.
QWidget* FindHostWindow(KsWindow parent) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || parent == 0) return nullptr;
    return QWidget::find(static_cast<WId>(parent));
}

OptionsDialog* FindOptionsDialog(KsWindow dialog) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || dialog == 0) return nullptr;
    return dynamic_cast<OptionsDialog*>(QWidget::find(static_cast<WId>(dialog)));
}

KsWindow IdOf(QWidget* widget) { return static_cast<KsWindow>(widget->winId()); }

}  // namespace

extern "C" {

KSTUFF_EXPORT KsWindow KSTUFF_CALL CreateOptionDlg(KsWindow parent) {
    QWidget* host = FindHostWindow(parent);
    if (!host) return 0;
    auto* dialog = new OptionsDialog(host, ThisModulePath());
    dialog->hide();  // stays hidden until the host shows it, even inside a visible parent
    return IdOf(dialog);
}

KSTUFF_EXPORT KsBool KSTUFF_CALL OptionDlg_Init(KsWindow dialogId) {
    OptionsDialog* dialog = FindOptionsDialog(dialogId);
    if (!dialog) return kFalse;
    OptionValues values;
    if (auto registry = OpenSystemRegistry()) values = LoadDialogOptions(*registry);
    dialog->ShowValues(values, FindBiosImages(ThisModulePath()));
    return kTrue;
}

KSTUFF_EXPORT KsBool KSTUFF_CALL OptionDlg_OnOK(KsWindow dialogId) {
    OptionsDialog* dialog = FindOptionsDialog(dialogId);
    if (!dialog) return kFalse;
    const auto values = dialog->ValuesForOk();
    if (!values) return kFalse;
    // Registry write failures are not reported: the host keeps its own copy.
    if (auto registry = OpenSystemRegistry()) SaveDialogOptions(*registry, *values);
    return kTrue;
}

KSTUFF_EXPORT KsBool KSTUFF_CALL OptionDlg_OnCancel(KsWindow dialogId) {
    return FindOptionsDialog(dialogId) ? kTrue : kFalse;
}

KSTUFF_EXPORT KsWindow KSTUFF_CALL CreateAboutDlg(KsWindow parent) {
    QWidget* host = FindHostWindow(parent);
    if (!host) return 0;
    auto* panel = new AboutPanel(host);
    panel->show();
    return IdOf(panel);
}

KSTUFF_EXPORT KsBool KSTUFF_CALL StartEmu(const char* executable, const char* videoPlugin, const char* soundPlugin,
                                          const char* cdromPlugin, uintptr_t /*reserved5*/, uintptr_t /*reserved6*/,
                                          const char* card1, const char* card2, uint32_t cardPathsFull,
                                          const char* cheatFile, const char* netPlugin) {
    return StartEmuCall(executable, videoPlugin, soundPlugin, cdromPlugin, card1, card2, cardPathsFull, cheatFile,
                        netPlugin);
}

}  // extern "C"
