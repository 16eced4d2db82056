#pragma once
// The options dialog of KestrineStuff on the Options tab: the library loaded
// from the emulator's folder by name, its four dialog exports bound by name,
// and the one dialog window it hands out.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string_view>

#include "common/platform/library.h"
#include "optionslib/kestrinestuff.h"

namespace dravolo::tool {

class COptionsHost {
public:
    COptionsHost() = default;
    COptionsHost(const COptionsHost&) = delete;
    COptionsHost& operator=(const COptionsHost&) = delete;

    // "<emulator directory>\KestrineSTUFF.DLL". False when it does not load or
    // lacks CreateOptionDlg, or cannot be kept loaded for the process's life.
    bool Load(std::string_view libraryPath);
    bool loaded() const { return library_ != nullptr; }

    // A new options dialog as a child of parent; nullptr when none comes back.
    QWidget* Create(QWidget* parent);
    QWidget* dialog() const { return dialog_.data(); }

    // OptionDlg_Init when exported.
    void Init();
    // OptionDlg_OnOK / OptionDlg_OnCancel on the dialog, then the dialog is
    // destroyed. False when there was no dialog.
    bool FinishOK();
    bool FinishCancel();

private:
    bool Finish(OptionDlgProc call);
    KsWindow Handle() const;

    // Pinned when loaded: the library's widgets and code must outlive every
    // window it created, so destroying this wrapper never unloads it.
    std::unique_ptr<Library> library_;
    CreateOptionDlgProc create_ = nullptr;
    OptionDlgProc init_ = nullptr;
    OptionDlgProc onOK_ = nullptr;
    OptionDlgProc onCancel_ = nullptr;
    QPointer<QWidget> dialog_;
};

}  // namespace dravolo::tool
