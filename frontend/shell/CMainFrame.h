#pragma once
// The main window: menus, the "Main Toolbar", a one-pane status bar, the
// emulator bar docked on the left and the profile list in the middle. It
// keeps its placement and bar layout between runs and enables the profile
// commands while a profile is selected.

#include <QMainWindow>
#include <functional>
#include <map>
#include <optional>

#include "common/psemu/plugin_types.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/shell/shell_context.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QListWidget;
class QMenu;
class QToolBar;
class QToolButton;

namespace dravolo {

class CDravolo7View;

// Commands that other parts of the program carry out. A command without its
// handler shows disabled.
struct FrameHooks {
    std::function<void(CDravolo7View&)> launch;  // double-click in the list
    std::function<void(CDravolo7View&, PluginType)> quickConfigure;
    std::function<void(CDravolo7View&)> configureSettings;  // option sheet of the selection
    std::function<void(CDravolo7View&, const std::string& path, const QString& caption)> optionSheet;
    std::function<void(QWidget* owner)> isoExtractor;
    std::function<void(QWidget* owner)> memcardTool;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    enum class Command {
        NewProfile,
        DeleteProfile,
        ConfigureSettings,
        QuickGpu,
        QuickSpu,
        QuickCdr,
        EditProfile,
        Exit,
        CustomizeSettings,
        XpMenus,
        UseBackground,
        NukeConsole,
        ToggleToolbar,
        ToggleStatusBar,
        ToggleEmuBar,
        IsoExtractor,
        MemcardTool,
        SavestateTool,
        ImportKestrine,
        ConfigurationWizard,
        CompatibilityInformation,
        LargeIcons,
        SmallIcons,
        Details,
        About,
        DesktopShortcut,
        StartProfile,
        Refresh,
    };

    explicit CMainFrame(ShellContext& context, QWidget* parent = nullptr);
    ~CMainFrame() override;

    void SetHooks(FrameHooks hooks);
    // Shows the window as its saved placement says (maximised or normal).
    void ShowAsPlaced();

    CDravolo7View* view() const { return view_; }
    QAction* action(Command command) const { return actions_.at(command); }
    QToolBar* toolBar() const { return toolBar_; }
    QDockWidget* emulatorBar() const { return emulatorBar_; }
    QListWidget* emulatorList() const { return emulatorList_; }
    bool profileCommandsEnabled() const { return profileCommandsEnabled_; }
    std::optional<EmulatorKind> highlightedEmulator() const { return highlighted_; }
    bool xpMenu() const { return xpMenu_; }
    // The popup the list shows on a right click, built from the frame's commands.
    QMenu* BuildContextMenu(QWidget* parent);

    // The smallest part of the window kept on screen: an icon.
    static constexpr int kIconSize = 32;

public slots:
    void OnSelectionLost();
    void OnSelectionPresent();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateEmulatorBar();
    void RestorePlacement();
    void SavePlacement();
    void RestoreBars();
    void SaveBars();
    void OnEmulatorBarSelection();
    void UpdateModeChecks();
    void UpdateHookedCommands();
    void UpdateStartCommand();
    void KeepIdleText(const QString& message);
    void ShowContextMenu(const QPoint& globalPos);
    QAction* Add(Command command, const QString& text);

    ShellContext& context_;
    CDravolo7View* view_;
    std::map<Command, QAction*> actions_;
    QActionGroup* modeGroup_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QDockWidget* emulatorBar_ = nullptr;
    QListWidget* emulatorList_ = nullptr;
    QMenu* quickMenu_ = nullptr;
    FrameHooks hooks_;
    bool profileCommandsEnabled_ = true;  // switched off once the window is built
    std::optional<EmulatorKind> highlighted_;
    bool xpMenu_ = false;
    int savedShowCmd_ = -1;
    int savedFlags_ = -1;
};

}  // namespace dravolo
