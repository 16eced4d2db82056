// The main dialog on the offscreen platform, with real test plugins, the real
// KestrineSTUFF.DLL and a private prefix.

#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include <QProcess>
#include <filesystem>
#include <fstream>

#include "common/platform/instance_guard.h"
#ifdef _WIN32
#include "common/platform/windows_api.h"
#endif
#include "tests/support/recording_prompter.h"
#include "tests/tool/forwarding_registry.h"
#include "tests/tool/tool_process.h"
#include "tests/tool_ui/tool_ui_workspace.h"
#include "tool/CKestrineToolDlg.h"
#include "tool/CPluginsTab.h"
#include "tool/core/config_commit.h"
#include "tool/core/skin_layout.h"
#include "tool/edit_mode.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kGame = "Software\\Vision Thing\\KestrineCFG\\Game";
const std::string kActive = "Software\\Vision Thing\\PSEmu Pro";

int RowOf(CKestrineToolDlg& dialog, int group, const std::string& dll) {
    const auto& rows = dialog.pluginLogic().rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].group == group && rows[i].dll == dll) return static_cast<int>(i);
    }
    return -1;
}

// The prefix's registry, with commits that fail while asked to.
class FailingRegistry : public test::ForwardingRegistry {
public:
    using ForwardingRegistry::ForwardingRegistry;
    bool failCommits = false;
    bool CommitBatch(const RegBatch& batch, Error* error) override {
        if (!failCommits) return ForwardingRegistry::CommitBatch(batch, error);
        SetError(error, "write", "C:\\users\\user.reg", 28, "No space left on device");
        return false;
    }
};

// An edit-mode start as the program makes it, in this process, with the
// caller's window enabling recorded.
struct EditRun {
    std::vector<std::uintptr_t> enabled;
    int Run(test::ToolUiWorld& world, test::RecordingPrompter& prompter, const std::vector<std::string>& args,
            std::function<int(CKestrineToolDlg&)> runDialog = {}) {
        EditModeSetup setup;
        setup.registry = &world.registry();
        setup.prompter = &prompter;
        setup.toolPath = world.workspace().toolPath();
        setup.enableCaller = [this](std::uintptr_t window) { enabled.push_back(window); };
        setup.runDialog = std::move(runDialog);
        return RunEditMode(DecideStart(ParseFrameworkCommandLine(args)), std::move(setup));
    }
};

}  // namespace

class ToolUiTest : public QObject {
    Q_OBJECT
private slots:
    void okKeepsTheStoredConfigurationAndCarriesEdits();
    void cancelLeavesTheStoredConfigurationButNotTheActiveArea();
    void activeAreaShowsOnlyClose();
    void actionsSelectTheCardTabOrQuickConfigure();
    void optionsDialogIsHostedAndItsOptionsTravel();
    void tabsButtonsMenuAndMessages();
    void skinOrBuiltInPictures();
    void windowSettingsAreSavedAtClose();
    void failedSwapInNeverOverwritesTheStoredConfiguration();
    void okThatCannotStoreSaysSoWithTheCause();
    void everyWayOutEnablesTheCallersWindow();
    void aStartFinishesAnInterruptedCommitFirst();
    void oneEditAtATimeWhileReportsRunBeside();
    void windowlessActionKeepsTheCheatChoiceOfAGameAfterADamagedOne();
};

void ToolUiTest::okKeepsTheStoredConfigurationAndCarriesEdits() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string stored = test::DumpTree(world.registry(), kGame);
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change ePSXe configuration"));
        QVERIFY(dialog.okButton()->isVisibleTo(&dialog));
        QVERIFY(dialog.cancelButton()->isVisibleTo(&dialog));
        QVERIFY(!dialog.closeButton()->isVisibleTo(&dialog));
        QCOMPARE(test::DumpTree(world.registry(), kActive), stored);  // swapped in
        // The stored choices are marked.
        QCOMPARE(dialog.pluginLogic().rows()[RowOf(dialog, 0, "gpuTest.dll")].mark, 1);
        QCOMPARE(dialog.pluginLogic().rows()[RowOf(dialog, 4, "padBoth.dll")].mark, 5);
        dialog.OnOK();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    // OK writes the card choice as it was read (absent: managed, no files);
    // everything else comes back unchanged.
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Memory Cards", "CustomCards"), std::uint32_t{0});
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\Memory Cards", "CustomCard0"), std::string());
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\Memory Cards", "CustomCard1"), std::string());
    for (const char* value : {"CustomCards", "CustomCard0", "CustomCard1"})
        world.registry().DeleteValue(kUser, kGame + "\\Memory Cards", value);
    QCOMPARE(test::DumpTree(world.registry(), kGame), stored);

    // An activation made on the page travels into the stored configuration.
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        dialog.pluginsTab()->SelectRow(RowOf(dialog, 0, "gpuOther.dll"));
        dialog.pluginsTab()->activateButton()->click();
        QCOMPARE(dialog.pluginLogic().rows()[RowOf(dialog, 0, "gpuOther.dll")].mark, 1);
        dialog.okButton()->click();
    }
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\GPU", "GPUlib"), std::string("gpuOther.dll"));
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\SPU\\Settings", "Volume"), std::uint32_t{3});
}

void ToolUiTest::cancelLeavesTheStoredConfigurationButNotTheActiveArea() {
    test::ToolUiWorld world(true);
    world.StoreGame();
    const std::string stored = test::DumpTree(world.registry(), kGame);
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        dialog.pluginsTab()->SelectRow(RowOf(dialog, 6, "netTest.dll"));
        dialog.pluginsTab()->OnActivate();
        dialog.cancelButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.optionsDialog());  // destroyed
    }
    QCOMPARE(test::DumpTree(world.registry(), kGame), stored);
    QCOMPARE(world.registry().QueryString(kUser, kActive + "\\NET", "NETlib"), std::string("netTest.dll"));
    // The started plugins were shut down.
    QVERIFY(world.workspace().PluginLog("gpuTest.dll").find("GPUshutdown") != std::string::npos);
}

void ToolUiTest::activeAreaShowsOnlyClose() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    world.registry().SetString(kUser, kActive + "\\GPU", "GPUlib", "gpuOther.dll");
    const std::string stored = test::DumpTree(world.registry(), kGame);
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("PSEmu Pro"), prompter);
        QVERIFY(!dialog.okButton()->isVisibleTo(&dialog));
        QVERIFY(!dialog.cancelButton()->isVisibleTo(&dialog));
        QVERIFY(dialog.closeButton()->isVisibleTo(&dialog));
        // Nothing swapped in: the active area is edited as it is.
        QCOMPARE(dialog.pluginLogic().rows()[RowOf(dialog, 0, "gpuOther.dll")].mark, 1);
        dialog.pluginsTab()->SelectRow(RowOf(dialog, 1, "spuTest.dll"));
        dialog.pluginsTab()->OnActivate();
        // Escape in this mode closes as "Close" does.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(world.registry().QueryString(kUser, kActive + "\\GPU", "GPUlib"), std::string("gpuOther.dll"));
    QCOMPARE(world.registry().QueryString(kUser, kActive + "\\SPU", "SPUlib"), std::string("spuTest.dll"));
    QCOMPARE(test::DumpTree(world.registry(), kGame), stored);
}

void ToolUiTest::actionsSelectTheCardTabOrQuickConfigure() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    test::RecordingPrompter prompter;
    for (const char* word : {"0!7", "0!8"}) {
        CKestrineToolDlg dialog(world.Setup("Game", word), prompter);
        QCOMPARE(dialog.tabs()->tabText(dialog.tabs()->currentIndex()), QStringLiteral("Memcards"));
        QVERIFY(!dialog.QuickConfigureAction());
    }
    {
        CKestrineToolDlg dialog(world.Setup("Game", "0!0"), prompter);
        QCOMPARE(dialog.tabs()->currentIndex(), 0);
        QVERIFY(!dialog.QuickConfigureAction());
    }
    {
        // 1: the active video plugin's dialog, then saved as at OK, never shown.
        CKestrineToolDlg dialog(world.Setup("Game", "0!1"), prompter);
        QCOMPARE(dialog.QuickConfigureAction().value_or(0), 1L);
        dialog.OnQuickConfigure(1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(world.workspace().PluginLog("gpuTest.dll").find("GPUconfigure") != std::string::npos);
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\GPU\\TestPlugin", "Setting"), std::string("configured"));
    {
        // A number outside 1 to 6 configures nothing and still saves.
        world.registry().SetString(kUser, kActive + "\\Marker", "x", "y");
        CKestrineToolDlg dialog(world.Setup("Game", "0!9"), prompter);
        QCOMPARE(dialog.QuickConfigureAction().value_or(0), 9L);
        dialog.OnQuickConfigure(9);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(prompter.messages.empty());
}

void ToolUiTest::optionsDialogIsHostedAndItsOptionsTravel() {
    test::ToolUiWorld world(true);
    world.StoreGame();
    // Left in the library's key by someone else: must not reach the configuration.
    world.registry().SetString(kUser, "Software\\Kestrine\\Kestrine\\Interface", "CmdLine", "stale");
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        QWidget* options = dialog.optionsDialog();
        QVERIFY(options);
        QVERIFY(dialog.optionsFrame()->isAncestorOf(options));
        // Filled from the configuration before the dialog's Init.
        QCOMPARE(world.registry().QueryString(kUser, "Software\\Kestrine\\Kestrine\\Interface", "CmdLine"),
                 std::string("-slowboot"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!options->isVisible());
        dialog.tabs()->setCurrentIndex(2);
        QVERIFY(options->isVisible());
#ifdef _WIN32
        // On Windows the library hands out a real window of its own, a child
        // inside the tool's dialog, that the tool's Qt then finds again.
        const HWND hosted = reinterpret_cast<HWND>(options->winId());
        QVERIFY(IsWindow(hosted));
        QVERIFY(IsWindowVisible(hosted));
        QVERIFY((GetWindowLongPtrA(hosted, GWL_STYLE) & WS_CHILD) != 0);
        QCOMPARE(GetAncestor(hosted, GA_ROOT), reinterpret_cast<HWND>(dialog.winId()));
        QVERIFY(IsChild(reinterpret_cast<HWND>(dialog.optionsFrame()->winId()), hosted));
#endif
        dialog.OnOK();
        QVERIFY(!dialog.optionsDialog());
    }
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\Kestrine\\Interface", "CmdLine"), std::string("-slowboot"));
    QCOMPARE(world.registry().QueryDword(kUser, kGame + "\\Kestrine\\Interface", "SoundXA"), std::uint32_t{1});

    // Without the library the Options tab stays empty and the stale key
    // stays out of the configuration.
    test::ToolUiWorld bare(false);
    bare.StoreGame();
    bare.registry().SetString(kUser, "Software\\Kestrine\\Kestrine\\Interface", "CmdLine", "stale");
    {
        CKestrineToolDlg dialog(bare.Setup("Game"), prompter);
        QVERIFY(!dialog.optionsDialog());
        dialog.OnOK();
    }
    QCOMPARE(bare.registry().QueryString(kUser, kGame + "\\Kestrine\\Interface", "CmdLine"), std::string("-slowboot"));
}

void ToolUiTest::tabsButtonsMenuAndMessages() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    test::RecordingPrompter prompter;
    CKestrineToolDlg dialog(world.Setup("Game"), prompter);
    QTabWidget* tabs = dialog.tabs();
    QCOMPARE(tabs->count(), 4);
    const QStringList names = {"Plugins", "Memcards", "Options", "Cheats"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(tabs->tabText(i), names[i]);
        QVERIFY(!tabs->tabIcon(i).isNull());
    }
    QCOMPARE(tabs->currentIndex(), 0);

    CPluginsTab* page = dialog.pluginsTab();
    QTreeWidget* list = page->list();
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Plugins"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("DLL"));
    QCOMPARE(list->headerItem()->text(2), QStringLiteral("Date"));
    QCOMPARE(list->topLevelItemCount(), static_cast<int>(dialog.pluginLogic().rows().size()));
    QStringList menu;
    for (QAction* action : page->contextMenu()->actions()) menu << action->text();
    QCOMPARE(menu, (QStringList{"Activate", "Configure", "Test", "About"}));

    // No selection: the buttons do nothing.
    list->clearSelection();
    page->testButton()->click();
    QVERIFY(prompter.messages.empty());

    page->SelectRow(RowOf(dialog, 1, "SPUCORE"));
    page->testButton()->click();
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QCOMPARE(prompter.messages[0].text, std::string("Test function not available!"));
    QCOMPARE(prompter.messages[0].caption, std::string("Testing plugin..."));

    // A double-click activates and configures.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const int other = RowOf(dialog, 0, "gpuOther.dll");
    page->SelectRow(other);
    QTreeWidgetItem* item = list->topLevelItem(other);
    const QPoint centre = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(world.registry().QueryString(kUser, kActive + "\\GPU", "GPUlib"), std::string("gpuOther.dll"));
    QVERIFY(world.workspace().PluginLog("gpuOther.dll").find("GPUconfigure") != std::string::npos);

    // A header click sorts through the page's rule and keeps the selection.
    page->SelectRow(RowOf(dialog, 0, "gpuOther.dll"));
    page->OnColumnClick(1);
    page->OnColumnClick(1);
    QCOMPARE(dialog.pluginLogic().sortDirection(), 1);
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("gpuTest.dll"));
    QCOMPARE(list->selectedItems().value(0)->text(1), QStringLiteral("gpuOther.dll"));
    dialog.OnCancel();
}

void ToolUiTest::skinOrBuiltInPictures() {
    test::ToolUiWorld world(false);
    test::RecordingPrompter prompter;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        QVERIFY(!dialog.skin().loaded());
        QCOMPARE(dialog.skin().smallImageCount(), 20);
        QCOMPARE(dialog.skin().stateImageCount(), 16);
        QVERIFY(!dialog.windowIcon().isNull());
        dialog.OnCancel();
    }
    // A skin at half size is stretched onto the canvas; magenta is transparent.
    QImage half(161, 106, QImage::Format_RGB32);
    half.fill(Qt::white);
    const SkinRect cell = SkinPiece(kSmallImagesPiece);
    for (int y = cell.top / 2; y < cell.bottom / 2 + 1; ++y) {
        for (int x = 0; x < 8; ++x) half.setPixel(x, y, qRgb(0, 200, 0));
        for (int x = 8; x < 16; ++x) half.setPixel(x, y, qRgb(255, 0, 255));
    }
    world.InstallSkin(half);
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        QVERIFY(dialog.skin().loaded());
        const QImage first = dialog.skin().SmallImage(0).toImage();
        QCOMPARE(QColor(first.pixel(4, 8)).green(), 200);
        QCOMPARE(qAlpha(dialog.skin().SmallImage(1).toImage().pixel(4, 8)), 0);
        dialog.OnCancel();
    }
    // A cut file is no skin.
    QFile file(QString::fromStdString(world.workspace().host() + "/skins/kestrine.bmp"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.resize(file.size() / 2);
    file.close();
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        QVERIFY(!dialog.skin().loaded());
        dialog.OnCancel();
    }
}

void ToolUiTest::windowSettingsAreSavedAtClose() {
    test::ToolUiWorld world(false);
    const std::string position = "Software\\Kestrine\\Kestrine\\KestrineTool\\Position";
    world.registry().SetDword(kUser, position, "ToolX2", 111);
    world.registry().SetDword(kUser, position, "ToolX5", 222);
    test::RecordingPrompter prompter;
    std::uint32_t dragged = 0;
    {
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        // Stored widths are scaled to the font, never narrower than stored.
        QVERIFY(dialog.pluginsTab()->list()->columnWidth(1) >= 111);
        dialog.pluginsTab()->OnColumnClick(2);
        dialog.pluginsTab()->OnColumnClick(2);
        dialog.pluginsTab()->list()->setColumnWidth(0, 400);
        dragged = dialog.pluginsTab()->ColumnWidths()[0];
        QVERIFY(dragged > 250 && dragged <= 400);
        dialog.OnCancel();
    }
    QCOMPARE(world.registry().QueryDword(kUser, position, "SelCol"), std::uint32_t{2});
    QCOMPARE(world.registry().QueryDword(kUser, position, "SelDir"), std::uint32_t{1});
    QCOMPARE(world.registry().QueryDword(kUser, position, "ToolX1"), dragged);
    QCOMPARE(world.registry().QueryDword(kUser, position, "ToolX2"), std::uint32_t{111});
    QCOMPARE(world.registry().QueryDword(kUser, position, "ToolX3"), std::uint32_t{70});
    QCOMPARE(world.registry().QueryDword(kUser, position, "ToolX5"), std::uint32_t{222});
}

void ToolUiTest::failedSwapInNeverOverwritesTheStoredConfiguration() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    // Another configuration is active when the swap-in fails.
    world.registry().SetString(kUser, kActive + "\\GPU", "GPUlib", "gpuOther.dll");
    const std::string stored = test::DumpTree(world.registry(), kGame);
    FailingRegistry registry(world.registry());
    test::RecordingPrompter prompter;
    {
        tool::ToolDialogSetup setup = world.Setup("Game");
        setup.registry = &registry;
        registry.failCommits = true;
        CKestrineToolDlg dialog(std::move(setup), prompter);
        registry.failCommits = false;
        QCOMPARE(prompter.messages.size(), std::size_t{1});
        QCOMPARE(prompter.messages[0].caption, std::string("Change ePSXe configuration"));
        dialog.OnOK();
    }
    QCOMPARE(test::DumpTree(world.registry(), kGame), stored);
}

void ToolUiTest::okThatCannotStoreSaysSoWithTheCause() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string stored = test::DumpTree(world.registry(), kGame);
    FailingRegistry registry(world.registry());
    test::RecordingPrompter prompter;
    {
        tool::ToolDialogSetup setup = world.Setup("Game");
        setup.registry = &registry;
        CKestrineToolDlg dialog(std::move(setup), prompter);
        QCOMPARE(prompter.messages.size(), std::size_t{0});
        registry.failCommits = true;
        dialog.OnOK();
        registry.failCommits = false;
    }
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QCOMPARE(prompter.messages[0].text, std::string("The configuration could not be saved in the registry."));
    QCOMPARE(prompter.messages[0].details, std::string("C:\\users\\user.reg: No space left on device"));
    QCOMPARE(test::DumpTree(world.registry(), kGame), stored);  // the stored configuration is whole
}

void ToolUiTest::everyWayOutEnablesTheCallersWindow() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    const std::string stored = test::DumpTree(world.registry(), kGame);
    test::RecordingPrompter prompter;
    EditRun run;
    // A refused name: the message, and the caller gets its window back.
    QCOMPARE(run.Run(world, prompter, {"/pt", "Ga\\me", "@4660"}), 1);
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QCOMPARE(prompter.messages[0].caption, std::string("Change ePSXe configuration"));
    QCOMPARE(run.enabled, std::vector<std::uintptr_t>{4660});
    // A quick configure without a window.
    run.enabled.clear();
    QCOMPARE(run.Run(world, prompter, {"/pt", "Game", "@77!9"}), 0);
    QVERIFY(!run.enabled.empty());
    QVERIFY(std::all_of(run.enabled.begin(), run.enabled.end(), [](std::uintptr_t w) { return w == 77; }));
    // OK, Cancel, and a dialog that ends without either.
    for (const auto& finish : std::vector<std::function<void(CKestrineToolDlg&)>>{
             [](CKestrineToolDlg& d) { d.OnOK(); }, [](CKestrineToolDlg& d) { d.OnCancel(); },
             [](CKestrineToolDlg&) {}}) {
        run.enabled.clear();
        QCOMPARE(run.Run(world, prompter, {"/pt", "Game", "@5"},
                         [&](CKestrineToolDlg& d) {
                             finish(d);
                             return 0;
                         }),
                 0);
        QVERIFY(!run.enabled.empty());
        QCOMPARE(run.enabled.back(), std::uintptr_t{5});
    }
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    for (const char* value : {"CustomCards", "CustomCard0", "CustomCard1"})
        world.registry().DeleteValue(kUser, kGame + "\\Memory Cards", value);
    QCOMPARE(test::DumpTree(world.registry(), kGame), stored);
}

void ToolUiTest::aStartFinishesAnInterruptedCommitFirst() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    // An OK that was killed after its new tree was staged and marked whole.
    world.registry().SetString(kUser, StagingKeyPath("Game") + "\\Tree\\GPU", "GPUlib", "gpuOther.dll");
    world.registry().SetDword(kUser, StagingKeyPath("Game"), "Ready", 1);
    // And one killed before its mark, for another configuration.
    world.registry().SetString(kUser, StagingKeyPath("Half") + "\\Tree\\GPU", "GPUlib", "gpuOther.dll");
    test::RecordingPrompter prompter;
    EditRun run;
    QCOMPARE(run.Run(world, prompter, {"/pt", "Game", "@0"},
                     [&](CKestrineToolDlg& dialog) {
                         // The finished commit is what was swapped in.
                         [&] { QCOMPARE(dialog.pluginLogic().rows()[RowOf(dialog, 0, "gpuOther.dll")].mark, 1); }();
                         dialog.OnCancel();
                         return 0;
                     }),
             0);
    QCOMPARE(world.registry().QueryString(kUser, kGame + "\\GPU", "GPUlib"), std::string("gpuOther.dll"));
    QVERIFY(!world.registry().KeyExists(kUser, kGame + "\\SPU"));
    QVERIFY(!world.registry().KeyExists(kUser, StagingKeyPath("Game")));
    QVERIFY(!world.registry().KeyExists(kUser, StagingKeyPath("Half")));
    QVERIFY(!world.registry().KeyExists(kUser, "Software\\Vision Thing\\KestrineCFG\\Half"));
}

// The real program, copied beside the emulator so it finds "C:\epsxe";
// its messages go to stderr instead of boxes nobody could close.
struct RealTool {
    std::string program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    explicit RealTool(test::ToolUiWorld& world)
        : program(world.workspace().host() + "/" + std::filesystem::path(KESTRINETOOL_PATH).filename().string()) {
        if (!std::filesystem::exists(program)) std::filesystem::copy_file(KESTRINETOOL_PATH, program);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("DRAVOLO_TOOL_MESSAGES"), QStringLiteral("stderr"));
    }
    void Start(QProcess& process, const QStringList& args) const {
        process.setProcessEnvironment(environment);
        process.start(QString::fromStdString(program), args);
    }
};

void ToolUiTest::oneEditAtATimeWhileReportsRunBeside() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    world.registry().SetString(kUser, "Software\\Vision Thing\\KestrineCFG\\Other\\GPU", "GPUlib", "gpuOther.dll");
    world.registry().SetString(kUser, kActive + "\\GPU", "GPUlib", "none.dll");
    const RealTool tool(world);

    // The first edit: a real tool that stays open.
    QProcess first;
    tool.Start(first, {"/pt", "Game", "@0"});
    QVERIFY(first.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(world.registry().QueryString(kUser, kActive + "\\GPU", "GPUlib"),
                              std::optional<std::string>("gpuTest.dll"), 30000);
    const std::string active = test::DumpTree(world.registry(), kActive);

    // A second real edit is refused before it touches anything, and says why.
    QProcess second;
    tool.Start(second, {"/pt", "Other", "@4660"});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 1);
    // (Qt may add warnings of its own around it; Windows ends the line with CR LF.)
    const QByteArray told = second.readAllStandardError().replace("\r\n", "\n");
    QVERIFY2(told.contains("Change ePSXe configuration: Another configuration is being edited. Close that KestrineTool "
                           "window before editing another configuration.\n"),
             told.constData());
    QCOMPARE(test::DumpTree(world.registry(), kActive), active);
    // The same start in this process: the caller gets its window back.
    test::RecordingPrompter prompter;
    EditRun run;
    QCOMPARE(run.Run(world, prompter, {"/pt", "Other", "@4660"}), 1);
    QCOMPARE(prompter.messages.size(), std::size_t{1});
    QCOMPARE(run.enabled, std::vector<std::uintptr_t>{4660});
    QCOMPARE(test::DumpTree(world.registry(), kActive), active);

    // A report runs beside it.
    const test::PipeRun report = test::RunWithReportPipe(tool.program, {"/pt", "Other", "#{pipe};512"});
    QCOMPARE(report.exitCode, 0);
    QCOMPARE(report.written.size(), std::size_t{4096});

    // Once the first one is gone, however it went, the next edit may start.
    first.kill();
    QVERIFY(first.waitForFinished(30000));
    QProcess next;
    tool.Start(next, {"/pt", "Other", "@0!9"});
    QVERIFY(next.waitForFinished(30000));
    QCOMPARE(next.exitCode(), 0);
    QVERIFY(!next.readAllStandardError().contains("Change ePSXe configuration:"));
    QCOMPARE(world.registry().QueryString(kUser, kActive + "\\GPU", "GPUlib"), std::string("gpuOther.dll"));
}

void ToolUiTest::windowlessActionKeepsTheCheatChoiceOfAGameAfterADamagedOne() {
    test::ToolUiWorld world(false);
    world.StoreGame();
    // "Racer" has no "**"; the chosen game comes after it.
    const std::string codes =
        "\r\n*SLUS_000.01|Racer\r\n-Time\r\n80010000 0063\r\n--\r\n"
        "\r\n*SLUS_000.02|Fighter\r\n-Power\r\n80030000 0001\r\n--\r\n**\r\n";
    std::filesystem::create_directories(world.workspace().host() + "/Cheats");
    std::ofstream(world.workspace().host() + "/Cheats/Codes.txt", std::ios::binary) << codes;
    const std::string choice = "SLUS_000.02|Fighter\r\n*Power\r\n80030000\t0001\r\n";
    Bytes value(choice.begin(), choice.end());
    value.push_back(0);
    world.registry().SetValue(kUser, kGame + "\\Kestrine", "Cheats", kRegBinary, value);
    const RealTool tool(world);
    QProcess run;
    tool.Start(run, {"/pt", "Game", "@0!9"});
    QVERIFY(run.waitForFinished(30000));
    QCOMPARE(run.exitCode(), 0);
    const auto stored = world.registry().QueryValue(kUser, kGame + "\\Kestrine", "Cheats");
    QVERIFY(stored);
    QCOMPARE(stored->data, value);
    // Nothing changed, so nothing was written: the file is as it was.
    std::ifstream in(world.workspace().host() + "/Cheats/Codes.txt", std::ios::binary);
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), codes);
}

QTEST_MAIN(ToolUiTest)
#include "tool_ui_test.moc"
