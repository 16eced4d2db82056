#pragma once
// A test prefix with "C:\epsxe\Cheats" for the cheat library's tests, and the
// few steps they all take: put a Codes.txt, read it back, make a library, set
// and read the active choice "Cheats".

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "common/platform/registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/tool/tool_workspace.h"
#include "tool/core/cheat_library.h"

namespace dravolo::test {

class CheatLibraryFixture : public PrefixFixture {
protected:
    void SetUp() override {
        PrefixFixture::SetUp();
        workspace_ = std::make_unique<ToolWorkspace>(driveC());
        std::filesystem::create_directories(workspace_->host() + "/Cheats");
        registry_ = OpenSystemRegistry();
    }
    std::string CodesHost() const { return workspace_->host() + "/Cheats/Codes.txt"; }
    void PutCodes(const std::string& text) const { std::ofstream(CodesHost(), std::ios::binary) << text; }
    std::string Codes() const { return ReadHostFile(CodesHost()); }
    // A file in C:\epsxe; its Windows path.
    std::string Put(const std::string& name, const std::string& text) const {
        std::ofstream(workspace_->host() + "/" + name, std::ios::binary) << text;
        return "C:\\epsxe\\" + name;
    }
    std::unique_ptr<tool::CheatLibrary> Library() const {
        return std::make_unique<tool::CheatLibrary>(*registry_, workspace_->windows());
    }
    // The value "Cheats" as stored (binary, with its terminator).
    std::optional<std::string> ChoiceValue() const {
        const auto value = registry_->QueryValue(RegRoot::CurrentUser, tool::kCheatsKey, tool::kCheatsValue);
        if (!value) return std::nullopt;
        EXPECT_EQ(value->type, kRegBinary);
        return std::string(value->data.begin(), value->data.end());
    }
    void PutChoice(const std::string& text) const {
        Bytes data(text.begin(), text.end());
        data.push_back(0);
        registry_->SetValue(RegRoot::CurrentUser, tool::kCheatsKey, tool::kCheatsValue, kRegBinary, std::move(data));
    }

    std::unique_ptr<ToolWorkspace> workspace_;
    std::unique_ptr<Registry> registry_;
};

}  // namespace dravolo::test
