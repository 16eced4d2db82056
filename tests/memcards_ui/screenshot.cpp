// Pictures of the memory-card page for the docs: the "Memcards Tool" sheet
// with two cards that have icons and Japanese titles, a save selected on
// each side; beside it memcards_integrity.png (the Check Integrity report of
// a damaged card) and memcards_snapshots.png (the snapshots of card 1).
// Run under a display or Xvfb: memcards_ui_screenshot OUT.png

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <ctime>
#include <filesystem>
#include <functional>

#include "frontend/core/card_snapshots.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/memcards/CIntegrityDialog.h"
#include "frontend/memcards/CMemcardsPage.h"
#include "frontend/memcards/CSnapshotsDialog.h"
#include "frontend/memcards/memcards_page_factory.h"
#include "frontend/options/CEmuPropertySheet.h"
#include "frontend/widgets/file_choosers.h"
#include "tests/memcards_ui/memcards_workspace.h"
#include "tests/support/modal_poll.h"

namespace {

// Grabs the modal dialog of type D once it is up, then closes it.
template <typename D>
void GrabWhenShown(const QString& out, bool* saved) {
    dravolo::test::WhenModalShown<D>(
        [out, saved](D* dialog) {
            QTest::qWait(200);
            *saved = dialog->grab().save(out);
            dialog->reject();
        },
        300);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    // Made absolute before the workspace makes its own folder current (on
    // Windows a path without a drive would then mean that folder's drive).
    const QString out = QString::fromStdU16String(std::filesystem::absolute(argv[1]).u16string());
    using namespace dravolo;

    test::MemcardsWorkspace ws;
    const std::string left = ws.PutCard("epsxe000.mcr", test::MemcardsWorkspace::PlayerCard().str());
    const std::string right = ws.PutCard("epsxe001.mcr", test::MemcardsWorkspace::SecondCard().str());
    ws.PutCard("spare.mcd", test::CardBuilder().str());

    FileChoosers choosers;
    const auto editor = MakePlatformRegistryEditor(ws.registry);
    SheetContext context{ws.settings, ws.prompter, choosers, *editor,
                         MakeMemcardsPageMaker(ws.settings, ws.prompter, &ws.choosers)};
    CEmuPropertySheet sheet(context, CEmuPropertySheet::CaptionForKind(kMemcardsOnly));
    sheet.SetKind(kMemcardsOnly);
    auto* page = static_cast<CMemcardsPage*>(sheet.memcardsPage());
    page->SetLeftCardPath(left);
    page->SetRightCardPath(right);
    sheet.show();
    QTest::qWait(200);
    for (const auto& [side, slot] : {std::pair{memcards::kLeft, 1}, std::pair{memcards::kRight, 0}}) {
        QTreeWidget* list = page->slotList(side);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(slot)).center());
    }
    QTest::qWait(200);
    if (!sheet.grab().save(out)) return 1;
    const QString dir = QFileInfo(out).absolutePath();

    // Check Integrity of a card with a cut save and a bad checksum, on the right.
    ws.PutCard("damaged.mcr", test::MemcardsWorkspace::SecondCard()
                                  .AddSave({4, 6, 9}, "CUT SHORT", 7)
                                  .SetState(4, 0xA0)
                                  .SetByte(test::CardBuilder::FrameOffset(12) + 127, 0x5C)
                                  .str());
    ws.choosers.file = QString::fromStdString(ws.HostCardPath("damaged.mcr"));
    QTest::mouseClick(page->browseButton(memcards::kRight), Qt::LeftButton);
    QTreeWidget* rightList = page->slotList(memcards::kRight);
    page->ShowContextMenu(memcards::kRight, rightList->visualItemRect(rightList->topLevelItem(0)).center());
    page->contextMenu()->hide();
    bool integritySaved = false;
    GrabWhenShown<CIntegrityDialog>(dir + "/memcards_integrity.png", &integritySaved);
    page->checkIntegrityAction()->trigger();

    // Three snapshots of card 1 from earlier launches; since then a save was erased and one added.
    std::filesystem::create_directories("Epsxe");
    page->SetKind(EmulatorKind::Epsxe);
    page->SetProfileName("Crash");
    const std::string folder = ".\\Epsxe\\Crash.snapshots\\";
    const std::time_t now = std::time(nullptr);
    ws.PutCard("epsxe000.mcr", test::CardBuilder().AddSave({0}, "SPYRO: YEAR OF THE DRAGON", 5, "BE").str());
    memcards::TakeSnapshot(folder, 1, left, 10, now - 3 * 86400);
    ws.PutCard("epsxe000.mcr", test::MemcardsWorkspace::PlayerCard().str());
    memcards::TakeSnapshot(folder, 1, left, 10, now - 86400);
    ws.PutCard("epsxe000.mcr", test::MemcardsWorkspace::PlayerCard().AddSave({8}, "TEKKEN 3", 8, "BE").str());
    memcards::TakeSnapshot(folder, 1, left, 10, now - 3600);
    ws.PutCard("epsxe000.mcr", test::MemcardsWorkspace::PlayerCard()
                                   .MarkFree({4})
                                   .AddSave({8}, "TEKKEN 3", 8, "BE")
                                   .SetByte(9 * 8192 + 700, 0x42)
                                   .str());
    bool snapshotsSaved = false;
    GrabWhenShown<CSnapshotsDialog>(dir + "/memcards_snapshots.png", &snapshotsSaved);
    QTest::mouseClick(page->snapshotsButton(memcards::kLeft), Qt::LeftButton);
    return integritySaved && snapshotsSaved ? 0 : 1;
}
