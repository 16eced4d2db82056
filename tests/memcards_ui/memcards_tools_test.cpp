// The memory-card page's tools on the offscreen platform: Recover Slot and
// Check Integrity (its report and Repair) from the slot menu, the Snapshots
// dialog of each side with Restore, and Export Save / Import Save.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>

#include "frontend/core/card_snapshots.h"
#include "frontend/memcards/CIntegrityDialog.h"
#include "frontend/memcards/CMemcardsPage.h"
#include "frontend/memcards/CSnapshotsDialog.h"
#include "frontend/memcards/memcard_texts.h"
#include "tests/memcards_ui/memcards_workspace.h"
#include "tests/support/modal_poll.h"

namespace dravolo {

using memcards::kLeft;
using memcards::kRight;
using test::CardBuilder;

namespace {

// Runs `act` on the modal dialog of type D once it is up, then closes it, so
// that a test never waits on a dialog that did not come.
template <typename D>
void WhenShown(std::function<void(D*)> act, bool* seen) {
    test::WhenModalShown<D>(
        [act = std::move(act), seen](D* dialog) {
            *seen = true;
            act(dialog);
            dialog->reject();
        },
        200);
}

QStringList Lines(QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

}  // namespace

class MemcardsToolsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::MemcardsWorkspace> ws;
    std::unique_ptr<CMemcardsPage> page;

    void MakePage(const std::string& left, const std::string& right, const std::string& profile = "") {
        page = std::make_unique<CMemcardsPage>(ws->settings, ws->prompter, ws->choosers);
        page->SetKind(EmulatorKind::Epsxe);
        page->SetProfileName(profile);
        std::string l = left, r = right;
        page->ExchangeCards(l, r, false);
        page->resize(760, 480);
        page->show();
        page->EnsureInitialised();
        page->OnSetActive();
    }
    QTreeWidgetItem* Item(int side, int slot) { return page->slotList(side)->topLevelItem(slot); }
    QString Name(int side, int slot) { return Item(side, slot) ? Item(side, slot)->text(1) : QString(); }
    void Menu(int side, int slot) {
        QTreeWidget* list = page->slotList(side);
        page->ShowContextMenu(side, list->visualItemRect(Item(side, slot)).center());
        QVERIFY(page->contextMenu()->isVisible());
        page->contextMenu()->hide();
    }
    void Answer(std::initializer_list<PromptAnswer> answers) { ws->prompter.answers.assign(answers); }

private slots:
    void init() { ws = std::make_unique<test::MemcardsWorkspace>(); }
    void cleanup() {
        page.reset();
        ws.reset();
    }

    void recoverSlotFromTheMenu() {
        const std::string card = ws->PutCard("r.mcr", test::MemcardsWorkspace::PlayerCard().str());
        MakePage(card, "");
        QCOMPARE(Name(kLeft, 5), QStringLiteral(":: Erased ::"));
        Menu(kLeft, 5);
        page->recoverSlotAction()->trigger();
        QVERIFY(ws->prompter.messages.empty());
        QCOMPARE(Name(kLeft, 5), QStringLiteral("OLD GAME"));
        QVERIFY(Item(kLeft, 5)->isSelected());

        // A save in use: refused, and the page says why.
        Menu(kLeft, 0);
        page->recoverSlotAction()->trigger();
        QCOMPARE(ws->prompter.messages.size(), std::size_t{1});
        QCOMPARE(ws->prompter.messages[0].caption, std::string("MemCard Manager"));
        QVERIFY(!ws->prompter.messages[0].text.empty());
    }

    void checkIntegrityShowsTheReportAndRepairs() {
        const CardBuilder damaged = CardBuilder()
                                        .AddSave({2, 4, 6}, "CUT", 2)
                                        .SetState(2, 0xA0)
                                        .SetByte(CardBuilder::FrameOffset(9) + 127, 0x33);
        const std::string card = ws->PutCard("bad.mcr", damaged.str());
        MakePage("", card);
        Menu(kRight, 0);
        bool seen = false;
        QStringList before, after;
        bool repairEnabledAfter = true;
        QString repaired;
        Answer({PromptAnswer::Yes});
        WhenShown<CIntegrityDialog>(
            [&](CIntegrityDialog* dialog) {
                before = Lines(dialog->findingList());
                QVERIFY(dialog->repairButton()->isEnabled());
                QTest::mouseClick(dialog->repairButton(), Qt::LeftButton);
                after = Lines(dialog->findingList());
                repairEnabledAfter = dialog->repairButton()->isEnabled();
                repaired = dialog->repairedLabel()->text();
            },
            &seen);
        page->checkIntegrityAction()->trigger();
        QVERIFY(seen);
        QCOMPARE(before, (QStringList{QStringLiteral("Slot 10: directory frame checksum is 0x33, should be 0xA0."),
                                      QStringLiteral("Slot 5: a block in use that no save reaches."),
                                      QStringLiteral("Slot 7: a block in use that no save reaches.")}));
        QCOMPARE(ws->prompter.messages.size(), std::size_t{1});
        QCOMPARE(ws->prompter.messages[0].text, std::string(memcards::kAskRepairCard));
        QCOMPARE(after, QStringList{QStringLiteral("No problems found.")});
        QVERIFY(!repairEnabledAfter);
        QVERIFY(repaired.startsWith(QStringLiteral("Repaired: 1 checksum")));
        // The page shows the repaired card: the cut save as one Recover Slot can bring back.
        QCOMPARE(Name(kRight, 4), QStringLiteral(":: Erased ::"));
        QCOMPARE(QByteArray::fromStdString(ws->CardBytes("bad.mcr").substr(8192)),
                 QByteArray::fromStdString(damaged.str().substr(8192)));
    }

    void snapshotsDialogListsAndRestores() {
        std::filesystem::create_directories("Epsxe");
        const std::string then = test::MemcardsWorkspace::PlayerCard().str();
        const std::string card1 = ws->PutCard("epsxe000.mcr", then);
        const std::string card2 = ws->PutCard("epsxe001.mcr", test::MemcardsWorkspace::SecondCard().str());
        const std::string folder = ".\\Epsxe\\Crash.snapshots\\";
        QCOMPARE(memcards::TakeSnapshot(folder, 1, card1, 10, std::time(nullptr) - 3600),
                 memcards::SnapshotOutcome::Taken);
        // Since then: the first save erased, a new one in slot 8.
        const std::string now = test::MemcardsWorkspace::PlayerCard().MarkFree({0}).AddSave({7}, "NEW GAME", 9).str();
        ws->PutCard("epsxe000.mcr", now);

        // Without a profile the button is there but greyed.
        MakePage(card1, card2);
        QVERIFY(!page->snapshotsButton(kLeft)->isEnabled());
        MakePage(card1, card2, "Crash");
        QVERIFY(page->snapshotsButton(kLeft)->isEnabled());

        bool seen = false;
        QString title, summary, firstSave, onlyOnCard;
        int snapshots = 0, snapshotsAfter = 0;
        Answer({PromptAnswer::Yes});
        WhenShown<CSnapshotsDialog>(
            [&](CSnapshotsDialog* dialog) {
                title = dialog->windowTitle();
                QTreeWidget* list = dialog->snapshotList();
                snapshots = list->topLevelItemCount();
                QTreeWidgetItem* top = list->topLevelItem(0);
                summary = top->text(2);
                firstSave = top->child(0)->text(1) + " | " + top->child(0)->text(2);
                onlyOnCard = top->child(top->childCount() - 1)->text(1);
                list->setCurrentItem(top->child(1));  // a save's row restores its snapshot
                QVERIFY(dialog->restoreButton()->isEnabled());
                QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
                snapshotsAfter = list->topLevelItemCount();
            },
            &seen);
        QTest::mouseClick(page->snapshotsButton(kLeft), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(title, QStringLiteral("Snapshots of memory card 1"));
        QCOMPARE(snapshots, 1);
        QCOMPARE(summary, QStringLiteral("1 no longer on the card, 1 only on the card"));
        QCOMPARE(firstSave, QString::fromUtf8("ファイナルファンタジー7 | no longer on the card"));
        QCOMPARE(onlyOnCard, QStringLiteral("NEW GAME"));
        // Asked, restored, and the card as it was kept as the newest snapshot.
        QCOMPARE(ws->prompter.messages.size(), std::size_t{1});
        QVERIFY(ws->prompter.messages[0].text.rfind("Restore the snapshot of ", 0) == 0);
        QCOMPARE(snapshotsAfter, 2);
        QCOMPARE(QByteArray::fromStdString(ws->CardBytes("epsxe000.mcr")), QByteArray::fromStdString(then));
        QCOMPARE(Name(kLeft, 0), QString::fromUtf8("ファイナルファンタジー7"));
        const auto kept = memcards::ListSnapshots(folder, 1);
        QCOMPARE(kept.size(), std::size_t{2});
        QCOMPARE(memcards::ReadCardBytes(kept[0].path)->size(), now.size());

        // The right side lists card 2's snapshots: none yet.
        seen = false;
        int right = -1;
        WhenShown<CSnapshotsDialog>(
            [&](CSnapshotsDialog* dialog) {
                right = dialog->snapshotList()->topLevelItemCount();
                QVERIFY(!dialog->restoreButton()->isEnabled());
            },
            &seen);
        QTest::mouseClick(page->snapshotsButton(kRight), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(right, 0);
    }

    // A snapshot's path is the core's ANSI text: its tooltip shows the
    // profile's folder name as written ("\u00C9preuve"), not bytes read as UTF-8.
    void snapshotTooltipShowsAnAnsiPathAsWritten() {
        memcards::MemcardManager::SnapshotEntry entry;
        entry.snapshot.id = "20240131-235959-1";
        entry.snapshot.date = "2024-01-31 23:59:59";
        entry.snapshot.path = ".\\Epsxe\\\xC9preuve.snapshots\\20240131-235959-1.mcr";
        entry.readable = false;
        CSnapshotsDialog dialog(
            1, "c:\\epsxe\\memcards\\epsxe000.mcr", [entry] { return CSnapshotsDialog::Entries{entry}; },
            [](const std::string&) { return false; });
        QTreeWidgetItem* row = dialog.snapshotList()->topLevelItem(0);
        QVERIFY(row);
        QCOMPARE(row->toolTip(0), QStringLiteral(".\\Epsxe\\\u00C9preuve.snapshots\\20240131-235959-1.mcr"));
    }

    void exportAndImportSaveThroughTheMenu() {
        const std::string left = ws->PutCard("l.mcr", test::MemcardsWorkspace::PlayerCard().str());
        const std::string right = ws->PutCard("r.mcr", test::MemcardsWorkspace::SecondCard().str());
        MakePage(left, right);

        // Export the three-block save as a Datel file; the dialog offers the save's name beside the card.
        Menu(kLeft, 1);
        QVERIFY(page->exportSaveAction()->isEnabled());
        const QString saveFile = QString::fromStdString(ws->HostCardPath("ridge.mcx"));
        ws->choosers.file = saveFile;
        page->exportSaveAction()->trigger();
        QVERIFY(ws->choosers.asked.back().first.contains(QStringLiteral("*.psv")));
        QVERIFY(ws->choosers.asked.back().second.endsWith(QStringLiteral(".mcs")));
        QVERIFY(ws->prompter.messages.empty());
        QVERIFY(std::filesystem::exists(saveFile.toStdString()));

        // Import it into slot 2 of the right card: its links land in the lowest free slots.
        Menu(kRight, 1);
        page->importSaveAction()->trigger();
        QVERIFY(ws->prompter.messages.empty());
        QCOMPARE(Name(kRight, 1), QStringLiteral("Ridge Racer"));
        QCOMPARE(Name(kRight, 3), QStringLiteral(":: Link ::"));
        QCOMPARE(Name(kRight, 4), QStringLiteral(":: End Link ::"));

        // Onto a link slot: refused with the reason; the card as it was.
        const std::string before = ws->CardBytes("r.mcr");
        Menu(kRight, 3);
        page->importSaveAction()->trigger();
        QCOMPARE(ws->prompter.messages.size(), std::size_t{1});
        QCOMPARE(QByteArray::fromStdString(ws->CardBytes("r.mcr")), QByteArray::fromStdString(before));
        // Export Save is greyed on a free slot.
        Menu(kRight, 14);
        QVERIFY(!page->exportSaveAction()->isEnabled());
    }

    void importTakesEveryCardFormat() {
        MakePage("", "");
        // A PS3 card (.vm1, the raw card) from outside the folder becomes a .mcr in the card folder.
        const std::string body = test::MemcardsWorkspace::SecondCard().str();
        ws->choosers.file = QString::fromStdString(ws->PutDriveFile("Game.VM1", body));
        QTest::mouseClick(page->importButton(kLeft), Qt::LeftButton);
        QVERIFY(ws->choosers.asked.back().first.contains(QStringLiteral("*.vmp")));
        QVERIFY(ws->choosers.asked.back().first.contains(QStringLiteral("Dexdrive/VGS(*.vgs *.mem *.gme)")) ||
                ws->choosers.asked.back().first.contains(QStringLiteral("Dexdrive/VGS")));
        QVERIFY(ws->prompter.messages.empty());
        QCOMPARE(QByteArray::fromStdString(ws->CardBytes("game.mcr")), QByteArray::fromStdString(body));
        QCOMPARE(Name(kLeft, 0), QStringLiteral("SPYRO: YEAR OF THE DRAGON"));
    }
};

}  // namespace dravolo

QTEST_MAIN(dravolo::MemcardsToolsTest)
#include "memcards_tools_test.moc"
