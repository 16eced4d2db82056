// Shows the library's options dialog and about panel inside a host window, as
// the configuration tool does, and saves both as pictures for the docs.
//   optionslib_screenshot_host LIBRARY OUTPUT_DIR
// Works in a private temporary prefix (on Windows only where the tests may
// change the machine, see tests/support/scratch_windows.h).

#include <QApplication>
#include <QGroupBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/platform/library.h"
#include "common/platform/registry.h"
#include "optionslib/kestrinestuff.h"
#include "tests/support/test_workspace.h"

namespace fs = std::filesystem;
using namespace dravolo;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    // Before the workspace makes its own folder the current one.
    const QString outDir = QString::fromLocal8Bit(fs::absolute(argv[2]).string().c_str());
    // A private prefix on POSIX; on a throwaway Windows its real drive C:.
    test::TestWorkspace world;
    const std::string epsxe = world.driveC() + "/ePSXe";
    fs::create_directories(epsxe + "/Bios");
    for (const char* name : {"scph1001.bin", "scph5502.bin", "scph7502.bin"})
        std::ofstream(epsxe + "/Bios/" + name) << "x";
    fs::copy_file(argv[1], epsxe + "/KestrineStuff.dll");

    const char* kInterface = "Software\\Kestrine\\Kestrine\\Interface";
    RegBatch options;
    options.SetString(RegRoot::CurrentUser, kInterface, "BIOS", "C:\\ePSXe\\Bios\\scph1001.bin");
    options.SetString(RegRoot::CurrentUser, kInterface, "CmdLine", "-slowboot");
    for (const char* on : {"SoundEnabled", "SoundCDDA", "SoundXA", "SubchannelCdromEnabled", "AutoPPF"})
        options.SetDword(RegRoot::CurrentUser, kInterface, on, 1);
    options.SetDword(RegRoot::CurrentUser, kInterface, "CdromLetter", 68);
    options.SetDword(RegRoot::CurrentUser, kInterface, "Country", 1);
    if (!OpenSystemRegistry()->Commit(options)) return 1;

    QApplication app(argc, argv);
    int result = 0;
    {
        auto library = Library::Load(epsxe + "/KestrineStuff.dll");
        if (!library) return 1;
        auto create = library->Function<CreateOptionDlgProc>("CreateOptionDlg");
        auto init = library->Function<OptionDlgProc>("OptionDlg_Init");
        auto about = library->Function<CreateAboutDlgProc>("CreateAboutDlg");

        // A page like the tool's Options tab: the dialog goes over a frame.
        QTabWidget tabs;
        tabs.setWindowTitle("Change ePSXe configuration");
        auto* page = new QWidget;
        tabs.addTab(new QWidget, "Plugins");
        tabs.addTab(new QWidget, "Memcards");
        tabs.addTab(page, "Options");
        tabs.addTab(new QWidget, "Cheats");
        tabs.setCurrentIndex(2);
        tabs.show();
        QWidget* dialog = QWidget::find(static_cast<WId>(create(static_cast<KsWindow>(page->winId()))));
        if (!dialog) return 1;
        init(static_cast<KsWindow>(dialog->winId()));
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(dialog);
        dialog->show();
        tabs.resize(tabs.sizeHint());
        app.processEvents();
        if (!tabs.grab().save(outDir + "/options_dialog.png")) result = 1;

        QWidget aboutHost;
        aboutHost.setWindowTitle("About");
        aboutHost.resize(380, 130);
        aboutHost.show();
        QWidget* panel = QWidget::find(static_cast<WId>(about(static_cast<KsWindow>(aboutHost.winId()))));
        if (!panel) return 1;
        panel->setGeometry(aboutHost.rect());
        app.processEvents();
        if (!aboutHost.grab().save(outDir + "/about_panel.png")) result = 1;
    }
    return result;
}
