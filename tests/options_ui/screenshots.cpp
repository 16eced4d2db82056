// Pictures of the option sheet for the docs: the option page and the plugin
// page of every kind, in the sheet as the program shows it (with its
// MemCard Manager tab), test plugins installed and a profile loaded. Run
// under a display or Xvfb:
//   options_ui_screenshots OUTPUT_DIR

#include <QApplication>
#include <QPixmap>
#include <QTabWidget>
#include <QThread>
#include <cstdio>
#include <filesystem>
#include <string>

#include "frontend/memcards/memcards_page_factory.h"
#include "frontend/options/CEmuPropertySheet.h"
#include "tests/options_ui/options_workspace.h"

using namespace dravolo;

namespace {

void Populate(test::OptionsWorkspace& ws) {
    for (const char* emu : {"epsxe", "fpse", "psinex", "adripsx", "pcsx"}) {
        ws.WriteFile(ws.DriveC(std::string(emu) + "/bios/scph1001.bin"), "bios");
        ws.WriteFile(ws.DriveC(std::string(emu) + "/bios/scph7502.bin"), "bios");
    }
    ws.InstallPlugin("gpuTest.dll", "epsxe/plugins", "gpuPeteOpenGL.dll",
                     "name=P.E.Op.S. OpenGL Driver\nversion=0x010109\n");
    ws.InstallPlugin("gpuTest.dll", "epsxe/plugins", "gpuPeopsSoft.dll",
                     "name=P.E.Op.S. Soft Driver\nversion=0x010111\n");
    ws.InstallPlugin("spuTest.dll", "epsxe/plugins", "spuPeopsDSound.dll",
                     "name=P.E.Op.S. DSound Audio\nversion=0x010106\n");
    ws.InstallPlugin("cdrTest.dll", "epsxe/plugins", "cdrMooby2.dll", "name=Mooby2 cd disk image\nversion=0x020900\n");
    ws.registry().SetString(RegRoot::CurrentUser, "Software\\epsxe\\config", "Version", "400");
    ws.InstallPlugin("gpuTest.dll", "fpse/plugin", "gpuPeopsSoft.dll", "name=FPSE Soft GPU\n");
    ws.InstallPlugin("spuTest.dll", "fpse/plugin", "spuNull.dll", "name=FPSE Null Sound\n");
    ws.InstallPlugin("cdrTest.dll", "fpse/plugin/psemu", "cdrMooby2.dll", "name=Mooby2 cd disk image\n");
    ws.InstallPlugin("fpsePadTest.dll", "fpse/plugin", "JOY0KEY.DLL", "name=Keyboard Joy\n");
    for (const char* dir : {"psinex/plugins", "adripsx/Plugins", "pcsx/plugin"}) {
        ws.InstallPlugin("padTest.dll", dir, "padJoy.dll", "name=Joystick Pad\nversion=0x010300\n");
        ws.InstallPlugin("padTest.dll", dir, "padSeguDI.dll", "name=Segu Direct Input\nversion=0x010500\n");
        ws.InstallPlugin("gpuTest.dll", dir, "gpuPeopsSoft.dll", "name=P.E.Op.S. Soft Driver\n");
        ws.InstallPlugin("spuTest.dll", dir, "spuPeopsDSound.dll", "name=P.E.Op.S. DSound Audio\n");
        ws.InstallPlugin("cdrTest.dll", dir, "cdrMooby2.dll", "name=Mooby2 cd disk image\n");
    }
}

bool Save(QWidget& sheet, const std::string& path) {
    QApplication::processEvents();
    QThread::msleep(50);
    QApplication::processEvents();
    const bool ok = sheet.grab().save(QString::fromStdString(path));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The workspaces change the current directory: keep the output absolute.
    const std::string out = std::filesystem::absolute(argc > 1 ? argv[1] : ".").string();
    const char* names[] = {"epsxe", "fpse", "psinex", "adripsx", "pcsx"};
    bool ok = true;
    for (const auto& info : kEmulatorKinds) {
        const EmulatorKind kind = info.kind;
        const char* name = names[KindIndex(kind)];
        test::OptionsWorkspace ws;
        Populate(ws);
        AnyProfileRecord record = MakeDefaultRecord(kind, ws.settings());
        std::visit(
            [&](auto& r) {
                using R = std::decay_t<decltype(r)>;
                if constexpr (std::is_same_v<R, _EPSXEDATA>) {
                    r.VideoPlugin = "gpuPeopsSoft.dll";
                    r.SoundPlugin = "SPUCORE";
                    r.BiosName = "c:\\epsxe\\bios\\scph1001.bin";
                    r.CdromLetter = "F";
                } else if constexpr (std::is_same_v<R, _FPSEDATA>) {
                    r.GpuPlugin = "FgpuPeopsSoft.dll";
                    r.CdrPlugin = "cdrMooby2.dll";
                } else if constexpr (std::is_same_v<R, _PCSXDATA>) {
                    r.Pad2 = "padSeguDI.dll";
                    r.Gpu = "gpuPeopsSoft.dll";
                }
            },
            record);
        std::visit([&](auto& r) { ws.SaveProfile("Crash Bandicoot", r); }, record);
        SheetContext context = ws.context();
        context.makeMemcardsPage = MakeMemcardsPageMaker(ws.settings(), ws.prompter);
        CEmuPropertySheet sheet(context, CEmuPropertySheet::CaptionForKind(kind));
        sheet.SetProfileName("Crash Bandicoot");
        sheet.SetKind(kind);
        sheet.LoadRecord(record);
        sheet.show();
        ok &= Save(sheet, out + "/options_" + name + ".png");
        sheet.tabs()->setCurrentIndex(1);
        ok &= Save(sheet, out + "/plugins_" + name + ".png");
        sheet.hide();
    }
    return ok ? 0 : 1;
}
