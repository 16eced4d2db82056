#include "tool/CKestrineToolDlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "tool/CCheatsTab.h"
#include "tool/CMemcardsTab.h"
#include "tool/CPluginsTab.h"
#include "tool/core/caller_window.h"
#include "tool/core/command_line.h"
#include "tool/core/config_commit.h"
#include "tool/core/config_name.h"
#include "tool/core/emulator_path.h"
#include "tool/core/skin_layout.h"
#include "tool/core/tree_copy.h"

namespace dravolo::tool {

namespace {

constexpr std::string_view kToolCaption = "Change ePSXe configuration";
constexpr std::string_view kSwapInFailed =
    "The configuration could not be copied into the registry's active area. Changes made now will not be saved.";
constexpr std::string_view kSaveFailed = "The configuration could not be saved in the registry.";

// Dialog units of the window's font, as the dialog templates measure them.
QSize DialogUnits(const QFont& font, int x, int y) {
    const QFontMetrics metrics(font);
    const double unitX =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0 / 4.0;
    const double unitY = metrics.height() / 8.0;
    return QSize(static_cast<int>(x * unitX + 0.5), static_cast<int>(y * unitY + 0.5));
}

}  // namespace

CKestrineToolDlg::CKestrineToolDlg(ToolDialogSetup setup, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      setup_(std::move(setup)),
      prompter_(prompter),
      registry_(*setup_.registry),
      plugins_(registry_, prompter_) {
    windowSettings_ = LoadWindowSettings(registry_, setup_.programName);

    // 1. Pictures: the skin beside the tool, else the built-in ones.
    skin_.Load(SkinPath(DirectoryOf(setup_.toolPath)));
    setWindowIcon(skin_.windowIcon());
    BuildLayout();

    // 2. The configuration becomes the active one.
    SwapIn();

    // 3. The plugin page, marked, with the chosen plugins started.
    const std::string directory = DirectoryOf(emulatorPath_);
    // Windows plugins on Linux are asked through Wine, which takes a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    plugins_.Fill(directory, static_cast<int>(windowSettings_.selCol), static_cast<int>(windowSettings_.selDir));
    plugins_.ApplyMarks(true);
    QApplication::restoreOverrideCursor();
    pluginsTab_->Refill();

    // 4. The options dialog of the library in the emulator's folder.
    HostOptions();

    // 5. The card pool and the card choice, then the cheat library.
    FillCardsAndCheats();
    // 6. Tabs, "Plugins" first.
    InsertTabs();
    // 7. The caller's action.
    TakeAction();
}

CKestrineToolDlg::~CKestrineToolDlg() {
    // Closed without OK, Close or Cancel (the process ends): the started
    // plugins still get their shutdown.
    plugins_.Shutdown();
}

void CKestrineToolDlg::BuildLayout() {
    setWindowTitle(QStringLiteral("Change ePSXe configuration"));
    tabs_ = new QTabWidget;
    pluginsTab_ = new CPluginsTab(plugins_, skin_);
    pluginsTab_->SetColumnWidths({windowSettings_.widths[0], windowSettings_.widths[1], windowSettings_.widths[2]});
    connect(pluginsTab_, &CPluginsTab::repaintWanted, this, [this] { update(); });
    memcardsTab_ = new CMemcardsTab(registry_, prompter_, skin_);
    memcardsTab_->SetColumnWidths({windowSettings_.widths[3], windowSettings_.widths[4], windowSettings_.widths[5]});
    cheatsTab_ = new CCheatsTab(prompter_, skin_);
    optionsTab_ = new QWidget;
    // The empty frame the options dialog is placed over.
    optionsFrame_ = new QFrame;
    optionsFrame_->setFrameShape(QFrame::NoFrame);
    optionsFrame_->setMinimumSize(DialogUnits(font(), 313, 173));
    auto* frameLayout = new QVBoxLayout(optionsFrame_);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    auto* optionsLayout = new QVBoxLayout(optionsTab_);
    optionsLayout->addWidget(optionsFrame_);

    ok_ = new QPushButton(QStringLiteral("OK"));
    close_ = new QPushButton(QStringLiteral("Close"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {ok_, close_, cancel_}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);
    setMinimumSize(DialogUnits(font(), 333, 222));

    connect(ok_, &QPushButton::clicked, this, &CKestrineToolDlg::OnOK);
    connect(close_, &QPushButton::clicked, this, &CKestrineToolDlg::OnClose);
    connect(cancel_, &QPushButton::clicked, this, &CKestrineToolDlg::OnCancel);
}

void CKestrineToolDlg::SwapIn() {
    const bool active = setup_.configurationName == kActiveConfigurationName;
    // The active area itself: nothing to copy back, so only "Close".
    ok_->setVisible(!active);
    cancel_->setVisible(!active);
    close_->setVisible(active);
    if (active) close_->setDefault(true);
    // When the swap-in fails the active area still holds another
    // configuration: copying that back on OK would overwrite this one.
    swappedIn_ = CopyConfiguration(registry_, ConfigurationKeyName(setup_.configurationName), kActiveConfigurationName);
    if (!swappedIn_) prompter_.Tell(kSwapInFailed, kToolCaption);
    emulatorPath_ = EmulatorPathFromToolPath(setup_.toolPath).value_or("");
}

void CKestrineToolDlg::HostOptions() {
    const std::string directory = DirectoryOf(emulatorPath_);
    if (directory.empty() || !options_.Load(directory + "\\KestrineSTUFF.DLL")) return;
    QWidget* dialog = options_.Create(this);
    if (!dialog) return;
    optionsFrame_->layout()->addWidget(dialog);
    dialog->show();
    CopyOptionsInward(registry_);
    options_.Init();
}

void CKestrineToolDlg::FillCardsAndCheats() {
    // The choice is read even without an emulator folder: OK writes it back
    // and must not wipe what the configuration holds.
    memcardsTab_->LoadChoice();
    const std::string directory = DirectoryOf(emulatorPath_);
    if (directory.empty()) return;
    memcardsTab_->SetEmulatorDirectory(directory);
    memcardsTab_->Fill();
    cheats_ = std::make_unique<CheatLibrary>(registry_, directory);
    cheatsTab_->Fill(cheats_.get());
}

void CKestrineToolDlg::InsertTabs() {
    tabs_->addTab(pluginsTab_, QIcon(skin_.SmallImage(kTabImagePlugins)), QStringLiteral("Plugins"));
    tabs_->addTab(memcardsTab_, QIcon(skin_.SmallImage(kTabImageMemcards)), QStringLiteral("Memcards"));
    tabs_->addTab(optionsTab_, QIcon(skin_.SmallImage(kTabImageOptions)), QStringLiteral("Options"));
    tabs_->addTab(cheatsTab_, QIcon(skin_.SmallImage(kTabImageCheats)), QStringLiteral("Cheats"));
    tabs_->setCurrentIndex(0);
}

void CKestrineToolDlg::TakeAction() {
    const auto bang = setup_.editWord.find('!');
    if (bang == std::string::npos) return;
    const long action = LeadingNumber(setup_.editWord.substr(bang + 1));
    if (action == 7 || action == 8) {
        tabs_->setCurrentWidget(memcardsTab_);
    } else if (action > 0) {
        quickConfigure_ = action;
    }
}

void CKestrineToolDlg::OnQuickConfigure(long n) {
    if (const auto group = QuickConfigureGroup(n)) {
        if (const auto row = plugins_.FirstMarkedRow(*group)) {
            pluginsTab_->SelectRow(*row);
            plugins_.Configure(*row);
        }
    }
    FinishOK();
}

void CKestrineToolDlg::SaveAndRelease() {
    windowSettings_.selCol = static_cast<std::uint32_t>(plugins_.sortColumn());
    windowSettings_.selDir = static_cast<std::uint32_t>(plugins_.sortDirection());
    const auto widths = pluginsTab_->ColumnWidths();
    for (std::size_t i = 0; i < widths.size(); ++i) windowSettings_.widths[i] = widths[i];
    const auto cardWidths = memcardsTab_->ColumnWidths();
    for (std::size_t i = 0; i < cardWidths.size(); ++i) windowSettings_.widths[3 + i] = cardWidths[i];
    SaveWindowSettings(registry_, setup_.programName, windowSettings_);
    const auto caller = static_cast<std::uintptr_t>(LeadingNumber(setup_.editWord));
    if (setup_.enableCaller) {
        setup_.enableCaller(caller);
    } else {
        EnableCallerWindow(caller);
    }
    plugins_.Shutdown();
}

void CKestrineToolDlg::FinishOK() {
    if (finished_) return;
    finished_ = true;
    SaveAndRelease();
    // The card choice, as read at start unless the user changed it.
    WriteCustomCards(registry_, memcardsTab_->Choice());
    // Only a dialog that was shown (and filled from the configuration) may
    // write the options back.
    if (options_.FinishOK()) CopyOptionsOutward(registry_);
    // In steps a later start can finish: an interruption never leaves half
    // a configuration behind.
    Error cause;
    if (swappedIn_ && !CommitConfiguration(registry_, setup_.configurationName, {}, &cause))
        prompter_.Tell(kSaveFailed, kToolCaption, cause);
    done(QDialog::Accepted);
}

void CKestrineToolDlg::OnOK() { FinishOK(); }
void CKestrineToolDlg::OnClose() { FinishOK(); }

void CKestrineToolDlg::OnCancel() {
    if (finished_) return;
    finished_ = true;
    options_.FinishCancel();
    SaveAndRelease();
    // Nothing is copied back: the stored configuration keeps what it had.
    done(QDialog::Rejected);
}

void CKestrineToolDlg::reject() {
    if (cancel_->isVisibleTo(this)) {
        OnCancel();
    } else {
        OnClose();
    }
}

}  // namespace dravolo::tool
