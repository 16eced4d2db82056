// The option sheet and its pages on the offscreen platform, with test
// plugins installed in a private prefix.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "common/base/text.h"
#include "common/platform/library.h"
#include "common/platform/profile_ini.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/options/CAdripsxOptions.h"
#include "frontend/options/CEmuPropertySheet.h"
#include "frontend/options/CFpseOptions.h"
#include "frontend/options/COptionsPage.h"
#include "frontend/options/option_sheet_entry.h"
#include "frontend/options/CPcsxOptions.h"
#include "frontend/options/CPsinexOptions.h"
#include "frontend/plugins/CPluginsPage.h"
#include "tests/options_ui/options_workspace.h"

using namespace dravolo;

namespace {

// Stands in for the memory-card page: keeps the paths the sheet gives it and
// sends the ones a test sets.
class FakeMemcardsPage : public CMemcardsPageBase {
public:
    FakeMemcardsPage() { setWindowTitle(QStringLiteral("MemCards")); }
    void SetKind(std::optional<EmulatorKind> kind) override {
        this->kind = kind;
        kindSet = true;
    }
    void SetLeftCardPath(const std::string& path) override { left = path; }
    void SetRightCardPath(const std::string& path) override { right = path; }
    void ExchangeCards(std::string& card1, std::string& card2, bool toRecord) override {
        if (toRecord) {
            card1 = left;
            card2 = right;
        } else {
            left = card1;
            right = card2;
        }
    }
    void Pick(int side, const std::string& path) {
        (side == 0 ? left : right) = path;
        if (side == 0) emit leftCardPathSent(path);
        else emit rightCardPathSent(path);
    }
    std::optional<EmulatorKind> kind;
    bool kindSet = false;
    std::string left, right;
};

template <typename Record>
bool SameRecord(const Record& a, const Record& b) {
    return EncodeRecord(a) == EncodeRecord(b);
}

// Shows the sheet with the record and presses OK; the record as the pages
// give it back.
template <typename Record>
Record ThroughTheSheet(test::OptionsWorkspace& ws, const Record& record, EmulatorKind kind) {
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(kind));
    sheet.SetKind(kind);
    sheet.LoadRecord(any);
    sheet.show();
    sheet.tabs()->setCurrentIndex(1);
    sheet.tabs()->setCurrentIndex(0);
    sheet.accept();
    AnyProfileRecord back = MakeDefaultRecord(Record::kKind, ws.settings());
    sheet.StoreRecord(back);
    return std::get<Record>(back);
}

}  // namespace

class OptionsUiTest : public QObject {
    Q_OBJECT
private slots:
    void EpsxeRecordRoundTripsThroughTheControls();
    void EpsxeEmptyDriveEntryStoresFirst();
    void OtherPagesRoundTripTheirRecords();
    void PcsxShowsHleAndKeepsPadsWithHyphens();
    void FpseCacheSizeCompilerAndSettingsFile();
    void FpsePadListsOfferInstalledPads();
    void FpsePluginsGetTheProgramsModuleInstance();
    void ApplyStoresWhatThePagesShow();
    void MemcardPathsTravelBothWays();
    void MemcardsToolHasOneTabAndNothingToApply();
    void BrowseUsesTheFiltersAndSendsThePath();
    void BrowseStartsAtTheCurrentFileOrTheEmulatorsFolder();
    void BrowseReachesFilesInFoldersWithAnsiNames();
    void EntryLoadsShowsAndSavesTheProfile();
};

void OptionsUiTest::EpsxeRecordRoundTripsThroughTheControls() {
    test::OptionsWorkspace ws;
    _EPSXEDATA record(ws.settings());
    record.SoundEnabled = 0;
    record.MdecXa = 0;
    record.SioIrq = 1;
    record.BiosName = "c:\\epsxe\\bios\\scph1001.bin";
    record.CdromLetter = "F";
    record.Country = "PAL";
    record.DVOCommandLine = "-nogui";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Epsxe));
    sheet.SetKind(EmulatorKind::Epsxe);
    sheet.LoadRecord(any);
    sheet.show();
    QCOMPARE(sheet.epsxePage()->cdrDriveCombo()->currentText(), QStringLiteral("F"));
    sheet.accept();
    AnyProfileRecord back = MakeDefaultRecord(EmulatorKind::Epsxe, ws.settings());
    sheet.StoreRecord(back);
    QVERIFY(EncodeRecord(std::get<_EPSXEDATA>(back)) == EncodeRecord(record));
}

void OptionsUiTest::EpsxeEmptyDriveEntryStoresFirst() {
    test::OptionsWorkspace ws;
    _EPSXEDATA record(ws.settings());
    record.CdromLetter = "D";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Epsxe));
    sheet.SetKind(EmulatorKind::Epsxe);
    sheet.LoadRecord(any);
    sheet.show();
    QComboBox* drive = sheet.epsxePage()->cdrDriveCombo();
    QCOMPARE(drive->currentText(), QStringLiteral("D"));
    drive->setCurrentIndex(drive->count() - 1);
    emit drive->activated(drive->count() - 1);
    QVERIFY(sheet.epsxePage()->isModified());
    QVERIFY(sheet.buttons()->button(QDialogButtonBox::Apply)->isEnabled());
    sheet.accept();
    sheet.StoreRecord(any);
    QCOMPARE(QString::fromStdString(std::get<_EPSXEDATA>(any).CdromLetter), QStringLiteral("First"));
}

void OptionsUiTest::OtherPagesRoundTripTheirRecords() {
    test::OptionsWorkspace ws;
    ws.InstallPlugin("padTest.dll", "psinex/plugins", "padJoy.dll");
    ws.InstallPlugin("padTest.dll", "adripsx/Plugins", "padJoy.dll");
    ws.InstallPlugin("padTest.dll", "pcsx/plugin", "padJoy.dll");
    ws.InstallPlugin("fpsePadTest.dll", "fpse/plugin", "JOY0KEY.DLL");
    _PSINEXDATA psinex(ws.settings());
    psinex.CpuMode = 1;
    psinex.Mdec = 0;
    psinex.Bios = "c:\\psinex\\bios\\scph1001.bin";
    psinex.Graphics = "gpuX.dll";
    QVERIFY(SameRecord(ThroughTheSheet(ws, psinex, EmulatorKind::Psinex), psinex));
    _ADRIPSXDATA adripsx(ws.settings());
    adripsx.CPUtype = 1;
    adripsx.EnableHLE = 0;
    adripsx.Memcard1 = "c:\\adripsx\\mems\\a.mcr";
    QVERIFY(SameRecord(ThroughTheSheet(ws, adripsx, EmulatorKind::Adripsx), adripsx));
    _PCSXDATA pcsx(ws.settings());
    pcsx.Cpu = 1;
    pcsx.CdTiming = 1;
    pcsx.RcntFix = 1;
    pcsx.Country = "NTSC";
    pcsx.Pad1 = "padJoy.dll";
    pcsx.Pad2 = "padGone.dll";
    pcsx.Bios = "HLE";  // a new record's "USE HLE BIOS" is stored as "HLE"
    QVERIFY(SameRecord(ThroughTheSheet(ws, pcsx, EmulatorKind::Pcsx), pcsx));
    _FPSEDATA fpse(ws.settings());
    fpse.CpuMode = 1;
    fpse.CDCacheSize = 256;
    fpse.CDStreamSpeed = 40;
    fpse.SpareFlag2 = 1;
    fpse.CDCountry = "Japan";
    fpse.CommandLine = "-fast";
    QVERIFY(SameRecord(ThroughTheSheet(ws, fpse, EmulatorKind::Fpse), fpse));
}

void OptionsUiTest::PcsxShowsHleAndKeepsPadsWithHyphens() {
    test::OptionsWorkspace ws;
    ws.InstallPlugin("padTest.dll", "pcsx/plugin", "padJoy.dll", "name=Joystick\nversion=0x010300\n");
    ws.InstallPlugin("padTest.dll", "pcsx/plugin", "padHyph.dll", "name=Joy-Pad\nversion=0x020100\n");
    ws.WriteFile(ws.DriveC("pcsx/bios/scph1001.bin"), "b");
    _PCSXDATA record(ws.settings());
    record.Bios = "HLE";
    record.Pad1 = "padJoy.dll";
    record.Pad2 = "padHyph.dll";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Pcsx));
    sheet.SetKind(EmulatorKind::Pcsx);
    sheet.LoadRecord(any);
    sheet.show();
    CPcsxOptions* page = sheet.pcsxPage();
    QCOMPARE(page->biosCombo()->currentText(), QStringLiteral("USE HLE BIOS"));
    QCOMPARE(page->biosCombo()->count(), 2);
    QCOMPARE(page->padCombo(0)->currentText(), QStringLiteral("Joystick - 1.3"));
    // The hyphenated name is shown whole, and choosing it chooses its plugin.
    QCOMPARE(page->padCombo(1)->currentText(), QStringLiteral("Joy-Pad - 2.1"));
    QComboBox* pad1 = page->padCombo(0);
    pad1->setCurrentIndex(pad1->findText(QStringLiteral("Joy-Pad - 2.1")));
    emit pad1->activated(pad1->currentIndex());
    QCOMPARE(QString::fromStdString(page->fields().Pad1), QStringLiteral("padHyph.dll"));
    // "Config" runs the dialog of the plugin chosen, not of the one before.
    page->padConfig(0)->click();
    QVERIFY(ws.ReadFile(ws.DriveC("pcsx/plugin/padHyph.log")).find("PADconfigure") != std::string::npos);
    QVERIFY(ws.ReadFile(ws.DriveC("pcsx/plugin/padJoy.log")).find("PADconfigure") == std::string::npos);
    QComboBox* pad2 = page->padCombo(1);
    pad2->setCurrentIndex(pad2->findText(QStringLiteral("Joystick - 1.3")));
    emit pad2->activated(pad2->currentIndex());
    QCOMPARE(QString::fromStdString(page->fields().Pad2), QStringLiteral("padJoy.dll"));
    page->padConfig(1)->click();
    QVERIFY(ws.ReadFile(ws.DriveC("pcsx/plugin/padJoy.log")).find("PADconfigure") != std::string::npos);
    sheet.accept();
    sheet.StoreRecord(any);
    QCOMPARE(QString::fromStdString(std::get<_PCSXDATA>(any).Bios), QStringLiteral("HLE"));
}

void OptionsUiTest::FpseCacheSizeCompilerAndSettingsFile() {
    test::OptionsWorkspace ws;
    _FPSEDATA record(ws.settings());
    record.CDCacheSize = 1020;
    record.CpuMode = 1;
    const std::string path = ws.SaveProfile("Crash", record);
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Fpse));
    sheet.SetProfileName("Crash");
    sheet.SetKind(EmulatorKind::Fpse);
    sheet.LoadRecord(any);
    sheet.show();
    CFpseOptions* page = sheet.fpsePage();
    // The page writes its values for the plugins at once.
    QCOMPARE(QString::fromStdString(GetPrivateProfileString("FPSE", "CDCacheSize", "", ".\\Fpse\\Crash.ini")),
             QStringLiteral("1020"));
    QVERIFY(!page->mode2Check()->isEnabled());
    page->compilerButton()->click();
    QVERIFY(page->mode2Check()->isEnabled());
    page->cacheArrows()->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the up arrow
    QCOMPARE(page->cacheSizeEdit()->text(), QStringLiteral("1024"));
    page->cacheArrows()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(page->cacheSizeEdit()->text(), QStringLiteral("1008"));
    page->cacheSizeEdit()->clear();
    QTest::keyClicks(page->cacheSizeEdit(), "2000");
    QCOMPARE(page->cacheSizeEdit()->text(), QStringLiteral("1024"));
    page->cacheCheck()->click();
    QVERIFY(!page->cacheSizeEdit()->isEnabled());
    QComboBox* country = page->countryCombo();
    country->setCurrentIndex(country->findText(QStringLiteral("Europe")));
    emit country->activated(country->currentIndex());
    sheet.accept();
    QCOMPARE(QString::fromStdString(GetPrivateProfileString("FPSE", "CDCountry", "", ".\\Fpse\\Crash.ini")),
             QStringLiteral("1"));
    QCOMPARE(QString::fromStdString(GetPrivateProfileString("FPSE", "CpuMode", "", ".\\Fpse\\Crash.ini")),
             QStringLiteral("on"));
    sheet.StoreRecord(any);
    const auto& stored = std::get<_FPSEDATA>(any);
    QCOMPARE(stored.CDCacheSize, 1024);
    QCOMPARE(stored.CDUseCache, std::uint8_t{0});
    QCOMPARE(stored.CpuMode, std::uint8_t{0});
    QCOMPARE(QString::fromStdString(stored.CDCountry), QStringLiteral("Europe"));
}

void OptionsUiTest::FpsePadListsOfferInstalledPads() {
    test::OptionsWorkspace ws;
    ws.InstallPlugin("fpsePadTest.dll", "fpse/plugin", "JOY0KEY.DLL", "name=Keyboard\n");
    ws.InstallPlugin("fpsePadTest.dll", "fpse/plugin", "JOYPAD.DLL", "name=Gamepad\n");
    ws.InstallPlugin("gpuTest.dll", "fpse/plugin", "gpuSoft.dll");
    _FPSEDATA record(ws.settings());
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Fpse));
    sheet.SetProfileName("Crash");
    sheet.SetKind(EmulatorKind::Fpse);
    sheet.LoadRecord(any);
    sheet.show();
    CFpseOptions* page = sheet.fpsePage();
    QCOMPARE(page->padCombo(0)->count(), 2);
    QCOMPARE(page->padCombo(1)->count(), 2);
    QCOMPARE(page->padCombo(0)->currentText(), QStringLiteral("Keyboard - 1.4"));
    QCOMPARE(page->padCombo(1)->currentIndex(), -1);  // JOY1KEY.DLL is not installed
    QComboBox* pad2 = page->padCombo(1);
    pad2->setCurrentIndex(pad2->findText(QStringLiteral("Gamepad - 1.4")));
    emit pad2->activated(pad2->currentIndex());
    page->padConfig(1)->click();
    QCOMPARE(QString::fromStdString(ws.ReadFile(ws.DriveC("fpse/plugin/JOYPAD.log"))),
             QStringLiteral("JOY1_Configure\n"));
    QCOMPARE(QString::fromStdString(GetPrivateProfileString("PadTest", "JOY1_Configure", "", ".\\Fpse\\Crash.ini")),
             QStringLiteral("configured"));
    sheet.accept();
    sheet.StoreRecord(any);
    QCOMPARE(QString::fromStdString(std::get<_FPSEDATA>(any).LasPAD2), QStringLiteral("JOYPAD.DLL"));
}

// FPSE's own plugins find a module instance in word 13 of their settings
// block, from the plugin page and from a pad's "Config" alike. On Linux the
// plugins run in the plugin host, so it is the host's own, as for Windows
// plugins there; never 0.
void OptionsUiTest::FpsePluginsGetTheProgramsModuleInstance() {
    test::OptionsWorkspace ws;
    ws.InstallPlugin("gpuTest.dll", "fpse/plugin", "gpuNative.dll", "name=Native Soft\n");
    ws.InstallPlugin("fpsePadTest.dll", "fpse/plugin", "JOYDUAL.DLL", "name=Dual-Shock - Analog\n");
    ws.InstallPlugin("fpsePadTest.dll", "fpse/plugin", "JOYKEY.DLL", "name=Keyboard\n");
    _FPSEDATA record(ws.settings());
    record.LasPAD1 = "JOYKEY.DLL";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Fpse));
    sheet.SetProfileName("Crash");
    sheet.SetKind(EmulatorKind::Fpse);
    sheet.LoadRecord(any);
    sheet.show();
#ifdef _WIN32
    const std::string instance = std::to_string(ProgramModuleInstance());
    QVERIFY(ProgramModuleInstance() != 0);
    const auto isInstance = [&instance](const QString& word) { return word == QString::fromStdString(instance); };
#else
    const auto isInstance = [](const QString& word) { return !word.isEmpty() && word != QStringLiteral("0"); };
#endif
    auto written = [](const char* key) {
        return QString::fromStdString(GetPrivateProfileString("PadTest", key, "", ".\\Fpse\\Crash.ini"));
    };

    // A pad whose name has hyphens is chosen and configured as itself.
    CFpseOptions* page = sheet.fpsePage();
    QComboBox* pad1 = page->padCombo(0);
    QCOMPARE(pad1->currentText(), QStringLiteral("Keyboard - 1.4"));
    pad1->setCurrentIndex(pad1->findText(QStringLiteral("Dual-Shock - Analog - 1.4")));
    emit pad1->activated(pad1->currentIndex());
    QCOMPARE(QString::fromStdString(page->fields().LasPAD1), QStringLiteral("JOYDUAL.DLL"));
    page->padConfig(0)->click();
    QCOMPARE(QString::fromStdString(ws.ReadFile(ws.DriveC("fpse/plugin/JOYDUAL.log"))),
             QStringLiteral("JOY0_Configure\n"));
    QVERIFY(!ws.Exists(ws.DriveC("fpse/plugin/JOYKEY.log")));
    QVERIFY(isInstance(written("JOY0_ConfigureInstance")));

    sheet.tabs()->setCurrentIndex(1);
    CPluginsPage* plugins = sheet.pluginsPage();
    QCOMPARE(plugins->logic().list(PluginType::Gpu).size(), std::size_t{1});
    plugins->OnListClick(PluginType::Gpu, 0);
    plugins->configureButton()->click();
    QVERIFY(isInstance(
        QString::fromStdString(GetPrivateProfileString("TestPlugin", "GPUInstance", "", ".\\Fpse\\Crash.ini"))));
}

void OptionsUiTest::ApplyStoresWhatThePagesShow() {
    test::OptionsWorkspace ws;
    ws.InstallPlugin("gpuTest.dll", "epsxe/plugins", "gpuA.dll", "name=A\n");
    ws.InstallPlugin("gpuTest.dll", "epsxe/plugins", "gpuB.dll", "name=B\n");
    _EPSXEDATA record(ws.settings());
    record.VideoPlugin = "gpuA.dll";
    record.Properties.Description = "kept by the main window";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Epsxe));
    std::vector<_EPSXEDATA> applied;
    sheet.SetApplyHandler([&](AnyProfileRecord& r) { applied.push_back(std::get<_EPSXEDATA>(r)); });
    sheet.SetKind(EmulatorKind::Epsxe);
    sheet.LoadRecord(any);
    sheet.show();
    for (QCheckBox* box : sheet.epsxePage()->findChildren<QCheckBox*>())
        if (box->text() == QStringLiteral("Enable Sound")) box->click();
    sheet.tabs()->setCurrentIndex(1);
    CPluginsPage* plugins = sheet.pluginsPage();
    QCOMPARE(plugins->list(PluginType::Gpu)->currentItem()->text(2), QStringLiteral("gpuA.dll"));
    plugins->OnListClick(PluginType::Gpu, 1);
    QVERIFY(sheet.buttons()->button(QDialogButtonBox::Apply)->isEnabled());
    sheet.buttons()->button(QDialogButtonBox::Apply)->click();
    QCOMPARE(applied.size(), std::size_t{1});
    QCOMPARE(applied[0].SoundEnabled, std::uint8_t{0});
    QCOMPARE(QString::fromStdString(applied[0].VideoPlugin), QStringLiteral("gpuB.dll"));
    QVERIFY(!sheet.buttons()->button(QDialogButtonBox::Apply)->isEnabled());
    // OK stores the same.
    sheet.accept();
    sheet.StoreRecord(any);
    _EPSXEDATA expected = applied[0];
    expected.Properties = record.Properties;
    QVERIFY(SameRecord(std::get<_EPSXEDATA>(any), expected));
}

void OptionsUiTest::MemcardPathsTravelBothWays() {
    test::OptionsWorkspace ws;
    FakeMemcardsPage* fake = nullptr;
    ws.context().makeMemcardsPage = [&fake](QWidget*) { return fake = new FakeMemcardsPage; };
    _PSINEXDATA record(ws.settings());
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Psinex));
    sheet.SetKind(EmulatorKind::Psinex);
    QCOMPARE(sheet.tabs()->count(), 3);
    QVERIFY(fake->kind == EmulatorKind::Psinex);
    sheet.LoadRecord(any);
    sheet.show();
    // Initialisation hands the option page's cards over.
    QCOMPARE(QString::fromStdString(fake->left), QString::fromStdString(record.MemCard1));
    QLineEdit* card1 = sheet.psinexPage()->memcardEdit(0);
    card1->selectAll();
    QTest::keyClicks(card1, "c:\\psinex\\memcards\\typed.mcr");
    QCOMPARE(QString::fromStdString(fake->left), QStringLiteral("c:\\psinex\\memcards\\typed.mcr"));
    QCOMPARE(QString::fromStdString(sheet.cardPath(0)), QStringLiteral("c:\\psinex\\memcards\\typed.mcr"));
    sheet.tabs()->setCurrentIndex(2);
    fake->Pick(1, "c:\\psinex\\memcards\\picked.mem");
    QCOMPARE(sheet.psinexPage()->memcardEdit(1)->text(), QStringLiteral("c:\\psinex\\memcards\\picked.mem"));
    sheet.accept();
    sheet.StoreRecord(any);
    QCOMPARE(QString::fromStdString(std::get<_PSINEXDATA>(any).MemCard1),
             QStringLiteral("c:\\psinex\\memcards\\typed.mcr"));
    QCOMPARE(QString::fromStdString(std::get<_PSINEXDATA>(any).MemCard2),
             QStringLiteral("c:\\psinex\\memcards\\picked.mem"));
}

void OptionsUiTest::MemcardsToolHasOneTabAndNothingToApply() {
    test::OptionsWorkspace ws;
    FakeMemcardsPage* fake = nullptr;
    ws.context().makeMemcardsPage = [&fake](QWidget*) { return fake = new FakeMemcardsPage; };
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(kMemcardsOnly));
    QCOMPARE(sheet.windowTitle(), QStringLiteral("Memcards Tool"));
    bool applied = false;
    sheet.SetApplyHandler([&](AnyProfileRecord&) { applied = true; });
    sheet.SetKind(kMemcardsOnly);
    QCOMPARE(sheet.tabs()->count(), 1);
    QVERIFY(!sheet.tabs()->tabIcon(0).isNull());
    // The page alone has no emulator (its card folder is ePSXe's).
    QVERIFY(fake && fake->kindSet && !fake->kind);
    sheet.show();
    sheet.Apply();
    QVERIFY(!applied);
    sheet.SetKind(std::nullopt);
    QCOMPARE(sheet.tabs()->count(), 0);
}

void OptionsUiTest::BrowseUsesTheFiltersAndSendsThePath() {
    test::OptionsWorkspace ws;
    ws.WriteFile(ws.DriveC("cards/new.mcd"), "card");
    ws.choosers.file = QString::fromStdString(ws.DriveC("cards/new.mcd"));
    _FPSEDATA record(ws.settings());
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Fpse));
    sheet.SetKind(EmulatorKind::Fpse);
    sheet.LoadRecord(any);
    sheet.show();
    sheet.fpsePage()->memcardBrowse(1)->click();
    QCOMPARE(ws.choosers.filters.back(),
             QStringLiteral("Fpse memsaves (*.mcd,*.mcr,*.mc,*.ddf) (*.mcd *.mcr *.mc *.ddf);;All files(*.*) (*)"));
    QCOMPARE(QString::fromStdString(sheet.cardPath(1)), QStringLiteral("C:\\cards\\new.mcd"));
    QCOMPARE(sheet.fpsePage()->memcardEdit(1)->text(), QStringLiteral("C:\\cards\\new.mcd"));
    QVERIFY(sheet.fpsePage()->isModified());
}

// "Browse" opens where the current file is; without one (or when its folder
// has gone) in the emulator's folder, inside the prefix. A relative path is
// the emulator's, which starts in its own folder.
void OptionsUiTest::BrowseStartsAtTheCurrentFileOrTheEmulatorsFolder() {
    test::OptionsWorkspace ws;
    ws.WriteFile(ws.DriveC("epsxe/bios/scph1001.bin"), "b");
    ws.WriteFile(ws.DriveC("epsxe/memcards/epsxe000.mcr"), "c");
    _EPSXEDATA record(ws.settings());
    record.BiosName = "";
    record.Memcard1 = "memcards\\epsxe000.mcr";
    record.Memcard2 = "d:\\gone\\epsxe001.mcr";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Epsxe));
    sheet.SetKind(EmulatorKind::Epsxe);
    sheet.LoadRecord(any);
    sheet.show();
    COptionsPage* page = sheet.epsxePage();
    auto startedAt = [&ws](const std::string& expected) {
        const QString a = QFileInfo(ws.choosers.initialFiles.back()).canonicalFilePath();
        return !a.isEmpty() && a == QFileInfo(QString::fromStdString(expected)).canonicalFilePath();
    };
    page->biosBrowse()->click();
    QVERIFY(startedAt(ws.DriveC("epsxe")));
    page->biosCombo()->setEditText(QStringLiteral("c:\\epsxe\\bios\\scph1001.bin"));
    page->biosBrowse()->click();
    QVERIFY(startedAt(ws.DriveC("epsxe/bios/scph1001.bin")));
    page->memcardBrowse(0)->click();
    QVERIFY(startedAt(ws.DriveC("epsxe/memcards/epsxe000.mcr")));
    page->memcardBrowse(1)->click();
    QVERIFY(startedAt(ws.DriveC("epsxe")));
    QVERIFY(ws.choosers.filters.back().endsWith(QStringLiteral("All files(*.*) (*)")));
}

// The profile holds ANSI paths; a folder named "\u00C9psxe" has one byte
// for its first letter there and two in UTF-8. Browse must start at the file
// itself and give back the same ANSI path.
void OptionsUiTest::BrowseReachesFilesInFoldersWithAnsiNames() {
    test::OptionsWorkspace ws;
    const QString name = QStringLiteral("\u00C9psxe");
    const QString hostFolder = QString::fromStdString(ws.DriveC("Jeux/")) + name;
    const QString hostBios = hostFolder + QStringLiteral("/bios/scph1001.bin");
    const QString hostCard = hostFolder + QStringLiteral("/memcards/epsxe000.mcr");
    for (const QString& file : {hostBios, hostCard}) {
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    const std::string folder = "C:\\Jeux\\" + FromQt(name);
    _EPSXEDATA record(ws.settings());
    record.BiosName = folder + "\\bios\\scph1001.bin";
    record.Memcard1 = folder + "\\memcards\\epsxe000.mcr";
    AnyProfileRecord any = record;
    CEmuPropertySheet sheet(ws.context(), CEmuPropertySheet::CaptionForKind(EmulatorKind::Epsxe));
    sheet.SetKind(EmulatorKind::Epsxe);
    sheet.LoadRecord(any);
    sheet.show();
    COptionsPage* page = sheet.epsxePage();
    // The page keeps BIOS paths in lower case; Windows keeps the case it is
    // given in a canonical path.
    auto startedAt = [&ws](const QString& expected) {
        const QString a = QFileInfo(ws.choosers.initialFiles.back()).canonicalFilePath();
        return !a.isEmpty() && a.compare(QFileInfo(expected).canonicalFilePath(), Qt::CaseInsensitive) == 0;
    };

    ws.choosers.file = hostBios;
    page->biosBrowse()->click();
    QVERIFY2(startedAt(hostBios), qPrintable(ws.choosers.initialFiles.back()));
    QVERIFY(EqualsNoCase(FromQt(page->biosCombo()->currentText()), record.BiosName));
    ws.choosers.file = hostCard;
    page->memcardBrowse(0)->click();
    QVERIFY2(startedAt(hostCard), qPrintable(ws.choosers.initialFiles.back()));
    QVERIFY(EqualsNoCase(FromQt(page->memcardEdit(0)->text()), record.Memcard1));
}

void OptionsUiTest::EntryLoadsShowsAndSavesTheProfile() {
    test::OptionsWorkspace ws;
    _PCSXDATA record(ws.settings());
    record.Properties.Description = "Crash";
    const std::string path = ws.SaveProfile("Crash", record);
    QCOMPARE(QString::fromStdString(ProfileNameOfPath(path)), QStringLiteral("Crash"));
    // The user ticks "Enable Console Output" and presses OK.
    QTimer::singleShot(0, [] {
        auto* sheet = qobject_cast<CEmuPropertySheet*>(QApplication::activeModalWidget());
        QVERIFY(sheet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("PCSX Options"));
        for (QCheckBox* box : sheet->pcsxPage()->findChildren<QCheckBox*>())
            if (box->text() == QStringLiteral("Enable Console Output")) box->click();
        sheet->accept();
    });
    const auto result = RunOptionSheet(nullptr, EmulatorKind::Pcsx, path, ws.settings(), ws.prompter, {});
    QCOMPARE(static_cast<int>(result), static_cast<int>(OptionSheetResult::Saved));
    _PCSXDATA saved(ws.settings());
    QVERIFY(LoadProfileRecord(saved, path, ws.prompter));
    QCOMPARE(saved.PsxOut, std::uint8_t{1});
    QCOMPARE(QString::fromStdString(saved.Properties.Description), QStringLiteral("Crash"));
    // A profile that cannot be read opens nothing; so does a memory-card tool
    // without its page.
    QCOMPARE(static_cast<int>(
                 RunOptionSheet(nullptr, EmulatorKind::Pcsx, ".\\Pcsx\\Gone.set", ws.settings(), ws.prompter, {})),
             static_cast<int>(OptionSheetResult::NotOpened));
    QCOMPARE(QString::fromStdString(ws.prompter.messages.back().text), QStringLiteral("Cannot Open File."));
    QCOMPARE(static_cast<int>(RunOptionSheet(nullptr, kMemcardsOnly, "", ws.settings(), ws.prompter, {})),
             static_cast<int>(OptionSheetResult::NotOpened));
}

QTEST_MAIN(OptionsUiTest)
#include "options_ui_test.moc"
