#pragma once
// A private Windows world for the tool's Qt tests and screenshots: the tests'
// workspace, "C:\epsxe" in it with test plugins, the emulator file and
// KestrineSTUFF.DLL, and a stored configuration "Game".

#include <memory>
#include <string>

#include "common/platform/registry.h"
#include "tests/support/test_workspace.h"
#include "tests/tool/tool_workspace.h"
#include "tool/CKestrineToolDlg.h"

namespace dravolo::test {

class ToolUiWorld {
public:
    explicit ToolUiWorld(bool withLibrary = true);
    ~ToolUiWorld();

    Registry& registry() { return *registry_; }
    ToolWorkspace& workspace() { return *workspace_; }
    tool::ToolDialogSetup Setup(const std::string& name, const std::string& editWord = "0");

    // A configuration with nested keys and values of every type.
    void StoreGame();
    // Writes the skin bitmap "skins\kestrine.bmp" beside the tool.
    void InstallSkin(const QImage& picture);

private:
    TestWorkspace world_;
    std::unique_ptr<ToolWorkspace> workspace_;
    std::unique_ptr<Registry> registry_;
};

// Every key below root with its values as text, for comparisons.
std::string DumpTree(Registry& registry, const std::string& root, const std::string& path = "");

}  // namespace dravolo::test
