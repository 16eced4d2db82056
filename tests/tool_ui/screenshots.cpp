// Pictures of KestrineTool's main dialog for the docs, in a private prefix:
//   tool_ui_screenshots OUTPUT_DIR
// tool_plugins.png and tool_options.png with the built-in pictures,
// tool_skin.png with a skin file; tool_memcards.png, tool_cheats.png and
// tool_cheat_dialog.png with cards and cheats in the emulator's folder.

#include <QApplication>
#include <QTabWidget>
#include <QListWidget>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/support/card_builder.h"
#include "tool/CCheatDlg.h"
#include "tool/CCheatsTab.h"
#include "tool/CMemcardsTab.h"

#include "tests/support/recording_prompter.h"
#include "tests/tool_ui/tool_ui_workspace.h"
#include "tool/CKestrineToolDlg.h"
#include "tool/CToolSkin.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

bool Shoot(CKestrineToolDlg& dialog, int tab, const QString& file) {
    dialog.tabs()->setCurrentIndex(tab);
    dialog.show();
    dialog.resize(dialog.sizeHint().expandedTo(dialog.minimumSize()));
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    return dialog.grab().save(file);
}

// A skin: the built-in canvas with its colours turned, so the pictures differ.
QImage DemoSkin() {
    QImage canvas = CToolSkin::BuiltInCanvas().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb c = canvas.pixel(x, y);
            if ((c & 0xFFFFFF) == 0xFF00FF || (c & 0xFFFFFF) == 0xFFFFFF) continue;
            canvas.setPixel(x, y, qRgb(qBlue(c), qRed(c), qGreen(c)));
        }
    }
    return canvas;
}

void PutFile(const std::string& host, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
}

std::string FullWidth(std::string_view ascii) {
    std::string out;
    for (char c : ascii) {
        out += '\x82';
        out += static_cast<char>((c >= 'a' && c <= 'z') ? c + 0x20 : c + 0x1F);
    }
    return out;
}

// A card pool and a cheat library to show.
void StoreCardsAndCheats(test::ToolUiWorld& world) {
    const std::string cards = world.workspace().host() + "/MemCards/";
    PutFile(cards + "epsxe000.mcr",
            test::CardBuilder().AddSave({0}, FullWidth("RACER")).AddSave({1, 2}, FullWidth("Track3")).str());
    PutFile(cards + "epsxe001.mcr", test::CardBuilder().str());
    PutFile(cards + "epsxe002.mcr", test::CardBuilder().AddSave({0}, FullWidth("FIGHTER")).str());
    PutFile(cards + "epsxe003.mcr", test::CardBuilder::Unformatted().str());
    world.registry().SetDword(RegRoot::CurrentUser, "Software\\Vision Thing\\KestrineCFG\\Game\\Memory Cards",
                              "MemCard1", 2);
    PutFile(world.workspace().host() + "/Cheats/Codes.txt",
            "\r\n*SLUS_000.01|Racer\r\n-Infinite time\r\n80010000 0063\r\n80010002 0000\r\n--\r\n"
            "-All cars\r\n80020000 00ff\r\n--\r\n**\r\n"
            "\r\n*SCES_000.02|Fighter\r\n-Power\r\n80030000 0010\r\n--\r\n-Both players\r\n"
            "80030004 0001\r\n--\r\n**\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    // Absolute before the world makes its own folder current (on Windows a
    // folder on another drive, where "/work/..." would be "C:\work\...").
    const QString out = QString::fromStdU16String(std::filesystem::absolute(argv[1]).u16string());
    bool ok = true;
    {
        test::ToolUiWorld world(true);
        world.StoreGame();
        test::RecordingPrompter prompter;
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        ok = Shoot(dialog, 0, out + "/tool_plugins.png") && ok;
        ok = Shoot(dialog, 2, out + "/tool_options.png") && ok;
        dialog.OnCancel();
    }
    {
        test::ToolUiWorld world(true);
        world.StoreGame();
        world.InstallSkin(DemoSkin());
        test::RecordingPrompter prompter;
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        ok = Shoot(dialog, 0, out + "/tool_skin.png") && ok;
        dialog.OnCancel();
    }
    {
        test::ToolUiWorld world(true);
        world.StoreGame();
        StoreCardsAndCheats(world);
        test::RecordingPrompter prompter;
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        dialog.memcardsTab()->SelectCard(2);
        ok = Shoot(dialog, 1, out + "/tool_memcards.png") && ok;
        CCheatsTab* cheats = dialog.cheatsTab();
        cheats->Select({0, 0});
        cheats->OnActivate();
        cheats->Select({1, -1});
        cheats->tree()->expandAll();
        cheats->Select({0, 0});
        ok = Shoot(dialog, 3, out + "/tool_cheats.png") && ok;
        // The dialog in edit mode on the selected cheat.
        cheats->runDialog = [&](CCheatDlg& cheat) {
            cheat.codesList()->setCurrentRow(1);
            cheat.show();
            cheat.resize(cheat.sizeHint().expandedTo(cheat.minimumSize()));
            for (int i = 0; i < 5; ++i) QApplication::processEvents();
            ok = cheat.grab().save(out + "/tool_cheat_dialog.png") && ok;
            return int(QDialog::Rejected);
        };
        cheats->OnEdit();
        dialog.OnCancel();
    }
    return ok ? 0 : 1;
}
