// The "ISO Tool" dialog on the offscreen platform, over virtual drives.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSysInfo>
#include <QTreeWidget>
#include <QtTest>
#include <deque>
#include <functional>

#include "common/base/text.h"
#include "common/platform/virtual_drive.h"
#include "common/platform/winfs.h"
#include "frontend/cdimage/iso_tool_dialog.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/cdimage/progress_bar.h"
#include "tests/support/disc_builder.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"

using namespace dravolo;
using namespace dravolo::test;

namespace {

// Answers from a script; a hook may act before answering (click, close ...).
class HookPrompter : public Prompter {
public:
    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon, PromptButtons,
                     PromptAnswer defaultAnswer) override {
        texts.push_back(std::string(text));
        captions.push_back(std::string(caption));
        if (hook) hook(std::string(text));
        if (answers.empty()) return defaultAnswer;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> texts, captions;
    std::deque<PromptAnswer> answers;
    std::function<void(const std::string&)> hook;
};

Bytes ReadHost(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return bytes ? *bytes : Bytes();
}

}  // namespace

class IsoToolDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> dir;
    DiscBuilder disc;
    std::string image;
    MemoryRegistry registry;
    std::unique_ptr<SettingsStore> settings;

    // The drives of the last Access(), for changing discs and watching commands.
    std::vector<std::shared_ptr<VirtualDrive>> drives;

    std::unique_ptr<CdAccess> Access(std::vector<VirtualDisc> discs) {
        drives.clear();
        for (auto& s : discs) drives.push_back(std::make_shared<VirtualDrive>(s));
        auto shared = drives;
        return std::make_unique<CdAccess>(
            [shared](ScsiInterface which) { return std::make_unique<VirtualScsiTransport>(which, shared); }, nullptr,
            dir->path() + "/cdrdevnames.log");
    }
    bool DriveGot(const std::vector<std::uint8_t>& cdb) const {
        const auto commands = drives.at(0)->Commands();
        return std::find(commands.begin(), commands.end(), cdb) != commands.end();
    }
    std::string Text(const char* name) const {
        const Bytes bytes = ReadHost(dir->path() + "/" + name);
        return std::string(bytes.begin(), bytes.end());
    }
    VirtualDisc Disc(bool notReady = false, std::vector<VirtualDisc::Range> bad = {}) {
        VirtualDisc s;
        s.imagePath = image;
        s.notReady = notReady;
        s.badSectors = std::move(bad);
        return s;
    }
    QString Out(const char* name) { return QString::fromStdString(dir->path() + "/" + name); }

private slots:
    void init() {
        dir = std::make_unique<TempDir>();
        disc = DiscBuilder();
        disc.AddTrack(TrackKind::Mode2, 300).AddTrack(TrackKind::Audio, 100).AddTrack(TrackKind::Audio, 50, 0x01);
        image = disc.WriteTo(dir->path(), "game");
        registry = MemoryRegistry();
        settings = std::make_unique<SettingsStore>(registry);
    }

    void showsDrivesTracksAndInformation() {
        auto access = Access({Disc(), Disc(true)});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        QCOMPARE(dlg.windowTitle(), QString("ISO Tool"));
        QCOMPARE(dlg.driveList()->count(), 2);
        // Windows names a drive without its vendor (the SPTI form); elsewhere the vendor comes first.
        const QString name =
            QSysInfo::kernelType() == "winnt" ? "VIRTUAL CD-ROM  1.00" : "DRAVOLO VIRTUAL CD-ROM  1.00";
        QCOMPARE(dlg.driveList()->itemText(0), "0:0:0           " + name);
        QCOMPARE(dlg.trackList()->topLevelItemCount(), 3);
        QCOMPARE(dlg.trackList()->headerItem()->text(2), QString("Sector Start"));
        const QTreeWidgetItem* second = dlg.trackList()->topLevelItem(1);
        QCOMPARE(second->text(0), QString("2"));
        QCOMPARE(second->text(1), QString("Audio"));
        QCOMPARE(second->text(2), QString("300"));
        QCOMPARE(dlg.trackList()->topLevelItem(2)->text(1), QString("Data Mode 1"));
        QVERIFY(!second->icon(0).isNull());
        QCOMPARE(dlg.information()->text(), QString("\n Tracks: 3\n Sectors: 450\n Interface: IOCTL\n"));
        QCOMPARE(dlg.speedList()->currentText(), QString("Auto"));
        QCOMPARE(dlg.job().speedIndex, 7);
        QCOMPARE(dlg.priorityList()->currentText(), QString("Normal"));
        QCOMPARE(dlg.interfaceList()->count(), 3);
        QVERIFY(dlg.modeButton(ExtractMode::CreateBinaryImage)->isChecked());
        QVERIFY(!dlg.trackEdit()->isEnabled());
        QVERIFY(!dlg.fromEdit()->isEnabled());
        QVERIFY(!dlg.cancelButton()->isEnabled());
        QVERIFY(dlg.startButton()->isDefault());
        QVERIFY(prompter.texts.empty());

        dlg.modeButton(ExtractMode::SelectSector)->click();
        QVERIFY(dlg.fromEdit()->isEnabled() && dlg.toEdit()->isEnabled() && !dlg.trackEdit()->isEnabled());
        dlg.modeButton(ExtractMode::SelectTrack)->click();
        QVERIFY(dlg.trackEdit()->isEnabled() && !dlg.fromEdit()->isEnabled());
        dlg.speedList()->setCurrentIndex(3);  // "4X"
        QCOMPARE(dlg.job().speedIndex, 4);

        // The second drive has no disc.
        dlg.driveList()->setCurrentIndex(1);
        emit dlg.driveList()->activated(1);
        QCOMPARE(dlg.information()->text(), QString("Cdrom not ready."));
        QCOMPARE(dlg.trackList()->topLevelItemCount(), 0);

        // Switching the interface reads the drives again.
        dlg.show();
        dlg.interfaceList()->setCurrentIndex(1);
        emit dlg.interfaceList()->activated(1);
        QVERIFY(prompter.texts.empty());  // the virtual drives serve either interface
    }

    void noDrivesIsTold() {
        auto access = Access({});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        QCOMPARE(dlg.driveList()->count(), 0);
        QCOMPARE(prompter.texts.size(), size_t(2));
        QCOMPARE(prompter.texts[0], std::string("IOCTL: Couldn't find any SCSI device/initialization error.\n"));
        QCOMPARE(prompter.texts[1], std::string("Unable to initialize IOCTL\n"));
        QCOMPARE(prompter.captions[1], std::string("Iso Tool Error"));
        dlg.OnStart();  // nothing happens
        QVERIFY(!dlg.WorkerRunning());
    }

    void startChecksNameAndExtractsTrack() {
        auto access = Access({Disc()});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        dlg.OnStart();
        QCOMPARE(prompter.texts.back(), std::string("Please enter a valid filename.\n"));
        QVERIFY(!dlg.WorkerRunning());

        dlg.fileEdit()->setText(Out("track.bin"));
        dlg.modeButton(ExtractMode::SelectTrack)->click();
        dlg.trackEdit()->setText("5");
        dlg.OnStart();
        QVERIFY(dlg.WorkerRunning());
        QVERIFY(!dlg.startButton()->isEnabled());
        QVERIFY(dlg.cancelButton()->isEnabled());
        QCOMPARE(dlg.trackEdit()->text(), QString("3"));
        QTRY_VERIFY(!dlg.WorkerRunning());
        QVERIFY(dlg.startButton()->isEnabled());
        QVERIFY(!dlg.cancelButton()->isEnabled());
        QCOMPARE(ReadHost(dir->path() + "/track.bin"), disc.Range(400, 449));
        QVERIFY(!FileExists(dir->path() + "/track.cue"));

        // Again: the file exists; No leaves it alone.
        prompter.answers = {PromptAnswer::No};
        dlg.OnStart();
        QCOMPARE(prompter.texts.back(), std::string("File already exists. Overwrite File?"));
        QVERIFY(!dlg.WorkerRunning());

        // A double-click on a track selects "Select Track Number" and starts.
        dlg.modeButton(ExtractMode::CreateBinaryImage)->click();
        prompter.answers = {PromptAnswer::Yes};
        QTreeWidgetItem* first = dlg.trackList()->topLevelItem(0);
        dlg.trackList()->setCurrentItem(first);
        emit dlg.trackList()->itemDoubleClicked(first, 0);
        QVERIFY(dlg.modeButton(ExtractMode::SelectTrack)->isChecked());
        QCOMPARE(dlg.trackEdit()->text(), QString("1"));
        QTRY_VERIFY(!dlg.WorkerRunning());
        QCOMPARE(ReadHost(dir->path() + "/track.bin"), disc.Range(0, 299));
    }

    void wholeDiscWithCueSheetUnlessCleared() {
        auto access = Access({Disc()});
        HookPrompter prompter;
        {
            CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
            QVERIFY(dlg.cueCheck()->isChecked());
            dlg.fileEdit()->setText(Out("whole.bin"));
            dlg.OnStart();
            QTRY_VERIFY(!dlg.WorkerRunning());
            QCOMPARE(ReadHost(dir->path() + "/whole.bin"), disc.image());
            const Bytes cue = ReadHost(dir->path() + "/whole.cue");
            QVERIFY(std::string(cue.begin(), cue.end()).find("TRACK 03 AUDIO") != std::string::npos);
            dlg.cueCheck()->setChecked(false);
        }
        QCOMPARE(settings->GetInt("WriteCueSheet", 1), 0);
        CIsoToolDlg again(nullptr, *settings, prompter, *access);
        QVERIFY(!again.cueCheck()->isChecked());
        again.fileEdit()->setText(Out("plain.bin"));
        again.OnStart();
        QTRY_VERIFY(!again.WorkerRunning());
        QVERIFY(!FileExists(dir->path() + "/plain.cue"));
    }

    // The field holds the core's path: Browse starts in its folder (one named
    // "\u00C9psxe", a single byte in the ANSI code page), and the image chosen
    // there comes back as the core's path, ".bin" added.
    void browseStartsInTheFieldsFolderAndGivesTheCoresPath() {
#ifdef _WIN32
        QSKIP("the file dialog is the system's own on Windows: nothing here can answer it");
#endif
        TestWorkspace world;
        const QString name = QStringLiteral("\u00C9psxe");
        const QString folder = QString::fromStdString(world.driveC()) + QStringLiteral("/Jeux/") + name;
        QVERIFY(QDir().mkpath(folder));
        const std::string ansiFolder = "C:\\Jeux\\" + FromQt(name);
        auto access = Access({Disc()});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        dlg.fileEdit()->setText(ToQt(ansiFolder + "\\game.bin"));
        QString start;
        QTimer::singleShot(0, [&start, folder] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!chooser) {
                if (QWidget* other = QApplication::activeModalWidget()) other->close();
                return;
            }
            start = chooser->directory().absolutePath();
            chooser->selectFile(folder + QStringLiteral("/image"));
            QMetaObject::invokeMethod(chooser, "accept");  // protected in QFileDialog
        });
        dlg.browseButton()->click();
        QVERIFY2(!QFileInfo(start).canonicalFilePath().isEmpty() &&
                     QFileInfo(start).canonicalFilePath() == QFileInfo(folder).canonicalFilePath(),
                 qPrintable(start));
        QVERIFY2(EqualsNoCase(FromQt(dlg.fileEdit()->text()), ansiFolder + "\\image.bin"),
                 qPrintable(dlg.fileEdit()->text()));
    }

    void cancelDeletesThePartialImage() {
        auto access = Access({Disc(false, {{100, 100}})});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        dlg.fileEdit()->setText(Out("cancel.bin"));
        // At the retry question the user presses "Cancel Extraction" and retries.
        prompter.hook = [&](const std::string& text) {
            if (text.starts_with("Error reading")) dlg.cancelButton()->click();
        };
        prompter.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
        dlg.OnStart();
        QTRY_VERIFY(!dlg.WorkerRunning());
        QCOMPARE(prompter.texts.size(), size_t(2));
        QCOMPARE(prompter.texts[0],
                 std::string("Error reading one or more sectors from 78 to 104\nDo you want to retry?"));
        QCOMPARE(prompter.texts[1], std::string("Cancel Cdrom Extraction?\n"));
        QVERIFY(!FileExists(dir->path() + "/cancel.bin"));
        QVERIFY(dlg.startButton()->isEnabled());
    }

    void closingWhileRunningCancelsAndWaits() {
        auto access = Access({Disc(false, {{100, 100}})});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        dlg.show();
        dlg.fileEdit()->setText(Out("closing.bin"));
        // While the worker waits on its retry question, the user closes the dialog.
        bool closedOnce = false;
        prompter.hook = [&](const std::string& text) {
            if (text.starts_with("Error reading") && !closedOnce) {
                closedOnce = true;
                dlg.close();
            }
        };
        prompter.answers = {PromptAnswer::Yes /* cancel for closing */, PromptAnswer::Yes /* retry */};
        dlg.OnStart();
        QTRY_VERIFY(!dlg.isVisible());
        QVERIFY(!dlg.WorkerRunning());
        QCOMPARE(prompter.texts[1], std::string("Cancel Cdrom Extraction?\n"));
        QCOMPARE(prompter.texts.size(), size_t(2));  // not asked again by the worker
        QVERIFY(!FileExists(dir->path() + "/closing.bin"));
    }

    void destroyedWhileWorkerWaits() {
        auto access = Access({Disc(false, {{100, 100}})});
        HookPrompter prompter;
        auto* dlg = new CIsoToolDlg(nullptr, *settings, prompter, *access);
        dlg->fileEdit()->setText(Out("gone.bin"));
        dlg->OnStart();
        // The retry question is queued to the dialog; destroy it before it is shown.
        delete dlg;
        QVERIFY(prompter.texts.empty());
        QVERIFY(!FileExists(dir->path() + "/gone.bin"));
    }

    // The drive had no disc when the dialog looked, then another disc went in:
    // Start extracts that disc and describes it in the cue sheet.
    void startReadsTheDiscInTheDriveNow() {
        auto access = Access({Disc()});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        QCOMPARE(dlg.trackList()->topLevelItemCount(), 3);
        drives[0]->ChangeDisc(Disc(true));
        emit dlg.driveList()->activated(0);
        QCOMPARE(dlg.information()->text(), QString("Cdrom not ready."));

        DiscBuilder other;
        other.AddTrack(TrackKind::Mode1, 120).AddTrack(TrackKind::Audio, 40);
        VirtualDisc second;
        second.imagePath = other.WriteTo(dir->path(), "other");
        drives[0]->ChangeDisc(second);
        dlg.fileEdit()->setText(Out("now.bin"));
        dlg.OnStart();
        QTRY_VERIFY(!dlg.WorkerRunning());
        QCOMPARE(ReadHost(dir->path() + "/now.bin"), other.image());
        const std::string cue = Text("now.cue");
        QVERIFY(cue.find("TRACK 01 MODE1/2352") != std::string::npos);
        QVERIFY(cue.find("TRACK 02 AUDIO\r\n    INDEX 01 00:01:45") != std::string::npos);
        QVERIFY(cue.find("TRACK 03") == std::string::npos);
        // The list shows the disc that was extracted.
        QTRY_COMPARE(dlg.trackList()->topLevelItemCount(), 2);
        QCOMPARE(dlg.information()->text(), QString("\n Tracks: 2\n Sectors: 160\n Interface: IOCTL\n"));
    }

    void overwriteQuestionCoversTheCueSheet() {
        auto access = Access({Disc(false, {{100, 100}})});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        QVERIFY(WriteWholeFileAtomic(dir->path() + "/pair.cue", Bytes{'o', 'l', 'd'}));
        dlg.fileEdit()->setText(Out("pair.bin"));
        prompter.answers = {PromptAnswer::No};
        dlg.OnStart();
        QCOMPARE(prompter.texts, std::vector<std::string>{"File already exists. Overwrite File?"});
        QVERIFY(!dlg.WorkerRunning());
        QCOMPARE(Text("pair.cue"), std::string("old"));
        QVERIFY(!FileExists(dir->path() + "/pair.bin"));

        // Yes, then No at the unreadable chunk: the partial image stays, no
        // sheet describes it.
        prompter.answers = {PromptAnswer::Yes, PromptAnswer::No};
        dlg.OnStart();
        QTRY_VERIFY(!dlg.WorkerRunning());
        QCOMPARE(prompter.texts.size(), size_t(3));
        QCOMPARE(ReadHost(dir->path() + "/pair.bin"), disc.Range(0, 77));
        QVERIFY(!FileExists(dir->path() + "/pair.cue"));
    }

    // The worker is waiting for the answer to its retry question when the
    // dialog goes: that is a cancel, and a cancel deletes the partial image.
    void destroyedAtTheRetryQuestion() {
        auto access = Access({Disc(false, {{100, 100}})});
        HookPrompter prompter;
        auto* dlg = new CIsoToolDlg(nullptr, *settings, prompter, *access);
        dlg->fileEdit()->setText(Out("asked.bin"));
        dlg->OnStart();
        // The single-sector read of sector 100 is the last before the question.
        const auto lastRead = std::vector<std::uint8_t>{0xBE, 0, 0, 0, 0, 100, 0, 0, 1, 0xF8, 0, 0};
        for (int i = 0; i < 500 && !DriveGot(lastRead); ++i) QTest::qSleep(10);
        QVERIFY(DriveGot(lastRead));
        QTest::qSleep(100);
        delete dlg;
        QVERIFY(prompter.texts.empty());
        QVERIFY(!FileExists(dir->path() + "/asked.bin"));
    }

    // A click or right-click in the list without a row selected means track 1.
    void clickWithoutARowMeansTrackOne() {
        auto access = Access({Disc()});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTreeWidget* list = dlg.trackList();
        list->clearSelection();
        emit list->customContextMenuRequested(QPoint(4, list->viewport()->height() - 4));
        QCOMPARE(dlg.trackEdit()->text(), QString("1"));

        list->setCurrentItem(list->topLevelItem(2));
        emit list->customContextMenuRequested(QPoint(4, 4));
        QCOMPARE(dlg.trackEdit()->text(), QString("3"));
        list->clearSelection();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(4, list->viewport()->height() - 4));
        QCOMPARE(dlg.trackEdit()->text(), QString("1"));
        const QRect second = list->visualItemRect(list->topLevelItem(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(dlg.trackEdit()->text(), QString("2"));
    }

    void progressRepaintsOnlyWhenTheFillChanges() {
        CProgressBar bar;
        bar.resize(100, 18);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.SetRange(0, 10000);
        QTRY_VERIFY(bar.paintCount() > 0);
        QTest::qWait(20);
        const int before = bar.paintCount();
        bar.SetPos(50);  // half a pixel: nothing to show
        QTest::qWait(30);
        QCOMPARE(bar.paintCount(), before);
        bar.SetPos(2600);
        QTRY_COMPARE(bar.paintCount(), before + 1);
        QCOMPARE(bar.Percent(), 26);
        // Windows gives a top-level window a minimum width, so the bar may be wider than asked.
        QCOMPARE(bar.FilledWidth(), 26 * bar.width() / 100);
        const QImage picture = bar.grab().toImage();
        const QColor highlight = bar.palette().color(QPalette::Highlight);
        QCOMPARE(picture.pixelColor(5, 2), highlight);
        QVERIFY(picture.pixelColor(90, 2) != highlight);
        bar.SetRange(0, 0);  // an empty range shows 0 %
        QCOMPARE(bar.Percent(), 0);
    }

    void screenshot() {
        const QByteArray target = qgetenv("ISO_TOOL_SCREENSHOT");
        if (target.isEmpty()) QSKIP("set ISO_TOOL_SCREENSHOT to a PNG path");
        auto access = Access({Disc(), Disc(true)});
        HookPrompter prompter;
        CIsoToolDlg dlg(nullptr, *settings, prompter, *access);
        dlg.fileEdit()->setText("C:\\Games\\Ape Escape.bin");
        dlg.progressBar()->SetRange(0, 100);
        dlg.progressBar()->SetPos(42);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::qWait(200);
        QVERIFY(dlg.grab().save(QString::fromUtf8(target)));
    }
};

QTEST_MAIN(IsoToolDialogTest)
#include "iso_tool_dialog_test.moc"
