// Pictures of KestrineTool's main dialog for the docs, in a private prefix:
//   tool_ui_screenshots OUTPUT_DIR
// tool_plugins.png and tool_options.png with the built-in pictures,
// tool_skin.png with a skin file.

#include <QApplication>
#include <QTabWidget>
#include <cstdio>

#include "tests/support/scripted_prompter.h"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    {
        test::ToolUiWorld world(true);
        world.StoreGame();
        test::ScriptedPrompter prompter;
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        ok = Shoot(dialog, 0, out + "/tool_plugins.png") && ok;
        ok = Shoot(dialog, 2, out + "/tool_options.png") && ok;
        dialog.OnCancel();
    }
    {
        test::ToolUiWorld world(true);
        world.StoreGame();
        world.InstallSkin(DemoSkin());
        test::ScriptedPrompter prompter;
        CKestrineToolDlg dialog(world.Setup("Game"), prompter);
        ok = Shoot(dialog, 0, out + "/tool_skin.png") && ok;
        dialog.OnCancel();
    }
    return ok ? 0 : 1;
}
