// The built library loaded by path and called by name, as a host does: the
// dialog on the offscreen platform, its registry exchange through the real
// prefix hives, and the emulator starts through the real process layer with
// the fake emulator installed as epsxe.exe beside the library.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "common/platform/last_error.h"
#include "common/platform/library.h"
#include "common/platform/registry.h"
#include "optionslib/kestrinestuff.h"
#include "tests/support/portable_env.h"
#include "tests/support/test_workspace.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr const char* kInterfaceKey = "Software\\Kestrine\\Kestrine\\Interface";
constexpr const char* kEmulatorKey = "Software\\epsxe\\config";

std::string ReadReport(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(path);
        if (in) return std::string(std::istreambuf_iterator<char>(in), {});
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return {};
}

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

}  // namespace

class OptionsDialogUiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void createsHiddenDialogAndVisibleAboutPanel();
    void refusesWindowsThatAreNotItsOwn();
    void initShowsStoredValuesAndPutsPadsInPlace();
    void okStoresEveryControlAndCapturesPads();
    void missingKeyGivesDefaultsAndCancelWritesNothing();
    void tabWalksThePanelInReadingOrder();
    void padButtonStartsEmulatorBesideTheLibrary();
    void startEmuWritesEmulatorKeyAndStartsIt();
    void startEmuQuotesItsPathAndSaysWhyItRefuses();
    void aLongBiosEntryShowsWholeAndOkRefusesIt();
    void aLibraryLoadedByARelativePathKeepsItsFolder();

private:
    QWidget* CreateDialog();
    template <typename T>
    T* Control(QWidget* dialog, const char* name) {
        T* control = dialog->findChild<T*>(QString::fromLatin1(name));
        if (!control) qFatal("control %s missing", name);
        return control;
    }
    std::unique_ptr<Registry> registry() { return OpenSystemRegistry(); }
    std::string ReportPath() const { return work_ + "/fake_emulator_report.txt"; }

    std::optional<test::TestWorkspace> world_;
    std::string epsxeDir_, work_;
    std::unique_ptr<Library> library_;
    std::unique_ptr<QWidget> host_;
    CreateOptionDlgProc createOptionDlg_ = nullptr;
    OptionDlgProc init_ = nullptr, onOk_ = nullptr, onCancel_ = nullptr;
    CreateAboutDlgProc createAboutDlg_ = nullptr;
    StartEmuProc startEmu_ = nullptr;
};

void OptionsDialogUiTest::initTestCase() {
    world_.emplace();
    work_ = world_->workdir();
    // ePSXe in the folder its installer names "ePSXe" (drive C: is case-sensitive here).
    epsxeDir_ = world_->driveC() + "/ePSXe";
    fs::rename(world_->driveC() + "/epsxe", epsxeDir_);
    fs::create_directories(epsxeDir_ + "/Bios");

    // The library finds its BIOS folder and ePSXe beside itself.
    fs::copy_file(KESTRINESTUFF_PATH, epsxeDir_ + "/KestrineStuff.dll");
    fs::copy_file(FAKE_EMULATOR_PATH, epsxeDir_ + "/epsxe.exe");
    for (const char* name : {"scph5502.bin", "scph1001.bin", "readme.txt"})
        std::ofstream(epsxeDir_ + "/Bios/" + name) << "x";

    library_ = Library::Load(epsxeDir_ + "/KestrineStuff.dll");
    QVERIFY(library_);
    createOptionDlg_ = library_->Function<CreateOptionDlgProc>("CreateOptionDlg");
    init_ = library_->Function<OptionDlgProc>("OptionDlg_Init");
    onOk_ = library_->Function<OptionDlgProc>("OptionDlg_OnOK");
    onCancel_ = library_->Function<OptionDlgProc>("OptionDlg_OnCancel");
    createAboutDlg_ = library_->Function<CreateAboutDlgProc>("CreateAboutDlg");
    startEmu_ = library_->Function<StartEmuProc>("StartEmu");
    QVERIFY(createOptionDlg_ && init_ && onOk_ && onCancel_ && createAboutDlg_ && startEmu_);
}

void OptionsDialogUiTest::init() {
    auto reg = registry();
    QVERIFY(reg->DeleteTree(kUser, "Software\\Kestrine"));
    QVERIFY(reg->DeleteTree(kUser, "Software\\epsxe"));
    fs::remove(ReportPath());
    host_ = std::make_unique<QWidget>();
    host_->resize(560, 360);
    host_->show();
}

void OptionsDialogUiTest::cleanup() { host_.reset(); }

void OptionsDialogUiTest::cleanupTestCase() {
    library_.reset();
    world_.reset();
}

QWidget* OptionsDialogUiTest::CreateDialog() {
    const KsWindow id = createOptionDlg_(static_cast<KsWindow>(host_->winId()));
    if (!id) return nullptr;
    return QWidget::find(static_cast<WId>(id));
}

void OptionsDialogUiTest::createsHiddenDialogAndVisibleAboutPanel() {
    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->parentWidget(), host_.get());
    QVERIFY(dialog->isHidden());
    QStringList groups;
    for (auto* box : dialog->findChildren<QGroupBox*>()) groups << box->title();
    groups.sort();
    QCOMPARE(groups, (QStringList{"BIOS", "Cdrom settings", "Command line", "Country settings", "Misc settings",
                                  "Pad settings", "Sound settings"}));
    QCOMPARE(Control<QPushButton>(dialog, "PadButton")->text(), QString("Start ePSXe for pad configuring"));
    QCOMPARE(Control<QCheckBox>(dialog, "StartGui")->text(), QString("Start ePSXe GUI"));
    QVERIFY(Control<QComboBox>(dialog, "BIOS")->isEditable());
    QVERIFY(!Control<QComboBox>(dialog, "Country")->isEditable());
    QCOMPARE(Items(Control<QComboBox>(dialog, "Country")), (QStringList{"Autodetect", "NTSC", "PAL"}));
    const QStringList drives = Items(Control<QComboBox>(dialog, "CdromLetter"));
    QCOMPARE(drives.size(), 27);
    QCOMPARE(drives.first(), QString("First"));
    QCOMPARE(drives.last(), QString("Z:"));

    const KsWindow aboutId = createAboutDlg_(static_cast<KsWindow>(host_->winId()));
    QWidget* about = QWidget::find(static_cast<WId>(aboutId));
    QVERIFY(about);
    QCOMPARE(about->parentWidget(), host_.get());
    QVERIFY(about->isVisible());
    auto* product = about->findChild<QLabel*>("ProductLine");
    QVERIFY(product && product->text().contains("KestrineStuff"));
}

void OptionsDialogUiTest::refusesWindowsThatAreNotItsOwn() {
    QCOMPARE(createOptionDlg_(0), KsWindow{0});
    QCOMPARE(createAboutDlg_(0), KsWindow{0});
    const auto hostId = static_cast<KsWindow>(host_->winId());
    QCOMPARE(init_(0), 0);
    QCOMPARE(init_(hostId), 0);  // a window, but not an options dialog
    QCOMPARE(onOk_(hostId), 0);
    QCOMPARE(onCancel_(hostId), 0);
    QVERIFY(!registry()->KeyExists(kUser, kInterfaceKey));
}

void OptionsDialogUiTest::initShowsStoredValuesAndPutsPadsInPlace() {
    RegBatch stored;
    stored.SetString(kUser, kInterfaceKey, "CmdLine", "-slowboot");
    stored.SetString(kUser, kInterfaceKey, "BIOS", "D:\\own\\typed bios.bin");  // not in the list
    for (const char* on : {"SoundEnabled", "SoundSpuIrq", "SubchannelCaching", "StartGui"})
        stored.SetDword(kUser, kInterfaceKey, on, 1);
    stored.SetDword(kUser, kInterfaceKey, "AutoPPF", 0);
    stored.SetDword(kUser, kInterfaceKey, "CdromLetter", 68);
    stored.SetDword(kUser, kInterfaceKey, "Country", 2);
    stored.SetString(kUser, kInterfaceKey, "Pad1", "axis one");
    stored.SetString(kUser, kInterfaceKey, "Pad7", "keys one");
    QVERIFY(registry()->Commit(stored));

    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    QCOMPARE(init_(static_cast<KsWindow>(dialog->winId())), 1);

    auto* bios = Control<QComboBox>(dialog, "BIOS");
    QCOMPARE(Items(bios), (QStringList{"C:\\ePSXe\\Bios\\scph1001.bin", "C:\\ePSXe\\Bios\\scph5502.bin"}));
    QCOMPARE(bios->currentText(), QString("D:\\own\\typed bios.bin"));
    QCOMPARE(Control<QLineEdit>(dialog, "CmdLine")->text(), QString("-slowboot"));
    QCOMPARE(Control<QComboBox>(dialog, "CdromLetter")->currentText(), QString("D:"));
    QCOMPARE(Control<QComboBox>(dialog, "Country")->currentText(), QString("Autodetect"));
    for (const char* on : {"SoundEnabled", "SoundSpuIrq", "SubchannelCaching", "StartGui"})
        QVERIFY2(Control<QCheckBox>(dialog, on)->isChecked(), on);
    for (const char* off : {"SoundCDDA", "SoundXA", "SubchannelCdromEnabled", "SubchannelCachingLG", "AutoPPF"})
        QVERIFY2(!Control<QCheckBox>(dialog, off)->isChecked(), off);
    QVERIFY(dialog->isHidden());  // Init fills; the host decides when it shows

    auto reg = registry();
    QCOMPARE(reg->QueryString(kUser, kEmulatorKey, "GamepadAxis"), std::optional<std::string>("axis one"));
    QCOMPARE(reg->QueryString(kUser, kEmulatorKey, "Keys1"), std::optional<std::string>("keys one"));
    QVERIFY(!reg->QueryValue(kUser, kEmulatorKey, "Keys2"));

    // OK without edits: the typed BIOS path stays, Country 2 becomes 255, D: is 68.
    QCOMPARE(onOk_(static_cast<KsWindow>(dialog->winId())), 1);
    reg = registry();
    QCOMPARE(reg->QueryString(kUser, kInterfaceKey, "BIOS"), std::optional<std::string>("D:\\own\\typed bios.bin"));
    QCOMPARE(reg->QueryDword(kUser, kInterfaceKey, "Country"), std::optional<std::uint32_t>(255));
    QCOMPARE(reg->QueryDword(kUser, kInterfaceKey, "CdromLetter"), std::optional<std::uint32_t>(68));
    QCOMPARE(reg->QueryDword(kUser, kInterfaceKey, "StartGui"), std::optional<std::uint32_t>(1));
    QCOMPARE(reg->QueryDword(kUser, kInterfaceKey, "AutoPPF"), std::optional<std::uint32_t>(0));
}

void OptionsDialogUiTest::okStoresEveryControlAndCapturesPads() {
    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    const auto id = static_cast<KsWindow>(dialog->winId());
    QCOMPARE(init_(id), 1);
    dialog->show();

    // The user types a BIOS path and a command line, picks D: and PAL, ticks boxes.
    auto* bios = Control<QComboBox>(dialog, "BIOS");
    bios->lineEdit()->setFocus();
    QTest::keyClicks(bios->lineEdit(), "E:\\mine.bin");
    QTest::keyClicks(Control<QLineEdit>(dialog, "CmdLine"), "-analog");
    Control<QComboBox>(dialog, "CdromLetter")->setCurrentIndex(4);
    Control<QComboBox>(dialog, "Country")->setCurrentIndex(2);
    for (const char* name : {"SoundCDDA", "SubchannelCachingLG", "AutoPPF"}) {
        auto* box = Control<QCheckBox>(dialog, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY2(box->isChecked(), name);
    }
    // Meanwhile ePSXe's own pad screen stored pads of different types.
    RegBatch emulator;
    emulator.SetString(kUser, kEmulatorKey, "GamepadType", "2");
    emulator.SetValue(kUser, kEmulatorKey, "Keys2", kRegDword, RegDwordData('9'));
    QVERIFY(registry()->Commit(emulator));

    QCOMPARE(onOk_(id), 1);
    auto reg = registry();
    const auto values = reg->EnumValues(kUser, kInterfaceKey);
    QVERIFY(values);
    QMap<QString, RegValue> byName;
    for (const auto& v : *values) byName.insert(QString::fromStdString(v.name), v);
    const QMap<QString, std::uint32_t> dwords = {
        {"Country", 1},           {"SoundEnabled", 0},        {"SoundCDDA", 1},
        {"SoundXA", 0},           {"SoundSpuIrq", 0},         {"SubchannelCdromEnabled", 0},
        {"SubchannelCaching", 0}, {"SubchannelCachingLG", 1}, {"AutoPPF", 1},
        {"StartGui", 0},          {"CdromLetter", 68}};
    for (auto it = dwords.begin(); it != dwords.end(); ++it) {
        QVERIFY2(byName.contains(it.key()), qPrintable(it.key()));
        QCOMPARE(byName[it.key()].type, std::uint32_t{kRegDword});
        QCOMPARE(RegDataAsDword(byName[it.key()].data), std::optional<std::uint32_t>(it.value()));
    }
    const QMap<QString, std::string> strings = {
        {"BIOS", "E:\\mine.bin"}, {"CmdLine", "-analog"}, {"Pad6", "2"}, {"Pad8", "9"}};
    for (auto it = strings.begin(); it != strings.end(); ++it) {
        QVERIFY2(byName.contains(it.key()), qPrintable(it.key()));
        QCOMPARE(byName[it.key()].type, std::uint32_t{kRegSz});
        QCOMPARE(byName[it.key()].data, RegSzData(it.value()));
    }
    QCOMPARE(values->size(), std::size_t(15));

    // "First" stores 0 again.
    Control<QComboBox>(dialog, "CdromLetter")->setCurrentIndex(0);
    QCOMPARE(onOk_(id), 1);
    QCOMPARE(registry()->QueryDword(kUser, kInterfaceKey, "CdromLetter"), std::optional<std::uint32_t>(0));
}

void OptionsDialogUiTest::missingKeyGivesDefaultsAndCancelWritesNothing() {
    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    const auto id = static_cast<KsWindow>(dialog->winId());
    QCOMPARE(init_(id), 1);
    QCOMPARE(Control<QComboBox>(dialog, "CdromLetter")->currentText(), QString("First"));
    QCOMPARE(Control<QComboBox>(dialog, "Country")->currentText(), QString("Autodetect"));
    QCOMPARE(Control<QComboBox>(dialog, "BIOS")->currentText(), QString());
    QCOMPARE(Control<QLineEdit>(dialog, "CmdLine")->text(), QString());
    for (auto* box : dialog->findChildren<QCheckBox*>()) QVERIFY(!box->isChecked());
    // Init opens the interface key only; with no key, nothing is copied or created.
    QVERIFY(!registry()->KeyExists(kUser, kInterfaceKey));
    QVERIFY(!registry()->KeyExists(kUser, kEmulatorKey));
    Control<QCheckBox>(dialog, "SoundEnabled")->setChecked(true);
    QCOMPARE(onCancel_(id), 1);
    QVERIFY(!registry()->KeyExists(kUser, kInterfaceKey));
    delete dialog;

    // Cancel after the user changed pads in ePSXe: ePSXe keeps them, the
    // interface key keeps the configuration's.
    QVERIFY(registry()->SetString(kUser, kInterfaceKey, "Pad6", "configured"));
    dialog = CreateDialog();
    QCOMPARE(init_(static_cast<KsWindow>(dialog->winId())), 1);
    QCOMPARE(registry()->QueryString(kUser, kEmulatorKey, "GamepadType"), std::optional<std::string>("configured"));
    QVERIFY(registry()->SetString(kUser, kEmulatorKey, "GamepadType", "changed in ePSXe"));
    QCOMPARE(onCancel_(static_cast<KsWindow>(dialog->winId())), 1);
    auto reg = registry();
    QCOMPARE(reg->QueryString(kUser, kEmulatorKey, "GamepadType"), std::optional<std::string>("changed in ePSXe"));
    QCOMPARE(reg->QueryString(kUser, kInterfaceKey, "Pad6"), std::optional<std::string>("configured"));
    QCOMPARE(reg->EnumValues(kUser, kInterfaceKey)->size(), std::size_t(1));
}

void OptionsDialogUiTest::tabWalksThePanelInReadingOrder() {
    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    dialog->show();
    host_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host_.get()));
    auto* bios = Control<QComboBox>(dialog, "BIOS");
    bios->setFocus();
    QStringList visited;
    for (int i = 0; i < 13; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"SoundEnabled", "SoundCDDA", "SoundXA", "SoundSpuIrq", "Country", "AutoPPF",
                                   "CdromLetter", "SubchannelCdromEnabled", "SubchannelCaching", "SubchannelCachingLG",
                                   "PadButton", "CmdLine", "StartGui"}));
    // Typing stops at the 259 characters the stored value can hold.
    auto* cmdLine = Control<QLineEdit>(dialog, "CmdLine");
    QTest::keyClicks(cmdLine, QString(300, QChar('x')));
    QCOMPARE(cmdLine->text().size(), 259);
}

void OptionsDialogUiTest::padButtonStartsEmulatorBesideTheLibrary() {
    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    dialog->show();
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->accept();
        }
    });
    closer.start(20);
    QTest::mouseClick(Control<QPushButton>(dialog, "PadButton"), Qt::LeftButton);
    closer.stop();

    QCOMPARE(caption, QString("Configure ePSXe pads"));
    QCOMPARE(text, QString("ePSXe will get started now.\nPlease go to the ePSXe pad config screen "
                           "(Config->Game Pad->Pad 1/Pad 2), and configure the pads as desired. "
                           "Please quit ePSXe after configuring."));
    QCOMPARE(icon, QMessageBox::Information);
    const std::string report = ReadReport(ReportPath());
    QVERIFY2(report.find("argc=1\n") != std::string::npos, report.c_str());
#ifdef _WIN32
    QVERIFY2(report.find("argv[0]=C:\\ePSXe\\epsxe.exe\n") != std::string::npos, report.c_str());
#else
    QVERIFY2(report.find("/drive_c/ePSXe/epsxe.exe\n") != std::string::npos, report.c_str());
#endif
}

void OptionsDialogUiTest::startEmuWritesEmulatorKeyAndStartsIt() {
    RegBatch stored;
    stored.SetString(kUser, kInterfaceKey, "Pad3", "motor");
    stored.SetString(kUser, kInterfaceKey, "BIOS", "C:\\ePSXe\\Bios\\scph1001.bin");
    stored.SetDword(kUser, kInterfaceKey, "SubchannelCdromEnabled", 1);
    stored.SetDword(kUser, kInterfaceKey, "AutoPPF", 1);
    stored.SetDword(kUser, kInterfaceKey, "Country", 1);
    stored.SetDword(kUser, kInterfaceKey, "CdromLetter", 68);
    stored.SetDword(kUser, kInterfaceKey, "StartGui", 0);
    QVERIFY(registry()->Commit(stored));

    // The worked example: relative card 1, a cheat file, GUI off, no extra line.
    QVERIFY(startEmu_("C:\\ePSXe\\epsxe.exe", "gpu.dll", "spu.dll", "cdr.dll", 0, 0, "epsxe000.mcr", "", 0,
                      "C:\\ePSXe\\cheats\\x.cht", "net.dll") != 0);
    std::string report = ReadReport(ReportPath());
    QVERIFY2(report.find("argc=7\nargv[0]=") != std::string::npos, report.c_str());
    QVERIFY2(report.find("argv[1]=-nogui\nargv[2]=-f\nargv[3]=-loadcheat\nargv[4]=C:\\ePSXe\\cheats\\x.cht\n"
                         "argv[5]=-loadmemc0\nargv[6]=C:\\ePSXe\\memcards\\epsxe000.mcr\n") != std::string::npos,
             report.c_str());

    auto reg = registry();
    const auto written = reg->EnumValues(kUser, kEmulatorKey);
    QVERIFY(written);
    QMap<QString, RegValue> byName;
    for (const auto& v : *written) byName.insert(QString::fromStdString(v.name), v);
    const QMap<QString, std::string> expected = {
        {"VideoPlugin", "gpu.dll"},
        {"SoundPlugin", "spu.dll"},
        {"CdromPlugin", "cdr.dll"},
        {"NetPlugin", "net.dll"},
        {"GamepadMotorType", "motor"},
        {"BiosName", "C:\\ePSXe\\Bios\\scph1001.bin"},
        {"SubchannelW9xCdromEnabled", "1"},
        {"SubchannelW2kCdromEnabled", "1"},
        {"AutoPpfLoad", "0"},
        {"Country", "1"},
        {"CdromLetter", "68"},
    };
    QCOMPARE(byName.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        QCOMPARE(byName[it.key()].type, std::uint32_t{kRegSz});
        QCOMPARE(byName[it.key()].data, RegSzData(it.value()));
    }

    // GUI on with an extra command line; full card paths; null texts are empty.
    QVERIFY(registry()->SetDword(kUser, kInterfaceKey, "StartGui", 1));
    QVERIFY(registry()->SetString(kUser, kInterfaceKey, "CmdLine", "-slowboot"));
    fs::remove(ReportPath());
    QVERIFY(startEmu_("C:\\ePSXe\\epsxe.exe", "gpu.dll", "spu.dll", "cdr.dll", 0, 0, "D:\\cards\\one.mcr", "two.mcr", 1,
                      nullptr, "net.dll") != 0);
    report = ReadReport(ReportPath());
    QVERIFY2(report.find("argc=6\n") != std::string::npos, report.c_str());
    QVERIFY2(report.find("argv[1]=-slowboot\nargv[2]=-loadmemc0\nargv[3]=D:\\cards\\one.mcr\n"
                         "argv[4]=-loadmemc1\nargv[5]=two.mcr\n") != std::string::npos,
             report.c_str());

    // No emulator there: the zero result.
    QCOMPARE(startEmu_("C:\\nowhere\\epsxe.exe", "", "", "", 0, 0, "", "", 0, "", ""), 0);
}

void OptionsDialogUiTest::startEmuQuotesItsPathAndSaysWhyItRefuses() {
    // C:\Program.exe is what an unquoted "C:\Program Files\..." would start.
    const std::string drive = world_->driveC();
    fs::create_directories(drive + "/Program Files/ePSXe");
    test::CopyFileReplacing(FAKE_EMULATOR_PATH, drive + "/Program Files/ePSXe/epsxe.exe");
    std::ofstream(drive + "/Program.exe") << "#!/bin/sh\necho decoy > decoy.txt\n";
    fs::permissions(drive + "/Program.exe", fs::perms::owner_all);

    QVERIFY(startEmu_("C:\\Program Files\\ePSXe\\epsxe.exe", "", "", "", 0, 0, "epsxe000.mcr", "", 0, "", "") != 0);
    std::string report = ReadReport(ReportPath());
    QVERIFY2(report.find("argv[3]=-loadmemc0\nargv[4]=C:\\Program Files\\ePSXe\\memcards\\epsxe000.mcr\n") !=
                 std::string::npos,
             report.c_str());
    QVERIFY(!fs::exists(work_ + "/decoy.txt"));

    // Quoted by the caller: the same card folder.
    fs::remove(ReportPath());
    QVERIFY(startEmu_("\"C:\\Program Files\\ePSXe\\epsxe.exe\"", "", "", "", 0, 0, "epsxe000.mcr", "", 0, "", "") != 0);
    report = ReadReport(ReportPath());
    QVERIFY2(report.find("argv[4]=C:\\Program Files\\ePSXe\\memcards\\epsxe000.mcr\n") != std::string::npos,
             report.c_str());
    fs::remove(ReportPath());

    // Every 0 says why in the last-error value; nothing is written or started.
    QVERIFY(registry()->DeleteTree(kUser, "Software\\epsxe"));
    SetSystemLastError(0);
    QCOMPARE(startEmu_("C:\\ePSXe\\epsxe.exe", "", "", "", 0, 0, "x.mcr\" -bios \"C:\\evil.bin", "", 0, "", ""), 0);
    QCOMPARE(SystemLastError(), SystemErrorCode(SystemErrorKind::InvalidParameter));
    QVERIFY(!registry()->KeyExists(kUser, kEmulatorKey));
    QVERIFY(registry()->SetString(kUser, kInterfaceKey, "BIOS", std::string(260, 'b')));
    SetSystemLastError(0);
    QCOMPARE(startEmu_("C:\\ePSXe\\epsxe.exe", "", "", "", 0, 0, "", "", 0, "", ""), 0);
    QCOMPARE(SystemLastError(), SystemErrorCode(SystemErrorKind::TextTooLong));
    QVERIFY(!registry()->KeyExists(kUser, kEmulatorKey));
    QVERIFY(registry()->DeleteTree(kUser, kInterfaceKey));
    SetSystemLastError(0);
    QCOMPARE(startEmu_("C:\\ePSXe\\epsxe.exe", "", "", "", 0, 0, "", "", 0, std::string(2048, 'c').c_str(), ""), 0);
    QCOMPARE(SystemLastError(), SystemErrorCode(SystemErrorKind::NameTooLong));
    SetSystemLastError(0);
    QCOMPARE(startEmu_("", "", "", "", 0, 0, "", "", 0, "", ""), 0);
    QCOMPARE(SystemLastError(), SystemErrorCode(SystemErrorKind::InvalidParameter));
    SetSystemLastError(0);
    QCOMPARE(startEmu_("C:\\nowhere\\epsxe.exe", "", "", "", 0, 0, "", "", 0, "", ""), 0);
    QCOMPARE(SystemLastError(), SystemErrorCode(SystemErrorKind::NotFound));
    QVERIFY(!fs::exists(ReportPath()));
}

void OptionsDialogUiTest::aLongBiosEntryShowsWholeAndOkRefusesIt() {
    // "C:\ePSXe\Bios\" and a 250-byte name: 264 bytes, over the 259 that fit.
    const std::string name = std::string(246, 'b') + ".bin";
    const std::string image = epsxeDir_ + "/Bios/" + name;
    std::ofstream(image) << "x";
    QVERIFY(registry()->SetString(kUser, kInterfaceKey, "BIOS", "C:\\ePSXe\\Bios\\scph1001.bin"));
    QWidget* dialog = CreateDialog();
    QVERIFY(dialog);
    const auto id = static_cast<KsWindow>(dialog->winId());
    QCOMPARE(init_(id), 1);
    auto* bios = Control<QComboBox>(dialog, "BIOS");
    const QString whole = QString::fromStdString("C:\\ePSXe\\Bios\\" + name);
    const int index = bios->findText(whole);
    QVERIFY(index >= 0);
    bios->setCurrentIndex(index);
    QCOMPARE(bios->currentText(), whole);  // shown whole, never cut

    QString caption;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            box->accept();
        }
    });
    closer.start(20);
    QCOMPARE(onOk_(id), 0);
    closer.stop();
    fs::remove(image);
    QCOMPARE(caption, QString("BIOS"));
    QCOMPARE(registry()->QueryString(kUser, kInterfaceKey, "BIOS"),
             std::optional<std::string>("C:\\ePSXe\\Bios\\scph1001.bin"));
}

void OptionsDialogUiTest::aLibraryLoadedByARelativePathKeepsItsFolder() {
    // A second copy in its own folder, loaded by a path relative to drive_c.
    const std::string drive = world_->driveC();
    fs::create_directories(drive + "/Other/Bios");
    test::CopyFileReplacing(KESTRINESTUFF_PATH, drive + "/Other/KestrineStuff.dll");
    std::ofstream(drive + "/Other/Bios/scph7001.bin") << "x";
    fs::current_path(drive + "/");  // "C:" alone is the drive's current folder on Windows
    auto other = Library::Load("Other/KestrineStuff.dll");
    fs::current_path(work_);  // the host moves on after loading
    QVERIFY(other);
    auto create = other->Function<CreateOptionDlgProc>("CreateOptionDlg");
    auto init = other->Function<OptionDlgProc>("OptionDlg_Init");
    QVERIFY(create && init);
    const KsWindow id = create(static_cast<KsWindow>(host_->winId()));
    QWidget* dialog = QWidget::find(static_cast<WId>(id));
    QVERIFY(dialog);
    QCOMPARE(init(id), 1);
    QCOMPARE(Items(Control<QComboBox>(dialog, "BIOS")), (QStringList{"C:\\Other\\Bios\\scph7001.bin"}));
    delete dialog;
}

QTEST_MAIN(OptionsDialogUiTest)
#include "options_dialog_ui_test.moc"
