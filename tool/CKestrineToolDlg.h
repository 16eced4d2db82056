#pragma once
// The main dialog "Change ePSXe configuration": four tabs ("Plugins",
// "Memcards", "Options", "Cheats") over the configuration being edited, which
// is swapped into the active area "PSEmu Pro" at start and copied back on OK.

#include <QDialog>
#include <QFrame>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "tool/COptionsHost.h"
#include "tool/core/cheat_library.h"
#include "tool/CToolSkin.h"
#include "tool/core/plugin_page_logic.h"
#include "tool/core/window_settings.h"

class QPushButton;
class QTabWidget;

namespace dravolo::tool {

class CCheatsTab;
class CMemcardsTab;
class CPluginsTab;

struct ToolDialogSetup {
    Registry* registry = nullptr;
    std::string configurationName;             // "PSEmu Pro" edits the active area itself
    std::string editWord;                      // the mode word after '@': "WINDOW[!ACTION]"
    std::string toolPath;                      // the tool's own Windows path
    std::string programName = "KestrineTool";  // below the settings root
    // Enables the caller's window again at close (tests watch it).
    std::function<void(std::uintptr_t)> enableCaller;
};

class CKestrineToolDlg : public QDialog {
    Q_OBJECT
public:
    // Runs the whole initialisation: skin, swap-in, plugin page, options dialog, tabs.
    CKestrineToolDlg(ToolDialogSetup setup, Prompter& prompter, QWidget* parent = nullptr);
    ~CKestrineToolDlg() override;

    // The action after '!' asks for a plugin's configuration without showing
    // the window (1 to 6, or any other number above 0 that is not 7 or 8):
    // the number, else nullopt.
    std::optional<long> QuickConfigureAction() const { return quickConfigure_; }
    // Configures the active plugin of group n (when there is one) and finishes
    // as OK.
    void OnQuickConfigure(long n);

    void OnOK();
    void OnClose();
    void OnCancel();

    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* cancelButton() const { return cancel_; }
    CPluginsTab* pluginsTab() const { return pluginsTab_; }
    CMemcardsTab* memcardsTab() const { return memcardsTab_; }
    CCheatsTab* cheatsTab() const { return cheatsTab_; }
    CheatLibrary* cheatLibrary() const { return cheats_.get(); }
    QWidget* optionsFrame() const { return optionsFrame_; }
    QWidget* optionsDialog() const { return options_.dialog(); }
    const CToolSkin& skin() const { return skin_; }
    PluginPageLogic& pluginLogic() { return plugins_; }
    const std::string& emulatorPath() const { return emulatorPath_; }

protected:
    // Escape and the window's close box: Cancel where it is offered, else Close.
    void reject() override;

private:
    void BuildLayout();
    void SwapIn();
    void HostOptions();
    void FillCardsAndCheats();
    void InsertTabs();
    void TakeAction();
    // Steps shared by OK, Close and Cancel: window settings, the caller's
    // window, the started plugins.
    void SaveAndRelease();
    void FinishOK();

    ToolDialogSetup setup_;
    Prompter& prompter_;
    Registry& registry_;
    CToolSkin skin_;
    PluginPageLogic plugins_;
    COptionsHost options_;
    ToolWindowSettings windowSettings_;
    std::string emulatorPath_;
    std::unique_ptr<CheatLibrary> cheats_;
    std::optional<long> quickConfigure_;
    bool swappedIn_ = false;
    bool finished_ = false;

    QTabWidget* tabs_ = nullptr;
    CPluginsTab* pluginsTab_ = nullptr;
    CMemcardsTab* memcardsTab_ = nullptr;
    QWidget* optionsTab_ = nullptr;
    QFrame* optionsFrame_ = nullptr;
    CCheatsTab* cheatsTab_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace dravolo::tool
