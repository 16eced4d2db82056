#include "frontend/shell/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "frontend/core/emulator_kind.h"
#include "frontend/core/known_settings.h"
#include "frontend/core/settings_store.h"
#include "frontend/shell/CAboutDlg.h"
#include "frontend/shell/CDravolo7View.h"
#include "frontend/shell/CSettingsDlg.h"
#include "frontend/shell/bar_state_store.h"
#include "frontend/shell/shell_art.h"
#include "frontend/shell/window_placement.h"

namespace dravolo {

namespace {
constexpr QSize kDefaultSize(760, 520);
constexpr const char* kIdleText = "Ready";
}  // namespace

CMainFrame::CMainFrame(ShellContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), view_(new CDravolo7View(context, this)) {
    setWindowTitle(QStringLiteral("Dravolo"));
    setWindowIcon(ProgramIcon());
    setCentralWidget(view_);
    resize(kDefaultSize);

    RestorePlacement();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    // "Ready" is the message line's idle text: whatever clears the line (a
    // menu item passing under the pointer) brings it back.
    connect(statusBar(), &QStatusBar::messageChanged, this, &CMainFrame::KeepIdleText);
    statusBar()->showMessage(QString::fromLatin1(kIdleText));
    CreateEmulatorBar();
    RestoreBars();
    xpMenu_ = context_.settings.Get(kXpMenuSetting) != 0;
    action(Command::XpMenus)->setChecked(xpMenu_);

    // Nothing is selected yet.
    OnSelectionLost();

    connect(view_, &CDravolo7View::selectionLost, this, &CMainFrame::OnSelectionLost);
    connect(view_, &CDravolo7View::selectionPresent, this, &CMainFrame::OnSelectionPresent);
    connect(view_, &CDravolo7View::contextMenuWanted, this, &CMainFrame::ShowContextMenu);
    connect(view_, &CDravolo7View::displayModeChanged, this, &CMainFrame::UpdateModeChecks);
    connect(view_, &CDravolo7View::backgroundChanged, this,
            [this] { action(Command::UseBackground)->setChecked(view_->useBackground()); });
    connect(view_, &CDravolo7View::optionSheetWanted, this, [this](const std::string& path, const QString& caption) {
        if (hooks_.optionSheet) hooks_.optionSheet(*view_, path, caption);
    });
    connect(view_, &CDravolo7View::launchWanted, this, [this] {
        if (hooks_.launch) hooks_.launch(*view_);
    });

    // The bar's rows are the kinds in their order.
    if (const auto current = KindFromNumber(context_.settings.Get(kCurrentEmulatorSetting))) {
        const QSignalBlocker blocker(emulatorList_);
        emulatorList_->setCurrentRow(static_cast<int>(*current));
        highlighted_ = current;
    }

    view_->OnInitialUpdate();
    UpdateModeChecks();
    action(Command::UseBackground)->setChecked(view_->useBackground());
    action(Command::NukeConsole)->setChecked(view_->hideConsoles());
    UpdateHookedCommands();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::Add(Command command, const QString& text) {
    auto* a = new QAction(text, this);
    actions_[command] = a;
    return a;
}

void CMainFrame::CreateActions() {
    connect(Add(Command::NewProfile, QStringLiteral("&New Profile")), &QAction::triggered, view_,
            &CDravolo7View::NewProfile);
    connect(Add(Command::DeleteProfile, QStringLiteral("&Delete Profile")), &QAction::triggered, view_,
            &CDravolo7View::DeleteProfile);
    connect(Add(Command::ConfigureSettings, QStringLiteral("&Configure Settings")), &QAction::triggered, this, [this] {
        if (hooks_.configureSettings) hooks_.configureSettings(*view_);
    });
    struct QuickItem {
        Command command;
        const char* text;
        PluginType type;
    };
    const QuickItem quick[] = {{Command::QuickGpu, "&GPU Plugin", PluginType::Gpu},
                               {Command::QuickSpu, "&SPU Plugin", PluginType::Spu},
                               {Command::QuickCdr, "&CDR Plugin", PluginType::Cdr}};
    for (const QuickItem& item : quick)
        connect(Add(item.command, QString::fromLatin1(item.text)), &QAction::triggered, this, [this, type = item.type] {
            if (hooks_.quickConfigure) hooks_.quickConfigure(*view_, type);
        });
    connect(Add(Command::EditProfile, QStringLiteral("&Edit Profile")), &QAction::triggered, view_,
            &CDravolo7View::EditProfile);
    connect(Add(Command::StartProfile, QStringLiteral("&Start Profile")), &QAction::triggered, this, [this] {
        if (hooks_.launch && !view_->selectedRows().empty()) hooks_.launch(*view_);
    });
    connect(Add(Command::Refresh, QStringLiteral("&Refresh")), &QAction::triggered, view_, &CDravolo7View::Refill);
    connect(Add(Command::Exit, QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    connect(Add(Command::CustomizeSettings, QStringLiteral("&Customize Settings")), &QAction::triggered, this, [this] {
        CSettingsDlg dialog(context_, this);
        connect(&dialog, &CSettingsDlg::backgroundChanged, view_, &CDravolo7View::ReapplyBackground);
        connect(&dialog, &CSettingsDlg::textColorChanged, view_, &CDravolo7View::SetTextColor);
        dialog.exec();
    });
    auto* xp = Add(Command::XpMenus, QStringLiteral("&Enable XP Style Menus"));
    xp->setCheckable(true);
    connect(xp, &QAction::triggered, this, [this](bool on) { xpMenu_ = on; });
    auto* background = Add(Command::UseBackground, QStringLiteral("&Use Background Bitmap"));
    background->setCheckable(true);
    connect(background, &QAction::triggered, this, [this] {
        view_->ToggleBackground();
        action(Command::UseBackground)->setChecked(view_->useBackground());
    });
    auto* nuke = Add(Command::NukeConsole, QStringLiteral("Nuke ePSXe/FPSE Console"));
    nuke->setCheckable(true);
    connect(nuke, &QAction::triggered, this, [this] {
        view_->ToggleHideConsoles();
        action(Command::NukeConsole)->setChecked(view_->hideConsoles());
    });

    Add(Command::ToggleToolbar, QStringLiteral("&Toolbar"))->setCheckable(true);
    Add(Command::ToggleStatusBar, QStringLiteral("&Status Bar"))->setCheckable(true);
    Add(Command::ToggleEmuBar, QStringLiteral("&Emu Bar"))->setCheckable(true);

    auto* iso = Add(Command::IsoExtractor, QStringLiteral("ISO Extractor"));
    iso->setIcon(ToolIcon(ToolPicture::IsoExtractor));
    connect(iso, &QAction::triggered, this, [this] {
        if (hooks_.isoExtractor) hooks_.isoExtractor(this);
    });
    auto* memcard = Add(Command::MemcardTool, QStringLiteral("Memcard Tool"));
    memcard->setIcon(ToolIcon(ToolPicture::MemcardTool));
    connect(memcard, &QAction::triggered, this, [this] {
        if (hooks_.memcardTool) hooks_.memcardTool(this);
    });
    Add(Command::SavestateTool, QStringLiteral("Savestate Tool"))->setEnabled(false);
    Add(Command::ImportKestrine, QStringLiteral("Import Kestrine Settings"))->setEnabled(false);
    Add(Command::ConfigurationWizard, QStringLiteral("Configuration Wizard"))->setEnabled(false);
    Add(Command::DesktopShortcut, QStringLiteral("Desktop Shortcut"))->setEnabled(false);
    // Enabled on purpose, and does nothing.
    Add(Command::CompatibilityInformation, QStringLiteral("Compatibility Information"));

    modeGroup_ = new QActionGroup(this);
    const std::pair<Command, const char*> modes[] = {
        {Command::LargeIcons, "Large Icons"}, {Command::SmallIcons, "Small Icons"}, {Command::Details, "Details"}};
    for (const auto& [command, text] : modes) {
        auto* a = Add(command, QString::fromLatin1(text));
        a->setCheckable(true);
        modeGroup_->addAction(a);
    }
    connect(action(Command::LargeIcons), &QAction::triggered, this,
            [this] { view_->SetDisplayMode(CDravolo7View::DisplayMode::LargeIcons); });
    connect(action(Command::SmallIcons), &QAction::triggered, this,
            [this] { view_->SetDisplayMode(CDravolo7View::DisplayMode::SmallIcons); });
    connect(action(Command::Details), &QAction::triggered, this,
            [this] { view_->SetDisplayMode(CDravolo7View::DisplayMode::Details); });
    connect(Add(Command::About, QStringLiteral("&About Dravolo...")), &QAction::triggered, this, [this] {
        CAboutDlg about(this);
        about.exec();
    });

    action(Command::NewProfile)->setIcon(ToolIcon(ToolPicture::NewProfile));
    action(Command::DeleteProfile)->setIcon(ToolIcon(ToolPicture::DeleteProfile));
    action(Command::ConfigureSettings)->setIcon(ToolIcon(ToolPicture::ConfigureSettings));
    action(Command::EditProfile)->setIcon(ToolIcon(ToolPicture::EditProfile));
    action(Command::LargeIcons)->setIcon(ToolIcon(ToolPicture::LargeIcons));
    action(Command::SmallIcons)->setIcon(ToolIcon(ToolPicture::SmallIcons));
    action(Command::Details)->setIcon(ToolIcon(ToolPicture::Details));
    action(Command::About)->setIcon(ToolIcon(ToolPicture::About));
    // The keys go through the commands, so a key does what its command would
    // and nothing while the command is off. Delete and Enter belong to the
    // list (the filter field edits with them); the others work anywhere.
    action(Command::NewProfile)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    action(Command::EditProfile)->setShortcut(QKeySequence(Qt::Key_F2));
    action(Command::Refresh)->setShortcut(QKeySequence(Qt::Key_F5));
    action(Command::DeleteProfile)->setShortcut(QKeySequence(Qt::Key_Delete));
    // The menu shows the first: the key users call Enter.
    action(Command::StartProfile)->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    view_->AddListAction(action(Command::DeleteProfile));
    view_->AddListAction(action(Command::StartProfile));
    for (Command c : {Command::NewProfile, Command::EditProfile, Command::Refresh}) addAction(action(c));
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(action(Command::StartProfile));
    file->addSeparator();
    file->addAction(action(Command::NewProfile));
    file->addAction(action(Command::DeleteProfile));
    file->addAction(action(Command::ConfigureSettings));
    quickMenu_ = file->addMenu(QStringLiteral("&Quick Configure"));
    quickMenu_->addAction(action(Command::QuickGpu));
    quickMenu_->addAction(action(Command::QuickSpu));
    quickMenu_->addAction(action(Command::QuickCdr));
    file->addAction(action(Command::EditProfile));
    file->addSeparator();
    file->addAction(action(Command::Exit));

    QMenu* settings = menuBar()->addMenu(QStringLiteral("&Settings"));
    settings->addAction(action(Command::CustomizeSettings));
    settings->addSeparator();
    settings->addAction(action(Command::XpMenus));
    settings->addAction(action(Command::UseBackground));
    settings->addAction(action(Command::NukeConsole));

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu->addAction(action(Command::ToggleToolbar));
    viewMenu->addAction(action(Command::ToggleStatusBar));
    viewMenu->addAction(action(Command::ToggleEmuBar));
    viewMenu->addSeparator();
    viewMenu->addAction(action(Command::Refresh));

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(action(Command::IsoExtractor));
    tools->addAction(action(Command::MemcardTool));
    tools->addAction(action(Command::SavestateTool));
    tools->addSeparator();
    tools->addAction(action(Command::ImportKestrine));
    tools->addAction(action(Command::ConfigurationWizard));
    tools->addAction(action(Command::CompatibilityInformation));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(action(Command::About));
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Main Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("MainToolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    toolBar_->setFloatable(false);
    toolBar_->addAction(action(Command::NewProfile));
    toolBar_->addAction(action(Command::DeleteProfile));
    toolBar_->addAction(action(Command::ConfigureSettings));
    toolBar_->addAction(action(Command::EditProfile));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::LargeIcons));
    toolBar_->addAction(action(Command::SmallIcons));
    toolBar_->addAction(action(Command::Details));
    toolBar_->addSeparator();
    toolBar_->addAction(action(Command::About));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    QAction* toggle = action(Command::ToggleToolbar);
    connect(toggle, &QAction::triggered, toolBar_, &QWidget::setVisible);
    connect(toolBar_, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
    QAction* status = action(Command::ToggleStatusBar);
    connect(status, &QAction::triggered, statusBar(), &QWidget::setVisible);
    status->setChecked(true);
    toggle->setChecked(true);
}

void CMainFrame::CreateEmulatorBar() {
    emulatorBar_ = new QDockWidget(QStringLiteral("Emulator"), this);
    emulatorBar_->setObjectName(QStringLiteral("EmulatorBar"));
    emulatorBar_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    emulatorBar_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);

    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    emulatorList_ = new QListWidget;
    emulatorList_->setViewMode(QListView::ListMode);
    emulatorList_->setIconSize(QSize(16, 16));
    emulatorList_->setSelectionMode(QAbstractItemView::SingleSelection);
    emulatorList_->setFrameShape(QFrame::NoFrame);
    // The list wears the bar's own colour.
    QPalette palette = emulatorList_->palette();
    palette.setColor(QPalette::Base, body->palette().color(QPalette::Window));
    emulatorList_->setPalette(palette);
    const QIcon barIcon(EmulatorBarIcon());
    // One item per kind, in the kinds' order, named as the kind's profile folder.
    for (const auto& info : kEmulatorKinds) {
        const auto name = QString::fromLatin1(info.directory.data(), static_cast<qsizetype>(info.directory.size()));
        new QListWidgetItem(barIcon, name, emulatorList_);
    }
    emulatorList_->setFixedWidth(112);
    layout->addWidget(emulatorList_, 1);

    for (Command command : {Command::IsoExtractor, Command::MemcardTool}) {
        auto* button = new QToolButton;
        button->setDefaultAction(action(command));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        layout->addWidget(button, 0, Qt::AlignHCenter);
    }
    emulatorBar_->setWidget(body);
    addDockWidget(Qt::LeftDockWidgetArea, emulatorBar_);

    connect(emulatorList_, &QListWidget::itemSelectionChanged, this, &CMainFrame::OnEmulatorBarSelection);
    QAction* toggle = action(Command::ToggleEmuBar);
    connect(toggle, &QAction::triggered, emulatorBar_, &QWidget::setVisible);
    // The dock hides, and says so, while ~QWidget deletes the children, when
    // this frame's own members are gone: the check mark follows the dock
    // without reading any of them, and goes with the action.
    connect(emulatorBar_, &QDockWidget::visibilityChanged, toggle,
            [toggle, bar = emulatorBar_] { toggle->setChecked(!bar->isHidden()); });
    toggle->setChecked(true);
}

void CMainFrame::OnEmulatorBarSelection() {
    const auto items = emulatorList_->selectedItems();
    if (items.isEmpty()) {
        // A click on empty space keeps the highlighted emulator.
        if (highlighted_) {
            const QSignalBlocker blocker(emulatorList_);
            emulatorList_->item(static_cast<int>(*highlighted_))->setSelected(true);
        }
        return;
    }
    const auto kind = KindFromNumber(emulatorList_->row(items.front()));
    if (!kind) return;
    highlighted_ = kind;
    view_->SwitchEmulator(*kind);
}

void CMainFrame::OnSelectionLost() {
    if (!profileCommandsEnabled_) return;
    for (Command c : {Command::DeleteProfile, Command::ConfigureSettings, Command::EditProfile})
        action(c)->setEnabled(false);
    profileCommandsEnabled_ = false;
    UpdateStartCommand();
}

void CMainFrame::OnSelectionPresent() {
    if (profileCommandsEnabled_) return;
    for (Command c : {Command::DeleteProfile, Command::ConfigureSettings, Command::EditProfile})
        action(c)->setEnabled(true);
    profileCommandsEnabled_ = true;
    UpdateStartCommand();
}

void CMainFrame::UpdateStartCommand() {
    action(Command::StartProfile)->setEnabled(profileCommandsEnabled_ && static_cast<bool>(hooks_.launch));
}

void CMainFrame::KeepIdleText(const QString& message) {
    if (message.isEmpty()) statusBar()->showMessage(QString::fromLatin1(kIdleText));
}

void CMainFrame::UpdateModeChecks() {
    switch (view_->displayMode()) {
    case CDravolo7View::DisplayMode::LargeIcons: action(Command::LargeIcons)->setChecked(true); break;
    case CDravolo7View::DisplayMode::SmallIcons: action(Command::SmallIcons)->setChecked(true); break;
    case CDravolo7View::DisplayMode::Details: action(Command::Details)->setChecked(true); break;
    }
}

void CMainFrame::SetHooks(FrameHooks hooks) {
    hooks_ = std::move(hooks);
    UpdateHookedCommands();
}

void CMainFrame::UpdateHookedCommands() {
    for (Command c : {Command::QuickGpu, Command::QuickSpu, Command::QuickCdr})
        action(c)->setEnabled(static_cast<bool>(hooks_.quickConfigure));
    quickMenu_->setEnabled(static_cast<bool>(hooks_.quickConfigure));
    action(Command::IsoExtractor)->setEnabled(static_cast<bool>(hooks_.isoExtractor));
    action(Command::MemcardTool)->setEnabled(static_cast<bool>(hooks_.memcardTool));
    UpdateStartCommand();
}

QMenu* CMainFrame::BuildContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(action(Command::NewProfile));
    menu->addAction(action(Command::DeleteProfile));
    menu->addAction(action(Command::ConfigureSettings));
    QMenu* quick = menu->addMenu(QStringLiteral("&Quick Configure"));
    quick->addAction(action(Command::QuickGpu));
    quick->addAction(action(Command::QuickSpu));
    quick->addAction(action(Command::QuickCdr));
    quick->setEnabled(static_cast<bool>(hooks_.quickConfigure));
    menu->addAction(action(Command::ConfigurationWizard));
    menu->addAction(action(Command::DesktopShortcut));
    menu->addAction(action(Command::EditProfile));
    return menu;
}

void CMainFrame::ShowContextMenu(const QPoint& globalPos) {
    QMenu* menu = BuildContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CMainFrame::RestorePlacement() {
    const WindowPlacement saved = ReadWindowPlacement(context_.settings);
    if (saved.IsUnset()) return;
    savedShowCmd_ = saved.showCmd;
    savedFlags_ = saved.flags;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    PlacementRect rect = ClampToScreen(saved.normal, area.width(), area.height(), kIconSize, kIconSize);
    // A saved rectangle with no size keeps the default size at its place.
    const QSize size = rect.width() > 0 && rect.height() > 0 ? QSize(rect.width(), rect.height()) : kDefaultSize;
    setGeometry(QRect(QPoint(rect.left, rect.top), size));
}

void CMainFrame::ShowAsPlaced() {
    const bool maximised = savedShowCmd_ == kSwShowMaximized ||
                           (savedShowCmd_ == kSwShowMinimized && (savedFlags_ & kWpfRestoreToMaximized));
    if (maximised) showMaximized();
    else show();
}

void CMainFrame::SavePlacement() {
    WindowPlacement placement;
    placement.showCmd = isMinimized() ? kSwShowMinimized : isMaximized() ? kSwShowMaximized : kSwShowNormal;
    placement.flags = (isMinimized() && (windowState() & Qt::WindowMaximized)) ? kWpfRestoreToMaximized : 0;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    placement.normal = {normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()};
    WriteWindowPlacement(context_.settings, placement);
}

void CMainFrame::RestoreBars() {
    const BarState state = ReadBarState(context_.settings.registry());
    if (!state.layout.empty())
        restoreState(QByteArray(reinterpret_cast<const char*>(state.layout.data()),
                                static_cast<qsizetype>(state.layout.size())));
    if (state.statusBarShown) statusBar()->setVisible(*state.statusBarShown);
    action(Command::ToggleToolbar)->setChecked(!toolBar_->isHidden());
    action(Command::ToggleStatusBar)->setChecked(!statusBar()->isHidden());
    action(Command::ToggleEmuBar)->setChecked(!emulatorBar_->isHidden());
}

void CMainFrame::SaveBars() {
    const QByteArray layout = saveState();
    BarState state;
    state.layout.assign(layout.begin(), layout.end());
    state.statusBarShown = !statusBar()->isHidden();
    WriteBarState(context_.settings.registry(), state);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    context_.settings.Set(kXpMenuSetting, xpMenu_ ? 1 : 0);
    SavePlacement();
    SaveBars();
    view_->SaveState();
    QMainWindow::closeEvent(event);
}

}  // namespace dravolo
