#include "tool/COptionsHost.h"

namespace dravolo::tool {

bool COptionsHost::Load(std::string_view libraryPath) {
    auto library = Library::Load(libraryPath);
    if (!library) return false;
    create_ = library->Function<CreateOptionDlgProc>("CreateOptionDlg");
    if (!create_) return false;
    // The library stays loaded until the process ends: code of its widgets may
    // still run while the windows around them are torn down, after this host.
    if (!library->KeepLoadedForProcessLife()) return false;
    init_ = library->Function<OptionDlgProc>("OptionDlg_Init");
    onOK_ = library->Function<OptionDlgProc>("OptionDlg_OnOK");
    onCancel_ = library->Function<OptionDlgProc>("OptionDlg_OnCancel");
    library_ = std::move(library);
    return true;
}

QWidget* COptionsHost::Create(QWidget* parent) {
    if (!create_ || !parent) return nullptr;
    const KsWindow handle = create_(static_cast<KsWindow>(parent->winId()));
    dialog_ = handle ? QWidget::find(static_cast<WId>(handle)) : nullptr;
    return dialog_.data();
}

KsWindow COptionsHost::Handle() const { return dialog_ ? static_cast<KsWindow>(dialog_->winId()) : 0; }

void COptionsHost::Init() {
    if (init_ && dialog_) init_(Handle());
}

bool COptionsHost::Finish(OptionDlgProc call) {
    if (!dialog_) return false;
    if (call) call(Handle());
    delete dialog_.data();
    return true;
}

bool COptionsHost::FinishOK() { return Finish(onOK_); }
bool COptionsHost::FinishCancel() { return Finish(onCancel_); }

}  // namespace dravolo::tool
