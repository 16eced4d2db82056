#include "tests/tool_ui/tool_ui_workspace.h"

#include <QDir>
#include <filesystem>

namespace dravolo::test {

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

// What an earlier world of this process left in the folder, all but the
// library (see below); a folder's removal may have stopped at it.
void RemoveAllBut(const std::string& folder, const std::string& keep) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code ignored;
        if (entry.path().filename() != keep) std::filesystem::remove_all(entry.path(), ignored);
    }
}

}  // namespace

// The tool keeps KestrineSTUFF.DLL loaded until the process ends, and Windows
// keeps a loaded library's file: once a dialog of this process has loaded it,
// it stays in "C:\epsxe" through every later world there. So worlds without
// the library have a folder of their own, and a world with it takes the copy
// it finds.
ToolUiWorld::ToolUiWorld(bool withLibrary) {
    const std::string folder = withLibrary ? "epsxe" : "epsxe-bare";
    RemoveAllBut(world_.driveC() + "/" + folder, "KestrineSTUFF.DLL");
    workspace_ = std::make_unique<ToolWorkspace>(world_.driveC(), folder);
    workspace_->AddPlugin(SharedTestPlugin("gpuTest.dll"), "gpuTest.dll", "name=Test Video\nversion=0x0105\n");
    workspace_->AddPlugin(SharedTestPlugin("gpuTest.dll"), "gpuOther.dll", "name=Other Video\n");
    workspace_->AddPlugin(SharedTestPlugin("spuTest.dll"), "spuTest.dll", "name=Test Sound\n");
    workspace_->AddPlugin(SharedTestPlugin("cdrTest.dll"), "cdrTest.dll", "name=Test CD-ROM\n");
    workspace_->AddPlugin(ToolTestPlugin("padBoth.dll"), "padBoth.dll");
    workspace_->AddPlugin(ToolTestPlugin("padOne.dll"), "padOne.dll");
    workspace_->AddPlugin(ToolTestPlugin("netTest.dll"), "netTest.dll");
    workspace_->AddEmulator();
    const std::string library = workspace_->host() + "/KestrineSTUFF.DLL";
    if (withLibrary && !std::filesystem::exists(library)) std::filesystem::copy_file(KESTRINESTUFF_PATH, library);
    registry_ = OpenSystemRegistry();
}

// The plugin page makes the emulator's folder current; the workspace goes
// back to the folder the test started in before that folder goes away.
ToolUiWorld::~ToolUiWorld() { registry_.reset(); }

tool::ToolDialogSetup ToolUiWorld::Setup(const std::string& name, const std::string& editWord) {
    tool::ToolDialogSetup setup;
    setup.registry = registry_.get();
    setup.configurationName = name;
    setup.editWord = editWord;
    setup.toolPath = workspace_->toolPath();
    setup.programName = "KestrineTool";
    return setup;
}

void ToolUiWorld::StoreGame() {
    const std::string game = "Software\\Vision Thing\\KestrineCFG\\Game";
    RegBatch batch;
    batch.SetString(kUser, game + "\\GPU", "GPUlib", "gpuTest.dll");
    batch.SetString(kUser, game + "\\SPU", "SPUlib", "SPUCORE");
    batch.SetString(kUser, game + "\\CDR", "CDRlib", "cdrTest.dll");
    batch.SetString(kUser, game + "\\PAD", "PAD1lib", "padOne.dll");
    batch.SetString(kUser, game + "\\PAD", "PAD2lib", "padBoth.dll");
    batch.SetString(kUser, game + "\\NET", "NETlib", "DISABLED");
    batch.SetValue(kUser, game + "\\GPU\\TestPlugin\\Deep\\Deeper", "Blob", kRegBinary, {1, 2, 0, 255});
    batch.SetValue(kUser, game + "\\GPU\\TestPlugin", "Expand", kRegExpandSz, RegSzData("%WINDIR%"));
    batch.SetValue(kUser, game + "\\GPU\\TestPlugin", "Multi", kRegMultiSz, {'a', 0, 'b', 0, 0});
    batch.SetValue(kUser, game + "\\GPU\\TestPlugin", "", kRegSz, RegSzData("default"));
    batch.SetDword(kUser, game + "\\SPU\\Settings", "Volume", 3);
    batch.SetValue(kUser, game + "\\SPU\\Settings", "Big", kRegDwordBigEndian, {0, 0, 1, 0});
    batch.SetValue(kUser, game + "\\SPU\\Settings", "Quad", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8});
    batch.SetValue(kUser, game + "\\SPU\\Settings", "Nothing", kRegNone, {});
    batch.CreateKey(kUser, game + "\\Empty");
    batch.SetDword(kUser, game + "\\Memory Cards", "MemCard0", 2);
    batch.SetString(kUser, game + "\\Kestrine\\Interface", "CmdLine", "-slowboot");
    batch.SetDword(kUser, game + "\\Kestrine\\Interface", "SoundXA", 1);
    batch.SetString(kUser, game + "\\Kestrine", "Comment", "stored");
    if (!registry_->Commit(batch)) qFatal("the test registry refused the game");
}

void ToolUiWorld::InstallSkin(const QImage& picture) {
    QDir().mkpath(QString::fromStdString(workspace_->host() + "/skins"));
    picture.save(QString::fromStdString(workspace_->host() + "/skins/kestrine.bmp"), "BMP");
}

std::string DumpTree(Registry& registry, const std::string& root, const std::string& path) {
    const std::string key = path.empty() ? root : root + "\\" + path;
    std::string out = "[" + path + "]\n";
    if (const auto values = registry.EnumValues(kUser, key)) {
        for (const RegValue& value : *values) {
            out += value.name + "|" + std::to_string(value.type) + "|";
            for (std::uint8_t b : value.data) out += std::to_string(b) + ",";
            out += "\n";
        }
    }
    if (const auto subkeys = registry.EnumSubkeys(kUser, key)) {
        for (const std::string& sub : *subkeys) out += DumpTree(registry, root, path.empty() ? sub : path + "\\" + sub);
    }
    return out;
}

}  // namespace dravolo::test
