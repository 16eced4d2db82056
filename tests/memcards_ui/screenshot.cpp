// A picture of the memory-card page for the docs: the "Memcards Tool" sheet
// with two cards that have icons and Japanese titles, a save selected on
// each side. Run under a display or Xvfb: memcards_ui_screenshot OUT.png

#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include "frontend/launch/plugin_settings.h"
#include "frontend/memcards/CMemcardsPage.h"
#include "frontend/memcards/memcards_page_factory.h"
#include "frontend/options/CEmuPropertySheet.h"
#include "frontend/shell/shell_choosers.h"
#include "tests/memcards_ui/memcards_workspace.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    using namespace dravolo;

    test::MemcardsWorkspace ws;
    const std::string left = ws.PutCard("epsxe000.mcr", test::MemcardsWorkspace::PlayerCard().str());
    const std::string right = ws.PutCard("epsxe001.mcr", test::MemcardsWorkspace::SecondCard().str());
    ws.PutCard("spare.mcd", test::CardBuilder().str());

    ShellChoosers choosers;
    const auto editor = MakePlatformRegistryEditor(ws.registry);
    SheetContext context{ws.settings, ws.prompter, choosers, *editor,
                         MakeMemcardsPageMaker(ws.settings, ws.prompter, &ws.choosers)};
    CEmuPropertySheet sheet(context, CEmuPropertySheet::CaptionForKind(kMemcardsOnlyKind));
    sheet.SetKind(kMemcardsOnlyKind);
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
    return sheet.grab().save(out) ? 0 : 1;
}
