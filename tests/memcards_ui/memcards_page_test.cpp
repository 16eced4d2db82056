// The memory-card page on the offscreen platform: both sides on one card,
// the format question, link slots refused, Mark as Free on an erased slot,
// Japanese titles and icons, the file dialogs, damaged cards, and the page in
// the option sheet's memory-card-only mode.

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>
#include <random>

#include "common/base/text.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/memcards/CMemcardsPage.h"
#include "frontend/memcards/memcard_texts.h"
#include "frontend/memcards/memcards_page_factory.h"
#include "frontend/options/CEmuPropertySheet.h"
#include "tests/memcards_ui/memcards_workspace.h"

namespace dravolo {

using memcards::kLeft;
using memcards::kRight;
using test::CardBuilder;

class MemcardsPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::MemcardsWorkspace> ws;
    std::unique_ptr<CMemcardsPage> page;

    void MakePage(const std::string& left, const std::string& right) {
        page = std::make_unique<CMemcardsPage>(ws->settings, ws->prompter, ws->choosers);
        std::string l = left, r = right;
        page->ExchangeCards(l, r, false);
        page->resize(700, 460);
        page->show();
        page->EnsureInitialised();
        page->OnSetActive();
    }
    QTreeWidgetItem* Item(int side, int slot) { return page->slotList(side)->topLevelItem(slot); }
    QString Name(int side, int slot) { return Item(side, slot) ? Item(side, slot)->text(1) : QString(); }
    void Click(int side, int slot) {
        QTreeWidget* list = page->slotList(side);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(Item(side, slot)).center());
    }
    void Answer(std::initializer_list<PromptAnswer> answers) { ws->prompter.answers.assign(answers); }
    QStringList Texts() {
        QStringList texts;
        for (const auto& m : ws->prompter.messages) texts << QString::fromStdString(m.text);
        return texts;
    }

private slots:
    void init() { ws = std::make_unique<test::MemcardsWorkspace>(); }
    void cleanup() {
        page.reset();
        ws.reset();
    }

    void bothSidesOnTheSameCard() {
        const std::string card = ws->PutCard("shared.mcr", test::MemcardsWorkspace::PlayerCard().str());
        MakePage(card, card);
        QSignalSpy leftSent(page.get(), &CMemcardsPageBase::leftCardPathSent);
        QCOMPARE(page->windowTitle(), QStringLiteral("MemCard Manager     "));
        QCOMPARE(page->cardList(kLeft)->currentText(), QStringLiteral("c:\\epsxe\\memcards\\shared.mcr"));
        QCOMPARE(page->slotList(kRight)->topLevelItemCount(), 15);
        QVERIFY(!page->refreshButton(kLeft)->isVisible());

        // Copy slot 5 ("冒険の記録　１", the full-width space and digit made plain) on the left to slot 10 on the right.
        Click(kLeft, 4);
        Click(kRight, 9);
        QTest::mouseClick(page->copyButton(kLeft), Qt::LeftButton);
        QVERIFY(ws->prompter.messages.empty());
        QCOMPARE(Name(kRight, 9), QString::fromUtf8("冒険の記録 1"));
        QCOMPARE(Name(kLeft, 9), QString::fromUtf8("冒険の記録 1"));
        QCOMPARE(leftSent.count(), 1);  // the left side was refreshed too

        // Erase it on the left: the right shows it gone.
        Click(kLeft, 9);
        Answer({PromptAnswer::Yes});
        QTest::mouseClick(page->eraseButton(), Qt::LeftButton);
        QCOMPARE(Texts(), QStringList{QString::fromLatin1(memcards::kAskDeleteSlot)});
        QCOMPARE(ws->prompter.messages[0].caption, std::string("MemCard Manager"));
        QCOMPARE(Name(kRight, 9), QStringLiteral(":: Free ::"));
    }

    void formatQuestion() {
        const std::string card = ws->PutCard("blank.mcr", std::string(CardBuilder::kCardSize, '\x55'));
        Answer({PromptAnswer::Yes});
        MakePage(card, "");
        QCOMPARE(Texts(), QStringList{QString::fromLatin1(memcards::kAskFormatUnformatted)});
        QCOMPARE(ws->prompter.messages[0].icon, PromptIcon::Question);
        QCOMPARE(ws->CardBytes("blank.mcr"), CardBuilder().str());
        QCOMPARE(page->slotList(kLeft)->topLevelItemCount(), 15);

        // The Format button asks its own question; No writes nothing.
        ws->PutCard("blank.mcr", test::MemcardsWorkspace::SecondCard().str());
        Answer({PromptAnswer::No});
        QTest::mouseClick(page->formatButton(kLeft), Qt::LeftButton);
        QCOMPARE(Texts().last(), QString::fromLatin1(memcards::kAskFormat));
        QCOMPARE(Name(kLeft, 0), QStringLiteral("SPYRO: YEAR OF THE DRAGON"));
        Answer({PromptAnswer::Yes});
        QTest::mouseClick(page->formatButton(kLeft), Qt::LeftButton);
        QCOMPARE(Name(kLeft, 0), QStringLiteral(":: Free ::"));
    }

    void linkSlotsRefused() {
        const std::string left = ws->PutCard("l.mcr", test::MemcardsWorkspace::PlayerCard().str());
        const std::string right = ws->PutCard("r.mcr", test::MemcardsWorkspace::SecondCard().str());
        MakePage(left, right);
        const std::string before = ws->CardBytes("r.mcr");
        QCOMPARE(Name(kLeft, 2), QStringLiteral(":: Link ::"));
        QCOMPARE(Name(kLeft, 3), QStringLiteral(":: End Link ::"));
        Click(kLeft, 2);
        Click(kRight, 5);
        QTest::mouseClick(page->copyButton(kLeft), Qt::LeftButton);
        Click(kLeft, 3);
        QTest::mouseClick(page->eraseButton(), Qt::LeftButton);
        // Onto a link from the right: refused as well.
        Click(kRight, 0);
        Click(kLeft, 2);
        QTest::mouseClick(page->copyButton(kRight), Qt::LeftButton);
        QVERIFY(ws->prompter.messages.empty());
        QCOMPARE(ws->CardBytes("r.mcr"), before);

        // The three-block save itself copies, its blocks in the lowest free slots.
        Click(kLeft, 1);
        Click(kRight, 5);
        QTest::mouseClick(page->copyButton(kLeft), Qt::LeftButton);
        QCOMPARE(Name(kRight, 5), QStringLiteral("Ridge Racer"));
        QCOMPARE(Name(kRight, 1), QStringLiteral(":: Link ::"));
        QCOMPARE(Name(kRight, 3), QStringLiteral(":: End Link ::"));
    }

    void markAsFreeOnAnErasedSlot() {
        const std::string card = ws->PutCard("m.mcr", test::MemcardsWorkspace::PlayerCard().str());
        MakePage("", card);
        const std::string before = ws->CardBytes("m.mcr");
        QCOMPARE(Name(kRight, 5), QStringLiteral(":: Erased ::"));
        QTreeWidget* list = page->slotList(kRight);
        page->ShowContextMenu(kRight, list->visualItemRect(Item(kRight, 5)).center());
        QVERIFY(page->contextMenu()->isVisible());
        QCOMPARE(page->contextMenu()->title(), QStringLiteral("MemCards"));
        QVERIFY(page->recoverSlotAction()->isEnabled());
        QVERIFY(page->checkIntegrityAction()->isEnabled());
        QVERIFY(!page->exportSaveAction()->isEnabled());  // no save starts at an erased slot
        QVERIFY(Item(kRight, 5)->isSelected());
        page->contextMenu()->hide();
        Answer({PromptAnswer::Yes});
        page->markFreeAction()->trigger();
        QCOMPARE(Texts(), QStringList{QString::fromLatin1(memcards::kAskFreeSlot)});
        QCOMPARE(ws->CardBytes("m.mcr"), before);
        QCOMPARE(Name(kRight, 5), QStringLiteral(":: Erased ::"));

        // On a save: its three blocks are marked, "Delete Save" then refuses.
        page->ShowContextMenu(kRight, list->visualItemRect(Item(kRight, 1)).center());
        page->contextMenu()->hide();
        Answer({PromptAnswer::Yes});
        page->markFreeAction()->trigger();
        for (int slot : {1, 2, 3}) QCOMPARE(Name(kRight, slot), QStringLiteral(":: Erased ::"));
        // A right-click beside the rows does nothing.
        page->ShowContextMenu(kRight, QPoint(5, list->viewport()->height() + 50));
        QCOMPARE(ws->prompter.messages.size(), std::size_t{2});
    }

    void titlesIconsAndRegions() {
        const std::string card = ws->PutCard("t.mcr", test::MemcardsWorkspace::PlayerCard().str());
        MakePage(card, "");
        QCOMPARE(Name(kLeft, 0), QString::fromUtf8("ファイナルファンタジー7"));
        QCOMPARE(Name(kLeft, 1), QStringLiteral("Ridge Racer"));
        QCOMPARE(Name(kLeft, 5), QStringLiteral(":: Erased ::"));
        QCOMPARE(Item(kLeft, 0)->text(0), QStringLiteral("1"));
        // The heart icon: its red from the card's palette.
        const QImage heart = Item(kLeft, 0)->icon(0).pixmap(16, 16).toImage();
        QCOMPARE(heart.pixelColor(4, 6), QColor(224, 40, 40));
        QVERIFY(!Item(kLeft, 0)->icon(2).isNull());
        QVERIFY(Item(kLeft, 0)->icon(2).cacheKey() != Item(kLeft, 1)->icon(2).cacheKey());  // BI vs BA
    }

    // A card in a folder whose name the ANSI code page holds in one byte and
    // UTF-8 in two ("\u00C9psxe"): Browse starts at that very card, and the
    // card chosen there comes back as the same ANSI path.
    void browseReachesCardsInFoldersWithAnsiNames() {
        const QString name = QStringLiteral("\u00C9psxe");
        const QString driveC = QFileInfo(QString::fromStdString(ws->PutDriveFile("probe", ""))).path();
        // Drive C: is "C:/" on Windows, a folder elsewhere.
        const QString hostCard =
            QDir::cleanPath(driveC + QStringLiteral("/Jeux/") + name + QStringLiteral("/crash.mcr"));
        QVERIFY(QDir().mkpath(QFileInfo(hostCard).path()));
        {
            QFile card(hostCard);
            QVERIFY(card.open(QIODevice::WriteOnly));
            card.write(QByteArray::fromStdString(test::MemcardsWorkspace::SecondCard().str()));
        }
        const std::string card = "c:\\jeux\\" + FromQt(name.toLower()) + "\\crash.mcr";
        MakePage(card, "");
        QCOMPARE(Name(kLeft, 0), QStringLiteral("SPYRO: YEAR OF THE DRAGON"));

        ws->choosers.file = hostCard;
        QTest::mouseClick(page->browseButton(kLeft), Qt::LeftButton);
        // The list keeps paths in lower case; Windows keeps the case it is
        // given in a canonical path.
        const QString start = QFileInfo(ws->choosers.asked.back().second).canonicalFilePath();
        QVERIFY2(!start.isEmpty() && start.compare(QFileInfo(hostCard).canonicalFilePath(), Qt::CaseInsensitive) == 0,
                 qPrintable(ws->choosers.asked.back().second));
        QVERIFY(EqualsNoCase(FromQt(page->cardList(kLeft)->currentText()), card));
        QCOMPARE(Name(kLeft, 0), QStringLiteral("SPYRO: YEAR OF THE DRAGON"));
        QVERIFY(ws->prompter.messages.empty());
    }

    void browseImportAndCreateThroughTheDialogs() {
        MakePage("", "");
        QCOMPARE(page->cardList(kLeft)->count(), 0);
        // Browse: the product's filter, the chosen card selected on its side only.
        ws->PutCard("Found.MCR", test::MemcardsWorkspace::SecondCard().str());
        ws->choosers.file = QString::fromStdString(ws->HostCardPath("Found.MCR"));
        QTest::mouseClick(page->browseButton(kRight), Qt::LeftButton);
        QVERIFY(ws->choosers.asked.back().first.startsWith(QStringLiteral("Memsaves (*.mcr,*.mcd,*.mc,*.ddf)")));
        QCOMPARE(page->cardList(kRight)->currentText(), QStringLiteral("c:\\epsxe\\memcards\\found.mcr"));
        QCOMPARE(page->cardList(kLeft)->currentIndex(), -1);
        QCOMPARE(Name(kRight, 0), QStringLiteral("SPYRO: YEAR OF THE DRAGON"));

        // Import a DexDrive image from outside the card folder.
        const std::string body = test::MemcardsWorkspace::PlayerCard().str();
        ws->choosers.file = QString::fromStdString(ws->PutDriveFile("Dex.gme", std::string(3904, 'D') + body));
        QTest::mouseClick(page->importButton(kLeft), Qt::LeftButton);
        QCOMPARE(page->cardList(kLeft)->currentText(), QStringLiteral("c:\\epsxe\\memcards\\dex.mcr"));
        QCOMPARE(ws->CardBytes("dex.mcr"), body);
        QCOMPARE(Name(kLeft, 1), QStringLiteral("Ridge Racer"));

        // Create offers memcard2.mcr on the right and makes a blank card.
        ws->choosers.file = QString::fromStdString(ws->HostCardPath("fresh"));
        QTest::mouseClick(page->createButton(kRight), Qt::LeftButton);
        QVERIFY(QDir::fromNativeSeparators(ws->choosers.asked.back().second).endsWith(QStringLiteral("/memcard2.mcr")));
        QCOMPARE(ws->CardBytes("fresh.mcr"), CardBuilder().str());
        QCOMPARE(page->cardList(kRight)->currentText(), QStringLiteral("c:\\epsxe\\memcards\\fresh.mcr"));
        QVERIFY(ws->prompter.messages.empty());

        // Picking another entry in the list refreshes that side.
        const int found = page->cardList(kRight)->findText(QStringLiteral("c:\\epsxe\\memcards\\found.mcr"));
        page->cardList(kRight)->setCurrentIndex(found);
        QCOMPARE(Name(kRight, 0), QStringLiteral("SPYRO: YEAR OF THE DRAGON"));
    }

    void damagedCardsShowWithoutCrash() {
        std::mt19937 random(42);
        std::string noise(CardBuilder::kCardSize, '\0');
        for (char& c : noise) c = static_cast<char>(random());
        noise[0] = 'M';
        noise[1] = 'C';
        const std::string cut = test::MemcardsWorkspace::PlayerCard().str().substr(0, 10000);
        const std::string big = test::MemcardsWorkspace::PlayerCard().str() + std::string(50000, '\x83');
        MakePage(ws->PutCard("noise.mcr", noise), ws->PutCard("cut.mcr", cut));
        QCOMPARE(page->slotList(kLeft)->topLevelItemCount(), 15);
        QCOMPARE(page->slotList(kRight)->topLevelItemCount(), 15);
        QCOMPARE(Name(kRight, 0), QString::fromUtf8("ファイナルファンタジー7"));
        QCOMPARE(Name(kRight, 4), QStringLiteral(":: Free ::"));  // past the end: nothing left over
        ws->PutCard("big.mcr", big);
        ws->choosers.file = QString::fromStdString(ws->HostCardPath("big.mcr"));
        QTest::mouseClick(page->browseButton(kLeft), Qt::LeftButton);
        QCOMPARE(Name(kLeft, 4), QString::fromUtf8("冒険の記録 1"));
        QCOMPARE(ws->CardBytes("big.mcr").size(), big.size());
    }

    void memcardsToolSheet() {
        ws->PutCard("a.mcr", test::MemcardsWorkspace::PlayerCard().str());
        const auto editor = MakePlatformRegistryEditor(ws->registry);
        SheetContext context{ws->settings, ws->prompter, ws->choosers, *editor,
                             MakeMemcardsPageMaker(ws->settings, ws->prompter, &ws->choosers)};
        CEmuPropertySheet sheet(context, CEmuPropertySheet::CaptionForKind(kMemcardsOnly));
        sheet.SetKind(kMemcardsOnly);
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Memcards Tool"));
        QCOMPARE(sheet.tabs()->count(), 1);
        QCOMPARE(sheet.tabs()->tabText(0), QStringLiteral("MemCard Manager     "));
        sheet.show();
        auto* memcardsPage = qobject_cast<CMemcardsPage*>(sheet.memcardsPage());
        QVERIFY(memcardsPage);
        QCOMPARE(memcardsPage->cardList(kLeft)->count(), 1);
        memcardsPage->cardList(kLeft)->setCurrentIndex(0);
        QCOMPARE(sheet.cardPath(0), std::string("c:\\epsxe\\memcards\\a.mcr"));
        // Card snapshots belong to a profile: none in the memory-card-only sheet.
        QVERIFY(!memcardsPage->snapshotsButton(kLeft)->isEnabled());
        sheet.buttons()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!sheet.isVisible());
    }

    void profileSheetOffersTheProfilesSnapshots() {
        const auto editor = MakePlatformRegistryEditor(ws->registry);
        SheetContext context{ws->settings, ws->prompter, ws->choosers, *editor,
                             MakeMemcardsPageMaker(ws->settings, ws->prompter, &ws->choosers)};
        CEmuPropertySheet sheet(context, CEmuPropertySheet::CaptionForKind(EmulatorKind::Epsxe));
        sheet.SetProfileName("Crash");
        sheet.SetKind(EmulatorKind::Epsxe);
        auto* memcardsPage = qobject_cast<CMemcardsPage*>(sheet.memcardsPage());
        QVERIFY(memcardsPage);
        QCOMPARE(memcardsPage->manager().SnapshotFolder(), std::string(".\\Epsxe\\Crash.snapshots\\"));
        QVERIFY(memcardsPage->snapshotsButton(kRight)->isEnabled());
        sheet.SetProfileName("Spyro");
        QCOMPARE(memcardsPage->manager().SnapshotFolder(), std::string(".\\Epsxe\\Spyro.snapshots\\"));
    }
};

}  // namespace dravolo

QTEST_MAIN(dravolo::MemcardsPageTest)
#include "memcards_page_test.moc"
