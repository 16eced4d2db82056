// The main window, the profile list and the two dialogs on the offscreen
// platform, against real profile files in a temporary prefix.

#include <QAction>
#include <QFile>
#include <QListView>
#include <QComboBox>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QDir>
#include <QFileDialog>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QAbstractItemModel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/platform/library.h"
#include "common/platform/profile_ini.h"
#include "common/platform/winfs.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/app/frame_hooks_install.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/shell/CDravolo7View.h"
#include "frontend/shell/CMainFrame.h"
#include "frontend/shell/CProfilePropertiesDlg.h"
#include "frontend/shell/CSettingsDlg.h"
#include "frontend/widgets/qt_file_filter.h"
#include "tests/shell_ui/ui_workspace.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/portable_env.h"
#include "tests/support/recording_prompter.h"

using namespace dravolo;
using namespace dravolo::test;
using Command = CMainFrame::Command;
using Mode = CDravolo7View::DisplayMode;

namespace {

// The build's programs, made absolute while the build's folder is still the
// current one: each workspace makes its own folder current, and on Windows a
// path without a drive would then mean that folder's drive.
const QString kProgramPath = QString::fromStdU16String(std::filesystem::absolute(DRAVOLO_PROGRAM_PATH).u16string());
const std::string kFakeEmulatorPath = std::filesystem::absolute(FAKE_EMULATOR_PATH).string();
const std::string kTestPluginDir = std::filesystem::absolute(TEST_PLUGIN_DIR).string();

// Runs f on the modal dialog that the next exec() opens.
template <typename Dialog, typename F>
void OnModal(F f) {
    QTimer::singleShot(0, [f] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            // Unblock the caller; the test then fails on what it finds.
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            qWarning("expected dialog did not open");
            return;
        }
        f(dialog);
    });
}

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (QAction* a : actions) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QPoint RowCentre(CDravolo7View& view, int row) {
    // The icon list lays its items out from a timer.
    QTest::qWait(20);
    return view.activeItemView()->visualRect(view.model()->index(row, 0)).center();
}

void ClickRow(CDravolo7View& view, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view.activeItemView()->viewport(), Qt::LeftButton, modifiers, RowCentre(view, row));
}

void RightClickAt(CDravolo7View& view, QPoint pos) {
    QWidget* viewport = view.activeItemView()->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, pos);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, pos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
    QApplication::sendEvent(viewport, &event);
}

QPoint EmptySpot(CDravolo7View& view) {
    const QRect r = view.activeItemView()->viewport()->rect();
    return r.bottomRight() - QPoint(5, 5);
}

bool ProfileCommandsEnabled(CMainFrame& frame) {
    const bool d = frame.action(Command::DeleteProfile)->isEnabled();
    const bool c = frame.action(Command::ConfigureSettings)->isEnabled();
    const bool e = frame.action(Command::EditProfile)->isEnabled();
    if (d != c || c != e) qWarning("profile commands disagree");
    return d && c && e;
}

}  // namespace

class ShellUiTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithDefaultsWhenNothingIsStored();
    void appliesStoredSettingsAndKeepsModeForUnknownView();
    void pictureIndicesStartAtFiveOnEveryFill();
    void picturesBeyondTheFirstScreenFollow();
    void selectionEnablesProfileCommands();
    void emulatorBarSwitchesAndSkipsTheHighlightedOne();
    void deleteRemovesEverySelectedProfile();
    void deleteKeepsTheRowOfAProfileThatStays();
    void textsTheAnsiCodePageCannotHoldAreRefused();
    void newProfileFlows();
    void editProfileRenamesOrStaysOpen();
#ifndef _WIN32
    void editProfileFollowsTheFilesOwnPermission();
#endif
    void settingsDialogNormalisesAndAppliesAtOnce();
    void backgroundToggleNeedsAPicture();
    void placementBarsAndSwitchesSurviveARestart();
    void doubleClickStartsTheFirstSelectedProfile();
    void secondCopyEndsSilently();
    void configureSettingsOpensTheSheetAndApplyKeepsTheDescription();
    void memcardToolOpensTheCardOnlySheet();
    void rightClickOnEmptySpaceClearsTheSelectionAndKeysFollowTheCommands();
    void commandsFollowTheSelectionAfterEveryRefill();
    void readyStaysTheIdleStatusText();
    void keysReachTheCommandsAndTheMenusShowThem();
    void filterNarrowsByNameAndDescription();
    void detailsSortByHeaderAndRememberWidthsAndSort();
    void quickConfigureGivesFpsePluginsTheProgramsInstance();
    void choosersStartAtTheCurrentValue();
    void choosersAndTheBackgroundReachFoldersWithAnsiNames();
    void fileDialogsShowEachFilterOnceAndAllFilesMatchesEverything();
};

void ShellUiTest::startsWithDefaultsWhenNothingIsStored() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash", "Disc 1");
    ws.MakeProfile(EmulatorKind::Fpse, "Tekken");
    CMainFrame frame(*ws.context);
    CDravolo7View& view = *frame.view();

    QCOMPARE(frame.windowTitle(), QStringLiteral("Dravolo"));
    QVERIFY(view.currentEmulator() == EmulatorKind::Epsxe);
    QVERIFY(frame.highlightedEmulator() == EmulatorKind::Epsxe);
    QCOMPARE(view.displayMode(), Mode::LargeIcons);
    QVERIFY(frame.action(Command::LargeIcons)->isChecked());
    QVERIFY(!view.useBackground());
    QCOMPARE(view.textColor(), 0u);
    QVERIFY(view.hideConsoles());
    QVERIFY(frame.action(Command::NukeConsole)->isChecked());
    QCOMPARE(view.itemCount(), 1);
    QCOMPARE(view.itemName(0), std::string("Crash"));
    QCOMPARE(view.itemDescription(0), QStringLiteral("Disc 1"));
    QCOMPARE(view.imageIndex(0), 0);

    // Profile commands start disabled; commands without a handler show disabled.
    QVERIFY(!frame.profileCommandsEnabled());
    QVERIFY(!frame.action(Command::DeleteProfile)->isEnabled());
    QVERIFY(!frame.action(Command::ConfigureSettings)->isEnabled());
    QVERIFY(!frame.action(Command::EditProfile)->isEnabled());
    QVERIFY(frame.action(Command::NewProfile)->isEnabled());
    QVERIFY(frame.action(Command::CompatibilityInformation)->isEnabled());
    for (Command c : {Command::SavestateTool, Command::ImportKestrine, Command::ConfigurationWizard,
                      Command::DesktopShortcut, Command::IsoExtractor, Command::MemcardTool, Command::QuickGpu})
        QVERIFY(!frame.action(c)->isEnabled());

    // Menus, toolbar and emulator bar hold the commands in their order.
    const QList<QAction*> menus = frame.menuBar()->actions();
    QVERIFY(menus.size() >= 1);
    QCOMPARE(Texts(menus.front()->menu()->actions()),
             QStringList({"&Start Profile", "-", "&New Profile", "&Delete Profile", "&Configure Settings",
                          "&Quick Configure", "&Edit Profile", "-", "E&xit"}));
    QStringList all;
    for (QAction* m : menus)
        for (QAction* a : m->menu()->actions()) all << a->text();
    for (const char* text :
         {"&Customize Settings", "&Enable XP Style Menus", "&Use Background Bitmap", "Nuke ePSXe/FPSE Console",
          "&Toolbar", "&Status Bar", "&Emu Bar", "ISO Extractor", "Memcard Tool", "Savestate Tool",
          "Import Kestrine Settings", "Configuration Wizard", "Compatibility Information", "&About Dravolo..."})
        QVERIFY2(all.contains(QString::fromLatin1(text)), text);
    QCOMPARE(Texts(frame.toolBar()->actions()),
             QStringList({"&New Profile", "&Delete Profile", "&Configure Settings", "&Edit Profile", "-", "Large Icons",
                          "Small Icons", "Details", "-", "&About Dravolo..."}));
    QCOMPARE(frame.toolBar()->windowTitle(), QStringLiteral("Main Toolbar"));
    QStringList bar;
    for (int i = 0; i < frame.emulatorList()->count(); ++i) bar << frame.emulatorList()->item(i)->text();
    QCOMPARE(bar, QStringList({"Epsxe", "Fpse", "Psinex", "Adripsx", "Pcsx"}));

    // Details: two columns of 150 and 200 pixels.
    view.SetDisplayMode(Mode::Details);
    auto* details = qobject_cast<QTreeView*>(view.activeItemView());
    QVERIFY(details);
    QCOMPARE(view.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Profile Name"));
    QCOMPARE(view.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Description"));
    QCOMPARE(details->header()->sectionSize(0), 150);
    QCOMPARE(details->header()->sectionSize(1), 200);
    QVERIFY(frame.action(Command::Details)->isChecked());

    frame.close();
    QCOMPARE(ws.settings->GetInt("CurrentView", -9), 1);
    QCOMPARE(ws.settings->GetInt("CurrentEmulator", -9), 0);
    QCOMPARE(ws.settings->GetInt("NukeConsole", -9), 1);
    QCOMPARE(ws.settings->GetInt("UseBitmap", -9), 0);
    QCOMPARE(ws.settings->GetInt("XPMenu", -9), 0);
    QCOMPARE(ws.settings->GetInt("showCmd", -9), 1);
    QVERIFY(ws.settings->GetInt("x2", -1) > ws.settings->GetInt("x1", -1));
}

void ShellUiTest::appliesStoredSettingsAndKeepsModeForUnknownView() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Fpse, "Tekken");
    ws.Write("back.bmp", SolidBmp(8, 8, 10, 20, 30));
    ws.settings->SetInt("CurrentEmulator", 1);
    ws.settings->SetInt("CurrentView", 2);
    ws.settings->SetInt("TextColor", 0x0000FF);
    ws.settings->SetInt("NukeConsole", 0);
    ws.settings->SetInt("UseBitmap", 1);
    ws.settings->SetInt("TileBitmap", 1);
    ws.settings->SetString("Background", ".\\back.bmp");
    {
        CMainFrame frame(*ws.context);
        CDravolo7View& view = *frame.view();
        QVERIFY(view.currentEmulator() == EmulatorKind::Fpse);
        QVERIFY(frame.highlightedEmulator() == EmulatorKind::Fpse);
        QCOMPARE(view.itemName(0), std::string("Tekken"));
        QCOMPARE(view.imageIndex(0), 1);  // FPSE's icon
        QCOMPARE(view.displayMode(), Mode::SmallIcons);
        QCOMPARE(view.textColor(), 0x0000FFu);
        QCOMPARE(view.activeItemView()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QVERIFY(!view.hideConsoles());
        QVERIFY(view.useBackground());
        QVERIFY(view.tileBackground());
        QVERIFY(view.hasBackgroundPicture());
        QVERIFY(frame.action(Command::UseBackground)->isChecked());
    }
    for (int unknown : {3, 7, -1}) {
        ws.settings->SetInt("CurrentView", unknown);
        CMainFrame frame(*ws.context);
        QCOMPARE(frame.view()->displayMode(), Mode::LargeIcons);
    }
    // An emulator number outside 0-4 lists nothing and highlights nothing.
    ws.settings->SetInt("CurrentEmulator", 9);
    CMainFrame frame(*ws.context);
    QCOMPARE(frame.view()->itemCount(), 0);
    QVERIFY(!frame.highlightedEmulator());
}

void ShellUiTest::pictureIndicesStartAtFiveOnEveryFill() {
    UiWorkspace ws;
    for (int i = 0; i < 15; ++i) {
        const std::string n = std::to_string(i + 10);
        ws.Write("pics/p" + n + ".bmp", SolidBmp(40, 40, static_cast<std::uint8_t>(i * 10), 0, 0));
        ws.MakeProfile(EmulatorKind::Pcsx, "Game " + n, "Description " + n, ".\\pics\\p" + n + ".bmp");
    }
    // 256 colours at 8 bits, but the file ends before its length field says.
    ByteWriter w;
    w.Raw("BM");
    w.U32(14 + 40 + 1024 + 256);
    w.U32(0);
    w.U32(14 + 40 + 1024);
    w.U32(40);
    w.I32(16);
    w.I32(16);
    w.U16(1);
    w.U16(8);
    for (int i = 0; i < 4; ++i) w.U32(0);
    w.U32(256);
    w.U32(0);
    Bytes shortFile = w.take();
    shortFile.resize(shortFile.size() + 1024 + 156, 0x11);
    ws.Write("pics/short.bmp", shortFile);
    ws.MakeProfile(EmulatorKind::Pcsx, "Zz Short", " ", ".\\pics\\short.bmp");
    ws.MakeProfile(EmulatorKind::Pcsx, "Zz Missing", " ", ".\\pics\\none.bmp");
    ws.settings->SetInt("CurrentEmulator", 4);

    CMainFrame frame(*ws.context);
    CDravolo7View& view = *frame.view();
    QCOMPARE(view.itemCount(), 17);
    for (int row = 0; row < 15; ++row) QCOMPARE(view.imageIndex(row), 5 + row);
    QCOMPARE(view.imageIndex(15), 4);  // PCSX's icon for the damaged picture
    QCOMPARE(view.imageIndex(16), 4);
    QCOMPARE(view.imageCount(), 20);
    QCOMPARE(view.itemDescription(3), QStringLiteral("Description 13"));

    view.Refill();
    QCOMPARE(view.imageCount(), 20);
    QCOMPARE(view.nextImageIndex(), 20);
    QCOMPARE(view.imageIndex(0), 5);
    QCOMPARE(view.imageIndex(14), 19);
    QVERIFY(ws.prompter.messages.empty());
}

void ShellUiTest::picturesBeyondTheFirstScreenFollow() {
    UiWorkspace ws;
    ws.Write("pics/p.bmp", SolidBmp(4, 4, 1, 2, 3));
    const int count = CDravolo7View::kPicturesBeforeShowing + 2 * CDravolo7View::kPicturesPerStep + 10;
    char name[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "G%04d", i);
        // Every third profile has no picture.
        ws.MakeProfile(EmulatorKind::Epsxe, name, " ", i % 3 == 2 ? " " : ".\\pics\\p.bmp");
    }
    auto expected = [](int row) { return row % 3 == 2 ? 0 : 5 + row - row / 3; };
    CMainFrame frame(*ws.context);
    CDravolo7View& view = *frame.view();
    QVERIFY(view.picturesPending());
    QCOMPARE(view.imageIndex(10), expected(10));
    QCOMPARE(view.imageIndex(count - 1), 0);  // not read yet
    QTRY_VERIFY(!view.picturesPending());
    for (int row = 0; row < count; ++row) QCOMPARE(view.imageIndex(row), expected(row));

    // A refill while pictures are still coming starts over; deleting reads
    // the rest first so no picture lands on the wrong row.
    view.Refill();
    QVERIFY(view.picturesPending());
    view.activeItemView()->selectionModel()->select(view.model()->index(0, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ws.prompter.answers = {PromptAnswer::Yes};
    view.DeleteProfile();
    QVERIFY(!view.picturesPending());
    QCOMPARE(view.itemCount(), count - 1);
    QCOMPARE(view.imageIndex(count - 2), expected(count - 1));
}

void ShellUiTest::selectionEnablesProfileCommands() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash");
    ws.MakeProfile(EmulatorKind::Epsxe, "Spyro");
    CMainFrame frame(*ws.context);
    frame.resize(700, 500);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();

    for (Mode mode : {Mode::LargeIcons, Mode::Details}) {
        view.SetDisplayMode(mode);
        QApplication::processEvents();
        ClickRow(view, 1);
        QVERIFY(ProfileCommandsEnabled(frame));
        QCOMPARE(view.selectedIndex(), 1);
        QTest::mouseClick(view.activeItemView()->viewport(), Qt::LeftButton, {}, EmptySpot(view));
        QVERIFY(!frame.profileCommandsEnabled());
        QVERIFY(!frame.action(Command::EditProfile)->isEnabled());
        QCOMPARE(view.selectedIndex(), -1);
        ClickRow(view, 0);
        QVERIFY(ProfileCommandsEnabled(frame));

        // Right-click on empty space: off in toolbar, menu and popup alike.
        RightClickAt(view, EmptySpot(view));
        QVERIFY(!frame.action(Command::DeleteProfile)->isEnabled());
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(Texts(popup->actions()),
                 QStringList({"&New Profile", "&Delete Profile", "&Configure Settings", "&Quick Configure",
                              "Configuration Wizard", "Desktop Shortcut", "&Edit Profile"}));
        for (QAction* a : popup->actions()) {
            const bool shouldBeOn = a->text() == QStringLiteral("&New Profile");
            QCOMPARE(a->isEnabled(), shouldBeOn);
        }
        popup->close();
        // Right-click on a profile: on again, and the popup offers them.
        RightClickAt(view, RowCentre(view, 1));
        QVERIFY(ProfileCommandsEnabled(frame));
        QCOMPARE(view.selectedIndex(), 1);
        popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        popup->close();
    }
    // Several items at once; the first selected one counts.
    view.SetDisplayMode(Mode::Details);
    ClickRow(view, 1);
    ClickRow(view, 0, Qt::ControlModifier);
    QCOMPARE(view.selectedRows(), (std::vector<int>{0, 1}));
    QCOMPARE(view.selectedIndex(), 0);
}

void ShellUiTest::emulatorBarSwitchesAndSkipsTheHighlightedOne() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash");
    ws.MakeProfile(EmulatorKind::Psinex, "Ridge Racer");
    ws.MakeProfile(EmulatorKind::Psinex, "Silent Hill");
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    const int fills = view.fillCount();

    // The highlighted emulator again: the list is not refilled.
    QListWidget* bar = frame.emulatorList();
    QTest::mouseClick(bar->viewport(), Qt::LeftButton, {}, bar->visualItemRect(bar->item(0)).center());
    view.SwitchEmulator(EmulatorKind::Epsxe);
    QCOMPARE(view.fillCount(), fills);

    QTest::mouseClick(bar->viewport(), Qt::LeftButton, {}, bar->visualItemRect(bar->item(2)).center());
    QVERIFY(frame.highlightedEmulator() == EmulatorKind::Psinex);
    QVERIFY(view.currentEmulator() == EmulatorKind::Psinex);
    QCOMPARE(view.itemCount(), 2);
    QCOMPARE(view.itemName(1), std::string("Silent Hill"));
    QCOMPARE(view.imageIndex(1), 2);
    // A click below the items keeps the highlighted emulator.
    QTest::mouseClick(bar->viewport(), Qt::LeftButton, {}, bar->viewport()->rect().bottomLeft() + QPoint(5, -5));
    QCOMPARE(bar->selectedItems().size(), 1);
    QCOMPARE(bar->row(bar->selectedItems().front()), 2);
    frame.close();
    QCOMPARE(ws.settings->GetInt("CurrentEmulator", -1), 2);
}

void ShellUiTest::deleteRemovesEverySelectedProfile() {
    UiWorkspace ws;
    for (const char* name : {"A", "B", "C", "D"}) ws.MakeProfile(EmulatorKind::Epsxe, name);
    ws.Write("Epsxe/B.gpu", {1});
    ws.Write("Epsxe/B.ini", {2});
    ws.Write("Epsxe/D.pad", {3});
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    ClickRow(view, 0);
    ClickRow(view, 1, Qt::ControlModifier);
    ClickRow(view, 3, Qt::ControlModifier);

    QTest::keyClick(view.activeItemView(), Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(ws.prompter.messages.empty());  // only the plain key deletes

    ws.prompter.answers = {PromptAnswer::No};
    QTest::keyClick(view.activeItemView(), Qt::Key_Delete);
    QCOMPARE(ws.prompter.messages.size(), size_t(1));
    const auto& ask = ws.prompter.messages[0];
    QCOMPARE(ask.text, std::string("Delete Selected Configuration?"));
    QCOMPARE(ask.caption, std::string("Delete Config"));
    QVERIFY(ask.icon == PromptIcon::Question);
    QVERIFY(ask.buttons == PromptButtons::YesNo);
    QVERIFY(ask.defaultAnswer == PromptAnswer::No);
    QCOMPARE(view.itemCount(), 4);
    QVERIFY(ws.Exists("Epsxe/A.set"));

    ws.prompter.answers = {PromptAnswer::Yes};
    frame.action(Command::DeleteProfile)->trigger();
    QCOMPARE(view.itemCount(), 1);
    QCOMPARE(view.itemName(0), std::string("C"));
    for (const char* gone : {"Epsxe/A.set", "Epsxe/B.set", "Epsxe/B.gpu", "Epsxe/B.ini", "Epsxe/D.set", "Epsxe/D.pad"})
        QVERIFY2(!ws.Exists(gone), gone);
    QVERIFY(ws.Exists("Epsxe/C.set"));
    QCOMPARE(ws.prompter.messages.size(), size_t(2));  // missing side files say nothing
    QVERIFY(!frame.profileCommandsEnabled());
}

// "con.set" can exist on Linux; a name Windows refuses is never deleted,
// and its row stays with it.
void ShellUiTest::deleteKeepsTheRowOfAProfileThatStays() {
#ifdef _WIN32
    QSKIP("Windows itself keeps a file named con.set from being made");
#endif
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "A");
    ws.Write("Epsxe/con.set", {2});
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    QCOMPARE(view.itemCount(), 2);
    ClickRow(view, 0);
    ClickRow(view, 1, Qt::ControlModifier);
    ws.prompter.messages.clear();  // the fill's word on con.set, not a profile's record
    ws.prompter.answers = {PromptAnswer::Yes};
    frame.action(Command::DeleteProfile)->trigger();
    QVERIFY(!ws.Exists("Epsxe/A.set"));
    QVERIFY(ws.Exists("Epsxe/con.set"));
    QCOMPARE(view.itemCount(), 1);
    QCOMPARE(view.itemName(0), std::string("con"));
    QCOMPARE(ws.prompter.messages.size(), size_t(2));
    QCOMPARE(ws.prompter.messages[1].caption, std::string(kBadNameCaption));
}

// A character the ANSI code page has no room for would be stored as '?':
// the dialog names it and stays open.
void ShellUiTest::textsTheAnsiCodePageCannotHoldAreRefused() {
    UiWorkspace ws;
    CMainFrame frame(*ws.context);
    CDravolo7View& view = *frame.view();
    std::vector<bool> stayedOpen;
    OnModal<CProfilePropertiesDlg>([&stayedOpen](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QString::fromUtf8("ファイナル"));
        d->accept();
        stayedOpen.push_back(d->isVisible());
        d->nameEdit()->setText(QStringLiteral("Final"));
        d->descriptionEdit()->setText(QString::fromUtf8("Final ファイナル"));
        d->configureButton()->click();
        stayedOpen.push_back(d->isVisible());
        d->descriptionEdit()->setText(QString::fromUtf8("Final Fantasy VII – Disc 1"));
        d->accept();
    });
    view.NewProfile();
    QCOMPARE(stayedOpen, (std::vector<bool>{true, true}));
    QCOMPARE(ws.prompter.messages.size(), size_t(2));
    QVERIFY(ws.prompter.messages[0].text.find("U+30D5") != std::string::npos);
    QVERIFY(ws.prompter.messages[0].text.find("name") != std::string::npos);
    QVERIFY(ws.prompter.messages[1].text.find("description") != std::string::npos);
    QVERIFY(ws.Exists("Epsxe/Final.set"));
    QCOMPARE(view.itemCount(), 1);
    QCOMPARE(view.itemDescription(0), QString::fromUtf8("Final Fantasy VII – Disc 1"));  // the dash is ANSI
}

void ShellUiTest::newProfileFlows() {
    UiWorkspace ws;
    CMainFrame frame(*ws.context);
    CDravolo7View& view = *frame.view();

    OnModal<CProfilePropertiesDlg>([](CProfilePropertiesDlg* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Profile Properties"));
        QVERIFY(d->configureButton()->isDefault());
        QVERIFY(d->findChild<QGroupBox*>()->title() == QStringLiteral("Configure Properties"));
        d->nameEdit()->setText(QStringLiteral("  Crash  "));
        d->descriptionEdit()->setText(QStringLiteral("Disc 1"));
        d->accept();
    });
    frame.action(Command::NewProfile)->trigger();
    QVERIFY(ws.Exists("Epsxe/Crash.set"));
    QCOMPARE(view.itemCount(), 1);
    QCOMPARE(view.itemName(0), std::string("Crash"));
    QCOMPARE(view.itemDescription(0), QStringLiteral("Disc 1"));
    QVERIFY(!view.dialogOpen());

    // An all-space name creates nothing and says nothing.
    OnModal<CProfilePropertiesDlg>([](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QStringLiteral("   "));
        d->accept();
    });
    view.NewProfile();
    QCOMPARE(view.itemCount(), 1);
    QVERIFY(ws.prompter.messages.empty());

    // The name of an existing profile: the creation error, the file untouched.
    const std::string before = ReadHost(ws.workdir + "/Epsxe/Crash.set");
    OnModal<CProfilePropertiesDlg>([](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QStringLiteral("Crash"));
        d->accept();
    });
    view.NewProfile();
    QCOMPARE(ws.prompter.messages.size(), size_t(1));
    QCOMPARE(ws.prompter.messages[0].text, std::string("Error creating new profile.\nCheck if profile exists."));
    QCOMPARE(ws.prompter.messages[0].caption, std::string("File Creation Error"));
    QVERIFY(ws.prompter.messages[0].icon == PromptIcon::Stop);
    QCOMPARE(ReadHost(ws.workdir + "/Epsxe/Crash.set"), before);

    // "Configure Game Options" creates the profile; Cancel keeps it.
    bool openWhileConfiguring = false;
    OnModal<CProfilePropertiesDlg>([&openWhileConfiguring, &view](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QStringLiteral("Spyro"));
        d->configureButton()->click();
        openWhileConfiguring = d->isVisible() && view.dialogOpen();
        d->reject();
    });
    view.NewProfile();
    QVERIFY(openWhileConfiguring);
    QVERIFY(ws.Exists("Epsxe/Spyro.set"));
    QCOMPARE(view.currentProfilePath(), std::string(".\\Epsxe\\Spyro.set"));
    QCOMPARE(view.itemCount(), 2);

    // A name Windows forbids: told, and the dialog stays open for a fix.
    bool stayedOpen = false;
    OnModal<CProfilePropertiesDlg>([&stayedOpen](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QStringLiteral("Tekken: 3"));
        d->accept();
        stayedOpen = d->isVisible();
        d->nameEdit()->setText(QStringLiteral("Tekken 3"));
        d->accept();
    });
    view.NewProfile();
    QVERIFY(stayedOpen);
    QCOMPARE(ws.prompter.messages.back().caption, std::string(kBadNameCaption));
    QVERIFY(ws.Exists("Epsxe/Tekken 3.set"));
}

void ShellUiTest::editProfileRenamesOrStaysOpen() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "A", "old");
    ws.MakeProfile(EmulatorKind::Epsxe, "B");
    ws.Write("Epsxe/A.gpu", {1});
    ws.Write("Epsxe/A.ini", {2});
    ws.Write("Epsxe/B.gpu", {9});
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    ClickRow(view, 0);

    bool stayedOpen = false;
    OnModal<CProfilePropertiesDlg>([&stayedOpen](CProfilePropertiesDlg* d) {
        QCOMPARE(d->nameEdit()->text(), QStringLiteral("A"));
        QCOMPARE(d->descriptionEdit()->text(), QStringLiteral("old"));
        d->nameEdit()->setText(QStringLiteral("B"));
        d->accept();
        stayedOpen = d->isVisible();
        d->nameEdit()->setText(QStringLiteral(" C "));
        d->descriptionEdit()->setText(QStringLiteral("new"));
        d->accept();
    });
    frame.action(Command::EditProfile)->trigger();
    QVERIFY(stayedOpen);
    for (const char* moved : {"Epsxe/C.set", "Epsxe/C.gpu", "Epsxe/C.ini", "Epsxe/B.set", "Epsxe/B.gpu"})
        QVERIFY2(ws.Exists(moved), moved);
    for (const char* gone : {"Epsxe/A.set", "Epsxe/A.gpu", "Epsxe/A.ini"}) QVERIFY2(!ws.Exists(gone), gone);
    QCOMPARE(ReadHost(ws.workdir + "/Epsxe/B.gpu"), std::string("\x09"));
    QCOMPARE(view.itemCount(), 2);
    QCOMPARE(view.itemName(1), std::string("C"));
    QCOMPARE(view.itemDescription(1), QStringLiteral("new"));

    // Nothing selected: Edit does nothing.
    view.activeItemView()->clearSelection();
    view.EditProfile();
    QVERIFY(ws.prompter.messages.empty());
}

#ifndef _WIN32
// Edit Profile on a read-only profile says "Cannot Save to File." and leaves
// the file; a writable profile in a folder where nothing can be created is
// written in place.
void ShellUiTest::editProfileFollowsTheFilesOwnPermission() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "A", "old");
    const std::string file = ws.workdir + "/Epsxe/A.set";
    const std::string before = ReadHost(file);
    QCOMPARE(chmod(file.c_str(), 0444), 0);
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    auto editDescription = [&](const QString& text) {
        ClickRow(view, 0);
        OnModal<CProfilePropertiesDlg>([text](CProfilePropertiesDlg* d) {
            d->descriptionEdit()->setText(text);
            d->accept();
            if (d->isVisible()) d->reject();
        });
        test::ActAsOrdinaryUser user(ws.root);
        frame.action(Command::EditProfile)->trigger();
    };

    editDescription(QStringLiteral("refused"));
    QVERIFY(ReadHost(file) == before);
    QCOMPARE(ws.prompter.messages.size(), size_t(1));
    QCOMPARE(ws.prompter.messages[0].text, std::string("Cannot Save to File."));
    QCOMPARE(ws.prompter.messages[0].caption, std::string("File Save Error"));

    ws.prompter.messages.clear();
    QCOMPARE(chmod(file.c_str(), 0644), 0);
    QCOMPARE(chmod((ws.workdir + "/Epsxe").c_str(), 0555), 0);
    editDescription(QStringLiteral("in place"));
    chmod((ws.workdir + "/Epsxe").c_str(), 0755);
    QVERIFY(ws.prompter.messages.empty());
    view.Refill();
    QCOMPARE(view.itemDescription(0), QStringLiteral("in place"));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(ws.workdir + "/Epsxe"),
                           std::filesystem::directory_iterator{}),
             1);
}
#endif

void ShellUiTest::settingsDialogNormalisesAndAppliesAtOnce() {
    UiWorkspace ws;
    ws.Write(ws.driveC + "/pics/one.bmp", SolidBmp(8, 8, 200, 0, 0));
    ws.Write(ws.driveC + "/pics/two.bmp", SolidBmp(8, 8, 0, 200, 0));
    ws.settings->SetString("Background", "C:\\pics\\one.bmp");
    ws.settings->SetInt("UseBitmap", 1);
    CMainFrame frame(*ws.context);
    CDravolo7View& view = *frame.view();
    QVERIFY(view.useBackground());
    QVERIFY(!view.tileBackground());

    // Colour chosen, then Cancel: on screen, not stored.
    ws.choosers.colour = QColor(0x11, 0x22, 0x33);
    OnModal<CSettingsDlg>([](CSettingsDlg* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Settings"));
        d->textColorButton()->click();
        d->reject();
    });
    frame.action(Command::CustomizeSettings)->trigger();
    QCOMPARE(view.textColor(), 0x00332211u);
    QCOMPARE(ws.settings->GetInt("TextColor", -1), -1);  // nothing stored

    ws.choosers.file = QString::fromStdString(ws.driveC + "/pics/two.bmp");
    ws.choosers.folder = QString::fromStdString(ws.driveC + "/games/psinex");
    ScriptedChoosers* choosers = &ws.choosers;
    OnModal<CSettingsDlg>([choosers](CSettingsDlg* d) {
        QCOMPARE(d->pathEdit(EmulatorKind::Fpse)->text(), QStringLiteral("c:\\fpse\\"));
        QCOMPARE(d->programEdit(EmulatorKind::Psinex)->text(), QStringLiteral("psinex pc emulator.exe"));
        d->pathEdit(EmulatorKind::Fpse)->clear();
        d->pathEdit(EmulatorKind::Epsxe)->setText(QStringLiteral("d:\\games\\epsxe"));
        d->pathEdit(EmulatorKind::Adripsx)->setText(QStringLiteral("d:\\adri\\"));
        d->programEdit(EmulatorKind::Pcsx)->setText(QStringLiteral("   "));
        d->programEdit(EmulatorKind::Epsxe)->setText(QStringLiteral("  epsxe170.exe "));
        d->pathSelect(EmulatorKind::Psinex)->click();
        QCOMPARE(choosers->lastTitle, QStringLiteral("Select a Directory"));
        QCOMPARE(d->pathEdit(EmulatorKind::Psinex)->text(), QStringLiteral("C:\\games\\psinex"));
        d->backgroundSelect()->click();
        QVERIFY(choosers->lastFilter.startsWith(QStringLiteral("Bitmap File (*.bmp, *.jpg, *.gif)")));
        QCOMPARE(d->backgroundEdit()->text(), QStringLiteral("C:\\pics\\two.bmp"));
        choosers->file = QStringLiteral("/somewhere/else/fpse 0.10.exe");
        d->programSelect(EmulatorKind::Fpse)->click();
        QVERIFY(choosers->lastFilter.startsWith(QStringLiteral("Executable File (*.exe)")));
        QCOMPARE(d->programEdit(EmulatorKind::Fpse)->text(), QStringLiteral("fpse 0.10.exe"));
        d->tileCheck()->setChecked(true);
        d->accept();
    });
    frame.action(Command::CustomizeSettings)->trigger();
    QCOMPARE(ws.settings->GetString("FpsePath", ""), std::string("c:\\fpse\\"));
    QCOMPARE(ws.settings->GetString("EpsxePath", ""), std::string("d:\\games\\epsxe\\"));
    QCOMPARE(ws.settings->GetString("AdripsxPath", ""), std::string("d:\\adri\\"));
    QCOMPARE(ws.settings->GetString("PsinexPath", ""), std::string("C:\\games\\psinex\\"));
    QCOMPARE(ws.settings->GetString("PcsxExe", ""), std::string("pcsx.exe"));
    QCOMPARE(ws.settings->GetString("EpsxeExe", ""), std::string("epsxe170.exe"));
    QCOMPARE(ws.settings->GetString("FpseExe", ""), std::string("fpse 0.10.exe"));
    QCOMPARE(ws.settings->GetString("Background", ""), std::string("C:\\pics\\two.bmp"));
    QCOMPARE(ws.settings->GetInt("TileBitmap", -1), 1);
    // The dialog started from the stored colour, and OK shows it at once.
    QCOMPARE(ws.settings->GetInt("TextColor", -1), 0);
    QCOMPARE(view.textColor(), 0u);
    // Shown tiled at once, from the new picture.
    QVERIFY(view.tileBackground());
    QVERIFY(view.hasBackgroundPicture());

    // With the background off, OK stores but shows no picture.
    frame.action(Command::UseBackground)->trigger();
    QVERIFY(!view.useBackground());
    OnModal<CSettingsDlg>([](CSettingsDlg* d) {
        d->tileCheck()->setChecked(false);
        d->accept();
    });
    frame.action(Command::CustomizeSettings)->trigger();
    QCOMPARE(ws.settings->GetInt("TileBitmap", -1), 0);
    QVERIFY(!view.useBackground());
    QVERIFY(!view.hasBackgroundPicture());
}

void ShellUiTest::backgroundToggleNeedsAPicture() {
    UiWorkspace ws;
    CMainFrame frame(*ws.context);
    QAction* toggle = frame.action(Command::UseBackground);
    toggle->trigger();
    QVERIFY(!frame.view()->useBackground());
    QVERIFY(!toggle->isChecked());
    frame.close();
    QCOMPARE(ws.settings->GetInt("UseBitmap", -1), 0);
}

void ShellUiTest::placementBarsAndSwitchesSurviveARestart() {
    UiWorkspace ws;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ws.settings->SetInt("flags", 0);
    ws.settings->SetInt("showCmd", 1);
    ws.settings->SetInt("x1", screen.width() + 500);
    ws.settings->SetInt("y1", screen.height() + 300);
    ws.settings->SetInt("x2", screen.width() + 900);
    ws.settings->SetInt("y2", screen.height() + 600);
    {
        CMainFrame frame(*ws.context);
        QVERIFY(frame.geometry().left() <= screen.width() - CMainFrame::kIconSize);
        QVERIFY(frame.geometry().top() <= screen.height() - CMainFrame::kIconSize);
        QCOMPARE(frame.geometry().width(), 400);
        frame.ShowAsPlaced();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        frame.action(Command::ToggleToolbar)->trigger();
        frame.action(Command::ToggleStatusBar)->trigger();
        frame.action(Command::ToggleEmuBar)->trigger();
        frame.action(Command::XpMenus)->trigger();
        frame.action(Command::NukeConsole)->trigger();
        // Written at once, not only at close.
        QCOMPARE(ws.settings->GetInt("NukeConsole", -1), 0);
        QVERIFY(!frame.action(Command::NukeConsole)->isChecked());
        frame.close();
    }
    CMainFrame again(*ws.context);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QVERIFY(again.toolBar()->isHidden());
    QVERIFY(again.statusBar()->isHidden());
    QVERIFY(again.emulatorBar()->isHidden());
    QVERIFY(!again.action(Command::ToggleToolbar)->isChecked());
    QVERIFY(!again.action(Command::ToggleStatusBar)->isChecked());
    QVERIFY(!again.action(Command::ToggleEmuBar)->isChecked());
    QVERIFY(again.xpMenu());
    QVERIFY(again.action(Command::XpMenus)->isChecked());
    QVERIFY(!again.view()->hideConsoles());
    again.action(Command::ToggleEmuBar)->trigger();
    QVERIFY(!again.emulatorBar()->isHidden());
}

void ShellUiTest::doubleClickStartsTheFirstSelectedProfile() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash");
    ws.MakeProfile(EmulatorKind::Epsxe, "Spyro");
    for (const char* name : {"Crash", "Spyro"}) {
        RecordingPrompter quiet;
        // The launch refuses a profile without its three plugins.
        AnyProfileRecord record = MakeDefaultRecord(EmulatorKind::Epsxe, *ws.settings);
        QVERIFY(LoadAnyRecord(record, std::string(".\\Epsxe\\") + name + ".set", quiet));
        auto& epsxe = std::get<_EPSXEDATA>(record);
        epsxe.VideoPlugin = "gpuA.dll";
        epsxe.SoundPlugin = "spuA.dll";
        epsxe.CdromPlugin = "cdrA.dll";
        QVERIFY(SaveAnyRecord(record, std::string(".\\Epsxe\\") + name + ".set", quiet));
    }
    // A native stand-in for epsxe.exe that notes how it was started, in the
    // folder it is started in (the emulator's own).
    const std::string report = ws.driveC + "/epsxe/fake_emulator_report.txt";
    CopyFileReplacing(kFakeEmulatorPath, ws.driveC + "/epsxe/epsxe.exe");
    std::filesystem::permissions(ws.driveC + "/epsxe/epsxe.exe", std::filesystem::perms::owner_all);

    CMainFrame frame(*ws.context);
    frame.SetHooks(MakeFrameHooks(*ws.context));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    // Nothing selected: a double-click starts nothing and says nothing.
    QTest::mouseDClick(view.activeItemView()->viewport(), Qt::LeftButton, {}, EmptySpot(view));
    QTest::qWait(200);
    QVERIFY(!ws.Exists(report));
    QVERIFY(ws.prompter.messages.empty());

    ClickRow(view, 1);
    QTest::mouseDClick(view.activeItemView()->viewport(), Qt::LeftButton, {}, RowCentre(view, 1));
    QTRY_VERIFY_WITH_TIMEOUT(ws.Exists(report), 10000);
    QVERIFY2(ws.prompter.messages.empty(),
             ws.prompter.messages.empty() ? "" : ws.prompter.messages.front().text.c_str());
    QVERIFY(frame.action(Command::QuickGpu)->isEnabled());
}

void ShellUiTest::secondCopyEndsSilently() {
    UiWorkspace ws;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DRAVOLO_PREFIX"), QString::fromStdString(ws.prefix));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(ws.root));
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(QString::fromStdString(ws.workdir));
    }
    first.start(kProgramPath, {});
    QVERIFY(first.waitForStarted());
    // Wait until the first copy holds its guard (its window exists).
    QTest::qWait(1500);
    QCOMPARE(first.state(), QProcess::Running);
    second.start(kProgramPath, {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardOutput().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    if (!first.waitForFinished(5000)) first.kill();
    first.waitForFinished(5000);
}

QTEST_MAIN(ShellUiTest)
#include "shell_ui_test.moc"

// "Configure Settings" opens the selected profile's sheet; Apply stores what
// the pages show but never the description or picture.
void ShellUiTest::configureSettingsOpensTheSheetAndApplyKeepsTheDescription() {
    UiWorkspace ws;
    test::RecordingPrompter quiet;
    QVERIFY(CreateNewProfile(EmulatorKind::Pcsx, "Tekken", std::string("Arcade"), std::nullopt, ws.context->settings,
                             quiet));
    ws.context->settings.SetInt("CurrentEmulator", 4);
    CMainFrame frame(*ws.context);
    frame.SetHooks(MakeFrameHooks(*ws.context));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    ClickRow(view, 0);
    QVERIFY(frame.action(Command::ConfigureSettings)->isEnabled());

    QString caption;
    QStringList tabs;
    QTimer::singleShot(300, [&] {
        QWidget* sheet = QApplication::activeModalWidget();
        if (!sheet) return;
        caption = sheet->windowTitle();
        if (auto* tabWidget = sheet->findChild<QTabWidget*>())
            for (int i = 0; i < tabWidget->count(); ++i) tabs << tabWidget->tabText(i).trimmed();
        // The first radio of the CPU pair is "Compiler"; choose the interpreter.
        for (auto* radio : sheet->findChildren<QRadioButton*>())
            if (radio->text().startsWith(QStringLiteral("Interpreter"))) radio->setChecked(true);
        for (auto* button : sheet->findChildren<QPushButton*>())
            if (button->text().remove(QLatin1Char('&')) == QStringLiteral("Apply")) button->click();
        QMetaObject::invokeMethod(sheet, "reject", Qt::QueuedConnection);
    });
    frame.action(Command::ConfigureSettings)->trigger();
    QCOMPARE(caption, QStringLiteral("PCSX Options"));
    QCOMPARE(tabs.size(), 3);
    QCOMPARE(tabs.last(), QStringLiteral("MemCard Manager"));

    _PCSXDATA stored(ws.context->settings);
    QVERIFY(LoadProfileRecord(stored, ".\\Pcsx\\Tekken.set", quiet));
    QCOMPARE(stored.Cpu, 1);
    QCOMPARE(stored.Properties.Description, std::string("Arcade"));
}

// "Memcard Tool" opens the sheet with the memory-card page alone.
void ShellUiTest::memcardToolOpensTheCardOnlySheet() {
    UiWorkspace ws;
    CMainFrame frame(*ws.context);
    frame.SetHooks(MakeFrameHooks(*ws.context));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(frame.action(Command::MemcardTool)->isEnabled());
    QString caption;
    int tabCount = -1;
    QTimer::singleShot(300, [&] {
        QWidget* sheet = QApplication::activeModalWidget();
        if (!sheet) return;
        caption = sheet->windowTitle();
        if (auto* tabWidget = sheet->findChild<QTabWidget*>()) tabCount = tabWidget->count();
        QMetaObject::invokeMethod(sheet, "reject", Qt::QueuedConnection);
    });
    frame.action(Command::MemcardTool)->trigger();
    QCOMPARE(caption, QStringLiteral("Memcards Tool"));
    QCOMPARE(tabCount, 1);
}

// A right-click on empty space clears the selection as the Windows list does,
// so no key reaches a profile that no longer shows selected.
void ShellUiTest::rightClickOnEmptySpaceClearsTheSelectionAndKeysFollowTheCommands() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash");
    ws.MakeProfile(EmulatorKind::Epsxe, "Spyro");
    CMainFrame frame(*ws.context);
    frame.resize(700, 500);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    for (Mode mode : {Mode::LargeIcons, Mode::Details}) {
        view.SetDisplayMode(mode);
        QApplication::processEvents();
        ClickRow(view, 1);
        QVERIFY(ProfileCommandsEnabled(frame));
        // On X11 the menu opens on the press and takes the release.
        QWidget* viewport = view.activeItemView()->viewport();
        const QPoint empty = EmptySpot(view);
        QTest::mousePress(viewport, Qt::RightButton, {}, empty);
        QContextMenuEvent event(QContextMenuEvent::Mouse, empty, viewport->mapToGlobal(empty));
        QApplication::sendEvent(viewport, &event);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        popup->close();
        QVERIFY(view.selectedRows().empty());
        QVERIFY(!view.activeItemView()->selectionModel()->hasSelection());
        QVERIFY(!frame.action(Command::DeleteProfile)->isEnabled());
        view.activeItemView()->setFocus();
        QTest::keyClick(view.activeItemView(), Qt::Key_Delete);
        QTest::keyClick(view.activeItemView(), Qt::Key_F2);
        QVERIFY(ws.prompter.messages.empty());
        QCOMPARE(view.itemCount(), 2);
    }
}

// A refill (emulator switch, New, Edit, F5) leaves the commands as the
// selection that the list really has after it.
void ShellUiTest::commandsFollowTheSelectionAfterEveryRefill() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash");
    ws.MakeProfile(EmulatorKind::Epsxe, "Spyro");
    ws.MakeProfile(EmulatorKind::Fpse, "Tekken");
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    auto selectionAgrees = [&] {
        return ProfileCommandsEnabled(frame) == !view.selectedRows().empty() &&
               view.selectedIndex() == (view.selectedRows().empty() ? -1 : view.selectedRows().front());
    };

    // Another emulator: a new list with nothing selected.
    ClickRow(view, 0);
    QVERIFY(ProfileCommandsEnabled(frame));
    view.SwitchEmulator(EmulatorKind::Fpse);
    QVERIFY(view.selectedRows().empty());
    QVERIFY(!frame.profileCommandsEnabled());
    view.SwitchEmulator(EmulatorKind::Epsxe);

    // New Profile: the new profile is the selection.
    ClickRow(view, 1);
    OnModal<CProfilePropertiesDlg>([](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QStringLiteral("Ape Escape"));
        d->accept();
    });
    frame.action(Command::NewProfile)->trigger();
    QCOMPARE(view.itemCount(), 3);
    QCOMPARE(view.selectedRows(), std::vector<int>{0});
    QCOMPARE(view.itemName(0), std::string("Ape Escape"));
    QVERIFY(selectionAgrees());

    // A New Profile that is cancelled keeps the selection.
    OnModal<CProfilePropertiesDlg>([](CProfilePropertiesDlg* d) { d->reject(); });
    frame.action(Command::NewProfile)->trigger();
    QCOMPARE(view.selectedRows(), std::vector<int>{0});
    QVERIFY(selectionAgrees());

    // Edit Profile with a new name: the renamed profile stays selected.
    ClickRow(view, 1);
    OnModal<CProfilePropertiesDlg>([](CProfilePropertiesDlg* d) {
        d->nameEdit()->setText(QStringLiteral("Zz Crash"));
        d->accept();
    });
    frame.action(Command::EditProfile)->trigger();
    QCOMPARE(view.selectedRows(), std::vector<int>{2});
    QCOMPARE(view.itemName(2), std::string("Zz Crash"));
    QVERIFY(selectionAgrees());

    // A profile deleted behind our back: after a refill it is not selected.
    QVERIFY(std::filesystem::remove(ws.workdir + "/Epsxe/Zz Crash.set"));
    view.Refill();
    QVERIFY(view.selectedRows().empty());
    QVERIFY(selectionAgrees());
    QVERIFY(!frame.profileCommandsEnabled());
}

// Menus tell their commands nothing in the status line; "Ready" comes back.
void ShellUiTest::readyStaysTheIdleStatusText() {
    UiWorkspace ws;
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    QStatusTipEvent hover{QString()};
    QApplication::sendEvent(&frame, &hover);
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
    frame.statusBar()->showMessage(QStringLiteral("Working"));
    frame.statusBar()->clearMessage();
    QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Ready"));
}

namespace {

QStringList ShownNames(CDravolo7View& view) {
    QStringList names;
    for (int row = 0; row < view.itemCount(); ++row) names << QString::fromStdString(view.itemName(row));
    return names;
}

QStringList ShownInView(QAbstractItemView* view) {
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(); ++row) names << view->model()->index(row, 0).data().toString();
    return names;
}

}  // namespace

// Enter starts, F2 edits, Del deletes (asking first), Ctrl+N makes a new
// profile and F5 reads the folder again; each only while its command is on.
void ShellUiTest::keysReachTheCommandsAndTheMenusShowThem() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash");
    ws.MakeProfile(EmulatorKind::Epsxe, "Spyro");
    CMainFrame frame(*ws.context);
    int launches = 0;
    FrameHooks hooks;
    hooks.launch = [&launches](CDravolo7View&) { ++launches; };
    frame.SetHooks(hooks);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    QWidget* list = view.activeItemView();

    const std::pair<Command, const char*> keys[] = {{Command::StartProfile, "Enter"},
                                                    {Command::EditProfile, "F2"},
                                                    {Command::DeleteProfile, "Del"},
                                                    {Command::NewProfile, "Ctrl+N"},
                                                    {Command::Refresh, "F5"}};
    QStringList menuItems;
    for (QAction* menu : frame.menuBar()->actions())
        for (QAction* a : menu->menu()->actions()) menuItems << a->text();
    for (const auto& [command, key] : keys) {
        QCOMPARE(frame.action(command)->shortcut().toString(), QString::fromLatin1(key));
        QVERIFY2(menuItems.contains(frame.action(command)->text()), key);
    }

    // Nothing selected: the profile keys do nothing.
    list->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F2, Qt::Key_Delete}) QTest::keyClick(list, key);
    QCOMPARE(launches, 0);
    QVERIFY(ws.prompter.messages.empty());

    ClickRow(view, 1);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter);
    QCOMPARE(launches, 2);
    bool edited = false;
    OnModal<CProfilePropertiesDlg>([&edited](CProfilePropertiesDlg* d) {
        edited = d->nameEdit()->text() == QStringLiteral("Spyro");
        d->reject();
    });
    QTest::keyClick(list, Qt::Key_F2);
    QVERIFY(edited);
    // The window is active again once the dialog has gone, as on a desktop.
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    list->setFocus();
    ws.prompter.answers = {PromptAnswer::No};
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(ws.prompter.messages.size(), size_t(1));
    QCOMPARE(ws.prompter.messages[0].text, std::string("Delete Selected Configuration?"));
    QCOMPARE(view.itemCount(), 2);

    // In the filter field Delete and Enter edit the text, never a profile.
    view.filterEdit()->setFocus();
    QTest::keyClicks(view.filterEdit(), "S");
    QTest::keyClick(view.filterEdit(), Qt::Key_Left);
    QTest::keyClick(view.filterEdit(), Qt::Key_Delete);
    QCOMPARE(view.filterEdit()->text(), QString());
    QCOMPARE(ws.prompter.messages.size(), size_t(1));
    QCOMPARE(launches, 2);

    bool created = false;
    OnModal<CProfilePropertiesDlg>([&created](CProfilePropertiesDlg* d) {
        created = d->nameEdit()->text().isEmpty();
        d->reject();
    });
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(created);
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));

    // F5 finds a profile made by another program and keeps the selection.
    ClickRow(view, 1);
    ws.MakeProfile(EmulatorKind::Epsxe, "Ape Escape");
    QTest::keyClick(list, Qt::Key_F5);
    QCOMPARE(ShownNames(view), QStringList({"Ape Escape", "Crash", "Spyro"}));
    QCOMPARE(view.selectedRows(), std::vector<int>{2});
    QVERIFY(ProfileCommandsEnabled(frame));
}

// Typing narrows the list by name and description; the selection of the
// profiles still shown stays, and every command works on the profile shown.
void ShellUiTest::filterNarrowsByNameAndDescription() {
    UiWorkspace ws;
    ws.Write("pics/a.bmp", SolidBmp(4, 4, 200, 0, 0));
    ws.MakeProfile(EmulatorKind::Epsxe, "Crash Bandicoot", "Platformer");
    ws.MakeProfile(EmulatorKind::Epsxe, "Spyro", "Crash course", ".\\pics\\a.bmp");
    ws.MakeProfile(EmulatorKind::Epsxe, "Tekken 3", "Arcade");
    ws.MakeProfile(EmulatorKind::Fpse, "Crash Team Racing", "Kart");
    CMainFrame frame(*ws.context);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CDravolo7View& view = *frame.view();
    view.SetDisplayMode(Mode::Details);
    QLineEdit* filter = view.filterEdit();
    QVERIFY(filter->isVisible());
    QVERIFY(filter->mapTo(&view, QPoint(0, filter->height())).y() <= view.activeItemView()->mapTo(&view, QPoint()).y());

    ClickRow(view, 2);  // Tekken 3
    filter->setFocus();
    QTest::keyClicks(filter, "CRASH");
    QCOMPARE(ShownNames(view), QStringList({"Crash Bandicoot", "Spyro"}));
    QCOMPARE(view.imageIndex(1), 5);  // Spyro's picture stays with Spyro
    QVERIFY(view.selectedRows().empty());
    QVERIFY(!frame.profileCommandsEnabled());

    ClickRow(view, 1);
    filter->clear();
    QTest::keyClicks(filter, "s");
    QCOMPARE(ShownNames(view), QStringList({"Crash Bandicoot", "Spyro"}));  // "course", "Spyro"
    QCOMPARE(view.selectedRows(), std::vector<int>{1});
    QCOMPARE(view.selectedIndex(), 1);
    QVERIFY(ProfileCommandsEnabled(frame));
    QTest::keyClicks(filter, "pyro");
    QCOMPARE(ShownNames(view), QStringList({"Spyro"}));
    QCOMPARE(view.selectedIndex(), 0);

    // Delete works on the profile shown, whatever its place in the folder.
    ws.prompter.answers = {PromptAnswer::Yes};
    frame.action(Command::DeleteProfile)->trigger();
    QVERIFY(!ws.Exists("Epsxe/Spyro.set"));
    QVERIFY(ws.Exists("Epsxe/Tekken 3.set"));
    QCOMPARE(view.itemCount(), 0);
    QVERIFY(!frame.profileCommandsEnabled());

    // Escape clears the filter; Down goes to the list with its first profile.
    QTest::keyClick(filter, Qt::Key_Escape);
    QCOMPARE(filter->text(), QString());
    QCOMPARE(ShownNames(view), QStringList({"Crash Bandicoot", "Tekken 3"}));
    QTest::keyClick(filter, Qt::Key_Down);
    QVERIFY(view.activeItemView()->hasFocus());
    QCOMPARE(view.selectedRows(), std::vector<int>{0});

    // The filter holds for the next emulator's list too.
    view.SetFilter(QStringLiteral("kart"));
    view.SwitchEmulator(EmulatorKind::Fpse);
    QCOMPARE(ShownNames(view), QStringList({"Crash Team Racing"}));
    QCOMPARE(filter->text(), QStringLiteral("kart"));
}

// A click on a column header sorts by it, a second the other way; every
// display mode shows that order, and widths and sort come back next time.
void ShellUiTest::detailsSortByHeaderAndRememberWidthsAndSort() {
    UiWorkspace ws;
    ws.MakeProfile(EmulatorKind::Epsxe, "Alpha", "zeta");
    ws.MakeProfile(EmulatorKind::Epsxe, "beta", "Eta");
    ws.MakeProfile(EmulatorKind::Epsxe, "Gamma", "eta");
    {
        CMainFrame frame(*ws.context);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CDravolo7View& view = *frame.view();
        view.SetDisplayMode(Mode::Details);
        auto* details = qobject_cast<QTreeView*>(view.activeItemView());
        QHeaderView* header = details->header();
        auto clickHeader = [header](int section) {
            const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        };
        QCOMPARE(ShownNames(view), QStringList({"Alpha", "beta", "Gamma"}));
        ClickRow(view, 0);
        clickHeader(1);
        // Ignoring case; equal descriptions keep the folder's order.
        QCOMPARE(ShownNames(view), QStringList({"beta", "Gamma", "Alpha"}));
        QCOMPARE(view.selectedRows(), std::vector<int>{2});  // Alpha moved and stays selected
        QCOMPARE(view.selectedIndex(), 2);
        clickHeader(1);
        QCOMPARE(ShownNames(view), QStringList({"Alpha", "beta", "Gamma"}));
        clickHeader(0);
        clickHeader(0);
        QCOMPARE(ShownNames(view), QStringList({"Gamma", "beta", "Alpha"}));
        view.SetDisplayMode(Mode::SmallIcons);
        QCOMPARE(ShownInView(view.activeItemView()), QStringList({"Gamma", "beta", "Alpha"}));
        // A refill keeps the order.
        ws.MakeProfile(EmulatorKind::Epsxe, "Delta", "x");
        view.Refill();
        QCOMPARE(ShownNames(view), QStringList({"Gamma", "Delta", "beta", "Alpha"}));
        header->resizeSection(0, 222);
        header->resizeSection(1, 111);
        frame.close();
    }
    QCOMPARE(ws.settings->GetInt("NameColumnWidth", -1), 222);
    QCOMPARE(ws.settings->GetInt("DescriptionColumnWidth", -1), 111);
    QCOMPARE(ws.settings->GetInt("SortColumn", -9), 0);
    QCOMPARE(ws.settings->GetInt("SortOrder", -9), 1);
    {
        CMainFrame again(*ws.context);
        CDravolo7View& view = *again.view();
        QCOMPARE(ShownNames(view), QStringList({"Gamma", "Delta", "beta", "Alpha"}));
        auto* details = view.findChild<QTreeView*>();
        QVERIFY(details);
        QCOMPARE(details->header()->sectionSize(0), 222);
        QCOMPARE(details->header()->sectionSize(1), 111);
        QCOMPARE(details->header()->sortIndicatorSection(), 0);
        QCOMPARE(details->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    }
    // Widths that would lose a column, and an unknown sort, give the defaults.
    ws.settings->SetInt("NameColumnWidth", 0);
    ws.settings->SetInt("DescriptionColumnWidth", 99999);
    ws.settings->SetInt("SortColumn", 7);
    CMainFrame third(*ws.context);
    auto* details = third.view()->findChild<QTreeView*>();
    QCOMPARE(details->header()->sectionSize(0), 150);
    QCOMPARE(details->header()->sectionSize(1), 200);
    QCOMPARE(ShownNames(*third.view()), QStringList({"Alpha", "beta", "Delta", "Gamma"}));
}

// Quick Configure of one of FPSE's own plugins: word 12 of the settings block
// is the list view's window (not the frame's); word 13 is the program's
// instance, as the plugin page gives it; on Linux, where the plugin runs in
// the plugin host, the host's own (never 0).
void ShellUiTest::quickConfigureGivesFpsePluginsTheProgramsInstance() {
    UiWorkspace ws;
    std::filesystem::create_directories(ws.driveC + "/fpse/plugin");
    CopyFileReplacing(kTestPluginDir + "/gpuTest.dll", ws.driveC + "/fpse/plugin/gpuNative.dll");
    ws.MakeProfile(EmulatorKind::Fpse, "Tekken");
    {
        RecordingPrompter quiet;
        _FPSEDATA record(*ws.settings);
        QVERIFY(LoadProfileRecord(record, ".\\Fpse\\Tekken.set", quiet));
        record.GpuPlugin = "FgpuNative.dll";
        QVERIFY(SaveProfileRecord(record, ".\\Fpse\\Tekken.set", quiet));
    }
    ws.settings->SetInt("CurrentEmulator", 1);
    CMainFrame frame(*ws.context);
    frame.SetHooks(MakeFrameHooks(*ws.context));
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    ClickRow(*frame.view(), 0);
    QVERIFY(frame.action(Command::QuickGpu)->isEnabled());
    frame.action(Command::QuickGpu)->trigger();
    const QString instance =
        QString::fromStdString(GetPrivateProfileString("TestPlugin", "GPUInstance", "", ".\\Fpse\\Tekken.ini"));
#ifdef _WIN32
    QCOMPARE(instance, QString::number(ProgramModuleInstance()));
#else
    QVERIFY(!instance.isEmpty() && instance != QStringLiteral("0"));
#endif
    const QString window =
        QString::fromStdString(GetPrivateProfileString("TestPlugin", "GPUWindow", "", ".\\Fpse\\Tekken.ini"));
    QCOMPARE(window, QString::number(frame.view()->winId()));
    QVERIFY(window != QString::number(frame.winId()));
}

namespace {

bool SamePlace(const QString& hostPath, const std::string& expected) {
    const QString a = QFileInfo(hostPath).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(QString::fromStdString(expected)).canonicalFilePath();
}

}  // namespace

// The colour chooser starts at the list's colour; folder and program choosers
// start in the emulator's folder when it exists.
void ShellUiTest::choosersStartAtTheCurrentValue() {
    UiWorkspace ws;
    std::filesystem::create_directories(ws.driveC + "/epsxe");
    std::filesystem::create_directories(ws.driveC + "/psinex");
    std::filesystem::remove_all(ws.driveC + "/fpse");  // FPSE is not installed
    ws.settings->SetInt("TextColor", 0x00332211);
    CMainFrame frame(*ws.context);
    ScriptedChoosers* choosers = &ws.choosers;
    choosers->colour = QColor(0x44, 0x55, 0x66);
    OnModal<CSettingsDlg>([&ws, choosers](CSettingsDlg* d) {
        d->textColorButton()->click();
        QCOMPARE(choosers->lastInitialColour, QColor(0x11, 0x22, 0x33));
        choosers->colour.reset();
        d->textColorButton()->click();
        QCOMPARE(choosers->lastInitialColour, QColor(0x44, 0x55, 0x66));

        d->pathSelect(EmulatorKind::Psinex)->click();
        QVERIFY(SamePlace(choosers->lastInitialFolder, ws.driveC + "/psinex"));
        d->pathEdit(EmulatorKind::Psinex)->setText(QStringLiteral("d:\\nowhere"));
        d->pathSelect(EmulatorKind::Psinex)->click();
        QCOMPARE(choosers->lastInitialFolder, QString());

        d->programSelect(EmulatorKind::Epsxe)->click();
        QCOMPARE(QFileInfo(choosers->lastInitialFile).fileName(), QStringLiteral("epsxe.exe"));
        QVERIFY(SamePlace(QFileInfo(choosers->lastInitialFile).path(), ws.driveC + "/epsxe"));
        // A folder that does not exist leaves the name alone, as before.
        d->programSelect(EmulatorKind::Fpse)->click();
        QCOMPARE(choosers->lastInitialFile, QStringLiteral("fpse.exe"));
        d->reject();
    });
    frame.action(Command::CustomizeSettings)->trigger();
    QCOMPARE(choosers->lastInitialColour, QColor(0x44, 0x55, 0x66));
}

// A folder whose name the ANSI code page holds in one byte and UTF-8 in two
// ("\u00C9psxe"): the settings and the profile store its ANSI path; every
// chooser must start in that very folder, the background inside it must show,
// and what a chooser gives back must be the same ANSI path.
void ShellUiTest::choosersAndTheBackgroundReachFoldersWithAnsiNames() {
    UiWorkspace ws;
    const QString name = QStringLiteral("\u00C9psxe");
    const std::string folder = "C:\\Jeux\\" + FromQt(name);
    QCOMPARE(ToQt(folder), QStringLiteral("C:\\Jeux\\") + name);
    const QString hostFolder = QString::fromStdString(ws.driveC) + QStringLiteral("/Jeux/") + name;
    const QString hostPicture = hostFolder + QStringLiteral("/fond.bmp");
    QVERIFY(QDir().mkpath(hostFolder));
    {
        const Bytes bmp = SolidBmp(8, 8, 0, 0, 200);
        QFile picture(hostPicture);
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write(reinterpret_cast<const char*>(bmp.data()), static_cast<qint64>(bmp.size()));
    }
    const std::string picture = folder + "\\fond.bmp";
    ws.settings->SetString("EpsxePath", folder + "\\");
    ws.settings->SetString("Background", picture);
    ws.settings->SetInt("UseBitmap", 1);
    CMainFrame frame(*ws.context);
    const bool backgroundShown = frame.view()->hasBackgroundPicture();

    const auto samePlace = [](const QString& a, const QString& b) {
        const QString canonical = QFileInfo(a).canonicalFilePath();
        return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
    };
    ScriptedChoosers* choosers = &ws.choosers;
    choosers->folder = hostFolder;
    choosers->file = hostPicture;
    // Looked at once the dialog is gone: a failure inside would leave it open.
    QString folderStart, programStart, backgroundStart, pathChosen, backgroundChosen;
    OnModal<CSettingsDlg>([&](CSettingsDlg* d) {
        d->pathSelect(EmulatorKind::Epsxe)->click();
        folderStart = choosers->lastInitialFolder;
        pathChosen = d->pathEdit(EmulatorKind::Epsxe)->text();
        d->programSelect(EmulatorKind::Epsxe)->click();
        programStart = choosers->lastInitialFile;
        d->backgroundSelect()->click();
        backgroundStart = choosers->lastInitialFile;
        backgroundChosen = d->backgroundEdit()->text();
        d->reject();
    });
    frame.action(Command::CustomizeSettings)->trigger();
    QVERIFY2(samePlace(folderStart, hostFolder), qPrintable(folderStart));
    QVERIFY2(samePlace(QFileInfo(programStart).path(), hostFolder), qPrintable(programStart));
    QCOMPARE(QFileInfo(programStart).fileName(), QStringLiteral("epsxe.exe"));
    QVERIFY2(samePlace(backgroundStart, hostPicture), qPrintable(backgroundStart));
    QCOMPARE(FromQt(pathChosen), folder);
    QCOMPARE(FromQt(backgroundChosen), picture);

    QString bitmapStart, bitmapChosen;
    OnModal<CProfilePropertiesDlg>([&](CProfilePropertiesDlg* d) {
        d->bitmapEdit()->setText(ToQt(picture));
        d->browseButton()->click();
        bitmapStart = choosers->lastInitialFile;
        bitmapChosen = d->bitmapEdit()->text();
        d->reject();
    });
    frame.action(Command::NewProfile)->trigger();
    QVERIFY2(samePlace(bitmapStart, hostPicture), qPrintable(bitmapStart));
    QCOMPARE(FromQt(bitmapChosen), picture);
    QVERIFY(backgroundShown);
}

// Each filter shows its label once, as the product words it; "All files"
// lists files without an extension too.
void ShellUiTest::fileDialogsShowEachFilterOnceAndAllFilesMatchesEverything() {
    const QString qtFilter = FilterToQt("Psx Bios (*.bin)|*.bin|All files(*.*)|*.*|");
    QCOMPARE(qtFilter, QStringLiteral("Psx Bios (*.bin) (*.bin);;All files(*.*) (*)"));
    QCOMPARE(FilterToQt("Bitmap File (*.bmp, *.jpg, *.gif)|*.bmp;*.jpg;*gif|"),
             QStringLiteral("Bitmap File (*.bmp, *.jpg, *.gif) (*.bmp *.jpg *gif)"));
    QCOMPARE(FilterToQt(""), QString());

    QTemporaryDir dir;
    for (const char* name : {"scph1001.bin", "README", "notes.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QFileDialog dialog(nullptr, QString(), dir.path(), qtFilter);
    dialog.setOptions(FileDialogOptions() | QFileDialog::DontUseNativeDialog);
    dialog.show();
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QStringList shown;
    for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
    QCOMPARE(shown, QStringList({"Psx Bios (*.bin)", "All files(*.*)"}));

    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QVERIFY(list);
    auto listed = [list] {
        QStringList names;
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (list->model()->flags(index) & Qt::ItemIsEnabled) names << index.data().toString();
        }
        names.sort();
        return names;
    };
    QTRY_COMPARE(listed(), QStringList({"scph1001.bin"}));
    dialog.selectNameFilter(QStringLiteral("All files(*.*) (*)"));
    QTRY_COMPARE(listed(), QStringList({"README", "notes.txt", "scph1001.bin"}));
}
